#include "common/runtime/pixels.h"

#include <algorithm>

namespace rt::pixels {

bool fill(QImage& image, const QRect& area, QRgb colour) {
    const QRect r = area.intersected(image.rect());
    if (r.isEmpty()) return false;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    bool changed = false;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* const begin = reinterpret_cast<QRgb*>(bits + y * stride) + r.left();
        QRgb* const end = begin + r.width();
        // Compared only up to the first difference: from there on it is a plain fill.
        QRgb* const from = changed ? begin : std::find_if(begin, end, [colour](QRgb p) { return p != colour; });
        if (from == end) continue;
        changed = true;
        std::fill(from, end, colour);
    }
    return changed;
}

bool outline(QImage& image, const QRect& box, QRgb colour) {
    // Two pixels wide or high: every pixel is on the border (the dots).
    if (box.width() <= 2 || box.height() <= 2) return fill(image, box, colour);
    const int l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    // Every edge is drawn, whatever the others changed.
    const bool top = fill(image, QRect(QPoint(l, t), QPoint(r, t)), colour);
    const bool bottom = fill(image, QRect(QPoint(l, b), QPoint(r, b)), colour);
    const bool left = fill(image, QRect(QPoint(l, t + 1), QPoint(l, b - 1)), colour);
    const bool right = fill(image, QRect(QPoint(r, t + 1), QPoint(r, b - 1)), colour);
    return top || bottom || left || right;
}

}  // namespace rt::pixels
