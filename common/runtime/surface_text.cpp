// Printing on the surface: monospace text into cells, opaque proportional
// text into the text layer, transparent text blended at once.
#include "common/runtime/surface.h"

namespace rt {

void Surface::print(const std::string& text) {
    ++drawing_requests_;
    if (text.empty()) return;
    const std::size_t count = utf8_to_u32(text, chars_buffer_);  // may grow the buffer
    chars_ = std::u32string_view(chars_buffer_.data(), count);
    if (family_ == FontFamily::mono && !transparent_)
        print_mono(text);
    else
        print_proportional(text);
}

void Surface::print_mono(const std::string& text) {
    const std::size_t count = chars_.size();
    // Text in its own background colour shows nothing: in the grid it only erases.
    const int column = keeps_grid_ ? grid_.put_cells(grid_column_, grid_row_, chars_.data(), count, print_x_,
                                                     cell_.width, colour_ == second_colour_)
                                   : grid_column_;
    if (observer_) observer_->printed(grid_column_, grid_row_, print_x_, print_y_, text, colour_);
    const Rect area{print_x_, print_y_, static_cast<int>(count) * cell_.width, cell_.height};
    draw_texts_under(area);
    const std::uint32_t style = cells_.style(colour_, second_colour_, *face_, target());
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
            texts_.overdrawn(area);
            mark_changed(area.x, area.y, area.w, area.h);
            if (drawn_at_once_) draw_cells();
        }
    } else {
        draw_cells();
        cells_.draw_at(target(), print_x_, print_y_, chars_.data(), count, style);
        if (on_image(area)) touched(area);
    }
    print_x_ += area.width();
    grid_column_ = column + static_cast<int>(count);
}

void Surface::print_proportional(const std::string& text) {
    // Where each glyph starts, for the text grid; the sum of the advances is
    // the text's width (no second shaping of the whole line).
    glyph_x_.resize(chars_.size() + 1);
    int x = print_x_;
    for (std::size_t i = 0; i < chars_.size(); ++i) {
        glyph_x_[i] = x;
        x += advance(chars_[i]);
    }
    glyph_x_.back() = x;
    int column = grid_column_;
    if (keeps_grid_) {
        // Text in its own background colour shows nothing: in the grid it only erases.
        const bool invisible = !transparent_ && colour_ == second_colour_;
        if (invisible) blanks_.assign(chars_.size(), U' ');
        column = grid_.put(grid_column_, grid_row_, invisible ? std::u32string_view(blanks_) : chars_, glyph_x_,
                           !transparent_);
    }
    if (observer_) observer_->printed(grid_column_, grid_row_, print_x_, print_y_, text, colour_);
    grid_column_ = column + static_cast<int>(chars_.size());

    const Rect area{print_x_, print_y_, glyph_x_.back() - print_x_, cell_.height};
    print_x_ = glyph_x_.back();
    const int baseline = area.top() + baseline_in_cell_;
    const int font_key = cell_.pixel_size * 2 + (family_ == FontFamily::mono ? 1 : 0);
    // Waiting cells under it are drawn first; texts it meets keep their order.
    draw_cells();

    if (transparent_) {
        // Blended over whatever stands there: drawn now, after what waits under it.
        const Rect reach = area.adjusted(-cell_.height / 2, 0, cell_.height / 2, 0);
        draw_texts_under(reach);
        const Rgb ink = to_rgb(colour_);
        GlyphCache& glyphs = texts_.glyphs();
        for (std::size_t i = 0; i < chars_.size(); ++i)
            if (chars_[i] != U' ')
                blend_glyph(target(), glyphs.mask(*face_, font_key, chars_[i]), glyph_x_[i], baseline, ink);
        touched(reach);
        return;
    }

    const Rect effect = texts_.add({area, baseline, chars_, glyph_x_, colour_, second_colour_, *face_, font_key});
    if (effect.empty()) return;
    ++changes_;
    mark_changed(effect.x, effect.y, effect.w, effect.h);
    if (drawn_at_once_ || texts_.crowded()) {
        texts_.draw_all(target());
        cells_.image_overdrawn();
    }
}

}  // namespace rt
