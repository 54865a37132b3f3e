#include "kalorix/core/experiment_model.h"

#include <algorithm>
#include <cmath>

namespace kalorix {

RoomSquare RoomSquare::of_rooms(double Nmax_A, double Nmax_B) {
    return RoomSquare{std::sqrt(Nmax_A), std::sqrt(Nmax_A + Nmax_B)};
}

std::int64_t RoomSquare::span() const { return static_cast<std::int64_t>(std::ceil(side_total)); }

// Column i belongs to room A when i <= side_A - 1, that is for
// i = 0 .. floor(side_A) - 1; rows alike.
std::int64_t RoomSquare::cells_A() const {
    const auto side = static_cast<std::int64_t>(std::floor(side_A));
    return side * side;
}

std::int64_t RoomSquare::places_A() const { return std::min(cells_A(), static_cast<std::int64_t>(size_A())); }

std::int64_t RoomSquare::places_B() const { return std::min(cells_B(), static_cast<std::int64_t>(size_B())); }

std::optional<std::string> experiment_refusal(double N_A, double n, double Nmax_A, double Nmax_B, int grid_size,
                                              int record_slots) {
    const std::string head = "Experimentelle Analyse nicht möglich:|";
    const auto count = [](auto v) { return std::to_string(static_cast<long long>(v)); };
    // Negated comparisons: a NaN fails them too.
    if (!(Nmax_A >= 0 && Nmax_B >= 0)) return head + "Nmax_A und Nmax_B dürfen nicht negativ sein.";
    if (!(N_A >= 0)) return head + "N_A darf nicht negativ sein.";
    const RoomSquare rooms = RoomSquare::of_rooms(Nmax_A, Nmax_B);
    if (!(std::ceil(rooms.side_total) <= grid_size))
        return head + "Nmax_A + Nmax_B darf höchstens " + count(static_cast<long long>(grid_size) * grid_size) +
               " sein.";
    // All N_A start in room A, which may hold fewer cells than Nmax_A (never
    // more). A transfer then always finds a place: the cell it has just emptied.
    if (N_A > 0) {
        if (N_A > static_cast<double>(rooms.cells_A()))
            return head + "Raum A hat nur " + count(rooms.cells_A()) + " Zellen: N_A ist zu groß.";
        return std::nullopt;
    }
    // Each trial excites n atoms, at least one, and records each in a slot.
    if (!(n >= 1)) return head + "n muss mindestens 1 sein.";
    if (n > record_slots - 1) return head + "n darf höchstens " + count(record_slots - 1) + " sein.";
    const std::int64_t places = rooms.places_A() + rooms.places_B();
    if (n > static_cast<double>(places))
        return head + "In beiden Räumen zusammen können nur " + count(places) + " Atome angeregt sein: n ist zu groß.";
    return std::nullopt;
}

ExperimentModel::ExperimentModel(Tables tables, RoomSquare rooms, Hooks& hooks)
    : tables_(tables), rooms_(rooms), hooks_(hooks) {}

void ExperimentModel::clear_grid() {
    std::fill(tables_.grid.begin(), tables_.grid.end(), 0);
    excited_ = 0;
    excited_in_A_ = 0;
    count_A = 0;
    count_B = 0;
}

ExperimentModel::Cell ExperimentModel::draw_cell(double side) {
    // Two statements: the column takes the first random number.
    const auto i = static_cast<std::int64_t>(std::floor(hooks_.random() * side));
    const auto j = static_cast<std::int64_t>(std::floor(hooks_.random() * side));
    return {i, j};
}

void ExperimentModel::set_excited(Cell c) {
    cell(c) = 1;
    ++excited_;
    if (rooms_.in_room_A(c.i, c.j)) ++excited_in_A_;
    hooks_.dot_excited(c.i, c.j);
}

void ExperimentModel::set_ground(Cell c) {
    const bool was_excited = cell(c) != 0;
    if (was_excited) {
        cell(c) = 0;
        --excited_;
        if (rooms_.in_room_A(c.i, c.j)) --excited_in_A_;
    }
    hooks_.dot_cleared(c.i, c.j, was_excited);
}

void ExperimentModel::record(Cell c) {
    if (slot_ < 0 || static_cast<std::size_t>(slot_) >= tables_.dot_x.size()) return;
    tables_.dot_x[static_cast<std::size_t>(slot_)] = dot_x_of(c.i);
    tables_.dot_y[static_cast<std::size_t>(slot_)] = dot_y_of(c.j);
}

void ExperimentModel::place_initial_atoms(double side, std::int64_t count) {
    const std::int64_t room_cells = rooms_.cells_A();
    for (std::int64_t placed = 0; placed < count; ++placed) {
        Cell c{};
        do {
            if (hooks_.quit_requested() || excited_in_A_ >= room_cells) return;
            c = draw_cell(side);
            // Membership first: only cells of room A are inside the table.
        } while (!rooms_.in_room_A(c.i, c.j) || cell(c) != 0);
        set_excited(c);
    }
}

void ExperimentModel::remove_random_excitation() {
    Cell c{};
    do {
        c = draw_cell(rooms_.side_total);
    } while (cell(c) == 0 && !hooks_.quit_requested() && excited_ != 0);
    record(c);
    if (cell(c) == 0) return;
    set_ground(c);
    if (rooms_.in_room_A(c.i, c.j))
        --count_A;
    else
        --count_B;
}

bool ExperimentModel::fits(Cell c) {
    if (cell(c) != 0) return false;
    if (rooms_.in_room_A(c.i, c.j)) return excited_in_A_ < rooms_.size_A();
    return excited_ - excited_in_A_ < rooms_.size_B();
}

bool ExperimentModel::any_cell_fits() const {
    return excited_in_A_ < rooms_.places_A() || excited_ - excited_in_A_ < rooms_.places_B();
}

// With perfect squares every cell in the ground state fits, so the draws,
// and with them the random sequence, are those of the plain ground-state search.
bool ExperimentModel::excite_random_cell() {
    ++slot_;
    if (static_cast<std::size_t>(slot_) >= tables_.dot_x.size()) return false;
    Cell c{};
    do {
        c = draw_cell(rooms_.side_total);
    } while (!fits(c) && !hooks_.quit_requested() && any_cell_fits());
    record(c);
    if (hooks_.quit_requested() || !fits(c)) return false;
    if (rooms_.in_room_A(c.i, c.j))
        ++count_A;
    else
        ++count_B;
    set_excited(c);
    return true;
}

void ExperimentModel::run_steps(bool transfer, std::int64_t limit) {
    slot_ = 0;
    for (;;) {
        if (transfer) remove_random_excitation();
        if (!excite_random_cell()) return;
        if (static_cast<std::int64_t>(count_A) + count_B >= limit) return;
    }
}

void ExperimentModel::clear_trial_atoms(std::int64_t n) {
    const auto last = std::min<std::int64_t>(n, static_cast<std::int64_t>(tables_.dot_x.size()) - 1);
    for (std::int64_t s = 1; s <= last; ++s) {
        const std::int64_t x = tables_.dot_x[static_cast<std::size_t>(s)];
        const std::int64_t y = tables_.dot_y[static_cast<std::size_t>(s)];
        // A slot this run has not filled yet may hold anything, a cell of an
        // earlier run's larger square among others: its dot is not this
        // run's, nor its place in the picture.
        if (x < dot_origin_x || y < dot_origin_y) continue;
        const Cell c{(x - dot_origin_x) / dot_pitch, (y - dot_origin_y) / dot_pitch};
        if (c.i >= rooms_.span() || c.j >= rooms_.span()) continue;
        set_ground(c);
    }
}

}  // namespace kalorix
