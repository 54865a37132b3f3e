#include "kalorix/core/atom_picture.h"

#include <cmath>

namespace kalorix {

namespace {

std::int64_t ceil_div(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

}  // namespace

AtomPicture AtomPicture::of_rooms(const RoomSquare& rooms) {
    AtomPicture picture;
    const std::int64_t span = rooms.span();
    if (ExperimentModel::dot_pitch * span <= place) {
        // The real sides, as the picture has always been drawn.
        picture.width_total = ExperimentModel::dot_pitch * rooms.side_total;
        picture.width_A = ExperimentModel::dot_pitch * rooms.side_A;
        return picture;
    }
    picture.dot_size = 1;
    picture.cells_per_dot = ceil_div(span, place);
    // Whole dots: the outlines follow the last dot that shows a cell of the
    // square or of room A, also where a dot shows cells of both rooms.
    const auto cells_A_side = static_cast<std::int64_t>(std::floor(rooms.side_A));
    picture.width_total = static_cast<double>(ceil_div(span, picture.cells_per_dot));
    picture.width_A = static_cast<double>(ceil_div(cells_A_side, picture.cells_per_dot));
    return picture;
}

LitDots::LitDots(const AtomPicture& picture, std::int64_t span)
    : cells_per_dot_(picture.cells_per_dot),
      dots_(ceil_div(span, picture.cells_per_dot)),
      counts_(static_cast<std::size_t>(dots_ * dots_), 0) {}

}  // namespace kalorix
