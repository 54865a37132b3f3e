#pragma once
// The pace of a program's steps (diffundo's dice, kalorix's theory): how
// many steps per second, paused or running, and a single step on request. It
// decides when the next step is due from the runtime's clock; the loop that
// makes the steps only asks. Plain C++, so the tempo steps and the schedule
// are tested without a screen, and both programs offer the same tempo steps.
//
// The schedule counts the steps owed since the tempo began: the runtime's
// clock is read only every 50 to 200 microseconds (rt::CoarseClock), several
// steps of a fast tempo fall between two readings, and the passes after a
// reading make them up, one per pass. The steps still owed are capped at a
// tenth of a second's worth, so that a dialog, a display that waits or a slow
// spell is followed by a short catch-up at most, never by a race.

#include "common/runtime/step_rate.h"

#include <array>
#include <cstdint>
#include <string>

namespace rt {

class Pace {
public:
    // Steps per second, roughly doubling; beyond the last one lies full
    // speed: a step in every pass of the loop, as fast as it turns.
    static constexpr std::array<int, 15> tempos = {1,   2,    5,    10,   20,    50,    100,  200,
                                                   500, 1000, 2000, 5000, 10000, 20000, 50000};
    static constexpr int full_speed_level = static_cast<int>(tempos.size());
    // The most steps owed at a time, in seconds of the tempo (at least one step).
    static constexpr double backlog_seconds = 0.1;

    void slower();
    void faster();
    // Steps per second, one of `tempos`, or 0 for full speed; false (and
    // the tempo kept) for any other number.
    bool set_tempo(int steps_per_second);
    // The tempo as set_tempo takes it.
    int steps_per_second() const { return level_ == full_speed_level ? 0 : tempo(); }
    void toggle_pause();
    // One step at the next pass; the simulation stays paused (a running one
    // is paused first, so that exactly one step is made and seen).
    void single_step();

    int level() const { return level_; }
    bool paused() const { return paused_; }
    // Every pass makes a step: the simulation as it always ran.
    bool full_speed() const { return !paused_ && !single_step_ && level_ == full_speed_level; }
    // Whether a step is due at `now` (seconds), the clock read of this pass;
    // a true answer books it, so ask once per pass.
    bool step_due(double now);
    // Seconds from `now` until the next step is due; large when paused.
    double wait_before_next(double now) const;

    // "Tempo: 2 Schritte/s", "Tempo: volle Geschwindigkeit", plus ", angehalten";
    // "Tempo: 50000 Schritte/s (erreicht: 31200/s)" while the steps made fall
    // clearly short of the tempo.
    std::string describe() const;

private:
    int tempo() const { return tempos[static_cast<std::size_t>(level_)]; }
    // The tempo begins anew at the next pass that asks.
    void restart_schedule();

    int level_ = full_speed_level;
    bool paused_ = false;
    bool single_step_ = false;
    double origin_ = -1;        // clock time the counting began; < 0: at the next pass
    std::int64_t booked_ = 0;   // steps counted since origin_: made, or dropped by the cap
    StepRate reached_;
};

}  // namespace rt
