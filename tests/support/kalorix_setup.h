#pragma once
// kalorix as start-up and the parameter input leave it on a 1024 x 768
// surface, for tests and benchmarks that start an analysis directly.

#include "kalorix/kalorix.h"

#include <cstddef>

namespace kalorix_test {

struct Parameters {
    int Nmax_A, Nmax_B, n, N_A;
    double E = 2.0;
};

// The four counts, the energy, the entropy scale offered for rooms A of up
// to 500 atoms, and the layout factors of 1024 x 768.
inline void set_parameters(kalorix::Kalorix& k, const Parameters& p) {
    k.Nmax_A = p.Nmax_A;
    k.Nmax_B = p.Nmax_B;
    k.n = p.n;
    k.N_A = p.N_A;
    k.excitation_energy = p.E;
    k.entropy_scale = 0.4;
    k.x_scale = 3;
    k.y_scale = 4;
    k.graph_width = 319 * 3;
}

// The experiment's tables, made at start-up.
inline void make_tables(kalorix::Kalorix& k) {
    constexpr int side = kalorix::atom_grid_side;
    k.atom_grid.assign(static_cast<std::size_t>(side) * side, 0);
    k.dot_x.assign(kalorix::trial_record_slots, 0);
    k.dot_y.assign(kalorix::trial_record_slots, 0);
}

}  // namespace kalorix_test
