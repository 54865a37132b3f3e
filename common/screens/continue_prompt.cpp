#include "common/screens/program.h"

namespace common {

std::string queued_selection_text(const std::string& entry) {
    std::string shown;
    for (char c : entry.substr(0, entry.find('\t')))
        if (c != '&') shown += c;
    return "Gewählt: " + shown + " - wird nach <RETURN> ausgeführt";
}

void Program::wait_continue(int row) {
    runtime_.set_colour(rt::colours::white);
    runtime_.set_second_colour(background());
    runtime_.set_font_size(16);
    double column = 0, text_row = 0;
    continue_prompt_cell(row, column, text_row);
    runtime_.locate(column, text_row);
    runtime_.print("Weiter ?  <RETURN>");
    // Key and mouse polls let the window's events through and sleep while
    // nothing happens, so this wait costs no CPU.
    // A menu selection made meanwhile runs only after the key; the status
    // line says so, lest the program seem to hang.
    std::string status_before;
    bool told = false;
    while (runtime_.key_query().empty() && runtime_.mouse_state() == rt::mouse_none) {
        const std::string queued = runtime_.queued_selection();
        if (told || queued.empty()) continue;
        status_before = runtime_.status();
        runtime_.show_status(queued_selection_text(queued));
        told = true;
    }
    if (told) runtime_.show_status(status_before);
}

}  // namespace common
