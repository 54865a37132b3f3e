#include "common/runtime/surface.h"

namespace rt {

void Surface::recolour_rows(const ImageView& from, PixelRows to, const std::function<Rgb(Rgb)>& drawn,
                            const std::function<Rgb(Rgb)>& picture) const {
    std::vector<std::uint8_t> in_picture(static_cast<std::size_t>(width()) * height(), 0);
    for (const Rect& area : picture_areas_)
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::fill_n(in_picture.begin() + static_cast<std::ptrdiff_t>(y) * width() + area.left(), area.width(), 1);

    // Long runs of one colour are the rule: the last answer is kept at hand.
    Rgb last_from = 0, last_to = 0;
    bool last_picture = false, have_last = false;
    for (int y = 0; y < height(); ++y) {
        const Rgb* const in = from.row(y);
        Rgb* const out = to.row(y);
        const std::uint8_t* mask = in_picture.data() + static_cast<std::ptrdiff_t>(y) * width();
        for (int x = 0; x < width(); ++x) {
            const bool photo = mask[x] != 0;
            if (!have_last || in[x] != last_from || photo != last_picture) {
                last_from = in[x];
                last_picture = photo;
                last_to = photo ? picture(in[x]) : drawn(in[x]);
                have_last = true;
            }
            out[x] = last_to;
        }
    }
}

void Surface::recolour(const std::function<Rgb(Rgb)>& drawn, const std::function<Rgb(Rgb)>& picture) {
    ++drawing_requests_;
    draw_waiting();  // what waits is drawn in the old colours first
    recolour_rows(image_.view(), image_.rows(), drawn, picture);
    // Every record of what the cells and texts show is stale now.
    touched(whole());
}

Image Surface::recoloured(const std::function<Rgb(Rgb)>& drawn, const std::function<Rgb(Rgb)>& picture) const {
    Image copy(width(), height());
    recolour_rows(image(), copy.rows(), drawn, picture);
    return copy;
}

}  // namespace rt
