#pragma once
// Aliased lines and box outlines written straight into 32-bit pixels, with
// exactly the pixels Qt 6's raster painter (Qt 6.4) gives for the calls the
// surface makes today on a Format_RGB32 image, without a painter or any Qt
// type: the browser edition draws with the same code.
//
// The rules, re-derived from Qt's raster engine (tests/desktop/
// raster_lines_test.cpp compares every shape with Qt's painter pixel for pixel):
//
// thin_line: a pen of width 1 with square caps, drawLine between points: Qt's
//   cosmetic stroker. The line is first clipped in doubles to the image
//   grown by one pixel on the left and top and two on the right and bottom
//   (a clipped end keeps its fractional coordinate), then converted to 26.6
//   fixed point by truncation towards zero. The longer axis decides: along
//   it the square cap adds 32/64 at both ends, and the line covers the
//   pixels from (a + 32) >> 6 to before (b + 32) >> 6; across it the
//   position steps in 16.16 by the slope truncated by integer division,
//   taken at the first pixel's leading edge (at its centre for a positive
//   slope), the capped start moved back by half a step. Equal end points give the one pixel
//   there; pixels off the image are skipped one by one.
// wide_line: a pen of width w >= 2 with flat caps: the rasterizer's rasterizeLine,
//   the line as a parallelogram of relative width w / length (the length is
//   glibc's hypot, see line_length), clipped in doubles axis by axis to the
//   image grown by the half width across (Qt 6's axis-by-axis clip, not Qt
//   5's parametric one), then either an axis-aligned box (the pixels whose
//   centres lie in (left, right] x (top, bottom]) or the four corners
//   snapped down to 1/64 and the rows between them scanned from the row
//   centres, the edges in 16.16 stepped by their slopes. Equal end points
//   draw nothing.
// box_outline: a pen of width w with miter joins, drawRect of the real box
//   (left, top, right - left, bottom - top) with no brush. Width 1 is the cosmetic
//   stroker's closed polygon (with its rules for the pixel shared by two
//   edges); wider outlines are the stroker's outline filled by the scan
//   converter: the pixels whose centres lie in the box grown by w/2, half
//   open as above, and not in the box shrunk by w/2. A box of no width or no
//   height is a line stroked there and back, and the miter joins where it
//   turns back reach the miter limit, 2 w beyond its ends; a box of a
//   single point draws nothing.
//
// All three clip to the image, accept end points in either order and far
// off the image (any int), and write `colour` as it is (0xFFRRGGBB for an
// opaque RGB32 pixel). They allocate nothing and call nothing per pixel.
// Images up to 32767 pixels a side (16.16 positions, as in Qt).
// The surface fills a box's inside itself, before its outline.

#include "common/runtime/image.h"

#include <cstddef>
#include <cstdint>

namespace rt::raster_lines {

// Columns [x0, x1), rows [y0, y1); empty when x0 >= x1 or y0 >= y1.
struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

// What a drawing did: whether a pixel got a new value, and a box inside the
// image holding every pixel it wrote (empty when it wrote none), for the
// caller's changed area.
struct Drawn {
    bool changed = false;
    Box area;
};

// From (x1, y1) to (x2, y2), both end pixels included (width 1, square cap).
Drawn thin_line(const PixelRows& image, int x1, int y1, int x2, int y2, std::uint32_t colour);

// From (x1, y1) to (x2, y2), `width` >= 2 pixels wide, ending flat at the end
// points. A vertical line covers the rows from the upper end point to the
// row before the lower one, columns x - width/2 to x + (width-1)/2.
Drawn wide_line(const PixelRows& image, int x1, int y1, int x2, int y2, int width, std::uint32_t colour);

// Width <= 1: thin_line, wider: wide_line, as the surface chooses its cap.
Drawn line(const PixelRows& image, int x1, int y1, int x2, int y2, int width, std::uint32_t colour);

// The outline, `width` >= 1 pixels wide, centred on the edges of the box with
// corners (left, top) and (right, bottom), both included (left <= right,
// top <= bottom): what Surface::rectangle draws for a box of
// (right - left + 1) x (bottom - top + 1) pixels.
Drawn box_outline(const PixelRows& image, int left, int top, int right, int bottom, int width, std::uint32_t colour);

// The length of (dx, dy) as Qt's line length gives it on Debian 12
// (glibc's hypot), computed without the C library so that every platform
// gets the same: wide lines take their relative width from it. Exact for
// the whole numbers the lines have (tests compare it with std::hypot).
double line_length(double dx, double dy);

}  // namespace rt::raster_lines
