#pragma once
// The fonts of the surface as a table read from one file (fonts.bin, made at
// build time by tools/make_font_table from Qt's own rendering): per face its
// metrics, per character its advance and its 8-bit coverage mask. With it
// the drawing core needs no font engine, so it runs alike on the desktop and
// in the browser. Plain C++: no Qt type.
//
// File format, all numbers little-endian, no padding:
//   header   "KDFT" (4 bytes), u16 version (1), u16 number of faces
//   per face, one after the other:
//     u8 family (0 serif, 1 mono), u8 number of cells, u16 pixel size,
//     i16 ascent, descent, height, leading, line spacing (Qt's font metrics),
//     u32 number of glyphs
//     per cell: u16 width, u16 height, i16 baseline (pixels from the
//       cell's top)
//     per glyph: u32 character, i16 advance, i16 left, i16 top,
//       u16 width, u16 height, u16 bytes of its packed mask (16 bytes)
//     the glyphs' packed masks, in the order of the glyphs
//   nothing after the last face.
// A mask is width * height coverage values, rows top to bottom, 0 no ink ..
// 255 full ink. Packed, it is a sequence of runs, each led by one byte t:
// t < 0x80: the next t + 1 bytes are values; 0x80 <= t < 0xC0: t - 0x7F
// zeros; t >= 0xC0: t - 0xBF values 255. (Most values are 0 or 255: packed,
// the masks take 57 % of their size; the whole table about 650 kB.)
// Glyph 0 of a face is its missing glyph, character 0xFFFFFFFF; the others
// follow with strictly increasing characters. A face's pixel size is unique
// within its family, and each family has at least one face.
//
// Missing characters. Qt, asked for a character its font lacks, takes it
// from another font on the machine that has it (CJK and even U+FFFD from
// Droid Sans Fallback here), or, when no font has it, draws the font's own
// missing-glyph box (.notdef: an outlined rectangle, advance 7 px in serif
// 20, 8 in mono 13). The first depends on the machine's fonts and cannot be
// reproduced in a browser; the table keeps the second: a face's missing
// glyph is what Qt draws for a character no font maps (U+0378, unassigned),
// and glyph_or_missing() gives it for every character the table lacks.
// (Qt draws default-ignorable characters beyond Latin-1, such as U+200B or
// the tags from U+E0000, as nothing with no advance; the table gives them
// the box.) Latin-1 is complete in every face, its control characters as
// Qt draws them one at a time: tab, no-break space and soft hyphen without
// ink, most others as the box. Beyond Latin-1 the table holds the dashes,
// quotes, bullet, ellipsis, euro and minus sign the Liberation fonts have.

#include "common/runtime/runtime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rt {

// The numbers Qt's font metrics give for the face, in pixels.
struct FaceMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;
    int leading = 0;
    int line_spacing = 0;
};

// A character cell the face is printed in (font_cell of one of the
// programs' font requests), with its baseline from the cell's top:
// (height - metrics.height) / 2 + metrics.ascent, as Surface::set_font has it.
struct FaceCell {
    int width = 0, height = 0, baseline = 0;
};

// A glyph's advance and its coverage mask, whose box lies at (left, top)
// from the pen position on the baseline (y grows downwards, so top is
// negative above the baseline). An empty box (width or height 0) has no ink
// and no mask. The mask holds width * height bytes, row by row.
struct Glyph {
    char32_t character = 0;
    int advance = 0;
    int left = 0, top = 0, width = 0, height = 0;
    const std::uint8_t* coverage = nullptr;
};

class FontFace {
public:
    FontFamily family() const { return family_; }
    int pixel_size() const { return pixel_size_; }
    const FaceMetrics& metrics() const { return metrics_; }
    std::span<const FaceCell> cells() const { return cells_; }
    // The cell of that size, nullptr when the face is not printed in it.
    const FaceCell* cell(int width, int height) const;

    // nullptr when the table lacks the character. O(1) for Latin-1, a
    // binary search over the few others.
    const Glyph* glyph(char32_t ch) const {
        if (ch < latin1_.size()) return latin1_[ch];
        return other_glyph(ch);
    }
    // Never nullptr: the face's missing glyph stands for what it lacks.
    const Glyph& glyph_or_missing(char32_t ch) const {
        const Glyph* g = glyph(ch);
        return g != nullptr ? *g : glyphs_.front();
    }
    const Glyph& missing_glyph() const { return glyphs_.front(); }
    // Every glyph, the missing one first.
    std::span<const Glyph> glyphs() const { return glyphs_; }

private:
    friend class FontTable;
    const Glyph* other_glyph(char32_t ch) const;
    FontFamily family_ = FontFamily::serif;
    int pixel_size_ = 0;
    FaceMetrics metrics_;
    std::vector<FaceCell> cells_;
    std::vector<Glyph> glyphs_;  // [0] the missing glyph, then by character
    std::array<const Glyph*, 256> latin1_{};
};

class FontTable {
public:
    // The table in `bytes` (the file's contents), or nothing with a reason
    // in `error` when they are not a valid table: no read ever leaves them.
    static std::optional<FontTable> from_bytes(const std::vector<std::uint8_t>& bytes, std::string* error = nullptr);
    // The same for a file; nothing when it cannot be read (asset_file.h:
    // regular files of at most max_asset_bytes).
    static std::optional<FontTable> read_file(const std::string& path, std::string* error = nullptr);

    // The face of exactly that size, nullptr when the table has none.
    const FontFace* face(FontFamily family, int pixel_size) const {
        const auto& index = index_[family_index(family)];
        if (pixel_size < 0 || static_cast<std::size_t>(pixel_size) >= index.size()) return nullptr;
        const int at = index[static_cast<std::size_t>(pixel_size)];
        return at < 0 ? nullptr : &faces_[static_cast<std::size_t>(at)];
    }
    // For sizes the table does not cover (a title at an unusual surface
    // width): the face of the nearest size in the family, the smaller one
    // of two equally near. Never nullptr.
    const FontFace& nearest_face(FontFamily family, int pixel_size) const;
    std::span<const FontFace> faces() const { return faces_; }

    // Moved, the glyphs' masks stay where they are; copies would point into
    // the original's.
    FontTable(FontTable&&) = default;
    FontTable& operator=(FontTable&&) = default;
    FontTable(const FontTable&) = delete;
    FontTable& operator=(const FontTable&) = delete;

    // The file's name beside the programs (asset_path.h finds it).
    static constexpr const char* file_name = "fonts.bin";

private:
    FontTable() = default;
    static std::size_t family_index(FontFamily family) { return family == FontFamily::mono ? 1 : 0; }
    std::vector<std::uint8_t> masks_;  // every glyph's unpacked mask
    std::vector<FontFace> faces_;
    std::array<std::vector<int>, 2> index_;  // per family: pixel size -> face, -1 none
};

}  // namespace rt
