// The statistics display: g(N, m) against the observed frequencies of the
// splits, in two diagrams, until the user goes on.
//
// Vertical positions are grid rows of the 200-row layout, Y(k) = scale_y(k);
// horizontal ones pixels, one bar every 8 pixels, centred like an atom line.
// Text cells are serif 14 cells; locate() rounds to the nearest cell.
#include "diffundo/diffundo.h"

#include <cmath>

namespace diffundo {

double Diffundo::bar_x(int split) const { return std::nearbyint(8.0 * split + 8 + row_margin); }

// Value v of the upper diagram (70 at the most probable split) lies at grid
// row 120 - v; the half pixel is rounded by the drawing, halves to even.
double Diffundo::value_row(double v) const {
    const int k = static_cast<int>(std::nearbyint(120 - v));
    return scale_y(k) + 0.5;
}

void Diffundo::show_statistics() {
    rt.set_font(rt::FontFamily::serif, 14);
    rt.locate(x_unit, 8 * y_unit);
    rt.print(" g(N,m) =");
    rt.print(" Zahl der mögl. Zustände  bei m Atomen im Raum 1");
    if (trial_count > 0 && N >= 1) {
        rt.clear_screen();
        draw_upper_diagram();
        draw_lower_diagram();
        wait_statistics_end();
    }
    rt.set_font(rt::FontFamily::mono, 14);
}

void Diffundo::draw_upper_diagram() {
    const double xc = 4.0 * (N + 2) + row_margin;
    const double centre_column = N / 2.0 + row_margin / 8;
    rt.set_fill_style(rt::fill_solid);
    rt.set_line_width(1);
    rt.set_colour(colour_white);
    rt.set_second_colour(background_colour);
    rt.line(xc, scale_y(60), xc, scale_y(20));

    rt.locate(centre_column - 16, y_unit - 1);
    rt.print("ENTROPIE = log g(N,m)");
    rt.locate(centre_column + 10, 3 * y_unit + 1);
    rt.print("Atom-Zahl m im Raum 1");
    rt.locate(centre_column - 12, 3 * y_unit + 1);
    rt.print_number(std::floor(N / 2.0));
    rt.locate(x_unit, 8 * y_unit + 4);
    rt.print(" g(N,m) =");
    rt.print(" Zahl der mögl. Realisierungen des Zustands mit m Atomen im Raum 1");

    rt.set_fill_style(rt::fill_solid);
    rt.set_line_width(5);
    // The curve starts afresh at the first split that occurred; a split
    // without a count is bridged from its place with the last value seen.
    bool curve_started = false;
    for (int split = 1; split <= N; ++split) {
        const double x = bar_x(split);
        rt.set_colour(colour_white);
        rt.set_second_colour(background_colour);
        rt.line(x, scale_y(60), x, value_row(g_scaled[split]));
        const std::int32_t count = frequency_count[split];
        if (count > 0) {
            // 70 * relative frequency * 2^N / g(N, N/2) through logarithms:
            // 2^101 is never formed.
            const double L = std::log(count) + N * std::log(2.0) - std::log(trial_count);
            const double f = std::exp(L) * g_factor;
            if (!curve_started) {
                curve_prev_x = static_cast<std::int32_t>(x);
                curve_prev_value = f;
                curve_started = true;
            }
            rt.set_colour(colour_black);
            rt.set_line_width(3);
            rt.line(curve_prev_x, value_row(curve_prev_value), x, value_row(f));
            curve_prev_value = f;
        }
        curve_prev_x = static_cast<std::int32_t>(x);
        rt.set_fill_style(rt::fill_solid);
        rt.set_line_width(5);
    }
}

void Diffundo::draw_lower_diagram() {
    const double xc = 4.0 * (N + 2) + row_margin;
    const double centre_column = N / 2.0 + row_margin / 8;
    const int y0 = scale_y(165);
    // Pixels per counted step: a relative frequency h gives a bar of
    // h * 2 * screen_height pixels.
    const double F = (400 * screen_height / 200) / static_cast<double>(trial_count);

    rt.set_fill_style(rt::fill_solid);
    rt.set_line_width(1);
    rt.set_colour(colour_black);
    rt.set_second_colour(background_colour);
    rt.line(xc, y0, xc, scale_y(75));

    rt.locate(row_margin / 8 + 4, 8 * y_unit + 2);
    rt.print("N = ");
    rt.print_number(N);
    rt.print(std::string(28, ' ') + "bei ");
    rt.locate(N / 2.0 + 3 + row_margin / 8, 8 * y_unit + 2);
    rt.print_number(trial_count);
    rt.print(" Versuchen");
    rt.locate(centre_column - 16, 3 * y_unit + 2);
    rt.print("HÄUFIGKEIT");
    rt.locate(N + row_margin / 8 - 20, 6 * y_unit + 8);
    rt.print_number(N);
    rt.locate(centre_column - 12, 6 * y_unit + 8);
    rt.print_number(std::floor(N / 2.0));
    rt.locate(centre_column + 10, 6 * y_unit + 9);
    rt.print("Atom-Zahl m im Raum 1");

    rt.set_colour(colour_black);
    rt.set_fill_style(rt::fill_solid);
    rt.set_line_width(5);
    for (int split = 1; split <= N; ++split) {
        const double x = bar_x(split);
        rt.line(x, y0, x, y0 - frequency_count[split] * F);
    }

    // The frames and centre lines in white over the bars of both diagrams.
    const double left = row_margin + 8, right = 8.0 * N + 8 + row_margin;
    rt.set_colour(colour_white);
    rt.set_fill_style(rt::fill_hollow);
    rt.set_line_width(1);
    rt.rectangle(left, scale_y(20), right, scale_y(60));
    rt.line(xc, scale_y(60), xc, scale_y(20));
    rt.set_fill_style(rt::fill_hollow);
    rt.set_line_width(1);
    rt.rectangle(left, scale_y(75), right, y0);
    rt.line(xc, y0, xc, scale_y(75));
}

void Diffundo::wait_statistics_end() {
    // Menu actions chosen meanwhile run inside process_events ("&Weiter"
    // sets continue_request, "&Quit" the quit marker). The flags are tested
    // before the key query, so a wait they end consumes no key. The key and
    // mouse polls sleep while nothing happens.
    for (;;) {
        if (rt.time() != last_tick) rt.process_events();
        last_tick = rt.time();
        if (continue_request == 2 || quit_marker == "*") break;
        if (!rt.key_query().empty()) break;
        if (rt.mouse_state() == rt::mouse_right) break;
    }
    continue_request = 0;
    rt.clear_screen();
    rt.set_line_style(0);
}

}  // namespace diffundo
