#include "common/runtime/glyph_cache.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

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
    if (last_masks_ == nullptr || font_key != last_mask_font_) {
        last_mask_font_ = font_key;
        last_masks_ = &masks_[font_key];
    }
    Masks& masks = *last_masks_;
    if (ch < masks.latin1.size() && masks.latin1[ch] != nullptr) return *masks.latin1[ch];
    const auto found = masks.glyphs.find(ch);
    if (found != masks.glyphs.end()) return found->second;

    const QString text = QString::fromStdU32String(std::u32string(1, ch));
    // Antialiasing reaches a pixel past the outline: one pixel of margin.
    const QRect box = QFontMetrics(font).boundingRect(text).adjusted(-1, -1, 1, 1);
    QImage canvas(std::max(1, box.width()), std::max(1, box.height()), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPoint(-box.left(), -box.top()), text);
    painter.end();
    GlyphMask made{canvas.convertToFormat(QImage::Format_Grayscale8), box.left(), box.top(), {}};
    for (int y = 0; y < made.coverage.height(); ++y) {
        const uchar* a = made.coverage.constScanLine(y);
        for (int x = 0; x < made.coverage.width(); ++x) {
            if (a[x] == 0) continue;
            InkBox& ink = made.ink;
            if (ink.empty()) ink = InkBox{made.left + x, made.left + x + 1, made.top + y, made.top + y + 1};
            ink.left = std::min(ink.left, made.left + x);
            ink.right = std::max(ink.right, made.left + x + 1);
            ink.top = std::min(ink.top, made.top + y);
            ink.bottom = std::max(ink.bottom, made.top + y + 1);
        }
    }
    const GlyphMask& kept = masks.glyphs.emplace(ch, std::move(made)).first->second;
    if (ch < masks.latin1.size()) masks.latin1[ch] = &kept;
    return kept;
}

const PaintedGlyph& GlyphCache::painted(const QFont& font, int font_key, char32_t ch, QRgb ink, QRgb background) {
    const std::uint64_t palette = (static_cast<std::uint64_t>(font_key) << 48) ^
                                  (static_cast<std::uint64_t>(ink & 0xFFFFFF) << 24) ^ (background & 0xFFFFFF);
    if (last_painted_ == nullptr || palette != last_palette_) {
        last_palette_ = palette;
        last_painted_ = &painted_[palette];
    }
    Palette& glyphs = *last_painted_;
    if (ch < glyphs.latin1.size() && glyphs.latin1[ch] != nullptr) return *glyphs.latin1[ch];
    const auto found = glyphs.glyphs.find(ch);
    if (found != glyphs.glyphs.end()) return found->second;

    const GlyphMask& m = mask(font, font_key, ch);
    PaintedGlyph glyph{
        QImage(m.coverage.size(), QImage::Format_ARGB32), m.left, m.top, {}, {}, m.ink.left, m.ink.right};
    for (int y = 0; y < glyph.pixels.height(); ++y) {
        const uchar* a = m.coverage.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(glyph.pixels.scanLine(y));
        for (int x = 0; x < glyph.pixels.width(); ++x) {
            out[x] = qRgba(mix(qRed(background), qRed(ink), a[x]), mix(qGreen(background), qGreen(ink), a[x]),
                           mix(qBlue(background), qBlue(ink), a[x]), a[x]);
            if (a[x] == 0) continue;
            if (x == 0 || a[x - 1] == 0)
                glyph.runs.push_back(InkRun{static_cast<std::int16_t>(y), static_cast<std::int16_t>(x), 0,
                                            static_cast<std::int32_t>(glyph.ink.size())});
            ++glyph.runs.back().length;
            glyph.ink.push_back(out[x] | 0xFF000000u);
        }
    }
    const PaintedGlyph& made = glyphs.glyphs.emplace(ch, std::move(glyph)).first->second;
    if (ch < glyphs.latin1.size()) glyphs.latin1[ch] = &made;
    return made;
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

void copy_glyph(const pixels::Target& image, const PaintedGlyph& glyph, int x, int baseline) {
    const int left = x + glyph.left, top = baseline + glyph.top;
    const int width = glyph.pixels.width(), height = glyph.pixels.height();
    if (left >= 0 && top >= 0 && left + width <= image.width && top + height <= image.height) {
        const QRgb* const ink = glyph.ink.data();
        for (const InkRun& run : glyph.runs) {
            QRgb* const to = image.row(top + run.y) + left + run.x;
            const QRgb* const from = ink + run.from;
            // Most runs are a few pixels: moved in place, not by a call.
            switch (run.length) {
            case 4: to[3] = from[3]; [[fallthrough]];
            case 3: to[2] = from[2]; [[fallthrough]];
            case 2: to[1] = from[1]; [[fallthrough]];
            case 1: to[0] = from[0]; break;
            default: std::memcpy(to, from, static_cast<std::size_t>(run.length) * sizeof(QRgb));
            }
        }
        return;
    }
    // Cut by the image's edge: pixel by pixel.
    const int x0 = std::max(0, left), x1 = std::min(image.width, left + width);
    const int y0 = std::max(0, top), y1 = std::min(image.height, top + height);
    const uchar* const source = glyph.pixels.constBits();
    const qsizetype source_stride = glyph.pixels.bytesPerLine();
    for (int y = y0; y < y1; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source + (y - top) * source_stride) + (x0 - left);
        QRgb* to = image.row(y) + x0;
        for (int px = x0; px < x1; ++px, ++from, ++to)
            if (qAlpha(*from) != 0) *to = *from | 0xFF000000u;
    }
}

}  // namespace rt
