#include "kalorix/core/entropy_curve.h"

#include "kalorix/core/thermodynamics.h"

#include <algorithm>

namespace kalorix {

namespace {

// Rows of the panel's texts: the title above the curve, the split numbers
// below its axis, the caption of the path above the path.
constexpr double title_height = 26;
constexpr double numbers_height = 20;
constexpr double caption_height = 20;
constexpr double margin = 8;
// Of the height left for drawing, the curve's share; the path gets the rest.
constexpr double curve_share = 0.6;
// Pixels between the splits' ends and the outline.
constexpr double inset = 14;

constexpr double beside_left = 520, beside_height = 190;
constexpr double over_left = 20, over_bottom = 570;
constexpr double panel_right = 1000;
// Room between the atom pictures and the panel.
constexpr double gap_below_pictures = 16;

CurvePanel laid_out(double left, double top, double right, double bottom) {
    CurvePanel p{left, top, right, bottom};
    p.plot_left = left + inset;
    p.plot_right = right - inset;
    const double drawn = bottom - top - title_height - numbers_height - caption_height - margin;
    p.curve_top = top + title_height;
    p.curve_bottom = p.curve_top + drawn * curve_share;
    p.path_top = p.curve_bottom + numbers_height + caption_height;
    p.path_bottom = bottom - margin;
    return p;
}

}  // namespace

EntropyCurve EntropyCurve::of_run(double Nmax_A, double Nmax_B, std::int64_t total) {
    EntropyCurve curve;
    curve.total_ = total;
    // Room A holds total - split, room B split; both within their sizes.
    curve.first_ = std::max<std::int64_t>(0, total - static_cast<std::int64_t>(Nmax_A));
    const std::int64_t last = std::min<std::int64_t>(total, static_cast<std::int64_t>(Nmax_B));
    if (total < 0 || last < curve.first_) return curve;
    curve.S_.reserve(static_cast<std::size_t>(last - curve.first_ + 1));
    for (std::int64_t split = curve.first_; split <= last; ++split) {
        const double S =
            room_entropy(Nmax_A, static_cast<double>(total - split)) + room_entropy(Nmax_B, static_cast<double>(split));
        curve.S_.push_back(S);
        // >= as in the theory's maximum search: the later of equal totals.
        if (split == curve.first_ || S >= curve.S_max_) {
            curve.S_max_ = S;
            curve.equilibrium_ = split;
        }
        if (split == curve.first_ || S < curve.S_min_) curve.S_min_ = S;
    }
    return curve;
}

double EntropyCurve::at(std::int64_t split) const {
    return holds(split) ? S_[static_cast<std::size_t>(split - first_)] : 0;
}

CurvePanel CurvePanel::beside(double pictures_bottom) {
    const double top = pictures_bottom + gap_below_pictures;
    return laid_out(beside_left, top, panel_right, top + beside_height);
}

CurvePanel CurvePanel::over(double pictures_bottom) {
    return laid_out(over_left, pictures_bottom + gap_below_pictures, panel_right, over_bottom);
}

double CurvePanel::split_x(std::int64_t split, std::int64_t total) const {
    if (total <= 0) return plot_left;
    return plot_left + (plot_right - plot_left) * static_cast<double>(split) / static_cast<double>(total);
}

double CurvePanel::entropy_y(double S, double S_low, double S_max) const {
    // A few pixels under curve_top and above curve_bottom for the marks.
    constexpr double headroom = 6;
    if (!(S_max > S_low)) return curve_top + headroom;
    return curve_bottom - headroom - (curve_bottom - curve_top - 2 * headroom) * (S - S_low) / (S_max - S_low);
}

double CurvePanel::trial_y(std::int64_t trial_index, std::int64_t span) const {
    if (span <= 1) return path_top;
    return path_top + (path_bottom - path_top) * static_cast<double>(trial_index) / static_cast<double>(span - 1);
}

std::int64_t path_span(std::int64_t trials) {
    constexpr std::int64_t first_span = 50, all_trials = 1001;
    std::int64_t span = first_span;
    while (span < trials && span < all_trials) span *= 2;
    return std::min(span, all_trials);
}

}  // namespace kalorix
