#pragma once
// The drawing surface: a fixed 1024 x 768 image that keeps whatever is drawn,
// so the window can be covered, resized and repainted at its own pace. All
// drawing of both runtimes goes through here, which is what makes the
// scripted run produce the window's pixels.
//
// Monospace text goes into cells first (mono_cells.h) and becomes pixels
// when the image is read or before anything else is drawn: whoever looks at
// image() sees exactly the pixels of drawing everything at once.

#include "common/runtime/glyph_cache.h"
#include "common/runtime/mono_cells.h"
#include "common/runtime/pixels.h"
#include "common/runtime/runtime.h"
#include "common/runtime/text_grid.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rt {

// Told about every text and every clear, for the transcript of scripted runs.
class SurfaceObserver {
public:
    virtual ~SurfaceObserver() = default;
    virtual void printed(int column, int row, int x, int y, const std::string& text, Colour colour) = 0;
    virtual void graphics_text(int x, int y, const std::string& text, Colour colour) = 0;
    virtual void cleared() = 0;
};

// The character grid of a font: the pixel size of its glyphs and the cell in
// which a print position lies. Sizes are the programs' nominal font sizes.
struct FontCell {
    int pixel_size;
    int width;
    int height;
};
FontCell font_cell(FontFamily family, double size);

class Surface {
public:
    Surface(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // The pixels as drawn so far: pending monospace cells are drawn first.
    const QImage& image() const {
        draw_cells();
        return image_;
    }

    // Counts every change of the pixels; the window repaints when it moved,
    // and a polling loop that sees it unchanged may sleep.
    std::uint64_t change_count() const { return changes_; }
    // The part of the image changed since the last call (empty: none), for
    // a window that repaints only what changed.
    QRect take_changed_area();

    void set_observer(SurfaceObserver* observer) { observer_ = observer; }
    const TextGrid& text_grid() const { return grid_; }

    // For tests: monospace cells drawn at every print instead of when looked
    // at, and texts rewritten in place drawn in full instead of from their
    // first change.
    void set_cells_drawn_at_once(bool at_once) { cells_at_once_ = at_once; }
    void set_rewrites_drawn_in_full(bool in_full) { rewrites_in_full_ = in_full; }

    void set_background_colour(Colour c) { background_ = c; }
    Colour background_colour() const { return background_; }
    void clear();

    void set_colour(Colour c) { colour_ = c; }
    Colour colour() const { return colour_; }
    void set_second_colour(Colour c) { second_colour_ = c; }
    Colour second_colour() const { return second_colour_; }
    void set_line_width(int pixels) { line_width_ = pixels < 1 ? 1 : pixels; }
    void set_fill_style(int style) { fill_style_ = style; }
    void set_font(FontFamily family, double size);
    void set_font_size(double size) { set_font(family_, size); }
    void set_text_transparent(bool transparent) { transparent_ = transparent; }

    void line(double x1, double y1, double x2, double y2);
    void rectangle(double x1, double y1, double x2, double y2);
    void filled_box(double x1, double y1, double x2, double y2);
    void point(double x, double y);
    void graphics_text(double x, double y, const std::string& text);
    void draw_image(const QImage& picture, int left, int top, int width, int height);

    // Replaces every pixel by `picture` of it where a picture was drawn since
    // the last clear and by `drawn` of it elsewhere (surface_recolour.cpp).
    void recolour(const std::function<QRgb(QRgb)>& drawn, const std::function<QRgb(QRgb)>& picture);

    void locate(double column, double row);
    void print(const std::string& text);
    void new_line();
    int cell_width() const { return cell_.width; }
    int cell_height() const { return cell_.height; }
    // The pixel position of the next print.
    int print_x() const { return print_x_; }
    int print_y() const { return print_y_; }

private:
    // Before anything else reads or draws pixels.
    void draw_cells() const {
        if (cells_.pending()) draw_pending_cells();
    }
    void draw_pending_cells() const;
    // Every drawing that changed pixels tells where.
    void touched(const QRect& area);
    void print_mono(const std::string& text);
    void print_proportional(const std::string& text);
    void draw_proportional(const std::vector<int>& glyph_x);

    // Whether any pixel of `area` lies on the image.
    bool on_image(const QRect& area) const {
        return area.left() < width_ && area.top() < height_ && area.left() + area.width() > 0 &&
               area.top() + area.height() > 0 && area.width() > 0 && area.height() > 0;
    }
    // The pixels for writing (bits() makes a shared image the surface's own).
    pixels::Target target() { return pixels::Target(image_.bits(), stride_, width_, height_); }
    // The tiles of the image an area touches, one bit each (at most 8 x 8
    // tiles of 2^tile_shift_ pixels square).
    std::uint64_t tiles(const QRect& area) const {
        if (!on_image(area)) return 0;
        const int c0 = std::max(area.left(), 0) >> tile_shift_;
        const int c1 = (std::min(area.left() + area.width(), width_) - 1) >> tile_shift_;
        const int r0 = std::max(area.top(), 0) >> tile_shift_;
        const int r1 = (std::min(area.top() + area.height(), height_) - 1) >> tile_shift_;
        const std::uint64_t columns = (0xFFu >> (7 - (c1 - c0))) << c0;
        std::uint64_t mask = columns << (8 * r0);
        for (int r = r0 + 1; r <= r1; ++r) mask |= columns << (8 * r);
        return mask;
    }
    int tile_shift_ = 0;

    // The image is a cache of what the cells hold: reading it draws them.
    mutable QImage image_;
    int width_ = 0, height_ = 0;
    qsizetype stride_ = 0;
    mutable MonoCells cells_;
    bool cells_at_once_ = false;
    bool rewrites_in_full_ = false;
    std::uint64_t changes_ = 0;
    // The changed area as pixel bounds, [left, right) x [top, bottom).
    struct Bounds {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    Bounds changed_;
    void mark_changed(const QRect& area);
    void mark_changed(int x, int y, int w, int h);
    SurfaceObserver* observer_ = nullptr;
    TextGrid grid_;

    Colour background_ = 0xFFFFFF;
    Colour colour_ = 0x000000;
    Colour second_colour_ = 0xFFFFFF;
    int line_width_ = 1;
    int fill_style_ = fill_hollow;
    bool transparent_ = false;

    FontFamily family_ = FontFamily::serif;
    FontCell cell_{};
    QFont font_;
    QFontMetrics metrics_{QFont()};
    int baseline_in_cell_ = 0;  // pixels from a cell's top to the baseline
    // Advances of the Latin-1 characters in the current font, -1 until asked.
    std::array<int, 256> advances_{};
    int advance(char32_t ch) {
        return ch < advances_.size() && advances_[ch] >= 0 ? advances_[ch] : measured_advance(ch);
    }
    int measured_advance(char32_t ch);

    // Print position: pixels for drawing, grid cells for the text grid
    // (proportional text advances fewer pixels than cells).
    int print_x_ = 0;
    int print_y_ = 0;
    int grid_column_ = 0;
    int grid_row_ = 0;

    // The text of the current print and where its glyphs start, kept so
    // that a print allocates nothing.
    std::u32string chars_;
    std::u32string blanks_;
    std::vector<int> glyph_x_;
    std::vector<int> ink_left_, ink_right_;  // a rewritten record's ink columns, being made

    // Proportional text is copied (opaque) or blended (transparent) from
    // glyphs rendered once.
    GlyphCache proportional_glyphs_;
    // Opaque proportional texts as they stand, until something is drawn over them.
    struct ShownText {
        QRect area;
        std::u32string text;
        std::vector<int> glyph_x;  // where each glyph starts, and the end
        // Each glyph's ink columns [ink_left, ink_right) in pixels; empty for a blank.
        std::vector<int> ink_left, ink_right;
        Colour fg = 0;
        Colour bg = 0;
        int font_key = 0;
    };
    // What a rewrite of `earlier` that differs from character `first_change`
    // on must draw: the background over glyphs [fill_from, fill_to), the
    // glyphs [draw_from, draw_to) (by glyph index of the new text).
    struct Rewrite {
        std::size_t fill_from, draw_from, fill_to, draw_to;
    };
    Rewrite rewrite_from(const ShownText& earlier, std::size_t first_change, const std::vector<int>& glyph_x,
                         int font_key, QRgb ink, QRgb background);
    static constexpr std::size_t max_shown_texts = 64;
    std::vector<ShownText> shown_texts_;
    // The tiles the shown texts lie in: most drawings are far from all of
    // them, and the records are looked through only when tiles meet.
    std::uint64_t shown_text_tiles_ = 0;
    void forget_texts_under(const QRect& area);
    // Removes the records that match, in any order (the last one takes the
    // place of a removed one: no shifting); returns how many went.
    template <typename Match>
    std::size_t drop_texts_where(Match match) {
        std::size_t dropped = 0;
        for (std::size_t i = 0; i < shown_texts_.size();) {
            if (!match(shown_texts_[i])) {
                ++i;
                continue;
            }
            if (i + 1 != shown_texts_.size()) std::swap(shown_texts_[i], shown_texts_.back());
            shown_texts_.pop_back();
            ++dropped;
        }
        return dropped;
    }

    // Where pictures were drawn since the last clear: their pixels are no
    // palette colours, and re-colouring treats them as photos.
    std::vector<QRect> picture_areas_;
};

}  // namespace rt
