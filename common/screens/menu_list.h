#pragma once
// The menu list format both programs store their menus in: each menu is a
// title ending in " |", its entries, "*" and an empty text; "ende" ends the list.

#include <initializer_list>
#include <string>
#include <vector>

namespace common {

// The entries by position, as menu selections report them: the "*" markers
// dropped, the end word blanked, the rest of the `capacity` positions empty.
// A list without "ende", or longer than the capacity, is cut at the capacity.
std::vector<std::string> menu_entries_from_list(const std::vector<std::string>& menu_list, int capacity);

// The EXTRAS menu both programs append after their own menus: title,
// entries with separator lines between the groups, "*" and the empty text.
// The runtime runs its entries itself.
const std::vector<std::string>& extras_menu();
// The same with a group of the program's own after a separator line, before
// the shared entries added after it (ExtraEntry::after_own_entries): every
// entry keeps its position. An entry may name its key
// after a tab ("&Langsamer\tCtrl+-"); the program receives it as a menu
// selection like any of its entries.
std::vector<std::string> extras_menu(const std::vector<std::string>& own_group);

// The pieces one after the other: a program's menus, the extras, its end.
std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> pieces);

}  // namespace common
