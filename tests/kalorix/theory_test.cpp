// The theoretical analysis of kalorix, driven on a headless runtime: the
// maximum search, the marker, the colours, the texts below the graph and the
// pixels of the graph.
#include "common/runtime/number_format.h"
#include "common/runtime/runtime.h"
#include "common/runtime/surface.h"
#include "common/screens/menu_list.h"
#include "common/scripted/script.h"
#include "common/scripted/scripted_runtime.h"
#include "csv_reading.h"
#include "fake_runtime.h"
#include "kalorix/core/theory_model.h"
#include "kalorix/core/thermodynamics.h"
#include "kalorix/kalorix.h"
#include "kalorix_setup.h"
#include "surface_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr rt::Colour yellow = 0x00FFFF, blue = 0xFF0000, red = 0x0000FF, white = 0xFFFFFF, black = 0x000000,
                     pink = 0x7300FA, background = 0xEEA833;

using test_support::FakeRuntime;
using test_support::Printed;

using kalorix_test::Parameters;

// kalorix on a 1024 x 768 runtime as the parameter input and the main loop
// leave it before a theoretical analysis.
template <typename Runtime = FakeRuntime>
struct Analysis {
    template <typename... RuntimeArguments>
    explicit Analysis(Parameters p, std::int16_t armed = 1, RuntimeArguments&&... arguments)
        : rt(std::forward<RuntimeArguments>(arguments)...) {
        rt.surface().set_observer(&record);
        rt.set_background_colour(background);
        rt.set_menu_handler([this](int index) { kx.Win_0_MenuEvent(index); });
        kx.menu_entries =
            common::menu_entries_from_list(kalorix::Kalorix::menu_list(), kalorix::Kalorix::menu_capacity);
        kalorix_test::set_parameters(kx, p);
        kx.marker_armed = armed;
    }
    ~Analysis() { rt.surface().set_observer(nullptr); }

    int menu_position(const std::string& entry) const {
        const auto& m = kx.menu_entries;
        return static_cast<int>(std::find(m.begin(), m.end(), entry) - m.begin());
    }

    // Row r of the text grid, trailing blanks trimmed.
    std::string grid_line(int r) const {
        std::istringstream lines(rt.surface().text_grid().to_text());
        std::string line;
        for (int i = 0; i <= r && std::getline(lines, line); ++i) {
        }
        return line;
    }

    // Every print that began at (column, row), in order.
    std::vector<Printed> prints_at(int column, int row) const { return record.all_at(column, row); }

    // Every step line of one kind, in step order (" Entropie_A = ", ...).
    std::vector<Printed> step_lines(const std::string& start) const {
        std::vector<Printed> found;
        for (const auto& p : record.prints)
            if (p.text.rfind(start, 0) == 0 && p.row >= 27 && p.row <= 29 && p.colour != background) found.push_back(p);
        return found;
    }

    rt::Colour pixel(double x, double y) const {
        return rt::colour_of(
            rt.surface().image().pixel(static_cast<int>(std::nearbyint(x)), static_cast<int>(std::nearbyint(y))));
    }

    int count_pixels(rt::Colour colour, int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (pixel(x, y) == colour) ++count;
        return count;
    }

    bool printed_anywhere(const std::string& piece) const {
        return std::any_of(record.prints.begin(), record.prints.end(),
                           [&](const Printed& p) { return p.text.find(piece) != std::string::npos; });
    }

    test_support::SurfaceRecorder record;
    Runtime rt;
    kalorix::Kalorix kx{rt};
};

using TheoryRun = Analysis<>;

// Pixel column of the maximum's vertical line.
double maximum_line_x(const TheoryRun& a) { return 30 + a.kx.x_at_max; }

TEST(TheoryDefaults, MaximumAndSummaryOfTheProposedParameters) {
    TheoryRun a({400, 1200, 150, 150});
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.rt.passes, 151);
    EXPECT_EQ(a.step_lines(" Entropie_A = ").size(), 151u);
    EXPECT_EQ(a.kx.transferred_at_max, 113);
    EXPECT_NEAR(a.kx.S_max, 491.89, 0.01);
    EXPECT_NEAR(a.kx.percent_at_max, 75.333, 0.001);
    EXPECT_NEAR(200 * a.kx.T_A_at_max, 175.2, 0.05);
    EXPECT_NEAR(200 * a.kx.T_B_at_max, 176.7, 0.05);
    EXPECT_DOUBLE_EQ(a.kx.x_at_max, 113.0 / 150 * 957);

    EXPECT_EQ(a.grid_line(28),
              "  Thermisches Gleichgewicht, wenn ca. 75,3 % der höherenergetischer Atome übergetreten.");
    const auto sentence = a.prints_at(2, 29);
    ASSERT_FALSE(sentence.empty());
    EXPECT_EQ(sentence.back().text,
              "Also Übergang von 113 höherenergetischen Teilchen aus 150 von Raum A in Raum B." + std::string(14, ' '));
    EXPECT_EQ(sentence.back().colour, black);
    EXPECT_EQ(a.grid_line(31),
              "  Anteil 'heißer' Atome in Raum A:  9,3 % " + std::string(4, ' ') + "in Raum B:  9,4 %");

    const auto hot_A = a.prints_at(2, 31).back();
    const auto hot_B = a.prints_at(45, 31).back();
    EXPECT_EQ(hot_A.colour, yellow);
    EXPECT_EQ(hot_B.text, " in Raum B:  9,4 %");
    EXPECT_EQ(hot_B.colour, blue);
    EXPECT_EQ(a.prints_at(2, 30).back().text, "Temperatur_A beim Entropiemaximum = ca.  175,2   ");
    EXPECT_EQ(a.prints_at(45, 30).back().text, " Temperatur_B beim Entropiemaximum = ca.  176,7   ");
    EXPECT_EQ(a.prints_at(45, 30).back().colour, blue);
    const auto maximum = a.prints_at(69, 29).back();
    EXPECT_EQ(maximum.text, "   Entropie_Max = 491,9   ");
    EXPECT_EQ(maximum.colour, pink);
    // The last total is rewritten in the background colour, so it vanishes.
    EXPECT_EQ(a.prints_at(69, 27).back().colour, background);

    ASSERT_EQ(a.record.texts.size(), 1u);
    EXPECT_EQ(a.record.texts[0].text, "???");
    EXPECT_EQ(a.record.texts[0].colour, pink);
    EXPECT_EQ(a.record.texts[0].x, std::lround(39 + a.kx.x_at_max));
    EXPECT_EQ(a.record.texts[0].y, std::lround(520 - a.kx.S_max * 0.4));
    EXPECT_EQ(a.rt.sounds, std::vector<std::string>{"ding.wav"});
    EXPECT_EQ(a.kx.marker_armed, -1);
    EXPECT_GT(a.count_pixels(pink, a.record.texts[0].x, a.record.texts[0].y, a.record.texts[0].x + 30,
                             a.record.texts[0].y + 24),
              0);
    // The maximum's line runs from the axis up to the maximum's total point.
    for (double y : {495.0, 480.0, 400.0, 500 - a.kx.S_max * 0.4 + 16})
        EXPECT_EQ(a.pixel(maximum_line_x(a), y), black) << "y " << y;
}

TEST(TheoryDefaults, FirstStepValuesAndRoomColoursBeforeAndAfterTheMaximum) {
    TheoryRun a({400, 1200, 150, 150});
    a.kx.theoretical_analysis();

    const auto entropy_A = a.step_lines(" Entropie_A = ");
    const auto temperature_A = a.step_lines(" Temperatur_A = ");
    const auto temperature_B = a.step_lines(" Temperatur_B = ");
    const auto entropy_B = a.step_lines(" Entropie_B = ");
    const auto total = a.step_lines(" Entropie_Ges = ");
    ASSERT_EQ(entropy_A.size(), 151u);
    ASSERT_EQ(total.size(), 151u);
    EXPECT_EQ(entropy_A[0].text, " Entropie_A = 261,4   ");
    EXPECT_EQ(temperature_A[0].text, " Temperatur_A = 780   ");
    EXPECT_EQ(temperature_B[0].text, " Temperatur_B = 0   ");
    EXPECT_EQ(entropy_B[0].text, " Entropie_B =   0,0   ");
    EXPECT_EQ(entropy_A[0].column, 6);
    EXPECT_EQ(entropy_B[0].column, 36);
    EXPECT_EQ(total[0].column, 69);

    // Steps up to the maximum (113) and the first step past it, which shows
    // the marker, keep yellow and blue until the marker; then red and white.
    for (int step : {0, 113}) {
        EXPECT_EQ(entropy_A[step].colour, yellow) << step;
        EXPECT_EQ(entropy_B[step].colour, blue) << step;
        EXPECT_EQ(total[step].colour, black) << step;
    }
    for (int step : {114, 150}) {
        EXPECT_EQ(entropy_A[step].colour, red) << step;
        EXPECT_EQ(entropy_B[step].colour, white) << step;
        EXPECT_EQ(total[step].colour, red) << step;
    }
    EXPECT_EQ(a.prints_at(6, 29).back().text, std::string(31, ' ') + "fällt  ");
    EXPECT_EQ(a.prints_at(36, 29).back().text, std::string(31, ' ') + "wächst");

    // The last points: x at the right edge of the graph, rows Y(S).
    EXPECT_DOUBLE_EQ(a.kx.graph_y_A, 500 - 0.4 * a.kx.S_A);
    EXPECT_DOUBLE_EQ(a.kx.graph_y_B, 500 - 0.4 * a.kx.S_B);
    EXPECT_EQ(a.pixel(987, a.kx.graph_y_A), red);
    // Room B in white past the maximum (at the last step the total covers it).
    const double x_130 = 30 + 130.0 / 150 * 957;
    EXPECT_EQ(a.pixel(x_130, 500 - 0.4 * kalorix::room_entropy(1200, 130)), white);
    EXPECT_EQ(a.pixel(987, 500 - 0.4 * a.kx.S_ges), red);
    // Room B's first point, on the axis at the left edge; a point of room A
    // before the maximum.
    EXPECT_EQ(a.pixel(29, 501), blue);
    EXPECT_EQ(a.pixel(30 + 75.0 / 150 * 957, 500 - 0.4 * kalorix::room_entropy(400, 75)), yellow);
}

// Cases where the marker must not appear, and where it must.
struct MarkerCase {
    const char* name;
    Parameters p;
    std::int16_t armed;
    int expected_max;
    bool marker;
};

class TheoryMarker : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(TheoryMarker, ShownOnceOnlyWhenArmedAndPassed) {
    const MarkerCase& c = GetParam();
    TheoryRun a(c.p, c.armed);
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.kx.transferred_at_max, c.expected_max);
    EXPECT_EQ(a.record.texts.size(), c.marker ? 1u : 0u);
    EXPECT_EQ(a.rt.sounds.size(), c.marker ? 1u : 0u);
    EXPECT_EQ(a.kx.marker_armed, c.marker ? -1 : c.armed);
    EXPECT_EQ(a.pixel(maximum_line_x(a), 495) == black, c.marker);
    const auto last_A = a.step_lines(" Entropie_A = ").back();
    EXPECT_EQ(last_A.colour, c.marker ? red : yellow);
}

INSTANTIATE_TEST_SUITE_P(Cases, TheoryMarker,
                         ::testing::Values(MarkerCase{"armed", {400, 1200, 150, 150}, 1, 113, true},
                                           MarkerCase{"not_armed", {400, 1200, 150, 150}, 0, 113, false},
                                           MarkerCase{"shown_before", {400, 1200, 150, 150}, -1, 113, false},
                                           // Half of A excited next to a large room B: the total keeps rising.
                                           MarkerCase{"maximum_at_last_step", {10, 1000, 5, 5}, 1, 5, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TheoryMaximum, EqualNeighbouringTotalsGoToTheLaterStep) {
    // Equal rooms with 3 excitations: steps 1 (2 + 1) and 2 (1 + 2) sum the
    // same two room entropies, so the totals are equal to the last bit.
    const double one = kalorix::room_entropy(10, 1), two = kalorix::room_entropy(10, 2);
    ASSERT_EQ(two + one, one + two);
    ASSERT_GT(two + one, two);

    TheoryRun a({10, 10, 3, 3});
    a.kx.theoretical_analysis();
    EXPECT_EQ(a.kx.transferred_at_max, 2);
    EXPECT_DOUBLE_EQ(a.kx.S_max, one + two);
    EXPECT_DOUBLE_EQ(a.kx.x_at_max, 2.0 / 3 * 957);
    ASSERT_EQ(a.record.texts.size(), 1u);
    EXPECT_EQ(a.record.texts[0].x, std::lround(39 + 2.0 / 3 * 957));
    EXPECT_EQ(a.prints_at(2, 29).back().text,
              "Also Übergang von 2 höherenergetischen Teilchen aus 3 von Raum A in Raum B." + std::string(14, ' '));
}

TEST(TheoryMaximum, FewerStartingAtomsThanTotalUseTheTotalForPositionsAndSummary) {
    TheoryRun a({400, 1200, 150, 100});
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.rt.passes, 101);
    EXPECT_EQ(a.kx.transferred_at_max, 75);
    EXPECT_DOUBLE_EQ(a.kx.percent_at_max, 50.0);
    EXPECT_DOUBLE_EQ(a.kx.x_at_max, 75.0 / 150 * 957);
    // Room A at the maximum is taken with n - 75 = 75 excitations.
    EXPECT_NEAR(200 * a.kx.T_A_at_max, 272.79, 0.01);
    EXPECT_NEAR(200 * a.kx.T_B_at_max, 147.71, 0.01);
    EXPECT_EQ(a.prints_at(2, 29).back().text,
              "Also Übergang von 75 höherenergetischen Teilchen aus 150 von Raum A in Raum B." + std::string(14, ' '));
    EXPECT_EQ(a.prints_at(2, 31).back().text, "Anteil 'heißer' Atome in Raum A: 18,8 % ");
    // The last step (100 passed) stands at 100/150 of the width, not at its end.
    const double x_last = 30 + 100.0 / 150 * 957;
    EXPECT_EQ(a.pixel(x_last, a.kx.graph_y_A), red);
    EXPECT_EQ(a.pixel(30 + 90.0 / 150 * 957, 500 - 0.4 * kalorix::room_entropy(1200, 90)), white);
    EXPECT_EQ(a.count_pixels(red, 900, 41, 986, 499), 0);
}

TEST(TheoryMaximum, RoomAStartingInvertedIsRedUntilItLeavesInversion) {
    // 80 of 100 atoms of A excited: negative temperature until A holds 50.
    TheoryRun a({100, 400, 80, 80});
    a.kx.theoretical_analysis();

    const auto entropy_A = a.step_lines(" Entropie_A = ");
    const auto entropy_B = a.step_lines(" Entropie_B = ");
    const auto temperature_A = a.step_lines(" Temperatur_A = ");
    ASSERT_EQ(entropy_A.size(), 81u);
    EXPECT_EQ(temperature_A[0].text.find(" Temperatur_A = -"), 0u);
    for (int step : {0, 29}) {
        EXPECT_EQ(entropy_A[step].colour, red) << step;
        EXPECT_EQ(entropy_B[step].colour, white) << step;
    }
    for (int step : {30, 64}) {
        EXPECT_EQ(entropy_A[step].colour, yellow) << step;
        EXPECT_EQ(entropy_B[step].colour, blue) << step;
    }
    EXPECT_EQ(temperature_A[30].text, " Temperatur_A = 2000000   ");
    EXPECT_EQ(a.kx.transferred_at_max, 64);

    // The black line where A leaves inversion (30 passed), up to the higher
    // of the two room points of that step.
    const double x = 30 + 30.0 / 80 * 957;
    const double h = std::max(std::nearbyint(0.4 * kalorix::room_entropy(100, 50)),
                              std::nearbyint(0.4 * kalorix::room_entropy(400, 30)));
    EXPECT_EQ(a.pixel(x, 495), black);
    EXPECT_EQ(a.pixel(x, 500 - h + 4), black);
    EXPECT_NE(a.pixel(x, 500 - h - 4), black);
    // No such line one step earlier.
    EXPECT_NE(a.pixel(30 + 29.0 / 80 * 957, 495), black);
}

// Tick labels under the axis: the step d = n / 10 rounded, 1 for n <= 5.
struct TickCase {
    int n;
    std::vector<std::string> labels;
    int first_column;
    int last_column;
};

class TheoryTicks : public ::testing::TestWithParam<TickCase> {};

TEST_P(TheoryTicks, LabelsAndGridLines) {
    const TickCase& c = GetParam();
    TheoryRun a({400, 1200, c.n, c.n});
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.rt.passes, c.n + 1);
    std::istringstream row(a.grid_line(23));
    std::vector<std::string> labels;
    for (std::string word; row >> word;) labels.push_back(word);
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(a.grid_line(23).find_first_not_of(' '), static_cast<std::size_t>(c.first_column));
    EXPECT_EQ(a.grid_line(23).rfind(c.labels.back()), static_cast<std::size_t>(c.last_column));
    for (const auto& label : labels) {
        const double t = std::stod(label);
        EXPECT_EQ(a.pixel(std::nearbyint(30 + t * 957 / c.n), 60), white) << label;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TheoryTicks,
    // A label of n stands at column 3 + 87 - 2 = 88, under the right edge.
    ::testing::Values(TickCase{1, {"1"}, 88, 88}, TickCase{3, {"1", "2", "3"}, 30, 88},
                      TickCase{5, {"1", "2", "3", "4", "5"}, 18, 88},
                      TickCase{15, {"2", "4", "6", "8", "10", "12", "14"}, 13, 82},
                      TickCase{150, {"15", "30", "45", "60", "75", "90", "105", "120", "135", "150"}, 10, 88}));

TEST(TheoryFrame, FrameAndAxisTitlesInWhite) {
    TheoryRun a({400, 1200, 150, 150});
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.record.clears, 1);
    // The edges; the top edge also between the two titles of row 1, which
    // lies across it.
    for (auto [x, y] : {std::pair{30, 100}, {30, 300}, {987, 100}, {987, 300}, {600, 500}, {300, 40}, {500, 40}})
        EXPECT_EQ(a.pixel(x, y), white) << x << "," << y;
    const auto title = a.prints_at(69, 24);
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0].text, "  Zahl übergetretener Atome");
    EXPECT_EQ(title[0].colour, white);
    EXPECT_EQ(a.prints_at(66, 25).at(0).text, "innere Energie U_B = Uo - U_A");
    EXPECT_EQ(a.grid_line(1),
              "   Entropie S" + std::string(87, ' ') + "1/T = dS/dU > 0, wenn für Teilsystem Steigung > 0");
}

TEST(TheoryEvents, QuitDuringTheRunEndsWithTheSummaryOfTheLastStep) {
    TheoryRun a({400, 1200, 150, 150});
    a.rt.menu_at_pass = 41;  // before the computation of step 40
    a.rt.menu_index = a.menu_position("&Quit");
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.kx.quit_marker, "*");
    EXPECT_EQ(a.rt.passes, 41);
    EXPECT_EQ(a.step_lines(" Entropie_A = ").size(), 40u);
    EXPECT_EQ(a.kx.transferred_at_max, 39);
    EXPECT_DOUBLE_EQ(a.kx.S_A, kalorix::room_entropy(400, 111));
    EXPECT_DOUBLE_EQ(a.kx.S_B, kalorix::room_entropy(1200, 39));
    EXPECT_EQ(a.kx.T_A, 0);
    EXPECT_TRUE(a.rt.sounds.empty());
    EXPECT_EQ(a.prints_at(2, 29).back().text.rfind("Also Übergang von 39 ", 0), 0u);
    EXPECT_EQ(a.prints_at(69, 27).back().text,
              " Entropie_Ges = " + rt::format_picture(a.kx.S_A + a.kx.S_B, "###,#") + "   ");
}

TEST(TheoryEvents, QuitThroughTheScriptedUser) {
    auto items = rt::parse_script("passes 60\nmenu DESK / &Quit\n");
    Analysis<rt::ScriptedRuntime> a({400, 1200, 150, 150}, 1, items);
    a.rt.install_menu(a.kx.menu_entries);
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.kx.quit_marker, "*");
    EXPECT_EQ(a.rt.event_passes(), 61);
    EXPECT_EQ(a.kx.transferred_at_max, 59);
    EXPECT_EQ(a.grid_line(28).rfind("  Thermisches Gleichgewicht, wenn ca. 39,3 % ", 0), 0u);
}

TEST(TheoryEvents, NewRoomSizesDuringTheRunLeaveTheRunWithItsOwnValues) {
    TheoryRun a({400, 1200, 150, 150});
    a.rt.menu_at_pass = 51;
    a.rt.menu_index = 0;
    // As a new input could leave them; room B of 30 atoms could not take 150.
    a.rt.set_menu_handler([&a](int) {
        a.kx.Nmax_B = 30;
        a.kx.n = 20;
    });
    a.kx.theoretical_analysis();

    EXPECT_EQ(a.rt.passes, 151);
    EXPECT_EQ(a.step_lines(" Entropie_A = ").size(), 151u);
    EXPECT_TRUE(std::isfinite(a.kx.S_B));
    EXPECT_FALSE(a.printed_anywhere("nan"));
    EXPECT_FALSE(a.printed_anywhere("inf"));
    EXPECT_EQ(a.prints_at(2, 29).back().text.rfind("Also Übergang von 113 höherenergetischen Teilchen aus 150 ", 0),
              0u);
    EXPECT_EQ(a.prints_at(45, 31).back().text, " in Raum B:  9,4 %");
}

TEST(TheoryEvents, NewInputDuringTheRunEndsItAsQuitDoesWithItsOwnSummary) {
    // 400/1200/150/150; before step 60 the menu, then 100/100/50/50 and
    // "Wahl nach Menue", or Quit.
    const auto run_with = [](const std::string& action) {
        auto a = std::make_unique<Analysis<rt::ScriptedRuntime>>(Parameters{400, 1200, 150, 150}, std::int16_t{1},
                                                                 rt::parse_script("passes 60\n" + action));
        a->rt.install_menu(a->kx.menu_entries);
        a->kx.theoretical_analysis();
        return a;
    };
    const auto input = run_with(
        "menu AUSGABE / &Neue Eingabe\nanswer 100\nanswer 100\nanswer 50\nanswer 50\n"
        "answer 0,4\nanswer 2.0\nbutton 3\n");
    const auto quit = run_with("menu DESK / &Quit\n");

    EXPECT_EQ(input->kx.n, 50);
    EXPECT_NE(input->kx.quit_marker, "*");
    EXPECT_EQ(input->rt.event_passes(), quit->rt.event_passes());
    EXPECT_EQ(input->kx.transferred_at_max, 59);
    EXPECT_FALSE(input->printed_anywhere("nan"));
    EXPECT_FALSE(input->printed_anywhere("inf"));
    for (const auto& [column, row] : {std::pair{2, 28}, {2, 29}, {2, 30}, {2, 31}, {45, 30}, {45, 31}, {69, 29}}) {
        ASSERT_FALSE(input->prints_at(column, row).empty()) << column << "," << row;
        EXPECT_EQ(input->prints_at(column, row).back().text, quit->prints_at(column, row).back().text);
    }
}

// The screen shows what the model computes: every step's lines and the
// summary against a bare run of the model with the same values.
TEST(TheoryOnScreen, ShowsWhatTheBareModelComputes) {
    struct Steps final : kalorix::TheoryModel::Hooks {
        explicit Steps(kalorix::TheoryParameters p) : p(p) {}
        bool quit_requested() const override { return false; }
        void step_done(const kalorix::MaximumChange&) override { shown.push_back(model); }
        const kalorix::TheoryParameters p;
        kalorix::TheoryModel model;
        std::vector<kalorix::TheoryModel> shown;
    };
    const auto line = [](const std::string& label, const std::string& value) { return label + value + "   "; };
    const auto temperature = [](double T) { return rt::number_text(std::floor(200 * T)); };

    for (const Parameters p : {Parameters{400, 1200, 150, 150}, Parameters{100, 400, 80, 80},
                               Parameters{400, 1200, 150, 100}, Parameters{10, 10, 3, 3}}) {
        SCOPED_TRACE(::testing::Message() << p.Nmax_A << "/" << p.Nmax_B << "/" << p.n << "/" << p.N_A);
        TheoryRun a(p);
        a.kx.theoretical_analysis();
        Steps bare({p.Nmax_A, p.Nmax_B, p.n, p.N_A, p.E});
        bare.model.run(bare.p, bare);

        const auto entropy_A = a.step_lines(" Entropie_A = ");
        const auto entropy_B = a.step_lines(" Entropie_B = ");
        const auto temperature_A = a.step_lines(" Temperatur_A = ");
        const auto temperature_B = a.step_lines(" Temperatur_B = ");
        const auto total = a.step_lines(" Entropie_Ges = ");
        ASSERT_EQ(entropy_A.size(), bare.shown.size());
        for (std::size_t t = 0; t < bare.shown.size(); ++t) {
            const kalorix::TheoryModel& m = bare.shown[t];
            EXPECT_EQ(entropy_A[t].text, line(" Entropie_A = ", rt::format_picture(m.S_A, "###,#"))) << t;
            EXPECT_EQ(entropy_B[t].text, line(" Entropie_B = ", rt::format_picture(m.S_B, "###,#"))) << t;
            EXPECT_EQ(temperature_A[t].text, line(" Temperatur_A = ", temperature(m.T_A))) << t;
            EXPECT_EQ(temperature_B[t].text, line(" Temperatur_B = ", temperature(m.T_B))) << t;
            EXPECT_EQ(total[t].text, line(" Entropie_Ges = ", rt::format_picture(m.S_A + m.S_B, "###,#"))) << t;
        }

        const kalorix::TheoryModel& m = bare.model;
        EXPECT_EQ(a.kx.S_max, m.S_max);
        EXPECT_EQ(a.kx.transferred_at_max, m.transferred_at_max);
        EXPECT_EQ(a.kx.x_at_max, m.share_at_max * 957);
        EXPECT_EQ(a.prints_at(69, 29).back().text, line("   Entropie_Max = ", rt::format_picture(m.S_max, "##,#")));
        EXPECT_EQ(a.prints_at(2, 30).back().text,
                  line("Temperatur_A beim Entropiemaximum = ca. ", rt::format_picture(200 * m.T_A_at_max, "####,#")));
        EXPECT_EQ(a.prints_at(45, 30).back().text,
                  line(" Temperatur_B beim Entropiemaximum = ca. ", rt::format_picture(200 * m.T_B_at_max, "####,#")));
        EXPECT_EQ(a.prints_at(2, 28).back().text, "Thermisches Gleichgewicht, wenn ca. " +
                                                      rt::format_picture(m.percent_at_max, "##,#") +
                                                      " % der höherenergetischer Atome übergetreten.");
        EXPECT_EQ(a.prints_at(2, 31).back().text,
                  "Anteil 'heißer' Atome in Raum A: " + rt::format_picture(m.percent_hot_in_A(bare.p), "##,#") + " % ");
        EXPECT_EQ(a.prints_at(45, 31).back().text,
                  " in Raum B: " + rt::format_picture(m.percent_hot_in_B(bare.p), "##,#") + " %");
    }
}

TEST(TheoryEvents, OtherMenuActionsLetTheRunGoOn) {
    TheoryRun a({400, 1200, 150, 150});
    a.rt.menu_at_pass = 20;
    a.rt.menu_index = a.menu_position("&Weiter");
    a.kx.theoretical_analysis();
    EXPECT_EQ(a.rt.passes, 151);
    EXPECT_EQ(a.kx.transferred_at_max, 113);
}

}  // namespace

namespace {

// The export of the theory: one row per step, the values behind the step
// lines (temperatures as the screen shows them after the factor 200).
TEST(TheoryExport, OneRowPerStepWithTheShownValues) {
    TheoryRun a({400, 1200, 150, 150});
    a.kx.theoretical_analysis();
    const auto rows = test_support::csv_rows(a.rt.exporter()());
    ASSERT_EQ(rows.size(), 3u + 151u);
    using test_support::german_number;
    const auto& first = rows[3];
    EXPECT_EQ(first[0], "0");
    EXPECT_EQ(first[1], "150");
    EXPECT_EQ(first[2], "0");
    EXPECT_NEAR(german_number(first[3]), 261.4, 0.05);
    EXPECT_EQ(std::floor(german_number(first[8])), 780);
    // Step 113 is the maximum of S_ges.
    double S_max = 0;
    int at_max = -1;
    for (std::size_t r = 3; r < rows.size(); ++r) {
        const double S_ges = german_number(rows[r][5]);
        EXPECT_NEAR(S_ges, german_number(rows[r][3]) + german_number(rows[r][4]), 1e-9);
        if (S_ges >= S_max) S_max = S_ges, at_max = std::stoi(rows[r][0]);
    }
    EXPECT_EQ(at_max, 113);
    EXPECT_EQ(S_max, a.kx.S_max);  // every digit
    // The last step line on the screen, to its digits.
    EXPECT_EQ(a.step_lines(" Temperatur_B = ").back().text,
              " Temperatur_B = " + rt::number_text(std::floor(german_number(rows.back()[9]))) + "   ");
}

// The "angezeigt" columns hold the very number of each step line, also
// where room A is inverted and its negative temperature is rounded down.
TEST(TheoryExport, ShownColumnsHoldTheNumbersOfTheStepLines) {
    for (const Parameters p : {Parameters{1000, 200, 150, 150}, Parameters{37, 41, 30, 30}}) {
        SCOPED_TRACE(::testing::Message() << p.Nmax_A << "/" << p.Nmax_B << "/" << p.n);
        TheoryRun a(p);
        a.kx.theoretical_analysis();
        const auto rows = test_support::csv_rows(a.rt.exporter()());
        ASSERT_EQ(rows.size(), 3u + p.N_A + 1u);
        int negative = 0;
        for (const auto& [room, column] : {std::pair{"A", 8}, std::pair{"B", 9}}) {
            const std::string start = std::string(" Temperatur_") + room + " = ";
            const std::vector<Printed> lines = a.step_lines(start);
            ASSERT_EQ(lines.size(), rows.size() - 3);
            for (std::size_t step = 0; step < lines.size(); ++step) {
                const std::string shown =
                    lines[step].text.substr(start.size(), lines[step].text.find(' ', start.size()) - start.size());
                EXPECT_EQ(rows[3 + step][column], shown) << "room " << room << ", step " << step;
                negative += shown[0] == '-';
            }
        }
        EXPECT_GT(negative, 0);
    }
}

}  // namespace

TEST(TheoryDefaults, ScreenReadersGetTheCurvesTheSummaryAndOneAnnouncementOfTheEquilibrium) {
    TheoryRun a({400, 1200, 150, 150});
    a.kx.theoretical_analysis();
    const std::string description = a.rt.screen_description();
    EXPECT_EQ(description.substr(0, description.find('\n')),
              "Entropiekurven von Raum A, Raum B und dem Gesamtsystem; Maximum bei 113 übergetretenen Atomen");
    for (const char* line :
         {"\nThermisches Gleichgewicht, wenn ca. 75,3 % der höherenergetischer Atome übergetreten.\n",
          "\nTemperatur_A beim Entropiemaximum = ca.  175,2", "Entropie_Max = 491,9", "\n???\n"})
        EXPECT_NE(description.find(line), std::string::npos) << line << " in\n" << description;
    EXPECT_EQ(a.rt.announcements, std::vector<std::string>{"Thermisches Gleichgewicht nach dem Übergang von 113 aus "
                                                           "150 höherenergetischen Teilchen, Entropie_Max = 491,9"});
}

namespace {

// A runtime whose user acts at given event passes, on the fake clock of a
// millisecond per pass.
struct ClockedRuntime : FakeRuntime {
    std::function<void(int pass)> at_pass;
    void process_events() override {
        FakeRuntime::process_events();
        if (at_pass) at_pass(passes);
    }
};

}  // namespace

// The theory at 100 steps per second: a step every 10 ms of the clock, none
// while paused, exactly one per single step, the rest after going on.
TEST(TheoryPace, TempoPauseAndSingleStepDriveTheSteps) {
    Analysis<ClockedRuntime> a({400, 1200, 150, 150});
    ASSERT_TRUE(a.kx.theory_pace.full_speed());  // the start value
    ASSERT_TRUE(a.kx.theory_pace.set_tempo(100));
    const auto steps = [&a] { return static_cast<int>(a.kx.theory_records.size()); };
    const auto pick = [&a](const char* entry) { a.kx.Win_0_MenuEvent(a.menu_position(entry)); };
    int at_pause = -1, after_single = -1;
    a.rt.at_pass = [&](int pass) {
        if (pass == 500) {
            pick(kalorix::Kalorix::theory_pause_entry);
            at_pause = steps();
        } else if (pass == 2500) {
            EXPECT_EQ(steps(), at_pause) << "paused";
            pick(kalorix::Kalorix::theory_single_step_entry);
        } else if (pass == 3000) {
            after_single = steps();
            pick(kalorix::Kalorix::theory_pause_entry);
        }
    };
    a.kx.theoretical_analysis();

    // 500 ms at 100 steps/s: steps 0 to 49 made, the 51st due at 500 ms.
    EXPECT_GE(at_pause, 49);
    EXPECT_LE(at_pause, 51);
    EXPECT_EQ(after_single, at_pause + 1);
    EXPECT_EQ(steps(), 151);
    // The remaining steps at the tempo again: about 10 passes each.
    const int remaining = 151 - after_single;
    EXPECT_NEAR(a.rt.passes - 3000, 10 * remaining, 12);
    EXPECT_TRUE(a.rt.status().rfind("Theorie - Tempo: 100 Schritte/s", 0) == 0) << a.rt.status();
}
