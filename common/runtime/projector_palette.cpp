#include "common/runtime/projector_palette.h"

#include <cmath>

namespace rt {

namespace {

double channel(Colour c, int shift) { return static_cast<double>((c >> shift) & 0xFF) / 255.0; }

// sRGB to linear light, as WCAG 2 defines it.
double linear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

}  // namespace

const std::array<PaletteEntry, 7>& projector_palette() {
    // Colour values 0x00BBGGRR; the comments give red, green, blue.
    static const std::array<PaletteEntry, 7> palette = {{
        {colours::background, 0x281000},  // dark navy 0, 16, 40: the programs' blue, darkened
        {colours::white, 0xFFFFFF},       // stays white
        {colours::black, 0x3CAA00},       // green 0, 170, 60: 6.2:1 on navy, 3.1:1 over white bars
        {colours::red, 0x5050FF},         // light red 255, 80, 80
        {colours::yellow, 0x00E6FF},      // warm yellow 255, 230, 0
        {colours::blue, 0xFFAA5A},        // sky blue 90, 170, 255
        {colours::pink, 0xC86EFF},        // pink 255, 110, 200
    }};
    return palette;
}

Colour projector_colour(Colour normal) {
    for (const PaletteEntry& entry : projector_palette())
        if (entry.normal == normal) return entry.projector;
    return normal;
}

Colour normal_colour(Colour projector) {
    for (const PaletteEntry& entry : projector_palette())
        if (entry.projector == projector) return entry.normal;
    return projector;
}

double relative_luminance(Colour c) {
    return 0.2126 * linear(channel(c, 0)) + 0.7152 * linear(channel(c, 8)) + 0.0722 * linear(channel(c, 16));
}

double contrast_ratio(Colour a, Colour b) {
    const double la = relative_luminance(a), lb = relative_luminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

}  // namespace rt
