#pragma once
// diffundo: a gas of N atoms in two boxes; at every pass of the main loop one
// atom chosen at random changes box. The program-wide state lives here (the
// gas itself in DiceModel); the procedures are defined one subject per source
// file (frame, dice, statistics, help).

#include "common/runtime/pace.h"
#include "common/screens/program.h"
#include "diffundo/core/dice_model.h"
#include "diffundo/core/split_history.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace diffundo {

class Diffundo : public common::Program {
public:
    explicit Diffundo(rt::Runtime& runtime);

    void main() override;
    void Win_0_MenuEvent(int index) override;
    // One pass of the main loop: events, a dice step (when one is due), the
    // tick and the status line.
    void main_loop_pass();

    // --- frame (frame.cpp) ---------------------------------------------------
    static const std::vector<std::string>& menu_list();
    static std::string window_title();
    // Start-up values: screen size, layout units, drawing mode, colours.
    void set_start_values();
    // The default of the first atom count: min(100, 40 * x_unit - 20) as text.
    std::string first_atom_default() const;

    // --- atom-count input and dice simulation (dice.cpp) -----------------------
    // `given`: a lesson's atom count, which meets the rule of a typed answer:
    // below 101 it is proposed in the box, or taken without it where the
    // lesson begins at once; otherwise the default stands.
    void enter_atom_count(const std::string& prompt, const std::string& default_text,
                          std::optional<double> given = std::nullopt);
    // The lesson's drawing mode and tempo, before the first run.
    void use_lesson_manner();
    // The atom count of the last input, the drawing mode and the tempo as a
    // lesson to hand on.
    lesson::Lesson values_in_use() const;
    bool atoms_entered = false;
    void dice_step();
    void toggle_draw_mode();

    // --- pace of the simulation (pace_control.cpp) ---------------------------------
    // The EXTRAS entries of diffundo's own, keys after the tab.
    static const std::vector<std::string>& pace_entries();
    // All of diffundo's own EXTRAS entries: the pace, then the time plot.
    static const std::vector<std::string>& own_extras();
    // Whether the entry was one of them; then the pace has changed.
    bool pace_selected(const std::string& entry);
    // A pass of the main loop below full speed: a step when one is due,
    // otherwise a poll that sleeps while nothing happens.
    void paced_pass();
    // Tempo, paused or running and the steps so far in the status line, a
    // few times per second (`now` is the clock read of the pass).
    void show_pace_status(double now);

    // --- time plot of the run (history_view.cpp) ---------------------------------
    // diffundo's own EXTRAS entry that switches the plot on and off.
    static const char* history_entry();
    void toggle_history();
    // The record begins anew at the present state of the run.
    void start_history();
    // Draws the plot when it is due: at once after a change of screen,
    // else at most a few times a second and only when steps were made.
    void show_history_when_due(double now);

    // --- statistics display (statistics.cpp) -------------------------------------
    void show_statistics();

    // --- help pages (help.cpp) ------------------------------------------------------
    void show_intro();
    void show_theory();
    void show_operation();

    // The state is public to the tests, which check what a procedure left.
    // --- program-wide state --------------------------------------------------------
    DiceModel gas;                 // N, m, the atom rows and the counts
    rt::Pace pace;                 // steps per second, paused, single step
    double status_shown_at = -1;   // clock time of the last status line; < 0: due now
    bool history_shown = false;    // the time plot instead of the atom lines
    SplitHistory history;          // atoms in box 2 over the steps, while the plot is shown
    double history_drawn_at = -1;  // clock time of the last plot; < 0: due now
    std::int64_t history_drawn_steps = -1;
    double atom_input = 0;         // last answer for N, before rounding
    std::int16_t draw_mode = -1;   // -1 atoms in place, 1 sorted
    std::int16_t display_row = 0;  // row of the last simulation line, 1 .. display_rows
    std::int16_t display_rows = 45;
    std::array<double, DiceModel::table_size> g_scaled{};  // 70 * g(N, m) / g(N, N/2), by m
    double g_factor = 0;                                   // 70 / g(N, N/2)
    double row_margin = 0;                                 // left margin in pixels of a row of N 8-pixel characters
    double continue_request = 0;    // 2 after "&Weiter", until a statistics display ends its wait
    double last_tick = 0;           // runtime time after the last dice step
    std::int32_t curve_prev_x = 0;  // previous point of the frequency curve: pixels,
    double curve_prev_value = 0;    // and value on the scale of the g bars
    int screen_width = 0;
    int screen_height = 0;
    double x_unit = 0;  // pixels per unit of the 320 x 200 layout grid
    double y_unit = 0;

    // Colours, 0x00BBGGRR.
    rt::Colour background_colour = rt::colours::background;
    rt::Colour colour_white = rt::colours::white;
    rt::Colour colour_black = rt::colours::black;
    rt::Colour colour_red = rt::colours::red;

    using common::Program::menu_entries;
    using common::Program::message_text;
    using common::Program::quit_marker;

protected:
    common::TitleScreen title_screen() const override;
    void continue_prompt_cell(int row, double& column, double& text_row) const override;
    rt::Colour background() const override { return background_colour; }
    std::string extras_help_page() const override;

private:
    void compute_g_table();
    void print_atom_line(int moved);
    // Waits, letting window events through, until the user ends the display.
    void wait_statistics_end();
    void draw_upper_diagram();
    // One plot of the time plot, in pixels.
    struct HistoryPlot {
        int left, top, right, bottom;
    };
    void draw_history();
    void draw_count_plot(const HistoryPlot& plot);
    void draw_entropy_plot(const HistoryPlot& plot);
    void draw_time_axis(const HistoryPlot& plot);
    void number_left_of(const HistoryPlot& plot, double row, const std::string& text);
    // The rows (top, bottom) of a column that held the counts of `range`.
    using ColumnRows = std::function<std::pair<double, double>(const SplitHistory::Range& range)>;
    void draw_columns(const HistoryPlot& plot, const ColumnRows& rows);
    void draw_lower_diagram();

    // Bar position of split m in pixels, and the pixel row of value v of the
    // upper diagram.
    double bar_x(int split) const;
    double value_row(double v) const;

    // Reused for every simulation line, so that a step allocates nothing.
    std::string left_part_;
    std::string white_tail_;  // right part (or sorted row) and the counts
};

std::unique_ptr<common::Program> make_program(rt::Runtime& runtime);

}  // namespace diffundo
