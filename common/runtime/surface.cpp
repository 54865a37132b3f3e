#include "common/runtime/surface.h"

#include "common/runtime/vector_state.h"

#include <QPainter>
#include <QPen>

#include <cmath>
#include <limits>

namespace rt {
namespace {

// A real to the nearest pixel (or cell), halves to even as std::nearbyint
// gives it in the default rounding mode (which the programs never change).
// Values far off saturate at the reach: turning a real beyond int into one is
// undefined, and a saturated point keeps its direction while lying far off
// any surface. The reach leaves room for the arithmetic that follows
// (columns times cell widths, line widths). Not a number counts as far off.
// Within the reach, adding and taking away 1.5 * 2^52 rounds without a call
// into the maths library: every dot of the experiment has four coordinates.
constexpr double pixel_reach = 1 << 24;
int pixel(double coordinate) {
    if (!(coordinate > -pixel_reach)) return -static_cast<int>(pixel_reach);
    if (coordinate > pixel_reach) return static_cast<int>(pixel_reach);
    constexpr double shift = 0x1.8p52;
    return static_cast<int>((coordinate + shift) - shift);
}

// The pixels from one corner to the other, both included, whichever corner
// comes first. (QRect::normalized() would take a box given from its
// bottom-right corner one pixel in on each side.)
QRect box(int x1, int y1, int x2, int y2) {
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

QRect box(double x1, double y1, double x2, double y2) { return box(pixel(x1), pixel(y1), pixel(x2), pixel(y2)); }

// QRect::intersects, without the call into Qt: asked for every shown text
// at every drawing.
bool overlap(const QRect& a, const QRect& b) {
    return a.left() < b.left() + b.width() && b.left() < a.left() + a.width() && a.top() < b.top() + b.height() &&
           b.top() < a.top() + a.height() && !a.isEmpty() && !b.isEmpty();
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

Surface::Surface(int width, int height)
    : image_(width, height, QImage::Format_RGB32),
      width_(image_.width()),
      height_(image_.height()),
      stride_(image_.bytesPerLine()) {
    // Tiles of a power of two pixels, so that a tile is a shift away; eight
    // of them across the wider side.
    while ((8 << tile_shift_) < std::max(width_, height_)) ++tile_shift_;
    const CleanVectorStateOnExit clean;
    image_.fill(to_qcolor(background_));
    set_font(FontFamily::serif, 16);
}

void Surface::draw_pending_cells() const { cells_.draw_pending(image_); }

QRect Surface::take_changed_area() {
    const QRect area(changed_.left, changed_.top, changed_.right - changed_.left, changed_.bottom - changed_.top);
    changed_ = Bounds{};
    return area;
}

void Surface::mark_changed(const QRect& area) { mark_changed(area.x(), area.y(), area.width(), area.height()); }

void Surface::mark_changed(int x, int y, int w, int h) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + w, width()), bottom = std::min(y + h, height());
    if (left >= right || top >= bottom) return;
    if (changed_.left >= changed_.right) {
        changed_ = Bounds{left, top, right, bottom};
        return;
    }
    changed_.left = std::min(changed_.left, left);
    changed_.top = std::min(changed_.top, top);
    changed_.right = std::max(changed_.right, right);
    changed_.bottom = std::max(changed_.bottom, bottom);
}

void Surface::touched(const QRect& area) {
    ++changes_;
    cells_.image_overdrawn();
    mark_changed(area.x(), area.y(), area.width(), area.height());
    if (shown_text_tiles_ != 0) forget_texts_under(area);
}

void Surface::forget_texts_under(const QRect& area) {
    if ((tiles(area) & shown_text_tiles_) == 0) return;
    if (drop_texts_where([&area](const ShownText& shown) { return overlap(shown.area, area); }) == 0) return;
    shown_text_tiles_ = 0;
    for (const ShownText& shown : shown_texts_) shown_text_tiles_ |= tiles(shown.area);
}

void Surface::clear() {
    const CleanVectorStateOnExit clean;
    cells_.forget_all();
    image_.fill(to_qcolor(background_));
    grid_.clear();
    picture_areas_.clear();
    touched(image_.rect());
    if (observer_) observer_->cleared();
}

void Surface::set_font(FontFamily family, double size) {
    const FontCell cell = font_cell(family, size);
    // The font follows from family and pixel size: the same one again
    // changes nothing (analyses set their font at every step).
    if (family == family_ && cell.pixel_size == cell_.pixel_size && cell.width == cell_.width &&
        cell.height == cell_.height)
        return;
    const CleanVectorStateOnExit clean;
    family_ = family;
    cell_ = cell;
    font_ = QFont(family_name(family));
    font_.setPixelSize(cell_.pixel_size);
    font_.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    font_.setHintingPreference(QFont::PreferFullHinting);
    metrics_ = QFontMetrics(font_);
    baseline_in_cell_ = (cell_.height - metrics_.height()) / 2 + metrics_.ascent();
    advances_.fill(-1);
    if (family == FontFamily::mono && !cells_.has_geometry(cell_.width, cell_.height)) {
        draw_cells();
        cells_.set_geometry(image_.size(), cell_.width, cell_.height);
    }
}

int Surface::measured_advance(char32_t ch) {
    if (ch < advances_.size()) {
        int& known = advances_[ch];
        if (known < 0) known = metrics_.horizontalAdvance(QChar(static_cast<char16_t>(ch)));
        return known;
    }
    if (ch < 0x10000) return metrics_.horizontalAdvance(QChar(static_cast<char16_t>(ch)));
    return metrics_.horizontalAdvance(QString::fromStdU32String(std::u32string(1, ch)));
}

void Surface::line(double x1, double y1, double x2, double y2) {
    draw_cells();
    const QPoint from(pixel(x1), pixel(y1)), to(pixel(x2), pixel(y2));
    const QRect span = box(from.x(), from.y(), to.x(), to.y());
    // Thin horizontal and vertical lines are pixel runs, end pixels included.
    if (line_width_ == 1 && from != to && (from.x() == to.x() || from.y() == to.y())) {
        if (on_image(span) && pixels::fill(target(), span, to_rgb(colour_))) touched(span);
        return;
    }
    const CleanVectorStateOnExit clean;
    QPainter painter(&image_);
    QPen pen(to_qcolor(colour_));
    pen.setWidth(line_width_);
    // Thin lines include their end pixel; thick ones (bars) end exactly.
    pen.setCapStyle(line_width_ <= 1 ? Qt::SquareCap : Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(from, to);
    painter.end();
    touched(span.adjusted(-line_width_, -line_width_, line_width_, line_width_));
}

void Surface::rectangle(double x1, double y1, double x2, double y2) {
    draw_cells();
    const QRect r = box(x1, y1, x2, y2);
    const bool filled = fill_style_ != fill_hollow && r.width() > 2 && r.height() > 2;
    // Qt's painter outlines a one-pixel box by exactly its border pixels,
    // except when the box starts left of or above the image.
    if (line_width_ == 1 && r.width() >= 2 && r.height() >= 2 && r.left() >= 0 && r.top() >= 0) {
        if (!on_image(r)) return;
        if (r.width() == 2 && r.height() == 2 && r.right() < width_ && r.bottom() < height_) {
            // A dot of the experiment: four pixels, compared and written in place.
            const pixels::Target pixels = target();
            const QRgb ink = to_rgb(colour_);
            QRgb* const upper = pixels.row(r.top()) + r.left();
            QRgb* const lower = pixels.row(r.top() + 1) + r.left();
            const bool changed = upper[0] != ink || upper[1] != ink || lower[0] != ink || lower[1] != ink;
            upper[0] = upper[1] = lower[0] = lower[1] = ink;
            if (changed) touched(r);
            return;
        }
        const pixels::Target pixels = target();
        bool changed = filled && pixels::fill(pixels, r.adjusted(1, 1, -1, -1), to_rgb(second_colour_));
        changed = pixels::outline(pixels, r, to_rgb(colour_)) || changed;
        if (changed) touched(r);
        return;
    }
    const CleanVectorStateOnExit clean;
    QPainter painter(&image_);
    if (filled) painter.fillRect(r.adjusted(1, 1, -1, -1), to_qcolor(second_colour_));
    QPen pen(to_qcolor(colour_));
    pen.setWidth(line_width_);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // Corners inclusive: the outline runs through (x1, y1) and (x2, y2).
    painter.drawRect(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
    painter.end();
    touched(r.adjusted(-line_width_, -line_width_, line_width_, line_width_));
}

void Surface::filled_box(double x1, double y1, double x2, double y2) {
    draw_cells();
    const QRect r = box(x1, y1, x2, y2);
    if (on_image(r) && pixels::fill(target(), r, to_rgb(colour_))) touched(r);
}

void Surface::point(double x, double y) {
    draw_cells();
    const QRect p(pixel(x), pixel(y), 1, 1);
    if (on_image(p) && pixels::fill(target(), p, to_rgb(colour_))) touched(p);
}

void Surface::graphics_text(double x, double y, const std::string& text) {
    const CleanVectorStateOnExit clean;
    draw_cells();
    const QString q = QString::fromStdString(text);
    QPainter painter(&image_);
    painter.setFont(font_);
    const int left = pixel(x), top = pixel(y);
    const QRect area(left, top, metrics_.horizontalAdvance(q), metrics_.height());
    if (!transparent_) painter.fillRect(area, to_qcolor(second_colour_));
    painter.setPen(to_qcolor(colour_));
    painter.drawText(QPoint(left, top + metrics_.ascent()), q);
    painter.end();
    touched(area.adjusted(-metrics_.height(), 0, metrics_.height(), 0));  // glyphs may overhang
    if (observer_) observer_->graphics_text(left, top, text, colour_);
}

void Surface::draw_image(const QImage& picture, int left, int top, int width, int height) {
    const CleanVectorStateOnExit clean;
    draw_cells();
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(left, top, width, height), picture);
    painter.end();
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
    utf8_to_u32(text, chars_);
    if (family_ == FontFamily::mono && !transparent_)
        print_mono(text);
    else
        print_proportional(text);
}

void Surface::print_mono(const std::string& text) {
    const std::size_t count = chars_.size();
    // Text in its own background colour shows nothing: in the grid it only erases.
    const int column = grid_.put_cells(grid_column_, grid_row_, chars_.data(), count, print_x_, cell_.width,
                                       colour_ == second_colour_);
    if (observer_) observer_->printed(grid_column_, grid_row_, print_x_, print_y_, text, colour_);
    const int area_width = static_cast<int>(count) * cell_.width;
    const std::uint32_t style = cells_.style(colour_, second_colour_, font_, cell_.pixel_size, image_);
    // The cell of the print position: as a rule the grid position itself
    // (after locate and monospace prints), found without dividing.
    int cell_column = grid_column_, cell_row = grid_row_;
    if (print_x_ != cell_column * cell_.width || print_y_ != cell_row * cell_.height) {
        const bool on_grid =
            print_x_ >= 0 && print_y_ >= 0 && print_x_ % cell_.width == 0 && print_y_ % cell_.height == 0;
        cell_column = on_grid ? print_x_ / cell_.width : -1;
        cell_row = on_grid ? print_y_ / cell_.height : -1;
    }
    if (cell_column >= 0 && cell_row >= 0) {
        if (cells_.put(cell_column, cell_row, chars_.data(), count, style)) {
            // The other cells' records stay valid: only these cells change.
            ++changes_;
            mark_changed(print_x_, print_y_, area_width, cell_.height);
            if (!shown_texts_.empty()) forget_texts_under(QRect(print_x_, print_y_, area_width, cell_.height));
            if (cells_at_once_) draw_cells();
        }
    } else {
        draw_cells();
        cells_.draw_at(image_, print_x_, print_y_, chars_.data(), count, style);
        const QRect area(print_x_, print_y_, area_width, cell_.height);
        if (area.intersects(image_.rect())) touched(area);
    }
    print_x_ += area_width;
    grid_column_ = column + static_cast<int>(count);
}

void Surface::print_proportional(const std::string& text) {
    const CleanVectorStateOnExit clean;  // glyphs and advances come from Qt
    draw_cells();
    // Where each glyph starts, for the text grid; the sum of the advances is
    // the text's width (no second shaping of the whole line).
    glyph_x_.resize(chars_.size() + 1);
    int x = print_x_;
    for (std::size_t i = 0; i < chars_.size(); ++i) {
        glyph_x_[i] = x;
        x += advance(chars_[i]);
    }
    glyph_x_.back() = x;
    // Text in its own background colour shows nothing: in the grid it only erases.
    const bool invisible = !transparent_ && colour_ == second_colour_;
    if (invisible) blanks_.assign(chars_.size(), U' ');
    const int column = grid_.put(grid_column_, grid_row_, invisible ? blanks_ : chars_, glyph_x_, !transparent_);
    if (observer_) observer_->printed(grid_column_, grid_row_, print_x_, print_y_, text, colour_);
    draw_proportional(glyph_x_);
    grid_column_ = column + static_cast<int>(chars_.size());
}

void Surface::draw_proportional(const std::vector<int>& glyph_x) {
    const std::u32string& chars = chars_;
    const QRect area(print_x_, print_y_, glyph_x.back() - print_x_, cell_.height);
    print_x_ = glyph_x.back();
    const int baseline = area.top() + baseline_in_cell_;
    const int font_key = cell_.pixel_size * 2 + (family_ == FontFamily::mono ? 1 : 0);
    const QRgb ink = to_rgb(colour_);
    if (transparent_) {
        for (std::size_t i = 0; i < chars.size(); ++i)
            if (chars[i] != U' ')
                blend_glyph(image_, proportional_glyphs_.mask(font_, font_key, chars[i]), glyph_x[i], baseline, ink);
        touched(area.adjusted(-cell_.height / 2, 0, cell_.height / 2, 0));
        return;
    }

    // An opaque text over the same text in the same place, colours and font,
    // with nothing drawn over it since, needs only its glyphs from the first
    // one that changed: analyses rewrite their lines at every step.
    const QRgb background = to_rgb(second_colour_);
    Rewrite rewrite{0, 0, chars.size(), chars.size()};
    ShownText* same_place = nullptr;
    for (ShownText& earlier : shown_texts_) {
        if (earlier.area.topLeft() != area.topLeft() || earlier.fg != colour_ || earlier.bg != second_colour_ ||
            earlier.font_key != font_key)
            continue;
        std::size_t same = 0;
        while (same < chars.size() && same < earlier.text.size() && chars[same] == earlier.text[same]) ++same;
        if (same == chars.size() && earlier.area.width() == area.width()) return;
        if (!rewrites_in_full_) rewrite = rewrite_from(earlier, same, glyph_x, font_key, ink, background);
        same_place = &earlier;
        break;
    }

    const QRect filled(glyph_x[rewrite.fill_from], area.top(), glyph_x[rewrite.fill_to] - glyph_x[rewrite.fill_from],
                       cell_.height);
    const pixels::Target pixels = target();
    pixels::paint(pixels, filled, background);

    // The record of the text rewritten here keeps its storage: a line
    // rewritten at every step allocates nothing. Its ink columns come from
    // the earlier record where glyphs stay, from the glyphs drawn elsewhere.
    ShownText record;
    if (same_place != nullptr) std::swap(record, *same_place);
    const std::size_t n = chars.size();
    ink_left_.resize(n);
    ink_right_.resize(n);
    for (std::size_t i = 0; i < rewrite.draw_from; ++i) {
        ink_left_[i] = record.ink_left[i];
        ink_right_[i] = record.ink_right[i];
    }
    for (std::size_t i = rewrite.draw_from; i < rewrite.draw_to; ++i) {
        ink_left_[i] = std::numeric_limits<int>::max();
        ink_right_[i] = std::numeric_limits<int>::min();
        if (chars[i] == U' ') continue;
        const PaintedGlyph& glyph = proportional_glyphs_.painted(font_, font_key, chars[i], ink, background);
        copy_glyph(pixels, glyph, glyph_x[i], baseline);
        if (glyph.ink_from < glyph.ink_to) {
            ink_left_[i] = glyph_x[i] + glyph.ink_from;
            ink_right_[i] = glyph_x[i] + glyph.ink_to;
        }
    }
    // The tail stays where it was, at the end of the earlier text.
    for (std::size_t i = rewrite.draw_to, k = record.text.size() - (n - i); i < n; ++i, ++k) {
        ink_left_[i] = record.ink_left[k];
        ink_right_[i] = record.ink_right[k];
    }
    std::swap(record.ink_left, ink_left_);
    std::swap(record.ink_right, ink_right_);
    record.area = area;
    record.text.assign(chars);
    record.glyph_x.assign(glyph_x.begin(), glyph_x.end());
    record.fg = colour_;
    record.bg = second_colour_;
    record.font_key = font_key;
    // What touched() does, with one pass over the records for both areas.
    const int redrawn_left = glyph_x[rewrite.draw_from];
    const QRect reach = QRect(redrawn_left, area.top(), glyph_x[rewrite.fill_to] - redrawn_left, cell_.height)
                            .adjusted(-cell_.height / 2, 0, cell_.height / 2, 0);
    ++changes_;
    cells_.image_overdrawn();
    mark_changed(reach);
    // Texts never are empty: an empty one is the place the record came from.
    const std::size_t erased = drop_texts_where([&area, &reach](const ShownText& earlier) {
        return earlier.text.empty() || overlap(earlier.area, area) || overlap(earlier.area, reach);
    });
    const bool dropped = !area.isEmpty() && shown_texts_.size() >= max_shown_texts;
    if (dropped) shown_texts_.erase(shown_texts_.begin());  // any one will do: they only save redrawing
    if (!area.isEmpty()) shown_texts_.push_back(std::move(record));
    if (erased > (same_place != nullptr ? 1u : 0u) || dropped) {
        shown_text_tiles_ = 0;
        for (const ShownText& shown : shown_texts_) shown_text_tiles_ |= tiles(shown.area);
    } else {
        shown_text_tiles_ |= tiles(area);
    }
}

// The image shows `earlier` (its background over [glyph_x[0], end), then its
// glyphs in order); the new text shares its first `first_change` characters
// and their places. Drawing the new text afresh repaints the background from
// its first glyph and all glyphs. It is enough to repaint the background from
// glyph j and the glyphs from j' when
//   - no glyph of the earlier text from j on has ink left of glyph_x[j]
//     (what stays unpainted must be what a fresh drawing leaves there), and
//   - no glyph before j' has ink right of glyph_x[j] (the repainted
//     background would wipe it).
// j is the last such place up to the first change; j' the first glyph that
// reaches across it. Likewise at the end: a tail both texts share in the same
// places (the blanks after a value) stays as it is when its glyphs have no
// ink before it, no glyph before it of either text has ink in it, and the new
// glyphs drawn before it meet none of its ink. Ink columns are the glyphs'
// own, so this holds for any font, kerning or overhang; with j = 0 and no
// tail it is the fresh drawing.
Surface::Rewrite Surface::rewrite_from(const ShownText& earlier, std::size_t first_change,
                                       const std::vector<int>& glyph_x, int font_key, QRgb ink, QRgb background) {
    const std::u32string& chars = chars_;
    const std::size_t n = chars.size(), m = earlier.text.size();
    // Glyphs before the first change are the earlier text's own, in the same places.
    int earlier_ink_left = std::numeric_limits<int>::max();
    for (std::size_t i = first_change; i < m; ++i) earlier_ink_left = std::min(earlier_ink_left, earlier.ink_left[i]);
    std::size_t fill_from = first_change;
    while (fill_from > 0 && earlier_ink_left < glyph_x[fill_from]) {
        --fill_from;
        earlier_ink_left = std::min(earlier_ink_left, earlier.ink_left[fill_from]);
    }
    std::size_t draw_from = fill_from;
    for (std::size_t i = 0; i < fill_from; ++i)
        if (earlier.ink_right[i] > glyph_x[fill_from]) {
            draw_from = i;
            break;
        }

    // The tail both texts share, glyph for glyph in the same places.
    std::size_t tail = 0;
    if (glyph_x[n] == earlier.glyph_x[m]) {
        const std::size_t most = std::min(n, m) - first_change;
        while (tail < most && chars[n - 1 - tail] == earlier.text[m - 1 - tail] &&
               glyph_x[n - 1 - tail] == earlier.glyph_x[m - 1 - tail])
            ++tail;
    }
    if (tail > 0) {
        const int edge = glyph_x[n - tail];
        int tail_ink_left = std::numeric_limits<int>::max();
        for (std::size_t i = m - tail; i < m; ++i) tail_ink_left = std::min(tail_ink_left, earlier.ink_left[i]);
        bool keeps = tail_ink_left >= edge;
        for (std::size_t i = 0; keeps && i < m - tail; ++i) keeps = earlier.ink_right[i] <= edge;
        for (std::size_t i = first_change; keeps && i < n - tail; ++i) {
            if (chars[i] == U' ') continue;
            const PaintedGlyph& g = proportional_glyphs_.painted(font_, font_key, chars[i], ink, background);
            keeps = g.ink_from >= g.ink_to || glyph_x[i] + g.ink_to <= tail_ink_left;
        }
        if (!keeps) tail = 0;
    }
    return {fill_from, draw_from, n - tail, n - tail};
}

}  // namespace rt
