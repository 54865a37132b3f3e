// The experimental analysis: excitations wander at random between the rooms,
// trial by trial, with the temperatures plotted over the trials.
#include "common/runtime/number_format.h"
#include "kalorix/core/atom_picture.h"
#include "kalorix/core/experiment_model.h"
#include "kalorix/core/thermodynamics.h"
#include "kalorix/core/trial_quantities.h"
#include "kalorix/kalorix.h"

#include <cmath>
#include <string>

namespace kalorix {

namespace {

constexpr int last_trial_index = 1000;

// The graph of the temperatures over the trials: trial t is plotted at
// column t + graph_left, a temperature T at row graph_bottom - scale T.
constexpr double graph_left = 10;
constexpr double graph_top = 10;
constexpr double graph_right = graph_left + last_trial_index;
constexpr double graph_bottom = 580;
// The row of a room without excited or without ground-state atoms.
constexpr double empty_or_full_row = 319;

// The atom picture: a dot per cell or, scaled down, per k x k cells
// (atom_picture.h), the whole square and room A outlined one pixel outside
// their dots. The legend picture repeats the outlines legend_shift pixels to
// the right, with "A" in room A's top-left corner and "B" beyond room A's
// bottom-right corner. A scaled picture says so in a line below the graph,
// where neither points nor other texts come.
constexpr double picture_x = ExperimentModel::dot_origin_x;
constexpr double picture_y = ExperimentModel::dot_origin_y;
constexpr double legend_shift = AtomPicture::legend_shift;
constexpr double legend_x = picture_x + legend_shift;
constexpr double label_A_x = legend_x + 3;
constexpr double label_A_y = picture_y - 1;
constexpr double label_B_x = legend_x + 20;  // plus the side of room A in pixels
constexpr double label_B_y = picture_y + 17;
constexpr int scale_note_column = 43;
constexpr int scale_note_row = 25;

// The outline of a square of `side` pixels of dots that starts at column
// `left` and at the picture's top row.
void outline_square(rt::Runtime& runtime, double left, double side) {
    runtime.rectangle(left - 1, picture_y - 1, side + left, side + picture_y);
}

// The graph row of a room's temperature after a trial; a room that was not
// recomputed keeps the row it had.
double temperature_row(const RoomQuantities& room, double row, double scale) {
    switch (room.source) {
    case TemperatureCase::kept: return row;
    case TemperatureCase::empty_or_full: return empty_or_full_row;
    case TemperatureCase::computed: return graph_bottom - scale * room.T;
    }
    return row;
}

}  // namespace

struct Kalorix::ExperimentRun final : ExperimentModel::Hooks {
    ExperimentRun(Kalorix& program, double N_A, double n, double Nmax_A, double Nmax_B)
        : program(program),
          N_A(N_A),
          n(n),
          Nmax_A(Nmax_A),
          Nmax_B(Nmax_B),
          setting(TrialSetting::of_run(N_A, n, Nmax_A, Nmax_B)),
          model({program.atom_grid, atom_grid_side, program.dot_x, program.dot_y}, RoomSquare::of_rooms(Nmax_A, Nmax_B),
                *this),
          picture(AtomPicture::of_rooms(model.rooms())),
          lit_dots(picture, model.rooms().span()),
          Nmax_A_text(rt::format_picture(Nmax_A, "##")),
          Nmax_B_text(rt::format_picture(Nmax_B, "##")) {}

    double random() override { return program.runtime_.random(); }
    bool quit_requested() const override { return program.quit_marker == "*"; }
    void dot_excited(std::int64_t i, std::int64_t j) override {
        if (picture.dot_size == 1) lit_dots.excited(i, j);
        draw(i, j, program.saved_yellow);
    }
    // A pixel of a smaller picture stays lit while another of its cells is
    // excited.
    void dot_cleared(std::int64_t i, std::int64_t j, bool was_excited) override {
        bool lit = false;
        if (picture.dot_size == 1) lit = was_excited ? lit_dots.cleared(i, j) : lit_dots.lit(i, j);
        draw(i, j, lit ? program.saved_yellow : program.background_colour);
    }

    void draw(std::int64_t i, std::int64_t j, double colour_value) {
        program.runtime_.set_colour(colour(colour_value));
        const auto x = static_cast<double>(picture.dot_x(i)), y = static_cast<double>(picture.dot_y(j));
        if (picture.dot_size == 1)
            program.runtime_.point(x, y);
        else
            program.draw_dot(x, y);
    }

    // Variant 1 moves N_A excitations about; variant 2 (N_A = 0) places n
    // afresh in every trial.
    bool transfers() const { return N_A > 0; }
    std::int64_t limit() const { return setting.limit; }
    // Widths in pixels of room A's dots and of the whole square's.
    double side_A_pixels() const { return picture.width_A; }
    double side_total_pixels() const { return picture.width_total; }

    Kalorix& program;
    // The run keeps its own four values: a new parameter input chosen from
    // the menu while it waits must not change the room sizes its entropies
    // use, nor the number of slots its removal clears.
    const double N_A, n, Nmax_A, Nmax_B;
    const TrialSetting setting;
    ExperimentModel model;
    const AtomPicture picture;
    LitDots lit_dots;  // of a picture with one pixel per dot; the run starts with the cells cleared
    // The room sizes as the table shows them in every trial.
    const std::string Nmax_A_text, Nmax_B_text;
    TrialQuantities quantities;
    // The program's count of cleared windows once this run's screen was set
    // up; a larger count means another screen has replaced it.
    std::uint64_t own_screen = 0;
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
    runtime_.describe_picture(
        "Die angeregten Atome als gelbe Punkte, Raum A im Quadrat oben links, Raum B "
        "darum herum; Temperaturen T_A und T_B über den Versuchen");
    run.own_screen = windows_cleared;
    begin_curve_run(Nmax_A_value, Nmax_B_value, run.limit(), picture_y + run.side_total_pixels());
    export_experiment({N_A_value, n_value, Nmax_A_value, Nmax_B_value});
    run.model.clear_grid();

    run.model.count_A = run.transfers() ? static_cast<std::int32_t>(N_A_value) : 0;
    run.model.count_B = 0;
    if (run.transfers()) run.model.place_initial_atoms(run.model.rooms().side_A, run.limit());
    trial_index = 0;

    for (;;) {
        run.model.run_steps(run.transfers(), run.limit());
        count_A = run.model.count_A;
        count_B = run.model.count_B;

        run.quantities = trial_quantities(run.setting, count_A, count_B, excitation_energy, trial_T_A, trial_T_B);
        trial_T_A = run.quantities.A.T;
        trial_T_B = run.quantities.B.T;
        graph_y_A = temperature_row(run.quantities.A, graph_y_A, temperature_scale);
        graph_y_B = temperature_row(run.quantities.B, graph_y_B, temperature_scale);
        plot_trial_temperatures();
        add_trial_to_curve();
        if (curve_shown && windows_cleared == run.own_screen) draw_entropy_curve();
        print_trial_text(run);
        announce_trial(run);
        record_trial(run.quantities);

        wait_for_next_trial(run);
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
        runtime_.set_colour(rt::colours::white);
        outline_square(runtime_, picture_x, run.side_A_pixels());

        if (quit_marker == "*") {
            end_automatic_trials();
            return;
        }
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
    clear_window();
    use_plain_drawing();
    temperature_scale = temperature_scale_default;

    const double a = run.side_A_pixels();
    const double t = run.side_total_pixels();
    runtime_.set_colour(colour(saved_yellow));
    runtime_.graphics_text(label_A_x, label_A_y, "A");
    runtime_.set_colour(colour(saved_blue));
    runtime_.graphics_text(a + label_B_x, a + label_B_y, "B");

    runtime_.set_colour(rt::colours::white);
    runtime_.rectangle(graph_left, graph_top, graph_right, graph_bottom);
    outline_square(runtime_, picture_x, t);
    outline_square(runtime_, picture_x, a);
    outline_square(runtime_, legend_x, t);
    outline_square(runtime_, legend_x, a);

    runtime_.locate(3, 3);
    runtime_.set_colour(colour(saved_yellow));
    runtime_.print("Temperatur A");
    runtime_.set_colour(colour(saved_blue));
    runtime_.print("/  Temperatur B");
    runtime_.set_colour(rt::colours::black);
    if (run.picture.scaled()) {
        const std::string k = rt::number_text(run.picture.cells_per_dot);
        runtime_.locate(scale_note_column, scale_note_row);
        runtime_.print("Atombild verkleinert: ein Punkt = " + k + " x " + k + " Atome");
    }
}

void Kalorix::plot_trial_temperatures() {
    // Rows in (0, graph_bottom) are plotted, also those of a hot room above
    // the frame's top edge: the graph goes on up to the window's first row.
    const auto inside = [](double row) { return 0 < row && row < graph_bottom; };
    const double column = trial_index + graph_left;
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
        trial_entry.assign(label).append(value).append(static_cast<std::size_t>(blanks), ' ');
        runtime_.locate(column, row);
        runtime_.print(trial_entry);
    };
    const auto real = [](double v) { return rt::number_text(v); };
    const auto picture = [](double v) { return rt::format_picture(v, "##"); };

    runtime_.set_colour(rt::colours::black);
    runtime_.locate(2, 27);
    runtime_.print("Versuch Nr." + rt::number_text(trial_index + 1));
    show_trial_prompt();
    runtime_.set_colour(rt::colours::black);
    runtime_.locate(27 * x_scale, 24);
    runtime_.print("Versuchs-Nr.");
    // The caption's text cell reaches over the frame's bottom line and
    // would cut it; the line goes back on top, but only on the run's own
    // screen: a screen a menu action drew during the wait has no such frame.
    if (windows_cleared == run.own_screen) {
        runtime_.set_colour(rt::colours::white);
        runtime_.line(graph_left, graph_bottom, graph_right, graph_bottom);
    }

    const TrialQuantities& q = run.quantities;
    runtime_.set_colour(colour(trial_T_A < 0 ? colour_red : saved_yellow));
    entry(2, 29, "T_A  = ", real(shown_temperature(trial_T_A, temperature_scale)), 8);
    entry(2, 30, "N_A =   ", picture(count_A), 8);
    entry(2, 31, "Nmax_A =   ", run.Nmax_A_text, 8);
    entry(17, 29, "U_A = ", real(std::floor(q.A.U)), 4);
    entry(17, 30, "S_A = ", real(q.A.S), 4);
    entry(17, 31, "F_A =   ", picture(q.A.F), 8);

    runtime_.set_colour(colour(saved_blue));
    entry(35, 29, "T_B = ", real(shown_temperature(trial_T_B, temperature_scale)), 4);
    entry(35, 30, "N_B = ", real(count_B), 4);
    entry(35, 31, "Nmax_B =   ", run.Nmax_B_text, 8);
    entry(52, 29, "U_B = ", real(std::floor(q.B.U)), 4);
    entry(52, 30, "S_B = ", real(q.B.S), 4);
    entry(52, 31, "F_B =   ", picture(q.B.F), 8);
    entry(73, 29, "U_ges = ", real(std::floor(q.U_ges)), 4);
    entry(73, 30, "S_ges  = ", real(q.S_ges), 4);
    entry(73, 31, "F_ges  =   ", picture(q.F_ges), 8);
}

void Kalorix::announce_trial(const ExperimentRun& run) {
    runtime_.announce([&] {
        const auto temperature = [this](double T) { return rt::number_text(shown_temperature(T, temperature_scale)); };
        return "Versuch Nr." + rt::number_text(trial_index + 1) + ": N_A = " + rt::number_text(count_A) +
               ", N_B = " + rt::number_text(count_B) + ", T_A = " + temperature(trial_T_A) +
               ", T_B = " + temperature(trial_T_B) + ", S_ges = " + rt::number_text(run.quantities.S_ges);
    });
}

void Kalorix::wait_for_next_trial(const ExperimentRun& run) {
    runtime_.set_colour(rt::colours::white);
    // A run started from the menu waits inside this wait; this one's screen
    // counts again once that one is over. Restored however the wait ends:
    // closing the window unwinds through here.
    struct Waiting {
        std::uint64_t& screen;
        const std::uint64_t outer;
        ~Waiting() { screen = outer; }
    } waiting{waiting_screen, waiting_screen};
    waiting_screen = run.own_screen;
    // Menu selections run here, "&Quit" among them; the key query sleeps
    // while nothing happens.
    automatic_due = -1;
    for (;;) {
        runtime_.process_events();
        if (quit_marker == "*") return;
        if (!runtime_.key_query().empty()) {
            // A key takes the experiment back into the user's hands; the
            // trial it asks for shows the prompt again.
            if (automatic_trials) {
                set_automatic_trials(false);
                show_trial_status();
            }
            return;
        }
        if (automatic_trial_due()) return;
    }
}

}  // namespace kalorix
