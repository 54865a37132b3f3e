#pragma once
// The characters shown in the text cells, as a reader of the screen would
// copy them out: one character per cell, each remembering the pixels its
// glyph covers.
//
// A text lies in the cells from its start cell, one character per cell. Serif
// text is narrower than its cells, so a later text at a cell to the right may
// stand beside it on the screen while its cells would overlap the earlier
// ones. The grid then keeps both readable: what the later text covers in
// pixels is erased, and where its characters would overwrite characters that
// are still visible, it moves right just past them. Monospace text has
// glyphs exactly in its cells, so there the plain cell rule holds.

#include <string>
#include <string_view>
#include <vector>

namespace rt {

class TextGrid {
public:
    // Rows and columns from here on lie far off any surface; text there is
    // not recorded, so a print far away allocates nothing.
    static constexpr int max_cells = 1 << 15;

    // Lays `text` into row `row` from `column`. `glyph_x` holds the pixel
    // position where each character starts and, last, where the text ends
    // (text.size() + 1 values). An opaque text erases whatever it covers in
    // pixels. Returns the column where the text actually starts.
    int put(int column, int row, std::u32string_view text, const std::vector<int>& glyph_x, bool opaque);
    // Cells as pixels of width 1: the plain one-character-per-cell rule.
    int put(int column, int row, const std::u32string& text);
    // Monospace text: glyphs `cell_width` pixels apart from pixel x, opaque;
    // as blanks when `blank` (text in its own background colour). In a row
    // that holds only such text on cells of that width, the glyphs lie
    // exactly in their cells and the text simply takes its cells.
    int put_cells(int column, int row, const char32_t* text, std::size_t count, int x, int cell_width, bool blank);
    void clear() { rows_.clear(); }
    // One line per row from row 0, trailing blanks trimmed, UTF-8.
    std::string to_text() const;
    std::u32string row(int r) const;

private:
    // The cells of a row, by column: the character and the pixels its glyph
    // covers, [x0, x1). Three arrays rather than one of records, so that the
    // search for covered cells looks at four cells per step.
    // A row holding only monospace text on cells of one width keeps just its
    // characters (cell c covers pixels [c * width, (c + 1) * width)); the
    // first other text gives it pixel ranges.
    struct Row {
        std::u32string ch;
        std::vector<int> x0, x1;
        // The cell width of a row with characters only; any_width while the
        // row is empty, 0 for a row with pixel ranges.
        int aligned_to = any_width;
    };
    static constexpr int any_width = -1;
    static void give_pixel_ranges(Row& row);
    // Blanks the visible cells that share a pixel with [left, right).
    static void erase_covered(Row& row, int left, int right);
    std::vector<Row> rows_;
};

std::u32string utf8_to_u32(const std::string& text);
// The same into the start of `buffer`, which only ever grows: no allocation
// and no clearing per text. Returns the number of characters.
std::size_t utf8_to_u32(const std::string& text, std::u32string& buffer);
std::string u32_to_utf8(const std::u32string& text);

}  // namespace rt
