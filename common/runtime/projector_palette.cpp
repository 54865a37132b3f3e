#include "common/runtime/projector_palette.h"

#include <cmath>

namespace rt {

namespace {

double channel(Colour c, int shift) { return static_cast<double>((c >> shift) & 0xFF) / 255.0; }

// sRGB to linear light, as WCAG 2 defines it.
double linear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

}  // namespace

const std::array<PaletteEntry, 7>& palettes() {
    // Colour values 0x00BBGGRR; the comments give red, green, blue.
    // Projector: on navy. Print: on white paper, with the contrast on white.
    static const std::array<PaletteEntry, 7> table = {{
        // dark navy 0, 16, 40: the programs' blue, darkened | white paper
        {colours::background, 0x281000, 0xFFFFFF},
        // stays white | grey 118, 118, 118: 4.5:1 on white, black 4.6:1 on it
        {colours::white, 0xFFFFFF, 0x767676},
        // green 0, 170, 60: 6.2:1 on navy, 3.1:1 over white bars | stays black
        {colours::black, 0x3CAA00, 0x000000},
        // light red 255, 80, 80 | dark red 200, 0, 0: 6.1:1
        {colours::red, 0x5050FF, 0x0000C8},
        // warm yellow 255, 230, 0 | amber brown 150, 95, 0: 5.3:1
        {colours::yellow, 0x00E6FF, 0x005F96},
        // sky blue 90, 170, 255 | stays blue: 8.6:1
        {colours::blue, 0xFFAA5A, 0xFF0000},
        // pink 255, 110, 200 | dark pink 190, 0, 130: 6.0:1
        {colours::pink, 0xC86EFF, 0x8200BE},
    }};
    return table;
}

namespace {

Colour mapped(Colour c, Palette from, Palette to) {
    for (const PaletteEntry& entry : palettes())
        if (entry.in(from) == c) return entry.in(to);
    return c;
}

}  // namespace

Colour projector_colour(Colour normal) { return mapped(normal, Palette::normal, Palette::projector); }
Colour print_colour(Colour normal) { return mapped(normal, Palette::normal, Palette::print); }
Colour normal_colour(Colour projector) { return mapped(projector, Palette::projector, Palette::normal); }

double relative_luminance(Colour c) {
    return 0.2126 * linear(channel(c, 0)) + 0.7152 * linear(channel(c, 8)) + 0.0722 * linear(channel(c, 16));
}

double contrast_ratio(Colour a, Colour b) {
    const double la = relative_luminance(a), lb = relative_luminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

}  // namespace rt
