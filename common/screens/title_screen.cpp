#include "common/screens/program.h"

namespace common {

// Two panels of the title picture on a 320 x 200 grid: the left one with the
// headline and the credits, the right one with the author block.
void Program::show_title() {
    const TitleScreen style = title_screen();
    runtime_.clear_screen();
    runtime_.set_colour(rt::colours::blue);
    runtime_.set_second_colour(rt::colours::white);
    runtime_.clear_screen();
    runtime_.set_colour(style.headline_colour);
    runtime_.set_font(rt::FontFamily::serif, runtime_.screen_width() * 30.0 / 800);

    const int pw = scale_x(154);
    const int ph = scale_y(184);
    if (style.black_before_left_panel) runtime_.set_colour(rt::colours::black);

    runtime_.draw_picture("titelbild1.jpg", scale_x(4), scale_y(4), pw, ph);
    runtime_.rectangle(scale_x(4), scale_y(4), scale_x(158), scale_y(4) + ph);

    runtime_.set_text_transparent(true);
    for (const auto& line : style.headline) runtime_.graphics_text(scale_x(line.grid_x), scale_y(line.grid_y), line.text);

    runtime_.set_font_size(runtime_.screen_width() * 12.0 / 800);
    runtime_.graphics_text(scale_x(75), scale_y(170), Credit::years);
    if (style.source_credit) runtime_.graphics_text(scale_x(34), scale_y(160), Credit::source);

    runtime_.set_colour(rt::colours::blue);
    runtime_.set_second_colour(rt::colours::white);
    runtime_.set_font_size(runtime_.screen_width() * 20.0 / 800);

    runtime_.draw_picture("titelbild1.jpg", scale_x(164), scale_y(4), pw, ph);
    runtime_.set_colour(style.right_frame_colour);
    runtime_.rectangle(scale_x(164), scale_y(4), scale_x(318), scale_y(4) + ph);

    runtime_.set_text_transparent(true);
    runtime_.graphics_text(scale_x(210), scale_y(40), "Programmautor: ");
    runtime_.graphics_text(scale_x(214), scale_y(70), Credit::name);
    runtime_.graphics_text(scale_x(175), scale_y(90), Credit::school_first);
    runtime_.graphics_text(scale_x(210), scale_y(110), Credit::school_second);
    runtime_.graphics_text(scale_x(207), scale_y(130), Credit::year);
    runtime_.set_text_transparent(false);

    wait_continue(style.continue_row);
    runtime_.clear_screen();
}

}  // namespace common
