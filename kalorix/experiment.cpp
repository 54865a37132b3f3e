// The experimental analysis: excitations wander at random between the rooms,
// trial by trial, with the temperatures plotted over the trials.
#include "common/runtime/number_format.h"
#include "kalorix/core/experiment_model.h"
#include "kalorix/kalorix.h"

#include <cmath>
#include <string>

namespace kalorix {

namespace {

constexpr int last_trial_index = 1000;

// Graph frame (10, 10)-(1010, 580); trial t is plotted at column t + 10.
constexpr double graph_top = 10;
constexpr double graph_bottom = 580;

}  // namespace

struct Kalorix::ExperimentRun final : ExperimentModel::Hooks {
    ExperimentRun(Kalorix& program, double N_A, double n, double Nmax_A, double Nmax_B)
        : program(program),
          N_A(N_A),
          n(n),
          Nmax_A(Nmax_A),
          Nmax_B(Nmax_B),
          model({program.atom_grid, atom_grid_side, program.dot_x, program.dot_y}, RoomSquare::of_rooms(Nmax_A, Nmax_B),
                *this) {}

    double random() override { return program.runtime_.random(); }
    bool quit_requested() const override { return program.quit_marker == "*"; }
    void dot_excited(std::int64_t i, std::int64_t j) override { draw(i, j, program.saved_yellow); }
    void dot_cleared(std::int64_t i, std::int64_t j) override { draw(i, j, program.background_colour); }

    void draw(std::int64_t i, std::int64_t j, double colour_value) {
        program.runtime_.set_colour(colour(colour_value));
        program.draw_dot(ExperimentModel::dot_x_of(i), ExperimentModel::dot_y_of(j));
    }

    // Variant 1 moves N_A excitations about; variant 2 (N_A = 0) places n
    // afresh in every trial.
    bool transfers() const { return N_A > 0; }
    std::int64_t limit() const { return static_cast<std::int64_t>(transfers() ? N_A : n); }

    Kalorix& program;
    // The run keeps its own four values: a new parameter input chosen from
    // the menu while it waits must not change the room sizes its entropies
    // use, nor the number of slots its removal clears.
    const double N_A, n, Nmax_A, Nmax_B;
    ExperimentModel model;
    TrialEnergies energies;
};

void Kalorix::run_experiment(double N_A_value, double n_value, double Nmax_A_value, double Nmax_B_value) {
    if (const auto refusal =
            experiment_refusal(N_A_value, n_value, Nmax_A_value, Nmax_B_value, atom_grid_side, trial_record_slots)) {
        message_text = *refusal;
        show_message();
        // As after a finished run, the user gives new values.
        if (quit_marker != "*") ask_parameters();
        return;
    }
    // Made at start-up; a run never indexes tables of another size.
    make_experiment_tables();

    const std::uint64_t this_run = ++experiment_runs_begun;
    ExperimentRun run(*this, N_A_value, n_value, Nmax_A_value, Nmax_B_value);
    set_up_experiment_screen(run);
    run.model.clear_grid();

    run.model.count_A = run.transfers() ? static_cast<std::int32_t>(N_A_value) : 0;
    run.model.count_B = 0;
    if (run.transfers()) run.model.place_initial_atoms(run.model.rooms().side_A, run.limit());
    trial_index = 0;

    const double size_A = run.model.rooms().size_A();
    const double size_B = run.model.rooms().size_B();
    for (;;) {
        run.model.run_steps(run.transfers(), run.limit());
        count_A = run.model.count_A;
        count_B = run.model.count_B;

        update_room_temperature(size_A, count_A, run.limit(), excitation_energy, temperature_scale, trial_T_A,
                                graph_y_A);
        update_room_temperature(size_B, count_B, run.limit(), excitation_energy, temperature_scale, trial_T_B,
                                graph_y_B);
        run.energies =
            trial_energies(run.Nmax_A, run.Nmax_B, count_A, count_B, excitation_energy, trial_T_A, trial_T_B);
        plot_trial_temperatures();
        print_trial_text(run);

        wait_for_next_trial();
        // A run chosen from the menu during the wait has taken over the
        // cells and the screen; this one ends with it.
        if (experiment_runs_begun != this_run) return;
        use_plain_drawing();

        if (!run.transfers()) {
            run.model.clear_trial_atoms(static_cast<std::int64_t>(run.n));
            run.model.count_A = count_A = 0;
            run.model.count_B = count_B = 0;
        }
        // Dots of room B along the edge of room A cover its outline.
        const double a = 2 * run.model.rooms().side_A;
        runtime_.set_colour(rt::colours::white);
        runtime_.rectangle(478, 15, a + 479, a + 16);

        if (quit_marker == "*") return;
        if (++trial_index > last_trial_index) break;
    }
    ask_parameters();
}

void Kalorix::make_experiment_tables() {
    const auto cells = static_cast<std::size_t>(atom_grid_side) * atom_grid_side;
    if (atom_grid.size() != cells) atom_grid.assign(cells, 0);
    if (dot_x.size() != static_cast<std::size_t>(trial_record_slots)) dot_x.assign(trial_record_slots, 0);
    if (dot_y.size() != static_cast<std::size_t>(trial_record_slots)) dot_y.assign(trial_record_slots, 0);
}

void Kalorix::draw_dot(double x, double y) { runtime_.rectangle(x, y, x + 1, y + 1); }

// Whatever the screen before, or an action chosen from the menu during a
// wait, left behind: thin hollow outlines for the dots, the program's font,
// and text on the background so that trailing blanks wipe longer old values.
void Kalorix::use_plain_drawing() {
    runtime_.set_line_width(1);
    runtime_.set_fill_style(rt::fill_hollow);
    runtime_.set_font(rt::FontFamily::serif, 16);
    runtime_.set_text_transparent(false);
    runtime_.set_second_colour(colour(background_colour));
}

void Kalorix::set_up_experiment_screen(const ExperimentRun& run) {
    runtime_.clear_screen();
    use_plain_drawing();
    temperature_scale = 200;

    const double a = 2 * run.model.rooms().side_A;
    const double t = 2 * run.model.rooms().side_total;
    runtime_.set_colour(colour(saved_yellow));
    runtime_.graphics_text(682, 15, "A");
    runtime_.set_colour(colour(saved_blue));
    runtime_.graphics_text(a + 699, a + 33, "B");

    runtime_.set_colour(rt::colours::white);
    runtime_.rectangle(10, 10, 1010, 580);
    runtime_.rectangle(478, 15, t + 479, t + 16);
    runtime_.rectangle(478, 15, a + 479, a + 16);
    runtime_.rectangle(678, 15, t + 679, t + 16);
    runtime_.rectangle(678, 15, a + 679, a + 16);

    runtime_.locate(3, 3);
    runtime_.set_colour(colour(saved_yellow));
    runtime_.print("Temperatur A");
    runtime_.set_colour(colour(saved_blue));
    runtime_.print("/  Temperatur B");
    runtime_.set_colour(rt::colours::black);
}

void Kalorix::plot_trial_temperatures() {
    // Rows outside (0, 580) are not plotted; a row the theoretical analysis
    // left, or a hot room's row, may also lie above the frame, which is not
    // part of the graph either.
    const auto inside = [](double row) { return 0 < row && row < graph_bottom && std::nearbyint(row) >= graph_top; };
    const double column = trial_index + 10;
    if (inside(graph_y_A)) {
        runtime_.set_colour(colour(saved_yellow));
        runtime_.point(column, graph_y_A);
    }
    if (inside(graph_y_B)) {
        runtime_.set_colour(colour(saved_blue));
        runtime_.point(column, graph_y_B);
    }
}

void Kalorix::print_trial_text(const ExperimentRun& run) {
    const auto entry = [this](double column, double row, const char* label, const std::string& value, int blanks) {
        runtime_.locate(column, row);
        runtime_.print(label + value + std::string(static_cast<std::size_t>(blanks), ' '));
    };
    const auto real = [](double v) { return rt::number_text(v); };
    const auto picture = [](double v) { return rt::format_picture(v, "##"); };

    runtime_.set_colour(rt::colours::black);
    runtime_.locate(2, 27);
    runtime_.print("Versuch Nr." + rt::number_text(trial_index + 1));
    runtime_.set_colour(colour(colour_red));
    runtime_.locate(22 * x_scale, 27);
    runtime_.print("Nächster Versuch: Taste!");
    runtime_.set_colour(rt::colours::black);
    runtime_.locate(27 * x_scale, 24);
    runtime_.print("Versuchs-Nr.");
    // The caption's text cell reaches over the frame's bottom line and
    // would cut it; the line goes back on top.
    runtime_.set_colour(rt::colours::white);
    runtime_.line(10, graph_bottom, 1010, graph_bottom);

    const double E = excitation_energy;
    const TrialEnergies& e = run.energies;
    runtime_.set_colour(colour(trial_T_A < 0 ? colour_red : saved_yellow));
    entry(2, 29, "T_A  = ", real(std::floor(temperature_scale * trial_T_A)), 8);
    entry(2, 30, "N_A =   ", picture(count_A), 8);
    entry(2, 31, "Nmax_A =   ", picture(run.Nmax_A), 8);
    entry(17, 29, "U_A = ", real(std::floor(E * count_A)), 4);
    entry(17, 30, "S_A = ", real(e.S_A), 4);
    entry(17, 31, "F_A =   ", picture(e.F_A), 8);

    runtime_.set_colour(colour(saved_blue));
    entry(35, 29, "T_B = ", real(std::floor(temperature_scale * trial_T_B)), 4);
    entry(35, 30, "N_B = ", real(count_B), 4);
    entry(35, 31, "Nmax_B =   ", picture(run.Nmax_B), 8);
    entry(52, 29, "U_B = ", real(std::floor(E * count_B)), 4);
    entry(52, 30, "S_B = ", real(e.S_B), 4);
    entry(52, 31, "F_B =   ", picture(e.F_B), 8);
    entry(73, 29, "U_ges = ", real(std::floor(E * (count_A + count_B))), 4);
    entry(73, 30, "S_ges  = ", real(e.S_A + e.S_B), 4);
    entry(73, 31, "F_ges  =   ", picture(e.F_A + e.F_B), 8);
}

void Kalorix::wait_for_next_trial() {
    runtime_.set_colour(rt::colours::white);
    // Menu selections run here, "&Quit" among them; the key query sleeps
    // while nothing happens.
    for (;;) {
        runtime_.process_events();
        if (quit_marker == "*") return;
        if (!runtime_.key_query().empty()) return;
    }
}

}  // namespace kalorix
