// The time plot "Verlauf zeigen": the atoms in box 2 over the steps with
// N/2 and the band N/2 +- sqrt(N)/2, and below it, on the same time axis,
// ln g(N, m) against its maximum. It replaces the atom lines while it is on;
// the steps go on at the pace set, recorded instead of printed, and the plot
// is drawn anew a few times a second (as the status line), never per step.
//
// Layout on the 320 x 200 grid, so that it scales with the surface; the
// numbers beside the axes are monospace 14 (8-pixel cells), so that they
// can be right-aligned and centred without measuring text.
#include "diffundo/diffundo.h"

#include "common/unicode/utf8.h"
#include "diffundo/core/history_scale.h"
#include "diffundo/core/ln_g.h"
#include "diffundo/core/step_count_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace diffundo {

namespace {

const char* const history_entry_text = "Ve&rlauf zeigen";
// As often as the status line changes (seconds).
constexpr double redraw_interval = 0.25;
constexpr int number_cell = 8;  // pixels per character of monospace 14

int characters(const std::string& text) { return static_cast<int>(unicode::utf8_character_count(text)); }

}  // namespace

const char* Diffundo::history_entry() { return history_entry_text; }

void Diffundo::toggle_history() {
    history_shown = !history_shown;
    set_entry_checked(history_entry_text, history_shown);
    runtime_.clear_screen();
    if (history_shown) start_history();
}

void Diffundo::start_history() {
    history.start(gas.N, gas.N - gas.m, gas.trial_count);
    history_drawn_at = -1;
}

void Diffundo::show_history_when_due(double now) {
    const bool forced = history_drawn_at < 0;
    if (!forced && (now - history_drawn_at < redraw_interval || history.steps() == history_drawn_steps)) return;
    history_drawn_at = now;
    history_drawn_steps = history.steps();
    draw_history();
}

void Diffundo::draw_history() {
    runtime_.clear_screen();
    runtime_.set_second_colour(background_colour);
    runtime_.set_fill_style(rt::fill_solid);
    runtime_.set_line_width(1);
    runtime_.set_colour(colour_white);
    runtime_.set_font(rt::FontFamily::serif, 16);
    runtime_.graphics_text(scale_x(4), scale_y(2), history_heading(gas.N, history.steps(), history.first_step()));
    if (gas.N < 1) {
        runtime_.set_font(rt::FontFamily::serif, 14);
        runtime_.graphics_text(scale_x(4), scale_y(14), no_atoms_text);
        runtime_.set_font(rt::FontFamily::mono, 14);
        return;
    }
    const HistoryPlot upper{scale_x(30), scale_y(22), scale_x(310), scale_y(94)};
    const HistoryPlot lower{scale_x(30), scale_y(118), scale_x(310), scale_y(176)};
    draw_count_plot(upper);
    draw_entropy_plot(lower);
    runtime_.describe_picture(history_description(gas.N, history.steps(), history.steps_inside_band()));
    runtime_.set_font(rt::FontFamily::mono, 14);
}

void Diffundo::draw_count_plot(const HistoryPlot& plot) {
    const int N = gas.N;
    const auto row = [&](double count) { return plot.bottom - count / N * (plot.bottom - plot.top); };
    const Band b = band(N);

    runtime_.set_font(rt::FontFamily::serif, 16);
    runtime_.set_colour(colour_white);
    runtime_.graphics_text(plot.left, plot.top - scale_y(9), count_plot_title);
    // The band as a white stripe: the curve in black stays visible over it.
    runtime_.filled_box(plot.left, row(b.centre + b.half_width), plot.right, row(b.centre - b.half_width));
    runtime_.set_fill_style(rt::fill_hollow);
    runtime_.rectangle(plot.left, plot.top, plot.right, plot.bottom);
    runtime_.set_fill_style(rt::fill_solid);
    // The centre under the curve: where they meet, the curve is what counts.
    runtime_.set_colour(colour_red);
    runtime_.set_line_width(2);
    runtime_.line(plot.left, row(b.centre), plot.right, row(b.centre));
    runtime_.set_line_width(1);

    runtime_.set_font(rt::FontFamily::mono, 14);
    runtime_.set_colour(colour_white);
    // Few atoms: every count gets its number, where the rows lie 20 pixels
    // apart or more; else only 0, N/2 and N.
    const bool every_count = plot.bottom - plot.top >= 20 * N;
    for (int count = 0; count <= N; ++count)
        if (every_count || count == 0 || count == N) number_left_of(plot, row(count), std::to_string(count));
    if (N % 2 == 1 || !every_count)
        number_left_of(plot, row(b.centre), N % 2 == 0 ? std::to_string(N / 2) : decimal_text(b.centre));
    draw_time_axis(plot);

    draw_columns(plot, [&](const SplitHistory::Range& r) { return std::pair{row(r.high), row(r.low)}; });

    runtime_.set_font(rt::FontFamily::serif, 14);
    runtime_.set_colour(colour_white);
    runtime_.graphics_text(plot.left, plot.bottom + scale_y(7),
                           count_legend(N, history.steps_inside_band(), history.steps()));
}

void Diffundo::draw_entropy_plot(const HistoryPlot& plot) {
    const int N = gas.N;
    const double maximum = ln_g_maximum(N);
    // Above the maximum some room, so that its line stands apart from the
    // frame; with one atom ln g is always 0, its maximum too.
    const double top_value = maximum > 0 ? 1.15 * maximum : 1;
    const auto row = [&](double v) { return plot.bottom - v / top_value * (plot.bottom - plot.top); };

    runtime_.set_font(rt::FontFamily::serif, 16);
    runtime_.set_colour(colour_white);
    runtime_.graphics_text(plot.left, plot.top - scale_y(9), entropy_plot_title);
    runtime_.set_fill_style(rt::fill_hollow);
    runtime_.rectangle(plot.left, plot.top, plot.right, plot.bottom);
    runtime_.set_fill_style(rt::fill_solid);
    runtime_.set_colour(colour_red);
    runtime_.set_line_width(2);
    runtime_.line(plot.left, row(maximum), plot.right, row(maximum));
    runtime_.set_line_width(1);

    runtime_.set_font(rt::FontFamily::mono, 14);
    runtime_.set_colour(colour_white);
    number_left_of(plot, row(0), "0");
    if (maximum > 0) number_left_of(plot, row(maximum), decimal_text(maximum));
    draw_time_axis(plot);

    draw_columns(plot, [&](const SplitHistory::Range& r) {
        const LnGRange v = ln_g_range(N, r.low, r.high);
        return std::pair{row(v.high), row(v.low)};
    });

    runtime_.set_font(rt::FontFamily::serif, 14);
    runtime_.set_colour(colour_white);
    runtime_.graphics_text(plot.left, plot.bottom + scale_y(7), entropy_legend(N));
}

void Diffundo::number_left_of(const HistoryPlot& plot, double row, const std::string& text) {
    runtime_.graphics_text(plot.left - 6 - number_cell * characters(text), row - 8, text);
}

void Diffundo::draw_time_axis(const HistoryPlot& plot) {
    const std::int64_t length = time_axis_length(history.steps());
    const std::int64_t interval = time_axis_interval(length);
    const double width = plot.right - plot.left;
    runtime_.set_colour(colour_white);
    for (std::int64_t t = 0; t <= length; t += interval) {
        const double x = std::nearbyint(plot.left + width * static_cast<double>(t) / static_cast<double>(length));
        runtime_.line(x, plot.bottom, x, plot.bottom + 4);
        const std::string text = step_count_text(t);
        const double left = std::clamp(x - number_cell * characters(text) / 2.0, 0.0,
                                       static_cast<double>(screen_width - number_cell * characters(text)));
        runtime_.graphics_text(left, plot.bottom + 5, text);
    }
    const std::string caption = time_axis_caption;
    runtime_.graphics_text(plot.right - number_cell * characters(caption), plot.bottom + 5 + 16, caption);
}

void Diffundo::draw_columns(const HistoryPlot& plot, const ColumnRows& rows) {
    const std::int64_t length = time_axis_length(history.steps());
    const int columns = plot.right - plot.left;
    runtime_.set_colour(colour_black);
    for (int c = 0; c < columns; ++c) {
        // The column covers the time from c to c + 1 in axis units, both
        // ends included: neighbours share the step at their border, so a
        // change of the count joins them.
        const auto from = static_cast<std::int64_t>(std::floor(static_cast<double>(c) * length / columns));
        const auto to = static_cast<std::int64_t>(std::floor(static_cast<double>(c + 1) * length / columns));
        const auto range = history.range(from, to);
        if (!range) break;
        const auto [high_row, low_row] = rows(*range);
        // Two pixels wide and at least three high, so a flat run reads as a line.
        runtime_.filled_box(plot.left + c, std::nearbyint(high_row) - 1, plot.left + c + 1,
                            std::nearbyint(low_row) + 1);
    }
}

}  // namespace diffundo
