#pragma once
// kalorix: two rooms of two-level atoms exchange energy. The program-wide
// state lives here; the procedures are defined one subject per source file
// (frame, input, theory, experiment, help).

#include "common/runtime/pace.h"
#include "common/screens/program.h"
#include "kalorix/core/analysis_records.h"
#include "kalorix/core/entropy_curve.h"
#include "kalorix/core/experiment_tables.h"
#include "kalorix/core/parameter_rules.h"
#include "kalorix/core/theory_model.h"
#include "kalorix/core/thermodynamics.h"
#include "kalorix/core/trial_quantities.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalorix {

class Kalorix : public common::Program {
public:
    explicit Kalorix(rt::Runtime& runtime);

    void main() override;
    void Win_0_MenuEvent(int index) override;

    // --- frame (frame.cpp) ---------------------------------------------------
    static const std::vector<std::string>& menu_list();
    void reset_colours();

    // --- parameter input (input.cpp) -------------------------------------------
    void ask_parameters();
    // The values of the last complete input as a lesson to hand on, with the
    // button of its closing question.
    lesson::Lesson values_in_use() const;
    double answered_choice = 0;  // 0 until an input reached its closing question

    // --- analyses (theory.cpp, experiment.cpp) ---------------------------------
    void theoretical_analysis();
    void run_experiment(double N_A_value, double n_value, double Nmax_A_value, double Nmax_B_value);

    // --- automatic trials (automatic_trials.cpp) ------------------------------------
    // The EXTRAS entry of kalorix's own, its key after the tab; checked while
    // the trials go on by themselves.
    static constexpr const char* automatic_entry = "&Automatisch weiter\tCtrl+A";
    // Trials per second while the experiment goes on by itself.
    static constexpr double automatic_trials_per_second = 10;
    // The entry: on and off while an experiment waits for its next trial on
    // its own screen; elsewhere the status line says where it works.
    void toggle_automatic_trials();
    // Whether the wait after a trial ends by itself now: called in every
    // pass of the wait. A mouse button stops the automatic mode.
    bool automatic_trial_due();
    // The mode belongs to one run and one screen: it ends with the run, with
    // a new parameter input and with every cleared window, and the status
    // line with it.
    void end_automatic_trials();
    void show_trial_status();
    // Right of the trial number: the red "Nächster Versuch: Taste!" while the
    // run waits for a key, a note while the trials go on by themselves.
    void show_trial_prompt();
    bool automatic_trials = false;
    double automatic_due = -1;  // clock time of the next automatic trial; < 0: not booked

    // --- the theory's curve in the experiment (experiment_curve.cpp) --------------
    // EXTRAS entries: the curve on and off, and large over the experiment's
    // graph instead of small beside it (which also turns it on).
    static constexpr const char* curve_entry = "&Entropiekurve im Experiment\tCtrl+K";
    static constexpr const char* large_curve_entry = "Entropiekurve g&roß\tCtrl+G";
    void toggle_entropy_curve(bool large_entry);
    bool curve_shown = false;  // off at start: the experiment's screen as it always was
    bool curve_large = false;
    // What a run gives the curve: its rooms and excitations, where its atom
    // pictures end, and per trial the split and the temperature rows (which
    // come back where the curve is taken away).
    struct CurveOfRun {
        double Nmax_A = 0, Nmax_B = 0;
        std::int64_t total = 0;
        double pictures_bottom = 0;
        bool made = false;  // curve computed
        EntropyCurve curve;
        SplitPath path;
        std::vector<std::pair<double, double>> rows;  // graph_y_A, graph_y_B per trial
    };
    CurveOfRun curve_run;

    // --- the theory at a pace (theory_pace.cpp) --------------------------------------
    // The tempo steps of diffundo's dice, for the theory's steps; full speed
    // at start, so a theory runs as it always did until a tempo is chosen.
    static constexpr const char* theory_slower_entry = "Tempo der Theorie: &langsamer\tCtrl+-";
    static constexpr const char* theory_faster_entry = "Tempo der Theorie: s&chneller\tCtrl++";
    static constexpr const char* theory_pause_entry = "Tempo der Theorie: a&nhalten / fortsetzen\tCtrl+Space";
    static constexpr const char* theory_single_step_entry = "Tempo der Theorie: E&inzelschritt\tCtrl+Right";
    static const std::vector<std::string>& theory_pace_entries();
    // Whether the entry was one of them; then the pace has changed.
    bool theory_pace_selected(const std::string& entry);
    rt::Pace theory_pace;

    // --- help pages (help.cpp) ---------------------------------------------------
    void help_info();
    void help_entropy();
    void help_temperature();
    void help_temperature_school();
    void help_inner_energy();
    void help_free_energy();
    void help_equilibrium();

    // The state is public to the tests, which check what a procedure left.
    // --- program-wide state --------------------------------------------------------
    std::int32_t Nmax_A = 0;
    std::int32_t Nmax_B = 0;
    std::int32_t n = 0;
    std::int32_t N_A = 0;
    double choice = 1;
    std::int16_t marker_armed = 0;
    double temperature_scale = temperature_scale_default;
    double entropy_scale = 0;
    double graph_width = 0;
    double excitation_energy = 0;
    std::int16_t x_scale = 0;
    std::int16_t y_scale = 0;

    // Cells and dot positions of the experimental analysis, made once at
    // start-up (experiment_tables.h gives their sizes).
    std::vector<std::int32_t> atom_grid;  // row-major: atom_grid[j * atom_grid_side + i]
    std::vector<std::int32_t> dot_x;
    std::vector<std::int32_t> dot_y;

    // Colour table (0x00BBGGRR); the theoretical analysis switches the room colours.
    double background_colour = rt::colours::background;
    double colour_white = rt::colours::white;
    double colour_total = rt::colours::black;
    double colour_A = rt::colours::yellow;
    double colour_red = rt::colours::red;
    double colour_B = rt::colours::blue;
    double saved_white = rt::colours::white;
    double saved_yellow = rt::colours::yellow;
    double saved_red = rt::colours::red;
    double saved_blue = rt::colours::blue;
    double saved_black = rt::colours::black;

    // Results of the theoretical analysis; they outlive a run. The model
    // computes and holds them; the program-wide names refer into it.
    TheoryModel theory;
    std::int32_t& transferred = theory.transferred;
    double& S_A = theory.S_A;
    double& S_B = theory.S_B;
    double& S_ges = theory.S_ges;
    double& T_A = theory.T_A;
    double& T_B = theory.T_B;
    double& S_max = theory.S_max;
    std::int32_t& transferred_at_max = theory.transferred_at_max;
    double& percent_at_max = theory.percent_at_max;
    double& T_A_at_max = theory.T_A_at_max;
    double& T_B_at_max = theory.T_B_at_max;
    double& previous_T_A_at_max = theory.previous_T_A_at_max;
    std::string& trend_A = theory.trend_A;
    std::string& trend_B = theory.trend_B;
    double x_at_max = 0;  // pixel offset of the maximum inside the graph

    // Results of the experimental analysis that outlive a run (the
    // theoretical analysis stores its point rows in the same graph rows).
    std::int32_t count_A = 0, count_B = 0;
    std::int32_t trial_index = 0;
    double trial_T_A = 0, trial_T_B = 0;  // temperatures as the experiment computes them
    double graph_y_A = 0, graph_y_B = 0;  // shared with the theory's point rows

    // The records of the analysis on the screen, for "Da&ten speichern ...";
    // emptied with the screen (records.cpp).
    std::vector<TheoryRecord> theory_records;
    std::vector<TrialRecord> trial_records;
    ExperimentValues experiment_values;
    void export_theory(std::int32_t steps_limit);
    void export_experiment(const ExperimentValues& values);
    // N_A_start: the excitations of room A before the run's first transfer.
    void record_theory_step(std::int32_t N_A_start);
    void record_trial(const TrialQuantities& q);
    void forget_records();

    using common::Program::button_list;
    using common::Program::menu_entries;
    using common::Program::message_text;
    using common::Program::quit_marker;

protected:
    void message_answered(int button) override { choice = button; }
    common::TitleScreen title_screen() const override;
    void continue_prompt_cell(int row, double& column, double& text_row) const override;
    rt::Colour background() const override { return colour(background_colour); }
    std::string extras_help_page() const override;

private:
    static rt::Colour colour(double value) { return static_cast<rt::Colour>(value); }
    void init_common();
    void theory_unless_experiment_only();
    // Every screen of the program begins with a cleared window, and kalorix
    // clears it only here: a run that waits while menu actions run can tell
    // by the count whether its screen is still the one shown.
    void clear_window();
    std::uint64_t windows_cleared = 0;

    // input.cpp: whether the lesson's value of `field` is taken without its
    // box (then in `result`); otherwise `proposal` may now be the lesson's.
    bool lesson_value(Field field, const AcceptedCounts& accepted, std::optional<double> value, std::string& proposal,
                      CheckedAnswer& result);

    // theory.cpp: one run keeps the values it was started with, lets events
    // through between the model's steps (theory_model.h, where the steps and
    // the maximum search live) and draws what each step reports.
    struct TheoryRun;
    TheoryParameters theory_parameters() const;
    void draw_theory_frame(const TheoryRun& run);
    void mark_entropy_maximum(const TheoryRun& run, const MaximumChange& change);
    void show_theory_step(const TheoryRun& run);
    void show_theory_summary(const TheoryRun& run);
    // Parameter inputs begun so far: a new input ends a running theory as
    // Quit does.
    std::uint64_t parameter_inputs_begun = 0;

    // experiment.cpp: one run holds its four values and the model of the
    // cells (experiment_model.h, where place_initial_atoms, count_excited and
    // clear_trial_atoms live, testable without a screen); the procedures
    // below draw what the model changes.
    struct ExperimentRun;
    void make_experiment_tables();
    void draw_dot(double x, double y);
    void use_plain_drawing();
    void set_up_experiment_screen(const ExperimentRun& run);
    void plot_trial_temperatures();
    void print_trial_text(const ExperimentRun& run);
    // The trial's outcome for a screen reader.
    void announce_trial(const ExperimentRun& run);
    // The text of one entry of the value table, kept so that printing the
    // table after every trial allocates nothing.
    std::string trial_entry;
    void wait_for_next_trial(const ExperimentRun& run);
    // Runs begun so far: a run started from the menu while another one waits
    // for its key takes over the cells, and the waiting run then ends.
    std::uint64_t experiment_runs_begun = 0;

    // experiment_curve.cpp
    void set_curve_checks();
    void begin_curve_run(double Nmax_A_value, double Nmax_B_value, std::int64_t total, double pictures_bottom);
    void add_trial_to_curve();
    CurvePanel curve_panel() const;
    void draw_entropy_curve();
    void erase_entropy_curve(const CurvePanel& panel);

    // theory_pace.cpp: one pass of a paced theory's wait before a step, on
    // the clock; whether the step is due now. The status line tells the
    // tempo and the steps made.
    bool theory_step_due();
    void show_theory_pace_status(double now);
    double theory_status_at = -1;   // clock time of the last status; < 0: at the next pass
    std::int64_t theory_steps = 0;  // of the paced run; 0 while none runs
    std::int64_t theory_steps_done = 0;

    // automatic_trials.cpp
    void set_automatic_trials(bool on);
    void mode_changed_in_wait();
    // The screen (count of cleared windows) of the run whose wait after a
    // trial is the innermost one going on; 0 while none waits.
    std::uint64_t waiting_screen = 0;
    bool trial_wait_shown() const { return waiting_screen != 0 && waiting_screen == windows_cleared; }
    // Whether the note of automatic trials stands where the prompt belongs.
    bool automatic_note_shown = false;
};

std::unique_ptr<common::Program> make_program(rt::Runtime& runtime);

}  // namespace kalorix
