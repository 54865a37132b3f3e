#pragma once
// The theory's curve beside the experiment: the total entropy S_A + S_B of
// every split of the run's excitations between the two rooms, against the
// number in room B, as the theoretical analysis plots it; on it the split of
// the current trial, and below it the splits of all trials so far, one row
// per trial. The class sees the random system climb to the maximum and stay
// near it. Plain C++: the numbers and the places are tested without a screen.

#include <cstdint>
#include <vector>

namespace kalorix {

class EntropyCurve {
public:
    // `total` excitations shared by rooms of Nmax_A and Nmax_B atoms: N_A in
    // a run with transfers, n in one that places them afresh. The entropies
    // are room_entropy's, summed as the theory sums them, so the maximum
    // lies where the theory finds the equilibrium (among equal totals the
    // later split, as there). Costs about total^2 logarithms, once per run.
    static EntropyCurve of_run(double Nmax_A, double Nmax_B, std::int64_t total);

    std::int64_t total() const { return total_; }
    // The splits (excitations in room B) that both rooms can hold.
    std::int64_t first() const { return first_; }
    std::int64_t last() const { return first_ + static_cast<std::int64_t>(S_.size()) - 1; }
    bool empty() const { return S_.empty(); }
    bool holds(std::int64_t split) const { return split >= first_ && split <= last(); }
    // S_A + S_B with `split` excitations in room B; 0 outside first()..last().
    double at(std::int64_t split) const;
    std::int64_t equilibrium() const { return equilibrium_; }
    double S_max() const { return S_max_; }
    double S_min() const { return S_min_; }

private:
    std::int64_t total_ = 0;
    std::int64_t first_ = 0;
    std::vector<double> S_;
    std::int64_t equilibrium_ = 0;
    double S_max_ = 0;
    double S_min_ = 0;
};

// The split the curve marks after a trial: the count of room B the table
// shows as "N_B =" (room A holds the rest of the total).
inline std::int64_t marked_split(std::int64_t /*count_A*/, std::int64_t count_B) { return count_B; }

// Where the curve stands on the experiment's screen, in pixels. Beside the
// experiment it takes the strip below the atom pictures on the right half of
// the temperature graph, which the temperatures reach only late in a run;
// over the experiment the whole width of the graph below the pictures.
struct CurvePanel {
    double left = 0, top = 0, right = 0, bottom = 0;  // the outline
    // Inside: the curve between curve_top and curve_bottom (entropy 0), the
    // splits from plot_left (0 in room B) to plot_right (all in room B), the
    // path of the trials from path_top (trial 1) downwards to path_bottom.
    double plot_left = 0, plot_right = 0;
    double curve_top = 0, curve_bottom = 0;
    double path_top = 0, path_bottom = 0;

    // `pictures_bottom`: the lowest pixel row of the atom pictures.
    static CurvePanel beside(double pictures_bottom);
    static CurvePanel over(double pictures_bottom);

    double split_x(std::int64_t split, std::int64_t total) const;
    // The curve's lowest value S_low at curve_bottom, S_max a little below
    // curve_top: the climb to the maximum fills the height, however small
    // the share of the total entropy it is.
    double entropy_y(double S, double S_low, double S_max) const;
    // Trial `trial_index` (from 0) of a path drawn over `span` trials.
    double trial_y(std::int64_t trial_index, std::int64_t span) const;
};

// The trials the path's height stands for: 50 at first, doubled whenever the
// run outgrows it, at most all 1001 trials of a run, so the first trials are
// not squeezed into a few rows and a long run still fits.
std::int64_t path_span(std::int64_t trials);

// The splits of a run's trials, in order.
class SplitPath {
public:
    void clear() { splits_.clear(); }
    void add(std::int64_t split) { splits_.push_back(split); }
    const std::vector<std::int64_t>& splits() const { return splits_; }

private:
    std::vector<std::int64_t> splits_;
};

}  // namespace kalorix
