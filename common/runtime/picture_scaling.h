#pragma once
// A picture drawn into a box of another size: smooth (bilinear, sampled at
// pixel centres), in integer arithmetic so that every platform gives the
// same pixels. At its own size, as the title picture is drawn on the
// programs' 1024 x 768 surface, it is copied pixel for pixel.

#include "common/runtime/geometry.h"
#include "common/runtime/image.h"

namespace rt {

// Draws `picture` scaled into `box`; only the part of the box inside
// `target` is written.
void draw_scaled(const ImageView& picture, const PixelRows& target, const Rect& box);

}  // namespace rt
