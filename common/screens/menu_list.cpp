#include "common/screens/menu_list.h"

namespace common {

std::vector<std::string> menu_entries_from_list(const std::vector<std::string>& menu_list, int capacity) {
    std::vector<std::string> entries(static_cast<std::size_t>(capacity));
    int position = -1;
    for (const std::string& text : menu_list) {
        if (position + 1 >= capacity) break;
        entries[++position] = text;
        if (text == "*") {
            entries[position--].clear();  // the next text takes this place
        } else if (text == "ende") {
            entries[position].clear();
            break;
        }
    }
    return entries;
}

}  // namespace common
