#include "common/runtime/extras.h"

namespace rt {

// Access letters: s, d, k, v, b, h, t, w, f, p, one each (the d of "Daten" belongs
// to "Bild &drucken" already). The shortcuts all need Ctrl or
// are a function key, so every ordinary key still reaches a waiting prompt.
const std::vector<ExtraEntry>& extras_entries() {
    static const std::vector<ExtraEntry> entries = {
        {Extra::save_picture, "Bild &speichern ...", "Ctrl+S", false, false, false},
        {Extra::print_picture, "Bild &drucken ...", "Ctrl+P", false, false, false},
        {Extra::copy_picture, "Bild &kopieren", "Ctrl+C", false, false, false},
        {Extra::full_screen, "&Vollbild", "F11", true, true, false},
        {Extra::projector_colours, "&Beamer-Farben", "", true, false, false},
        {Extra::help, "&Hilfe zu den Extras", "", false, true, false},
        // Appended, so every earlier entry keeps its position.
        {Extra::save_data, "Da&ten speichern ...", "Ctrl+E", false, true, false},
        {Extra::pass_on_values, "Diese &Werte weitergeben ...", "", false, true, false},
        // Paper: the toggle is for "Bild drucken"; a save in print colours is
        // asked for each time, as the usual save keeps the screen's colours.
        // After the program's own entries, which keep their positions.
        {Extra::print_colours, "Druck&farben", "", true, true, true},
        {Extra::save_print_picture, "Bild in Druckfarben s&peichern ...", "", false, false, true},
    };
    return entries;
}

std::optional<Extra> extra_at(const std::vector<std::string>& menu, int index) {
    if (index < 0 || index >= static_cast<int>(menu.size())) return std::nullopt;
    // The entry's menu is the nearest title above it with no empty text between.
    int title = index;
    while (title >= 0 && !menu[static_cast<std::size_t>(title)].empty() &&
           menu[static_cast<std::size_t>(title)].back() != '|')
        --title;
    if (title < 0 || title == index || menu[static_cast<std::size_t>(title)] != extras_title) return std::nullopt;
    for (const ExtraEntry& entry : extras_entries())
        if (menu[static_cast<std::size_t>(index)] == entry.text) return entry.extra;
    return std::nullopt;
}

}  // namespace rt
