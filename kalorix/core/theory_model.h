#pragma once
// The theoretical analysis without a screen: the excited atoms of room A pass
// one by one into room B; every distribution's entropies and temperatures,
// and the search for the maximum of the total entropy, which is the thermal
// equilibrium. theory.cpp runs it and draws what it reports; the tests and
// the benchmark run it bare.

#include <cstdint>
#include <string>

namespace kalorix {

// The values of one run. A run takes them once, at its start, and keeps
// them: a menu action between two steps (a new parameter input) that
// changes the program-wide values does not mix them into the run.
struct TheoryParameters {
    std::int32_t Nmax_A = 0;
    std::int32_t Nmax_B = 0;
    std::int32_t n = 0;            // all excitations: scales the shares and the temperatures at the maximum
    std::int32_t N_A = 0;          // excitations in room A before the first transfer
    double excitation_energy = 0;  // E in eV
};

// What a step did to the maximum, for the screen to show.
struct MaximumChange {
    // S_ges >= S_max: the step is the maximum so far. Among equal totals the
    // later step wins.
    bool growing = false;
    // Growing, and room A at the maximum has just turned from a negative
    // (population inversion) to a positive temperature.
    bool left_inversion = false;
};

class TheoryModel {
public:
    // What the model needs from the program around it.
    class Hooks {
    public:
        virtual ~Hooks() = default;
        // Before each step: the program lets window events through here.
        virtual void before_step() {}
        // Tested after before_step(): true ends the run before the step.
        virtual bool quit_requested() const = 0;
        // After a step's quantities and the maximum search.
        virtual void step_done(const MaximumChange& /*change*/) {}
    };

    // One run with the values `p`: the steps transferred = 0, 1, ... up to
    // p.N_A. It ends early on quit, and at a step whose counts are no
    // distribution of the rooms (values no parameter input accepts); either
    // way the last completed step's values stay. S_max starts at 0; the
    // values at the maximum and the trends keep their earlier values until a
    // step overwrites them.
    void run(const TheoryParameters& p, Hooks& hooks);
    // The same without events or screen.
    void run(const TheoryParameters& p);

    // The summary's shares of excited atoms at the maximum, in percent of
    // the room sizes: (n - transferred_at_max) / Nmax_A and
    // transferred_at_max / Nmax_B.
    double percent_hot_in_A(const TheoryParameters& p) const;
    double percent_hot_in_B(const TheoryParameters& p) const;

    // The current step: room A holds N_A - transferred excitations, room B
    // holds transferred. T_A and T_B are rounded to a tenth; they are 0 from
    // the start of a step until its computation.
    std::int32_t transferred = 0;
    double S_A = 0, S_B = 0, S_ges = 0;
    double T_A = 0, T_B = 0;

    // The maximum of S_ges so far, and the values at its step.
    double S_max = 0;
    std::int32_t transferred_at_max = 0;
    double share_at_max = 0;    // transferred_at_max / n
    double percent_at_max = 0;  // share_at_max * 100
    // Not rounded; room A is taken with n - transferred_at_max excitations.
    double T_A_at_max = 0, T_B_at_max = 0;
    // T_A_at_max of the growing step before; not reset between runs.
    double previous_T_A_at_max = 0;
    // Labels under the rooms' values: up to the maximum, room B's entropy
    // grows and room A's falls. Empty until a step grows.
    std::string trend_A, trend_B;

private:
    static bool is_distribution(const TheoryParameters& p, std::int32_t transferred);
    void compute_step(const TheoryParameters& p);
    MaximumChange track_entropy_maximum(const TheoryParameters& p);
};

}  // namespace kalorix
