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

}  // namespace rt

namespace rt::pixels {

// Fills the part of `area` inside the image.
bool fill(QImage& image, const QRect& area, QRgb colour);
// The one-pixel border of `box`, clipped.
bool outline(QImage& image, const QRect& box, QRgb colour);

}  // namespace rt::pixels
