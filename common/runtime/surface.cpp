#include "common/runtime/surface.h"

#include "common/runtime/glyph_blend.h"
#include "common/runtime/picture_scaling.h"
#include "common/runtime/raster_lines.h"
#include "common/runtime/surface_fonts.h"

#include <cmath>

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
inline int pixel(double coordinate) {
    if (!(coordinate > -pixel_reach)) return -static_cast<int>(pixel_reach);
    if (coordinate > pixel_reach) return static_cast<int>(pixel_reach);
    constexpr double shift = 0x1.8p52;
    return static_cast<int>((coordinate + shift) - shift);
}

// The pixels from one corner to the other, both included, whichever corner
// comes first.
inline Rect box(double x1, double y1, double x2, double y2) {
    return Rect::corners(pixel(x1), pixel(y1), pixel(x2), pixel(y2));
}

}  // namespace

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
    : width_(std::max(width, 0)), height_(std::max(height, 0)), texts_(width_, height_) {
    // In the body: the background is a member declared after the pixels.
    image_ = Image(width_, height_, to_rgb(background_));
    set_font(FontFamily::serif, 16);
}

void Surface::draw_waiting() const {
    draw_cells();
    if (!texts_.pending()) return;
    texts_.draw_all(target());
    cells_.image_overdrawn();
}

void Surface::draw_texts_meeting(const Rect& area) {
    // Cells first: drawn texts leave no cell's record valid.
    draw_cells();
    texts_.draw_under(area, target());
    cells_.image_overdrawn();
}

Rect Surface::take_changed_area() {
    const Rect area{changed_.left, changed_.top, changed_.right - changed_.left, changed_.bottom - changed_.top};
    changed_ = Bounds{};
    return area;
}

void Surface::clear() {
    ++drawing_requests_;
    cells_.forget_all();
    texts_.forget_all();
    pixels::paint(target(), whole(), to_rgb(background_));
    if (keeps_grid_) {
        grid_.clear();
        reading_.clear();
    }
    picture_areas_.clear();
    touched(whole());
    if (observer_) observer_->cleared();
}

void Surface::set_font(FontFamily family, double size) {
    const FontCell cell = font_cell(family, size);
    // The font follows from family and pixel size: the same one again
    // changes nothing (analyses set their font at every step).
    if (family == family_ && cell.pixel_size == cell_.pixel_size && cell.width == cell_.width &&
        cell.height == cell_.height)
        return;
    family_ = family;
    cell_ = cell;
    // Sizes the table lacks (titles on unusual surfaces) take its nearest.
    face_ = &surface_fonts().nearest_face(family, cell_.pixel_size);
    for (char32_t ch = 0; ch < latin1_advances_.size(); ++ch)
        latin1_advances_[ch] = face_->glyph_or_missing(ch).advance;
    const FaceMetrics& metrics = face_->metrics();
    baseline_in_cell_ = (cell_.height - metrics.height) / 2 + metrics.ascent;
    if (family == FontFamily::mono && !cells_.has_geometry(cell_.width, cell_.height)) {
        draw_cells();
        cells_.set_geometry(width_, height_, cell_.width, cell_.height);
    }
}

void Surface::line(double x1, double y1, double x2, double y2) {
    ++drawing_requests_;
    const int from_x = pixel(x1), from_y = pixel(y1), to_x = pixel(x2), to_y = pixel(y2);
    const Rect span = Rect::corners(from_x, from_y, to_x, to_y);
    // Thin horizontal and vertical lines are pixel runs, end pixels included.
    const bool a_point = from_x == to_x && from_y == to_y;
    if (line_width_ == 1 && !a_point && (from_x == to_x || from_y == to_y)) {
        if (!on_image(span)) return;
        texts_.drop_covered(span);  // the run covers every pixel of its span
        drawing(span, [&] { return pixels::fill(target(), span, to_rgb(colour_)); });
        return;
    }
    drawing(span.adjusted(-line_width_, -line_width_, line_width_, line_width_), [&] {
        return raster_lines::line(target(), from_x, from_y, to_x, to_y, line_width_, to_rgb(colour_)).changed;
    });
}

void Surface::rectangle(double x1, double y1, double x2, double y2) {
    ++drawing_requests_;
    const Rect r = box(x1, y1, x2, y2);
    const bool filled = fill_style_ != fill_hollow && r.width() > 2 && r.height() > 2;
    if (filled && keeps_grid_) reading_.covered(r);
    // Qt's painter outlines a one-pixel box by exactly its border pixels,
    // except when the box starts left of or above the image.
    if (line_width_ == 1 && r.width() >= 2 && r.height() >= 2 && r.left() >= 0 && r.top() >= 0) {
        if (!on_image(r)) return;
        drawing(r, [&] {
            const PixelRows pixels = target();
            if (r.width() == 2 && r.height() == 2 && r.right() < width_ && r.bottom() < height_) {
                // A dot of the experiment: four pixels, compared and written in place.
                const Rgb ink = to_rgb(colour_);
                Rgb* const upper = pixels.row(r.top()) + r.left();
                Rgb* const lower = pixels.row(r.top() + 1) + r.left();
                const bool changed = upper[0] != ink || upper[1] != ink || lower[0] != ink || lower[1] != ink;
                upper[0] = upper[1] = lower[0] = lower[1] = ink;
                return changed;
            }
            const bool inside = filled && pixels::fill(pixels, r.adjusted(1, 1, -1, -1), to_rgb(second_colour_));
            return pixels::outline(pixels, r, to_rgb(colour_)) || inside;
        });
        return;
    }
    // A box of no width or no height is a line stroked there and back: its
    // miter joins reach two widths beyond its ends.
    const int reach = r.width() == 1 || r.height() == 1 ? 2 * line_width_ : line_width_;
    drawing(r.adjusted(-reach, -reach, reach, reach), [&] {
        const bool inside = filled && pixels::fill(target(), r.adjusted(1, 1, -1, -1), to_rgb(second_colour_));
        const raster_lines::Drawn outline =
            raster_lines::box_outline(target(), r.left(), r.top(), r.right(), r.bottom(), line_width_, to_rgb(colour_));
        return outline.changed || inside;
    });
}

void Surface::filled_box(double x1, double y1, double x2, double y2) {
    ++drawing_requests_;
    const Rect r = box(x1, y1, x2, y2);
    if (on_image(r)) {
        texts_.drop_covered(r);
        drawing(r, [&] { return pixels::fill(target(), r, to_rgb(colour_)); });
    }
    if (keeps_grid_) reading_.covered(r);
}

void Surface::point(double x, double y) {
    ++drawing_requests_;
    const Rect p{pixel(x), pixel(y), 1, 1};
    if (on_image(p)) drawing(p, [&] { return pixels::fill(target(), p, to_rgb(colour_)); });
}

void Surface::graphics_text(double x, double y, const std::string& text) {
    ++drawing_requests_;
    const std::size_t count = utf8_to_u32(text, chars_buffer_);
    const std::u32string_view chars(chars_buffer_.data(), count);
    const int left = pixel(x), top = pixel(y);
    int width = 0;
    for (const char32_t ch : chars) width += advance(ch);
    const FaceMetrics& metrics = face_->metrics();
    const Rect area{left, top, width, metrics.height};
    // Glyphs may overhang their advances.
    drawing(area.adjusted(-metrics.height, 0, metrics.height, 0), [&] {
        const PixelRows image = target();
        if (!transparent_) pixels::paint(image, area, to_rgb(second_colour_));
        int pen = left;
        for (const char32_t ch : chars) {
            const Glyph& glyph = face_->glyph_or_missing(ch);
            // As Qt's painter blends text: its raster rule.
            glyph_blend::blend_glyph(image, glyph, pen, top + metrics.ascent, to_rgb(colour_),
                                     glyph_blend::Rule::qt_raster, {0, 0, width_, height_});
            pen += glyph.advance;
        }
        return true;
    });
    if (keeps_grid_) reading_.drawn(area, text, !transparent_);
    if (observer_) observer_->graphics_text(left, top, text, colour_);
}

void Surface::draw_image(const ImageView& picture, int left, int top, int width, int height) {
    ++drawing_requests_;
    const Rect area{left, top, width, height};
    if (picture.empty() || !on_image(area)) return;
    drawing(area, [&] {
        draw_scaled(picture, target(), area);
        return true;
    });
    picture_areas_.push_back(area.intersected(whole()));
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

}  // namespace rt
