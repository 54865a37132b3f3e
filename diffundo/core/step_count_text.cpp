#include "diffundo/core/step_count_text.h"

namespace diffundo {

std::string step_count_text(std::int64_t count) {
    const std::string digits = std::to_string(count);
    const std::size_t first_digit = digits[0] == '-' ? 1 : 0;
    // Written into a new string rather than by insert() into the digits:
    // GCC 12 inlines insert's move of the tail and warns (-Wrestrict) of a
    // copy it cannot bound, which a first build should not show.
    std::string text;
    text.reserve(digits.size() + digits.size() / 3);
    for (std::size_t at = 0; at < digits.size(); ++at) {
        const std::size_t digits_left = digits.size() - at;
        if (at > first_digit && digits_left % 3 == 0) text += '.';
        text += digits[at];
    }
    return text;
}

}  // namespace diffundo
