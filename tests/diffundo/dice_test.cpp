// Atom-count input, g table, dice steps and their lines, on the headless
// scripted runtime (offscreen surface).
#include "common/runtime/surface.h"
#include "common/runtime/text_grid.h"
#include "common/screens/menu_list.h"
#include "common/scripted/scripted_runtime.h"
#include "diffundo/diffundo.h"
#include "recording_runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

using test_support::RecordingRuntime;

class DiffundoDice : public ::testing::Test {
protected:
    // A program after start-up on `runtime`, without the start-up screens.
    static void start(diffundo::Diffundo& program) {
        program.set_start_values();
        program.runtime().set_background_colour(program.background_colour);
        program.menu_entries =
            common::menu_entries_from_list(diffundo::Diffundo::menu_list(), diffundo::Diffundo::menu_capacity);
    }

    static std::string row_text(const rt::Runtime& runtime, int row) {
        return rt::u32_to_utf8(runtime.surface().text_grid().row(row));
    }
};

bool is_red(rt::Rgb pixel) { return rt::red_of(pixel) > 180 && rt::green_of(pixel) < 90 && rt::blue_of(pixel) < 90; }
// Glyph pixels of white text on the light blue background: the small "."
// has no pixel of pure white, only its blends.
bool is_white(rt::Rgb pixel) {
    return rt::red_of(pixel) > 110 && rt::green_of(pixel) > 190 && rt::blue_of(pixel) > 230;
}

// How many pixels of the text cell (column, row) of 8 x 16 satisfy `test`.
template <typename Test>
int cell_pixels(const rt::ImageView& image, int column, int row, Test test) {
    int found = 0;
    for (int y = row * 16; y < row * 16 + 16; ++y)
        for (int x = column * 8; x < column * 8 + 8; ++x) found += test(image.pixel(x, y));
    return found;
}

TEST_F(DiffundoDice, InputIsRoundedAndReaskedFrom101) {
    struct Case {
        const char* script;
        int asks;
        int N;
    };
    const Case cases[] = {
        {"answer 100.4", 1, 100},
        {"answer 100.5", 1, 100},  // halves to even
        {"answer 100.6", 1, 101},
        {"answer 100,6", 1, 101},  // the German decimal comma
        {"answer 150\nanswer 20", 2, 20},
        {"answer 101\nanswer 1e3\nanswer 3", 3, 3},
        {"answer 0.4", 1, 0},
        {"answer abc", 1, 0},
        {"cancel", 1, 0},
        {"answer -7", 1, -7},
        {"answer -1e999", 1, 0},  // -inf: no 32-bit count, no atoms
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        RecordingRuntime runtime(c.script);
        diffundo::Diffundo program(runtime);
        start(program);
        program.enter_atom_count("Gesamtzahl der Atome", "100");
        EXPECT_EQ(static_cast<int>(runtime.inputs.size()), c.asks);
        for (const auto& [prompt, default_text] : runtime.inputs) {
            EXPECT_EQ(prompt, "Gesamtzahl der Atome");
            EXPECT_EQ(default_text, "100");
        }
        EXPECT_EQ(program.gas.N, c.N);
        EXPECT_EQ(runtime.next_unused_item(), nullptr);
        EXPECT_DOUBLE_EQ(program.row_margin, (1024 - 8 * program.atom_input) / 2);
        EXPECT_EQ(program.gas.atom_row, std::string(std::max(c.N, 0), '.'));
        EXPECT_EQ(program.gas.trial_count, 0);
        // mono 14: the cells of the atom lines
        EXPECT_EQ(runtime.cell_width(), 8);
        EXPECT_EQ(runtime.cell_height(), 16);
    }
}

TEST_F(DiffundoDice, DefaultTextIsCutToEightCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"100", "100"},
        {"12345678", "12345678"},
        {"1234567890", "12345678"},
        {"ÄÖÜäöüßxyz", "ÄÖÜäöüßx"},  // characters, not bytes
    };
    for (const auto& [given, shown] : cases) {
        RecordingRuntime runtime("answer 5");
        diffundo::Diffundo program(runtime);
        start(program);
        program.enter_atom_count("Gesamtzahl der Atome", given);
        ASSERT_EQ(runtime.inputs.size(), 1u);
        EXPECT_EQ(runtime.inputs[0].second, shown);
    }
}

// A lesson's atom count meets the typed answer's rule: below 101 it is
// proposed (or taken without the box where the lesson begins at once);
// from 101 on it is refused as silently as a typed one and the default stands.
TEST_F(DiffundoDice, ALessonsAtomCountMeetsTheRuleOfATypedOne) {
    struct Case {
        double given;
        bool at_once;
        const char* script;
        std::size_t boxes;
        const char* shown;  // the first box's text
        int N;
    };
    const Case cases[] = {
        {40, false, "answer 40", 1, "40", 40},
        {100.6, false, "answer 100.6", 1, "100.6", 101},
        {101, false, "answer 60", 1, "100", 60},
        {150, true, "answer 60", 1, "100", 60},
        {40, true, "", 0, "", 40},
        {-3, true, "", 0, "", -3},  // as a typed -3: a run without atoms
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        RecordingRuntime runtime(c.script);
        diffundo::Diffundo program(runtime);
        lesson::Lesson given;
        given.at_once = c.at_once;
        program.use_lesson(given);
        start(program);
        program.enter_atom_count("Gesamtzahl der Atome", "100", c.given);
        ASSERT_EQ(runtime.inputs.size(), c.boxes);
        if (c.boxes > 0) {
            EXPECT_EQ(runtime.inputs[0].second, c.shown);
        }
        EXPECT_EQ(program.gas.N, c.N);
    }
}

TEST_F(DiffundoDice, GTableIsScaledToSeventyAtTheMostProbableSplit) {
    struct Case {
        const char* answer;
        int m;
        double g_scaled;  // 70 g(N, m) / g(N, N/2)
    };
    const Case cases[] = {
        {"answer 100", 50, 70.0},
        {"answer 100", 40, 70.0 * 13746234145802811501267369720.0 / 100891344545564193334812497256.0},
        {"answer 100", 100, 70.0 / 100891344545564193334812497256.0},
        {"answer 100.6", 50, 70.0},
        {"answer 100.6", 51, 70.0},
        {"answer 4", 1, 70.0 * 4 / 6},
        {"answer 1", 1, 70.0},  // N/2 = 0.5 rounds to 0, g(1, 0) = g(1, 1)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.answer << " m=" << c.m);
        RecordingRuntime runtime(c.answer);
        diffundo::Diffundo program(runtime);
        start(program);
        program.enter_atom_count("Gesamtzahl der Atome", "100");
        EXPECT_NEAR(program.g_scaled[c.m], c.g_scaled, 1e-10 * c.g_scaled);
        // The progress dots are gone again.
        EXPECT_EQ(runtime.surface().text_grid().to_text(), "");
    }
}

TEST_F(DiffundoDice, LineShowsTheAtomsWithTheMovedOneInRed) {
    RecordingRuntime runtime("answer 10");
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    program.dice_step();
    EXPECT_EQ(program.gas.m, 9);
    EXPECT_EQ(program.display_row, 1);
    EXPECT_EQ(row_text(runtime, 1), " " + program.gas.atom_row + " 10  9  ");

    const int moved = static_cast<int>(program.gas.atom_row.find('*'));
    ASSERT_GE(moved, 0);
    const rt::ImageView image = runtime.surface().image();
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE(k);
        const int red = cell_pixels(image, 1 + k, 1, is_red);
        if (k == moved) {
            EXPECT_GT(red, 3);
            EXPECT_EQ(cell_pixels(image, 1 + k, 1, is_white), 0);
        } else {
            EXPECT_EQ(red, 0);
            EXPECT_GT(cell_pixels(image, 1 + k, 1, is_white), 0);  // a white "."
        }
    }
    // The counts are white.
    EXPECT_GT(cell_pixels(image, 12, 1, is_white), 0);
    EXPECT_EQ(cell_pixels(image, 12, 1, is_red), 0);
}

TEST_F(DiffundoDice, FortySixthLineOverwritesTheFirstRow) {
    RecordingRuntime runtime("answer 10\nanswer 10");
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    std::string second_line;
    for (int step = 1; step <= 46; ++step) {
        program.dice_step();
        ASSERT_EQ(program.display_row, step <= 45 ? step : step - 45);
        if (step == 2) second_line = row_text(runtime, 2);
    }
    EXPECT_EQ(row_text(runtime, 1), " " + program.gas.atom_row + " 10 " + (program.gas.m < 10 ? " " : "") +
                                        std::to_string(program.gas.m) + "  ");
    EXPECT_EQ(row_text(runtime, 2), second_line);
    EXPECT_EQ(program.gas.trial_count, 46);

    // A new run goes on from the row where the last one stopped.
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    program.dice_step();
    EXPECT_EQ(program.display_row, 2);
    EXPECT_EQ(program.gas.trial_count, 1);
    EXPECT_EQ(program.gas.m, 9);
}

TEST_F(DiffundoDice, ClearingTheScreenKeepsTheRowPosition) {
    RecordingRuntime runtime("answer 10");
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    for (int i = 0; i < 7; ++i) program.dice_step();
    const auto& entries = program.menu_entries;
    program.Win_0_MenuEvent(
        static_cast<int>(std::find(entries.begin(), entries.end(), "Bildschirm &löschen") - entries.begin()));
    EXPECT_EQ(runtime.surface().text_grid().to_text(), "");
    program.dice_step();
    EXPECT_EQ(program.display_row, 8);
    const std::string screen = runtime.surface().text_grid().to_text();
    EXPECT_EQ(screen.substr(0, 9), std::string(8, '\n') + " ");  // rows 0 to 7 empty
    EXPECT_EQ(row_text(runtime, 8).substr(1, 10), program.gas.atom_row);
    EXPECT_EQ(program.gas.trial_count, 8);
}

TEST_F(DiffundoDice, SortedModeShowsBoxTwoFirst) {
    RecordingRuntime runtime("answer 10");
    runtime.seed_random(3);
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    program.dice_step();
    program.toggle_draw_mode();
    EXPECT_EQ(program.draw_mode, 1);
    EXPECT_EQ(runtime.surface().text_grid().to_text(), "");  // cleared
    for (int i = 0; i < 100000 && program.gas.m != 3; ++i) program.dice_step();
    ASSERT_EQ(program.gas.m, 3);
    EXPECT_EQ(row_text(runtime, program.display_row), " *******... 10  3  ");
    // No red in sorted lines.
    EXPECT_EQ(cell_pixels(runtime.surface().image(), 1, program.display_row, is_red), 0);
    program.toggle_draw_mode();
    EXPECT_EQ(program.draw_mode, -1);
}

TEST_F(DiffundoDice, RightButtonHoldsTheStepUntilReleased) {
    // Every mouse poll is one event pass of the scripted user.
    RecordingRuntime runtime("answer 10\nmouse right down\npasses 30\nmouse right up\npasses 5");
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    program.dice_step();
    EXPECT_EQ(program.gas.trial_count, 1);
    ASSERT_NE(runtime.next_unused_item(), nullptr);
    EXPECT_EQ(runtime.next_unused_item()->kind, rt::ScriptItemKind::passes);
    EXPECT_GE(runtime.event_passes(), 32);
    EXPECT_EQ(program.gas.frequency_count[9], 1);
}

TEST_F(DiffundoDice, OnlyTheRightButtonAloneHolds) {
    RecordingRuntime runtime("answer 10\nmouse right down\nmouse left down\npasses 5");
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    program.dice_step();
    // Right alone held on the first poll, both on the second: released there.
    ASSERT_NE(runtime.next_unused_item(), nullptr);
    EXPECT_EQ(runtime.next_unused_item()->kind, rt::ScriptItemKind::passes);
}

TEST_F(DiffundoDice, ClosingTheWindowEndsTheHold) {
    RecordingRuntime runtime("answer 10\nmouse right down\npasses 10\nclose");
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    EXPECT_THROW(program.dice_step(), rt::WindowClosed);
}

TEST_F(DiffundoDice, StepAfterQuitDoesNothing) {
    RecordingRuntime runtime("answer 10");
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    program.quit_marker = "*";
    program.dice_step();
    EXPECT_EQ(program.gas.trial_count, 0);
    EXPECT_EQ(program.display_row, 0);
    EXPECT_EQ(runtime.surface().text_grid().to_text(), "");
}

// Without atoms nothing moves, nothing is printed, and every menu entry
// still works.
TEST_F(DiffundoDice, RunWithoutAtomsKeepsEveryMenuEntryWorking) {
    RecordingRuntime runtime(
        "answer 0\n"
        "button 1\nbutton 1\nbutton 1\nbutton 1\n"  // &Info, &Autor, &Theorie, &Bedienung
        "answer -3\n"                               // &Neue Eingabe
        "key\n"                                     // left for later: the statistics must not wait
    );
    diffundo::Diffundo program(runtime);
    start(program);
    program.enter_atom_count("Gesamtzahl der Atome", "100");
    for (int i = 0; i < 50; ++i) program.dice_step();
    EXPECT_EQ(program.gas.trial_count, 0);
    EXPECT_EQ(program.display_row, 0);
    EXPECT_EQ(runtime.surface().text_grid().to_text(), "");

    const auto& entries = program.menu_entries;
    auto choose = [&](const std::string& entry) {
        const auto at = std::find(entries.begin(), entries.end(), entry);
        ASSERT_NE(at, entries.end()) << entry;
        program.Win_0_MenuEvent(static_cast<int>(at - entries.begin()));
    };
    choose("&Info");
    choose("&Autor");
    choose("&Theorie");
    choose("&Bedienung");
    choose("&Neue Eingabe");
    EXPECT_EQ(program.gas.N, -3);
    choose("&Statistik zeigen");
    choose("Bildschirm &löschen");
    choose("&Zeichen-Modus ändern");
    choose("&Weiter");
    EXPECT_EQ(program.continue_request, 2);
    for (int i = 0; i < 50; ++i) program.dice_step();
    EXPECT_EQ(program.gas.trial_count, 0);
    ASSERT_NE(runtime.next_unused_item(), nullptr);
    EXPECT_EQ(runtime.next_unused_item()->kind, rt::ScriptItemKind::key);
}

}  // namespace
