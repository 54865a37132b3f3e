#pragma once
// How a runtime gets pictures out of the program and in: what a headless run
// or a page writes for a snapshot, a saved or printed picture, and how it
// reads a picture file. The desktop fills them with Qt's writers and
// readers; without Qt there is the plain PNG writer below and no printing.

#include "common/runtime/image.h"

#include <functional>
#include <optional>
#include <string>

namespace rt {

struct PictureFormats {
    // The picture as PNG, with the description (UTF-8) as its text
    // "Description" unless empty; nothing when it cannot be encoded.
    std::function<std::optional<std::string>(const ImageView& picture, const std::string& description)> png;
    // One landscape page with the picture scaled to it, as PDF; empty when
    // the runtime cannot print.
    std::function<std::optional<std::string>(const ImageView& picture, const std::string& title)> pdf;
    PictureDecoder decode;
};

// The picture as an uncompressed PNG (stored deflate blocks): the same
// pixels as any other writer's file, readable everywhere, without a library.
std::string plain_png(const ImageView& picture, const std::string& description = {});

// The formats without Qt: plain_png, no PDF, no decoder.
PictureFormats plain_picture_formats();

// SHA-1 of the pixels, row by row, each pixel as the four bytes B, G, R,
// 0xFF (the surface's words on a little-endian machine), in hexadecimal:
// equal for equal pictures, the same on every platform.
std::string pixel_digest(const ImageView& picture);

}  // namespace rt
