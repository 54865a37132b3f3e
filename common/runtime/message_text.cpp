#include "common/runtime/message_text.h"

namespace rt {

std::vector<std::string> split_at_bars(const std::string& text) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type bar = text.find('|', start);
        if (bar == std::string::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

int effective_default_button(int requested, int button_count) {
    if (requested > button_count) return button_count;
    if (requested < 1) return 1;
    return requested;
}

}  // namespace rt
