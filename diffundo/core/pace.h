#pragma once
// The pace of the dice simulation: how many steps per second, paused or
// running, and a single step on request. It decides when the next step is
// due from the runtime's clock; the main loop only asks. Plain C++, so the
// tempo steps and the schedule are tested without a screen.

#include <array>
#include <string>

namespace diffundo {

class Pace {
public:
    // Steps per second, roughly doubling; beyond the last one lies full
    // speed: a step in every pass of the main loop, as fast as it turns.
    static constexpr std::array<int, 15> tempos = {1,   2,    5,    10,   20,    50,    100,  200,
                                                   500, 1000, 2000, 5000, 10000, 20000, 50000};
    static constexpr int full_speed_level = static_cast<int>(tempos.size());

    void slower();
    void faster();
    void toggle_pause();
    // One step at the next pass; the simulation stays paused (a running one
    // is paused first, so that exactly one step is made and seen).
    void single_step();

    int level() const { return level_; }
    bool paused() const { return paused_; }
    // Every pass makes a step: the simulation as it always ran.
    bool full_speed() const { return !paused_ && !single_step_ && level_ == full_speed_level; }
    // Whether a step is due at `now` (seconds); a true answer books it, so
    // ask once per pass. A late pass makes one step, not a burst.
    bool step_due(double now);
    // Seconds from `now` until the next step is due; large when paused.
    double wait_before_next(double now) const;

    // "Tempo: 2 Schritte/s", "Tempo: volle Geschwindigkeit", plus ", angehalten".
    std::string describe() const;

private:
    int level_ = full_speed_level;
    bool paused_ = false;
    bool single_step_ = false;
    double next_due_ = -1;  // clock time of the next step; < 0: not yet booked
};

}  // namespace diffundo
