// Writes the font table (common/runtime/font_table.h has the format): every
// face the surface draws with, rendered by Qt with the surface's own font
// settings. Usage: make_font_table [-platform NAME] OUTPUT
#include "common/runtime/font_table.h"
#include "tools/make_font_table/surface_font.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using font_table_tool::FaceRequest;

struct Rendered {
    int advance = 0;
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> coverage;
};

// The glyph of `ch` as the surface's painter draws it with its pen on the
// baseline at the origin. Coverage is the alpha of white painted onto a
// transparent image; painted onto opaque black it must come out the same,
// else Qt blends gamma-corrected here and the table's rules would not hold.
bool render(const QFont& font, char32_t ch, Rendered& out) {
    const QFontMetrics metrics(font);
    const QString text = QString::fromStdU32String(std::u32string(1, ch));
    out.advance = ch < 0x10000 ? metrics.horizontalAdvance(QChar(static_cast<char16_t>(ch)))
                               : metrics.horizontalAdvance(text);
    // Room for any ink: the line box and the advance, the bounding box where
    // Qt has one (none for a glyph without ink), and a margin of a full
    // pixel size around all.
    QRect reach(0, -metrics.ascent(), std::max(1, out.advance), metrics.height());
    const QRect bounds = metrics.boundingRect(text);
    if (bounds.isValid() && bounds.left() > -100000 && bounds.right() < 100000) reach |= bounds;
    const int margin = font.pixelSize() + 2;
    reach.adjust(-margin, -margin, margin, margin);

    QImage alpha(reach.size(), QImage::Format_ARGB32_Premultiplied);
    alpha.fill(Qt::transparent);
    QImage black(reach.size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    for (QImage* image : {&alpha, &black}) {
        QPainter painter(image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(-reach.left(), -reach.top()), text);
    }
    int x0 = reach.width(), x1 = 0, y0 = reach.height(), y1 = 0;
    for (int y = 0; y < reach.height(); ++y)
        for (int x = 0; x < reach.width(); ++x) {
            const int a = qAlpha(alpha.pixel(x, y));
            if (qRed(black.pixel(x, y)) != a || qGreen(black.pixel(x, y)) != a || qBlue(black.pixel(x, y)) != a) {
                std::fprintf(stderr, "make_font_table: U+%04X blends gamma-corrected\n", static_cast<unsigned>(ch));
                return false;
            }
            if (a == 0) continue;
            if (x == 0 || y == 0 || x == reach.width() - 1 || y == reach.height() - 1) {
                std::fprintf(stderr, "make_font_table: U+%04X reaches the canvas' edge\n", static_cast<unsigned>(ch));
                return false;
            }
            x0 = std::min(x0, x);
            x1 = std::max(x1, x + 1);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y + 1);
        }
    out.coverage.clear();
    if (x0 >= x1) {
        out.left = out.top = out.width = out.height = 0;
        return true;
    }
    out.left = reach.left() + x0;
    out.top = reach.top() + y0;
    out.width = x1 - x0;
    out.height = y1 - y0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) out.coverage.push_back(static_cast<std::uint8_t>(qAlpha(alpha.pixel(x, y))));
    return true;
}

// A mask in runs (font_table.h): zeros and full coverage as counts, the
// values between them as they are.
std::vector<std::uint8_t> pack(const std::vector<std::uint8_t>& mask) {
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < mask.size()) {
        const std::uint8_t v = mask[i];
        std::size_t j = i;
        if (v == 0 || v == 255) {
            while (j < mask.size() && mask[j] == v && j - i < 64) ++j;
            out.push_back(static_cast<std::uint8_t>((v == 0 ? 0x7F : 0xBF) + (j - i)));
        } else {
            while (j < mask.size() && mask[j] != 0 && mask[j] != 255 && j - i < 128) ++j;
            out.push_back(static_cast<std::uint8_t>(j - i - 1));
            out.insert(out.end(), mask.begin() + static_cast<std::ptrdiff_t>(i), mask.begin() + static_cast<std::ptrdiff_t>(j));
        }
        i = j;
    }
    return out;
}

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool write_face(std::vector<std::uint8_t>& out, const FaceRequest& request) {
    const QFont font = font_table_tool::surface_font(request.family, request.pixel_size);
    const QFontMetrics metrics(font);
    const QRawFont raw = QRawFont::fromFont(font);
    if (QFontInfo(font).family() != font.family() || raw.supportsCharacter(font_table_tool::unmapped_character)) {
        std::fprintf(stderr, "make_font_table: %s is not installed as expected\n", qPrintable(font.family()));
        return false;
    }
    std::vector<std::pair<char32_t, Rendered>> glyphs;
    Rendered missing;
    if (!render(font, font_table_tool::unmapped_character, missing)) return false;
    glyphs.emplace_back(0xFFFFFFFF, std::move(missing));
    for (const char32_t ch : font_table_tool::covered_characters()) {
        // Beyond Latin-1 only what the face's own font has: anything else
        // would come from whatever fonts the building machine has.
        if (ch >= 256 && !raw.supportsCharacter(ch)) continue;
        Rendered r;
        if (!render(font, ch, r)) return false;
        glyphs.emplace_back(ch, std::move(r));
    }

    put(out, request.family == rt::FontFamily::mono ? 1 : 0, 1);
    put(out, static_cast<std::uint32_t>(request.cells.size()), 1);
    put(out, static_cast<std::uint32_t>(request.pixel_size), 2);
    for (const int v : {metrics.ascent(), metrics.descent(), metrics.height(), metrics.leading(), metrics.lineSpacing()})
        put(out, static_cast<std::uint32_t>(v), 2);
    put(out, static_cast<std::uint32_t>(glyphs.size()), 4);
    for (const auto& cell : request.cells) {
        put(out, static_cast<std::uint32_t>(cell.width), 2);
        put(out, static_cast<std::uint32_t>(cell.height), 2);
        put(out, static_cast<std::uint32_t>(cell.baseline), 2);
    }
    std::size_t mask_bytes = 0, packed_bytes = 0;
    std::vector<std::vector<std::uint8_t>> packed;
    for (const auto& [ch, g] : glyphs) {
        packed.push_back(pack(g.coverage));
        if (packed.back().size() > 0xFFFF) {
            std::fprintf(stderr, "make_font_table: U+%04X's mask is too large\n", static_cast<unsigned>(ch));
            return false;
        }
        put(out, static_cast<std::uint32_t>(ch), 4);
        for (const int v : {g.advance, g.left, g.top, g.width, g.height, static_cast<int>(packed.back().size())})
            put(out, static_cast<std::uint32_t>(v), 2);
        mask_bytes += g.coverage.size();
        packed_bytes += packed.back().size();
    }
    for (const auto& p : packed) out.insert(out.end(), p.begin(), p.end());
    std::printf("%s %d px: %zu glyphs, masks of %zu bytes packed into %zu\n",
                request.family == rt::FontFamily::mono ? "mono" : "serif", request.pixel_size, glyphs.size(), mask_bytes,
                packed_bytes);
    return true;
}

// Where the surface's fonts are missing, fontconfig hands Qt the nearest it
// has (DejaVu where Liberation is not installed), whose glyphs are wider:
// a table of them would cut the texts and make them overlap in the cells
// made for Liberation's widths. So the build stops, with one message that
// names every font missing and what stands in for it.
bool surface_fonts_installed() {
    std::string replaced;
    for (const rt::FontFamily family : {rt::FontFamily::serif, rt::FontFamily::mono}) {
        const QFont font = font_table_tool::surface_font(family, 16);
        const QString found = QFontInfo(font).family();
        if (found != font.family())
            replaced += "  " + font.family().toStdString() + " (Qt would take " +
                        (found.isEmpty() ? std::string("no font") : found.toStdString()) + " instead)\n";
    }
    if (replaced.empty()) return true;
    std::fprintf(stderr,
                 "make_font_table: the fonts the programs draw with are not installed:\n%s"
                 "Their glyphs would be drawn by others, texts cut and overlapping. Install them (Debian: the\n"
                 "package fonts-liberation, which ./build.sh installs) and build again.\n",
                 replaced.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts need the GUI application; no window is opened. Qt's own
    // `-platform xcb` before OUTPUT renders on another platform, to compare.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_font_table [-platform NAME] OUTPUT\n");
        return 2;
    }
    if (!surface_fonts_installed()) return 1;
    const std::vector<FaceRequest> faces = font_table_tool::covered_faces();
    std::vector<std::uint8_t> out = {'K', 'D', 'F', 'T'};
    put(out, 1, 2);
    put(out, static_cast<std::uint32_t>(faces.size()), 2);
    for (const FaceRequest& face : faces)
        if (!write_face(out, face)) return 1;
    // The reader must take what was written.
    std::string error;
    if (!rt::FontTable::from_bytes(out, &error)) {
        std::fprintf(stderr, "make_font_table: the table does not read back: %s\n", error.c_str());
        return 1;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(out.data()), static_cast<qint64>(out.size())) !=
            static_cast<qint64>(out.size())) {
        std::fprintf(stderr, "make_font_table: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%zu faces, %zu bytes\n", faces.size(), out.size());
    return 0;
}
