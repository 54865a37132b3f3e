#include "common/runtime/text_grid.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(TextGrid, LaysTextIntoCellsAndOverwrites) {
    rt::TextGrid grid;
    grid.put(2, 1, U"Versuch Nr.1");
    grid.put(10, 1, U"X");
    grid.put(0, 3, U"ab  ");
    EXPECT_EQ(grid.to_text(), "\n  Versuch Xr.1\n\nab\n");
}

TEST(TextGrid, DropsCellsLeftOfTheGridAndKeepsUmlauts) {
    rt::TextGrid grid;
    grid.put(-2, 0, U"abcd");
    grid.put(0, 1, U"Nächster Versuch");
    EXPECT_EQ(grid.to_text(), "cd\nNächster Versuch\n");
    grid.clear();
    EXPECT_EQ(grid.to_text(), "");
}

TEST(Utf8, RoundTripsAndReplacesBrokenBytes) {
    const std::string text = "Häufigkeit ß € 𝄞";
    EXPECT_EQ(rt::u32_to_utf8(rt::utf8_to_u32(text)), text);
    EXPECT_EQ(rt::utf8_to_u32("a\xC3"), std::u32string(U"a\uFFFD"));
    EXPECT_EQ(rt::utf8_to_u32("\xFFz"), std::u32string(U"\uFFFDz"));
    EXPECT_EQ(rt::utf8_to_u32("Ä").size(), 1u);
    // Behind sixteen and more plain bytes, read in blocks, the rest is read as strictly.
    const std::string plain(20, 'a');
    EXPECT_EQ(rt::utf8_to_u32(plain + "\xC0\xAF"), std::u32string(20, U'a') + U"\uFFFD\uFFFD");
}

}  // namespace

namespace {

// Glyph positions of a serif-like text: 8 pixels a character in 11-pixel cells.
std::vector<int> narrow_glyphs(int column, std::size_t length) {
    std::vector<int> x(length + 1);
    for (std::size_t i = 0; i <= length; ++i) x[i] = column * 11 + 8 * static_cast<int>(i);
    return x;
}

TEST(TextGrid, TextBesideANarrowTextMovesRightInsteadOfHidingIt) {
    rt::TextGrid grid;
    const std::u32string sentence = U"Also Übergang von Raum A in Raum B.   ";
    grid.put(2, 0, sentence, narrow_glyphs(2, sentence.size()), true);
    // On the screen this starts at pixel 330, right of the sentence's last glyph (298).
    const std::u32string right = U"   Entropie_Max = 491,9";
    std::vector<int> x(right.size() + 1);
    for (std::size_t i = 0; i <= right.size(); ++i) x[i] = 330 + 8 * static_cast<int>(i);
    const int column = grid.put(30, 0, right, x, true);
    EXPECT_EQ(column, 37);
    EXPECT_EQ(grid.to_text(), "  Also Übergang von Raum A in Raum B.   Entropie_Max = 491,9\n");
}

TEST(TextGrid, WhatATextCoversInPixelsIsErased) {
    rt::TextGrid grid;
    const std::u32string old_value = U"T_A  = 7800";
    grid.put(2, 0, old_value, narrow_glyphs(2, old_value.size()), true);
    const std::u32string new_value = U"T_A  = 78        ";
    grid.put(2, 0, new_value, narrow_glyphs(2, new_value.size()), true);
    EXPECT_EQ(grid.to_text(), "  T_A  = 78\n");
    // Trailing blanks of a later text never push it past a visible neighbour.
    const std::u32string neighbour = U"U_A = 300";
    grid.put(17, 0, neighbour, narrow_glyphs(17, neighbour.size()), true);
    EXPECT_EQ(grid.put(2, 0, new_value, narrow_glyphs(2, new_value.size()), true), 2);
    EXPECT_EQ(grid.to_text(), "  T_A  = 78      U_A = 300\n");
}

TEST(TextGrid, TransparentTextErasesNothing) {
    rt::TextGrid grid;
    grid.put(0, 0, U"abc");
    grid.put(0, 0, U"   ", {0, 1, 2, 3}, false);
    EXPECT_EQ(grid.to_text(), "abc\n");
}

// Monospace text takes its cells by a shortcut in rows that hold only such
// text; mixed with narrow text in any order it must lay out as put() does.
TEST(TextGrid, MonospaceShortcutLaysOutAsThePlainRule) {
    std::mt19937 random(3);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::u32string words[] = {U"..*..", U"ab", U"   ", U"Nächster Versuch", U"100 42  "};
    rt::TextGrid shortcut, plain;
    for (int i = 0; i < 3000; ++i) {
        const std::u32string text = words[pick(5)];
        const int row = pick(6), column = pick(30) - 2;
        if (pick(6) == 0) {
            const std::vector<int> x = narrow_glyphs(column, text.size());
            ASSERT_EQ(shortcut.put(column, row, text, x, true), plain.put(column, row, text, x, true));
        } else {
            const int width = pick(8) == 0 ? 7 : 8, x = pick(10) == 0 ? column * width + 3 : column * width;
            const bool blank = pick(10) == 0;
            std::vector<int> glyph_x(text.size() + 1);
            for (std::size_t k = 0; k < glyph_x.size(); ++k) glyph_x[k] = x + static_cast<int>(k) * width;
            const std::u32string shown = blank ? std::u32string(text.size(), U' ') : text;
            ASSERT_EQ(shortcut.put_cells(column, row, text.data(), text.size(), x, width, blank),
                      plain.put(column, row, shown, glyph_x, true));
        }
        if (pick(200) == 0) {
            shortcut.clear();
            plain.clear();
        }
        ASSERT_EQ(shortcut.to_text(), plain.to_text()) << "after put " << i;
    }
}

}  // namespace
