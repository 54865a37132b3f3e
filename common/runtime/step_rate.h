#pragma once
// The step rate a paced program reaches, measured over a window of passes, so that
// the status line can say when a tempo is more than the machine can do.
// Plain C++, fed with the clock reading of every pass.

#include <cstdint>

namespace rt {

class StepRate {
public:
    // Counting for `tempo` steps per second begins anew (a new tempo, or
    // running again after a pause); the last measured rate is forgotten.
    void restart(int tempo);
    // One pass of the paced loop at clock time `now` (seconds), with a step or not.
    void pass(double now, bool stepped);
    // Steps per second over the last whole window; < 0 before one was measured.
    double rate() const { return rate_; }
    // Whether the last window fell short of the tempo by more than the 5 %
    // that a tempo may be off.
    bool falls_short() const;

private:
    int tempo_ = 0;
    double window_ = 1;           // seconds: at least 1, and at least 50 steps of the tempo
    double window_start_ = -1;    // clock time of the pass that began the window
    double last_pass_ = -1;
    std::int64_t steps_ = 0;      // steps after the window's first pass
    double rate_ = -1;
};

}  // namespace rt
