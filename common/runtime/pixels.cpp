#include "common/runtime/pixels.h"

#include <algorithm>
#include <cstring>

namespace rt::pixels {
namespace {

// Four pixels per store in vector registers (SSE2, NEON or plain code, as
// the target has them): text backgrounds are filled at every step.
void fill_row(Rgb* row, int count, Rgb colour) {
    using Lanes = Rgb __attribute__((vector_size(16)));
    const Lanes four = {colour, colour, colour, colour};
    int i = 0;
    for (; i + 4 <= count; i += 4) std::memcpy(row + i, &four, sizeof four);
    for (; i < count; ++i) row[i] = colour;
}

// The first pixel of [begin, end) not in `colour`, four at a time: a frame
// line redrawn over itself is only compared.
Rgb* first_other(Rgb* begin, Rgb* end, Rgb colour) {
    using Lanes = Rgb __attribute__((vector_size(16)));
    const Lanes four = {colour, colour, colour, colour};
    Rgb* p = begin;
    // Sixteen at a time while all match (a frame's line is a thousand
    // pixels), then four to find where.
    for (; end - p >= 16; p += 16) {
        Lanes a, b, c, d;
        std::memcpy(&a, p, sizeof a);
        std::memcpy(&b, p + 4, sizeof b);
        std::memcpy(&c, p + 8, sizeof c);
        std::memcpy(&d, p + 12, sizeof d);
        const Lanes differs = (a ^ four) | (b ^ four) | (c ^ four) | (d ^ four);
        if ((differs[0] | differs[1] | differs[2] | differs[3]) != 0) break;
    }
    for (; end - p >= 4; p += 4) {
        Lanes pixels;
        std::memcpy(&pixels, p, sizeof pixels);
        const Lanes differs = pixels ^ four;
        if ((differs[0] | differs[1] | differs[2] | differs[3]) != 0) break;
    }
    return std::find_if(p, end, [colour](Rgb pixel) { return pixel != colour; });
}

// The part of `area` inside the image, as [x0, x1) x [y0, y1).
struct Span {
    int x0, x1, y0, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Span inside(const PixelRows& image, const Rect& area) {
    return {std::max(area.left(), 0), std::min(area.left() + area.width(), image.width), std::max(area.top(), 0),
            std::min(area.top() + area.height(), image.height)};
}

}  // namespace

bool fill(const PixelRows& image, const Rect& area, Rgb colour) {
    const Span r = inside(image, area);
    if (r.empty()) return false;
    bool changed = false;
    if (r.x1 - r.x0 <= 4) {
        // Dots and vertical lines: pixel by pixel.
        for (int y = r.y0; y < r.y1; ++y) {
            Rgb* const row = image.row(y);
            for (int x = r.x0; x < r.x1; ++x) {
                changed |= row[x] != colour;
                row[x] = colour;
            }
        }
        return changed;
    }
    for (int y = r.y0; y < r.y1; ++y) {
        Rgb* const begin = image.row(y) + r.x0;
        Rgb* const end = image.row(y) + r.x1;
        // Compared only up to the first difference: from there on it is a plain fill.
        Rgb* const from = changed ? begin : first_other(begin, end, colour);
        if (from == end) continue;
        changed = true;
        fill_row(from, static_cast<int>(end - from), colour);
    }
    return changed;
}

void paint(const PixelRows& image, const Rect& area, Rgb colour) {
    const Span r = inside(image, area);
    if (r.empty()) return;
    for (int y = r.y0; y < r.y1; ++y) fill_row(image.row(y) + r.x0, r.x1 - r.x0, colour);
}

bool outline(const PixelRows& image, const Rect& box, Rgb colour) {
    // Two pixels wide or high: every pixel is on the border (the dots).
    if (box.width() <= 2 || box.height() <= 2) return fill(image, box, colour);
    const int l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    // Every edge is drawn, whatever the others changed.
    const bool top = fill(image, Rect::corners(l, t, r, t), colour);
    const bool bottom = fill(image, Rect::corners(l, b, r, b), colour);
    const bool left = fill(image, Rect{l, t + 1, 1, b - t - 1}, colour);
    const bool right = fill(image, Rect{r, t + 1, 1, b - t - 1}, colour);
    return top || bottom || left || right;
}

}  // namespace rt::pixels
