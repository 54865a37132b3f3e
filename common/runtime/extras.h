#pragma once
// The window's extras, offered by the runtime in a menu of their own: the
// picture saved, printed or copied, full screen, projector colours, print
// colours for paper, and a help page on them. They belong to the window,
// not to the physics: the programs only list the menu; the runtime runs the
// entries itself.

#include <optional>
#include <string>
#include <vector>

namespace rt {

enum class Extra {
    save_picture,
    print_picture,
    copy_picture,
    full_screen,
    projector_colours,
    help,
    save_data,
    pass_on_values,
    print_colours,
    save_print_picture,
};

struct ExtraEntry {
    Extra extra;
    const char* text;      // the menu text, "&" before the access letter
    const char* shortcut;  // as Qt's portable key text; empty: none
    bool toggle;           // shown with a check mark while on
    bool group_starts;     // a separator line before it
    // Listed after the program's own entries: added when those existed
    // already, so theirs keep their positions in the menu list.
    bool after_own_entries;
};

// The title of the menu, in the menu list's format.
inline constexpr const char* extras_title = "EXTRAS |";

// The entries in menu order.
const std::vector<ExtraEntry>& extras_entries();

// The extra the entry at `index` of an installed menu stands for: an entry
// of the EXTRAS menu; nothing for any other position.
std::optional<Extra> extra_at(const std::vector<std::string>& menu, int index);

}  // namespace rt
