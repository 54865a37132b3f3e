#pragma once
// The palettes applied to pixels: to a picture loaded while the projector
// colours are on, to the whole surface when they are switched, and to the
// copy that is printed or saved in print colours.

#include "common/runtime/image.h"
#include "common/runtime/pixel_recolour.h"
#include "common/runtime/projector_palette.h"

namespace rt {

class Surface;

// From one palette into another. Photos are darkened into the projector
// palette, lightened out of it, and kept as they are between the others.
PixelRecolour palette_change(Palette from, Palette to);

// Turns the picture into what the projector colours show: a photo darkened,
// so that it is dark under the light texts.
void darken_for_projector(Image& picture);

// A copy of the surface's picture, now shown in `shown`, in print colours.
Image in_print_colours(const Surface& surface, Palette shown);

}  // namespace rt
