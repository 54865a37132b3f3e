#pragma once
// Where the experiment's atom picture shows the cells of the square. Its
// place is fixed: from the picture's outline to the legend picture, which
// stands legend_shift pixels further right. A square that fits there with a
// dot of 2 x 2 pixels per cell is shown so; a larger one with one pixel per
// cell; and one that does not fit even so is scaled down, a dot then
// standing for k x k cells and lit when any of them is excited.

#include "kalorix/core/experiment_model.h"

#include <cstdint>
#include <vector>

namespace kalorix {

struct AtomPicture {
    // Pixels from the picture's outline to the legend's: the dots and the
    // outline after them must stay inside.
    static constexpr std::int64_t legend_shift = 200;
    static constexpr std::int64_t place = legend_shift - 2;  // pixels for the dots of a side

    std::int64_t dot_size = ExperimentModel::dot_pitch;  // pixels of a dot's side
    std::int64_t cells_per_dot = 1;                      // k: a dot shows k x k cells
    // Pixels from the first dot column to the outline of the whole square
    // and of room A, which follows the last dot showing a cell of the room.
    double width_total = 0;
    double width_A = 0;

    static AtomPicture of_rooms(const RoomSquare& rooms);

    bool scaled() const { return cells_per_dot > 1; }
    // The top-left pixel of the dot that shows cell (i, j).
    std::int64_t dot_x(std::int64_t i) const { return ExperimentModel::dot_origin_x + dot_size * (i / cells_per_dot); }
    std::int64_t dot_y(std::int64_t j) const { return ExperimentModel::dot_origin_y + dot_size * (j / cells_per_dot); }
};

// The excited cells of every dot, kept as cells change, so that a dot is lit
// or dark at once whatever the number of cells it shows. Starts with every
// cell in the ground state.
class LitDots {
public:
    LitDots(const AtomPicture& picture, std::int64_t span);
    // Cell (i, j) has been excited or cleared; whether its dot is lit now.
    bool excited(std::int64_t i, std::int64_t j) { return ++count(i, j) > 0; }
    bool cleared(std::int64_t i, std::int64_t j) { return --count(i, j) > 0; }
    bool lit(std::int64_t i, std::int64_t j) { return count(i, j) > 0; }

private:
    std::int32_t& count(std::int64_t i, std::int64_t j) {
        return counts_[static_cast<std::size_t>(j / cells_per_dot_ * dots_ + i / cells_per_dot_)];
    }
    std::int64_t cells_per_dot_;
    std::int64_t dots_;  // per side
    std::vector<std::int32_t> counts_;
};

}  // namespace kalorix
