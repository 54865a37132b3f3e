#pragma once
// The picture on the surface taken out of the program: as a PNG file, on a
// printed page, as a PDF, or as a digest that tells two pictures apart.
// Shared by the window and the scripted runs, so both write the same files;
// they write for the EXTRAS services as their hosts (ExtrasHost), so the
// runtime core itself calls no Qt writer.

#include <QImage>

#include <string>

class QPainter;

namespace rt {

// Writes the picture as PNG, with the description (UTF-8) as its text
// "Description" unless empty. A failed write (read-only folder, full disk)
// leaves nothing behind and an existing file as it was.
bool write_png(const QImage& picture, const std::string& file, const std::string& description = {});

// Paints the picture as large as the painter's page allows with its aspect
// ratio kept, centred.
void paint_on_page(QPainter& painter, const QImage& picture);

// One page, A4 landscape, the picture scaled to the page; false when the
// file cannot be written.
bool write_pdf(const QImage& picture, const std::string& file, const std::string& title);

// SHA-1 of the pixels in hexadecimal: equal for equal pictures.
std::string picture_digest(const QImage& picture);

}  // namespace rt
