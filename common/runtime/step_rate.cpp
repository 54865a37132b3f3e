#include "common/runtime/step_rate.h"

#include <algorithm>

namespace rt {

namespace {

// A tempo may be off by 5 %; a window of 50 steps or more counts them to 2 %
// (one step more or less), so an exact pace is never reported short.
constexpr double allowed_shortfall = 0.05;
constexpr double least_window_steps = 50;
// Longer without a pass than this (seconds) is a hold, not slowness: a
// dialog, a statistics display or the right button held. Longer than the
// window's sleeping polls (up to 40 ms).
constexpr double hold_seconds = 0.25;

}  // namespace

void StepRate::restart(int tempo) {
    tempo_ = tempo;
    window_ = tempo > 0 ? std::max(1.0, least_window_steps / tempo) : 1.0;
    window_start_ = -1;
    last_pass_ = -1;
    steps_ = 0;
    rate_ = -1;
}

void StepRate::pass(double now, bool stepped) {
    const bool held = last_pass_ >= 0 && now - last_pass_ > hold_seconds;
    last_pass_ = now;
    if (window_start_ < 0 || held) {
        // A new window from the first pass after a hold: the steps that
        // catch up then (at most the pace's backlog) can only make the rate
        // look higher, never short.
        window_start_ = now;
        steps_ = 0;
        return;
    }
    if (stepped) ++steps_;
    const double elapsed = now - window_start_;
    if (elapsed >= window_) {
        rate_ = static_cast<double>(steps_) / elapsed;
        window_start_ = now;
        steps_ = 0;
    }
}

bool StepRate::falls_short() const { return rate_ >= 0 && rate_ < (1 - allowed_shortfall) * tempo_; }

}  // namespace rt
