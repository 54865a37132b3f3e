#include "common/runtime/surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr rt::Colour white = 0xFFFFFF, black = 0x000000, blue = 0xFF0000, background = 0xEEA833;

rt::Rgb rgb(rt::Colour c) { return rt::to_rgb(c); }

class SurfaceTest : public ::testing::Test {
protected:
    rt::Surface surface{1024, 768};
    void SetUp() override {
        surface.keep_text_grid(true);
        surface.set_background_colour(background);
        surface.clear();
    }
    rt::Rgb at(int x, int y) const { return surface.image().pixel(x, y); }
    int count(rt::Colour c, rt::Rect area) const {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) found += at(x, y) == rgb(c);
        return found;
    }
};

TEST(Colour, WindowsValueHoldsRedInTheLowestByte) {
    EXPECT_EQ(rt::to_rgb(0xEEA833), 0xFF33A8EEu);
    EXPECT_EQ(rt::to_rgb(0x7300FA), 0xFFFA0073u);
}

TEST(FontCell, CellsFitTheLayoutsAt1024x768) {
    const rt::FontCell times16 = rt::font_cell(rt::FontFamily::serif, 16);
    EXPECT_EQ(times16.width, 11);
    EXPECT_EQ(times16.height, 24);
    EXPECT_LE(32 * times16.height, 768) << "rows up to 31 fit";
    const rt::FontCell courier14 = rt::font_cell(rt::FontFamily::mono, 14);
    EXPECT_EQ(courier14.width, 8);
    EXPECT_EQ(courier14.height, 16);
    EXPECT_LE(46 * courier14.height, 768) << "45 simulation rows from row 1 fit";
    EXPECT_LE(110 * courier14.width, 1024) << "101 atoms and the counts fit";
    const rt::FontCell times14 = rt::font_cell(rt::FontFamily::serif, 14);
    EXPECT_EQ(times14.width, 8);
    EXPECT_EQ(times14.height, 20);
}

TEST_F(SurfaceTest, TwoPixelOutlineIsATwoByTwoDot) {
    surface.set_colour(0x00FFFF);
    surface.rectangle(479, 16, 480, 17);
    EXPECT_EQ(count(0x00FFFF, rt::Rect{470, 10, 20, 20}), 4);
    EXPECT_EQ(at(479, 16), rgb(0x00FFFF));
    EXPECT_EQ(at(480, 17), rgb(0x00FFFF));
}

TEST_F(SurfaceTest, RectangleOutlineRunsThroughBothCornersAndKeepsTheInsideWhenHollow) {
    surface.set_colour(white);
    surface.set_second_colour(blue);
    surface.set_fill_style(rt::fill_hollow);
    surface.rectangle(10, 10, 20, 30);
    EXPECT_EQ(at(10, 10), rgb(white));
    EXPECT_EQ(at(20, 30), rgb(white));
    EXPECT_EQ(at(21, 30), rgb(background));
    EXPECT_EQ(at(15, 20), rgb(background));
    surface.set_fill_style(rt::fill_solid);
    surface.rectangle(100, 100, 110, 110);
    EXPECT_EQ(at(105, 105), rgb(blue));
    EXPECT_EQ(at(100, 105), rgb(white));
}

TEST_F(SurfaceTest, FilledBoxAndLinesIncludeTheirEndPoints) {
    surface.set_colour(black);
    surface.filled_box(50, 50, 54, 54);
    EXPECT_EQ(count(black, rt::Rect{45, 45, 15, 15}), 25);
    surface.line(200, 300, 200, 250);
    EXPECT_EQ(at(200, 300), rgb(black));
    EXPECT_EQ(at(200, 250), rgb(black));
    EXPECT_EQ(count(black, rt::Rect{195, 240, 10, 70}), 51);
    surface.set_line_width(5);
    surface.line(400, 633, 400, 533);
    EXPECT_EQ(at(398, 600), rgb(black));
    EXPECT_EQ(at(402, 600), rgb(black));
    EXPECT_EQ(at(403, 600), rgb(background));
}

TEST_F(SurfaceTest, PrintsIntoCellsAndRecordsTheGrid) {
    surface.set_font(rt::FontFamily::serif, 16);
    surface.set_colour(white);
    surface.set_second_colour(background);
    surface.locate(2, 28);
    surface.print("Also Übergang von ");
    surface.print("113");
    EXPECT_EQ(surface.print_y(), 28 * 24);
    EXPECT_GT(surface.print_x(), 2 * 11);
    EXPECT_EQ(surface.text_grid().row(28), std::u32string(U"  Also Übergang von 113"));
    EXPECT_GT(count(white, rt::Rect{22, 28 * 24, 300, 24}), 50) << "glyphs were drawn";
    surface.clear();
    EXPECT_EQ(surface.text_grid().to_text(), "");
}

TEST_F(SurfaceTest, MonospaceCellsMatchWhateverWasPrintedBefore) {
    surface.set_font(rt::FontFamily::mono, 14);
    surface.set_colour(white);
    surface.set_second_colour(background);
    surface.locate(1, 3);
    surface.print("..*..");
    const rt::Image first = surface.image().part({0, 48, 80, 16}).copy();
    surface.locate(1, 3);
    surface.print("*****");
    surface.locate(1, 3);
    surface.print("..*..");
    EXPECT_EQ(surface.image().part({0, 48, 80, 16}), first.view()) << "re-printing restores the same pixels";
    // A drawing over a cell invalidates what the cell remembers.
    surface.set_colour(black);
    surface.filled_box(8, 48, 15, 63);
    surface.set_colour(white);
    surface.locate(1, 3);
    surface.print("..*..");
    EXPECT_EQ(surface.image().part({0, 48, 80, 16}), first.view());
}

// A line rewritten in place redraws only from its first changed word; the
// result must be the pixels of printing the new line on a fresh surface.
TEST_F(SurfaceTest, RewrittenLinesLookAsIfPrintedAfresh) {
    const auto print_at = [](rt::Surface& s, const std::string& text) {
        s.set_colour(0x00FFFF);
        s.set_second_colour(background);
        s.locate(6, 27);
        s.print(text);
    };
    print_at(surface, " Entropie_A = 261,4   ");
    print_at(surface, " Entropie_A = 99,5   ");
    rt::Surface fresh(1024, 768);
    fresh.set_background_colour(background);
    fresh.clear();
    print_at(fresh, " Entropie_A = 99,5   ");
    EXPECT_EQ(surface.image(), fresh.image());

    // Something drawn over the line: the same text must be drawn again in full.
    surface.set_colour(black);
    surface.filled_box(70, 27 * 24, 140, 27 * 24 + 23);
    print_at(surface, " Entropie_A = 99,5   ");
    EXPECT_EQ(surface.image(), fresh.image());
}

// The same, for any texts rewritten over each other in a few places that
// overlap, with drawings coming over them now and then and lines drawn back
// over them: drawn from the first change or where they were damaged, they
// must look as drawn in full.
TEST(SurfaceRewrites, FromTheFirstChangeLookAsDrawnInFull) {
    std::mt19937 random(11);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Among them glyphs whose ink reaches past their advance (A, V, Ä, _) or
    // before their pen position (j, _).
    const char* const words[] = {"261,4", "99,5", "W",  "fällt", "  ", "Temperatur_A = ", "1/T", "ÄÖ", "j", "fff",
                                 "AV",    "_",    "A1", "V",     "1"};
    const int word_count = sizeof words / sizeof *words;
    rt::Surface incremental(1024, 768), full(1024, 768);
    full.set_drawn_at_once(true);
    for (int i = 0; i < 1500; ++i) {
        std::string text;
        if (i % 2 == 0) {
            for (int n = 1 + pick(4); n > 0; --n) text += words[pick(word_count)];
        } else {
            // A label, a value of the same width as the last, blanks: the
            // shape of the analyses' lines.
            const char* const labels[] = {"T = ", ""};
            const char* const values[] = {"V", "A", "1", "7", "j"};
            const char* const tails[] = {"    ", "_", "j  "};
            text = std::string(labels[pick(2)]) + values[pick(5)] + values[pick(5)] + tails[pick(3)];
        }
        // The structured lines mostly in one place, rewritten over each other.
        const bool one_place = i % 2 == 1 && pick(4) != 0;
        const int column = one_place ? 3 : 2 + pick(3), row = one_place ? 28 : 27 + pick(2);
        const rt::Colour ink = pick(3) == 0 ? 0x0000FF : 0x00FFFF;
        const double size = pick(9) == 0 ? 14 : 16;
        // Now and then something drawn over the lines, before a text comes back.
        const int over = pick(6), x = 20 + pick(80), y = 27 * 24 + pick(40), w = pick(12);
        for (rt::Surface* s : {&incremental, &full}) {
            if (over == 0) {
                s->set_colour(0xFFFFFF);
                s->filled_box(x, y, x + w, y + w / 2);
            } else if (over == 1) {
                s->set_colour(0x000000);
                s->line(x - 30, y, x + 60, y);
            }
            s->set_font(rt::FontFamily::serif, size);
            s->set_colour(ink);
            s->set_second_colour(background);
            s->locate(column, row);
            s->print(text);
            // A frame line that the text's background cut goes back on top.
            if (over == 1 && i % 3 != 0) {
                s->set_colour(0x000000);
                s->line(x - 30, y, x + 60 + (i % 5 == 0 ? 400 : 0), y);
            }
        }
        ASSERT_EQ(incremental.image(), full.image()) << "print " << i << ": \"" << text << "\"";
    }
}

// Texts side by side whose glyphs reach over each other's edges (A, V and _
// overhang by a pixel), damaged and printed again: a repaired glyph that
// reaches into its neighbour damages the neighbour, and glyphs drawn again
// over later ones bring those back on top.
TEST(SurfaceRewrites, RepairsAcrossNeighboursLookAsDrawnInFull) {
    rt::Surface incremental(1024, 768), full(1024, 768);
    full.set_drawn_at_once(true);
    int end_of_first = 0, first_underscore = 0;
    const auto print_pair = [&](rt::Surface& s) {
        s.set_colour(0x00FFFF);
        s.set_second_colour(background);
        s.locate(2, 27);
        s.print("T = A");
        end_of_first = s.print_x();
        s.print("V");  // goes on where the first one ended
        first_underscore = s.print_x();
        s.print("__A");
    };
    const int top = 27 * 24;
    for (rt::Surface* s : {&incremental, &full}) {
        print_pair(*s);
        s->image();
        s->set_colour(0x000000);
        s->filled_box(end_of_first - 6, top + 2, end_of_first - 3, top + 20);  // over the first text's A
        print_pair(*s);
        s->image();
        s->filled_box(first_underscore, top, first_underscore + 3, top + 23);  // over the first underscore
        print_pair(*s);
    }
    EXPECT_EQ(incremental.image(), full.image());
}

TEST_F(SurfaceTest, TransparentTextKeepsWhatIsBehind) {
    surface.set_colour(black);
    surface.filled_box(0, 0, 200, 23);
    surface.set_colour(white);
    surface.set_text_transparent(true);
    surface.locate(0, 0);
    surface.print("Wärme");
    EXPECT_EQ(at(0, 0), rgb(black)) << "no background box";
    EXPECT_GT(count(white, rt::Rect{0, 0, 80, 24}), 10) << "the glyphs were drawn";
}

TEST_F(SurfaceTest, ChangeCountMovesWithEveryDrawing) {
    const auto before = surface.change_count();
    surface.point(5, 5);
    EXPECT_GT(surface.change_count(), before);
    const auto after_point = surface.change_count();
    surface.point(-5, 5);  // outside: nothing changes
    EXPECT_EQ(surface.change_count(), after_point);
}

// A large entropy scale puts graph points billions of pixels away. They are
// drawn as if at the far end of the surface's range: what lies on the
// surface is drawn, what lies far off stays off.
TEST_F(SurfaceTest, CoordinatesBeyondTheIntegersStayInTheirDirection) {
    const double far = 5e9, nan = std::nan("");
    struct Case {
        const char* name;
        std::function<void(rt::Surface&)> draw;
        std::vector<std::pair<int, int>> drawn;
        std::vector<std::pair<int, int>> free;
    };
    const std::vector<Case> cases = {
        {"line down", [&](rt::Surface& s) { s.line(500, 300, 500, far); }, {{500, 400}, {500, 767}}, {{500, 200}}},
        {"line up", [&](rt::Surface& s) { s.line(500, 300, 500, -far); }, {{500, 0}, {500, 200}}, {{500, 400}}},
        {"line across", [&](rt::Surface& s) { s.line(-far, 300, far, 300); }, {{0, 300}, {1023, 300}}, {}},
        {"thick line down",
         [&](rt::Surface& s) {
             s.set_line_width(5);
             s.line(600, 100, 600, 1e12);
         },
         {{600, 700}, {602, 700}},
         {{600, 50}}},
        {"box to far corner", [&](rt::Surface& s) { s.filled_box(100, 100, far, far); }, {{1000, 700}}, {{50, 50}}},
        {"points far off and not a number",
         [&](rt::Surface& s) {
             s.point(far, far);
             s.point(-far, 10);
             s.point(nan, nan);
         },
         {},
         {}},
        {"outline far off", [&](rt::Surface& s) { s.rectangle(-far, -far, -far / 2, -far / 2); }, {}, {}},
        {"texts far off",
         [&](rt::Surface& s) {
             s.graphics_text(far, far, "weit");
             s.locate(far, far);
             s.print("weit");
             s.locate(-far, nan);
             s.print("weit");
         },
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        surface.clear();
        surface.set_line_width(1);
        surface.set_colour(black);
        surface.set_second_colour(black);
        c.draw(surface);
        for (const auto& [x, y] : c.drawn) EXPECT_EQ(at(x, y), rgb(black)) << x << "," << y;
        for (const auto& [x, y] : c.free) EXPECT_NE(at(x, y), rgb(black)) << x << "," << y;
        if (c.drawn.empty()) {
            EXPECT_EQ(count(black, surface.image().rect()), 0);
        }
        EXPECT_EQ(surface.text_grid().to_text(), "");
    }
}

// A picture at its own size is copied; scaled, each pixel samples the
// picture at its centre between the two nearest pixels; cut at the edges.
TEST(Pictures, CopiedAtTheirSizeAndBlendedWhenScaled) {
    rt::Image picture(2, 1);
    picture.row(0)[0] = rt::to_rgb(black);
    picture.row(0)[1] = rt::to_rgb(white);
    rt::Surface surface(8, 8);
    surface.draw_image(picture, 0, 0, 2, 1);
    EXPECT_EQ(surface.image().pixel(0, 0), rt::to_rgb(black));
    EXPECT_EQ(surface.image().pixel(1, 0), rt::to_rgb(white));
    surface.draw_image(picture, 0, 2, 4, 1);
    const std::vector<rt::Rgb> row(surface.image().row(2), surface.image().row(2) + 4);
    EXPECT_EQ(row, (std::vector<rt::Rgb>{0xFF000000u, 0xFF404040u, 0xFFBFBFBFu, 0xFFFFFFFFu}));
    surface.draw_image(picture, -1, 7, 4, 3);  // only the top row's right three pixels show
    EXPECT_EQ(surface.image().pixel(0, 7), 0xFF404040u);
    EXPECT_EQ(surface.image().pixel(3, 7), rt::to_rgb(0xFFFFFF)) << "the box ends at x = 2";
}

}  // namespace
