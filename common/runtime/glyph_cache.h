#pragma once
// Glyphs of proportional text, rendered once and then copied or blended into
// the surface. Shaping and drawing a text through QPainter costs tens of
// thousands of instructions per call; the analyses print their lines at
// every step.

#include <QFont>
#include <QHash>
#include <QImage>

#include <cstdint>
#include <unordered_map>

namespace rt {

// A glyph's ink box, placed relative to the pen position on the baseline.
struct GlyphMask {
    QImage coverage;  // Format_Grayscale8: 0 no ink, 255 full ink
    int left = 0;
    int top = 0;
};

// The same box in one pair of colours: the ink over the text background,
// alpha 0 where there is no ink.
struct PaintedGlyph {
    QImage pixels;  // Format_ARGB32
    int left = 0;
    int top = 0;
};

class GlyphCache {
public:
    // `font_key` tells fonts apart (family and pixel size).
    const GlyphMask& mask(const QFont& font, int font_key, char32_t ch);
    const PaintedGlyph& painted(const QFont& font, int font_key, char32_t ch, QRgb ink, QRgb background);

private:
    std::unordered_map<int, QHash<char32_t, GlyphMask>> masks_;
    std::unordered_map<std::uint64_t, QHash<char32_t, PaintedGlyph>> painted_;
};

// Blends the mask in `ink` over whatever the image shows (transparent text).
void blend_glyph(QImage& image, const GlyphMask& mask, int x, int baseline, QRgb ink);
// Copies the inked pixels of a painted glyph (text over its own background).
void copy_glyph(QImage& image, const PaintedGlyph& glyph, int x, int baseline);

}  // namespace rt
