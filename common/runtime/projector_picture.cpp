#include "common/runtime/projector_picture.h"

#include "common/runtime/projector_palette.h"

namespace rt {

PixelRecolour palette_change(bool to_projector) {
    std::vector<Colour> normal, projector;
    for (const PaletteEntry& entry : projector_palette()) {
        normal.push_back(entry.normal);
        projector.push_back(entry.projector);
    }
    return to_projector ? PixelRecolour(normal, projector, PhotoChange::darken)
                        : PixelRecolour(projector, normal, PhotoChange::lighten);
}

void darken_for_projector(Image& picture) {
    PixelRecolour recolour = palette_change(true);
    for (int y = 0; y < picture.height(); ++y) {
        Rgb* const row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) row[x] = recolour.picture(row[x]);
    }
}

}  // namespace rt
