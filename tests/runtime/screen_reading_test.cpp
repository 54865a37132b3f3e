// What the screen says as text: the drawn texts in reading order, what
// drawing over them leaves, and the whole description beside the text cells.
#include "common/runtime/screen_reading.h"
#include "common/runtime/surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(ScreenReading, DrawnTextsReadTopToBottomAndLeftToRightWithinALine) {
    rt::ScreenReading reading;
    reading.drawn({300, 102, 40, 20}, "rechts", false);
    reading.drawn({10, 200, 40, 20}, "  unten  ", false);
    reading.drawn({20, 95, 40, 20}, "links", false);  // 7 pixels higher: the same line
    reading.drawn({20, 130, 40, 20}, "     ", true);  // blanks only say nothing
    EXPECT_EQ(reading.text_lines(), (Lines{"links  rechts", "unten"}));
}

TEST(ScreenReading, LaterDrawingReplacesOrCoversEarlierTexts) {
    rt::ScreenReading reading;
    reading.drawn({10, 10, 30, 20}, "alt", false);
    reading.drawn({10, 10, 50, 20}, "neu", false);  // the same place
    reading.drawn({100, 10, 30, 20}, "klein", false);
    reading.drawn({200, 10, 30, 20}, "bleibt", false);
    reading.drawn({90, 5, 60, 30}, "darüber", true);  // opaque over "klein"
    reading.drawn({195, 5, 10, 30}, "halb", true);    // covers "bleibt" only in part
    EXPECT_EQ(reading.text_lines(), (Lines{"neu  darüber  halb  bleibt"}));
    reading.covered({0, 0, 160, 40});
    EXPECT_EQ(reading.text_lines(), (Lines{"halb  bleibt"}));

    for (std::size_t i = 0; i < rt::ScreenReading::max_texts + 10; ++i)
        reading.drawn({static_cast<int>(i), 500, 5, 20}, "x", false);
    EXPECT_EQ(reading.text_lines().back().size(), rt::ScreenReading::max_texts * 3 - 2);
}

TEST(ScreenReading, DescriptionHasTheSentencesTheCellsAndTheTextsUntilTheScreenIsCleared) {
    rt::Surface surface(1024, 768);
    surface.keep_text_grid(true);
    surface.describe_picture("Ein Bild");
    surface.describe_picture("Ein Bild");  // said once
    surface.set_font(rt::FontFamily::serif, 16);
    surface.locate(0, 2);
    surface.print("   Zeile zwei  ");
    surface.locate(0, 0);
    surface.print("Zeile null");
    surface.graphics_text(500, 300, "???");
    surface.graphics_text(600, 600, "weg");
    surface.set_colour(0xEEA833);
    surface.filled_box(590, 590, 700, 640);
    EXPECT_EQ(rt::describe_screen(surface.reading(), surface.text_grid()), "Ein Bild\nZeile null\nZeile zwei\n???\n");
    surface.clear();
    EXPECT_EQ(rt::describe_screen(surface.reading(), surface.text_grid()), "");

    // Where no grid is kept (a window nobody reads aloud), nothing is kept.
    surface.keep_text_grid(false);
    surface.describe_picture("Ein Bild");
    surface.graphics_text(500, 300, "???");
    EXPECT_EQ(rt::describe_screen(surface.reading(), surface.text_grid()), "");
}

}  // namespace
