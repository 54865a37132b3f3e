#include "common/scripted/scripted_runtime.h"
#include "common/screens/program.h"
#include "common/scripted/script.h"
#include "common/scripted/transcript.h"
#include "tools/scenario_run/desktop_scenario.h"
#include "tools/scenario_run/watchdog.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using rt::ScriptItemKind;

// --- helpers -------------------------------------------------------------------

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh directory per test, removed afterwards.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("scripted_runtime_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::vector<QJsonObject> json_lines(const std::string& text) {
    std::vector<QJsonObject> objects;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
        EXPECT_TRUE(doc.isObject()) << line;
        objects.push_back(doc.object());
    }
    return objects;
}

std::vector<std::string> kinds(const std::vector<QJsonObject>& records) {
    std::vector<std::string> out;
    for (const QJsonObject& r : records) out.push_back(r["kind"].toString().toStdString());
    return out;
}

const std::vector<std::string> tiny_menu_list = {
    "DESK |", "&Quit", "-----", "*", "", "AUSGABE |", "&Zeichnen", "&Frage", "*", "", "ende",
};

// The smallest program with the programs' shape: title, window, menu bar, a
// main loop on process_events that ends on "&Quit". What main() does is
// given per test.
class TinyProgram : public common::Program {
public:
    using Body = std::function<void(TinyProgram&)>;
    TinyProgram(rt::Runtime& runtime, Body body) : Program(runtime), body_(std::move(body)) {}

    void main() override { body_(*this); }
    void Win_0_MenuEvent(int index) override {
        const std::string entry = menu_entries[index];
        selections.push_back(entry);
        if (entry == "&Quit") quit_marker = "*";
        if (entry == "&Zeichnen") {
            runtime_.locate(2, 3);
            runtime_.print("gezeichnet");
            // As an analysis waits: menu selections run inside.
            while (wait_after_drawing && quit_marker != "*" && runtime_.key_query().empty()) runtime_.process_events();
        }
        if (entry == "&Frage") runtime_.message_box(1, "Noch einmal?", 9, "Ja|Nein");
    }

    void start() {
        runtime_.set_title(" TEST ");
        runtime_.open_window();
        build_menu(tiny_menu_list);
    }
    void main_loop() {
        while (quit_marker != "*") runtime_.process_events();
    }
    void continue_prompt() { wait_continue(23); }

    std::vector<std::string> selections;
    bool wait_after_drawing = false;

protected:
    common::TitleScreen title_screen() const override { return {}; }
    void continue_prompt_cell(int, double& column, double& row) const override { column = row = 0; }
    rt::Colour background() const override { return 0xEEA833; }

private:
    Body body_;
};

rt::ProgramFactory tiny(TinyProgram::Body body) {
    return [body](rt::Runtime& runtime) { return std::make_unique<TinyProgram>(runtime, body); };
}

// A runtime on a parsed script with the tiny program's menu installed, for
// tests that play the program's part by hand.
struct Harness {
    explicit Harness(const std::string& script) {
        runtime = std::make_unique<rt::ScriptedRuntime>(rt::parse_script(script));
        program = std::make_unique<TinyProgram>(*runtime, [](TinyProgram&) {});
        runtime->set_menu_handler([this](int index) { program->Win_0_MenuEvent(index); });
        program->start();
    }
    std::unique_ptr<rt::ScriptedRuntime> runtime;
    std::unique_ptr<TinyProgram> program;
};

// --- script parsing --------------------------------------------------------------

TEST(ScriptParse, EveryItemWithItsFields) {
    const auto items = rt::parse_script(
        "# a comment\n"
        "\n"
        "answer 12 # not a comment\n"
        "answer\n"
        "cancel\n"
        "  button 2\n"
        "key\n"
        "key Escape\n"
        "key x\n"
        "key ä\n"
        "mouse left down\n"
        "mouse right up\n"
        "menu AUSGABE / &theoretische Analyse\n"
        "passes 40\r\n"
        "snapshot theory\n"
        "close\n");
    ASSERT_EQ(items.size(), 14u);
    EXPECT_EQ(items[0].kind, ScriptItemKind::answer);
    EXPECT_EQ(items[0].text, "12 # not a comment");
    EXPECT_EQ(items[0].line, 3);
    EXPECT_EQ(items[1].text, "");
    EXPECT_EQ(items[2].kind, ScriptItemKind::cancel);
    EXPECT_EQ(items[3].kind, ScriptItemKind::button);
    EXPECT_EQ(items[3].number, 2);
    EXPECT_EQ(items[4].text, "\r");
    EXPECT_EQ(items[5].text, "\x1b");
    EXPECT_EQ(items[6].text, "x");
    EXPECT_EQ(items[7].text, "ä");
    EXPECT_EQ(items[8].mouse_button, rt::mouse_left);
    EXPECT_TRUE(items[8].mouse_down);
    EXPECT_EQ(items[9].mouse_button, rt::mouse_right);
    EXPECT_FALSE(items[9].mouse_down);
    EXPECT_EQ(items[10].menu_title, "AUSGABE");
    EXPECT_EQ(items[10].menu_entry, "&theoretische Analyse");
    EXPECT_EQ(items[11].kind, ScriptItemKind::passes);
    EXPECT_EQ(items[11].number, 40);
    EXPECT_EQ(items[12].text, "theory");
    EXPECT_EQ(items[13].kind, ScriptItemKind::close);
    EXPECT_EQ(items[13].line, 16);

    EXPECT_EQ(rt::describe(items[4]), "key Return");
    EXPECT_EQ(rt::describe(items[10]), "menu AUSGABE / &theoretische Analyse");
}

// Editors on Windows start UTF-8 files with a byte-order mark.
TEST(ScriptParse, ByteOrderMarkBeforeTheFirstLineIsSkipped) {
    const auto items = rt::parse_script("\xEF\xBB\xBFkey\nanswer \xEF\xBB\xBF\n");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "\r");
    EXPECT_EQ(items[1].text, "\xEF\xBB\xBF") << "only at the very start";
}

TEST(ScriptParse, TrailingCommentsBehindItemsOtherThanAnswers) {
    const auto items = rt::parse_script(
        "key   # the title screen\n"
        "button 1\t# the quit hint\n"
        "passes 10 #\n"
        "menu DESK / &Quit # done\n"
        "key #\n");
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].text, "\r");
    EXPECT_EQ(items[1].number, 1);
    EXPECT_EQ(items[2].number, 10);
    EXPECT_EQ(items[3].menu_entry, "&Quit");
    EXPECT_EQ(items[4].text, "\r") << "a lone # behind a blank is a comment";
    EXPECT_THROW(rt::parse_script("button 1#2\n"), rt::ScriptError) << "no blank before #: part of the item";
}

TEST(ScriptParse, ErrorsNameTheLine) {
    struct Case {
        const char* name;
        std::string script;
        int line;
    };
    const std::vector<Case> cases = {
        {"unknown item", "key\n# c\nklick\n", 3},
        {"button without number", "button\n", 1},
        {"button zero", "\nbutton 0\n", 2},
        {"button not a number", "button 2x\n", 1},
        {"negative passes", "passes -1\n", 1},
        {"unknown key name", "key Enter\n", 1},
        {"unknown mouse button", "mouse wheel down\n", 1},
        {"mouse without action", "mouse left\n", 1},
        {"menu without slash", "menu DESK &Quit\n", 1},
        {"menu without entry", "menu DESK / \n", 1},
        {"cancel with argument", "cancel now\n", 1},
        {"snapshot without name", "snapshot\n", 1},
        {"snapshot with a path", "snapshot ../x\n", 1},
        {"snapshot called final", "snapshot final\n", 1},
        {"snapshot twice", "snapshot a\nkey\nsnapshot a\n", 3},
        {"line too long", "key\nanswer " + std::string(rt::longest_script_line, 'x') + "\n", 2},
    };
    for (const Case& c : cases) {
        try {
            rt::parse_script(c.script);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const rt::ScriptError& e) {
            EXPECT_EQ(e.line, c.line) << c.name;
            EXPECT_EQ(std::string(e.what()).rfind("script line " + std::to_string(c.line) + ": ", 0), 0u)
                << c.name << ": " << e.what();
        }
    }
}

// --- transcript ------------------------------------------------------------------

TEST(Transcript, StringsStayValidJson) {
    const std::string texts[] = {"Größe \"A\"", "a\\b", "Zeile 1\nZeile 2\t|", std::string("\x01\x7f", 2),
                                 "\xff kaputt \xc3"};
    for (const std::string& text : texts) {
        const std::string json = "[" + rt::json_string(text) + "]";
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << json;
        // Valid UTF-8 comes back unchanged; broken bytes come back as Latin-1.
        const QString back = doc.array()[0].toString();
        if (text[0] == '\xff')
            EXPECT_EQ(back, QString::fromLatin1("\xff kaputt \xc3"));
        else
            EXPECT_EQ(back.toStdString(), text);
    }
    // Qt's reader lets raw control characters through; strict readers do not.
    EXPECT_EQ(rt::json_string(std::string("\x01\x7f\n", 3)), "\"\\u0001\\u007f\\n\"");
    EXPECT_EQ(rt::colour_hex(0xEEA833), "#33a8ee");  // red 51 in the low byte
    EXPECT_EQ(rt::colour_hex(0x0000FF), "#ff0000");
}

TEST(Transcript, RecordsOfEveryKindAndNoPrintsWhenAsked) {
    for (bool prints : {true, false}) {
        rt::Transcript t(nullptr, prints);
        t.title(" ENTROPIE  ");
        t.menu({"DESK |", "&Quit", ""});
        t.printed(3, 4, 33, 96, "N_A =", 0xFFFFFF);
        t.graphics_text(10, 20, "???", 0x0000FF);
        t.message(1, "Beenden nur mit QUIT!", 1, {" OK "}, 1);
        t.input(true, "Nmax_A", "Hinweis", "400", "", true);
        t.sound("ding.wav", true);
        t.sound("fehlt.wav", false);
        t.cleared();
        t.end();
        const auto records = json_lines(t.pending());
        std::vector<std::string> expected = {"title", "menu",  "print", "gtext", "message",
                                             "input", "sound", "sound", "clear", "end"};
        if (!prints) expected.erase(expected.begin() + 2);
        EXPECT_EQ(kinds(records), expected);
        if (!prints) continue;
        EXPECT_EQ(records[1]["entries"].toArray().size(), 3);
        EXPECT_EQ(records[2]["col"].toInt(), 3);
        EXPECT_EQ(records[2]["y"].toInt(), 96);
        EXPECT_EQ(records[2]["colour"].toString(), "#ffffff");
        EXPECT_EQ(records[4]["buttons"].toArray()[0].toString(), " OK ");
        EXPECT_TRUE(records[5]["dialog"].toBool());
        EXPECT_TRUE(records[5]["cancelled"].toBool());
        EXPECT_EQ(records[5]["default"].toString(), "400");
        EXPECT_FALSE(records[6].contains("missing"));  // the golden transcripts stay as they were
        EXPECT_TRUE(records[7]["missing"].toBool());
    }
}

// --- the scripted user, driven by hand ---------------------------------------------

TEST(ScriptedRuntime, MenuSelectionsArriveInsideProcessEventsOnly) {
    Harness h("menu AUSGABE / &Zeichnen\nmenu AUSGABE / &Frage\nbutton 2\n");
    h.runtime->key_query();  // the first selection becomes due here, but only queued
    h.runtime->mouse_state();
    EXPECT_TRUE(h.program->selections.empty());
    EXPECT_EQ(h.runtime->queued_selection(), "&Zeichnen");  // the oldest one
    h.runtime->process_events();  // both queued ones, in order; "&Frage" answers its box
    EXPECT_EQ(h.program->selections, (std::vector<std::string>{"&Zeichnen", "&Frage"}));
    EXPECT_EQ(h.runtime->queued_selection(), "");
    EXPECT_TRUE(h.runtime->script_used_up());
}

TEST(ScriptedRuntime, PassesDelayTheNextItemByThatManyPasses) {
    Harness h("menu AUSGABE / &Zeichnen\npasses 3\nmenu AUSGABE / &Frage\nbutton 1\npasses 0\nkey x\n");
    std::vector<int> delivered_at;
    for (int pass = 1; pass <= 6; ++pass) {
        const std::size_t before = h.program->selections.size();
        h.runtime->process_events();
        if (h.program->selections.size() > before) delivered_at.push_back(pass);
    }
    // Pass 1: &Zeichnen; passes 2-4 go by; pass 5: &Frage.
    EXPECT_EQ(delivered_at, (std::vector<int>{1, 5}));
    // Pass 6 consumed `passes 0`, which holds nothing back: the key is due at once.
    EXPECT_EQ(h.runtime->key_query(), "x");
    EXPECT_EQ(h.runtime->event_passes(), 7);
}

TEST(ScriptedRuntime, KeysAndMouse) {
    Harness h("key\nkey Space\nmouse left down\nmouse right down\nmouse left up\n");
    h.runtime->process_events();  // a key waits for key_query
    h.runtime->mouse_state();
    EXPECT_EQ(h.runtime->key_query(), "\r");
    EXPECT_EQ(h.runtime->key_query(), " ");
    EXPECT_EQ(h.runtime->key_query(), "");  // the mouse item was due here
    EXPECT_EQ(h.runtime->mouse_state(), rt::mouse_left | rt::mouse_right);
    EXPECT_EQ(h.runtime->mouse_state(), rt::mouse_right);
    // Used up: the scripted user lets go of the mouse and presses Return.
    EXPECT_EQ(h.runtime->mouse_state(), rt::mouse_none);
    EXPECT_EQ(h.runtime->key_query(), "\r");
}

// An action that lets events through (an analysis, the statistics display)
// receives the next selection inside itself; thousands in a row would nest
// until the stack overflows. Beyond the limit a selection is ignored.
TEST(ScriptedRuntime, NestedMenuSelectionsStopAtTheDepthLimit) {
    std::string script;
    for (int i = 0; i < 3 * rt::Runtime::max_menu_depth; ++i) script += "menu AUSGABE / &Zeichnen\n";
    Harness h(script);
    const int drawing = rt::find_menu_entry(h.runtime->installed_menu(), "AUSGABE", "&Zeichnen");
    int depth = 0, deepest = 0, delivered = 0;
    h.runtime->set_menu_handler([&](int index) {
        delivered += index == drawing;
        deepest = std::max(deepest, ++depth);
        h.runtime->process_events();
        --depth;
    });
    while (!h.runtime->script_used_up()) h.runtime->process_events();
    EXPECT_EQ(deepest, rt::Runtime::max_menu_depth);
    // Each nest of 50 ends with one selection ignored; the next starts afresh.
    EXPECT_EQ(delivered, 3 * rt::Runtime::max_menu_depth - 2);
}

TEST(ScriptedRuntime, ContinuePromptEndsOnAnyMouseButton) {
    for (const char* button : {"left", "right", "middle"}) {
        SCOPED_TRACE(button);
        Harness h(std::string("mouse ") + button + " down\nkey z\n");
        h.program->continue_prompt();
        ASSERT_NE(h.runtime->next_unused_item(), nullptr);
        EXPECT_EQ(h.runtime->next_unused_item()->text, "z") << "the button ended the wait, not the key";
    }
}

TEST(ScriptedRuntime, DialogsTakeTheirAnswers) {
    Harness h("answer 400 # Atome\nanswer\ncancel\nbutton 2\n");
    std::string text = "100";
    h.runtime->input_dialog("Nmax_A", "", text);
    EXPECT_EQ(text, "400 # Atome");
    EXPECT_EQ(h.runtime->input_box("n", "5"), "");
    text = "7";
    h.runtime->input_dialog("N_A", "Hinweis", text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(h.runtime->message_box(19, "Was haben Sie vor?", 1, "A|B|C"), 2);
}

TEST(ScriptedRuntime, UsedUpScriptQuitsAndTakesDefaults) {
    Harness h("menu AUSGABE / &Zeichnen\n");
    h.runtime->process_events();
    // "&Quit" comes at the next pass, not with the last selection.
    EXPECT_EQ(h.program->selections, (std::vector<std::string>{"&Zeichnen"}));
    h.runtime->process_events();
    EXPECT_EQ(h.program->selections, (std::vector<std::string>{"&Zeichnen", "&Quit"}));
    h.runtime->process_events();
    EXPECT_EQ(h.program->selections.size(), 2u);  // once only

    EXPECT_EQ(h.runtime->message_box(1, "a", 2, "x|y|z"), 2);
    EXPECT_EQ(h.runtime->message_box(1, "b", 9, "x|y"), 2);  // beyond the buttons: the last
    EXPECT_EQ(h.runtime->input_box("n", "5"), "");
    std::string text = "3";
    h.runtime->input_dialog("N_A", "", text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(h.runtime->key_query(), "\r");
}

TEST(ScriptedRuntime, TrailingPassesGoByBeforeTheScriptIsUsedUp) {
    TempDir dir;
    Harness h("passes 3\nsnapshot after\n");
    h.runtime->set_snapshot_directory(dir.path());
    h.runtime->process_events();
    h.runtime->process_events();
    h.runtime->print("zwei");
    EXPECT_EQ(h.runtime->key_query(), "");  // the third pass, still no Return
    EXPECT_TRUE(h.runtime->script_used_up());
    EXPECT_EQ(read_file(dir.path() / "after.txt"), "zwei\n");
    EXPECT_TRUE(h.program->selections.empty());
    h.runtime->process_events();
    EXPECT_EQ(h.program->selections, (std::vector<std::string>{"&Quit"}));
}

TEST(ScriptedRuntime, CloseEndsEveryInteractiveService) {
    Harness h("menu AUSGABE / &Zeichnen\nclose\n");
    h.runtime->process_events();
    EXPECT_THROW(h.runtime->key_query(), rt::WindowClosed);
    EXPECT_TRUE(h.runtime->window_closed());
    EXPECT_THROW(h.runtime->process_events(), rt::WindowClosed);
    EXPECT_THROW(h.runtime->mouse_state(), rt::WindowClosed);
    EXPECT_THROW(h.runtime->message_box(1, "x", 1, "OK"), rt::WindowClosed);
    EXPECT_THROW(h.runtime->input_box("x", ""), rt::WindowClosed);
    EXPECT_EQ(h.program->selections.size(), 1u);  // nothing more was delivered
}

TEST(ScriptedRuntime, MismatchesNameBothSides) {
    struct Case {
        const char* name;
        std::string script;
        std::function<void(rt::ScriptedRuntime&)> program;
        std::vector<std::string> message_parts;
    };
    const std::vector<Case> cases = {
        {"message box meets answer",
         "key\nanswer 5\n",
         [](rt::ScriptedRuntime& r) {
             r.key_query();
             r.message_box(1, "Beenden nur mit QUIT!", 1, " OK ");
         },
         {"script line 2: ", "expected button", "message box \"Beenden nur mit QUIT!\"", "found answer \"5\""}},
        {"input box meets key",
         "key Escape\n",
         [](rt::ScriptedRuntime& r) { r.input_box("Nmax_A", "400"); },
         {"script line 1: ", "expected answer or cancel", "input box \"Nmax_A\"", "found key Escape"}},
        {"key query meets button",
         "\nbutton 1\n",
         [](rt::ScriptedRuntime& r) { r.key_query(); },
         {"script line 2: ", "button 1", "key query"}},
        {"dialog during passes",
         "passes 3\nbutton 1\n",
         [](rt::ScriptedRuntime& r) {
             r.process_events();
             r.message_box(1, "x", 1, "OK");
         },
         {"script line 1: ", "passes", "2 still to go"}},
        {"button beyond the box",
         "button 3\n",
         [](rt::ScriptedRuntime& r) { r.message_box(1, "Frage", 1, "Ja|Nein"); },
         {"script line 1: ", "button 3", "2 buttons"}},
        {"unknown menu entry",
         "menu AUSGABE / &Quit\n",
         [](rt::ScriptedRuntime& r) { r.process_events(); },
         {"script line 1: ", "menu AUSGABE / &Quit", "not in the installed menu"}},
    };
    for (const Case& c : cases) {
        Harness h(c.script);
        try {
            c.program(*h.runtime);
            ADD_FAILURE() << c.name << ": no mismatch reported";
        } catch (const rt::ScriptFailure& failure) {
            const std::string message = failure.what();
            for (const std::string& part : c.message_parts)
                EXPECT_NE(message.find(part), std::string::npos) << c.name << ": " << message;
        }
    }
}

TEST(ScriptedRuntime, SnapshotsShowTheScreenBeforeTheNextItem) {
    TempDir dir;
    Harness h("snapshot waiting\nkey\nsnapshot last\n");
    h.runtime->set_snapshot_directory(dir.path());
    h.runtime->locate(0, 1);
    h.runtime->print("Weiter ?");
    h.runtime->process_events();
    h.runtime->mouse_state();
    EXPECT_FALSE(fs::exists(dir.path() / "waiting.txt"));  // the key is not consumed yet
    EXPECT_EQ(h.runtime->key_query(), "\r");
    // The trailing snapshot is taken as soon as the script is used up.
    h.runtime->clear_screen();
    h.runtime->print("danach");

    EXPECT_EQ(read_file(dir.path() / "waiting.txt"), "\nWeiter ?\n");
    EXPECT_EQ(read_file(dir.path() / "last.txt"), "\nWeiter ?\n");
    const QImage png(QString::fromStdString((dir.path() / "waiting.png").string()));
    EXPECT_EQ(png.size(), QSize(1024, 768));
}

TEST(ScriptedRuntime, TimeAndRandomAreDeterministic) {
    Harness a("");
    Harness b("");
    a.runtime->seed_random(42);
    b.runtime->seed_random(42);
    double last = a.runtime->time();
    for (int i = 0; i < 100; ++i) {
        const double now = a.runtime->time();
        EXPECT_GT(now, last);
        last = now;
        EXPECT_EQ(a.runtime->random(), b.runtime->random());
    }
    EXPECT_DOUBLE_EQ(b.runtime->time(), 0.001);
}

// --- the runner ----------------------------------------------------------------------

struct RunResult {
    int code;
    std::string err;
    fs::path out;
};

RunResult run(const fs::path& dir, const std::string& script, TinyProgram::Body body,
              std::function<void(rt::ScenarioOptions&)> adjust = {}) {
    fs::create_directories(dir);
    std::ofstream(dir / "script.txt") << script;
    rt::ScenarioOptions options;
    options.program = "tiny";
    options.script = dir / "script.txt";
    options.outdir = dir / "out";
    options.timeout_seconds = 30;
    if (adjust) adjust(options);
    std::ostringstream err;
    const int code = rt::run_scenario(options, tiny(std::move(body)), err);
    return {code, err.str(), options.outdir};
}

void standard_program(TinyProgram& p) {
    p.start();
    p.main_loop();
}

TEST(ScenarioRun, EndsWithQuitAndWritesTheOutputs) {
    TempDir dir;
    const RunResult r =
        run(dir.path(), "menu AUSGABE / &Zeichnen\nmenu AUSGABE / &Frage\nbutton 2\n", standard_program);
    EXPECT_EQ(r.code, rt::scenario_ended) << r.err;
    EXPECT_EQ(read_file(r.out / "final.txt"), "\n\n\n  gezeichnet\n");
    EXPECT_EQ(QImage(QString::fromStdString((r.out / "final.png").string())).size(), QSize(1024, 768));

    const auto records = json_lines(read_file(r.out / "transcript.jsonl"));
    EXPECT_EQ(kinds(records), (std::vector<std::string>{"title", "menu", "clear", "print", "message", "end"}));
    EXPECT_EQ(records[0]["text"].toString(), " TEST ");
    EXPECT_EQ(records[1]["entries"].toArray().size(), common::Program::menu_capacity);
    EXPECT_EQ(records[3]["text"].toString(), "gezeichnet");
    EXPECT_EQ(records[4]["answer"].toInt(), 2);
    EXPECT_EQ(records[4]["default"].toInt(), 9);
}

TEST(ScenarioRun, NoPrintsAndSize) {
    TempDir dir;
    int seen_width = 0;
    const RunResult r = run(
        dir.path(), "menu AUSGABE / &Zeichnen\n",
        [&](TinyProgram& p) {
            seen_width = p.runtime().screen_width();
            standard_program(p);
        },
        [](rt::ScenarioOptions& o) {
            o.record_prints = false;
            o.width = 1280;
            o.height = 1024;
        });
    EXPECT_EQ(r.code, rt::scenario_ended) << r.err;
    EXPECT_EQ(seen_width, 1280);
    EXPECT_EQ(QImage(QString::fromStdString((r.out / "final.png").string())).size(), QSize(1280, 1024));
    EXPECT_EQ(read_file(r.out / "transcript.jsonl").find("\"print\""), std::string::npos);
}

TEST(ScenarioRun, CloseEndsTheProgram) {
    TempDir dir;
    const RunResult r = run(dir.path(), "passes 5\nclose\n", standard_program);
    EXPECT_EQ(r.code, rt::scenario_ended) << r.err;
    EXPECT_EQ(kinds(json_lines(read_file(r.out / "transcript.jsonl"))).back(), "end");
}

TEST(ScenarioRun, FinalScreenIsTheOneAtEnd) {
    TempDir dir;
    const RunResult r = run(dir.path(), "", [](TinyProgram& p) {
        p.runtime().print("vorher");
        p.runtime().end();
        p.runtime().clear_screen();
        p.runtime().print("nachher");
    });
    EXPECT_EQ(r.code, rt::scenario_ended) << r.err;
    EXPECT_EQ(read_file(r.out / "final.txt"), "vorher\n");
    // The program's end() and the one after main(): one record.
    EXPECT_EQ(kinds(json_lines(read_file(r.out / "transcript.jsonl"))),
              (std::vector<std::string>{"print", "end", "clear", "print"}));
}

TEST(ScenarioRun, ScriptErrorsAndMismatchesExitWithTwo) {
    struct Case {
        const char* name;
        std::string script;
        std::string message;
        bool outputs;
    };
    const std::vector<Case> cases = {
        {"syntax", "menu AUSGABE / &Zeichnen\nbutten 1\n", "script line 2: unknown item", false},
        {"mismatch", "menu AUSGABE / &Frage\nanswer 1\n", "script line 2: expected button", true},
        {"left over", "menu DESK / &Quit\nkey\n", "script line 2: key Return was not used", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const RunResult r = run(dir.path(), c.script, standard_program);
        EXPECT_EQ(r.code, rt::scenario_script_error) << c.name;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
        EXPECT_EQ(fs::exists(r.out / "final.png"), c.outputs) << c.name;
        EXPECT_EQ(fs::exists(r.out / "transcript.jsonl"), c.outputs) << c.name;
    }
}

// Root may write anywhere, so the outputs are blocked by what stands in
// their way: a file where the folder should be, folders where the files
// should be, a device that is always full.
TEST(ScenarioRun, ScriptsThatCannotBeReadExitWithTwo) {
    struct Case {
        const char* name;
        std::function<fs::path(const fs::path& dir)> script;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"a directory", [](const fs::path& dir) { return dir; }, "is a directory"},
        {"missing", [](const fs::path& dir) { return dir / "none.script"; }, "cannot read the script"},
        // Read before the watchdog runs: it must end by itself.
        {"a device without line breaks", [](const fs::path&) { return fs::path("/dev/zero"); }, "line longer than"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const RunResult r =
            run(dir.path(), "", standard_program, [&](rt::ScenarioOptions& o) { o.script = c.script(dir.path()); });
        EXPECT_EQ(r.code, rt::scenario_script_error);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(r.out / "final.png"));
    }
}

// A name that is not UTF-8 names both files alike, byte for byte.
TEST(ScenarioRun, SnapshotFilesShareTheirNameWhateverItsBytes) {
    TempDir dir;
    const std::string name = "bild\xE4\xFF";
    const RunResult r = run(dir.path(), "snapshot " + name + "\nmenu AUSGABE / &Zeichnen\n", standard_program);
    EXPECT_EQ(r.code, rt::scenario_ended) << r.err;
    EXPECT_TRUE(fs::exists(r.out / (name + ".png")));
    EXPECT_TRUE(fs::exists(r.out / (name + ".txt")));
    EXPECT_EQ(QImage(QString::fromStdString((r.out / "final.png").string())).size(), QSize(1024, 768));
    std::ifstream png(r.out / (name + ".png"), std::ios::binary);
    char signature[8] = {};
    png.read(signature, sizeof signature);
    EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");
}

// 20 MB of "passes 0" took 450 MB when the whole script was held parsed:
// it is read as the run goes on. The sanitizers' own bookkeeping would hide
// the difference, so this runs only in plain builds.
TEST(ScenarioRun, ALongScriptIsReadAsItIsConsumed) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "memory use is the sanitizer's";
#endif
    TempDir dir;
    const fs::path script = dir.path() / "long.script";
    {
        std::ofstream out(script, std::ios::binary);
        out << "key\nbutton 1\nbutton 1\nanswer 100\n";
        const std::string line = "passes 0\n";
        for (std::size_t written = 0; written < (std::size_t{20} << 20); written += line.size()) out << line;
    }
    const std::string out_dir = (dir.path() / "out").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(SCENARIO_RUN_PATH, SCENARIO_RUN_PATH, "diffundo", script.c_str(), out_dir.c_str(), "--no-prints",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), rt::scenario_ended);
    EXPECT_LT(usage.ru_maxrss, 200 * 1024) << "peak kilobytes";
}

TEST(ScenarioRun, OutputsThatCannotBeWrittenExitWithOne) {
    struct Case {
        const char* name;
        std::string script;
        std::function<void(const fs::path& dir, rt::ScenarioOptions&)> block;
    };
    const std::vector<Case> cases = {
        {"folder cannot be made", "",
         [](const fs::path& dir, rt::ScenarioOptions& o) {
             std::ofstream(dir / "file") << "x";
             o.outdir = dir / "file" / "out";
         }},
        {"transcript cannot be opened", "",
         [](const fs::path&, rt::ScenarioOptions& o) { fs::create_directories(o.outdir / "transcript.jsonl"); }},
        {"transcript cannot be written", "menu AUSGABE / &Zeichnen\n",
         [](const fs::path&, rt::ScenarioOptions& o) {
             fs::create_directories(o.outdir);
             fs::create_symlink("/dev/full", o.outdir / "transcript.jsonl");
         }},
        {"snapshot cannot be written", "snapshot shot\nmenu AUSGABE / &Zeichnen\n",
         [](const fs::path&, rt::ScenarioOptions& o) { fs::create_directories(o.outdir / "shot.png"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const RunResult r =
            run(dir.path(), c.script, standard_program, [&](rt::ScenarioOptions& o) { c.block(dir.path(), o); });
        EXPECT_EQ(r.code, rt::scenario_failed) << r.err;
        EXPECT_NE(r.err.find("cannot"), std::string::npos) << r.err;
    }
}

// The scripted user's "&Quit" may come while too many selections run and be
// ignored: it is chosen again until it has run.
TEST(ScenarioRun, QuitEndsTheRunAfterSelectionsNestedTooDeep) {
    TempDir dir;
    std::string script;
    const int drawings = 3 * rt::Runtime::max_menu_depth;
    for (int i = 0; i < drawings; ++i) script += "menu AUSGABE / &Zeichnen\n";
    std::vector<std::string> selections;
    const RunResult r = run(
        dir.path(), script,
        [&](TinyProgram& p) {
            p.wait_after_drawing = true;
            standard_program(p);
            selections = p.selections;
        },
        [](rt::ScenarioOptions& o) { o.timeout_seconds = 10; });
    EXPECT_EQ(r.code, rt::scenario_ended) << r.err;
    EXPECT_LT(std::count(selections.begin(), selections.end(), "&Zeichnen"), drawings) << "some were ignored";
    EXPECT_EQ(selections.back(), "&Quit");
}

TEST(ScenarioRun, AProgramThatIgnoresQuitTimesOutWithThree) {
    TempDir dir;
    const auto started = std::chrono::steady_clock::now();
    const RunResult r = run(
        dir.path(), "menu AUSGABE / &Zeichnen\n",
        [](TinyProgram& p) {
            p.start();
            for (;;) p.runtime().process_events();
        },
        [](rt::ScenarioOptions& o) { o.timeout_seconds = 1; });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(r.code, rt::scenario_hang);
    EXPECT_NE(r.err.find("did not end within 1 s"), std::string::npos) << r.err;
    EXPECT_GE(seconds, 1.0);
    EXPECT_LT(seconds, 10.0);
    // Written from the main thread after it unwound: the drawing is there.
    EXPECT_EQ(read_file(r.out / "final.txt"), "\n\n\n  gezeichnet\n");
}

TEST(ScenarioRunDeathTest, AProgramThatCallsNoServiceIsEndedWithThree) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child is ended by _Exit and cannot clean up: one fixed directory,
    // removed here afterwards.
    const fs::path dir = fs::temp_directory_path() / "scripted_runtime_death_test";
    EXPECT_EXIT(run(
                    dir, "",
                    [](TinyProgram&) {
                        for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    },
                    [](rt::ScenarioOptions& o) {
                        o.timeout_seconds = 0.5;
                        o.hard_stop_grace_seconds = 0.5;
                    }),
                ::testing::ExitedWithCode(rt::scenario_hang), "did not end within 0.5 s");
    fs::remove_all(dir);
}

// Limits beyond what the clock can count wait for a day rather than not at all.
TEST(ScenarioRun, AWatchdogSetFarAheadLetsTheRunGoOn) {
    rt::ScriptedRuntime runtime(rt::parse_script(""));
    for (const double seconds : {1e10, 1e300, HUGE_VAL, double{NAN}}) {
        const rt::Watchdog watchdog(seconds, 1, runtime);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_NO_THROW(runtime.time()) << seconds;
    }
}

TEST(ScenarioRun, CommandLine) {
    struct Case {
        std::vector<const char*> args;
        bool valid;
    };
    const std::vector<Case> cases = {
        {{"kalorix", "s.txt", "out"}, true},
        {{"diffundo", "s.txt", "out", "--seed", "7", "--size", "1280x1024", "--timeout", "5", "--no-prints"}, true},
        {{"kalorix", "s.txt"}, false},
        {{"kalorix", "s.txt", "out", "extra"}, false},
        {{"kalorix", "s.txt", "out", "--seed"}, false},
        {{"kalorix", "s.txt", "out", "--seed", "-1"}, false},
        {{"kalorix", "s.txt", "out", "--size", "1280"}, false},
        {{"kalorix", "s.txt", "out", "--size", "0x768"}, false},
        {{"kalorix", "s.txt", "out", "--timeout", "-2"}, false},
        {{"kalorix", "s.txt", "out", "--timeout", "86400"}, true},
        {{"kalorix", "s.txt", "out", "--timeout", "86401"}, false},
        {{"kalorix", "s.txt", "out", "--timeout", "1e300"}, false},
        {{"kalorix", "s.txt", "out", "--timeout", "inf"}, false},
        {{"kalorix", "s.txt", "out", "--timeout", "nan"}, false},
        {{"kalorix", "s.txt", "out", "--verbose"}, false},
        {{"kalorix", "s.txt", "out", "--program-dir"}, false},
        {{"kalorix", "s.txt", "out", "--program-dir", ""}, false},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"scenario-run"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        std::string error;
        const auto options = rt::parse_scenario_arguments(static_cast<int>(argv.size()), argv.data(), error);
        EXPECT_EQ(options.has_value(), c.valid) << c.args.size() << " arguments: " << error;
    }
    std::string error;
    const char* argv[] = {"scenario-run", "diffundo",  "s.txt", "out",         "--seed",        "7",         "--size",
                          "1280x1024",    "--timeout", "2.5",   "--no-prints", "--program-dir", "/opt/x/bin"};
    const auto options = rt::parse_scenario_arguments(13, argv, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->program, "diffundo");
    EXPECT_EQ(options->outdir, "out");
    EXPECT_EQ(options->seed, 7u);
    EXPECT_EQ(options->width, 1280);
    EXPECT_EQ(options->height, 1024);
    EXPECT_DOUBLE_EQ(options->timeout_seconds, 2.5);
    EXPECT_FALSE(options->record_prints);
    EXPECT_EQ(options->program_directory, "/opt/x/bin");
    // Defaults.
    const char* plain[] = {"scenario-run", "kalorix", "s.txt", "out"};
    const auto defaults = rt::parse_scenario_arguments(4, plain, error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->seed, 1u);
    EXPECT_EQ(defaults->width, 1024);
    EXPECT_DOUBLE_EQ(defaults->timeout_seconds, 120);
    EXPECT_TRUE(defaults->record_prints);
    EXPECT_TRUE(defaults->program_directory.empty());
}

}  // namespace
