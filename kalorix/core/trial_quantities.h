#pragma once
// What the experimental analysis computes after each trial from the counts
// of excited atoms: temperature, inner energy, entropy and free energy of
// both rooms and of the whole. The program shows them and plots the
// temperatures; the benchmark's bare run computes them the same way.

#include <cstdint>

namespace kalorix {

// What a run fixes for the quantities of all its trials, from its four
// values: the room sizes of the temperatures (side_A^2 and
// side_total^2 - side_A^2 of the atom square, as whole numbers), the room
// sizes of the entropies (Nmax_A, Nmax_B), and the limit below which a
// room's temperature is recomputed (N_A with transfers, n without).
struct TrialSetting {
    double size_A = 0, size_B = 0;
    double Nmax_A = 0, Nmax_B = 0;
    std::int64_t limit = 0;

    static TrialSetting of_run(double N_A, double n, double Nmax_A, double Nmax_B);
};

// How a room's temperature came about in a trial.
enum class TemperatureCase {
    kept,           // count at or above the limit: T keeps its earlier value
    empty_or_full,  // no excited or no ground-state atom: T = 0
    computed,       // T = E / (k L), L = ln((size - count) / count); 0 when L = 0
};

struct TrialTemperature {
    TemperatureCase source = TemperatureCase::kept;
    double T = 0;  // eV
};

// The experiment's temperature of a room of real size `size` holding `count`
// excitations; T_before is the room's temperature so far. Unlike
// room_temperature, a room with exactly half of its atoms excited gets 0.
TrialTemperature trial_temperature(double size, std::int64_t count, std::int64_t limit, double E, double T_before);

struct RoomQuantities {
    TemperatureCase source = TemperatureCase::kept;
    double T = 0;  // eV
    double U = 0;  // N E in eV
    double S = 0;  // ln g(Nmax, N) rounded down to a tenth
    double F = 0;  // U - T S with that rounded S, in eV
};

struct TrialQuantities {
    RoomQuantities A, B;
    double U_ges = 0;  // E (N_A + N_B): the energy of the whole, not U_A + U_B
    double S_ges = 0;  // S_A + S_B
    double F_ges = 0;  // F_A + F_B
};

// The quantities after a trial that left count_A and count_B excitations;
// T_A_before and T_B_before are the temperatures so far, which a room keeps
// when it is not recomputed. E is the excitation energy in eV.
TrialQuantities trial_quantities(const TrialSetting& setting, std::int64_t count_A, std::int64_t count_B, double E,
                                 double T_A_before, double T_B_before);

}  // namespace kalorix
