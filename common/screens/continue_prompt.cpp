#include "common/screens/program.h"

namespace common {

void Program::wait_continue(int row) {
    rt.set_colour(0xFFFFFF);
    rt.set_second_colour(background());
    rt.set_font_size(16);
    double column = 0, text_row = 0;
    continue_prompt_cell(row, column, text_row);
    rt.locate(column, text_row);
    rt.print("Weiter ?  <RETURN>");
    // Key and mouse polls let the window's events through and sleep while
    // nothing happens, so this wait costs no CPU.
    while (rt.key_query().empty() && rt.mouse_state() == rt::mouse_none) {
    }
}

}  // namespace common
