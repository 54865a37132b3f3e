#pragma once
// The projector palette applied to pixels: to a picture loaded while the
// projector colours are on, and to the whole surface when they are switched.

#include "common/runtime/image.h"
#include "common/runtime/pixel_recolour.h"

namespace rt {

// From the normal palette to the projector palette, or back.
PixelRecolour palette_change(bool to_projector);

// Turns the picture into what the projector colours show: a photo darkened,
// so that it is dark under the light texts.
void darken_for_projector(Image& picture);

}  // namespace rt
