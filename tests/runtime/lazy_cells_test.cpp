// Monospace text is kept as cells and drawn only when the image is read or
// before other drawing; a proportional text printed again over a drawn one
// draws only what differs. Whatever mix of prints, drawings over them, font
// changes, pictures, re-colouring, clears and reads, the image must be the
// one of drawing every print at once, and a copy handed out must keep its
// pixels.
#include "common/runtime/surface.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>

namespace {

constexpr std::array<rt::Colour, 4> palette = {0xFFFFFF, 0x0000FF, 0x000000, 0xEEA833};
const std::array<std::string, 8> pieces = {".", "*", "..*.", "ab", " ", "Ä", "€", "100 42  "};

class Mix {
public:
    // The lazy and the eager surface keep the text grid, as headless runs
    // do; the window's keeps none and must show the same pixels.
    explicit Mix(unsigned seed) : random_(seed) {
        eager_.set_drawn_at_once(true);
        lazy_.keep_text_grid(true);
        eager_.keep_text_grid(true);
    }

    // One random operation on both surfaces; false when the images differ
    // after a read of the lazy one.
    bool step() {
        const int what = pick(27);
        if (what < 9) {
            // Mostly short texts in a crowded corner, where prints, reads and drawings meet.
            const bool crowded = pick(4) != 0;
            const std::string text = some_text(crowded ? 3 : 12);
            const int column = crowded ? pick(40) - 2 : pick(140) - 4, row = crowded ? pick(10) - 1 : pick(52) - 2;
            both([&](rt::Surface& s) {
                if (what < 6) s.locate(column, row);  // otherwise it goes on where the last print ended
                s.print(text);
            });
        } else if (what == 9) {
            const rt::Colour fg = palette[pick(4)], bg = palette[pick(4)];
            both([&](rt::Surface& s) {
                s.set_colour(fg);
                s.set_second_colour(bg);
            });
        } else if (what == 10) {
            const int font = pick(5);
            both([&](rt::Surface& s) {
                if (font < 2)
                    s.set_font(rt::FontFamily::mono, 14);
                else if (font == 2)
                    s.set_font(rt::FontFamily::mono, 12);
                else
                    s.set_font(rt::FontFamily::serif, font == 3 ? 14 : 16);
            });
        } else if (what == 11) {
            const bool transparent = pick(4) == 0;
            both([&](rt::Surface& s) { s.set_text_transparent(transparent); });
        } else if (what == 12) {
            const int x = pick(360) - 8, y = pick(180) - 6, w = pick(40), h = pick(24);
            both([&](rt::Surface& s) { s.filled_box(x, y, x + w, y + h); });
        } else if (what == 13) {
            const int x = pick(1040) - 8, y = pick(200) - 6, length = pick(200) - 100;
            const bool across = pick(2) == 0;
            both([&](rt::Surface& s) { s.line(x, y, across ? x + length : x, across ? y : y + length); });
        } else if (what == 14) {
            const int x = pick(1000), y = pick(740), w = pick(60), h = pick(60);
            both([&](rt::Surface& s) { s.rectangle(x, y, x + w, y + h); });
        } else if (what == 15) {
            const int x = pick(1024), y = pick(768);
            both([&](rt::Surface& s) { s.graphics_text(x, y, "???"); });
        } else if (what == 16) {
            const int x = pick(1024), y = pick(768);
            both([&](rt::Surface& s) { s.point(x, y); });
        } else if (what == 17 && pick(8) == 0) {
            both([](rt::Surface& s) { s.clear(); });
        } else if (what == 18) {
            const int width = 1 + pick(3);
            both([&](rt::Surface& s) { s.set_line_width(width); });
        } else if (what == 19) {
            const int style = pick(3);
            both([&](rt::Surface& s) { s.set_fill_style(style); });
        } else if (what == 20) {
            const int x = pick(1024), y = pick(768);
            both([&](rt::Surface& s) { s.draw_image(picture_, x, y, 30, 20); });
        } else if (what == 21 && pick(8) == 0) {
            both([](rt::Surface& s) {
                s.recolour([](rt::Rgb c) { return c ^ 0x00FF00; }, [](rt::Rgb c) { return c ^ 0x0000FF; });
            });
        } else if (what == 22) {
            // Copies taken between drawings, as a snapshot takes them, agree.
            kept_ = lazy_.image().copy();
            kept_pixels_ = eager_.image().copy();
        } else if (what == 25) {
            // A value table rewritten in place, as after every trial: labels
            // stand, values change a digit, grow or shrink.
            const int place = pick(3);
            const std::string text = std::string(place == 0 ? "T_A = " : "N_B = ") +
                                     std::to_string(pick(3) * 97 + pick(12)) +
                                     std::string(static_cast<std::size_t>(pick(2) * 4), ' ');
            both([&](rt::Surface& s) {
                s.locate(2 + 3 * place, 3 + place % 2);
                s.print(text);
            });
        } else if (what == 26) {
            // A look between prints, as the window's repaint takes one.
            both([](rt::Surface& s) { s.image(); });
        } else if (what >= 23 && pick(3) == 0) {
            return lazy_.image() == eager_.image() && windowed_.image() == eager_.image() &&
                   kept_.view() == kept_pixels_.view() && changes_reported();
        }
        return true;
    }

    // The window repaints only the area the surface reports: every pixel
    // changed since the last look must lie in it.
    bool changes_reported() {
        const rt::Rect reported = windowed_.take_changed_area();
        const rt::ImageView now = windowed_.image();
        for (int y = 0; y < now.height(); ++y) {
            const rt::Rgb* a = now.row(y);
            const rt::Rgb* b = last_look_.row(y);
            for (int x = 0; x < now.width(); ++x)
                if (a[x] != b[x] && !rt::Rect{x, y, 1, 1}.inside(reported)) return false;
        }
        last_look_ = now.copy();
        return true;
    }

    bool same() const {
        return lazy_.image() == eager_.image() && windowed_.image() == eager_.image() &&
               lazy_.text_grid().to_text() == eager_.text_grid().to_text();
    }

private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    std::string some_text(int most_pieces) {
        std::string text;
        for (int n = 1 + pick(most_pieces); n > 0; --n) text += pieces[pick(static_cast<int>(pieces.size()))];
        return text;
    }
    template <typename Do>
    void both(Do&& what) {
        what(lazy_);
        what(eager_);
        what(windowed_);
    }

    std::mt19937 random_;
    const rt::Image picture_{7, 5, 0xFF123456u};
    rt::Image kept_, kept_pixels_;
    rt::Surface lazy_{1024, 768};
    rt::Surface eager_{1024, 768};
    rt::Surface windowed_{1024, 768};
    rt::Image last_look_ = windowed_.image().copy();
};

// Cells drawn over by a box stay covered when later prints in the row leave
// them out, however many prints wait to be drawn.
TEST(LazyCells, CellsCoveredByOtherDrawingStayCoveredUntilPrintedAgain) {
    rt::Surface lazy(1024, 768), eager(1024, 768);
    eager.set_drawn_at_once(true);
    for (rt::Surface* s : {&lazy, &eager}) {
        s->set_font(rt::FontFamily::mono, 14);
        s->set_colour(0xFFFFFF);
        s->set_second_colour(0xEEA833);
        s->locate(10, 2);
        s->print("abc");
        s->image();
        s->filled_box(80, 32, 103, 47);  // over "abc"
        s->locate(2, 2);
        s->print("x");
        s->locate(20, 2);
        s->print("y");
    }
    EXPECT_EQ(lazy.image(), eager.image());
}

// A text printed again after another one came over it must come back on top.
TEST(LazyCells, ATextPrintedAgainOverAnotherComesBackOnTop) {
    rt::Surface lazy(1024, 768), eager(1024, 768);
    eager.set_drawn_at_once(true);
    for (rt::Surface* s : {&lazy, &eager}) {
        s->set_colour(0xFFFFFF);
        s->set_second_colour(0xEEA833);
        for (const auto& [column, text] : {std::pair{2, "Versuch Nr. 1"}, {4, "XYZ"}, {2, "Versuch Nr. 1"}}) {
            s->locate(column, 5);
            s->print(text);
        }
    }
    EXPECT_EQ(lazy.image(), eager.image());
}

// Two entries of a table whose backgrounds meet, rewritten round after round
// and looked at after each: where the later one comes over the earlier, it
// shows, also in rounds that rewrite only one of them.
TEST(LazyCells, TableEntriesWhoseBackgroundsMeetShowTheLaterOneOnTop) {
    rt::Surface lazy(1024, 768), eager(1024, 768);
    eager.set_drawn_at_once(true);
    const struct Round {
        const char* first;
        const char* second;  // nullptr: not rewritten
    } rounds[] = {{"Nmax_A =   400        ", "F_A =   -81        "}, {"Nmax_A =   400        ", "F_A =   -81        "},
                  {"Nmax_A =   400        ", "F_A =   -83        "}, {"Nmax_A =   400        ", nullptr},
                  {"Nmax_A =   7        ", "F_A =   -83        "},   {"Nmax_A =   400        ", "F_A =   -9        "}};
    for (const Round& round : rounds) {
        for (rt::Surface* s : {&lazy, &eager}) {
            s->set_colour(0x000000);
            s->set_second_colour(0xEEA833);
            s->locate(2, 31);
            s->print(round.first);
            if (round.second == nullptr) continue;
            s->set_colour(0x0000FF);
            s->locate(17, 31);
            s->print(round.second);
        }
        ASSERT_EQ(lazy.image(), eager.image()) << round.first;
    }
}

// A waiting text is dropped only when a later one covers it completely: a
// shorter value printed over a longer one leaves the longer one's tail.
TEST(LazyCells, AShorterTextOverAWaitingLongerOneLeavesItsTail) {
    rt::Surface lazy(1024, 768), eager(1024, 768);
    eager.set_drawn_at_once(true);
    for (rt::Surface* s : {&lazy, &eager}) {
        s->set_colour(0xFFFFFF);
        s->set_second_colour(0xEEA833);
        for (const char* text : {"T_A = 261,47", "T_A = 9"}) {
            s->locate(3, 7);
            s->print(text);
        }
    }
    EXPECT_EQ(lazy.image(), eager.image());
}

TEST(LazyCells, AnyMixOfDrawingLooksAsIfEveryPrintWereDrawnAtOnce) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        Mix mix(seed);
        for (int i = 0; i < 600; ++i) ASSERT_TRUE(mix.step()) << "seed " << seed << ", operation " << i;
        EXPECT_TRUE(mix.same()) << "seed " << seed;
    }
}

}  // namespace
