// The whole program on the scripted runtime: start-up, menus, main loop, end.
#include "common/runtime/surface.h"
#include "common/runtime/text_grid.h"
#include "common/screens/menu_list.h"
#include "common/scripted/scripted_runtime.h"
#include "diffundo/core/help_pages.h"
#include "diffundo/diffundo.h"
#include "recording_runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The user through the start-up screens: the title screen's key, the quit
// hint, the introduction, then the atom count.
const std::string through_start_up = "key\nbutton 1\nbutton 1\n";

using test_support::RecordingRuntime;

class DiffundoFrame : public ::testing::Test {};

TEST_F(DiffundoFrame, StartUpSequence) {
    RecordingRuntime runtime(through_start_up + "answer 20\npasses 100");
    diffundo::Diffundo program(runtime);
    program.run();

    EXPECT_EQ(runtime.title, std::string(87, ' ') + "DIFFUNDO" + std::string(26, ' '));
    std::vector<std::string> menu = {
        "DESK |",
        "&Quit",
        "----------",
        "&Info",
        "&Autor",
        "",
        "AUSGABE |",
        "&Neue Eingabe",
        "&Statistik zeigen",
        "Bildschirm &löschen",
        "&Zeichen-Modus ändern",
        "&Weiter",
        "",
        "HILFE |",
        "&Theorie",
        "&Bedienung",
        "",
        // The extras after HILFE: every entry above keeps its position.
        "EXTRAS |",
        "Bild &speichern ...",
        "Bild &drucken ...",
        "Bild &kopieren",
        "-------------",
        "&Vollbild",
        "&Beamer-Farben",
        "-------------",
        "&Hilfe zu den Extras",
        "-------------",
        "Da&ten speichern ...",
        "-------------",
        "Diese &Werte weitergeben ...",
        // diffundo's own pace entries, keys after the tab.
        "-------------",
        "&Langsamer\tCtrl+-",
        "S&chneller\tCtrl++",
        "&Anhalten / Fortsetzen\tCtrl+Space",
        "&Einzelschritt\tCtrl+Right",
        // and the time plot, a toggle of its own.
        "-------------",
        "Ve&rlauf zeigen",
        // The paper entries after diffundo's own, which keep their positions.
        "-------------",
        "Druck&farben",
        "Bild in Druckfarben s&peichern ...",
        "",
        "",
    };
    menu.resize(diffundo::Diffundo::menu_capacity);
    EXPECT_EQ(runtime.installed_menu(), menu);

    ASSERT_TRUE(runtime.first_key_query_grid);
    EXPECT_EQ(rt::u32_to_utf8(runtime.first_key_query_grid->row(31)).substr(73), "Weiter ?  <RETURN>");

    ASSERT_EQ(runtime.boxes.size(), 2u);
    EXPECT_EQ(runtime.boxes[0].style, 1);
    EXPECT_EQ(runtime.boxes[0].text, "Beenden nur mit QUIT!");
    EXPECT_EQ(runtime.boxes[0].default_button, 1);
    EXPECT_EQ(runtime.boxes[0].captions, " OK ");
    EXPECT_EQ(runtime.boxes[1].style, 19);
    EXPECT_EQ(runtime.boxes[1].text, diffundo::intro_page_text());
    EXPECT_EQ(runtime.boxes[1].default_button, 2);
    EXPECT_EQ(runtime.boxes[1].captions, "OK");

    ASSERT_EQ(runtime.inputs.size(), 1u);
    EXPECT_EQ(runtime.inputs[0].first, "Gesamtzahl d. Atome");
    EXPECT_EQ(runtime.inputs[0].second, "100");

    // The scripted user chose "&Quit" once the script was used up.
    EXPECT_EQ(program.quit_marker, "*");
    EXPECT_EQ(program.gas.N, 20);
    EXPECT_GE(program.gas.trial_count, 40);
    EXPECT_DOUBLE_EQ(program.x_unit, 3.2);
    EXPECT_DOUBLE_EQ(program.y_unit, 3.84);
    EXPECT_EQ(program.draw_mode, -1);
}

// AUSGABE's "&Weiter" ends a statistics display and arms the next one to end
// at once; an entry of the same word that only resumes the dice invites the
// mix-up. Access marks and keys are not part of what the user reads.
TEST_F(DiffundoFrame, OnlyAusgabeHasAnEntryNamedWeiter) {
    std::vector<std::string> named_weiter;
    for (std::string entry : diffundo::Diffundo::menu_list()) {
        entry = entry.substr(0, entry.find('\t'));
        std::erase(entry, '&');
        if (entry.find("Weiter") != std::string::npos) named_weiter.push_back(entry);
    }
    EXPECT_EQ(named_weiter, std::vector<std::string>{"Weiter"});
}

TEST_F(DiffundoFrame, FirstDefaultDependsOnTheScreenWidth) {
    struct Case {
        int width;
        int height;
        const char* shown;
    };
    const Case cases[] = {
        {640, 480, "60"},   {800, 600, "80"},    {960, 720, "100"},
        {1024, 768, "100"}, {1280, 1024, "100"}, {700, 500, "67.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        RecordingRuntime runtime(through_start_up + "answer 5", c.width, c.height);
        diffundo::Diffundo program(runtime);
        program.run();
        ASSERT_EQ(runtime.inputs.size(), 1u);
        EXPECT_EQ(runtime.inputs[0].second, c.shown);
    }
}

// Column 73 and row 25 * y_unit / 3 put the prompt's first cell (serif 16,
// 11 x 24 pixels) at about the bottom edge of any screen; it moves up to the
// last whole row, and on narrow screens left far enough to be seen.
TEST_F(DiffundoFrame, TitleScreenPromptStaysOnTheScreen) {
    struct Case {
        int width;
        int height;
        int column;
        int row;
    };
    const Case cases[] = {
        {1024, 768, 73, 31},   // row 32 would start at pixel 768
        {1280, 1024, 73, 41},  // row 43 would start at pixel 1032
        {960, 720, 69, 29},   {800, 600, 54, 24}, {640, 480, 40, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        RecordingRuntime runtime("key\nbutton 1\nbutton 1\nanswer 5", c.width, c.height);
        diffundo::Diffundo program(runtime);
        program.run();
        ASSERT_TRUE(runtime.first_key_query_grid);
        const std::string row = rt::u32_to_utf8(runtime.first_key_query_grid->row(c.row));
        ASSERT_GE(row.size(), static_cast<std::size_t>(c.column));
        EXPECT_EQ(row.substr(c.column), "Weiter ?  <RETURN>");
    }
}

TEST_F(DiffundoFrame, MenuEntriesRunTheirActions) {
    RecordingRuntime runtime(through_start_up +
                             "answer 20\npasses 10\n"
                             "menu DESK / &Info\nbutton 1\n"
                             "menu HILFE / &Theorie\nbutton 1\n"
                             "menu HILFE / &Bedienung\nbutton 1\n"
                             "menu DESK / &Autor\nbutton 1\n"
                             "menu AUSGABE / &Zeichen-Modus ändern\npasses 10\n"
                             "menu AUSGABE / &Neue Eingabe\nanswer 7\npasses 20\n");
    diffundo::Diffundo program(runtime);
    program.run();
    ASSERT_EQ(runtime.boxes.size(), 6u);
    const std::pair<int, std::string> help[] = {
        {2, diffundo::intro_page_text()}, {3, diffundo::theory_page_text()}, {4, diffundo::operation_page_text()}};
    for (const auto& [box, text] : help) {
        EXPECT_EQ(runtime.boxes[box].style, 19);
        EXPECT_EQ(runtime.boxes[box].text, text);
        EXPECT_EQ(runtime.boxes[box].default_button, 2);
        EXPECT_EQ(runtime.boxes[box].captions, "OK");
    }
    EXPECT_EQ(runtime.boxes[5].style, 147);  // the author box
    ASSERT_EQ(runtime.inputs.size(), 2u);
    EXPECT_EQ(runtime.inputs[1].first, "Gesamtzahl der Atome");
    EXPECT_EQ(runtime.inputs[1].second, "100");
    EXPECT_EQ(program.gas.N, 7);
    EXPECT_EQ(program.draw_mode, 1);
    EXPECT_GT(program.gas.trial_count, 0);
    EXPECT_LE(program.gas.trial_count, 20);  // counted from the new input
}

TEST_F(DiffundoFrame, TitlesSeparatorAndEmptyEntriesDoNothing) {
    RecordingRuntime runtime("");
    diffundo::Diffundo program(runtime);
    program.set_start_values();
    program.menu_entries =
        common::menu_entries_from_list(diffundo::Diffundo::menu_list(), diffundo::Diffundo::menu_capacity);
    constexpr int capacity = diffundo::Diffundo::menu_capacity;
    for (int index : {-1, 0, 2, 5, 6, 12, 13, 16, 17, capacity - 1, capacity, 1000}) {
        SCOPED_TRACE(index);
        program.Win_0_MenuEvent(index);
        EXPECT_EQ(program.quit_marker, "");
        EXPECT_EQ(program.continue_request, 0);
        EXPECT_EQ(program.draw_mode, -1);
        EXPECT_TRUE(runtime.boxes.empty());
        EXPECT_TRUE(runtime.inputs.empty());
    }
}

// The number of steps the display shows, read from its text.
long steps_shown(const std::string& screen_text) {
    const std::size_t at = screen_text.find(" Versuchen");
    if (at == std::string::npos) return -1;
    const std::size_t start = screen_text.find_last_of(' ', at - 1) + 1;
    return std::stol(screen_text.substr(start, at - start));
}

TEST_F(DiffundoFrame, QuitDuringTheStatisticsDisplayEndsTheProgram) {
    RecordingRuntime runtime(through_start_up +
                             "answer 30\npasses 400\n"
                             "menu AUSGABE / &Statistik zeigen\npasses 50\n"
                             "menu DESK / &Quit\n");
    diffundo::Diffundo program(runtime);
    program.run();
    EXPECT_EQ(program.quit_marker, "*");
    EXPECT_EQ(runtime.next_unused_item(), nullptr);
    // "&Quit" ends the program at once: the screen at the end is the display.
    ASSERT_TRUE(runtime.final_screen());
    EXPECT_NE(runtime.final_screen()->text.find("HÄUFIGKEIT"), std::string::npos);
    // No step after the display.
    EXPECT_EQ(steps_shown(runtime.final_screen()->text), program.gas.trial_count);
    EXPECT_EQ(program.continue_request, 0);
}

TEST_F(DiffundoFrame, WeiterDuringTheDisplayEndsItsWaitAndTheSimulationGoesOn) {
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "diffundo_frame_weiter";
    std::filesystem::create_directories(dir);
    RecordingRuntime runtime(through_start_up +
                             "answer 30\npasses 400\n"
                             "menu AUSGABE / &Statistik zeigen\npasses 50\nsnapshot display\n"
                             "menu AUSGABE / &Weiter\npasses 400\n");
    runtime.set_snapshot_directory(dir);
    diffundo::Diffundo program(runtime);
    program.run();
    std::ifstream in(dir / "display.txt");
    std::stringstream shown;
    shown << in.rdbuf();
    const long at_display = steps_shown(shown.str());
    ASSERT_GT(at_display, 0);
    EXPECT_GT(program.gas.trial_count, at_display + 100);
    EXPECT_EQ(program.continue_request, 0);
    EXPECT_EQ(program.quit_marker, "*");
}

// "&Neue Eingabe" inside the statistics display starts a new run while the
// display goes on waiting: the status line must leave the old run's distance
// for the new run, which has made no step yet.
TEST_F(DiffundoFrame, NewInputDuringTheDisplayRenewsTheStatusLine) {
    class StatusAfterNewInput : public RecordingRuntime {
    public:
        using RecordingRuntime::RecordingRuntime;
        std::string key_query() override {
            if (inputs.size() == 2 && !seen) seen = status();
            return RecordingRuntime::key_query();
        }
        std::optional<std::string> seen;  // at the first key poll after the second input
    };
    StatusAfterNewInput runtime(through_start_up +
                                "answer 30\npasses 400\n"
                                "menu AUSGABE / &Statistik zeigen\npasses 50\n"
                                "menu AUSGABE / &Neue Eingabe\nanswer 20\npasses 50\nkey\n");
    diffundo::Diffundo program(runtime);
    program.run();
    ASSERT_TRUE(runtime.seen);
    EXPECT_EQ(*runtime.seen, "Tempo: volle Geschwindigkeit, läuft - 0 Schritte");
    EXPECT_EQ(runtime.next_unused_item(), nullptr);  // the key ended the display's wait
}

TEST_F(DiffundoFrame, ClosingTheWindowEndsTheProgramWherever) {
    const std::string scripts[] = {
        "close",                                            // title screen
        through_start_up + "answer 20\npasses 100\nclose",  // main loop
        through_start_up + "answer 20\npasses 100\nmenu AUSGABE / &Statistik zeigen\npasses 30\nclose",
        through_start_up + "answer 20\npasses 100\nmouse right down\npasses 30\nclose",  // held
        through_start_up + "answer 0\npasses 100\nclose",                                // no atoms
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script);
        RecordingRuntime runtime(script);
        diffundo::Diffundo program(runtime);
        EXPECT_NO_THROW(program.run());
        EXPECT_TRUE(runtime.window_closed());
        EXPECT_EQ(runtime.next_unused_item(), nullptr);
        EXPECT_EQ(program.quit_marker, "");
    }
}

// Paused, the main loop makes no step however many passes go by; a single
// step makes exactly one, with its line; the status line says so.
TEST_F(DiffundoFrame, PausedMakesNoStepAndSingleStepExactlyOne) {
    RecordingRuntime runtime(through_start_up +
                             "answer 20\n"
                             "menu EXTRAS / &Anhalten / Fortsetzen\n"
                             "passes 2000\n"
                             "snapshot paused\n"
                             "menu EXTRAS / &Einzelschritt\n"
                             "passes 2000\n");
    diffundo::Diffundo program(runtime);
    program.run();
    EXPECT_EQ(program.gas.trial_count, 1);
    EXPECT_EQ(program.display_row, 1);
    EXPECT_EQ(runtime.status(), "Tempo: volle Geschwindigkeit, angehalten - 1 Schritt");
    // The one line: 19 atoms in box 1, one in box 2.
    const std::string line = rt::u32_to_utf8(runtime.surface().text_grid().row(1));
    EXPECT_EQ(std::count(line.begin(), line.end(), '*'), 1) << line;
}

// At 1 step per second the scripted clock (1 ms per read) grants about one
// step per thousand clock reads: slower and faster reach the program.
TEST_F(DiffundoFrame, SlowerTempoMakesFewerSteps) {
    // Paused while the tempo goes down, so that the steps all fall at 1 per second.
    std::string script = through_start_up + "answer 20\nmenu EXTRAS / &Anhalten / Fortsetzen\n";
    for (int i = 0; i < 15; ++i) script += "menu EXTRAS / &Langsamer\n";
    script += "menu EXTRAS / &Anhalten / Fortsetzen\npasses 5000\n";
    RecordingRuntime runtime(script);
    diffundo::Diffundo program(runtime);
    program.run();
    EXPECT_EQ(program.pace.level(), 0);
    // 5000 passes of about 1 ms of the scripted clock: about 5 seconds.
    EXPECT_GE(program.gas.trial_count, 3);
    EXPECT_LE(program.gas.trial_count, 7);
}

// The scripted clock moves 1 ms per reading, two readings a pass: the loop
// turns 500 times a second by that clock, and 50,000 steps/s cannot be had.
// The status line says what the tempo reaches.
TEST_F(DiffundoFrame, StatusLineSaysTheRateATempoReaches) {
    RecordingRuntime runtime(through_start_up + "answer 20\nmenu EXTRAS / &Langsamer\npasses 3000\n");
    diffundo::Diffundo program(runtime);
    program.run();
    EXPECT_EQ(runtime.status().rfind("Tempo: 50000 Schritte/s (erreicht: 500/s), läuft - ", 0), 0u) << runtime.status();
}

}  // namespace
