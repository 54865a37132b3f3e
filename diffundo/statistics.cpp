// The statistics display: g(N, m) against the observed frequencies of the
// splits, in two diagrams, until the user goes on.
//
// Vertical positions are grid rows of the 200-row layout, Y(k) = scale_y(k);
// horizontal ones pixels, one bar every 8 pixels, centred like an atom line.
// Text cells are serif 14 cells; locate() rounds to the nearest cell.
#include "diffundo/diffundo.h"

#include "diffundo/core/binomial_distance.h"

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
    runtime_.set_font(rt::FontFamily::serif, 14);
    runtime_.locate(x_unit, 8 * y_unit);
    runtime_.print(" g(N,m) =");
    runtime_.print(" Zahl der mögl. Zustände  bei m Atomen im Raum 1");
    if (gas.trial_count > 0 && gas.N >= 1) {
        runtime_.clear_screen();
        draw_upper_diagram();
        draw_lower_diagram();
        wait_statistics_end();
    }
    runtime_.set_font(rt::FontFamily::mono, 14);
}

void Diffundo::draw_upper_diagram() {
    const double xc = 4.0 * (gas.N + 2) + row_margin;
    const double centre_column = gas.N / 2.0 + row_margin / 8;
    runtime_.set_fill_style(rt::fill_solid);
    runtime_.set_line_width(1);
    runtime_.set_colour(colour_white);
    runtime_.set_second_colour(background_colour);
    runtime_.line(xc, scale_y(60), xc, scale_y(20));

    runtime_.locate(centre_column - 16, y_unit - 1);
    runtime_.print("ENTROPIE = log g(N,m)");
    runtime_.locate(centre_column + 10, 3 * y_unit + 1);
    runtime_.print("Atom-Zahl m im Raum 1");
    runtime_.locate(centre_column - 12, 3 * y_unit + 1);
    runtime_.print_number(std::floor(gas.N / 2.0));
    runtime_.locate(x_unit, 8 * y_unit + 4);
    runtime_.print(" g(N,m) =");
    runtime_.print(" Zahl der mögl. Realisierungen des Zustands mit m Atomen im Raum 1");

    runtime_.set_fill_style(rt::fill_solid);
    runtime_.set_line_width(5);
    // The curve starts afresh at the first split that occurred; a split
    // without a count is bridged from its place with the last value seen.
    bool curve_started = false;
    for (int split = 1; split <= gas.N; ++split) {
        const double x = bar_x(split);
        runtime_.set_colour(colour_white);
        runtime_.set_second_colour(background_colour);
        runtime_.line(x, scale_y(60), x, value_row(g_scaled[split]));
        const std::int64_t count = gas.frequency_count[split];
        if (count > 0) {
            // 70 * relative frequency * 2^N / g(N, N/2) through logarithms:
            // 2^101 is never formed.
            const double L = std::log(static_cast<double>(count)) + gas.N * std::log(2.0) -
                             std::log(static_cast<double>(gas.trial_count));
            const double f = std::exp(L) * g_factor;
            if (!curve_started) {
                curve_prev_x = static_cast<std::int32_t>(x);
                curve_prev_value = f;
                curve_started = true;
            }
            runtime_.set_colour(colour_black);
            runtime_.set_line_width(3);
            runtime_.line(curve_prev_x, value_row(curve_prev_value), x, value_row(f));
            curve_prev_value = f;
        }
        curve_prev_x = static_cast<std::int32_t>(x);
        runtime_.set_fill_style(rt::fill_solid);
        runtime_.set_line_width(5);
    }
}

void Diffundo::draw_lower_diagram() {
    const double xc = 4.0 * (gas.N + 2) + row_margin;
    const double centre_column = gas.N / 2.0 + row_margin / 8;
    const int y0 = scale_y(165);
    // Pixels per counted step: a relative frequency h gives a bar of
    // h * 2 * screen_height pixels.
    const double F = (400 * screen_height / 200) / static_cast<double>(gas.trial_count);

    runtime_.set_fill_style(rt::fill_solid);
    runtime_.set_line_width(1);
    runtime_.set_colour(colour_black);
    runtime_.set_second_colour(background_colour);
    runtime_.line(xc, y0, xc, scale_y(75));

    runtime_.locate(row_margin / 8 + 4, 8 * y_unit + 2);
    runtime_.print("N = ");
    runtime_.print_number(gas.N);
    runtime_.print(std::string(28, ' ') + "bei ");
    runtime_.locate(gas.N / 2.0 + 3 + row_margin / 8, 8 * y_unit + 2);
    runtime_.print_number(gas.trial_count);
    runtime_.print(" Versuchen");
    runtime_.locate(centre_column - 16, 3 * y_unit + 2);
    runtime_.print("HÄUFIGKEIT");
    runtime_.locate(gas.N + row_margin / 8 - 20, 6 * y_unit + 8);
    runtime_.print_number(gas.N);
    runtime_.locate(centre_column - 12, 6 * y_unit + 8);
    runtime_.print_number(std::floor(gas.N / 2.0));
    runtime_.locate(centre_column + 10, 6 * y_unit + 9);
    runtime_.print("Atom-Zahl m im Raum 1");

    runtime_.set_colour(colour_black);
    runtime_.set_fill_style(rt::fill_solid);
    runtime_.set_line_width(5);
    for (int split = 1; split <= gas.N; ++split) {
        const double x = bar_x(split);
        runtime_.line(x, y0, x, y0 - gas.frequency_count[split] * F);
    }

    // The frames and centre lines in white over the bars of both diagrams.
    const double left = row_margin + 8, right = 8.0 * gas.N + 8 + row_margin;
    runtime_.set_colour(colour_white);
    runtime_.set_fill_style(rt::fill_hollow);
    runtime_.set_line_width(1);
    runtime_.rectangle(left, scale_y(20), right, scale_y(60));
    runtime_.line(xc, scale_y(60), xc, scale_y(20));
    runtime_.set_fill_style(rt::fill_hollow);
    runtime_.set_line_width(1);
    runtime_.rectangle(left, scale_y(75), right, y0);
    runtime_.line(xc, y0, xc, scale_y(75));
}

void Diffundo::wait_statistics_end() {
    // The table stands still while the display waits: the distance is that
    // of the picture on the screen.
    const std::string distance = distance_text(total_variation_distance(gas));
    runtime_.show_status(distance);
    status_shown_at = -1;
    runtime_.describe_picture("Balken der relativen Häufigkeiten für m = 0 bis " + rt::number_text(gas.N) +
                              " neben g(N,m), nach " + rt::number_text(gas.trial_count) + " Versuchen");
    runtime_.announce([&] { return "Statistik nach " + rt::number_text(gas.trial_count) + " Versuchen; " + distance; });
    // Menu actions chosen meanwhile run inside process_events ("&Weiter"
    // sets continue_request, "&Quit" the quit marker). The flags are tested
    // before the key query, so a wait they end consumes no key. The key and
    // mouse polls sleep while nothing happens.
    for (;;) {
        if (runtime_.time() != last_tick) runtime_.process_events();
        last_tick = runtime_.time();
        if (continue_request == 2 || quit_marker == "*") break;
        if (!runtime_.key_query().empty()) break;
        if (runtime_.mouse_state() == rt::mouse_right) break;
    }
    continue_request = 0;
    runtime_.clear_screen();
    runtime_.set_line_style(0);
}

}  // namespace diffundo
