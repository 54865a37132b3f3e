// The frame of kalorix: start-up, menus, main loop and end.
#include "kalorix/kalorix.h"

#include "common/screens/menu_list.h"

#include <cmath>

namespace kalorix {

namespace {

// DESK, AUSGABE and HILFE.
const std::vector<std::string> own_menus = {
    "DESK |",
    "&Quit",
    "-------------",
    "&Info",
    "&Autor",
    "*",
    "",
    "AUSGABE |",
    "&Neue Eingabe",
    "&theoretische Analyse",
    "&Experimentelle Analyse",
    "Bildschirm &löschen",
    "&Weiter",
    "*",
    "",
    "HILFE |",
    "&Info",
    "&Entropie S",
    "&Temperatur T",
    "Temperatur in der &Schule",
    "&innere Energie U",
    "Helmholtzsche &Freie Energie F (A)",
    "thermisches &Gleichgewicht",
    "*",
    "",
};

// kalorix's own group of EXTRAS: the automatic trials, the theory's curve
// in the experiment and the theory's tempo.
std::vector<std::string> own_extras() {
    return common::joined(
        {{Kalorix::automatic_entry, "-------------", Kalorix::curve_entry, Kalorix::large_curve_entry, "-------------"},
         Kalorix::theory_pace_entries()});
}

}  // namespace

Kalorix::Kalorix(rt::Runtime& runtime) : Program(runtime) {}

std::unique_ptr<common::Program> make_program(rt::Runtime& runtime) { return std::make_unique<Kalorix>(runtime); }

const std::vector<std::string>& Kalorix::menu_list() {
    // EXTRAS after HILFE: every earlier entry keeps its position.
    static const std::vector<std::string> list =
        common::joined({own_menus, common::extras_menu(own_extras()), {"", "ende"}});
    return list;
}

void Kalorix::reset_colours() {
    background_colour = rt::colours::background;
    colour_white = rt::colours::white;
    colour_total = rt::colours::black;
    colour_A = rt::colours::yellow;
    colour_red = rt::colours::red;
    colour_B = rt::colours::blue;
    saved_white = rt::colours::white;
    saved_yellow = rt::colours::yellow;
    saved_red = rt::colours::red;
    saved_blue = rt::colours::blue;
    saved_black = rt::colours::black;
}

void Kalorix::init_common() {
    choice = 1;
    y_scale = static_cast<std::int16_t>(std::nearbyint(runtime_.screen_height() / 200.0));
    x_scale = static_cast<std::int16_t>(std::nearbyint(runtime_.screen_width() / 320.0));
}

void Kalorix::clear_window() {
    runtime_.clear_screen();
    ++windows_cleared;
    // The records describe the screen: they go with it, and so do the
    // automatic trials of an experiment that showed it.
    forget_records();
    automatic_note_shown = false;
    end_automatic_trials();
}

common::TitleScreen Kalorix::title_screen() const {
    return {colour(colour_B),
            false,
            colour(colour_B),
            {{{"ENTROPIE - ", 44, 40}, {"wahrscheinlichste", 23, 90}, {"   Verteilung", 34, 140}}},
            true,
            23};
}

void Kalorix::continue_prompt_cell(int row, double& column, double& text_row) const {
    column = std::nearbyint(73.0 / 3.0 * x_scale);
    text_row = std::nearbyint(y_scale * row / 3.0);
}

void Kalorix::main() {
    make_experiment_tables();
    init_common();
    runtime_.set_title(" ENTROPIE  ");
    temperature_scale = temperature_scale_default;
    reset_colours();
    runtime_.open_window();
    clear_window();
    build_menu(menu_list());
    runtime_.set_background_colour(colour(background_colour));
    runtime_.set_passing_on([this] {
        const lesson::Lesson in_use = values_in_use();
        return rt::PassedOnValues{lesson::command_line(lesson::ProgramKind::kalorix, in_use),
                                  lesson::page_link(lesson::ProgramKind::kalorix, in_use, runtime_.pages_address())};
    });
    clear_window();
    // The second lesson in a row begins with its values.
    if (!lesson_.without_title) {
        show_title();
        message_text = "Beenden nur mit QUIT!";
        show_message();
        help_info();
    }
    ask_parameters();
    runtime_.process_events();

    for (;;) {
        runtime_.process_events();
        if (quit_marker == "*") break;
        marker_armed = 1;
        if (choice == 2) theory_unless_experiment_only();
        if (choice == 1) run_experiment(N_A, n, Nmax_A, Nmax_B);
        wait_continue(23);
        clear_window();
        if (quit_marker == "*") break;
    }
}

// Without excitations in room A there is nothing to pass on: the message,
// which leaves `choice` at 1, so the main loop then runs the experiment.
void Kalorix::theory_unless_experiment_only() {
    if (N_A == 0) {
        message_text = "Nur experimentelle Untersuchung !";
        show_message();
    } else {
        theoretical_analysis();
    }
}

void Kalorix::Win_0_MenuEvent(int index) {
    if (index < 0 || index >= static_cast<int>(menu_entries.size())) return;
    const std::string& entry = menu_entries[index];
    // The two "&Info" entries (DESK and HILFE) do the same, so the text decides.
    if (theory_pace_selected(entry)) return;
    if (entry == automatic_entry) {
        toggle_automatic_trials();
    } else if (entry == curve_entry || entry == large_curve_entry) {
        toggle_entropy_curve(entry == large_curve_entry);
    } else if (entry == "&Quit") {
        quit_marker = "*";
    } else if (entry == "&Info") {
        help_info();
    } else if (entry == "&Autor") {
        show_author();
    } else if (entry == "&Neue Eingabe") {
        ask_parameters();
    } else if (entry == "&theoretische Analyse") {
        theory_unless_experiment_only();
    } else if (entry == "&Experimentelle Analyse") {
        run_experiment(N_A, n, Nmax_A, Nmax_B);
    } else if (entry == "Bildschirm &löschen") {
        clear_window();
    } else if (entry == "&Entropie S") {
        help_entropy();
    } else if (entry == "&Temperatur T") {
        help_temperature();
    } else if (entry == "Temperatur in der &Schule") {
        help_temperature_school();
    } else if (entry == "&innere Energie U") {
        help_inner_energy();
    } else if (entry == "Helmholtzsche &Freie Energie F (A)") {
        help_free_energy();
    } else if (entry == "thermisches &Gleichgewicht") {
        help_equilibrium();
    }
    // Titles, the separator, empty entries and "&Weiter" do nothing.
}

}  // namespace kalorix
