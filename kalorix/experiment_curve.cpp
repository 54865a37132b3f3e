// The theory's entropy curve in the experiment: S_A + S_B over the split of
// the run's excitations (entropy_curve.h), the current trial's split on it
// and below it the splits of all trials so far. Off, nothing of it is drawn
// and the experiment's screen is the one it always was.
#include "common/runtime/number_format.h"
#include "kalorix/core/entropy_curve.h"
#include "kalorix/kalorix.h"

#include <string>

namespace kalorix {

namespace {

// Pixels of a character of the program's font, for texts placed by their end.
constexpr double char_width = 8;
// The graph rows the temperatures are plotted in (experiment.cpp).
constexpr double first_column = 10;
constexpr double graph_bottom = 580;

}  // namespace

void Kalorix::set_curve_checks() {
    set_entry_checked(curve_entry, curve_shown);
    set_entry_checked(large_curve_entry, curve_shown && curve_large);
}

void Kalorix::toggle_entropy_curve(bool large_entry) {
    const bool was_shown = curve_shown;
    const CurvePanel before = curve_panel();
    if (large_entry) {
        // The size entry also shows the curve: whoever asks for it large wants it.
        curve_large = !(curve_shown && curve_large);
        curve_shown = true;
    } else {
        curve_shown = !curve_shown;
    }
    set_curve_checks();
    if (!trial_wait_shown()) {
        runtime_.show_status(curve_shown ? "Entropiekurve: erscheint in der experimentellen Analyse"
                                         : "Entropiekurve: aus");
        return;
    }
    use_plain_drawing();  // what a menu action during the wait may have changed
    if (was_shown) erase_entropy_curve(before);
    if (curve_shown) draw_entropy_curve();
    runtime_.set_colour(rt::colours::white);  // the wait's drawing colour
}

void Kalorix::begin_curve_run(double Nmax_A_value, double Nmax_B_value, std::int64_t total, double pictures_bottom) {
    curve_run.Nmax_A = Nmax_A_value;
    curve_run.Nmax_B = Nmax_B_value;
    curve_run.total = total;
    curve_run.pictures_bottom = pictures_bottom;
    curve_run.made = false;
    curve_run.path.clear();
    curve_run.rows.clear();
}

void Kalorix::add_trial_to_curve() {
    curve_run.path.add(marked_split(count_A, count_B));
    curve_run.rows.push_back({graph_y_A, graph_y_B});
}

CurvePanel Kalorix::curve_panel() const {
    return curve_large ? CurvePanel::over(curve_run.pictures_bottom) : CurvePanel::beside(curve_run.pictures_bottom);
}

void Kalorix::draw_entropy_curve() {
    CurveOfRun& c = curve_run;
    // Computed at the first look: a run without the view pays nothing.
    if (!c.made) {
        c.curve = EntropyCurve::of_run(c.Nmax_A, c.Nmax_B, c.total);
        c.made = true;
    }
    const CurvePanel p = curve_panel();
    const EntropyCurve& curve = c.curve;
    const auto x_of = [&](std::int64_t split) { return p.split_x(split, c.total); };
    const auto y_of = [&](double S) { return p.entropy_y(S, curve.S_min(), curve.S_max()); };
    const auto text_ending_at = [this](double x, double y, const std::string& text) {
        runtime_.graphics_text(x - char_width * static_cast<double>(text.size()), y, text);
    };

    // The panel covers what lay there; opaque text on the background.
    runtime_.set_colour(colour(background_colour));
    runtime_.filled_box(p.left, p.top, p.right, p.bottom);
    runtime_.set_colour(rt::colours::white);
    runtime_.rectangle(p.left, p.top, p.right, p.bottom);
    runtime_.line(p.plot_left, p.curve_bottom, p.plot_right, p.curve_bottom);
    // Transparent: an opaque glyph's box would cut the underscore before it.
    runtime_.set_text_transparent(true);
    struct Opaque {
        rt::Runtime& runtime;
        ~Opaque() { runtime.set_text_transparent(false); }
    } opaque_again{runtime_};
    runtime_.set_colour(rt::colours::black);
    runtime_.graphics_text(p.left + 6, p.top + 3, "Theorie: S_ges = S_A + S_B über N_B");
    if (curve.empty()) return;

    for (std::int64_t split = curve.first(); split < curve.last(); ++split)
        runtime_.line(x_of(split), y_of(curve.at(split)), x_of(split + 1), y_of(curve.at(split + 1)));
    const double number_y = p.curve_bottom + 1;
    runtime_.graphics_text(p.plot_left - 4, number_y, "0");
    text_ending_at(p.plot_right + 6, number_y, rt::number_text(c.total));

    // The equilibrium: a line through the curve's maximum and the path.
    const double x_eq = x_of(curve.equilibrium());
    runtime_.set_colour(rt::colours::pink);
    runtime_.line(x_eq, p.curve_top, x_eq, p.path_bottom);
    const std::string eq = rt::number_text(curve.equilibrium());
    runtime_.graphics_text(x_eq - char_width * static_cast<double>(eq.size()) / 2, number_y, eq);
    // Low beside the line, on its wider side: the curve is high near its maximum.
    const bool label_left = x_eq > (p.plot_left + p.plot_right) / 2;
    const std::string maximum = "Maximum: Gleichgewicht";
    const double label_y = p.curve_bottom - 24;
    if (label_left)
        text_ending_at(x_eq - 4, label_y, maximum);
    else
        runtime_.graphics_text(x_eq + 4, label_y, maximum);

    const auto& splits = c.path.splits();
    const auto trials = static_cast<std::int64_t>(splits.size());
    runtime_.set_colour(rt::colours::black);
    runtime_.graphics_text(p.plot_left, p.curve_bottom + 21,
                           trials == 0 ? std::string("N_B der Versuche")
                                       : "N_B der Versuche 1 bis " + rt::number_text(trials) + ", nach unten");
    const std::int64_t span = path_span(trials);
    runtime_.set_colour(colour(saved_blue));
    for (std::int64_t t = 0; t < trials; ++t) {
        const double x = x_of(splits[static_cast<std::size_t>(t)]), y = p.trial_y(t, span);
        runtime_.filled_box(x - 1, y - 1, x + 1, y + 1);
    }
    if (trials == 0) return;

    // The current trial, on the curve and at the path's end.
    const std::int64_t now = splits.back();
    const double x = x_of(now), y = y_of(curve.at(now)), y_path = p.trial_y(trials - 1, span);
    runtime_.set_colour(colour(colour_red));
    runtime_.filled_box(x - 3, y - 3, x + 3, y + 3);
    runtime_.filled_box(x - 2, y_path - 2, x + 2, y_path + 2);
}

// The panel goes, and the temperature points it covered come back.
void Kalorix::erase_entropy_curve(const CurvePanel& p) {
    runtime_.set_colour(colour(background_colour));
    runtime_.filled_box(p.left, p.top, p.right, p.bottom);
    const auto inside = [&](double row) { return 0 < row && row < graph_bottom && row >= p.top && row <= p.bottom; };
    for (std::size_t t = 0; t < curve_run.rows.size(); ++t) {
        const double column = static_cast<double>(t) + first_column;
        if (column < p.left || column > p.right) continue;
        const auto [row_A, row_B] = curve_run.rows[t];
        if (inside(row_A)) {
            runtime_.set_colour(colour(saved_yellow));
            runtime_.point(column, row_A);
        }
        if (inside(row_B)) {
            runtime_.set_colour(colour(saved_blue));
            runtime_.point(column, row_B);
        }
    }
}

}  // namespace kalorix
