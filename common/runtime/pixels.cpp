#include "common/runtime/pixels.h"

#include <algorithm>
#include <cstring>

namespace rt::pixels {
namespace {

// Four pixels per store in vector registers (SSE2, NEON or plain code, as
// the target has them): text backgrounds are filled at every step.
void fill_row(QRgb* row, int count, QRgb colour) {
    using Lanes = QRgb __attribute__((vector_size(16)));
    const Lanes four = {colour, colour, colour, colour};
    int i = 0;
    for (; i + 4 <= count; i += 4) std::memcpy(row + i, &four, sizeof four);
    for (; i < count; ++i) row[i] = colour;
}

}  // namespace

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
        fill_row(from, static_cast<int>(end - from), colour);
    }
    return changed;
}

void paint(QImage& image, const QRect& area, QRgb colour) {
    const QRect r = area.intersected(image.rect());
    if (r.isEmpty()) return;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        fill_row(reinterpret_cast<QRgb*>(bits + y * stride) + r.left(), r.width(), colour);
    }
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
