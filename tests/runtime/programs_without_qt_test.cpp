// Both programs on the drawing core alone: this test program links no Qt
// (runtime_test_links_no_qt checks its link line). The title screens draw
// their texts and frames (without the picture: no decoder here), and a
// theoretical analysis ends with the summary the golden screen holds.
#include "common/runtime/surface.h"
#include "diffundo/diffundo.h"
#include "fake_runtime.h"
#include "kalorix/kalorix.h"
#include "kalorix_setup.h"
#include "surface_recorder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <typename Program>
struct WithTitle : Program {
    using Program::Program;
    using Program::show_title;
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
    return lines;
}

// `lay_out` sets the layout factors as the program's start-up does.
template <typename Program, typename LayOut>
void expect_title(const std::string& headline, rt::Colour frame, LayOut lay_out) {
    SCOPED_TRACE(headline);
    test_support::FakeRuntime runtime;
    test_support::SurfaceRecorder record;
    runtime.surface().set_observer(&record);
    WithTitle<Program> program(runtime);
    lay_out(program);
    int frame_pixels = -1;
    // The screen as the continue prompt waits on it (it is cleared after).
    runtime.on_key_query = [&](int) {
        const rt::ImageView shown = runtime.surface().image();
        frame_pixels = 0;
        for (int y = 20; y < 700; ++y) frame_pixels += shown.pixel(12, y) == rt::to_rgb(frame);
    };
    program.show_title();
    runtime.surface().set_observer(nullptr);
    ASSERT_FALSE(record.texts.empty());
    EXPECT_EQ(record.texts.front().text, headline);
    EXPECT_EQ(record.texts.back().text, "2026");
    EXPECT_EQ(frame_pixels, 680) << "the left panel's frame";
    ASSERT_FALSE(record.prints.empty());
    EXPECT_EQ(record.prints.back().text, "Weiter ?  <RETURN>");
}

TEST(ProgramsWithoutQt, TitleScreens) {
    expect_title<kalorix::Kalorix>("ENTROPIE - ", rt::colours::blue, [](kalorix::Kalorix& k) {
        kalorix_test::set_parameters(k, {400, 1200, 150, 150});
    });
    expect_title<diffundo::Diffundo>(" Verteilung", rt::colours::black,
                                     [](diffundo::Diffundo& d) { d.set_start_values(); });
}

TEST(ProgramsWithoutQt, TheoryEndsWithTheGoldenSummary) {
    test_support::FakeRuntime runtime;
    runtime.set_background_colour(rt::colours::background);
    kalorix::Kalorix kx(runtime);
    kalorix_test::set_parameters(kx, {400, 1200, 150, 150});
    kx.theoretical_analysis();
    std::ifstream golden(GOLDEN_DIR "/k02_theory_proposed/theory.txt");
    ASSERT_TRUE(golden) << GOLDEN_DIR;
    std::stringstream expected;
    expected << golden.rdbuf();
    const std::vector<std::string> want = lines_of(expected.str());
    const std::vector<std::string> got = lines_of(runtime.surface().text_grid().to_text());
    ASSERT_GE(want.size(), 30u);
    ASSERT_GE(got.size(), 30u);
    for (std::size_t row = 26; row < 30; ++row) EXPECT_EQ(got[row], want[row]) << "row " << row;
}

}  // namespace
