#pragma once
// The experimental analysis without a screen: the cells of both rooms in one
// square table and excitations placed and moved by random draws (the
// quantities of a trial are in trial_quantities.h). experiment.cpp drives it
// and draws what it reports; the tests and the benchmark run it bare.

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kalorix {

// Where the rooms lie in the square table: room A is the top-left corner
// square, room B the L-shaped rest. Sides are reals: sqrt(Nmax_A) and
// sqrt(Nmax_A + Nmax_B); with room sizes that are no perfect squares the
// rooms hold other numbers of cells than Nmax_A and Nmax_B.
struct RoomSquare {
    double side_A = 0;
    double side_total = 0;

    static RoomSquare of_rooms(double Nmax_A, double Nmax_B);

    // Random cells of the whole square have column and row 0 .. span() - 1.
    std::int64_t span() const;
    bool in_room_A(std::int64_t i, std::int64_t j) const { return i <= side_A - 1 && j <= side_A - 1; }
    std::int64_t cells_A() const;
    std::int64_t cells_total() const { return span() * span(); }
    std::int64_t cells_B() const { return cells_total() - cells_A(); }
    // The room sizes the temperatures use, side_A^2 and side_total^2 -
    // side_A^2: Nmax_A and Nmax_B. Squaring a square root can miss a whole
    // number by an ulp, and a full room would then give the logarithm of a
    // negative number; the sizes are whole, so they are rounded.
    double size_A() const { return std::nearbyint(side_A * side_A); }
    double size_B() const { return std::nearbyint(side_total * side_total) - size_A(); }
    // Places that can hold an excitation: a room holds no more excitations
    // than it has cells, nor more than it has atoms. Both limits differ only
    // when the room sizes are no perfect squares.
    std::int64_t places_A() const;
    std::int64_t places_B() const;
};

// Why a run with these values cannot be shown (a short German text for the
// user), or nothing when it can. The values are the four the run is called
// with; the table holds grid_size x grid_size cells and a trial record of
// record_slots slots (slot 0 included).
std::optional<std::string> experiment_refusal(double N_A, double n, double Nmax_A, double Nmax_B, int grid_size,
                                              int record_slots);

// The cells, the trial record and the counts of one run. Every search draws
// random cells (column first) until one fits, each draw O(1); besides the
// quit test each search also ends when no cell can fit any more, which the
// exact counts of excited cells per room tell at once.
class ExperimentModel {
public:
    // What the model needs from the program around it.
    class Hooks {
    public:
        virtual ~Hooks() = default;
        virtual double random() = 0;  // uniform in [0, 1)
        virtual bool quit_requested() const = 0;
        // Cell (i, j) went from the ground state to excited.
        virtual void dot_excited(std::int64_t /*i*/, std::int64_t /*j*/) {}
        // Cell (i, j) is in the ground state now; was_excited is false for a
        // removal that met a cell not excited (its dot is drawn over alike).
        virtual void dot_cleared(std::int64_t /*i*/, std::int64_t /*j*/, bool /*was_excited*/) {}
    };

    // The program's tables, owned elsewhere: the cells row-major
    // (grid[j * grid_size + i], 1 = excited) and the trial record, which
    // holds the top-left pixel of each touched dot by slot.
    struct Tables {
        std::span<std::int32_t> grid;
        int grid_size = 0;
        std::span<std::int32_t> dot_x;
        std::span<std::int32_t> dot_y;
    };

    // The rooms must fit the table (experiment_refusal says when they do).
    ExperimentModel(Tables tables, RoomSquare rooms, Hooks& hooks);

    const RoomSquare& rooms() const { return rooms_; }

    // Every cell of the table to the ground state.
    void clear_grid();

    // Excites `count` distinct random cells of room A, drawn in a square of
    // the real side `side`; cells outside room A are drawn again. Stops early
    // on quit or when room A is full.
    void place_initial_atoms(double side, std::int64_t count);

    // Excited cells of the whole square, kept exact as cells change.
    std::int64_t count_excited() const { return excited_; }
    std::int64_t excited_in_room_A() const { return excited_in_A_; }

    // One trial's steps, from slot 0, while count_A + count_B stays below
    // the limit: transfers (variant 1) or excitations (variant 2). Always at
    // least one step; ends early on quit or when a step cannot excite.
    void run_steps(bool transfer, std::int64_t limit);

    // Variant 2's removal: the cells recorded in slots 1 .. n back to the
    // ground state, their dots cleared. Records outside the square are skipped.
    void clear_trial_atoms(std::int64_t n);

    // Excited atoms now in room A and in room B. The caller sets them at the
    // start of a run (all N_A in room A when there are transfers); the steps
    // keep them up to date, and variant 2's caller empties them after a trial.
    std::int32_t count_A = 0;
    std::int32_t count_B = 0;

    // The dot of cell (i, j) on the screen: a square of dot_pitch x dot_pitch
    // pixels whose top-left pixel is (dot_pitch i + dot_origin_x,
    // dot_pitch j + dot_origin_y). The trial record holds these pixels.
    static constexpr std::int32_t dot_pitch = 2;
    static constexpr std::int32_t dot_origin_x = 479;
    static constexpr std::int32_t dot_origin_y = 16;
    static std::int32_t dot_x_of(std::int64_t i) { return static_cast<std::int32_t>(dot_pitch * i + dot_origin_x); }
    static std::int32_t dot_y_of(std::int64_t j) { return static_cast<std::int32_t>(dot_pitch * j + dot_origin_y); }

private:
    struct Cell {
        std::int64_t i, j;
    };
    Cell draw_cell(double side);
    std::int32_t& cell(Cell c) { return tables_.grid[static_cast<std::size_t>(c.j * tables_.grid_size + c.i)]; }
    void set_excited(Cell c);
    void set_ground(Cell c);
    void record(Cell c);
    // Variant 1's first half: an excited atom gives up its energy.
    void remove_random_excitation();
    // Variant 2, and the second half of a transfer: false when nothing was
    // excited (quit, no cell that fits, or the record is full).
    bool excite_random_cell();
    // A cell fits an excitation when its atom is in the ground state and its
    // room holds fewer excitations than atoms.
    bool fits(Cell c);
    bool any_cell_fits() const;

    Tables tables_;
    RoomSquare rooms_;
    Hooks& hooks_;
    std::int64_t excited_ = 0;
    std::int64_t excited_in_A_ = 0;
    std::int64_t slot_ = 0;
};

}  // namespace kalorix
