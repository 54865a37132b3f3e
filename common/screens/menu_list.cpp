#include "common/screens/menu_list.h"

#include "common/runtime/extras.h"

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

namespace {

void add_entries(std::vector<std::string>& list, bool after_own_entries) {
    for (const rt::ExtraEntry& entry : rt::extras_entries()) {
        if (entry.after_own_entries != after_own_entries) continue;
        if (entry.group_starts) list.emplace_back("-------------");
        list.emplace_back(entry.text);
    }
}

}  // namespace

const std::vector<std::string>& extras_menu() {
    static const std::vector<std::string> menu = extras_menu({});
    return menu;
}

std::vector<std::string> extras_menu(const std::vector<std::string>& own_group) {
    std::vector<std::string> list = {rt::extras_title};
    add_entries(list, false);
    if (!own_group.empty()) {
        list.emplace_back("-------------");
        list.insert(list.end(), own_group.begin(), own_group.end());
    }
    add_entries(list, true);
    list.emplace_back("*");
    list.emplace_back("");
    return list;
}

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> pieces) {
    std::vector<std::string> list;
    for (const auto& piece : pieces) list.insert(list.end(), piece.begin(), piece.end());
    return list;
}

}  // namespace common
