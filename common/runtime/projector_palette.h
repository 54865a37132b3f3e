#pragma once
// The palettes the picture is shown in: the programs' own colours, the
// projector colours and the print colours, side by side in one table.
//
// Projector colours: on a projector in a lit room the light-blue background
// washes out the coloured texts (white 2.6:1, red 1.5:1). The projector
// palette puts every colour the programs draw with on a dark background, so
// that each stands out at 4.5:1 or more (WCAG's minimum for text), while the
// roles stay what they were: room A yellow, room B blue, red red, the marker
// pink. Black, which would vanish on the dark background, becomes a green
// that also stays visible over white bars.
//
// Print colours: on paper the light-blue background is a page full of ink
// and the yellow and white texts cannot be read. The print palette puts the
// picture on white paper with every drawn colour dark enough for 4.5:1 on it;
// white becomes a grey that black (diffundo's curve over its white bars)
// still stands out on. Only a printed or saved copy is shown in it, never
// the screen.
//
// The programs keep asking for their own colours; the runtime maps them on
// the way to the surface, or to the copy.

#include "common/runtime/styles.h"

#include <array>

namespace rt {

enum class Palette { normal, projector, print };

struct PaletteEntry {
    Colour normal;
    Colour projector;
    Colour print;

    Colour in(Palette palette) const {
        return palette == Palette::projector ? projector : palette == Palette::print ? print : normal;
    }
};

// Every colour the programs draw with, in each palette.
const std::array<PaletteEntry, 7>& palettes();

// The projector colour of a palette colour; other colours stay as they are.
Colour projector_colour(Colour normal);
// The print colour of a palette colour; other colours stay as they are.
Colour print_colour(Colour normal);
// The palette colour a projector colour stands for; other colours stay.
Colour normal_colour(Colour projector);

// WCAG 2 relative luminance, from 0 (black) to 1 (white), of the sRGB colour.
double relative_luminance(Colour c);
// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter: from 1 to 21.
double contrast_ratio(Colour a, Colour b);

}  // namespace rt
