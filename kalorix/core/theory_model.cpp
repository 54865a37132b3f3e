#include "kalorix/core/theory_model.h"

#include "kalorix/core/thermodynamics.h"

namespace kalorix {

namespace {

struct Bare final : TheoryModel::Hooks {
    bool quit_requested() const override { return false; }
};

}  // namespace

void TheoryModel::run(const TheoryParameters& p, Hooks& hooks) {
    S_max = 0;
    transferred = 0;
    // `transferred` is read afresh at every test: a run started from the menu
    // inside before_step() works on this same model (with the same values,
    // since a new input ends this run), and this run then continues from
    // where that one left the counter.
    while (transferred <= p.N_A) {
        hooks.before_step();
        T_A = 0;
        T_B = 0;
        if (hooks.quit_requested()) break;
        if (!is_distribution(p, transferred)) break;
        compute_step(p);
        hooks.step_done(track_entropy_maximum(p));
        ++transferred;
    }
}

void TheoryModel::run(const TheoryParameters& p) {
    Bare hooks;
    run(p, hooks);
}

// The entropy sums are only defined for 0 <= N <= Nmax, and the shares need
// n > 0. 64 bits: N_A - transferred must not overflow.
bool TheoryModel::is_distribution(const TheoryParameters& p, std::int32_t transferred) {
    const std::int64_t in_A = static_cast<std::int64_t>(p.N_A) - transferred;
    return p.n > 0 && in_A >= 0 && in_A <= p.Nmax_A && transferred >= 0 && transferred <= p.Nmax_B;
}

// Only the step's own temperatures are rounded to a tenth; those at the
// maximum are computed afresh and stay unrounded.
void TheoryModel::compute_step(const TheoryParameters& p) {
    const double E = p.excitation_energy;
    const double in_A = static_cast<double>(p.N_A) - transferred;
    const double in_B = transferred;
    T_A = room_temperature(p.Nmax_A, in_A, E);
    T_B = room_temperature(p.Nmax_B, in_B, E);
    S_A = room_entropy(p.Nmax_A, in_A);
    S_B = room_entropy(p.Nmax_B, in_B);
    S_ges = S_A + S_B;
    T_A = round_to_tenth(T_A);
    T_B = round_to_tenth(T_B);
}

MaximumChange TheoryModel::track_entropy_maximum(const TheoryParameters& p) {
    MaximumChange change;
    // S_max starts at 0 and entropies are not negative: step 0 always grows.
    if (!(S_ges >= S_max)) return change;
    change.growing = true;
    trend_B = "wächst";
    trend_A = "fällt  ";
    S_max = S_ges;
    transferred_at_max = transferred;
    share_at_max = static_cast<double>(transferred) / p.n;
    percent_at_max = share_at_max * 100;
    // Room A with the total n less the passed atoms, not N_A less them: the
    // temperatures at the maximum belong to the same n as its shares.
    T_A_at_max = room_temperature(p.Nmax_A, static_cast<double>(p.n) - transferred, p.excitation_energy);
    T_B_at_max = room_temperature(p.Nmax_B, transferred, p.excitation_energy);
    change.left_inversion = previous_T_A_at_max < 0 && T_A_at_max > 0;
    previous_T_A_at_max = T_A_at_max;
    return change;
}

double TheoryModel::percent_hot_in_A(const TheoryParameters& p) const {
    return (static_cast<double>(p.n) - transferred_at_max) / p.Nmax_A * 100;
}

double TheoryModel::percent_hot_in_B(const TheoryParameters& p) const {
    return static_cast<double>(transferred_at_max) / p.Nmax_B * 100;
}

}  // namespace kalorix
