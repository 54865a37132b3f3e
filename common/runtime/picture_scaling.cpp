#include "common/runtime/picture_scaling.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace rt {
namespace {

// Where the centre of each box pixel falls in the picture: the two picture
// pixels on either side and the weight of the second, 0 to 256.
struct Sample {
    int first, second, weight;
};

// For the box pixels [from, from + count): only those shown are sampled.
std::vector<Sample> samples(int from, int count, int box_size, int picture_size) {
    std::vector<Sample> out(static_cast<std::size_t>(count));
    const std::int64_t last = static_cast<std::int64_t>(picture_size - 1) << 16;
    for (int i = from; i < from + count; ++i) {
        // (i + 1/2) * picture / box - 1/2, in 16.16 fixed point.
        std::int64_t at = (static_cast<std::int64_t>(2 * i + 1) * picture_size << 16) / (2 * box_size) - (1 << 15);
        at = std::clamp<std::int64_t>(at, 0, last);
        const int first = static_cast<int>(at >> 16);
        out[static_cast<std::size_t>(i - from)] = {first, std::min(first + 1, picture_size - 1),
                                                   static_cast<int>((at & 0xFFFF) >> 8)};
    }
    return out;
}

Rgb mix(Rgb a, Rgb b, int weight) {
    const auto channel = [&](int shift) {
        const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
        return static_cast<Rgb>((ca * (256 - weight) + cb * weight + 128) >> 8) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

}  // namespace

void draw_scaled(const ImageView& picture, const PixelRows& target, const Rect& box) {
    const Rect shown = box.intersected({0, 0, target.width, target.height});
    if (shown.empty() || picture.empty()) return;
    const int from_x = shown.x - box.x, from_y = shown.y - box.y;
    if (box.w == picture.width() && box.h == picture.height()) {
        for (int y = 0; y < shown.h; ++y)
            std::copy_n(picture.row(from_y + y) + from_x, shown.w, target.row(shown.y + y) + shown.x);
        return;
    }
    const std::vector<Sample> across = samples(from_x, shown.w, box.w, picture.width());
    const std::vector<Sample> down = samples(from_y, shown.h, box.h, picture.height());
    for (int y = 0; y < shown.h; ++y) {
        const Sample& row = down[static_cast<std::size_t>(y)];
        const Rgb* upper = picture.row(row.first);
        const Rgb* lower = picture.row(row.second);
        Rgb* out = target.row(shown.y + y) + shown.x;
        for (int x = 0; x < shown.w; ++x) {
            const Sample& column = across[static_cast<std::size_t>(x)];
            out[x] = mix(mix(upper[column.first], upper[column.second], column.weight),
                         mix(lower[column.first], lower[column.second], column.weight), row.weight);
        }
    }
}

}  // namespace rt
