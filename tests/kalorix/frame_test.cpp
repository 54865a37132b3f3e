// kalorix's frame: menus, layout factors, dispatch, main loop and its end.
#include "kalorix_harness.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using kalorix_test::KalorixRun;

// Opens the protected layout helpers and the menu builder.
struct Probe : kalorix::Kalorix {
    using Kalorix::build_menu;
    using Kalorix::Kalorix;
    using Kalorix::scale_x;
    using Kalorix::scale_y;
};

struct ProbeRun {
    rt::ScriptedRuntime runtime;
    Probe program{runtime};
    explicit ProbeRun(const std::string& script = "", int width = 1024, int height = 768)
        : runtime(rt::parse_script(script), width, height) {}
};

TEST(KalorixMenu, PositionsFollowTheMenuList) {
    ProbeRun run;
    run.program.build_menu(kalorix::Kalorix::menu_list());
    const std::vector<std::string> expected = {
        "DESK |", "&Quit", "-------------", "&Info", "&Autor", "", "AUSGABE |", "&Neue Eingabe",
        "&theoretische Analyse", "&Experimentelle Analyse", "Bildschirm &löschen", "&Weiter", "", "HILFE |", "&Info",
        "&Entropie S", "&Temperatur T", "Temperatur in der &Schule", "&innere Energie U",
        "Helmholtzsche &Freie Energie F (A)", "thermisches &Gleichgewicht", "",
        // The extras after HILFE: every entry above keeps its position.
        "EXTRAS |", "Bild &speichern ...", "Bild &drucken ...", "Bild &kopieren", "-------------", "&Vollbild",
        "&Beamer-Farben", "-------------", "&Hilfe zu den Extras", "-------------", "Da&ten speichern ...",
        "-------------", "Diese &Werte weitergeben ...", "-------------", "&Automatisch weiter\tCtrl+A",
        "-------------", "&Entropiekurve im Experiment\tCtrl+K", "Entropiekurve g&roß\tCtrl+G", "-------------",
        "Tempo der Theorie: &langsamer\tCtrl+-", "Tempo der Theorie: s&chneller\tCtrl++",
        "Tempo der Theorie: a&nhalten / fortsetzen\tCtrl+Space", "Tempo der Theorie: E&inzelschritt\tCtrl+Right",
        // The paper entries after the program's own, which keep their positions.
        "-------------", "Druck&farben", "Bild in Druckfarben s&peichern ...", "", "", ""};
    const auto& entries = run.program.menu_entries;
    ASSERT_EQ(entries.size(), 81u);
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(entries[i], expected[i]) << "position " << i;
    EXPECT_EQ(run.runtime.installed_menu(), entries);
}

struct ScaleCase {
    int width, height, p, x, y;
};

TEST(KalorixLayout, ScaleMultipliesFirstAndTruncates) {
    const ScaleCase cases[] = {
        {1024, 768, 154, 492, 591},  // 1024 * 154 / 320 = 492.8
        {1024, 768, 320, 1024, 1228}, {1024, 768, 200, 640, 768}, {800, 600, 4, 10, 12},
        {1280, 1024, 184, 736, 942},  {300, 150, 1, 0, 0},  // narrower than the grid: one unit is no pixel
    };
    for (const ScaleCase& c : cases) {
        ProbeRun run("", c.width, c.height);
        EXPECT_EQ(run.program.scale_x(c.p), c.x) << c.width << " p=" << c.p;
        EXPECT_EQ(run.program.scale_y(c.p), c.y) << c.height << " p=" << c.p;
    }
}

struct PromptCase {
    int width, height, x_scale, y_scale, column, row;
};

TEST(KalorixLayout, LayoutFactorsAndContinuePrompt) {
    for (const PromptCase c : {PromptCase{1024, 768, 3, 4, 73, 31}, PromptCase{1280, 1024, 4, 5, 97, 38}}) {
        // Start-up, defaults, "Wahl nach Menue"; the main loop then waits at the prompt.
        KalorixRun run(std::string(kalorix_test::start_up) + kalorix_test::default_input + "snapshot prompt\nkey\n",
                       c.width, c.height);
        run.program.run();
        EXPECT_EQ(run.program.x_scale, c.x_scale);
        EXPECT_EQ(run.program.y_scale, c.y_scale);
        bool found = false;
        for (const std::string& line : run.records("print"))
            if (line.find("Weiter ?  <RETURN>") != std::string::npos &&
                line.find("\"col\":" + std::to_string(c.column) + ",\"row\":" + std::to_string(c.row)) !=
                    std::string::npos)
                found = true;
        EXPECT_TRUE(found) << c.width << "x" << c.height;
    }
}

// What a menu selection did, as far as a test can see it.
struct Effect {
    int message_boxes = 0;
    int inputs = 0;
    bool quit = false;
    std::string first_message;
};

Effect select(int index, const std::function<void(kalorix::Kalorix&)>& prepare = {}) {
    KalorixRun run("");  // used up at once: boxes answered with defaults, inputs cancelled
    run.program.build_menu(kalorix::Kalorix::menu_list());
    if (prepare) prepare(run.program);
    const auto messages_before = run.records("message").size();
    run.program.Win_0_MenuEvent(index);
    Effect effect;
    const auto messages = run.records("message");
    effect.message_boxes = static_cast<int>(messages.size() - messages_before);
    if (effect.message_boxes > 0) effect.first_message = messages[messages_before];
    effect.inputs = static_cast<int>(run.records("input").size());
    effect.quit = run.program.quit_marker == "*";
    return effect;
}

TEST(KalorixMenu, EveryPositionDispatchesToItsAction) {
    struct Row {
        int index;
        int boxes;
        const char* first_title;  // start of the first box's text
    };
    const Row help_rows[] = {
        {3, 5, "  Zwei Räume A und B"},
        {4, 1, "Programmautor:"},
        {14, 5, "  Zwei Räume A und B"},
        {15, 1, "  ENTROPIE "},
        {16, 4, "  TEMPERATUR|"},
        {17, 1, "  TEMPERATUR (allgemein 3)"},
        {18, 1, "  INNERE ENERGIE "},
        {19, 1, "  (HELMHOLTZSCHE) FREIE ENERGIE"},
        {20, 1, "  Thermisches Gleichgewicht "},
    };
    for (const Row& row : help_rows) {
        const Effect effect = select(row.index);
        EXPECT_EQ(effect.message_boxes, row.boxes) << "position " << row.index;
        EXPECT_NE(effect.first_message.find(std::string("\"text\":\"") + row.first_title), std::string::npos)
            << "position " << row.index << ": " << effect.first_message;
    }

    // Titles, the separator, "&Weiter" and the empty entries do nothing.
    constexpr int capacity = kalorix::Kalorix::menu_capacity;
    for (int index : {0, 2, 5, 6, 11, 12, 13, 21, 22, 23, 50, capacity - 1, -1, capacity}) {
        const Effect effect = select(index);
        EXPECT_EQ(effect.message_boxes, 0) << "position " << index;
        EXPECT_EQ(effect.inputs, 0) << "position " << index;
        EXPECT_FALSE(effect.quit) << "position " << index;
    }

    EXPECT_TRUE(select(1).quit) << "&Quit";
    const Effect input = select(7);
    EXPECT_EQ(input.inputs, 1) << "&Neue Eingabe asks, the cancelled box ends the program";
    EXPECT_TRUE(input.quit);
}

TEST(KalorixMenu, AnalysesAndClearScreen) {
    // Without excitations in A only the experiment is possible.
    Effect theory = select(8, [](kalorix::Kalorix& k) { k.N_A = 0; });
    EXPECT_EQ(theory.message_boxes, 1);
    EXPECT_NE(theory.first_message.find("Nur experimentelle Untersuchung !"), std::string::npos);

    KalorixRun run("");
    run.program.build_menu(kalorix::Kalorix::menu_list());
    run.program.Nmax_A = 400;
    run.program.Nmax_B = 1200;
    run.program.n = run.program.N_A = 150;
    run.program.excitation_energy = 2.0;
    run.program.entropy_scale = 0.4;
    run.program.x_scale = 3;
    run.program.y_scale = 4;
    run.program.graph_width = 319 * 3;
    run.program.choice = 3;
    run.program.Win_0_MenuEvent(8);
    EXPECT_EQ(run.program.transferred_at_max, 113) << "the theoretical analysis ran";
    EXPECT_EQ(run.program.choice, 3) << "a menu-started analysis leaves the choice";
    run.program.Win_0_MenuEvent(10);
    EXPECT_EQ(run.runtime.surface().text_grid().to_text(), "") << "Bildschirm löschen";
}

TEST(KalorixMainLoop, QuitFromTheMenuEndsWithoutAPrompt) {
    KalorixRun run(std::string(kalorix_test::start_up) + kalorix_test::default_input + "menu DESK / &Quit\n");
    run.program.run();
    EXPECT_EQ(run.program.quit_marker, "*");
    EXPECT_TRUE(run.runtime.final_screen().has_value()) << "the end-of-program sequence ran";
    EXPECT_EQ(run.runtime.next_unused_item(), nullptr);
    int prompts = 0;
    for (const std::string& line : run.records("print")) prompts += line.find("Weiter ?") != std::string::npos;
    EXPECT_EQ(prompts, 1) << "only the title screen's prompt";
}

TEST(KalorixMainLoop, ChooseFromMenuShowsThePromptEveryPass) {
    KalorixRun run(std::string(kalorix_test::start_up) + kalorix_test::default_input + "key\nkey\nkey\n" +
                   "menu DESK / &Quit\n");
    run.program.run();
    EXPECT_EQ(run.program.choice, 3);
    int prompts = 0;
    for (const std::string& line : run.records("print")) prompts += line.find("Weiter ?") != std::string::npos;
    EXPECT_EQ(prompts, 1 + 3) << "title, then one prompt per pass until Quit is seen";
}

TEST(KalorixMainLoop, EmptyFirstAnswerEndsAtOnce) {
    KalorixRun run(std::string(kalorix_test::start_up) + "cancel\n");
    run.program.run();
    EXPECT_EQ(run.program.quit_marker, "*");
    EXPECT_EQ(run.records("input").size(), 1u) << "no further prompt";
    EXPECT_EQ(run.records("message").size(), 6u) << "quit hint and introduction, no closing question";
    EXPECT_EQ(run.runtime.next_unused_item(), nullptr);
}

TEST(KalorixMainLoop, ClosingTheWindowEndsEveryWait) {
    const std::string waits[] = {
        "close\n",                                                                      // the title screen's prompt
        std::string(kalorix_test::start_up) + kalorix_test::default_input + "close\n",  // main loop prompt
        std::string(kalorix_test::start_up) +                                           // the wait after a trial
            "answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0.4\nanswer 2.0\nbutton 1\nkey\nclose\n",
    };
    for (const std::string& script : waits) {
        KalorixRun run(script);
        run.program.run();  // returns: the window's close unwinds every loop
        EXPECT_TRUE(run.runtime.window_closed()) << script;
        EXPECT_TRUE(run.runtime.final_screen().has_value()) << script;
    }
}

}  // namespace

namespace {

// A menu selection made while a prompt waits runs after the key; meanwhile
// the status line names it, and afterwards shows what it showed before.
TEST(KalorixMainLoop, QueuedSelectionIsNamedInTheStatusLine) {
    KalorixRun run("menu DESK / &Quit\npasses 10\nkey\n");
    run.program.run();
    EXPECT_EQ(run.program.quit_marker, "*");
    const auto status = run.records("status");
    ASSERT_EQ(status.size(), 2u);
    EXPECT_NE(status[0].find("Gewählt: Quit - wird nach <RETURN> ausgeführt"), std::string::npos) << status[0];
    EXPECT_NE(status[1].find("\"text\":\"\""), std::string::npos) << status[1];
}

}  // namespace
