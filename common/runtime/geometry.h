#pragma once
// Pixel rectangles: where something is drawn, what it may change and what
// changed. A rectangle is its top-left pixel and its size; right() and
// bottom() are its last pixels, as the painting rules are said in pixels.

#include <algorithm>

namespace rt {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;

    // The pixels from one corner to the other, both included, whichever
    // corner comes first.
    static Rect corners(int x1, int y1, int x2, int y2) {
        const int left = std::min(x1, x2), top = std::min(y1, y2);
        return {left, top, std::max(x1, x2) - left + 1, std::max(y1, y2) - top + 1};
    }

    int left() const { return x; }
    int top() const { return y; }
    int right() const { return x + w - 1; }
    int bottom() const { return y + h - 1; }
    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return w <= 0 || h <= 0; }

    Rect adjusted(int dx1, int dy1, int dx2, int dy2) const { return {x + dx1, y + dy1, w - dx1 + dx2, h - dy1 + dy2}; }
    // Whether the two share a pixel; an empty rectangle shares none.
    bool overlaps(const Rect& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h && !empty() && !o.empty();
    }
    bool inside(const Rect& outer) const {
        return x >= outer.x && y >= outer.y && x + w <= outer.x + outer.w && y + h <= outer.y + outer.h;
    }
    // The shared pixels; empty (all zero) when there are none.
    Rect intersected(const Rect& o) const {
        if (!overlaps(o)) return {};
        const int left = std::max(x, o.x), top = std::max(y, o.y);
        return {left, top, std::min(x + w, o.x + o.w) - left, std::min(y + h, o.y + o.h) - top};
    }
    // The smallest rectangle holding both; both must be non-empty.
    Rect united(const Rect& o) const {
        const int left = std::min(x, o.x), top = std::min(y, o.y);
        return {left, top, std::max(x + w, o.x + o.w) - left, std::max(y + h, o.y + o.h) - top};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace rt
