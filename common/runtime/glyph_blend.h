#pragma once
// Blending a glyph's coverage mask (font_table.h) in an ink colour into
// 32-bit pixels 0xAARRGGBB (the layout of Qt's Format_RGB32, alpha 0xFF).
// Today's drawing makes text pixels in two ways, and each has its rule;
// both are reproduced bit for bit (tests/desktop/glyph_blend_test.cpp
// compares them with Qt's painting for every glyph of the table).
//
// Proportional text (glyph_cache.cpp) blends the mask with the surface's
// own `mix`, per channel  from + ((to - from) * a + 127) / 255  in C++
// integer division, which truncates towards zero. So full coverage over a
// lighter background stops one short of the ink: mix(51, 0, 255) == 1.
// That is what the screens show today, and what the golden screens hold.
//
// Monospace cells (mono_cells.cpp) were painted by Qt's painter in ink
// over the paper colour, and Qt's raster engine blends grey coverage a into
// an opaque pixel as  BYTE_MUL(ink, a) + BYTE_MUL(under, 255 - a)  per
// channel, BYTE_MUL(x, a) = (t + (t >> 8) + 0x80) >> 8 with t = x * a (a
// rounded x * a / 255), and a = 255 gives the ink itself. It would blend
// gamma-corrected only for fonts whose engine asks for it
// (its font engine's expectsGammaCorrectedBlending: in Qt's FreeType engine only
// fonts with a stem-darkening driver, i.e. CFF; Liberation is TrueType), on
// the offscreen and the xcb platform alike; measured: painting white over
// black gives exactly the coverage Qt paints onto a transparent image.

#include "common/runtime/font_table.h"
#include "common/runtime/image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace rt::glyph_blend {

// One channel (0..255) of `from` moved towards `to` by coverage a (0..255).
constexpr int mix(int from, int to, int a) { return from + ((to - from) * a + 127) / 255; }

constexpr int byte_mul(int x, int a) {
    const int t = x * a;
    return (t + (t >> 8) + 0x80) >> 8;
}
constexpr int raster(int under, int ink, int a) { return a == 255 ? ink : byte_mul(ink, a) + byte_mul(under, 255 - a); }

enum class Rule {
    surface_mix,  // proportional text
    qt_raster,    // monospace cells
};

constexpr std::uint32_t blend_pixel(std::uint32_t under, std::uint32_t ink, int a, Rule rule) {
    const auto channel = [&](int shift) {
        const int u = static_cast<int>((under >> shift) & 0xFF), i = static_cast<int>((ink >> shift) & 0xFF);
        return static_cast<std::uint32_t>(rule == Rule::surface_mix ? mix(u, i, a) : raster(u, i, a)) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

// A box of pixels: columns [x0, x1), rows [y0, y1).
struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Blends `glyph` with its pen at (pen_x, baseline) into the pixels inside
// `clip` (and inside the image); pixels without coverage stay as they are.
inline void blend_glyph(const PixelRows& image, const Glyph& glyph, int pen_x, int baseline, std::uint32_t ink,
                        Rule rule, Box clip) {
    const int left = pen_x + glyph.left, top = baseline + glyph.top;
    const int x0 = std::max({0, clip.x0, left}), x1 = std::min({image.width, clip.x1, left + glyph.width});
    const int y0 = std::max({0, clip.y0, top}), y1 = std::min({image.height, clip.y1, top + glyph.height});
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* a = glyph.coverage + static_cast<std::ptrdiff_t>(y - top) * glyph.width + (x0 - left);
        std::uint32_t* pixel = image.row(y) + x0;
        for (int x = x0; x < x1; ++x, ++a, ++pixel)
            if (*a != 0) *pixel = blend_pixel(*pixel, ink, *a, rule);
    }
}

// A monospace cell as mono_cells.cpp paints it: the cell at (x, y) filled
// with paper, the glyph in ink on the cell's baseline, cut at the cell.
inline void paint_cell(const PixelRows& image, const Glyph& glyph, int x, int y, const FaceCell& cell,
                       std::uint32_t ink, std::uint32_t paper) {
    const Box box{x, y, x + cell.width, y + cell.height};
    const int x0 = std::max(0, box.x0), x1 = std::min(image.width, box.x1);
    for (int row = std::max(0, box.y0); x0 < x1 && row < std::min(image.height, box.y1); ++row)
        std::fill(image.row(row) + x0, image.row(row) + x1, paper);
    blend_glyph(image, glyph, x, y + cell.baseline, ink, Rule::qt_raster, box);
}

}  // namespace rt::glyph_blend
