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

QImage projector_picture(const QImage& picture) {
    QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
    PixelRecolour recolour = palette_change(true);
    for (int y = 0; y < shown.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x) row[x] = recolour.picture(row[x]);
    }
    return shown;
}

}  // namespace rt
