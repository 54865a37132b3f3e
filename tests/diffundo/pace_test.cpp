// The pace of the dice: tempo steps and their bounds, the schedule of due
// steps against a clock, pause and single step.
#include "diffundo/core/pace.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using diffundo::Pace;

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

TEST(Pace, LatePassMakesOneStepNotABurst) {
    Pace pace;
    for (int i = 0; i < 7; ++i) pace.slower();  // 500 steps/s
    ASSERT_EQ(pace.describe(), "Tempo: 500 Schritte/s");
    EXPECT_TRUE(pace.step_due(0));
    // Ten seconds without a pass: one step now, then the rhythm again.
    EXPECT_TRUE(pace.step_due(10));
    EXPECT_FALSE(pace.step_due(10.0005));
    EXPECT_NEAR(pace.wait_before_next(10.0005), 0.0015, 1e-9);
}

}  // namespace
