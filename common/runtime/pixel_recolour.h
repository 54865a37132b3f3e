#pragma once
// Re-colours a picture already on the surface from one palette into another,
// pixel by pixel, when the projector colours are switched or a copy is
// printed in print colours.
//
// Drawn pixels are palette colours or, at the edges of anti-aliased text,
// blends of two of them: a pixel on the segment between palette colours a
// and b at fraction t becomes a' + t (b' - a'), so the text keeps its shape
// in the new colours. Photos (the title picture) are no palette colours:
// for the projector their lightness is turned round and dimmed, so a pale
// picture turns dark under light text, and back again; on paper they stay.
// Pixels are 0xAARRGGBB (image.h); each distinct value is worked out once.

#include "common/runtime/styles.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace rt {

// What becomes of a photo's pixels.
enum class PhotoChange { darken, lighten, keep };

class PixelRecolour {
public:
    // `from` and `to` list the palettes in the same order.
    PixelRecolour(const std::vector<Colour>& from, const std::vector<Colour>& to, PhotoChange photos);

    // A pixel of drawing: a palette colour or a blend of two goes into the
    // new palette; anything else stays.
    std::uint32_t drawn(std::uint32_t pixel);
    // A pixel of a photo: an exact palette colour as in a drawing (text drawn
    // over the photo), anything else darkened or lightened.
    std::uint32_t picture(std::uint32_t pixel);

    // How far (per channel, 0 to 255) a pixel may lie off a segment and
    // still count as a blend: the blends round every channel.
    static constexpr double tolerance = 2.0;

private:
    struct Rgb {
        double r, g, b;
    };
    std::vector<Rgb> from_;
    std::vector<Rgb> to_;
    PhotoChange photos_;
    std::unordered_map<std::uint32_t, std::uint32_t> drawn_cache_;
    std::unordered_map<std::uint32_t, std::uint32_t> picture_cache_;

    std::uint32_t map_drawn(std::uint32_t pixel) const;
    // Index of the palette colour the pixel is, or -1.
    int palette_index(std::uint32_t pixel) const;
};

// The colour with the same hue and saturation (HSL) and the lightness L
// turned round and halved, (1 - L) / 2: a pale photo becomes a dark one.
std::uint32_t darkened(std::uint32_t pixel);
// The way back: lightness 1 - 2 L; lightened(darkened(p)) is p up to rounding.
std::uint32_t lightened(std::uint32_t pixel);

}  // namespace rt
