#pragma once
// The projector palette applied to pixels: to a picture loaded while the
// projector colours are on, and to the whole surface when they are switched.

#include "common/runtime/pixel_recolour.h"

#include <QImage>

namespace rt {

// From the normal palette to the projector palette, or back.
PixelRecolour palette_change(bool to_projector);

// The picture as the projector colours show it: a photo darkened, so that
// it is dark under the light texts.
QImage projector_picture(const QImage& picture);

}  // namespace rt
