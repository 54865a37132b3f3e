#pragma once
// The surface's pixels and colours as Qt sees them, and picture files read
// by Qt's image readers: where the desktop meets the Qt-free drawing core.

#include "common/runtime/image.h"
#include "common/runtime/styles.h"

#include <QColor>
#include <QImage>

#include <optional>
#include <string_view>

namespace rt {

QColor to_qcolor(Colour c);

// The pixels as a QImage without copying them: valid as long as the view;
// whoever keeps it copies it.
QImage as_qimage(const ImageView& pixels);

// A copy of a QImage's pixels, turned into the surface's layout.
Image image_of(const QImage& picture);

// A picture file (JPEG, PNG, ...) decoded by Qt: the desktop's PictureDecoder.
std::optional<Image> decode_picture(std::string_view bytes);

}  // namespace rt
