#pragma once
// Opaque proportional text, drawn when someone looks. A print becomes a job;
// the jobs are drawn in print order when the image is read or, before any
// other drawing, those that the drawing meets (with all printed before them).
// A job that a later print in the same place paints over completely is
// dropped: an analysis that rewrites its lines at every step has them drawn
// about as often as a screen shows them. Whenever the image is read it equals
// the image of drawing every print at once.
//
// A job draws the background over its area (from its first glyph to its end,
// one cell high), then its glyphs.
//
// Drawn texts are remembered with the part of them that other drawing has
// changed since (their damage). A print of a remembered text in the same
// place, font and colours draws only what differs from it and that damage:
// a table rewritten after every trial, whose labels stand and whose values
// change a digit or two, costs the pixels of those digits, and a label
// printed again over a clean copy of itself costs none.

#include "common/runtime/glyph_cache.h"
#include "common/runtime/pixels.h"
#include "common/runtime/styles.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Bits for the at most 8 x 8 tiles of an image that an area meets (tiles of
// a power of two pixels square): most drawings are far from every text, and
// the lists of texts are looked through only when tiles meet.
class Tiles {
public:
    Tiles(int width, int height);
    std::uint64_t of(const Rect& area) const {
        if (area.width() <= 0 || area.height() <= 0 || area.left() >= width_ || area.top() >= height_ ||
            area.left() + area.width() <= 0 || area.top() + area.height() <= 0)
            return 0;
        const int c0 = std::max(area.left(), 0) >> shift_;
        const int c1 = (std::min(area.left() + area.width(), width_) - 1) >> shift_;
        const int r0 = std::max(area.top(), 0) >> shift_;
        const int r1 = (std::min(area.top() + area.height(), height_) - 1) >> shift_;
        const std::uint64_t columns = (0xFFu >> (7 - (c1 - c0))) << c0;
        std::uint64_t mask = columns << (8 * r0);
        for (int r = r0 + 1; r <= r1; ++r) mask |= columns << (8 * r);
        return mask;
    }

private:
    int width_, height_;
    int shift_ = 0;
};

// An opaque print as the surface hands it over.
struct TextPrint {
    Rect area;     // the background: from the first glyph to the end, one cell high
    int baseline;  // pixel row of the baseline
    std::u32string_view text;
    const std::vector<int>& glyph_x;  // where each glyph starts, and the end
    Colour ink, paper;
    const FontFace& face;
    int font_key;  // tells faces apart for the glyph cache
};

class TextLayer {
public:
    TextLayer(int width, int height) : tiles_(width, height) {}

    GlyphCache& glyphs() { return glyphs_; }
    const Tiles& tiles() const { return tiles_; }

    // Takes a print; returns what its drawing may change, empty when it
    // changes nothing (the same text waits or stands there already).
    Rect add(const TextPrint& print);

    // Other drawing may have changed the pixels of `area`: what is
    // remembered there is damaged. Most drawing (every monospace line of a
    // simulation) lies apart from every drawn text: a quick no.
    void overdrawn(const Rect& area) {
        if (area.overlaps(shown_bounds_)) damage(area);
    }
    // Off: every job draws all of its pixels and nothing is remembered
    // (the reference that tests compare with).
    void set_remembering(bool remember) {
        remembering_ = remember;
        if (!remember) forget_shown();
    }

    bool pending() const { return !jobs_.empty(); }
    // Whether `area`, lying in `area_tiles`, may meet a waiting text: a quick no.
    bool meets(std::uint64_t area_tiles) const { return (area_tiles & job_tiles_) != 0; }
    // More waiting texts than are worth looking through: time to draw them.
    bool crowded() const { return jobs_.size() > max_jobs; }
    // Draws the waiting texts that `area` meets, and those printed before
    // them that they meet.
    void draw_under(const Rect& area, const PixelRows& image) {
        if (meets(tiles_.of(area))) draw_jobs_under(area, image);
    }
    void draw_all(const PixelRows& image);
    // An opaque fill is about to write every pixel of `area`. A waiting
    // reprint of a standing text that would only restore pixels inside it
    // draws nothing that stays: it is dropped, and the text's record keeps
    // its damage. (A frame line that a caption's background cuts at every
    // reprint is then only compared with itself.)
    void drop_covered(const Rect& area) {
        if (remembering_ && meets(tiles_.of(area))) drop_jobs_covered(area);
    }

    // The image was cleared: nothing waits.
    void forget_all();

private:
    struct Job {
        Rect area;
        Rect effect;  // the area and every pixel of ink
        int baseline = 0;
        std::u32string text;
        std::vector<int> glyph_x;
        Colour ink = 0, paper = 0;
        const FontFace* face = nullptr;
        int font_key = 0;
        // Of a drawn text: the part of `effect` whose pixels other drawing
        // may have changed since.
        Rect damage;
        // Drawn at the same pixels, with the same glyph and background colours.
        template <typename Text>
        bool same_place(const Text& t) const {
            return area.x == t.area.x && area.y == t.area.y && area.h == t.area.h && baseline == t.baseline &&
                   ink == t.ink && paper == t.paper && font_key == t.font_key;
        }
    };
    Rect ink_effect(const TextPrint& print);
    // A glyph's ink box; the Latin-1 ones of the font asked for last at hand.
    const InkBox& ink_of(const FontFace& face, int font_key, char32_t ch);
    void draw_jobs_under(const Rect& area, const PixelRows& image);
    void drop_jobs_covered(const Rect& area);
    // Whether waiting job `i` repeats the text standing in its place, meets
    // no other waiting job, and would draw only inside `area`.
    bool restores_only_inside(std::size_t i, const Rect& area) const;
    // Draws waiting job `i`, or of it only what differs from the remembered
    // text in its place, and remembers it. The later jobs drawn with it are
    // all those after it (`all_later`) or those marked in drawn_.
    void draw_and_remember(std::size_t i, const PixelRows& image, bool all_later);
    // Whether a later job drawn with job `i` paints every pixel of `part`.
    bool painted_later(std::size_t i, const Rect& part, bool all_later) const {
        for (std::size_t k = i + 1; k < jobs_.size(); ++k)
            if ((all_later || drawn_[k]) && part.inside(jobs_[k].area)) return true;
        return false;
    }
    // The job's pixels inside `clip`.
    void draw(const Job& job, const PixelRows& image, const Rect& clip);
    // Where drawing `next` over the undamaged `before` in the same place
    // may change pixels: the ink of the glyphs that differ and a longer
    // background.
    Rect difference(const Job& before, const Job& next);
    // The remembered text in the job's place; -1 for none.
    int shown_at(const Job& job) const;
    // The same without the tiles' quick no. A place holds at most one
    // record, so the search may start anywhere: it starts after the last
    // one found, as a screen rewritten line by line asks in the same order.
    template <typename Text>
    int shown_in_place(const Text& t) const {
        const std::size_t count = shown_.size();
        std::size_t i = next_shown_ < count ? next_shown_ : 0;
        for (std::size_t n = 0; n < count; ++n) {
            if (shown_[i].same_place(t)) {
                next_shown_ = i + 1;
                return static_cast<int>(i);
            }
            if (++i == count) i = 0;
        }
        return -1;
    }
    void damage(const Rect& area) {
        int none = -1;
        damage(area, none);
    }
    // The same, leaving record `spared` (a text being redrawn, whose record
    // is replaced next) as it is; `spared` follows it when records before
    // it go.
    void damage(const Rect& area, int& spared);
    void remembered(const Rect& effect) {
        shown_tiles_ |= tiles_.of(effect);
        shown_bounds_ = shown_bounds_.empty() ? effect : shown_bounds_.united(effect);
    }
    void forget_shown();

    Tiles tiles_;
    GlyphCache glyphs_;

    std::vector<Job> jobs_;        // in print order
    std::vector<Job> spare_jobs_;  // drawn ones, kept for their storage
    std::vector<char> drawn_;      // which jobs a drawing draws
    std::vector<Rect> meeting_;    // their effects
    std::uint64_t job_tiles_ = 0;
    // A list of far more texts than a screen has lines would only be looked
    // through longer.
    static constexpr std::size_t max_jobs = 48;

    bool remembering_ = true;
    // Drawn texts, in the order their places were first drawn; their pixels
    // outside their damage stand.
    std::vector<Job> shown_;
    // Their effects side by side: damage looks through them at every drawn
    // text, and as a rule meets only the text itself.
    std::vector<Rect> shown_effects_;
    std::uint64_t shown_tiles_ = 0;  // may hold tiles of texts forgotten since
    Rect shown_bounds_;              // holds every remembered text's effect, and may hold more
    mutable std::size_t next_shown_ = 0;  // where the search for a place starts
    // About two screens of lines; beyond, the first one is forgotten.
    static constexpr std::size_t max_shown = 64;

    // How far the glyph boxes of a face reach from the pen on the baseline,
    // over all its glyphs; `forwards` off when an advance goes backwards.
    struct FaceReach {
        int left = 0, right = 0, top = 0, bottom = 0;
        bool forwards = true;
    };
    const FaceReach& reach_of(const FontFace& face, int font_key);
    int reach_font_ = -1;
    FaceReach reach_;

    int ink_font_ = -1;
    std::array<InkBox, 256> ink_boxes_{};
    std::array<bool, 256> ink_known_{};
};

}  // namespace rt
