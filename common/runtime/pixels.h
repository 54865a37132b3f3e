#pragma once
// Plain pixel writes into a Format_RGB32 image for the shapes the programs
// draw most: solid boxes, one-pixel outlines and one-pixel horizontal or
// vertical lines. They give exactly the pixels of Qt's raster painter for
// the same shapes (the tests compare them) without the cost of beginning a
// painter, about 6,000 instructions even for a 2 x 2 dot. Each reports
// whether a pixel changed: redrawing what is already there needs no repaint
// and leaves the records of the text standing there valid.

#include "common/runtime/styles.h"

#include <QColor>
#include <QImage>
#include <QRect>

namespace rt {

QColor to_qcolor(Colour c);
// The opaque pixel value of a colour, as to_qcolor(c).rgb() gives it.
inline QRgb to_rgb(Colour c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace rt

namespace rt::pixels {

// An image's pixels, fetched once for many writes: every bits() or
// scanLine() call checks the image for sharing.
struct Target {
    explicit Target(QImage& image)
        : bits(image.bits()), stride(image.bytesPerLine()), width(image.width()), height(image.height()) {}
    Target(uchar* bits, qsizetype stride, int width, int height)
        : bits(bits), stride(stride), width(width), height(height) {}
    QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits + y * stride); }
    uchar* bits;
    qsizetype stride;
    int width, height;
};

// Fills the part of `area` inside the image.
bool fill(const Target& image, const QRect& area, QRgb colour);
// The same without looking at what was there: for areas that change anyway.
void paint(const Target& image, const QRect& area, QRgb colour);
// The one-pixel border of `box`, clipped.
bool outline(const Target& image, const QRect& box, QRgb colour);

}  // namespace rt::pixels
