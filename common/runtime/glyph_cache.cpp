#include "common/runtime/glyph_cache.h"

#include "common/runtime/glyph_blend.h"

#include <algorithm>
#include <cstring>

namespace rt {

const GlyphMask& GlyphCache::mask(const FontFace& face, int font_key, char32_t ch) {
    if (last_masks_ == nullptr || font_key != last_mask_font_) {
        last_mask_font_ = font_key;
        last_masks_ = &masks_[font_key];
    }
    Masks& masks = *last_masks_;
    if (ch < masks.latin1.size() && masks.latin1[ch] != nullptr) return *masks.latin1[ch];
    const auto found = masks.glyphs.find(ch);
    if (found != masks.glyphs.end()) return found->second;

    const Glyph& glyph = face.glyph_or_missing(ch);
    GlyphMask made{&glyph, {}};
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.coverage[y * glyph.width + x] == 0) continue;
            InkBox& ink = made.ink;
            const int px = glyph.left + x, py = glyph.top + y;
            if (ink.empty()) ink = InkBox{px, px + 1, py, py + 1};
            ink.left = std::min(ink.left, px);
            ink.right = std::max(ink.right, px + 1);
            ink.top = std::min(ink.top, py);
            ink.bottom = std::max(ink.bottom, py + 1);
        }
    const GlyphMask& kept = masks.glyphs.emplace(ch, made).first->second;
    if (ch < masks.latin1.size()) masks.latin1[ch] = &kept;
    return kept;
}

const PaintedGlyph& GlyphCache::painted(const FontFace& face, int font_key, char32_t ch, std::uint32_t ink,
                                        std::uint32_t background) {
    const std::uint64_t palette = (static_cast<std::uint64_t>(font_key) << 48) ^
                                  (static_cast<std::uint64_t>(ink & 0xFFFFFF) << 24) ^ (background & 0xFFFFFF);
    if (last_painted_ == nullptr || palette != last_palette_) {
        last_palette_ = palette;
        last_painted_ = &painted_[palette];
    }
    Palette& glyphs = *last_painted_;
    if (ch < glyphs.latin1.size() && glyphs.latin1[ch] != nullptr) return *glyphs.latin1[ch];
    const auto found = glyphs.glyphs.find(ch);
    if (found != glyphs.glyphs.end()) return found->second;

    const GlyphMask& m = mask(face, font_key, ch);
    const Glyph& g = *m.glyph;
    PaintedGlyph glyph;
    glyph.width = g.width;
    glyph.height = g.height;
    glyph.left = g.left;
    glyph.top = g.top;
    glyph.ink_from = m.ink.left;
    glyph.ink_to = m.ink.right;
    glyph.pixels.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
    for (int y = 0; y < g.height; ++y) {
        const std::uint8_t* a = g.coverage + static_cast<std::ptrdiff_t>(y) * g.width;
        std::uint32_t* out = glyph.pixels.data() + static_cast<std::ptrdiff_t>(y) * g.width;
        for (int x = 0; x < g.width; ++x) {
            out[x] = (glyph_blend::blend_pixel(background, ink, a[x], glyph_blend::Rule::surface_mix) & 0xFFFFFFu) |
                     (static_cast<std::uint32_t>(a[x]) << 24);
            if (a[x] == 0) continue;
            if (x == 0 || a[x - 1] == 0)
                glyph.runs.push_back(InkRun{static_cast<std::int16_t>(y), static_cast<std::int16_t>(x), 0,
                                            static_cast<std::int32_t>(glyph.ink.size())});
            ++glyph.runs.back().length;
            glyph.ink.push_back(out[x] | 0xFF000000u);
        }
    }
    const PaintedGlyph& made = glyphs.glyphs.emplace(ch, std::move(glyph)).first->second;
    if (ch < glyphs.latin1.size()) glyphs.latin1[ch] = &made;
    return made;
}

void blend_glyph(const PixelRows& image, const GlyphMask& mask, int x, int baseline, std::uint32_t ink) {
    glyph_blend::blend_glyph(image, *mask.glyph, x, baseline, ink, glyph_blend::Rule::surface_mix,
                             {0, 0, image.width, image.height});
}

void copy_glyph(const PixelRows& image, const PaintedGlyph& glyph, int x, int baseline, const Rect& clip) {
    const int left = x + glyph.left, top = baseline + glyph.top;
    const int width = glyph.width, height = glyph.height;
    if (left >= clip.x && top >= clip.y && left + width <= clip.x + clip.w && top + height <= clip.y + clip.h) {
        const std::uint32_t* const ink = glyph.ink.data();
        for (const InkRun& run : glyph.runs) {
            std::uint32_t* const to = image.row(top + run.y) + left + run.x;
            const std::uint32_t* const from = ink + run.from;
            // Most runs are a few pixels: moved in place, not by a call.
            switch (run.length) {
            case 4: to[3] = from[3]; [[fallthrough]];
            case 3: to[2] = from[2]; [[fallthrough]];
            case 2: to[1] = from[1]; [[fallthrough]];
            case 1: to[0] = from[0]; break;
            default: std::memcpy(to, from, static_cast<std::size_t>(run.length) * sizeof(std::uint32_t));
            }
        }
        return;
    }
    // Cut by the clip: the runs' parts inside it (a value redrawn where its
    // digits changed cuts most glyphs by the ink rows of the others).
    const int x0 = std::max(clip.x, left), x1 = std::min(clip.x + clip.w, left + width);
    const int y0 = std::max(clip.y, top), y1 = std::min(clip.y + clip.h, top + height);
    if (x0 >= x1 || y0 >= y1) return;
    for (const InkRun& run : glyph.runs) {
        const int y = top + run.y;
        if (y < y0) continue;
        if (y >= y1) break;  // runs go row by row
        const int from = std::max(left + run.x, x0), to = std::min(left + run.x + run.length, x1);
        if (from >= to) continue;
        std::memcpy(image.row(y) + from, glyph.ink.data() + run.from + (from - left - run.x),
                    static_cast<std::size_t>(to - from) * sizeof(std::uint32_t));
    }
}

}  // namespace rt
