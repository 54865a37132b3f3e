#include "common/screens/program.h"

namespace common {

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
    while (runtime_.key_query().empty() && runtime_.mouse_state() == rt::mouse_none) {
    }
}

}  // namespace common
