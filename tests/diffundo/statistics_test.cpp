// The statistics display: its layout on a 1024 x 768 surface, and when its
// wait ends.
#include "common/runtime/surface.h"
#include "common/runtime/text_grid.h"
#include "common/screens/menu_list.h"
#include "common/scripted/scripted_runtime.h"
#include "diffundo/diffundo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Keeps what the screen showed when the display's wait first let events
// through: the finished display.
class CapturingRuntime : public rt::ScriptedRuntime {
public:
    explicit CapturingRuntime(const std::string& script) : ScriptedRuntime(rt::parse_script(script), 1024, 768) {}

    void process_events() override {
        if (!image) {
            image = surface().image().copy();
            grid = surface().text_grid();
            description = screen_description();
        }
        ScriptedRuntime::process_events();
    }

    std::optional<rt::Image> image;
    rt::TextGrid grid;
    std::string description;
};

bool is_white(rt::Rgb p) { return rt::red_of(p) > 230 && rt::green_of(p) > 230 && rt::blue_of(p) > 230; }
bool is_black(rt::Rgb p) { return rt::red_of(p) < 40 && rt::green_of(p) < 40 && rt::blue_of(p) < 40; }

class DiffundoStatistics : public ::testing::Test {
protected:
    // Start-up values and the atom count the script answers.
    static void start(diffundo::Diffundo& program) {
        program.set_start_values();
        program.runtime().set_background_colour(program.background_colour);
        // The text background the title screen's prompt leaves behind.
        program.runtime().set_second_colour(program.background_colour);
        program.menu_entries =
            common::menu_entries_from_list(diffundo::Diffundo::menu_list(), diffundo::Diffundo::menu_capacity);
        program.enter_atom_count("Gesamtzahl der Atome", "100");
    }

    // Counts as after `steps` steps spread over the middle splits, without
    // running them: a dice step polls the mouse, which would use up the
    // script's events.
    static void pretend_steps(diffundo::Diffundo& program, int steps) {
        program.gas.trial_count = steps;
        program.gas.frequency_count[program.gas.N / 2] = steps;
    }

    static std::string text_at(const rt::TextGrid& grid, int row, int column, std::size_t length) {
        const std::u32string line = grid.row(row);
        if (static_cast<std::size_t>(column) >= line.size()) return {};
        return rt::u32_to_utf8(line.substr(column, length));
    }

    static int index_of(const diffundo::Diffundo& program, const std::string& entry) {
        const auto& entries = program.menu_entries;
        return static_cast<int>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
    }
};

// N = 100 on 1024 x 768: row_margin 112, bars every 8 pixels from x = 128 to
// 920, centre x = 520, Y(20) = 76, Y(60) = 230, Y(75) = 288, y0 = Y(165) = 633.
// Counts are set by hand so that the curve and the bars lie at known places:
// 10000 steps, 341 at m = 45 (curve value 29.99, grid row 90, pixel row 346)
// and 114 at m = 55 (value 10.03, grid row 110, pixel row 422).
TEST_F(DiffundoStatistics, LayoutOnTheStandardScreen) {
    CapturingRuntime runtime("answer 100");
    diffundo::Diffundo program(runtime);
    start(program);
    EXPECT_DOUBLE_EQ(program.row_margin, 112);
    program.gas.trial_count = 10000;
    program.gas.frequency_count[45] = 341;
    program.gas.frequency_count[55] = 114;
    program.show_statistics();
    ASSERT_TRUE(runtime.image);
    const rt::Image& image = *runtime.image;
    const rt::TextGrid& grid = runtime.grid;

    struct Label {
        int row;
        int column;
        std::string text;
    };
    const Label labels[] = {
        {3, 48, "ENTROPIE = log g(N,m)"},
        {13, 74, "Atom-Zahl m im Raum 1"},
        {13, 52, "50 "},
        {35, 3, " g(N,m) = Zahl der mögl. Realisierungen des Zustands mit m Atomen im Raum 1"},
        {33, 18, "N = 100" + std::string(28, ' ') + "bei "},
        {33, 67, "10000 Versuchen"},
        {14, 48, "HÄUFIGKEIT"},
        {31, 94, "100"},
        {31, 52, "50 "},
        {32, 74, "Atom-Zahl m im Raum 1"},
    };
    for (const Label& label : labels) {
        SCOPED_TRACE(label.text);
        EXPECT_EQ(text_at(grid, label.row, label.column, rt::utf8_to_u32(label.text).size()), label.text);
    }
    // The first heading was cleared with the screen.
    EXPECT_EQ(grid.to_text().find("Zustände"), std::string::npos);

    struct Pixel {
        const char* what;
        int x;
        int y;
        bool (*test)(rt::Rgb);
    };
    const Pixel pixels[] = {
        {"upper frame, top", 300, 76, is_white},
        {"upper frame, left", 120, 150, is_white},
        {"upper frame, right", 920, 150, is_white},
        {"upper centre line", 520, 100, is_white},
        {"lower frame, top", 300, 288, is_white},
        {"lower frame, bottom", 300, 633, is_white},
        {"lower frame, left", 120, 500, is_white},
        {"lower centre line", 520, 450, is_white},
        // g(100, 50): 70, bar from Y(60) up to Y(50) = 192
        {"bar m=50 top", 519, 194, is_white},
        {"above bar m=50", 518, 189, [](rt::Rgb p) { return !is_white(p) && !is_black(p); }},
        // g(100, 40): 9.54, bar from Y(60) down to Y(110) = 422
        {"bar m=40", 440, 300, is_white},
        {"bar m=40 end", 440, 420, is_white},
        {"below bar m=40", 440, 426, [](rt::Rgb p) { return !is_white(p); }},
        // frequency bars: 341 and 114 of 10000 steps at F = 0.1536 px per step
        {"frequency m=45", 480, 600, is_black},
        {"frequency m=45 top", 480, 583, is_black},
        {"above frequency m=45", 480, 578, [](rt::Rgb p) { return !is_black(p); }},
        {"frequency m=55", 560, 620, is_black},
        {"no count, no bar", 400, 628, [](rt::Rgb p) { return !is_black(p); }},
        // the curve: starts at m = 45 (a segment of no length), goes on from
        // the place of m = 54 with that value down to m = 55
        {"curve from the place of m=54 at the value of m=45", 553, 347, is_black},
        {"curve segment 54..55", 556, 384, is_black},
        {"no segment across the gap", 500, 365, [](rt::Rgb p) { return !is_black(p); }},
        {"no line from the corner", 240, 403, [](rt::Rgb p) { return !is_black(p); }},
        // nor from the place of m = 44 at a stale value (0: grid row 120)
        {"no segment into the first count", 476, 403, [](rt::Rgb p) { return !is_black(p); }},
    };
    for (const Pixel& p : pixels) EXPECT_TRUE(p.test(image.pixel(p.x, p.y))) << p.what;

    // The whole run of bars, one every 8 pixels from 128 to 920, beside Y(60):
    // above it where g is large (grid row 120 - v < 60), below it elsewhere;
    // the gaps between them stay free.
    for (int m = 1; m <= 100; ++m) {
        const int k = static_cast<int>(std::nearbyint(120 - program.g_scaled[m]));
        if (k == 60) continue;
        const int y = k < 60 ? 228 : 232;
        EXPECT_TRUE(is_white(image.pixel(120 + 8 * m, y))) << "bar " << m;
        if (m < 100) {
            EXPECT_FALSE(is_white(image.pixel(124 + 8 * m, y))) << "gap after " << m;
        }
    }

    EXPECT_EQ(program.curve_prev_x, 920);
    EXPECT_NEAR(program.curve_prev_value, 10.03, 0.01);
}

// Step counts beyond 32 bits, as a run left going for hours reaches them:
// the count is printed in full and bars and curve keep their scale. One
// eighth of the steps at m = 45 gives a bar of 1536 / 8 = 192 pixels above
// y0 = 633, one sixteenth at m = 55 one of 96.
TEST_F(DiffundoStatistics, LongRunsKeepCountAndScale) {
    const std::int64_t counts[] = {
        (std::int64_t{1} << 31) - 1,
        (std::int64_t{1} << 31) + 7,
        (std::int64_t{1} << 32) + 3,
        (std::int64_t{1} << 34) + 1,
    };
    for (std::int64_t steps : counts) {
        SCOPED_TRACE(steps);
        CapturingRuntime runtime("answer 100");
        diffundo::Diffundo program(runtime);
        start(program);
        program.gas.trial_count = steps;
        program.gas.frequency_count[45] = steps / 8;
        program.gas.frequency_count[55] = steps / 16;
        program.show_statistics();
        ASSERT_TRUE(runtime.image);
        const std::string shown = std::to_string(steps) + " Versuchen";
        EXPECT_EQ(text_at(runtime.grid, 33, 67, shown.size()), shown);
        EXPECT_TRUE(is_black(runtime.image->pixel(480, 444)));
        EXPECT_FALSE(is_black(runtime.image->pixel(480, 438)));
        EXPECT_TRUE(is_black(runtime.image->pixel(560, 540)));
        EXPECT_FALSE(is_black(runtime.image->pixel(560, 534)));
        // The curve ends at m = 55 with 70 * h * 2^100 / g(100, 50), h the
        // relative frequency there.
        const double ln_g_100_50 = std::lgamma(101.0) - 2 * std::lgamma(51.0);
        const double h = static_cast<double>(steps / 16) / static_cast<double>(steps);
        EXPECT_NEAR(program.curve_prev_value, 70 * h * std::exp(100 * std::log(2.0) - ln_g_100_50), 1e-9);
    }
}

TEST_F(DiffundoStatistics, WithoutStepsOnlyTheHeadingAndNoWait) {
    CapturingRuntime runtime("answer 100\nkey");
    diffundo::Diffundo program(runtime);
    start(program);
    program.show_statistics();
    EXPECT_FALSE(runtime.image);  // no wait
    ASSERT_NE(runtime.next_unused_item(), nullptr);
    EXPECT_EQ(runtime.next_unused_item()->kind, rt::ScriptItemKind::key);
    // serif 14 cells at column x_unit = 3.2 and row 8 y_unit = 30.72
    EXPECT_EQ(text_at(runtime.surface().text_grid(), 31, 3, 58),
              " g(N,m) = Zahl der mögl. Zustände  bei m Atomen im Raum 1");
    EXPECT_EQ(runtime.cell_width(), 8);  // courier 14 again
    EXPECT_EQ(runtime.cell_height(), 16);
}

TEST_F(DiffundoStatistics, WeiterChosenBeforeEndsTheWaitAtOnce) {
    CapturingRuntime runtime("answer 100\nkey");
    diffundo::Diffundo program(runtime);
    start(program);
    program.Win_0_MenuEvent(index_of(program, "&Weiter"));
    EXPECT_EQ(program.continue_request, 2);
    for (int i = 0; i < 200; ++i) program.dice_step();
    program.show_statistics();
    ASSERT_TRUE(runtime.image);  // drawn
    EXPECT_NE(runtime.grid.to_text().find("HÄUFIGKEIT"), std::string::npos);
    EXPECT_EQ(program.continue_request, 0);
    ASSERT_NE(runtime.next_unused_item(), nullptr);  // the key was not needed
    EXPECT_EQ(runtime.next_unused_item()->kind, rt::ScriptItemKind::key);
    EXPECT_EQ(runtime.surface().text_grid().to_text(), "");  // cleared after
    EXPECT_EQ(runtime.cell_height(), 16);
}

// The user of the wait tests as a timeline of polls: a key arrives at the
// key poll `key_at` (0: never), and the mouse state at mouse poll n is the
// last entry of `buttons` whose poll number is <= n.
class PolledUser : public rt::ScriptedRuntime {
public:
    PolledUser(int key_at, std::vector<std::pair<int, int>> buttons)
        : ScriptedRuntime(rt::parse_script("answer 20"), 1024, 768), key_at_(key_at), buttons_(std::move(buttons)) {}

    void process_events() override { ++event_polls; }
    std::string key_query() override { return ++key_polls == key_at_ ? "\r" : ""; }
    int mouse_state() override {
        ++mouse_polls;
        int state = rt::mouse_none;
        for (const auto& [from, buttons] : buttons_)
            if (mouse_polls >= from) state = buttons;
        return state;
    }

    int event_polls = 0;
    int key_polls = 0;
    int mouse_polls = 0;

private:
    int key_at_;
    std::vector<std::pair<int, int>> buttons_;
};

TEST_F(DiffundoStatistics, WaitEndsOnAKeyOrTheRightButtonAlone) {
    struct Case {
        const char* what;
        int key_at;
        std::vector<std::pair<int, int>> buttons;
        int key_polls;  // polls until the wait ended
    };
    const Case cases[] = {
        {"key", 40, {}, 40},
        {"right button", 0, {{40, rt::mouse_right}}, 40},
        {"left button does not end it", 60, {{10, rt::mouse_left}}, 60},
        {"right with left does not end it", 60, {{10, rt::mouse_left | rt::mouse_right}}, 60},
        {"right after left", 0, {{10, rt::mouse_left}, {30, rt::mouse_right}}, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PolledUser runtime(c.key_at, c.buttons);
        diffundo::Diffundo program(runtime);
        start(program);
        pretend_steps(program, 100);
        program.show_statistics();
        EXPECT_EQ(runtime.key_polls, c.key_polls);
        // Every round of the wait lets events through (the scripted clock
        // always moves on).
        EXPECT_EQ(runtime.event_polls, c.key_polls);
        EXPECT_EQ(runtime.surface().text_grid().to_text(), "");  // cleared
        EXPECT_EQ(program.continue_request, 0);
    }
}

TEST_F(DiffundoStatistics, QuitMarkerEndsTheWaitWithoutAKey) {
    PolledUser runtime(5, {});
    diffundo::Diffundo program(runtime);
    start(program);
    pretend_steps(program, 100);
    program.quit_marker = "*";
    program.show_statistics();
    EXPECT_EQ(runtime.event_polls, 1);
    EXPECT_EQ(runtime.key_polls, 0);
    EXPECT_EQ(runtime.surface().text_grid().to_text(), "");
}

}  // namespace

TEST_F(DiffundoStatistics, ScreenReadersReadWhatTheDiagramsCompareAndTheirLabels) {
    CapturingRuntime runtime("answer 100");
    diffundo::Diffundo program(runtime);
    start(program);
    pretend_steps(program, 10000);
    program.show_statistics();
    const std::string& said = runtime.description;
    EXPECT_EQ(said.substr(0, said.find('\n')),
              "Balken der relativen Häufigkeiten für m = 0 bis 100 neben g(N,m), nach 10000 Versuchen");
    for (const char* piece : {"\nHÄUFIGKEIT\n", "10000 Versuchen", "Atom-Zahl m im Raum 1"})
        EXPECT_NE(said.find(piece), std::string::npos) << piece << " in\n" << said;
}
