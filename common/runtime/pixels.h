#pragma once
// Plain pixel writes into a 32-bit image for the shapes the programs
// draw most: solid boxes, one-pixel outlines and one-pixel horizontal or
// vertical lines. They give exactly the pixels of Qt's raster painter for
// the same shapes (the tests compare them) without the cost of beginning a
// painter, about 6,000 instructions even for a 2 x 2 dot. Each reports
// whether a pixel changed: redrawing what is already there needs no repaint
// and leaves the records of the text standing there valid.

#include "common/runtime/geometry.h"
#include "common/runtime/image.h"

namespace rt::pixels {

// Fills the part of `area` inside the image.
bool fill(const PixelRows& image, const Rect& area, Rgb colour);
// The same without looking at what was there: for areas that change anyway.
void paint(const PixelRows& image, const Rect& area, Rgb colour);
// The one-pixel border of `box`, clipped.
bool outline(const PixelRows& image, const Rect& box, Rgb colour);

}  // namespace rt::pixels
