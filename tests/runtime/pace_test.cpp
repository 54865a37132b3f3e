// The pace of paced steps: tempo steps and their bounds, the schedule of due
// steps against a clock, pause and single step.
#include "common/runtime/pace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using rt::Pace;

TEST(Pace, TempoStepsFromOnePerSecondToFullSpeedAndBack) {
    Pace pace;
    EXPECT_TRUE(pace.full_speed());
    EXPECT_EQ(pace.describe(), "Tempo: volle Geschwindigkeit");
    pace.faster();  // the upper bound holds
    EXPECT_EQ(pace.level(), Pace::full_speed_level);
    for (int i = 0; i < 40; ++i) pace.slower();  // far past the lower bound
    EXPECT_EQ(pace.level(), 0);
    const struct {
        int level;
        const char* text;
    } rows[] = {{0, "Tempo: 1 Schritt/s"},           {1, "Tempo: 2 Schritte/s"},    {2, "Tempo: 5 Schritte/s"},
                {3, "Tempo: 10 Schritte/s"},         {9, "Tempo: 1000 Schritte/s"}, {14, "Tempo: 50000 Schritte/s"},
                {15, "Tempo: volle Geschwindigkeit"}};
    int level = 0;
    for (const auto& row : rows) {
        while (level < row.level) {
            pace.faster();
            ++level;
        }
        EXPECT_EQ(pace.describe(), row.text) << "level " << row.level;
        EXPECT_EQ(pace.full_speed(), row.level == Pace::full_speed_level);
    }
    // Each step at most multiplies the tempo by 2.5: a pace the class can follow.
    for (std::size_t i = 1; i < Pace::tempos.size(); ++i) EXPECT_LE(Pace::tempos[i], 2.5 * Pace::tempos[i - 1]) << i;
}

// Steps the pace grants when asked every millisecond for `seconds`.
int steps_granted(Pace& pace, double start, double seconds) {
    int steps = 0;
    for (double t = start; t < start + seconds; t += 0.001) steps += pace.step_due(t) ? 1 : 0;
    return steps;
}

TEST(Pace, GrantsItsTempoAgainstTheClock) {
    for (int level : {0, 1, 3, 6}) {
        Pace pace;
        for (int i = Pace::full_speed_level; i > level; --i) pace.slower();
        const int tempo = Pace::tempos[static_cast<std::size_t>(level)];
        const int steps = steps_granted(pace, 5.0, 10.0);
        EXPECT_GE(steps, 10 * tempo) << tempo;
        EXPECT_LE(steps, 10 * tempo + 1) << tempo;
    }
}

TEST(Pace, PausedGrantsNothingAndASingleStepExactlyOne) {
    Pace pace;
    pace.toggle_pause();
    EXPECT_FALSE(pace.full_speed());
    EXPECT_EQ(pace.describe(), "Tempo: volle Geschwindigkeit, angehalten");
    EXPECT_EQ(steps_granted(pace, 0, 5), 0);
    pace.single_step();
    EXPECT_EQ(steps_granted(pace, 5, 5), 1);
    EXPECT_TRUE(pace.paused());
    // A single step while running pauses first: exactly one step, then still.
    Pace running;
    running.slower();
    running.single_step();
    EXPECT_EQ(steps_granted(running, 0, 2), 1);
    running.toggle_pause();
    EXPECT_GT(steps_granted(running, 2, 1), 1);
}

TEST(Pace, LatePassCatchesUpATenthOfASecondAtMost) {
    Pace pace;
    for (int i = 0; i < 7; ++i) pace.slower();  // 500 steps/s
    ASSERT_EQ(pace.describe(), "Tempo: 500 Schritte/s");
    EXPECT_TRUE(pace.step_due(0));
    // Ten seconds without a pass (a dialog): a tenth of a second's steps
    // at once, not ten seconds' worth, then the rhythm again.
    int burst = 0;
    while (pace.step_due(10)) ++burst;
    EXPECT_EQ(burst, 50);
    EXPECT_NEAR(pace.wait_before_next(10), 0.002, 1e-9);
    EXPECT_EQ(steps_granted(pace, 10.0005, 1), 500);
}

// The window's clock as the pace sees it (rt::CoarseClock): the time read
// only every `reading` seconds, a nanosecond more at every call between.
struct CoarseClock {
    double reading;
    double t = 0;  // the real time, seconds
    double last_reading = -1;
    long calls = 0;
    double now() {
        const double read = std::floor(t / reading) * reading;
        if (read != last_reading) {
            last_reading = read;
            calls = 0;
        }
        return read + 1e-9 * static_cast<double>(++calls);
    }
};

// Steps of a main loop whose pass costs `pass_seconds`, run for `seconds`
// as the program paces it: a pass far from the next step sleeps one 10 ms
// tick of the window.
long paced_steps(Pace& pace, CoarseClock& clock, double seconds, double pass_seconds) {
    long steps = 0;
    for (const double end = clock.t + seconds; clock.t < end;) {
        const double now = clock.now();
        if (pace.step_due(now))
            ++steps;
        else if (pace.wait_before_next(now) > 0.015) {
            clock.t += 0.010;
            continue;
        }
        clock.t += pass_seconds;
    }
    return steps;
}

Pace at_level(int level) {
    Pace pace;
    while (pace.level() > level) pace.slower();
    return pace;
}

// A clock read every 50 to 200 microseconds holds several steps of the top
// tempos between two readings: each level keeps its number to 5 % (or one
// step) when the loop turns fast enough (here 500,000 passes a second).
TEST(Pace, EveryLevelKeepsItsTempoWithTheCoarseClock) {
    for (const double reading : {50e-6, 200e-6}) {
        for (int level = 0; level < Pace::full_speed_level; ++level) {
            Pace pace = at_level(level);
            CoarseClock clock{reading};
            const double tempo = Pace::tempos[static_cast<std::size_t>(level)];
            const long steps = paced_steps(pace, clock, 2.0, 2e-6);
            EXPECT_NEAR(steps, 2 * tempo, std::max(1.0, 0.05 * 2 * tempo)) << tempo << " steps/s, reading " << reading;
            EXPECT_EQ(pace.describe().find("erreicht"), std::string::npos) << pace.describe();
        }
    }
}

// A pass of 40 microseconds allows 25,000 steps a second: 20,000 are kept,
// 50,000 run as fast as the loop turns and the status line says what they reach.
TEST(Pace, TooFastForTheMachineRunsFlatOutAndSaysWhatItReaches) {
    const struct {
        int level;
        double reached;
        const char* text;
    } rows[] = {
        {13, 20000, "Tempo: 20000 Schritte/s"},
        {14, 25000, "Tempo: 50000 Schritte/s (erreicht: 25000/s)"},
    };
    for (const auto& row : rows) {
        Pace pace = at_level(row.level);
        CoarseClock clock{200e-6};
        EXPECT_NEAR(paced_steps(pace, clock, 3.0, 40e-6) / 3.0, row.reached, 0.05 * row.reached) << row.text;
        EXPECT_EQ(pace.describe(), row.text);
    }
}

// A dialog or a statistics display holds the loop: no steps meanwhile, but
// no shortfall either, and afterwards the tempo goes on without racing.
TEST(Pace, HoldIsNotSlownessAndNoRaceFollows) {
    Pace pace = at_level(9);  // 1000 steps/s
    CoarseClock clock{200e-6};
    paced_steps(pace, clock, 3.0, 2e-6);
    clock.t += 5.0;
    EXPECT_NEAR(paced_steps(pace, clock, 2.0, 2e-6), 2000 + 100, 10);  // a tenth of a second caught up
    EXPECT_EQ(pace.describe(), "Tempo: 1000 Schritte/s");
}

}  // namespace
