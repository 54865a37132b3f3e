#pragma once
// Picture files decoded at build time. The browser has no JPEG reader of
// ours, and one of its own might round differently from Qt's: the desktop's
// reader decodes the known pictures once, into a table the page and the
// browser's scenario runner carry. A picture file is found in it by its
// bytes, so a changed file is not mistaken for the one decoded.
//
// Table: "PICTABLE", then per picture the FNV-1a hash (64 bits) of the file's
// bytes, width and height (32 bits each), and width * height pixels
// 0xFFRRGGBB, all little-endian.

#include "common/runtime/image.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

std::uint64_t file_hash(std::string_view bytes);

// A decoder for the pictures in the table; nothing for any other file. An
// empty or damaged table decodes nothing.
PictureDecoder picture_table_decoder(std::string_view table);

}  // namespace rt
