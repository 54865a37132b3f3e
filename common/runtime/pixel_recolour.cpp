#include "common/runtime/pixel_recolour.h"

#include <algorithm>
#include <cmath>

namespace rt {

namespace {

constexpr std::uint32_t alpha_mask = 0xFF000000u;

int byte(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); }

std::uint32_t pack(double r, double g, double b, std::uint32_t alpha) {
    return alpha | static_cast<std::uint32_t>(byte(r)) << 16 | static_cast<std::uint32_t>(byte(g)) << 8 |
           static_cast<std::uint32_t>(byte(b));
}

double red(std::uint32_t p) { return static_cast<double>((p >> 16) & 0xFF); }
double green(std::uint32_t p) { return static_cast<double>((p >> 8) & 0xFF); }
double blue(std::uint32_t p) { return static_cast<double>(p & 0xFF); }

// HSL helper: one channel from hue sector h (0..6), chroma and lightness offset.
double hsl_channel(double h, double c, double m) {
    h = std::fmod(h, 6.0);
    if (h < 0) h += 6.0;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double v;
    if (h < 1 || h >= 5)
        v = c;
    else if (h < 2 || h >= 4)
        v = x;
    else
        v = 0;
    return (v + m) * 255.0;
}

}  // namespace

PixelRecolour::PixelRecolour(const std::vector<Colour>& from, const std::vector<Colour>& to, PhotoChange photos)
    : photos_(photos) {
    const auto rgb = [](Colour c) {
        return Rgb{static_cast<double>(c & 0xFF), static_cast<double>((c >> 8) & 0xFF),
                   static_cast<double>((c >> 16) & 0xFF)};
    };
    for (Colour c : from) from_.push_back(rgb(c));
    for (Colour c : to) to_.push_back(rgb(c));
    to_.resize(from_.size(), Rgb{0, 0, 0});
}

std::uint32_t PixelRecolour::drawn(std::uint32_t pixel) {
    const auto [it, inserted] = drawn_cache_.try_emplace(pixel, 0);
    if (inserted) it->second = map_drawn(pixel);
    return it->second;
}

std::uint32_t PixelRecolour::picture(std::uint32_t pixel) {
    const auto [it, inserted] = picture_cache_.try_emplace(pixel, 0);
    if (inserted) {
        const int index = palette_index(pixel);
        if (index >= 0)
            it->second = pack(to_[index].r, to_[index].g, to_[index].b, pixel & alpha_mask);
        else
            it->second = photos_ == PhotoChange::darken    ? darkened(pixel)
                         : photos_ == PhotoChange::lighten ? lightened(pixel)
                                                           : pixel;
    }
    return it->second;
}

int PixelRecolour::palette_index(std::uint32_t pixel) const {
    for (std::size_t i = 0; i < from_.size(); ++i)
        if (from_[i].r == red(pixel) && from_[i].g == green(pixel) && from_[i].b == blue(pixel))
            return static_cast<int>(i);
    return -1;
}

std::uint32_t PixelRecolour::map_drawn(std::uint32_t pixel) const {
    const Rgb p{red(pixel), green(pixel), blue(pixel)};
    double best = tolerance;
    bool found = false;
    Rgb result{};
    // A colour paired with itself stands for the colour alone; of equally
    // near segments the first wins, and all of them give the same colour at
    // their common end.
    for (std::size_t i = 0; i < from_.size(); ++i) {
        for (std::size_t j = i; j < from_.size(); ++j) {
            const Rgb& a = from_[i];
            const Rgb d{from_[j].r - a.r, from_[j].g - a.g, from_[j].b - a.b};
            const double length = d.r * d.r + d.g * d.g + d.b * d.b;
            double t = 0;
            if (length > 0)
                t = std::clamp(((p.r - a.r) * d.r + (p.g - a.g) * d.g + (p.b - a.b) * d.b) / length, 0.0, 1.0);
            const double off = std::max(
                {std::fabs(p.r - (a.r + t * d.r)), std::fabs(p.g - (a.g + t * d.g)), std::fabs(p.b - (a.b + t * d.b))});
            if (off > best || (found && off == best)) continue;
            best = off;
            found = true;
            const Rgb& a2 = to_[i];
            const Rgb& b2 = to_[j];
            result = {a2.r + t * (b2.r - a2.r), a2.g + t * (b2.g - a2.g), a2.b + t * (b2.b - a2.b)};
        }
    }
    return found ? pack(result.r, result.g, result.b, pixel & alpha_mask) : pixel;
}

namespace {

// The pixel with its HSL lightness replaced by `new_lightness` of it.
template <typename Lightness>
std::uint32_t with_lightness(std::uint32_t pixel, Lightness new_lightness) {
    const double r = red(pixel) / 255.0, g = green(pixel) / 255.0, b = blue(pixel) / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    const double chroma = high - low;
    const double lightness = (high + low) / 2;
    double hue = 0;  // in sectors of 60 degrees
    if (chroma > 0) {
        if (high == r)
            hue = (g - b) / chroma;
        else if (high == g)
            hue = (b - r) / chroma + 2;
        else
            hue = (r - g) / chroma + 4;
    }
    // Saturation kept: the chroma scales with the distance from the nearer end.
    const double saturation = chroma == 0 ? 0 : chroma / (1 - std::fabs(2 * lightness - 1));
    const double changed = std::clamp(new_lightness(lightness), 0.0, 1.0);
    const double new_chroma = (1 - std::fabs(2 * changed - 1)) * saturation;
    const double m = changed - new_chroma / 2;
    return pack(hsl_channel(hue, new_chroma, m), hsl_channel(hue - 2, new_chroma, m),
                hsl_channel(hue - 4, new_chroma, m), pixel & alpha_mask);
}

}  // namespace

std::uint32_t darkened(std::uint32_t pixel) {
    return with_lightness(pixel, [](double l) { return (1 - l) / 2; });
}

std::uint32_t lightened(std::uint32_t pixel) {
    return with_lightness(pixel, [](double l) { return 1 - 2 * l; });
}

}  // namespace rt
