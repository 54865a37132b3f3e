#pragma once
// The gas of diffundo without any display: N atoms in two boxes, one atom
// changing box per step, and how often each split has occurred. Plain C++ so
// that the statistics can be checked over millions of steps without Qt.

#include <array>
#include <cstdint>
#include <string>

namespace diffundo {

class DiceModel {
public:
    // Splits m = 0 .. 200 have a slot; N is at most 101, so every split fits.
    static constexpr int table_size = 201;

    // Starts a run of `atoms` atoms, all in box 1: rows of N ".", m = N,
    // counts 0. Fewer than one atom gives empty rows, m = 0 and a run in
    // which no step moves anything.
    void start_run(std::int32_t atoms);

    // One dice step with r uniform in [0, 1): atom floor(r * N) (counted
    // from 0) changes box, `m`, `sorted_row`, `trial_count` and the count of
    // the new split follow. Returns the index of the moved atom, or -1 (and
    // nothing changed) when there is no atom.
    int step(double r);

    std::int32_t N = 0;      // number of atoms
    std::int32_t m = 0;      // atoms in box 1 after the last step
    std::string atom_row;    // one character per atom: "." box 1, "*" box 2
    std::string sorted_row;  // N - m "*" followed by m "."
    // 64 bits: a run left going for hours passes 2^31 steps, and faster
    // machines pass 2^32 within a day.
    std::int64_t trial_count = 0;                            // steps since the run started
    std::array<std::int64_t, table_size> frequency_count{};  // steps that ended with m atoms in box 1, by m
};

}  // namespace diffundo
