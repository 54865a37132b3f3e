#include "common/runtime/surface.h"

#include <QPainter>
#include <QPen>

#include <cmath>
#include <cstring>

namespace rt {
namespace {

// A real to the nearest pixel (or cell). Values far off saturate at the
// reach: turning a real beyond int into one is undefined, and a saturated
// point keeps its direction while lying far off any surface. The reach leaves
// room for the arithmetic that follows (columns times cell widths, line
// widths). Not a number counts as far off.
constexpr double pixel_reach = 1 << 24;
int pixel(double coordinate) {
    if (!(coordinate > -pixel_reach)) return -static_cast<int>(pixel_reach);
    if (coordinate > pixel_reach) return static_cast<int>(pixel_reach);
    return static_cast<int>(std::nearbyint(coordinate));
}

QRect normalized(double x1, double y1, double x2, double y2) {
    return QRect(QPoint(pixel(x1), pixel(y1)), QPoint(pixel(x2), pixel(y2))).normalized();
}

QString family_name(FontFamily family) {
    // Named by family: a generic "Times"/"Courier" with a style hint falls
    // back to DejaVu silently, with other metrics.
    return family == FontFamily::mono ? QStringLiteral("Liberation Mono") : QStringLiteral("Liberation Serif");
}

}  // namespace

QColor to_qcolor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The character cells were chosen for a 1024 x 768 surface:
//   serif ("times") 16: glyphs of 20 px in cells of 11 x 24 (kalorix: rows 23
//     to 31 lie below the theory graph, tick labels stand under their ticks);
//   serif 14: 17 px in cells of 8 x 20 (diffundo's statistics labels);
//   mono ("courier") 14: 13 px in cells of 8 x 16 (45 simulation lines and a
//     line of 101 atoms with its counts fit on the surface).
// Other sizes scale with the nominal size.
FontCell font_cell(FontFamily family, double size) {
    const int nominal = static_cast<int>(std::lround(size));
    if (family == FontFamily::mono) {
        if (nominal == 14) return {13, 8, 16};
        return {std::max(1, static_cast<int>(std::lround(size * 13 / 14))),
                std::max(1, static_cast<int>(std::lround(size * 4 / 7))),
                std::max(1, static_cast<int>(std::lround(size * 8 / 7)))};
    }
    if (nominal == 16) return {20, 11, 24};
    if (nominal == 14) return {17, 8, 20};
    return {std::max(1, static_cast<int>(std::lround(size * 1.25))),
            std::max(1, static_cast<int>(std::lround(size * 11 / 16))),
            std::max(1, static_cast<int>(std::lround(size * 1.5)))};
}

Surface::Surface(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(to_qcolor(background_));
    set_font(FontFamily::serif, 16);
}

void Surface::touched(const QRect& area) {
    ++changes_;
    ++generation_;
    std::erase_if(shown_texts_, [&area](const ShownText& shown) { return shown.area.intersects(area); });
}

void Surface::clear() {
    image_.fill(to_qcolor(background_));
    grid_.clear();
    picture_areas_.clear();
    touched(image_.rect());
    if (observer_) observer_->cleared();
}

void Surface::set_font(FontFamily family, double size) {
    family_ = family;
    cell_ = font_cell(family, size);
    font_ = QFont(family_name(family));
    font_.setPixelSize(cell_.pixel_size);
    font_.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    font_.setHintingPreference(QFont::PreferFullHinting);
    metrics_ = QFontMetrics(font_);
    advances_.fill(-1);
}

void Surface::fill(const QRect& area, QRgb colour) {
    const QRect r = area.intersected(image_.rect());
    if (r.isEmpty()) return;
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(row + r.left(), row + r.right() + 1, colour);
    }
}

int Surface::advance(char32_t ch) {
    if (ch < advances_.size()) {
        int& known = advances_[ch];
        if (known < 0) known = metrics_.horizontalAdvance(QChar(static_cast<char16_t>(ch)));
        return known;
    }
    if (ch < 0x10000) return metrics_.horizontalAdvance(QChar(static_cast<char16_t>(ch)));
    return metrics_.horizontalAdvance(QString::fromStdU32String(std::u32string(1, ch)));
}

void Surface::line(double x1, double y1, double x2, double y2) {
    QPainter painter(&image_);
    QPen pen(to_qcolor(colour_));
    pen.setWidth(line_width_);
    // Thin lines include their end pixel; thick ones (bars) end exactly.
    pen.setCapStyle(line_width_ <= 1 ? Qt::SquareCap : Qt::FlatCap);
    painter.setPen(pen);
    const QPoint from(pixel(x1), pixel(y1)), to(pixel(x2), pixel(y2));
    painter.drawLine(from, to);
    touched(QRect(from, to).normalized().adjusted(-line_width_, -line_width_, line_width_, line_width_));
}

void Surface::rectangle(double x1, double y1, double x2, double y2) {
    const QRect r = normalized(x1, y1, x2, y2);
    QPainter painter(&image_);
    if (fill_style_ != fill_hollow && r.width() > 2 && r.height() > 2)
        painter.fillRect(r.adjusted(1, 1, -1, -1), to_qcolor(second_colour_));
    QPen pen(to_qcolor(colour_));
    pen.setWidth(line_width_);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // Corners inclusive: the outline runs through (x1, y1) and (x2, y2).
    painter.drawRect(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
    touched(r.adjusted(-line_width_, -line_width_, line_width_, line_width_));
}

void Surface::filled_box(double x1, double y1, double x2, double y2) {
    const QRect r = normalized(x1, y1, x2, y2);
    QPainter painter(&image_);
    painter.fillRect(r, to_qcolor(colour_));
    touched(r);
}

void Surface::point(double x, double y) {
    const int px = pixel(x), py = pixel(y);
    if (px < 0 || py < 0 || px >= width() || py >= height()) return;
    image_.setPixel(px, py, to_qcolor(colour_).rgb());
    touched(QRect(px, py, 1, 1));
}

void Surface::graphics_text(double x, double y, const std::string& text) {
    const QString q = QString::fromStdString(text);
    QPainter painter(&image_);
    painter.setFont(font_);
    const int left = pixel(x), top = pixel(y);
    const QRect area(left, top, metrics_.horizontalAdvance(q), metrics_.height());
    if (!transparent_) painter.fillRect(area, to_qcolor(second_colour_));
    painter.setPen(to_qcolor(colour_));
    painter.drawText(QPoint(left, top + metrics_.ascent()), q);
    touched(area.adjusted(-metrics_.height(), 0, metrics_.height(), 0));  // glyphs may overhang
    if (observer_) observer_->graphics_text(left, top, text, colour_);
}

void Surface::draw_image(const QImage& picture, int left, int top, int width, int height) {
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(left, top, width, height), picture);
    touched(QRect(left, top, width, height));
    picture_areas_.push_back(QRect(left, top, width, height).intersected(image_.rect()));
}

void Surface::locate(double column, double row) {
    grid_column_ = pixel(column);
    grid_row_ = pixel(row);
    print_x_ = grid_column_ * cell_.width;
    print_y_ = grid_row_ * cell_.height;
}

void Surface::new_line() {
    grid_column_ = 0;
    ++grid_row_;
    print_x_ = 0;
    print_y_ += cell_.height;
}

void Surface::print(const std::string& text) {
    if (text.empty()) return;
    const std::u32string chars = utf8_to_u32(text);
    const bool mono = family_ == FontFamily::mono && !transparent_;

    // Where each glyph starts, for the text grid; the sum of the advances is
    // the text's width (no second shaping of the whole line).
    std::vector<int> glyph_x(chars.size() + 1);
    int x = print_x_;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        glyph_x[i] = x;
        if (mono)
            x += cell_.width;
        else
            x += advance(chars[i]);
    }
    glyph_x.back() = x;
    // Text in its own background colour shows nothing: in the grid it only erases.
    const bool invisible = !transparent_ && colour_ == second_colour_;
    const int column = grid_.put(grid_column_, grid_row_, invisible ? std::u32string(chars.size(), U' ') : chars,
                                 glyph_x, !transparent_);

    if (observer_) observer_->printed(grid_column_, grid_row_, print_x_, print_y_, text, colour_);
    if (mono)
        print_mono(chars);
    else
        print_proportional(chars, glyph_x);
    grid_column_ = column + static_cast<int>(chars.size());
}

void Surface::print_proportional(const std::u32string& chars, const std::vector<int>& glyph_x) {
    const QRect area(print_x_, print_y_, glyph_x.back() - print_x_, cell_.height);
    print_x_ = glyph_x.back();
    const int baseline = area.top() + (cell_.height - metrics_.height()) / 2 + metrics_.ascent();
    const int font_key = cell_.pixel_size * 2 + (family_ == FontFamily::mono ? 1 : 0);
    const QRgb ink = to_qcolor(colour_).rgb();

    if (transparent_) {
        for (std::size_t i = 0; i < chars.size(); ++i)
            if (chars[i] != U' ')
                blend_glyph(image_, proportional_glyphs_.mask(font_, font_key, chars[i]), glyph_x[i], baseline, ink);
        touched(area.adjusted(-cell_.height / 2, 0, cell_.height / 2, 0));
        return;
    }

    // An opaque text over the same text in the same place, colours and font,
    // with nothing drawn over it since, needs only its words from the first
    // one that changed: analyses rewrite their lines at every step.
    ShownText shown{area, chars, colour_, second_colour_, font_key};
    std::size_t from = 0;
    for (const ShownText& earlier : shown_texts_) {
        if (earlier.area.topLeft() != area.topLeft() || earlier.fg != shown.fg || earlier.bg != shown.bg ||
            earlier.font_key != font_key)
            continue;
        std::size_t same = 0;
        while (same < chars.size() && same < earlier.text.size() && chars[same] == earlier.text[same]) ++same;
        if (same == chars.size() && earlier.area.width() == area.width()) return;
        // Back to the blank before the change: a glyph may reach into its
        // neighbour's box, never across a blank.
        const std::size_t blank = same == 0 ? std::u32string::npos : chars.rfind(U' ', same - 1);
        from = blank == std::u32string::npos ? 0 : blank + 1;
        break;
    }

    const QRect redrawn(glyph_x[from], area.top(), glyph_x.back() - glyph_x[from], cell_.height);
    const QRgb background = to_qcolor(second_colour_).rgb();
    fill(redrawn, background);
    for (std::size_t i = from; i < chars.size(); ++i)
        if (chars[i] != U' ')
            copy_glyph(image_, proportional_glyphs_.painted(font_, font_key, chars[i], ink, background), glyph_x[i], baseline);
    touched(redrawn.adjusted(-cell_.height / 2, 0, cell_.height / 2, 0));
    std::erase_if(shown_texts_, [&area](const ShownText& earlier) { return earlier.area.intersects(area); });
    if (shown_texts_.size() >= max_shown_texts) shown_texts_.erase(shown_texts_.begin());
    shown_texts_.push_back(std::move(shown));
}

const QImage& Surface::glyph(char32_t ch) {
    const quint64 palette = static_cast<quint64>(colour_ & 0xFFFFFF) |
                            (static_cast<quint64>(second_colour_ & 0xFFFFFF) << 24) |
                            (static_cast<quint64>(cell_.pixel_size & 0xFFFF) << 48);
    if (!current_mono_glyphs_ || palette != current_palette_) {
        current_palette_ = palette;
        current_mono_glyphs_ = &mono_glyphs_[palette];
    }
    auto& glyphs = *current_mono_glyphs_;
    const auto key = static_cast<quint64>(ch);
    auto it = glyphs.find(key);
    if (it != glyphs.end()) return it.value();
    QImage cell(cell_.width, cell_.height, QImage::Format_RGB32);
    cell.fill(to_qcolor(second_colour_));
    QPainter painter(&cell);
    painter.setFont(font_);
    painter.setPen(to_qcolor(colour_));
    const int baseline = (cell_.height - metrics_.height()) / 2 + metrics_.ascent();
    painter.drawText(QPoint(0, baseline), QString::fromStdU32String(std::u32string(1, ch)));
    painter.end();
    return glyphs.insert(key, cell).value();
}

void Surface::print_mono(const std::u32string& text) {
    const int cw = cell_.width, ch_height = cell_.height;
    const bool on_grid = print_x_ % cw == 0 && print_y_ % ch_height == 0 && print_x_ >= 0 && print_y_ >= 0;
    const int columns = width() / cw + 1;
    if (on_grid && shown_columns_ != columns) {
        shown_columns_ = columns;
        shown_.assign(static_cast<std::size_t>(columns) * (height() / ch_height + 1), CellShown{});
    }
    bool changed = false;
    // Fetched once: every scanLine() call would check the image for sharing.
    uchar* const target = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int x = print_x_ + static_cast<int>(i) * cw;
        const int y = print_y_;
        if (x >= width() || y >= height() || x + cw <= 0 || y + ch_height <= 0) continue;
        CellShown* shown = nullptr;
        if (on_grid) {
            const std::size_t index = static_cast<std::size_t>(y / ch_height) * columns + x / cw;
            if (index < shown_.size()) {
                shown = &shown_[index];
                if (shown->generation == generation_ && shown->ch == text[i] && shown->fg == colour_ &&
                    shown->bg == second_colour_ && shown->pixel_size == cell_.pixel_size)
                    continue;
            }
        }
        const QImage& source = glyph(text[i]);
        const int x0 = std::max(0, x), x1 = std::min(width(), x + cw);
        const uchar* from_bits = source.constBits();
        const qsizetype from_stride = source.bytesPerLine();
        for (int row = std::max(0, y); row < std::min(height(), y + ch_height); ++row) {
            const auto* from = reinterpret_cast<const QRgb*>(from_bits + (row - y) * from_stride) + (x0 - x);
            auto* to = reinterpret_cast<QRgb*>(target + row * stride) + x0;
            std::memcpy(to, from, static_cast<std::size_t>(x1 - x0) * sizeof(QRgb));
        }
        changed = true;
        if (shown) *shown = CellShown{text[i], colour_, second_colour_, cell_.pixel_size, generation_};
    }
    const QRect area(print_x_, print_y_, static_cast<int>(text.size()) * cw, ch_height);
    print_x_ += area.width();
    if (changed) {
        ++changes_;  // a cell copy keeps the other cells' records valid
        std::erase_if(shown_texts_, [&area](const ShownText& shown) { return shown.area.intersects(area); });
    }
}

}  // namespace rt
