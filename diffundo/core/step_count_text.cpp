#include "diffundo/core/step_count_text.h"

namespace diffundo {

std::string step_count_text(std::int64_t count) {
    std::string text = std::to_string(count);
    const std::size_t first_digit = text[0] == '-' ? 1 : 0;
    for (std::size_t at = text.size(); at > first_digit + 3;) {
        at -= 3;
        text.insert(at, ".");
    }
    return text;
}

}  // namespace diffundo
