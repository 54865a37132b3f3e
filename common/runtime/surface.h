#pragma once
// The drawing surface: a fixed 1024 x 768 image that keeps whatever is drawn,
// so the window can be covered, resized and repainted at its own pace. All
// drawing of both runtimes goes through here, which is what makes the
// scripted run produce the window's pixels.
//
// Monospace text goes into cells first (mono_cells.h), proportional text
// into a list of texts (text_layer.h); both become pixels when the image is
// read or before other drawing goes where they are: whoever looks at image()
// sees exactly the pixels of drawing everything at once.

#include "common/runtime/geometry.h"
#include "common/runtime/glyph_cache.h"
#include "common/runtime/image.h"
#include "common/runtime/mono_cells.h"
#include "common/runtime/pixels.h"
#include "common/runtime/raster_lines.h"
#include "common/runtime/runtime.h"
#include "common/runtime/screen_reading.h"
#include "common/runtime/text_grid.h"
#include "common/runtime/text_layer.h"

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
    // The pixels as drawn so far: waiting monospace cells and texts are drawn
    // first. Valid until the next drawing: whoever keeps them copies them.
    ImageView image() const {
        draw_waiting();
        return image_.view();
    }

    // Counts every change of the pixels; the window repaints when it moved,
    // and a polling loop that sees it unchanged may sleep.
    std::uint64_t change_count() const { return changes_; }
    // Counts every drawing asked for, whether it changed a pixel or not: a
    // loop that redraws what stands there is busy all the same, and a poll
    // must not take it for one that waits.
    std::uint64_t drawing_requests() const { return drawing_requests_; }
    // The part of the image changed since the last call (empty: none), for
    // a window that repaints only what changed.
    Rect take_changed_area();

    void set_observer(SurfaceObserver* observer) { observer_ = observer; }
    // The characters in the text cells, kept only where someone reads them
    // (headless runs and tests): a window shows pixels, and recording every
    // print cost a sixth of a drawn dice step. Off, the grid stays empty.
    void keep_text_grid(bool keep) {
        keeps_grid_ = keep;
        grid_.clear();
        reading_.clear();
    }
    bool keeps_text_grid() const { return keeps_grid_; }
    const TextGrid& text_grid() const { return grid_; }
    // The drawn texts and the programs' sentences, kept with the grid.
    const ScreenReading& reading() const { return reading_; }
    // A sentence on what the picture shows, until the next clear.
    void describe_picture(const std::string& sentence) {
        if (keeps_grid_) reading_.describe(sentence);
    }

    // For tests: monospace cells and texts drawn at every print instead of
    // when looked at, and texts drawn whole, without what the text layer
    // remembers of drawn texts: the plain reference.
    void set_drawn_at_once(bool at_once) {
        drawn_at_once_ = at_once;
        texts_.set_remembering(!at_once);
    }

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
    // The picture scaled into the box (picture_scaling.h).
    void draw_image(const ImageView& picture, int left, int top, int width, int height);

    // Replaces every pixel by `picture` of it where a picture was drawn since
    // the last clear and by `drawn` of it elsewhere (surface_recolour.cpp).
    void recolour(const std::function<Rgb(Rgb)>& drawn, const std::function<Rgb(Rgb)>& picture);
    // A copy of the pixels changed as recolour() changes them; the surface stays.
    Image recoloured(const std::function<Rgb(Rgb)>& drawn, const std::function<Rgb(Rgb)>& picture) const;

    void locate(double column, double row);
    void print(const std::string& text);
    void new_line();
    int cell_width() const { return cell_.width; }
    int cell_height() const { return cell_.height; }
    // The pixel position of the next print.
    int print_x() const { return print_x_; }
    int print_y() const { return print_y_; }

private:
    // Waiting cells and texts never overlap: whatever is added to one is
    // first drawn from the other where they meet. So they may be drawn in
    // any order, and before other drawing only where it goes.
    void draw_waiting() const;
    void draw_cells() const {
        if (cells_.pending()) cells_.draw_pending(target());
    }
    // `area_tiles`: the tiles of `area` (TextLayer::tiles()), computed once
    // per drawing.
    void draw_texts_under(const Rect& area, std::uint64_t area_tiles) {
        if (texts_.pending() && texts_.meets(area_tiles)) draw_texts_meeting(area);
    }
    void draw_texts_under(const Rect& area) { draw_texts_under(area, texts_.tiles().of(area)); }
    void draw_texts_meeting(const Rect& area);
    // Before other drawing over `area`.
    void prepare(const Rect& area, std::uint64_t area_tiles) {
        draw_cells();
        draw_texts_under(area, area_tiles);
    }
    void prepare(const Rect& area) { prepare(area, texts_.tiles().of(area)); }
    // Every drawing that changed pixels tells where.
    void touched(const Rect& area) {
        ++changes_;
        cells_.image_overdrawn();
        texts_.overdrawn(area);
        mark_changed(area.x, area.y, area.w, area.h);
    }
    // The steps of every drawing primitive: what waits under `reach` (all the
    // drawing may change) is drawn first, then `draw` writes the pixels and
    // tells whether any changed; a change is counted and its area marked.
    template <typename Draw>
    void drawing(const Rect& reach, Draw&& draw) {
        prepare(reach);
        if (draw()) touched(reach);
    }
    void print_mono(const std::string& text);
    void print_proportional(const std::string& text);

    Rect whole() const { return {0, 0, width_, height_}; }
    // Whether any pixel of `area` lies on the image.
    bool on_image(const Rect& area) const { return area.overlaps(whole()); }
    // The pixels for writing; reading draws what waits, so const readers write too.
    PixelRows target() const { return image_.rows(); }

    int width_ = 0, height_ = 0;
    // The image is a cache of what the cells and texts hold: reading it draws them.
    mutable Image image_;
    mutable MonoCells cells_;
    mutable TextLayer texts_;
    bool drawn_at_once_ = false;
    std::uint64_t changes_ = 0;
    std::uint64_t drawing_requests_ = 0;
    // The changed area as pixel bounds, [left, right) x [top, bottom).
    struct Bounds {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    Bounds changed_;
    void mark_changed(int x, int y, int w, int h) {
        const int left = std::max(x, 0), top = std::max(y, 0);
        const int right = std::min(x + w, width_), bottom = std::min(y + h, height_);
        if (left >= right || top >= bottom) return;
        const bool none = changed_.left >= changed_.right;
        changed_.left = none ? left : std::min(changed_.left, left);
        changed_.top = none ? top : std::min(changed_.top, top);
        changed_.right = none ? right : std::max(changed_.right, right);
        changed_.bottom = none ? bottom : std::max(changed_.bottom, bottom);
    }
    SurfaceObserver* observer_ = nullptr;
    TextGrid grid_;
    ScreenReading reading_;
    bool keeps_grid_ = false;

    Colour background_ = 0xFFFFFF;
    Colour colour_ = 0x000000;
    Colour second_colour_ = 0xFFFFFF;
    int line_width_ = 1;
    int fill_style_ = fill_hollow;
    bool transparent_ = false;

    FontFamily family_ = FontFamily::serif;
    FontCell cell_{};
    const FontFace* face_ = nullptr;
    int baseline_in_cell_ = 0;  // pixels from a cell's top to the baseline
    int advance(char32_t ch) const {
        return ch < latin1_advances_.size() ? latin1_advances_[ch] : face_->glyph_or_missing(ch).advance;
    }
    // The face's Latin-1 advances, taken at every change of face: a table
    // line asks for each of its characters at every trial.
    std::array<int, 256> latin1_advances_{};

    // Print position: pixels for drawing, grid cells for the text grid
    // (proportional text advances fewer pixels than cells).
    int print_x_ = 0;
    int print_y_ = 0;
    int grid_column_ = 0;
    int grid_row_ = 0;

    // The text of the current print and where its glyphs start, kept so
    // that a print allocates nothing.
    std::u32string chars_buffer_;  // only grows
    std::u32string_view chars_;    // the current print's characters, in chars_buffer_
    std::u32string blanks_;
    std::vector<int> glyph_x_;

    // Where pictures were drawn since the last clear: their pixels are no
    // palette colours, and re-colouring treats them as photos.
    std::vector<Rect> picture_areas_;
    // `from` changed into `to` (both of the surface's size; they may be one).
    void recolour_rows(const ImageView& from, PixelRows to, const std::function<Rgb(Rgb)>& drawn,
                       const std::function<Rgb(Rgb)>& picture) const;
};

}  // namespace rt
