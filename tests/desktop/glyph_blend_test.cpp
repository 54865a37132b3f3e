// The font table against Qt: for every glyph of every face, the table's
// metrics, advances and masks against QFontMetrics and Qt's rendering,
// and the table's glyphs blended by glyph_blend.h's rules against Qt's own
// painting in every pair of the programs' colours, pixel for pixel.
#include "common/runtime/glyph_blend.h"
#include "common/desktop_output/qt_pixels.h"
#include "common/runtime/asset_path.h"
#include "common/runtime/font_table.h"
#include "common/runtime/glyph_cache.h"
#include "common/runtime/projector_palette.h"
#include "common/runtime/surface.h"
#include "tools/make_font_table/surface_font.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using rt::glyph_blend::Rule;
namespace tool = font_table_tool;

const rt::FontTable& table() {
    static const std::optional<rt::FontTable> read = [] {
        const std::string dir = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
        return rt::FontTable::read_file(rt::find_asset(dir, rt::FontTable::file_name));
    }();
    if (!read) throw std::runtime_error("no font table beside the test");
    return *read;
}

QFont font_of(const rt::FontFace& face) { return tool::surface_font(face.family(), face.pixel_size()); }

// The character Qt is asked for: the missing glyph stands for one no font has.
char32_t asked(const rt::Glyph& g) { return g.character == 0xFFFFFFFF ? tool::unmapped_character : g.character; }
QString text_of(const rt::Glyph& g) { return QString::fromStdU32String(std::u32string(1, asked(g))); }

// Every colour the programs draw with, normal and projector; every ordered
// pair of two of them is an ink over a paper.
std::vector<std::pair<QRgb, QRgb>> colour_pairs() {
    std::vector<QRgb> colours;
    for (const rt::PaletteEntry& e : rt::palettes())
        for (const rt::Colour c : {e.normal, e.projector})
            if (std::find(colours.begin(), colours.end(), rt::to_rgb(c)) == colours.end())
                colours.push_back(rt::to_rgb(c));
    std::vector<std::pair<QRgb, QRgb>> pairs;
    for (const QRgb ink : colours)
        for (const QRgb paper : colours)
            if (ink != paper) pairs.emplace_back(ink, paper);
    return pairs;
}

rt::PixelRows pixels_of(QImage& image) {
    return {reinterpret_cast<rt::Rgb*>(image.bits()), image.bytesPerLine() / 4, image.width(), image.height()};
}

// One tile per colour pair, side by side, each wide and high enough for
// the glyph's ink and line box, with its pen at (tile + pen_x, baseline).
struct Tiles {
    int width, height, pen_x, baseline;
};
Tiles tiles_for(const rt::FontFace& face, const rt::Glyph& g) {
    const int left = std::min(0, g.left) - 2, right = std::max(g.advance, g.left + g.width) + 2;
    const int top = std::min(-face.metrics().ascent, g.top) - 2;
    const int bottom = std::max(face.metrics().descent, g.top + g.height) + 2;
    return {right - left, bottom - top, -left, -top};
}

using PixelRule = std::function<std::uint32_t(std::uint32_t under, std::uint32_t ink, int a)>;

// Pixels in which the table's glyph blended by `rule` differs from Qt's
// painting of the character, in ink over paper, for every pair.
int raster_mismatches(const rt::FontFace& face, const rt::Glyph& g, const std::vector<std::pair<QRgb, QRgb>>& pairs,
                      const PixelRule& rule, std::string* first = nullptr) {
    const Tiles t = tiles_for(face, g);
    QImage qt(t.width * static_cast<int>(pairs.size()), t.height, QImage::Format_RGB32);
    QImage ours = qt;
    {
        QPainter painter(&qt);
        painter.setFont(font_of(face));
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const int x = static_cast<int>(i) * t.width;
            painter.fillRect(x, 0, t.width, t.height, QColor::fromRgb(pairs[i].second));
            painter.setPen(QColor::fromRgb(pairs[i].first));
            painter.drawText(QPoint(x + t.pen_x, t.baseline), text_of(g));
        }
    }
    const rt::PixelRows pixels = pixels_of(ours);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const int x0 = static_cast<int>(i) * t.width;
        for (int y = 0; y < t.height; ++y) std::fill(pixels.row(y) + x0, pixels.row(y) + x0 + t.width, pairs[i].second);
        const int left = x0 + t.pen_x + g.left, top = t.baseline + g.top;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                const int a = g.coverage[y * g.width + x];
                std::uint32_t& p = pixels.row(top + y)[left + x];
                if (a != 0) p = rule(p, pairs[i].first, a);
            }
    }
    int wrong = 0;
    for (int y = 0; y < qt.height(); ++y)
        for (int x = 0; x < qt.width(); ++x)
            if (qt.pixel(x, y) != ours.pixel(x, y)) {
                if (wrong++ == 0 && first)
                    *first = "pair " + std::to_string(x / t.width) + " at " + std::to_string(x % t.width) + "," +
                             std::to_string(y) + ": Qt " + std::to_string(qt.pixel(x, y)) + ", table " +
                             std::to_string(ours.pixel(x, y));
            }
    return wrong;
}

std::string name_of(const rt::FontFace& face, const rt::Glyph& g) {
    return std::string(face.family() == rt::FontFamily::mono ? "mono " : "serif ") + std::to_string(face.pixel_size()) +
           " U+" + std::to_string(static_cast<unsigned>(asked(g)));
}

TEST(FontTableAgainstQt, MetricsAndAdvancesAreQts) {
    for (const rt::FontFace& face : table().faces()) {
        const QFontMetrics m(font_of(face));
        EXPECT_EQ(face.metrics().ascent, m.ascent());
        EXPECT_EQ(face.metrics().descent, m.descent());
        EXPECT_EQ(face.metrics().height, m.height());
        EXPECT_EQ(face.metrics().leading, m.leading());
        EXPECT_EQ(face.metrics().line_spacing, m.lineSpacing());
        for (const rt::FaceCell& cell : face.cells())
            EXPECT_EQ(cell.baseline, (cell.height - m.height()) / 2 + m.ascent());
        // Measured as Surface::measured_advance does, one QChar at a time
        // (a string would give a tab its tab stop's 80 pixels).
        for (const rt::Glyph& g : face.glyphs())
            EXPECT_EQ(g.advance, m.horizontalAdvance(QChar(static_cast<char16_t>(asked(g))))) << name_of(face, g);
    }
}

// A glyph's coverage as Qt renders it: white on black in its bounding box
// and a pixel around it (antialiasing reaches a pixel past the outline).
struct QtMask {
    QImage coverage;  // Format_Grayscale8
    int left = 0, top = 0;
};
QtMask qt_mask(const QFont& font, char32_t ch) {
    const QString text = QString::fromStdU32String(std::u32string(1, ch));
    const QRect box = QFontMetrics(font).boundingRect(text).adjusted(-1, -1, 1, 1);
    QImage canvas(std::max(1, box.width()), std::max(1, box.height()), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPoint(-box.left(), -box.top()), text);
    painter.end();
    return {canvas.convertToFormat(QImage::Format_Grayscale8), box.left(), box.top()};
}

// Proportional text: Qt's white-on-black mask, blended with mix. The table's
// mask must be that mask, less its rows and columns without ink.
TEST(FontTableAgainstQt, MasksAreQtsWhiteOnBlackRendering) {
    for (const rt::FontFace& face : table().faces()) {
        const QFont font = font_of(face);
        for (const rt::Glyph& g : face.glyphs()) {
            const QtMask today = qt_mask(font, asked(g));
            int differ = 0, inked = 0;
            for (int y = 0; y < today.coverage.height(); ++y)
                for (int x = 0; x < today.coverage.width(); ++x) {
                    const int tx = today.left + x - g.left, ty = today.top + y - g.top;
                    const bool inside = tx >= 0 && ty >= 0 && tx < g.width && ty < g.height;
                    const int ours = inside ? g.coverage[ty * g.width + tx] : 0;
                    differ += ours != today.coverage.constScanLine(y)[x];
                    inked += ours != 0;
                }
            int ours_inked = 0;
            for (int i = 0; i < g.width * g.height; ++i) ours_inked += g.coverage[i] != 0;
            EXPECT_EQ(differ, 0) << name_of(face, g);
            EXPECT_EQ(inked, ours_inked) << name_of(face, g) << ": ink outside today's box";
        }
    }
}

// Monospace cells and graphics texts today: QPainter::drawText in ink over
// paper. The table's glyph blended by Qt's raster rule gives the same pixels.
TEST(FontTableAgainstQt, RasterRuleGivesQtsPaintingOfEveryGlyphInEveryColourPair) {
    const auto pairs = colour_pairs();
    ASSERT_EQ(pairs.size(), 13u * 12u);  // 14 palette values, white its own projector colour
    const PixelRule rule = [](std::uint32_t u, std::uint32_t i, int a) {
        return rt::glyph_blend::blend_pixel(u, i, a, Rule::qt_raster);
    };
    int glyphs = 0;
    for (const rt::FontFace& face : table().faces())
        for (const rt::Glyph& g : face.glyphs()) {
            std::string first;
            EXPECT_EQ(raster_mismatches(face, g, pairs, rule, &first), 0) << name_of(face, g) << ", first " << first;
            ++glyphs;
        }
    EXPECT_GT(glyphs, 3000);
}

// The comparison sees one bit off in one channel at one coverage, and the
// surface's mix in place of Qt's rule.
TEST(FontTableAgainstQt, ComparisonSeesOneBitOff) {
    const auto pairs = colour_pairs();
    const rt::FontFace& face = *table().face(rt::FontFamily::mono, 13);
    const rt::Glyph& g = *face.glyph(U'a');
    const int grey = g.coverage[std::distance(
        g.coverage, std::find_if(g.coverage, g.coverage + g.width * g.height, [](int a) { return a > 0 && a < 255; }))];
    const PixelRule one_bit = [grey](std::uint32_t u, std::uint32_t i, int a) {
        const std::uint32_t p = rt::glyph_blend::blend_pixel(u, i, a, Rule::qt_raster);
        return a == grey ? p ^ 1u : p;
    };
    const PixelRule mixed = [](std::uint32_t u, std::uint32_t i, int a) {
        return rt::glyph_blend::blend_pixel(u, i, a, Rule::surface_mix);
    };
    EXPECT_GT(raster_mismatches(face, g, pairs, one_bit), 0);
    EXPECT_GT(raster_mismatches(face, g, pairs, mixed), 0);
}

// Proportional text in its own background (text_layer.cpp) is the glyph
// cache's painted glyph: mix of the background and the ink by Qt's mask.
// For the faces the programs print proportional text in, every pair.
TEST(FontTableAgainstQt, PaintedGlyphsMixTheBackgroundAndTheInkByQtsMask) {
    const auto pairs = colour_pairs();
    for (const auto& [family, size] : {std::pair{rt::FontFamily::serif, 20},
                                       {rt::FontFamily::serif, 17},
                                       {rt::FontFamily::mono, 13},
                                       {rt::FontFamily::mono, 15}}) {
        const rt::FontFace& face = *table().face(family, size);
        const QFont font = font_of(face);
        std::vector<QtMask> masks;
        for (const rt::Glyph& g : face.glyphs()) masks.push_back(qt_mask(font, asked(g)));
        for (const auto& [ink, paper] : pairs) {
            rt::GlyphCache cache;  // one palette at a time: a cache keeps every palette it painted
            int differ = 0;
            for (std::size_t k = 0; k < face.glyphs().size(); ++k) {
                const rt::Glyph& g = face.glyphs()[k];
                const QtMask& qt = masks[k];
                const rt::PaintedGlyph& ours = cache.painted(face, 1, asked(g), ink, paper);
                for (int y = 0; y < qt.coverage.height(); ++y)
                    for (int x = 0; x < qt.coverage.width(); ++x) {
                        const int a = qt.coverage.constScanLine(y)[x];
                        const int ox = qt.left + x - ours.left, oy = qt.top + y - ours.top;
                        const bool inside = ox >= 0 && oy >= 0 && ox < ours.width && oy < ours.height;
                        const std::uint32_t p =
                            inside ? ours.pixels[static_cast<std::size_t>(oy * ours.width + ox)] : 0;
                        if (a == 0) {
                            differ += (p >> 24) != 0;
                            continue;
                        }
                        differ += (p | 0xFF000000u) != rt::glyph_blend::blend_pixel(paper, ink, a, Rule::surface_mix);
                    }
            }
            EXPECT_EQ(differ, 0) << size << " " << ink << " over " << paper;
        }
    }
}

// The surface itself, as it stands: a monospace cell and a transparent
// serif print give the table's pixels, which proves the table's fonts and
// baselines are the surface's own.
TEST(FontTableAgainstQt, SurfacePrintsTheTablesPixels) {
    const std::u32string chars = U"Aagjy|_ÄÖÜäöüß@W#";
    const struct {
        rt::FontFamily family;
        double size;
        bool transparent;
    } cases[] = {{rt::FontFamily::mono, 14, false},
                 {rt::FontFamily::mono, 16, false},
                 {rt::FontFamily::serif, 16, true},
                 {rt::FontFamily::serif, 14, true}};
    const rt::Colour ink = rt::colours::pink, paper = rt::colours::background;
    for (const auto& c : cases) {
        rt::Surface surface(1024, 768);
        surface.set_background_colour(paper);
        surface.clear();
        surface.set_font(c.family, c.size);
        surface.set_colour(ink);
        surface.set_second_colour(rt::colours::white);
        surface.set_text_transparent(c.transparent);
        const rt::FontCell fc = rt::font_cell(c.family, c.size);
        const rt::FontFace& face = *table().face(c.family, fc.pixel_size);
        const rt::FaceCell& cell = *face.cell(fc.width, fc.height);
        QImage expected(1024, 768, QImage::Format_RGB32);
        expected.fill(rt::to_qcolor(paper));
        const auto pixels = pixels_of(expected);
        for (std::size_t i = 0; i < chars.size(); ++i) {
            const int column = 2 + 3 * static_cast<int>(i), row = 2;
            surface.locate(column, row);
            surface.print(std::string(QString::fromStdU32String(chars.substr(i, 1)).toStdString()));
            const rt::Glyph& g = face.glyph_or_missing(chars[i]);
            const int x = column * cell.width, y = row * cell.height;
            if (c.transparent) {
                rt::glyph_blend::blend_glyph(pixels, g, x, y + cell.baseline, rt::to_rgb(ink), Rule::surface_mix,
                                             {0, 0, 1024, 768});
                EXPECT_EQ(surface.print_x(), x + g.advance);
            } else {
                rt::glyph_blend::paint_cell(pixels, g, x, y, cell, rt::to_rgb(ink), rt::to_rgb(rt::colours::white));
            }
        }
        EXPECT_TRUE(rt::as_qimage(surface.image()) == expected) << c.size;
    }
}

// Characters no font has: Qt draws one box for all of them, the table's
// missing glyph. (Not so the default-ignorable ones beyond Latin-1, such as
// the tags from U+E0000: Qt draws nothing for them, with no advance.)
TEST(FontTableAgainstQt, UnmappedCharactersAreTheMissingGlyph) {
    for (const rt::FontFace& face : table().faces()) {
        const QFontMetrics m(font_of(face));
        const QImage missing = [&] {
            QImage image(80, 80, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            painter.setFont(font_of(face));
            painter.setPen(Qt::white);
            painter.drawText(QPoint(10, 60), text_of(face.missing_glyph()));
            return image;
        }();
        for (const char32_t unassigned : {U'\u0379', U'\u0380', U'\u05FF', U'\u0E3C'}) {
            const QString text = QString::fromStdU32String(std::u32string(1, unassigned));
            EXPECT_EQ(m.horizontalAdvance(QChar(static_cast<char16_t>(unassigned))), face.missing_glyph().advance);
            QImage image(80, 80, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            painter.setFont(font_of(face));
            painter.setPen(Qt::white);
            painter.drawText(QPoint(10, 60), text);
            painter.end();
            EXPECT_TRUE(image == missing) << face.pixel_size() << " U+" << static_cast<unsigned>(unassigned);
        }
    }
}

}  // namespace
