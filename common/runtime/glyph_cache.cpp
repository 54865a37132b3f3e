#include "common/runtime/glyph_cache.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace rt {
namespace {

int mix(int from, int to, int alpha) { return from + ((to - from) * alpha + 127) / 255; }

// The part of a box at (left, top) that lies inside the image.
struct Clip {
    int x0, x1, y0, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Clip clip(const QImage& image, int left, int top, const QSize& size) {
    return {std::max(0, left), std::min(image.width(), left + size.width()), std::max(0, top),
            std::min(image.height(), top + size.height())};
}

}  // namespace

const GlyphMask& GlyphCache::mask(const QFont& font, int font_key, char32_t ch) {
    auto& masks = masks_[font_key];
    const auto found = masks.constFind(ch);
    if (found != masks.constEnd()) return found.value();

    const QString text = QString::fromStdU32String(std::u32string(1, ch));
    // Antialiasing reaches a pixel past the outline: one pixel of margin.
    const QRect ink = QFontMetrics(font).boundingRect(text).adjusted(-1, -1, 1, 1);
    QImage canvas(std::max(1, ink.width()), std::max(1, ink.height()), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPoint(-ink.left(), -ink.top()), text);
    painter.end();
    return masks.insert(ch, GlyphMask{canvas.convertToFormat(QImage::Format_Grayscale8), ink.left(), ink.top()})
        .value();
}

const PaintedGlyph& GlyphCache::painted(const QFont& font, int font_key, char32_t ch, QRgb ink, QRgb background) {
    const std::uint64_t palette = (static_cast<std::uint64_t>(font_key) << 48) ^
                                  (static_cast<std::uint64_t>(ink & 0xFFFFFF) << 24) ^ (background & 0xFFFFFF);
    auto& glyphs = painted_[palette];
    const auto found = glyphs.constFind(ch);
    if (found != glyphs.constEnd()) return found.value();

    const GlyphMask& m = mask(font, font_key, ch);
    QImage pixels(m.coverage.size(), QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* a = m.coverage.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            out[x] = qRgba(mix(qRed(background), qRed(ink), a[x]), mix(qGreen(background), qGreen(ink), a[x]),
                           mix(qBlue(background), qBlue(ink), a[x]), a[x]);
    }
    return glyphs.insert(ch, PaintedGlyph{pixels, m.left, m.top}).value();
}

void blend_glyph(QImage& image, const GlyphMask& mask, int x, int baseline, QRgb ink) {
    const int left = x + mask.left, top = baseline + mask.top;
    const Clip c = clip(image, left, top, mask.coverage.size());
    if (c.empty()) return;
    for (int y = c.y0; y < c.y1; ++y) {
        const uchar* a = mask.coverage.constScanLine(y - top) + (c.x0 - left);
        auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(y)) + c.x0;
        for (int px = c.x0; px < c.x1; ++px, ++a, ++pixel)
            if (*a != 0)
                *pixel = qRgb(mix(qRed(*pixel), qRed(ink), *a), mix(qGreen(*pixel), qGreen(ink), *a),
                              mix(qBlue(*pixel), qBlue(ink), *a));
    }
}

void copy_glyph(QImage& image, const PaintedGlyph& glyph, int x, int baseline) {
    const int left = x + glyph.left, top = baseline + glyph.top;
    const Clip c = clip(image, left, top, glyph.pixels.size());
    if (c.empty()) return;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const uchar* const source = glyph.pixels.constBits();
    const qsizetype source_stride = glyph.pixels.bytesPerLine();
    for (int y = c.y0; y < c.y1; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source + (y - top) * source_stride) + (c.x0 - left);
        auto* to = reinterpret_cast<QRgb*>(bits + y * stride) + c.x0;
        for (int px = c.x0; px < c.x1; ++px, ++from, ++to)
            if (qAlpha(*from) != 0) *to = *from | 0xFF000000u;
    }
}

}  // namespace rt
