#pragma once

// Entropy, temperature and energies of one room of two-level atoms. Counts
// are passed as doubles holding whole numbers.
//
// Who calls what: the theoretical analysis (theory_model.h) takes
// room_entropy, room_temperature and round_to_tenth; the experiment's trial
// quantities (trial_quantities.h) take room_entropy, inner_energy and
// free_energy and compute their temperatures with guard cases of their own;
// both screens turn temperatures into shown numbers with shown_temperature.
// One state thus gives the same entropy in both analyses.

namespace kalorix {

// Boltzmann constant in the program's units: entropies are pure numbers,
// temperatures are energies in eV.
inline constexpr double boltzmann_constant = 1.0;

// Stands in for the temperature of a room with exactly half of its atoms
// excited, where E / ln((Nmax - N) / N) has no finite value.
inline constexpr double infinite_temperature = 10000.0;

// Factor applied to a temperature whenever it is shown or plotted: the
// program's temperature_scale starts with it, and nothing sets another.
inline constexpr double temperature_scale_default = 200.0;

// S(Nmax, N) = ln g(Nmax, N), g = Nmax! / [N! (Nmax - N)!], as a sum of N
// logarithms of quotients. Only defined for 0 <= N <= Nmax.
double room_entropy(double Nmax, double N);

// T = E / (ln((Nmax - N) / N) * k); infinite_temperature when free == N,
// 0 when the room has no excited or no ground-state atom (also N > Nmax).
double room_temperature(double Nmax, double N, double excitation_energy);

// floor(10 T + 0.5) * 0.1: one decimal, halves upward, also for T < 0.
double round_to_tenth(double T);

// The whole number displayed for T: floor(scale T), toward minus infinity.
double shown_temperature(double T, double scale);

// U = N * E in eV.
double inner_energy(double N, double excitation_energy);

// F = U - T * S in eV, with T and S of the same room.
double free_energy(double U, double T, double S);

}  // namespace kalorix
