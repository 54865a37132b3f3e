#pragma once
// Monospace text as cells. A print only records the character and the
// colours of each cell it covers; glyph pixels are copied into the image when
// someone looks at it (a repaint, a snapshot, a saved picture) or before any
// other drawing touches the image. A screen shows at most about 60 frames a
// second, so a simulation printing a million lines a second has nearly all of
// them overwritten as cells, never as pixels. Whenever the image is read it
// equals the image of copying every print at once.
//
// Each cell keeps what it should show (`wanted`) and what the image shows
// there (`shown`, unknown once other drawing may have covered it). A print
// that changes no cell's look changes nothing; rows remember the range of
// cells printed since their last drawing.

#include "common/runtime/font_table.h"
#include "common/runtime/pixels.h"
#include "common/runtime/styles.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace rt {

class MonoCells {
public:
    // Cells of the given size from the image's top-left corner; forgets every
    // record. Draw what is pending first.
    void set_geometry(int image_width, int image_height, int cell_width, int cell_height);
    bool has_geometry(int cell_width, int cell_height) const {
        return cell_width == cell_width_ && cell_height == cell_height_;
    }

    // A small number for text colour, background colour and font. When the
    // numbers run out, pending cells are drawn into `image` and every record
    // is forgotten, as after other drawing.
    std::uint32_t style(Colour ink, Colour paper, const FontFace& face, const PixelRows& image) {
        const int pixel_size = face.pixel_size();
        // The two styles asked for last at hand: a line with one atom in red
        // switches between two.
        const std::uint64_t key = style_key(ink, paper, pixel_size);
        if (key == recent_keys_[0]) return recent_styles_[0];
        if (key == recent_keys_[1]) {
            std::swap(recent_keys_[0], recent_keys_[1]);
            std::swap(recent_styles_[0], recent_styles_[1]);
            return recent_styles_[0];
        }
        return find_style(ink, paper, face, image);
    }

    // Records `count` characters from cell (column, row) on; cells outside
    // the image are left out. True when the image is to change.
    bool put(int column, int row, const char32_t* text, std::size_t count, std::uint32_t style);

    bool pending() const { return !dirty_rows_.empty(); }
    // Copies the glyphs of the recorded cells whose look changed.
    void draw_pending(const PixelRows& image);

    // The glyph cells of a text at any pixel position, drawn at once.
    void draw_at(const PixelRows& image, int x, int y, const char32_t* text, std::size_t count, std::uint32_t style);

    // Something else was drawn into the image: from now on no cell is known
    // to show anything. Only when nothing is pending.
    void image_overdrawn() { ++generation_; }
    // The image was cleared: nothing is pending and nothing shown.
    void forget_all();

private:
    // A cell's pixels, row by row: the glyph in ink over the paper.
    using CellImage = std::vector<std::uint32_t>;
    struct Style {
        Colour ink, paper;
        const FontFace* face;
        std::array<CellImage, 256> latin1;  // painted on first use
        std::unordered_map<char32_t, CellImage> others;
    };
    const CellImage& glyph(std::uint32_t style, char32_t ch);
    CellImage render(const Style& s, char32_t ch) const;
    void copy_cell(const PixelRows& image, int x, int y, const CellImage& glyph) const;
    // Brings a row's records up to the current generation.
    void refresh(int row);

    // A cell's look in 32 bits, so that a print compares and stores four or
    // eight cells per vector instruction: the character in the low 21 bits
    // (UTF-8 decoding gives no more), style + 1 above; 0 for no look.
    static constexpr int char_bits = 21;
    static constexpr std::uint32_t char_mask = (1u << char_bits) - 1;
    // Keeps the all-ones value free for `unknown`.
    static constexpr std::uint32_t max_styles = (1u << (32 - char_bits)) - 2;
    static constexpr std::uint32_t unknown = ~std::uint32_t{0};
    static std::uint32_t look(char32_t ch, std::uint32_t style) {
        return (ch & char_mask) | ((style + 1) << char_bits);
    }

    int cell_width_ = 0, cell_height_ = 0;
    int columns_ = 0, rows_ = 0;
    std::vector<std::uint32_t> wanted_;
    std::vector<std::uint32_t> shown_;
    std::vector<std::uint32_t> row_generation_;
    std::vector<int> dirty_from_, dirty_to_;  // per row, [from, to); empty when from >= to
    std::vector<int> dirty_rows_;
    std::uint32_t generation_ = 1;

    std::vector<std::unique_ptr<Style>> styles_;
    std::vector<std::uint64_t> style_keys_;  // ink, paper and pixel size of each style
    static std::uint64_t style_key(Colour ink, Colour paper, int pixel_size) {
        return static_cast<std::uint64_t>(ink & 0xFFFFFF) | (static_cast<std::uint64_t>(paper & 0xFFFFFF) << 24) |
               (static_cast<std::uint64_t>(pixel_size & 0xFFFF) << 48);
    }
    std::uint32_t find_style(Colour ink, Colour paper, const FontFace& face, const PixelRows& image);
    void forget_recent_styles() { recent_keys_ = {~std::uint64_t{0}, ~std::uint64_t{0}}; }
    std::array<std::uint64_t, 2> recent_keys_{~std::uint64_t{0}, ~std::uint64_t{0}};
    std::array<std::uint32_t, 2> recent_styles_{};
};

}  // namespace rt
