#pragma once
// The picture on the surface taken out of the program: as PNG or PDF bytes,
// on a printed page, or as a digest that tells two pictures apart. Shared by
// the window and the scripted runs, so both write the same files; they write
// for the EXTRAS services as their hosts (ExtrasHost), so the runtime core
// itself calls no Qt writer. The bytes are made in memory: the hosts hand
// them to the one writer that replaces a file only when they are all on the
// disk (common/runtime/atomic_file.h).

#include "common/runtime/picture_formats.h"

#include <QImage>
#include <QPageLayout>

#include <optional>
#include <string>

class QPainter;

namespace rt {

// The picture as PNG, with the description (UTF-8) as its text
// "Description" unless empty; nothing when it cannot be encoded.
std::optional<std::string> png_bytes(const QImage& picture, const std::string& description = {});

// Paints the picture as large as the painter's page allows with its aspect
// ratio kept, centred.
void paint_on_page(QPainter& painter, const QImage& picture);

// A4 landscape with margins of 10 mm: the page of a print without a printer's settings.
QPageLayout landscape_page();

// One page of the given layout, the picture scaled to it, as PDF.
std::optional<std::string> pdf_bytes(const QImage& picture, const std::string& title,
                                     const QPageLayout& page = landscape_page(), int dots_per_inch = 1200);

// SHA-1 of the pixels in hexadecimal (pixel_digest): equal for equal pictures.
std::string picture_digest(const QImage& picture);

// Qt's PNG and PDF writers and picture readers, for the headless runs:
// the files the window writes, and the title picture decoded.
PictureFormats qt_picture_formats();

}  // namespace rt
