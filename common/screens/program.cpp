#include "common/screens/program.h"

#include "common/screens/menu_list.h"

#include <algorithm>

namespace common {

Program::Program(rt::Runtime& runtime) : runtime_(runtime) {}

Program::~Program() = default;

void Program::run() {
    runtime_.set_menu_handler([this](int index) { Win_0_MenuEvent(index); });
    try {
        main();
    } catch (const rt::WindowClosed&) {
        // The user closed the window: the program ends from wherever it was.
    }
    runtime_.end();
}

void Program::build_menu(const std::vector<std::string>& menu_list) {
    menu_entries = menu_entries_from_list(menu_list, menu_capacity);
    runtime_.set_extras_help(extras_help_page());
    runtime_.install_menu(menu_entries);
    runtime_.clear_screen();
}

void Program::set_entry_checked(const std::string& entry_text, bool checked) {
    const auto entry = std::find(menu_entries.begin(), menu_entries.end(), entry_text);
    if (entry != menu_entries.end()) runtime_.set_menu_checked(static_cast<int>(entry - menu_entries.begin()), checked);
}

int Program::scale_x(int p) const {
    // Multiplication first, then the truncating division: scale_x(154) on
    // 1024 pixels is 492, not 154 * 3.
    return static_cast<int>(static_cast<long>(p) * runtime_.screen_width() / 320);
}

int Program::scale_y(int p) const { return static_cast<int>(static_cast<long>(p) * runtime_.screen_height() / 200); }

void Program::show_message() {
    button_list = " OK ";
    message_answered(runtime_.message_box(rt::box_message, message_text, 1, button_list));
}

void Program::show_author() {
    // Lines: author, school, postcode and town, street, tool; the street stays empty.
    const std::string text = std::string("Programmautor:     ") + "||" + Credit::name + "||" + Credit::school + "|" +
                             Credit::year + "|" + "| |" + Credit::tool + " | ";
    runtime_.message_box(rt::box_author, text, 1, "OK");
}

}  // namespace common
