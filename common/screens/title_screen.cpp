#include "common/screens/program.h"

namespace common {

// Two panels of the title picture on a 320 x 200 grid: the left one with the
// headline and the credits, the right one with the author block.
void Program::show_title() {
    const TitleScreen style = title_screen();
    rt.clear_screen();
    rt.set_colour(0xFF0000);
    rt.set_second_colour(0xFFFFFF);
    rt.clear_screen();
    rt.set_colour(style.headline_colour);
    rt.set_font(rt::FontFamily::serif, rt.screen_width() * 30.0 / 800);

    const int pw = scale_x(154);
    const int ph = scale_y(184);
    if (style.black_before_left_panel) rt.set_colour(0x000000);

    rt.draw_picture("titelbild1.jpg", scale_x(4), scale_y(4), pw, ph);
    rt.rectangle(scale_x(4), scale_y(4), scale_x(158), scale_y(4) + ph);

    rt.set_text_transparent(true);
    for (const auto& line : style.headline) rt.graphics_text(scale_x(line.grid_x), scale_y(line.grid_y), line.text);

    rt.set_font_size(rt.screen_width() * 12.0 / 800);
    rt.graphics_text(scale_x(75), scale_y(170), Credit::years);
    if (style.source_credit) rt.graphics_text(scale_x(34), scale_y(160), Credit::source);

    rt.set_colour(0xFF0000);
    rt.set_second_colour(0xFFFFFF);
    rt.set_font_size(rt.screen_width() * 20.0 / 800);

    rt.draw_picture("titelbild1.jpg", scale_x(164), scale_y(4), pw, ph);
    rt.set_colour(style.right_frame_colour);
    rt.rectangle(scale_x(164), scale_y(4), scale_x(318), scale_y(4) + ph);

    rt.set_text_transparent(true);
    rt.graphics_text(scale_x(210), scale_y(40), "Programmautor: ");
    rt.graphics_text(scale_x(214), scale_y(70), Credit::name);
    rt.graphics_text(scale_x(175), scale_y(90), Credit::school_first);
    rt.graphics_text(scale_x(210), scale_y(110), Credit::school_second);
    rt.graphics_text(scale_x(207), scale_y(130), Credit::year);
    rt.set_text_transparent(false);

    wait_continue(style.continue_row);
    rt.clear_screen();
}

}  // namespace common
