#pragma once
// Pixels as the surface keeps them: 32 bits each, 0xFFRRGGBB in native byte
// order, rows one after the other. That is the layout of Qt's
// Qt's 32-bit RGB image format and of a canvas's ImageData read as 32-bit words on a
// little-endian machine, so a window or a page shows them without a copy.

#include "common/runtime/geometry.h"
#include "common/runtime/styles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace rt {

using Rgb = std::uint32_t;

// The opaque pixel of a colour (Windows order 0x00BBGGRR in, 0xFFRRGGBB out).
constexpr Rgb to_rgb(Colour c) { return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }
// And back: the Windows colour value of a pixel.
constexpr Colour colour_of(Rgb p) { return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16); }
constexpr int red_of(Rgb p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int green_of(Rgb p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int blue_of(Rgb p) { return static_cast<int>(p & 0xFF); }

class Image;

// Pixels to write, row by row: what every drawing routine is handed.
struct PixelRows {
    Rgb* bits = nullptr;
    std::ptrdiff_t stride = 0;  // pixels from one row to the next
    int width = 0, height = 0;
    Rgb* row(int y) const { return bits + y * stride; }
};

// Someone else's pixels, read-only; valid as long as their owner leaves them
// alone (for the surface: until the next drawing). Whoever keeps them copies.
class ImageView {
public:
    ImageView() = default;
    ImageView(const Rgb* bits, int width, int height, std::ptrdiff_t stride)
        : bits_(bits), width_(width), height_(height), stride_(stride) {}

    int width() const { return width_; }
    int height() const { return height_; }
    std::ptrdiff_t stride() const { return stride_; }  // in pixels
    const Rgb* bits() const { return bits_; }
    const Rgb* row(int y) const { return bits_ + y * stride_; }
    // (x, y) must lie inside: nothing is checked.
    Rgb pixel(int x, int y) const { return row(y)[x]; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    Rect rect() const { return {0, 0, width_, height_}; }
    // The pixels of `area` (clipped to these), still not copied.
    ImageView part(const Rect& area) const {
        const Rect r = area.intersected(rect());
        return {bits_ + r.y * stride_ + r.x, r.w, r.h, stride_};
    }

    Image copy() const;
    friend bool operator==(const ImageView& a, const ImageView& b);

private:
    const Rgb* bits_ = nullptr;
    int width_ = 0, height_ = 0;
    std::ptrdiff_t stride_ = 0;
};

// Pixels of one's own: a decoded picture, a copy kept for later.
class Image {
public:
    Image() = default;
    Image(int width, int height, Rgb fill = 0xFF000000u);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    Rgb* row(int y) { return pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_; }
    const Rgb* row(int y) const { return pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_; }
    Rgb pixel(int x, int y) const { return row(y)[x]; }
    Rgb* bits() { return pixels_.data(); }
    PixelRows rows() { return {pixels_.data(), width_, width_, height_}; }
    ImageView view() const { return {pixels_.data(), width_, height_, width_}; }
    operator ImageView() const { return view(); }

private:
    int width_ = 0, height_ = 0;
    std::vector<Rgb> pixels_;
};

// Turns the bytes of a picture file into pixels; nothing when they are no
// picture it can read. The host supplies it: on the desktop Qt's readers.
using PictureDecoder = std::function<std::optional<Image>(std::string_view bytes)>;

}  // namespace rt
