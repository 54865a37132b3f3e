#pragma once
// Glyphs of proportional text, made once from the font table and then
// copied or blended into the surface. The analyses print their lines at
// every step: a glyph in its pair of colours is a copy of its inked pixels.

#include "common/runtime/font_table.h"
#include "common/runtime/pixels.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace rt {

// Where a glyph has ink, relative to the pen position on the baseline:
// columns [left, right), rows [top, bottom); empty for a glyph without ink.
struct InkBox {
    int left = 0, right = 0, top = 0, bottom = 0;
    bool empty() const { return left >= right; }
};

// A glyph of the font table and the pixels of its mask that have ink.
struct GlyphMask {
    const Glyph* glyph = nullptr;
    InkBox ink;
};

// A row's stretch of inked pixels in a painted glyph's box.
struct InkRun {
    std::int16_t y = 0, x = 0, length = 0;
    std::int32_t from = 0;  // index of its first pixel in PaintedGlyph::ink
};

// The glyph's box in one pair of colours: the ink over the text background,
// alpha 0 where there is no ink. The inked pixels are also kept as runs, so
// that a copy moves them without testing every pixel of the box (a few
// hundred instructions instead of thousands per glyph).
struct PaintedGlyph {
    std::vector<std::uint32_t> pixels;  // width * height, 0xAARRGGBB
    int width = 0, height = 0;
    int left = 0;
    int top = 0;
    std::vector<InkRun> runs;
    std::vector<std::uint32_t> ink;  // opaque
    // The columns with ink, relative to the pen position: [ink_from, ink_to);
    // empty (ink_from >= ink_to) for a glyph without ink.
    int ink_from = 0;
    int ink_to = 0;
};

class GlyphCache {
public:
    // `font_key` tells faces apart (family and pixel size).
    const GlyphMask& mask(const FontFace& face, int font_key, char32_t ch);
    const PaintedGlyph& painted(const FontFace& face, int font_key, char32_t ch, std::uint32_t ink,
                                std::uint32_t background);

private:
    // The glyphs of one face in one pair of colours. Node-based maps: the
    // Latin-1 table points into them.
    struct Palette {
        std::unordered_map<char32_t, PaintedGlyph> glyphs;
        std::array<const PaintedGlyph*, 256> latin1{};
    };
    // The masks of one face; node-based for the same reason.
    struct Masks {
        std::unordered_map<char32_t, GlyphMask> glyphs;
        std::array<const GlyphMask*, 256> latin1{};
    };
    std::unordered_map<int, Masks> masks_;
    int last_mask_font_ = 0;
    Masks* last_masks_ = nullptr;
    std::unordered_map<std::uint64_t, Palette> painted_;
    // The palette asked for last: a line asks for one palette.
    std::uint64_t last_palette_ = 0;
    Palette* last_painted_ = nullptr;
};

// Blends the mask in `ink` over whatever the image shows (transparent text).
void blend_glyph(const PixelRows& image, const GlyphMask& mask, int x, int baseline, std::uint32_t ink);
// Copies the inked pixels of a painted glyph (text over its own background)
// that lie in `clip`, a part of the image.
void copy_glyph(const PixelRows& image, const PaintedGlyph& glyph, int x, int baseline, const Rect& clip);

}  // namespace rt
