#include "diffundo/core/dice_model.h"

#include <algorithm>

namespace diffundo {

void DiceModel::start_run(std::int32_t atoms) {
    N = atoms;
    const std::size_t length = atoms > 0 ? static_cast<std::size_t>(atoms) : 0;
    atom_row.assign(length, '.');
    sorted_row.assign(length, '.');
    m = static_cast<std::int32_t>(length);
    trial_count = 0;
    frequency_count.fill(0);
}

int DiceModel::step(double r) {
    if (N < 1 || atom_row.size() != static_cast<std::size_t>(N)) return -1;
    // r < 1, but r * N may still round up to N for r just below 1.
    const int k = std::clamp(static_cast<int>(r * N), 0, N - 1);
    char& atom = atom_row[k];
    // Only one atom changes, so m and the boundary of the sorted row move by
    // one: no recount of the whole row per step.
    if (atom == '.') {
        atom = '*';
        --m;
        sorted_row[N - m - 1] = '*';
    } else {
        atom = '.';
        ++m;
        sorted_row[N - m] = '.';
    }
    ++trial_count;
    ++frequency_count[m];
    return k;
}

}  // namespace diffundo
