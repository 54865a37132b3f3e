// Atom-count input, the g table and the dice simulation with its atom lines.
#include "diffundo/diffundo.h"

#include "common/runtime/number_format.h"
#include "common/unicode/utf8.h"
#include "diffundo/core/line_text.h"
#include "diffundo/core/ln_g.h"

#include <cmath>

namespace diffundo {

void Diffundo::enter_atom_count(const std::string& prompt, const std::string& default_text,
                                std::optional<double> given) {
    const auto first_characters = [](const std::string& text) {
        // The first 8 characters; a character is never split.
        return text.substr(0, unicode::utf8_prefix_bytes(text, 8));
    };
    const std::string shown_default = first_characters(default_text);
    runtime_.set_font(rt::FontFamily::mono, 14);
    // Only the upper bound is checked: the tables end at 200 and a line of
    // more than 101 atoms does not fit the screen. Anything below 1 (a
    // cancelled box, text without a number) is a run without atoms. A
    // lesson's count above it is refused as silently as a typed one.
    const bool lesson_count = given && *given < 101;
    if (lesson_count && lesson_.at_once) {
        atom_input = *given;
    } else {
        std::string proposal = lesson_count ? first_characters(rt::number_text(*given)) : shown_default;
        do {
            atom_input = rt::text_to_number(runtime_.input_box(prompt, proposal));
            proposal = shown_default;
        } while (atom_input >= 101);
    }
    atoms_entered = true;
    // -1e300 or -inf have no 32-bit integer; every such answer means no atoms.
    gas.N = rt::to_int32_nearest(atom_input).value_or(0);
    row_margin = (screen_width - 8 * atom_input) / 2;
    gas.start_run(gas.N);
    compute_g_table();
    if (history_shown) start_history();
    // A status line left from the run before would go on describing it: in
    // a statistics display, which goes on waiting after a new input, nothing
    // else renews it. Before the first run there is none to replace.
    if (!runtime_.status().empty()) {
        status_shown_at = -1;
        show_pace_status(runtime_.time());
    }
}

void Diffundo::compute_g_table() {
    runtime_.clear_screen();
    runtime_.set_colour(colour_white);
    // g(N, m) up to C(101, 50) ~ 1e29 only as exp(ln g), scaled to 70 at the
    // most probable split N/2 (101 atoms: halves to even, so m = 50).
    g_factor = 70 / std::exp(ln_g(gas.N, static_cast<int>(std::nearbyint(gas.N / 2.0))));
    for (int split = 1; split <= gas.N; ++split) {
        g_scaled[split] = std::exp(ln_g(gas.N, split)) * g_factor;
        runtime_.print(".");
    }
    runtime_.clear_screen();
}

void Diffundo::dice_step() {
    if (quit_marker == "*" || gas.N < 1) return;
    const int moved = gas.step(runtime_.random());
    if (moved < 0) return;
    if (history_shown) {
        // The plot shows the step; the atom lines wait until it is off.
        history.add(gas.N - gas.m);
    } else {
        if (++display_row > display_rows) display_row = 1;
        runtime_.set_colour(colour_white);
        runtime_.set_second_colour(background_colour);
        print_atom_line(moved);
    }
    // Held right button: the simulation stands still. The poll lets window
    // events through and sleeps while the button stays down.
    while (runtime_.mouse_state() == rt::mouse_right && quit_marker != "*") {
    }
}

void Diffundo::print_atom_line(int moved) {
    runtime_.locate(1, display_row);
    // The white text after the red atom goes out in one print with the
    // counts: the same cells, one runtime call less per step.
    if (draw_mode == 1) {
        white_tail_.assign(gas.sorted_row);
    } else {
        left_part_.assign(gas.atom_row, 0, static_cast<std::size_t>(moved));
        runtime_.print(left_part_);
        runtime_.set_colour(colour_red);
        runtime_.print(std::string(1, gas.atom_row[moved]));
        runtime_.set_colour(colour_white);
        white_tail_.assign(gas.atom_row, static_cast<std::size_t>(moved) + 1);
    }
    append_counts(white_tail_, gas.N, gas.m);
    runtime_.print(white_tail_);
}

void Diffundo::toggle_draw_mode() {
    runtime_.clear_screen();
    draw_mode = static_cast<std::int16_t>(-draw_mode);
}

}  // namespace diffundo
