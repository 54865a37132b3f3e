// The theoretical analysis on the screen: the model (theory_model.h) passes
// the excited atoms of room A one by one into room B; every distribution is
// printed and plotted, and the maximum of the total entropy (the thermal
// equilibrium) is marked.
#include "common/runtime/number_format.h"
#include "kalorix/core/theory_model.h"
#include "kalorix/core/thermodynamics.h"
#include "kalorix/kalorix.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kalorix {
namespace {

std::string blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

}  // namespace

// Window events, menu selections among them, are let through before every
// step; a selection runs to its end there, inside the run. The run keeps the
// values it was started with, so that the graph, the step lines and the
// summary belong to one set of parameters whatever the menu changes.
struct Kalorix::TheoryRun final : TheoryModel::Hooks {
    explicit TheoryRun(Kalorix& program)
        : program(program),
          parameters(program.theory_parameters()),
          entropy_scale(program.entropy_scale),
          graph_width(program.graph_width),
          inputs_before(program.parameter_inputs_begun) {}

    // At full speed a step waits for nothing; at a tempo, paused or in
    // single steps the events go on through every pass of the wait.
    void before_step() override {
        if (program.theory_pace.full_speed()) {
            program.runtime_.process_events();
            return;
        }
        program.theory_steps_done = program.transferred;
        for (;;) {
            program.runtime_.process_events();
            if (quit_requested() || program.theory_step_due()) return;
        }
    }
    // A new parameter input ends the run as Quit does: the input has cleared
    // the screen, and the main loop goes on with the new values.
    bool quit_requested() const override {
        return program.quit_marker == "*" || program.parameter_inputs_begun != inputs_before;
    }
    void step_done(const MaximumChange& change) override {
        program.mark_entropy_maximum(*this, change);
        program.show_theory_step(*this);
        program.record_theory_step(parameters.N_A);
    }

    double step_x(double t) const { return 10.0 * program.x_scale + t / parameters.n * graph_width; }  // X(t)
    double entropy_y(double S) const { return 125.0 * program.y_scale - entropy_scale * S; }           // Y(S)

    Kalorix& program;
    const TheoryParameters parameters;
    const double entropy_scale;
    const double graph_width;
    const std::uint64_t inputs_before;
};

TheoryParameters Kalorix::theory_parameters() const { return {Nmax_A, Nmax_B, n, N_A, excitation_energy}; }

void Kalorix::theoretical_analysis() {
    TheoryRun run(*this);
    clear_window();
    reset_colours();
    // The rows 23 to 31 below the graph and the opaque step lines (their
    // trailing blanks wipe longer old values) assume the program's text mode.
    runtime_.set_font(rt::FontFamily::serif, 16);
    runtime_.set_text_transparent(false);
    runtime_.set_line_width(1);
    draw_theory_frame(run);

    export_theory(run.parameters.N_A);
    // A run started from the menu during this one's wait counts its own steps.
    const std::int64_t steps_outside = theory_steps;
    theory_steps = static_cast<std::int64_t>(run.parameters.N_A) + 1;
    theory_status_at = -1;
    theory.run(run.parameters, run);
    if (!theory_pace.full_speed()) {
        theory_steps_done = transferred;
        theory_status_at = -1;
        show_theory_pace_status(runtime_.time());
    }
    theory_steps = steps_outside;
    show_theory_summary(run);
}

void Kalorix::draw_theory_frame(const TheoryRun& run) {
    const double xs = x_scale, ys = y_scale;
    // The run's values, not the program-wide ones a menu action may change.
    const double graph_width = run.graph_width;
    const std::int32_t n = run.parameters.n;
    runtime_.set_colour(colour(colour_white));
    runtime_.set_second_colour(colour(background_colour));
    runtime_.rectangle(10 * xs, 10 * ys, 10 * xs + graph_width, 125 * ys);

    // n / 10 rounds to 0 for n <= 5, and a step of 0 would never end: such
    // axes get a tick at every atom. 64 bits: t + d must not overflow near n.
    std::int64_t d = static_cast<std::int64_t>(std::nearbyint(n / 10.0));
    if (d < 1) d = 1;
    for (std::int64_t t = d; t <= n; t += d) {
        const double X = std::nearbyint(10 * xs + t * graph_width / n);
        runtime_.line(X, 125 * ys, X, 10 * ys);
        runtime_.locate(std::nearbyint(xs + 29 * xs * t / n - 2), 23);
        runtime_.print(rt::number_text(static_cast<double>(t)));
    }

    runtime_.locate(23 * xs, 24);
    runtime_.print("  Zahl übergetretener Atome");
    runtime_.locate(22 * xs, 25);
    runtime_.print("innere Energie U_B = Uo - U_A");
    // Row 1 lies across the frame's top edge. The blanks only move the print
    // position to the second title; printed transparent, they leave the edge
    // and the grid lines standing between the two titles.
    runtime_.locate(xs, 1);
    runtime_.print("Entropie S");
    runtime_.set_text_transparent(true);
    runtime_.print(blanks(87));
    runtime_.set_text_transparent(false);
    runtime_.print_line("1/T = dS/dU > 0, wenn für Teilsystem Steigung > 0");
}

// The marks of the model's maximum search: where room A leaves population
// inversion, the maximum once passed, and the room colours that follow.
void Kalorix::mark_entropy_maximum(const TheoryRun& run, const MaximumChange& change) {
    const double xs = x_scale, ys = y_scale;
    const double entropy_scale = run.entropy_scale;  // the run's, as above

    if (change.growing) {
        x_at_max = theory.share_at_max * run.graph_width;
        if (change.left_inversion) {
            const double h = std::max(std::nearbyint(entropy_scale * S_A), std::nearbyint(entropy_scale * S_B));
            const double x = 10 * xs + x_at_max;
            runtime_.set_colour(colour(saved_black));
            runtime_.line(x, 125 * ys, x, 125 * ys - h);
        }

        if (T_A_at_max < 0) {
            colour_A = saved_red;
            colour_B = saved_white;
        } else {
            colour_A = saved_yellow;
            colour_B = saved_blue;
        }
        return;
    }

    if (marker_armed != 1) return;
    // The first step past the maximum: mark the maximum, once per arming.
    const double top = S_max * entropy_scale;
    const double maximum_x = 10 * xs + x_at_max;
    runtime_.set_colour(rt::colours::pink);
    runtime_.graphics_text(13 * xs + x_at_max, 130 * ys - top, "???");
    runtime_.play_sound("ding.wav");
    runtime_.set_colour(colour(saved_black));
    runtime_.line(maximum_x, 125 * ys, maximum_x, 125 * ys - top);
    marker_armed = -1;
    colour_A = saved_red;
    colour_B = saved_white;
    colour_total = saved_red;
}

void Kalorix::show_theory_step(const TheoryRun& run) {
    const double xs = x_scale;
    // Pen colours replace the pixels (drawing mode 13) in this runtime always.
    const auto room_lines = [this](double column, double colour_value, const char* room, double S, double T,
                                   const std::string& trend) {
        runtime_.set_colour(colour(colour_value));
        runtime_.locate(column, 27);
        runtime_.print(std::string(" Entropie_") + room + " = " + rt::format_picture(S, "###,#") + blanks(3));
        runtime_.locate(column, 28);
        runtime_.print(std::string(" Temperatur_") + room + " = " +
                       rt::number_text(shown_temperature(T, temperature_scale)) + blanks(3));
        runtime_.locate(column, 29);
        runtime_.print_line(blanks(31) + trend);
    };
    room_lines(2 * xs, colour_A, "A", S_A, T_A, trend_A);
    room_lines(12 * xs, colour_B, "B", S_B, T_B, trend_B);

    runtime_.set_colour(colour(colour_total));
    runtime_.locate(23 * xs, 27);
    runtime_.print(" Entropie_Ges = " + rt::format_picture(S_A + S_B, "###,#") + blanks(3));

    const double x = run.step_x(transferred);
    graph_y_A = run.entropy_y(S_A);
    graph_y_B = run.entropy_y(S_B);
    const double y_total = run.entropy_y(S_ges);
    runtime_.set_second_colour(colour(background_colour));
    runtime_.set_colour(colour(colour_A));
    runtime_.filled_box(x - 1, graph_y_A - 1, x + 1, graph_y_A + 1);
    runtime_.set_colour(colour(colour_B));
    runtime_.filled_box(x - 1, graph_y_B - 1, x + 1, graph_y_B + 1);
    runtime_.set_colour(colour(colour_total));
    runtime_.filled_box(x - 2, y_total - 2, x + 2, y_total + 2);
}

void Kalorix::show_theory_summary(const TheoryRun& run) {
    const double xs = x_scale;
    runtime_.set_colour(colour(saved_black));
    const auto blank_out = [this](int row, int count) {
        runtime_.locate(2, row);
        runtime_.print(blanks(count));
    };
    blank_out(31, 59);
    blank_out(26, 59);
    blank_out(27, 132);
    blank_out(28, 59);
    blank_out(29, 59);
    blank_out(30, 59);

    runtime_.locate(2, 28);
    runtime_.print("Thermisches Gleichgewicht, wenn ca. " + rt::format_picture(percent_at_max, "##,#") + " % " +
                   "der höherenergetischer Atome übergetreten.");
    runtime_.locate(2, 29);
    runtime_.print("Also Übergang von " + rt::number_text(transferred_at_max) + " höherenergetischen Teilchen aus " +
                   rt::number_text(run.parameters.n) + " von Raum A in Raum B." + blanks(14));

    runtime_.set_colour(rt::colours::pink);
    runtime_.locate(23 * xs, 29);
    runtime_.print("   Entropie_Max = " + rt::format_picture(S_max, "##,#") + blanks(3));

    // The last step's total in the background colour: it wipes the value
    // without showing a new one.
    runtime_.set_colour(colour(background_colour));
    runtime_.locate(23 * xs, 27);
    runtime_.print(" Entropie_Ges = " + rt::format_picture(S_A + S_B, "###,#") + blanks(3));

    runtime_.set_colour(colour(saved_yellow));
    runtime_.locate(2, 31);
    runtime_.print("Anteil 'heißer' Atome in Raum A: " +
                   rt::format_picture(theory.percent_hot_in_A(run.parameters), "##,#") + " % ");
    runtime_.locate(2, 30);
    runtime_.print("Temperatur_A beim Entropiemaximum = ca. " +
                   rt::format_picture(temperature_scale * T_A_at_max, "####,#") + blanks(3));

    runtime_.set_colour(colour(saved_blue));
    runtime_.locate(15 * xs, 31);
    runtime_.print(" in Raum B: " + rt::format_picture(theory.percent_hot_in_B(run.parameters), "##,#") + " %");
    runtime_.locate(15 * xs, 30);
    runtime_.print(" Temperatur_B beim Entropiemaximum = ca. " +
                   rt::format_picture(temperature_scale * T_B_at_max, "####,#") + blanks(3));

    runtime_.describe_picture("Entropiekurven von Raum A, Raum B und dem Gesamtsystem; Maximum bei " +
                              rt::number_text(transferred_at_max) + " übergetretenen Atomen");
    runtime_.announce([&] {
        return "Thermisches Gleichgewicht nach dem Übergang von " + rt::number_text(transferred_at_max) + " aus " +
               rt::number_text(run.parameters.n) +
               " höherenergetischen Teilchen, Entropie_Max = " + rt::format_picture(S_max, "##,#");
    });
}

}  // namespace kalorix
