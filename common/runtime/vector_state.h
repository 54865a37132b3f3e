#pragma once
// Qt's drawing code (image fills, the raster painter, font rendering) runs
// AVX code that may return with the upper halves of the vector registers
// still marked in use. Until a `vzeroupper` clears that state, the legacy
// SSE instructions of ordinary compiled code (the entropy sums around `log`)
// are slowed down by the merge with the dirty upper halves: a sum of 10^6
// logarithms measured 3.6 to 28 times slower, depending on the CPU, with
// unchanged results. So whatever calls into Qt on the programs' behalf
// clears the state before it returns. No arithmetic changes, only the
// register state between operations: results stay bit-identical.

namespace rt {

// Clears the upper vector state on CPUs with AVX (checked once at run time);
// nothing elsewhere. Costs a few cycles.
void clear_upper_vector_state();

// Whether the CPU can report the state (XGETBV with ECX = 1), and whether the
// upper halves are in use right now. For tests.
bool upper_vector_state_known();
bool upper_vector_state_dirty();

// Clears the state when the scope ends, after whatever Qt did within it.
class CleanVectorStateOnExit {
public:
    CleanVectorStateOnExit() = default;
    ~CleanVectorStateOnExit() { clear_upper_vector_state(); }
    CleanVectorStateOnExit(const CleanVectorStateOnExit&) = delete;
    CleanVectorStateOnExit& operator=(const CleanVectorStateOnExit&) = delete;
};

}  // namespace rt
