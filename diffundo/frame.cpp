// The frame of diffundo: start-up, menus, main loop and end.
#include "diffundo/diffundo.h"

#include "common/runtime/number_format.h"
#include "common/screens/menu_list.h"
#include "diffundo/core/frequency_csv.h"

#include <algorithm>
#include <cmath>

namespace diffundo {

namespace {

// DESK, AUSGABE and HILFE.
const std::vector<std::string> own_menus = {
    "DESK |",
    "&Quit",
    "----------",
    "&Info",
    "&Autor",
    "*",
    "",
    "AUSGABE |",
    "&Neue Eingabe",
    "&Statistik zeigen",
    "Bildschirm &löschen",
    "&Zeichen-Modus ändern",
    "&Weiter",
    "*",
    "",
    "HILFE |",
    "&Theorie",
    "&Bedienung",
    "*",
    "",
};

}  // namespace

Diffundo::Diffundo(rt::Runtime& runtime) : Program(runtime) {}

std::unique_ptr<common::Program> make_program(rt::Runtime& runtime) { return std::make_unique<Diffundo>(runtime); }

const std::vector<std::string>& Diffundo::menu_list() {
    // EXTRAS after HILFE: every earlier entry keeps its position.
    static const std::vector<std::string> list =
        common::joined({own_menus, common::extras_menu(own_extras()), {"ende"}});
    return list;
}

std::string Diffundo::window_title() { return std::string(87, ' ') + "DIFFUNDO" + std::string(26, ' '); }

void Diffundo::set_start_values() {
    screen_height = runtime_.screen_height();
    screen_width = runtime_.screen_width();
    y_unit = screen_height / 200.0;
    x_unit = screen_width / 320.0;
    draw_mode = -1;
    display_rows = 45;
    background_colour = rt::colours::background;
    colour_white = rt::colours::white;
    colour_black = rt::colours::black;
    colour_red = rt::colours::red;
}

std::string Diffundo::first_atom_default() const { return rt::number_text(std::min(100.0, 40 * x_unit - 20)); }

common::TitleScreen Diffundo::title_screen() const {
    return {colour_white, true,
            colour_black, {{{" Verteilung", 44, 40}, {" eines Gases", 40, 90}, {"über zwei Kästen", 25, 140}}},
            false,        25};
}

void Diffundo::continue_prompt_cell(int row, double& column, double& text_row) const {
    column = 73;
    text_row = std::nearbyint(y_unit * row / 3);
    // Row 25 gives row 32 on 768 pixels, below the last whole row of the
    // prompt's 24-pixel cells: the prompt would be invisible. It moves up
    // (and left, on narrow screens; 18 cells hold its text) just far enough
    // to be seen.
    const int last_row = runtime_.screen_height() / runtime_.cell_height() - 1;
    const int last_column = runtime_.screen_width() / runtime_.cell_width() - 18;
    text_row = std::max(0.0, std::min(text_row, static_cast<double>(last_row)));
    column = std::max(0.0, std::min(column, static_cast<double>(last_column)));
}

void Diffundo::main() {
    gas.frequency_count.fill(0);
    g_scaled.fill(0);
    set_start_values();
    runtime_.set_title(window_title());
    runtime_.open_window();
    runtime_.clear_screen();
    build_menu(menu_list());
    // The table behind the atom lines and the statistics display: valid in
    // every state, read only when the user saves it.
    runtime_.set_export([this] { return frequency_csv(gas); });
    runtime_.set_background_colour(background_colour);
    runtime_.set_passing_on([this] {
        const lesson::Lesson in_use = values_in_use();
        return rt::PassedOnValues{lesson::command_line(lesson::ProgramKind::diffundo, in_use),
                                  lesson::page_link(lesson::ProgramKind::diffundo, in_use, runtime_.pages_address())};
    });
    // The second lesson in a row begins with its values.
    if (!lesson_.without_title) {
        show_title();
        message_text = "Beenden nur mit QUIT!";
        show_message();
        show_intro();
    }
    use_lesson_manner();
    enter_atom_count("Gesamtzahl d. Atome", first_atom_default(), lesson_.value(0));

    // Closing the window unwinds from any service call with rt::WindowClosed.
    do {
        main_loop_pass();
    } while (quit_marker != "*");
}

void Diffundo::main_loop_pass() {
    runtime_.process_events();
    if (pace.full_speed()) {
        dice_step();
        // Without atoms there is nothing to draw: a mouse poll lets the
        // window's events through and sleeps, so the idle loop spares the CPU.
        if (gas.N < 1) runtime_.mouse_state();
    } else {
        paced_pass();
    }
    last_tick = runtime_.time();
    show_pace_status(last_tick);
    if (history_shown) show_history_when_due(last_tick);
}

void Diffundo::Win_0_MenuEvent(int index) {
    if (index < 0 || index >= static_cast<int>(menu_entries.size())) return;
    const std::string& entry = menu_entries[index];
    if (pace_selected(entry)) return;
    // Whatever the entry drew or cleared, the plot comes back over it.
    history_drawn_at = -1;
    if (entry == history_entry()) toggle_history();
    if (entry == "&Quit") {
        quit_marker = "*";
        runtime_.end();
    } else if (entry == "&Info") {
        show_intro();
    } else if (entry == "&Autor") {
        show_author();
    } else if (entry == "&Neue Eingabe") {
        enter_atom_count("Gesamtzahl der Atome", "100");
    } else if (entry == "&Statistik zeigen") {
        show_statistics();
    } else if (entry == "Bildschirm &löschen") {
        runtime_.clear_screen();
    } else if (entry == "&Zeichen-Modus ändern") {
        toggle_draw_mode();
    } else if (entry == "&Weiter") {
        continue_request = 2;
        runtime_.clear_screen();
    } else if (entry == "&Theorie") {
        show_theory();
    } else if (entry == "&Bedienung") {
        show_operation();
    }
    // Titles, the separator and the empty entries do nothing.
}

}  // namespace diffundo
