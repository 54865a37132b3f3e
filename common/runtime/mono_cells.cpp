#include "common/runtime/mono_cells.h"

#include "common/runtime/glyph_blend.h"
#include "common/runtime/pixels.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace rt {

void MonoCells::set_geometry(int image_width, int image_height, int cell_width, int cell_height) {
    cell_width_ = std::max(1, cell_width);
    cell_height_ = std::max(1, cell_height);
    // Every cell that starts inside the image; the last ones may be cut.
    columns_ = (image_width + cell_width_ - 1) / cell_width_;
    rows_ = (image_height + cell_height_ - 1) / cell_height_;
    const auto cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    wanted_.assign(cells, 0);
    shown_.assign(cells, unknown);
    row_generation_.assign(static_cast<std::size_t>(rows_), generation_);
    dirty_from_.assign(static_cast<std::size_t>(rows_), 0);
    dirty_to_.assign(static_cast<std::size_t>(rows_), 0);
    dirty_rows_.clear();
    // Glyphs are cell images: another cell size needs them rendered anew.
    styles_.clear();
    style_keys_.clear();
    forget_recent_styles();
}

void MonoCells::forget_all() {
    std::fill(wanted_.begin(), wanted_.end(), 0);
    std::fill(shown_.begin(), shown_.end(), unknown);
    for (const int row : dirty_rows_) dirty_from_[row] = dirty_to_[row] = 0;
    dirty_rows_.clear();
    ++generation_;
    std::fill(row_generation_.begin(), row_generation_.end(), generation_);
}

std::uint32_t MonoCells::find_style(Colour ink, Colour paper, const FontFace& face, const PixelRows& image) {
    const std::uint64_t key = style_key(ink, paper, face.pixel_size());
    std::uint32_t id = 0;
    const auto known = std::find(style_keys_.begin(), style_keys_.end(), key);
    if (known != style_keys_.end()) {
        id = static_cast<std::uint32_t>(known - style_keys_.begin());
    } else {
        if (styles_.size() >= max_styles) {
            draw_pending(image);
            image_overdrawn();
            styles_.clear();
            style_keys_.clear();
            forget_recent_styles();
        }
        styles_.push_back(std::make_unique<Style>(Style{ink, paper, &face, {}, {}}));
        style_keys_.push_back(key);
        id = static_cast<std::uint32_t>(styles_.size() - 1);
    }
    recent_keys_[1] = recent_keys_[0];
    recent_styles_[1] = recent_styles_[0];
    recent_keys_[0] = key;
    recent_styles_[0] = id;
    return id;
}

void MonoCells::refresh(int row) {
    if (row_generation_[row] == generation_) return;
    row_generation_[row] = generation_;
    const auto first = static_cast<std::size_t>(row) * columns_;
    // Other drawing came over the row after its cells were last drawn: none
    // of them is known to show anything, and none waits to be drawn.
    std::fill_n(wanted_.begin() + first, columns_, 0);
    std::fill_n(shown_.begin() + first, columns_, unknown);
}

bool MonoCells::put(int column, int row, const char32_t* text, std::size_t count, std::uint32_t style) {
    if (row < 0 || row >= rows_ || column >= columns_) return false;
    if (column < 0) {
        const auto skipped = static_cast<std::size_t>(-static_cast<long>(column));
        if (skipped >= count) return false;
        text += skipped;
        count -= skipped;
        column = 0;
    }
    const int n = static_cast<int>(std::min<std::size_t>(count, static_cast<std::size_t>(columns_ - column)));
    refresh(row);
    const auto first = static_cast<std::size_t>(row) * columns_ + column;
    std::uint32_t* const wanted = wanted_.data() + first;
    const std::uint32_t* const shown = shown_.data() + first;
    const std::uint32_t tag = look(0, style);
    // Four cells per step in vector registers (SSE2, NEON or plain code,
    // as the target has them); the rest one by one.
    using Lanes = std::uint32_t __attribute__((vector_size(16)));
    constexpr int lanes = 4;
    Lanes differs = {};
    const auto put_four = [&](int at) {
        Lanes chars, shown_looks;
        std::memcpy(&chars, text + at, sizeof chars);
        std::memcpy(&shown_looks, shown + at, sizeof shown_looks);
        const Lanes looks = (chars & char_mask) | tag;
        differs |= looks ^ shown_looks;
        std::memcpy(wanted + at, &looks, sizeof looks);
    };
    int i = 0;
    for (; i + lanes <= n; i += lanes) put_four(i);
    // The last cells as the last four once more: storing a look twice is harmless.
    if (i < n && i >= lanes) {
        put_four(n - lanes);
        i = n;
    }
    std::uint32_t any = differs[0] | differs[1] | differs[2] | differs[3];
    for (; i < n; ++i) {
        const std::uint32_t v = (text[i] & char_mask) | tag;
        any |= v ^ shown[i];
        wanted[i] = v;
    }
    if (any == 0) return false;
    int& from = dirty_from_[row];
    int& to = dirty_to_[row];
    if (from >= to) {
        dirty_rows_.push_back(row);
        from = column;
        to = column + n;
    } else {
        from = std::min(from, column);
        to = std::max(to, column + n);
    }
    return true;
}

void MonoCells::draw_pending(const PixelRows& image) {
    if (dirty_rows_.empty()) return;
    for (const int row : dirty_rows_) {
        const auto first = static_cast<std::size_t>(row) * columns_;
        for (int c = dirty_from_[row]; c < dirty_to_[row]; ++c) {
            const std::uint32_t v = wanted_[first + c];
            if (v == 0 || v == shown_[first + c]) continue;
            copy_cell(image, c * cell_width_, row * cell_height_, glyph((v >> char_bits) - 1, v & char_mask));
            shown_[first + c] = v;
        }
        dirty_from_[row] = dirty_to_[row] = 0;
    }
    dirty_rows_.clear();
}

void MonoCells::draw_at(const PixelRows& image, int x, int y, const char32_t* text, std::size_t count,
                        std::uint32_t style) {
    for (std::size_t i = 0; i < count; ++i)
        copy_cell(image, x + static_cast<int>(i) * cell_width_, y, glyph(style, text[i]));
}

const MonoCells::CellImage& MonoCells::glyph(std::uint32_t style, char32_t ch) {
    Style& s = *styles_[style];
    if (ch < s.latin1.size()) {
        CellImage& known = s.latin1[ch];
        if (known.empty()) known = render(s, ch);
        return known;
    }
    auto found = s.others.find(ch);
    if (found == s.others.end()) found = s.others.emplace(ch, render(s, ch)).first;
    return found->second;
}

MonoCells::CellImage MonoCells::render(const Style& s, char32_t ch) const {
    CellImage cell(static_cast<std::size_t>(cell_width_) * static_cast<std::size_t>(cell_height_));
    const FaceMetrics& metrics = s.face->metrics();
    const FaceCell shape{cell_width_, cell_height_, (cell_height_ - metrics.height) / 2 + metrics.ascent};
    glyph_blend::paint_cell({cell.data(), cell_width_, cell_width_, cell_height_}, s.face->glyph_or_missing(ch), 0, 0,
                            shape, to_rgb(s.ink), to_rgb(s.paper));
    return cell;
}

void MonoCells::copy_cell(const PixelRows& image, int x, int y, const CellImage& glyph) const {
    const int x0 = std::max(0, x), x1 = std::min(image.width, x + cell_width_);
    const int y0 = std::max(0, y), y1 = std::min(image.height, y + cell_height_);
    if (x0 >= x1 || y0 >= y1) return;
    for (int row = y0; row < y1; ++row) {
        const std::uint32_t* from = glyph.data() + static_cast<std::ptrdiff_t>(row - y) * cell_width_ + (x0 - x);
        std::uint32_t* const to = image.row(row) + x0;
        // A whole cell of the usual 8 pixels is two vector moves, not a call.
        if (x1 - x0 == 8)
            std::memcpy(to, from, 8 * sizeof(std::uint32_t));
        else
            std::memcpy(to, from, static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
    }
}

}  // namespace rt
