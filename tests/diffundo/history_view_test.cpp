// The time plot on the scripted runtime: it replaces the atom lines, follows
// the run a few times a second rather than per step, goes on while paused,
// and gives the atom lines back when switched off.
#include "common/runtime/surface.h"
#include "common/runtime/text_grid.h"
#include "common/screens/menu_list.h"
#include "diffundo/diffundo.h"
#include "recording_runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using test_support::RecordingRuntime;

class DiffundoHistory : public ::testing::Test {
protected:
    static void start(diffundo::Diffundo& program, const std::string& atoms) {
        program.set_start_values();
        program.runtime().set_background_colour(program.background_colour);
        program.menu_entries =
            common::menu_entries_from_list(diffundo::Diffundo::menu_list(), diffundo::Diffundo::menu_capacity);
        program.enter_atom_count("Gesamtzahl der Atome", atoms);
    }
    static int position(const diffundo::Diffundo& program, const std::string& entry) {
        const auto& entries = program.menu_entries;
        return static_cast<int>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
    }
    // The texts on the screen, printed or drawn, as a screen reader gets them.
    static std::string screen(const rt::Runtime& runtime) { return runtime.screen_description(); }
    // Clock times at which the plot was drawn during `passes` passes.
    static std::vector<double> drawn_during(diffundo::Diffundo& program, int passes) {
        std::vector<double> times;
        for (int i = 0; i < passes; ++i) {
            program.main_loop_pass();
            if (times.empty() || program.history_drawn_at != times.back()) times.push_back(program.history_drawn_at);
        }
        return times;
    }
};

TEST_F(DiffundoHistory, ReplacesTheAtomLinesAndFollowsTheRunAFewTimesASecond) {
    RecordingRuntime runtime("answer 4\npasses 1000000");
    diffundo::Diffundo program(runtime);
    start(program, "4");
    const int entry = position(program, "Ve&rlauf zeigen");
    program.Win_0_MenuEvent(entry);
    EXPECT_TRUE(runtime.menu_checked(entry));

    const std::vector<double> drawn = drawn_during(program, 3000);
    EXPECT_EQ(program.history.steps(), program.gas.trial_count);
    EXPECT_EQ(program.history.first_step(), 0);
    EXPECT_EQ(program.display_row, 0);  // no atom line printed
    // The scripted clock goes on by 1 ms a call: some 3 s for 3000 steps.
    EXPECT_GE(drawn.size(), 5u);
    EXPECT_LE(drawn.size(), 20u);
    for (std::size_t i = 2; i < drawn.size(); ++i) EXPECT_GE(drawn[i] - drawn[i - 1], 0.25 - 1e-9) << i;
    const std::string text = screen(runtime);
    for (const char* shown :
         {"VERLAUF   N = 4", "Atome im Kasten 2", "Entropie ln g(N,m)", "Band N/2 ± Wurzel(N)/2 = 2,0 ± 1,0",
          "Maximum ln g(N,N/2) = 1,8 (bei m = 2)", "im Band: ", "Schritte"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;

    // A screen cleared under the plot gets it back at the next pass.
    program.Win_0_MenuEvent(position(program, "Bildschirm &löschen"));
    program.main_loop_pass();
    EXPECT_NE(screen(runtime).find("VERLAUF"), std::string::npos);

    program.Win_0_MenuEvent(entry);
    EXPECT_FALSE(runtime.menu_checked(entry));
    EXPECT_EQ(screen(runtime), "");
    program.main_loop_pass();
    EXPECT_EQ(program.display_row, 1);
    EXPECT_EQ(screen(runtime).find("VERLAUF"), std::string::npos);
}

TEST_F(DiffundoHistory, GoesOnWhilePausedAndWithoutAtoms) {
    RecordingRuntime runtime("answer 100\npasses 1000000");
    diffundo::Diffundo program(runtime);
    start(program, "100");
    program.pace.toggle_pause();
    program.Win_0_MenuEvent(position(program, "Ve&rlauf zeigen"));
    // Paused: drawn once, then not again while nothing changes.
    EXPECT_EQ(drawn_during(program, 2000).size(), 1u);
    EXPECT_NE(screen(runtime).find("VERLAUF   N = 100   0 Schritte"), std::string::npos);
    program.pace.single_step();
    drawn_during(program, 400);
    EXPECT_EQ(program.history.steps(), 1);
    EXPECT_EQ(program.history.last(), 1);  // the first step moves an atom into box 2
    EXPECT_NE(screen(runtime).find("VERLAUF   N = 100   1 Schritt"), std::string::npos);

    // Without atoms there is no course to show, and the plot says so.
    RecordingRuntime empty_runtime("answer 0\npasses 1000");
    diffundo::Diffundo empty(empty_runtime);
    start(empty, "0");
    empty.Win_0_MenuEvent(position(empty, "Ve&rlauf zeigen"));
    drawn_during(empty, 10);
    EXPECT_NE(screen(empty_runtime).find("Ohne Atome"), std::string::npos);
}

}  // namespace
