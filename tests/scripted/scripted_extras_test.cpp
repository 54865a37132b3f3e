// The EXTRAS menu in headless runs: the entries run in whatever poll meets
// them, write into the output folder, and leave the program's run as it was.
#include "common/desktop_output/picture_output.h"
#include "common/desktop_output/qt_pixels.h"
#include "common/runtime/projector_picture.h"
#include "common/runtime/surface.h"
#include "common/screens/menu_list.h"
#include "common/scripted/script.h"
#include "common/scripted/scripted_runtime.h"
#include "common/scripted/transcript.h"
#include "diffundo/core/extras_help.h"
#include "diffundo/diffundo.h"
#include "disk_full.h"
#include "kalorix/core/extras_help.h"
#include "kalorix/kalorix.h"
#include "pdf_reading.h"
#include "tools/scenario_run/desktop_scenario.h"

#include <gtest/gtest.h>

#include <QImage>

#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using test_support::pdf_image;
using test_support::pdf_pages;
using test_support::rgb_bytes;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct TempDir {
    fs::path path = fs::temp_directory_path() /
                    ("scripted_extras_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    static inline int counter = 0;
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool has_kind(const std::string& line, const char* kind) {
    return line.find(std::string("{\"kind\":\"") + kind + "\"") == 0;
}

// --- a scripted user with a menu that has the EXTRAS --------------------------------

struct ExtrasHarness {
    rt::Transcript transcript{nullptr, true};
    rt::ScriptedRuntime runtime;
    std::vector<int> delivered;

    explicit ExtrasHarness(const std::string& script) : runtime(rt::parse_script(script)) {
        runtime.set_picture_formats(rt::qt_picture_formats());
        runtime.set_transcript(&transcript);
        runtime.set_menu_handler([this](int index) { delivered.push_back(index); });
        runtime.install_menu(common::menu_entries_from_list(
            common::joined({{"AUSGABE |", "&Zeichnen", "*", ""}, common::extras_menu(), {"ende"}}), 81));
        runtime.set_background_colour(rt::colours::background);
        runtime.clear_screen();
        runtime.set_colour(rt::colours::white);
        runtime.print("Entropie S");
    }
    std::vector<std::string> records(const char* kind) const {
        std::vector<std::string> found;
        for (const std::string& line : lines_of(transcript.pending()))
            if (has_kind(line, kind)) found.push_back(line);
        return found;
    }
};

TEST(ScriptedExtras, RunAtOnceInAnyPollWriteTheSurfaceAndNeverReachTheProgram) {
    TempDir dir;
    ExtrasHarness h(
        "menu EXTRAS / Bild &speichern ...\nmenu EXTRAS / Bild &drucken ...\nmenu EXTRAS / Bild &kopieren\n"
        "menu EXTRAS / &Vollbild\nkey x\nmenu EXTRAS / &Vollbild\nmenu AUSGABE / &Zeichnen\n");
    h.runtime.set_snapshot_directory(dir.path);
    h.runtime.set_picture_name("kalorix");
    h.runtime.show_status("Abstand zur Binomialverteilung: 0,0123");
    const QImage surface = rt::as_qimage(h.runtime.surface().image()).copy();

    // A waiting key poll meets all four and still gets its key in the same pass.
    EXPECT_EQ(h.runtime.key_query(), "x");
    EXPECT_EQ(h.runtime.event_passes(), 1);
    EXPECT_TRUE(h.runtime.full_screen());
    h.runtime.process_events();
    EXPECT_FALSE(h.runtime.full_screen());
    EXPECT_EQ(h.delivered, std::vector<int>{1}) << "only the program's own entry reaches it";

    const QImage saved(QString::fromStdString((dir.path / "kalorix-1.png").string()));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), surface);
    EXPECT_EQ(saved.text("Description"), "Abstand zur Binomialverteilung: 0,0123")
        << "the status line's figures go along";
    const std::string pdf = read_file(dir.path / "kalorix-1.pdf");
    EXPECT_EQ(pdf_pages(pdf), 1);
    EXPECT_EQ(pdf_image(pdf, 1024, 768), rgb_bytes(surface)) << "the page shows the surface, not a blank";

    EXPECT_EQ(h.records("saved"), std::vector<std::string>{"{\"kind\":\"saved\",\"file\":\"kalorix-1.png\"}"});
    EXPECT_EQ(h.records("printed"),
              std::vector<std::string>{"{\"kind\":\"printed\",\"file\":\"kalorix-1.pdf\",\"pages\":1}"});
    EXPECT_EQ(h.records("copied"), std::vector<std::string>{"{\"kind\":\"copied\",\"width\":1024,\"height\":768,"
                                                            "\"sha1\":\"" +
                                                            rt::picture_digest(surface) + "\"}"});
    EXPECT_EQ(h.records("fullscreen").size(), 2u);
}

// The entries that write a file, what a failed write says, and the file name.
struct FailedWrite {
    const char* entry;
    const char* headline;
    const char* file;
};
constexpr FailedWrite failed_writes[] = {
    {"Bild &speichern ...", "Das Bild wurde nicht gespeichert !", "bild-1.png"},
    {"Bild &drucken ...", "Das Bild wurde nicht gedruckt !", "bild-1.pdf"},
    {"Da&ten speichern ...", "Die Daten wurden nicht gespeichert !", "bild-1.csv"},
};

TEST(ScriptedExtras, AFailedSaveOrPrintSaysSoAndChangesNothingElse) {
    for (const FailedWrite& c : failed_writes) {
        SCOPED_TRACE(c.entry);
        ExtrasHarness h(std::string("menu EXTRAS / ") + c.entry + "\nbutton 1\nkey\n");
        // Even root cannot create files in /proc.
        h.runtime.set_snapshot_directory("/proc/kalorix-extras-test");
        h.runtime.set_export([] { return std::string("N;g\n"); });
        h.runtime.seed_random(7);
        rt::ScriptedRuntime unchanged(rt::parse_script(""));
        unchanged.seed_random(7);
        const std::string digest = rt::picture_digest(rt::as_qimage(h.runtime.surface().image()));

        EXPECT_EQ(h.runtime.key_query(), "\r");
        const auto messages = h.records("message");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(c.headline), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find(std::string("/proc/kalorix-extras-test/") + c.file), std::string::npos)
            << messages[0];
        EXPECT_TRUE(h.records("saved").empty());
        EXPECT_TRUE(h.records("printed").empty());
        EXPECT_FALSE(fs::exists("/proc/kalorix-extras-test"));
        EXPECT_EQ(rt::picture_digest(rt::as_qimage(h.runtime.surface().image())), digest);
        EXPECT_TRUE(h.delivered.empty());
        EXPECT_EQ(h.runtime.random(), unchanged.random());
    }
}

// The file written last time stays whole: a write that fails on the way
// (a full disk) or goes to a device that refuses it only brings the message.
TEST(ScriptedExtras, AWriteThatFailsOnTheWayKeepsTheOldFile) {
    for (const FailedWrite& c : failed_writes) {
        for (const std::size_t room : {std::size_t{0}, std::size_t{100}}) {
            SCOPED_TRACE(std::string(c.entry) + ", room " + std::to_string(room));
            TempDir dir;
            ExtrasHarness h(std::string("menu EXTRAS / ") + c.entry + "\nbutton 1\nkey\n");
            h.runtime.set_snapshot_directory(dir.path);
            h.runtime.set_export([] { return std::string(1000, 'x'); });
            std::ofstream(dir.path / c.file) << "alt";
            {
                const test_support::DiskFullAfter full(room);
                EXPECT_EQ(h.runtime.key_query(), "\r");
            }
            const auto messages = h.records("message");
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_NE(messages[0].find(c.headline), std::string::npos) << messages[0];
            EXPECT_TRUE(h.records("saved").empty());
            EXPECT_TRUE(h.records("printed").empty());
            EXPECT_EQ(test_support::file_text(dir.path / c.file), "alt");
            EXPECT_EQ(test_support::names_in(dir.path), std::set<std::string>{c.file});
        }
    }
    TempDir dir;
    ExtrasHarness h("menu EXTRAS / Bild &drucken ...\nbutton 1\nkey\n");
    h.runtime.set_snapshot_directory(dir.path);
    fs::create_symlink("/dev/full", dir.path / "bild-1.pdf");
    EXPECT_EQ(h.runtime.key_query(), "\r");
    EXPECT_EQ(h.records("message").size(), 1u);
    EXPECT_TRUE(h.records("printed").empty());
}

TEST(ScriptedExtras, EntriesBeforeABoxsAnswerActOnThePictureBehindIt) {
    ExtrasHarness h("menu EXTRAS / Bild &kopieren\nmenu EXTRAS / &Beamer-Farben\nanswer 150\n");
    const std::string digest = rt::picture_digest(rt::as_qimage(h.runtime.surface().image()));
    EXPECT_EQ(h.runtime.input_box("Anzahl der Atome", "100"), "150");
    const auto copied = h.records("copied");
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_NE(copied[0].find(digest), std::string::npos) << "the picture behind the box, before the palette changed";
    EXPECT_TRUE(h.runtime.projector_colours());
    EXPECT_TRUE(h.delivered.empty());
}

// A snapshot after the script's last item, an EXTRAS entry, shows what the
// entry did, in a poll as in a box.
TEST(ScriptedExtras, ASnapshotBehindTheLastEntryShowsItsEffect) {
    for (const bool in_box : {false, true}) {
        SCOPED_TRACE(in_box ? "in a box" : "in a poll");
        TempDir dir;
        ExtrasHarness h("menu EXTRAS / &Beamer-Farben\nsnapshot after\n");
        h.runtime.set_snapshot_directory(dir.path);
        if (in_box)
            h.runtime.message_box(1, "Weiter?", 1, " OK ");
        else
            h.runtime.process_events();
        const QImage after(QString::fromStdString((dir.path / "after.png").string()));
        EXPECT_EQ(after.pixel(1000, 700), qRgb(0, 16, 40));
    }
}

TEST(ScriptedExtras, ProjectorColoursShowInThePictureAndInThePrintRecords) {
    ExtrasHarness h("menu EXTRAS / &Beamer-Farben\n");
    h.runtime.process_events();
    EXPECT_EQ(h.records("palette"), std::vector<std::string>{"{\"kind\":\"palette\",\"projector\":true}"});
    h.runtime.set_colour(rt::colours::yellow);
    h.runtime.print("T_A");
    EXPECT_NE(h.records("print").back().find("\"colour\":\"#ffe600\""), std::string::npos) << h.records("print").back();
    EXPECT_EQ(h.runtime.surface().image().pixel(1000, 700), qRgb(0, 16, 40)) << "the background already shown";
}

TEST(ScriptedExtras, PrintColoursGoIntoThePrintAndTheirOwnSaveWhileTheScreenStays) {
    TempDir dir;
    ExtrasHarness h(
        "menu EXTRAS / Druck&farben\nmenu EXTRAS / Bild &drucken ...\n"
        "menu EXTRAS / Bild in Druckfarben s&peichern ...\nmenu EXTRAS / Bild &speichern ...\n");
    h.runtime.set_snapshot_directory(dir.path);
    h.runtime.set_picture_name("kalorix");
    const QImage screen = rt::as_qimage(h.runtime.surface().image()).copy();
    const QImage paper = rt::as_qimage(rt::in_print_colours(h.runtime.surface(), rt::Palette::normal)).copy();
    ASSERT_EQ(paper.pixel(1000, 700), qRgb(255, 255, 255)) << "white paper";
    bool grey_text = false;
    for (int x = 0; x < 100 && !grey_text; ++x)
        for (int y = 0; y < 20; ++y) grey_text = grey_text || paper.pixel(x, y) == qRgb(118, 118, 118);
    EXPECT_TRUE(grey_text) << "the white text is grey on paper";

    h.runtime.process_events();
    EXPECT_EQ(h.records("print_colours"), std::vector<std::string>{"{\"kind\":\"print_colours\",\"on\":true}"});
    EXPECT_EQ(pdf_image(read_file(dir.path / "kalorix-1.pdf"), 1024, 768), rgb_bytes(paper));
    EXPECT_EQ(
        QImage(QString::fromStdString((dir.path / "kalorix-1.png").string())).convertToFormat(QImage::Format_RGB32),
        paper);
    EXPECT_EQ(
        QImage(QString::fromStdString((dir.path / "kalorix-2.png").string())).convertToFormat(QImage::Format_RGB32),
        screen)
        << "the usual save keeps the screen's colours";
    EXPECT_EQ(rt::as_qimage(h.runtime.surface().image()), screen) << "the screen keeps its colours";
}

// --- the real programs ------------------------------------------------------------------

struct ProgramRun {
    int code;
    std::string transcript;
    std::string final_png;
};

ProgramRun run_program(const std::string& program, const std::string& script) {
    TempDir dir;
    std::ofstream(dir.path / "script") << script;
    rt::ScenarioOptions options;
    options.program = program;
    options.script = dir.path / "script";
    options.outdir = dir.path / "out";
    options.seed = 20261207;
    options.timeout_seconds = 60;
    std::ostringstream err;
    const int code =
        rt::run_scenario(options, program == "kalorix" ? kalorix::make_program : diffundo::make_program, err);
    EXPECT_EQ(code, rt::scenario_ended) << err.str();
    return {code, read_file(options.outdir / "transcript.jsonl"), read_file(options.outdir / "final.png")};
}

std::string without_extras(const std::string& transcript) {
    std::string kept;
    for (const std::string& line : lines_of(transcript))
        if (!has_kind(line, "saved") && !has_kind(line, "printed") && !has_kind(line, "copied") &&
            !has_kind(line, "fullscreen"))
            kept += line + "\n";
    return kept;
}

const std::string extras =
    "menu EXTRAS / Bild &speichern ...\nmenu EXTRAS / Bild &drucken ...\n"
    "menu EXTRAS / Bild &kopieren\nmenu EXTRAS / &Vollbild\n";
const std::string kalorix_start = "key\nbutton 1\nbutton 1\nbutton 1\nbutton 1\nbutton 1\nbutton 1\n";
const std::string diffundo_start = "key\nbutton 1\nbutton 1\n";

TEST(ScenarioRunExtras, ASeededRunWithExtrasInTheMiddleEndsAsWithout) {
    struct Row {
        const char* program;
        std::vector<std::string> parts;  // the extras go between them
    };
    const Row rows[] = {
        // The experiment draws a random atom at every trial and waits for a key.
        {"kalorix",
         {kalorix_start + "answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0.4\nanswer 2.0\nbutton 1\nkey\n",
          "key\nkey\nkey\n"}},
        // A dice step per pass; the statistics wait for their key.
        {"diffundo",
         {diffundo_start + "answer 30\npasses 300\n", "passes 300\nmenu AUSGABE / &Statistik zeigen\n",
          "key\npasses 100\n"}},
    };
    for (const Row& row : rows) {
        std::string with_extras = row.parts.front(), plain_script = row.parts.front();
        for (std::size_t i = 1; i < row.parts.size(); ++i) {
            with_extras += extras + row.parts[i];
            plain_script += row.parts[i];
        }
        const ProgramRun with = run_program(row.program, with_extras);
        const ProgramRun without = run_program(row.program, plain_script);
        EXPECT_NE(with.transcript, without.transcript) << row.program << ": the extras left their records";
        const auto kept = lines_of(without_extras(with.transcript)), plain = lines_of(without.transcript);
        const auto differ = std::mismatch(kept.begin(), kept.end(), plain.begin(), plain.end());
        EXPECT_TRUE(differ.first == kept.end() && differ.second == plain.end())
            << row.program << ", first difference at line " << (differ.first - kept.begin()) + 1 << ":\n"
            << (differ.first == kept.end() ? "(end)" : *differ.first) << "\n"
            << (differ.second == plain.end() ? "(end)" : *differ.second);
        EXPECT_EQ(with.final_png, without.final_png) << row.program;
    }
}

TEST(ScenarioRunExtras, EachProgramShowsItsOwnHelpOnTheExtras) {
    const std::pair<const char*, std::string> rows[] = {
        {"kalorix", kalorix::help_extras_page().text()},
        {"diffundo", diffundo::extras_page_text()},
    };
    for (const auto& [program, page] : rows) {
        // Met by the title screen's wait for its key.
        const ProgramRun run = run_program(program, "menu EXTRAS / &Hilfe zu den Extras\nbutton 1\n");
        const std::string expected = "{\"kind\":\"message\",\"style\":19,\"text\":" + rt::json_string(page) +
                                     ",\"default\":2,\"buttons\":[\"OK\"],\"answer\":1}";
        EXPECT_NE(run.transcript.find(expected), std::string::npos) << program;
    }
}

}  // namespace
