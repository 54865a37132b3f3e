#include "tools/make_font_table/surface_font.h"

#include "common/runtime/surface.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace font_table_tool {

QFont surface_font(rt::FontFamily family, int pixel_size) {
    QFont font(family == rt::FontFamily::mono ? QStringLiteral("Liberation Mono") : QStringLiteral("Liberation Serif"));
    font.setPixelSize(pixel_size);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The fixed sizes (kalorix's and diffundo's screens: serif 16 and 14, mono
// 14; the continue prompt's 16 in whichever family is set) do not depend on
// the surface. The title screen's three sizes scale with the surface width
// (title_screen.cpp: 30, 12 and 20 points per 800 pixels), so every width
// has faces of its own. The table covers the default 1024 and the widths the
// tests and the fuzzer run (320, 640, 800, 1280): 17 faces, 650 kB; 1600
// and 1920 would add four faces of 36 to 90 pixels, about 400 kB. A title at another width finds
// no face of its size: the reader's nearest_face() gives the closest one,
// so such a run draws, in another size, instead of failing.
const std::vector<int>& covered_surface_widths() {
    static const std::vector<int> widths = {320, 640, 800, 1024, 1280};
    return widths;
}

std::vector<FaceRequest> covered_faces() {
    std::vector<std::pair<rt::FontFamily, double>> requests = {
        {rt::FontFamily::serif, 16}, {rt::FontFamily::serif, 14}, {rt::FontFamily::mono, 14}, {rt::FontFamily::mono, 16}};
    for (const int width : covered_surface_widths())
        for (const double points : {30.0, 12.0, 20.0}) requests.emplace_back(rt::FontFamily::serif, width * points / 800);

    std::map<std::pair<int, int>, FaceRequest> faces;
    for (const auto& [family, size] : requests) {
        const rt::FontCell cell = rt::font_cell(family, size);
        FaceRequest& face = faces[{static_cast<int>(family), cell.pixel_size}];
        face.family = family;
        face.pixel_size = cell.pixel_size;
        // Surface::set_font: the glyphs' line box centred in the cell.
        const QFontMetrics metrics(surface_font(family, cell.pixel_size));
        const CellOfFace made{cell.width, cell.height, (cell.height - metrics.height()) / 2 + metrics.ascent()};
        const bool known = std::any_of(face.cells.begin(), face.cells.end(), [&](const CellOfFace& c) {
            return c.width == made.width && c.height == made.height;
        });
        if (!known) face.cells.push_back(made);
    }
    std::vector<FaceRequest> list;
    for (auto& [key, face] : faces) list.push_back(std::move(face));
    return list;
}

std::vector<char32_t> covered_characters() {
    std::vector<char32_t> chars;
    for (char32_t c = 0; c < 256; ++c) chars.push_back(c);
    // German quotes and dashes (the command line's texts use „ “ –), the
    // euro, the ellipsis, the minus sign, and the replacement character.
    for (const char32_t c : {U'\u2013', U'\u2014', U'\u2018', U'\u2019', U'\u201A', U'\u201C', U'\u201D', U'\u201E',
                             U'\u2022', U'\u2026', U'\u20AC', U'\u2212', U'\uFFFD'})
        chars.push_back(c);
    return chars;
}

}  // namespace font_table_tool
