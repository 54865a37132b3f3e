#include "common/runtime/projector_picture.h"

#include "common/runtime/surface.h"

namespace rt {

PixelRecolour palette_change(Palette from, Palette to) {
    std::vector<Colour> old_colours, new_colours;
    for (const PaletteEntry& entry : palettes()) {
        old_colours.push_back(entry.in(from));
        new_colours.push_back(entry.in(to));
    }
    const PhotoChange photos = to == Palette::projector     ? PhotoChange::darken
                               : from == Palette::projector ? PhotoChange::lighten
                                                            : PhotoChange::keep;
    return PixelRecolour(old_colours, new_colours, photos);
}

void darken_for_projector(Image& picture) {
    PixelRecolour recolour = palette_change(Palette::normal, Palette::projector);
    for (int y = 0; y < picture.height(); ++y) {
        Rgb* const row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) row[x] = recolour.picture(row[x]);
    }
}

Image in_print_colours(const Surface& surface, Palette shown) {
    PixelRecolour change = palette_change(shown, Palette::print);
    return surface.recoloured([&change](Rgb p) { return change.drawn(p); },
                              [&change](Rgb p) { return change.picture(p); });
}

}  // namespace rt
