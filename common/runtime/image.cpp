#include "common/runtime/image.h"

#include <algorithm>

namespace rt {

Image::Image(int width, int height, Rgb fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

Image ImageView::copy() const {
    Image out(width_, height_);
    for (int y = 0; y < height_; ++y) std::copy_n(row(y), width_, out.row(y));
    return out;
}

bool operator==(const ImageView& a, const ImageView& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (!std::equal(a.row(y), a.row(y) + a.width(), b.row(y))) return false;
    return true;
}

}  // namespace rt
