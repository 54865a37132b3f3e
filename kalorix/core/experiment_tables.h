#pragma once
// Sizes of the experimental analysis's tables, made once at start-up. The
// parameter input refuses what they cannot hold; the experiment indexes them.

#include <cstdint>

namespace kalorix {

// Cells per side of the square atom table. The whole square of
// Nmax_A + Nmax_B atoms, its side rounded up, must fit: at most
// max_total_atoms atoms in both rooms together.
inline constexpr std::int32_t atom_grid_side = 1601;
inline constexpr std::int32_t max_total_atoms = atom_grid_side * atom_grid_side;

// Slots of the trial record (dot_x, dot_y). A transfer records the cell it
// empties in slot 0; the excitations of a trial take slots 1, 2, ..., so a
// trial without transfers (N_A = 0) records at most
// max_recorded_excitations of them.
inline constexpr std::int32_t trial_record_slots = 1601;
inline constexpr std::int32_t max_recorded_excitations = trial_record_slots - 1;

}  // namespace kalorix
