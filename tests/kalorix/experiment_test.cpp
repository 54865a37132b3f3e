// The experimental analysis of kalorix: the bookkeeping of the cells without
// a screen, and whole runs on a headless runtime whose user presses a key at
// every wait (texts, colours and pixels of the trials).
#include "common/runtime/number_format.h"
#include "common/runtime/runtime.h"
#include "common/runtime/surface.h"
#include "common/runtime/text_grid.h"
#include "common/screens/menu_list.h"
#include "csv_reading.h"
#include "fake_runtime.h"
#include "kalorix/core/atom_picture.h"
#include "kalorix/core/experiment_model.h"
#include "kalorix/core/trial_quantities.h"
#include "kalorix/kalorix.h"
#include "kalorix_harness.h"
#include "kalorix_setup.h"
#include "surface_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using kalorix::ExperimentModel;
using kalorix::Kalorix;
using kalorix::RoomSquare;

constexpr rt::Colour yellow = 0x00FFFF, blue = 0xFF0000, red = 0x0000FF, white = 0xFFFFFF, background = 0xEEA833;
using kalorix::atom_grid_side;
using kalorix::trial_record_slots;
const std::string first_input_prompt = "Zahl der Teilchen in Raum A:   Nmax_A";

// ---------------------------------------------------------------------------
// The model alone.

struct BareHooks : ExperimentModel::Hooks {
    explicit BareHooks(std::uint64_t seed) : generator(seed) {}
    double random() override { return std::uniform_real_distribution<double>(0, 1)(generator); }
    bool quit_requested() const override { return quit; }
    std::mt19937_64 generator;
    bool quit = false;
};

struct BareModel {
    BareModel(double Nmax_A, double Nmax_B, std::uint64_t seed = 1)
        : hooks(seed), model({grid, atom_grid_side, dot_x, dot_y}, RoomSquare::of_rooms(Nmax_A, Nmax_B), hooks) {
        model.clear_grid();
    }
    // Excited cells found by looking at every cell of the table.
    std::int64_t scanned() const { return std::count(grid.begin(), grid.end(), 1); }

    std::vector<std::int32_t> grid =
        std::vector<std::int32_t>(static_cast<std::size_t>(atom_grid_side) * atom_grid_side);
    std::vector<std::int32_t> dot_x = std::vector<std::int32_t>(trial_record_slots);
    std::vector<std::int32_t> dot_y = std::vector<std::int32_t>(trial_record_slots);
    BareHooks hooks;
    ExperimentModel model;
};

TEST(ExperimentRooms, CellsOfRoomAFollowTheRealComparison) {
    struct Case {
        double Nmax_A, Nmax_B;
        std::int64_t span, cells_A;
    };
    for (const Case c : {Case{400, 1200, 40, 400}, Case{10, 15, 5, 9}, Case{10, 6, 4, 9}, Case{0, 16, 4, 0},
                         Case{2, 2, 2, 1}, Case{3, 6, 3, 1}, Case{1, 0, 1, 1}}) {
        const RoomSquare rooms = RoomSquare::of_rooms(c.Nmax_A, c.Nmax_B);
        std::int64_t counted = 0;
        for (std::int64_t j = 0; j < rooms.span(); ++j)
            for (std::int64_t i = 0; i < rooms.span(); ++i) counted += rooms.in_room_A(i, j);
        EXPECT_EQ(rooms.span(), c.span) << c.Nmax_A << "/" << c.Nmax_B;
        EXPECT_EQ(rooms.cells_A(), c.cells_A) << c.Nmax_A << "/" << c.Nmax_B;
        EXPECT_EQ(counted, c.cells_A) << c.Nmax_A << "/" << c.Nmax_B;
    }
}

TEST(ExperimentRooms, RoomSizesAreTheWholeRoomsEvenWhereSquaringMissesThem) {
    int missed = 0;
    for (int Nmax_A = 1; Nmax_A <= 3000; ++Nmax_A) {
        for (int Nmax_B : {1, 7, 1200, 2999}) {
            const kalorix::RoomSquare rooms = kalorix::RoomSquare::of_rooms(Nmax_A, Nmax_B);
            missed += rooms.side_total * rooms.side_total - rooms.side_A * rooms.side_A != Nmax_B;
            ASSERT_EQ(rooms.size_A(), Nmax_A);
            ASSERT_EQ(rooms.size_B(), Nmax_B);
            // A room B holding Nmax_B excitations is full: T = 0, never NaN.
            const kalorix::TrialTemperature full =
                kalorix::trial_temperature(rooms.size_B(), Nmax_B, Nmax_B + 1, 2.0, 1);
            ASSERT_EQ(full.T, 0) << Nmax_A << " " << Nmax_B;
            ASSERT_EQ(full.source, kalorix::TemperatureCase::empty_or_full);
        }
    }
    EXPECT_GT(missed, 0) << "the unrounded squares do miss some rooms";
}

// The atom picture has 198 pixels a side before the legend: 2 x 2 pixels
// per cell up to 99 cells a side, one pixel up to 198, then k x k cells.
TEST(ExperimentRooms, AtomPictureShrinksOnlyWhereTheSquareDoesNotFit) {
    const struct {
        double Nmax_A, Nmax_B;
        std::int64_t dot_size, cells_per_dot;
        double width_total, width_A;
    } rows[] = {
        {400, 1200, 2, 1, 80, 40},          {4900, 4901, 2, 1, 198, 140},  // 99 x 99 cells
        {4900, 4902, 1, 1, 100, 70},                                       // 100 cells a side, rounded up
        {19602, 19602, 1, 1, 198, 140},                                    // 198 x 198
        {19602, 19603, 1, 2, 100, 70},                                     // 199: two cells a pixel
        {1281600, 1281601, 1, 9, 178, 126},  // the whole table, 1601 x 1601; room A 1132 cells a side
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.Nmax_A << "/" << row.Nmax_B);
        const auto picture = kalorix::AtomPicture::of_rooms(RoomSquare::of_rooms(row.Nmax_A, row.Nmax_B));
        EXPECT_EQ(picture.dot_size, row.dot_size);
        EXPECT_EQ(picture.cells_per_dot, row.cells_per_dot);
        EXPECT_DOUBLE_EQ(picture.width_total, row.width_total);
        EXPECT_DOUBLE_EQ(picture.width_A, row.width_A);
    }
}

TEST(ExperimentRooms, RefusesWhatTheTablesCannotHold) {
    struct Case {
        const char* name;
        double N_A, n, Nmax_A, Nmax_B;
        const char* refusal;  // part of the message; nullptr: accepted
    };
    const Case cases[] = {
        {"proposed, variant 1", 150, 150, 400, 1200, nullptr},
        {"proposed, variant 2", 0, 150, 400, 1200, nullptr},
        {"room A of 9 cells, 10 atoms", 10, 10, 10, 15, "Raum A hat nur 9 Zellen"},
        {"room A of 9 cells, 9 atoms", 9, 9, 10, 15, nullptr},
        {"negative N_A", -1, 150, 400, 1200, "N_A darf nicht negativ"},
        {"negative room", 0, 5, -4, 100, "nicht negativ"},
        {"square wider than the table", 0, 150, kalorix::max_total_atoms, 1, "höchstens 2563201"},
        {"square as wide as the table", 0, 150, kalorix::max_total_atoms, 0, nullptr},
        {"no excitation in variant 2", 0, 0, 400, 1200, "mindestens 1"},
        {"negative n in variant 2", 0, -3, 400, 1200, "mindestens 1"},
        {"more than the trial record", 0, kalorix::max_recorded_excitations + 1, 400, 1200, "höchstens 1600"},
        {"the whole record", 0, kalorix::max_recorded_excitations, 400, 1200, nullptr},
        {"more than the square's cells", 0, 10, 4, 5, "nur 9 Atome"},
        {"every cell of the square", 0, 9, 4, 5, nullptr},
        // Room B of 8 cells and 6 atoms, room A of 1 cell: 7 places.
        {"room B with more cells than atoms, both rooms full", 0, 7, 3, 6, nullptr},
        {"more than the places of both rooms", 0, 8, 3, 6, "nur 7 Atome"},
        {"room B exactly full", 0, 6, 3, 6, nullptr},
        // Room A of 9 cells for 10 atoms, room B of 16 cells for 15: 24 places.
        {"every atom of rooms with fewer cells", 0, 25, 10, 15, "nur 24 Atome"},
        {"non-square total, n far below the atoms", 0, 1200, 500, 1000, nullptr},
        {"room B of 129 cells and 100 atoms", 0, 150, 400, 100, nullptr},
        {"room B of 129 cells and 100 atoms, transfers", 150, 150, 400, 100, nullptr},
    };
    for (const Case& c : cases) {
        const auto refusal =
            kalorix::experiment_refusal(c.N_A, c.n, c.Nmax_A, c.Nmax_B, atom_grid_side, trial_record_slots);
        if (c.refusal == nullptr) {
            EXPECT_FALSE(refusal) << c.name << ": " << refusal.value_or("");
        } else {
            ASSERT_TRUE(refusal) << c.name;
            EXPECT_NE(refusal->find(c.refusal), std::string::npos) << c.name << ": " << *refusal;
        }
    }
}

TEST(ExperimentModel, SearchesEndWhenNoCellCanFit) {
    // Room A of 10 atoms has 9 cells: a tenth placement would search forever.
    BareModel small(10, 15);
    small.model.place_initial_atoms(small.model.rooms().side_A, 10);
    EXPECT_EQ(small.model.excited_in_room_A(), 9);
    EXPECT_EQ(small.model.count_excited(), 9);
    EXPECT_EQ(small.scanned(), 9);

    // More excitations than cells in the square (4 x 4): the step loop stops full.
    BareModel full(4, 12);
    full.model.run_steps(false, 40);
    EXPECT_EQ(full.model.count_excited(), 16);
    EXPECT_EQ(full.model.count_A + full.model.count_B, 16);
    EXPECT_EQ(full.scanned(), 16);

    // Room B of 8 cells holds 6 atoms, room A 1 cell of 3 atoms: 7 places,
    // and two cells of room B stay in the ground state.
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        BareModel fewer_atoms(3, 6, seed);
        fewer_atoms.model.run_steps(false, 40);
        EXPECT_EQ(fewer_atoms.model.count_A, 1) << "seed " << seed;
        EXPECT_EQ(fewer_atoms.model.count_B, 6) << "seed " << seed;
        EXPECT_EQ(fewer_atoms.scanned(), 7) << "seed " << seed;
    }
}

TEST(ExperimentModel, QuitStopsEverySearch) {
    BareModel m(400, 1200);
    m.hooks.quit = true;
    m.model.place_initial_atoms(m.model.rooms().side_A, 150);
    m.model.run_steps(false, 150);
    m.model.run_steps(true, 150);
    EXPECT_EQ(m.scanned(), 0);
    EXPECT_EQ(m.model.count_A + m.model.count_B, 0);
}

TEST(ExperimentModel, RemovalSkipsRecordsOutsideTheTable) {
    BareModel m(400, 1200);
    m.model.run_steps(false, 5);
    ASSERT_EQ(m.scanned(), 5);
    // Slots 6 and up were never filled in this run: they hold 0.
    m.model.clear_trial_atoms(kalorix::max_recorded_excitations);
    EXPECT_EQ(m.scanned(), 0);
    EXPECT_EQ(m.model.count_excited(), 0);
}

// A run that ends its first trial early (quit) clears slots it has not
// filled: an earlier run's records, here of a larger square.
TEST(ExperimentModel, RemovalSkipsRecordsOfAnEarlierLargerSquare) {
    BareModel earlier(1281600, 1281600);
    earlier.model.run_steps(false, 1600);
    struct Clears : BareHooks {
        using BareHooks::BareHooks;
        void dot_cleared(std::int64_t i, std::int64_t j, bool) override {
            outside += i >= 142 || j >= 142;
            ++all;
        }
        int outside = 0, all = 0;
    } hooks(3);
    ExperimentModel model({earlier.grid, atom_grid_side, earlier.dot_x, earlier.dot_y},
                          RoomSquare::of_rooms(10000, 10000), hooks);  // 142 cells a side
    model.clear_grid();
    model.clear_trial_atoms(1600);
    EXPECT_EQ(hooks.outside, 0);
    EXPECT_GT(hooks.all, 0) << "records inside the square are cleared";
}

TEST(ExperimentModel, TemperatureOfARoom) {
    using Case = kalorix::TemperatureCase;
    struct Row {
        const char* name;
        double size;
        std::int64_t count, limit;
        double E, T;
        Case source;  // the screen plots empty_or_full at row 319, computed at 580 - 200 T
    };
    const double unchanged_T = 1.5;
    const Row rows[] = {
        {"no excitation", 400, 0, 150, 2, 0, Case::empty_or_full},
        {"all excited", 4, 4, 9, 2, 0, Case::empty_or_full},
        {"exactly half", 100, 50, 150, 2, 0, Case::computed},
        {"a third: E / ln 2", 3, 1, 2, 1, 1.4426950408889634, Case::computed},
        {"three quarters: negative", 4, 3, 9, 2, -1.8204784532536746, Case::computed},
        {"at the limit", 400, 150, 150, 2, unchanged_T, Case::kept},
        {"above the limit", 400, 151, 150, 2, unchanged_T, Case::kept},
    };
    for (const Row& r : rows) {
        const kalorix::TrialTemperature t = kalorix::trial_temperature(r.size, r.count, r.limit, r.E, unchanged_T);
        EXPECT_NEAR(t.T, r.T, 1e-12) << r.name;
        EXPECT_EQ(t.source, r.source) << r.name;
    }
}

TEST(ExperimentModel, EntropiesRoundDownToATenth) {
    // ln 6 = 1.79 shows as 1.7, ln 12 = 2.48 as 2.4. Room A holds 2 of 4
    // (exactly half: T = 0), room B 1 of 12: T_B = 2 / ln 11.
    const double T_B = 2 / std::log(11.0);
    const auto setting = kalorix::TrialSetting::of_run(3, 3, 4, 12);
    const kalorix::TrialQuantities q = kalorix::trial_quantities(setting, 2, 1, 2, 0, 0);
    EXPECT_EQ(q.A.T, 0);
    EXPECT_NEAR(q.B.T, T_B, 1e-12);
    EXPECT_NEAR(q.A.S, 1.7, 1e-12);
    EXPECT_NEAR(q.B.S, 2.4, 1e-12);
    EXPECT_NEAR(q.A.F, 4.0, 1e-12);
    EXPECT_NEAR(q.B.F, 2 - T_B * 2.4, 1e-12);
    EXPECT_LT(q.B.F, 0);
    EXPECT_EQ(q.A.U + q.B.U, 6);
    EXPECT_EQ(q.U_ges, 6);
    EXPECT_EQ(q.S_ges, q.A.S + q.B.S);
    EXPECT_EQ(q.F_ges, q.A.F + q.B.F);
}

TEST(ExperimentModel, TransfersReachTheEquilibriumShare) {
    BareModel m(400, 1200, 20260);
    m.model.count_A = 150;
    m.model.place_initial_atoms(m.model.rooms().side_A, 150);
    double share_sum = 0;
    for (int trial = 0; trial <= 1000; ++trial) {
        m.model.run_steps(true, 150);
        ASSERT_EQ(m.model.count_A + m.model.count_B, 150) << "trial " << trial;
        ASSERT_EQ(m.model.count_excited(), 150) << "trial " << trial;
        ASSERT_EQ(m.model.excited_in_room_A(), m.model.count_A) << "trial " << trial;
        if (trial > 500) share_sum += m.model.count_A / 150.0;
    }
    EXPECT_EQ(m.scanned(), 150);
    const double equilibrium = 400.0 / (400 + 1200);
    EXPECT_NEAR(share_sum / 500, equilibrium, 0.2 * equilibrium);
}

// ---------------------------------------------------------------------------
// Whole runs on a headless runtime.

using test_support::FakeRuntime;
using test_support::Printed;

using kalorix_test::Parameters;

// kalorix as start-up leaves it, with the tables made and the parameters set.
struct Rig {
    Rig(Parameters p, std::uint64_t seed) {
        rt.inputs = FakeRuntime::Inputs::cancel;
        rt.seed_random(seed);
        rt.set_background_colour(background);
        rt.clear_screen();
        rt.surface().set_observer(&record);
        rt.set_menu_handler([this](int index) { kx.Win_0_MenuEvent(index); });
        kx.menu_entries = common::menu_entries_from_list(Kalorix::menu_list(), Kalorix::menu_capacity);
        kalorix_test::make_tables(kx);
        kalorix_test::set_parameters(kx, p);
    }
    ~Rig() { rt.surface().set_observer(nullptr); }

    void start() { kx.run_experiment(kx.N_A, kx.n, kx.Nmax_A, kx.Nmax_B); }
    void pick_at_wait(const std::string& entry, int wait) {
        const auto& m = kx.menu_entries;
        rt.menu_index = static_cast<int>(std::find(m.begin(), m.end(), entry) - m.begin());
        rt.menu_at_wait = wait;
    }
    RoomSquare rooms() const { return RoomSquare::of_rooms(kx.Nmax_A, kx.Nmax_B); }
    // The cells of the square, row by row.
    std::vector<std::int32_t> square() const {
        std::vector<std::int32_t> cells;
        for (std::int64_t j = 0; j < rooms().span(); ++j)
            for (std::int64_t i = 0; i < rooms().span(); ++i) cells.push_back(kx.atom_grid[j * atom_grid_side + i]);
        return cells;
    }
    int excited_cells() const {
        const std::vector<std::int32_t> cells = square();
        return static_cast<int>(std::count(cells.begin(), cells.end(), 1));
    }
    // Keeps the screen as it is now for the checks (the parameter input
    // clears it when it ends).
    void freeze() {
        frozen_image = rt.surface().image().copy();
        frozen_text = rt.surface().text_grid();
    }
    rt::ImageView image() const { return frozen_image.empty() ? rt.surface().image() : frozen_image.view(); }
    const rt::TextGrid& text() const { return frozen_image.empty() ? rt.surface().text_grid() : frozen_text; }

    rt::Colour pixel(int x, int y) const { return rt::colour_of(image().pixel(x, y)); }
    // Cells whose 2 x 2 dot is yellow; -1 when a dot and its cell disagree.
    // Room A's outline, drawn again after every wait, covers a pixel row or
    // column of room B's dots along it.
    int yellow_dots() const {
        const int edge = static_cast<int>(std::lround(2 * rooms().side_A));
        const auto on_outline = [edge](int x, int y) {
            return (x == edge + 479 && y <= edge + 16) || (y == edge + 16 && x <= edge + 479);
        };
        int count = 0;
        for (std::int64_t j = 0; j < rooms().span(); ++j)
            for (std::int64_t i = 0; i < rooms().span(); ++i) {
                const int x0 = static_cast<int>(2 * i + 479), y0 = static_cast<int>(2 * j + 16);
                bool dot = true;
                for (int y = y0; y <= y0 + 1; ++y)
                    for (int x = x0; x <= x0 + 1; ++x) dot = dot && (on_outline(x, y) || pixel(x, y) == yellow);
                count += dot;
                if (dot != (kx.atom_grid[j * atom_grid_side + i] == 1)) return -1;
            }
        return count;
    }
    std::string text_at(int column, int row, int length) const {
        const std::u32string line = text().row(row);
        if (static_cast<int>(line.size()) <= column) return {};
        return rt::u32_to_utf8(line.substr(column, length));
    }
    // Pixels of a text cell range near a colour (antialiased glyphs blend).
    int pixels_like(rt::Colour c, int column, int row, int columns) const {
        int count = 0;
        const int right = std::min((column + columns) * 11, image().width());  // the last cells are cut
        for (int y = row * 24; y < row * 24 + 24; ++y)
            for (int x = column * 11; x < right; ++x) {
                const rt::Colour p = pixel(x, y);
                const auto near = [](int a, int b) { return std::abs(a - b) < 40; };
                count += near(p & 0xFF, c & 0xFF) && near(p >> 8 & 0xFF, c >> 8 & 0xFF) &&
                         near(p >> 16 & 0xFF, c >> 16 & 0xFF);
            }
        return count;
    }
    int prompts_of_input() const {
        return static_cast<int>(std::count(rt.prompts.begin(), rt.prompts.end(), first_input_prompt));
    }

    FakeRuntime rt;
    test_support::SurfaceRecorder record;
    Kalorix kx{rt};
    rt::Image frozen_image;
    rt::TextGrid frozen_text;
};

const Parameters proposed{400, 1200, 150, 150};

TEST(ExperimentRun, TransfersKeepTheExcitationsAndMoveOneAtATime) {
    Rig run(proposed, 7);
    std::vector<std::int32_t> before;
    run.rt.on_key_query = [&](int wait) {
        SCOPED_TRACE("trial " + std::to_string(wait));
        EXPECT_EQ(run.kx.count_A + run.kx.count_B, 150);
        EXPECT_EQ(run.excited_cells(), 150);
        EXPECT_EQ(run.yellow_dots(), 150);
        const std::vector<std::int32_t> now = run.square();
        if (!before.empty()) {
            int changed = 0;
            for (std::size_t c = 0; c < before.size(); ++c) changed += before[c] != now[c];
            EXPECT_TRUE(changed == 0 || changed == 2) << changed;
        }
        before = now;
    };
    run.pick_at_wait("&Quit", 41);
    run.start();
    EXPECT_EQ(run.rt.keys, 40);
    EXPECT_EQ(run.kx.trial_index, 40);
    // Only the square of 40 x 40 cells is used.
    EXPECT_EQ(std::count(run.kx.atom_grid.begin(), run.kx.atom_grid.end(), 1), 150);
}

TEST(ExperimentRun, ExcitationsComeAfreshInEveryTrial) {
    Rig run({400, 1200, 150, 0}, 11);
    std::set<std::vector<std::int32_t>> patterns;
    run.rt.on_key_query = [&](int wait) {
        SCOPED_TRACE("trial " + std::to_string(wait));
        EXPECT_EQ(run.kx.count_A + run.kx.count_B, 150);
        EXPECT_EQ(run.excited_cells(), 150);
        EXPECT_EQ(run.yellow_dots(), 150);
        ASSERT_NE(run.record.at(35, 30), nullptr);
        EXPECT_EQ(run.record.at(35, 30)->text, "N_B = " + std::to_string(run.kx.count_B) + "    ");
        patterns.insert(run.square());
    };
    run.pick_at_wait("&Quit", 21);
    run.start();
    EXPECT_EQ(patterns.size(), 20u);
    // The quit ends the wait; the removal still follows.
    EXPECT_EQ(run.excited_cells(), 0);
}

TEST(ExperimentRun, NonSquareRoomsRunEveryTrialWithNoRoomAboveItsAtoms) {
    // Room B has more cells than atoms (1037 for 1000, 129 for 100, 8 for 6).
    // n lies far below the atoms of both rooms, or fills every place (room A
    // 1 cell, room B 6 of its 8 cells).
    for (const Parameters p : {Parameters{500, 1000, 1200, 0}, Parameters{400, 100, 150, 0}, Parameters{3, 6, 7, 0}}) {
        SCOPED_TRACE(::testing::Message() << p.Nmax_A << "/" << p.Nmax_B << "/" << p.n);
        Rig run(p, 4);
        int overfull = 0, not_finite = 0;
        run.rt.on_key_query = [&](int) {
            overfull += run.kx.count_A > p.Nmax_A || run.kx.count_B > p.Nmax_B ||
                        run.kx.count_A + run.kx.count_B != p.n || run.excited_cells() != p.n;
            const std::string screen = run.rt.surface().text_grid().to_text();
            not_finite += screen.find("nan") != std::string::npos || screen.find("inf") != std::string::npos;
        };
        run.start();
        EXPECT_TRUE(run.rt.messages.empty());
        EXPECT_EQ(run.rt.keys, 1001);
        EXPECT_EQ(overfull, 0);
        EXPECT_EQ(not_finite, 0);
    }
}

TEST(ExperimentRun, EmptyRoomShowsZeroOnRow319) {
    Rig run({400, 1200, 1, 0}, 3);
    run.pick_at_wait("&Quit", 1);
    run.start();
    // One excitation: the other room is empty. The full one reached the
    // limit and keeps the start values (row 0: no point).
    const bool in_A = run.kx.count_A == 1;
    EXPECT_EQ(in_A ? run.kx.trial_T_B : run.kx.trial_T_A, 0);
    EXPECT_EQ(in_A ? run.kx.graph_y_B : run.kx.graph_y_A, 319);
    EXPECT_EQ(run.pixel(10, 319), in_A ? blue : yellow);
    EXPECT_EQ(in_A ? run.text_at(35, 29, 7) : run.text_at(2, 29, 8), in_A ? "T_B = 0" : "T_A  = 0");
}

TEST(ExperimentRun, RowsLeftOverAreKeptAndPlottedOnlyBetweenZeroAnd580) {
    // The theoretical analysis stores its own point rows in the same places.
    // Points go above the frame's top edge (row 10) too, up to row 1.
    const struct {
        double row;
        bool plotted;
    } rows[] = {{5.0, true}, {0.6, true}, {300.0, true}, {579.4, true}, {0.0, false}, {-4.0, false}, {580.0, false}};
    for (const auto& left_over : rows) {
        SCOPED_TRACE(left_over.row);
        Rig run({400, 1200, 1, 0}, 3);
        run.kx.graph_y_A = run.kx.graph_y_B = left_over.row;
        run.pick_at_wait("&Quit", 1);
        run.start();
        // The room holding the one excitation is at the limit: not recomputed.
        const bool in_A = run.kx.count_A == 1;
        EXPECT_EQ(in_A ? run.kx.graph_y_A : run.kx.graph_y_B, left_over.row);
        const rt::Colour room = in_A ? yellow : blue;
        int points = 0;
        for (int y = 0; y < 600; ++y) points += run.pixel(10, y) == room;
        EXPECT_EQ(points, left_over.plotted ? 1 : 0);
        if (left_over.plotted) {
            EXPECT_EQ(run.pixel(10, static_cast<int>(std::nearbyint(left_over.row))), room);
        }
    }
}

// Rooms too large for a dot of 2 x 2 pixels per cell keep the picture in
// its place before the legend (x 678): one pixel per cell, or per k x k
// cells, lit exactly where one of them is excited, and a line says so.
TEST(ExperimentRun, LargeRoomsAreShownSmallerInThePicturesPlace) {
    const struct {
        Parameters p;
        int k;
    } cases[] = {
        {{1281600, 1281600, 1600, 1600}, 9},  // the whole table: 1601 cells a side on 178 pixels
        {{40000, 40000, 1600, 0}, 2},
        {{10000, 10000, 1600, 0}, 1},  // 142 cells a side, one pixel each
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.p.Nmax_A << "/" << c.p.Nmax_B << "/" << c.p.n << "/" << c.p.N_A);
        Rig run(c.p, 2);
        const std::int64_t span = run.rooms().span(), k = c.k, dots = (span + k - 1) / k;
        run.rt.on_key_query = [&](int) {
            std::vector<char> lit(static_cast<std::size_t>(dots * dots));
            for (std::int64_t j = 0; j < span; ++j)
                for (std::int64_t i = 0; i < span; ++i)
                    if (run.kx.atom_grid[j * atom_grid_side + i] == 1) lit[(j / k) * dots + i / k] = 1;
            int wrong = 0, shown = 0;
            for (std::int64_t y = 0; y < dots; ++y)
                for (std::int64_t x = 0; x < dots; ++x) {
                    const rt::Colour p = run.pixel(static_cast<int>(479 + x), static_cast<int>(16 + y));
                    if (p == white) continue;  // room A's outline, drawn again after every wait
                    const bool yellow_pixel = p == yellow;
                    wrong += yellow_pixel != (lit[y * dots + x] == 1) || (!yellow_pixel && p != background);
                    shown += yellow_pixel;
                }
            EXPECT_EQ(wrong, 0);
            EXPECT_GT(shown, 0);
            // The outline follows the last dot; then the place is empty up
            // to the legend's outline, which stays whole.
            for (int y = 15; y <= 16 + dots; ++y) {
                EXPECT_EQ(run.pixel(static_cast<int>(479 + dots), y), white) << y;
                for (int x = static_cast<int>(480 + dots); x < 678; ++x) EXPECT_EQ(run.pixel(x, y), background) << x;
                EXPECT_EQ(run.pixel(678, y), white) << y;
            }
        };
        run.pick_at_wait("&Quit", 4);
        run.start();
        EXPECT_EQ(run.rt.keys, 3);
        const std::string note = c.k == 1 ? ""
                                          : "Atombild verkleinert: ein Punkt = " + std::to_string(c.k) + " x " +
                                                std::to_string(c.k) + " Atome";
        EXPECT_EQ(run.text_at(43, 25, 60), note);
    }
}

// The first seed from 1 whose first trial leaves room A with `count_A`.
std::uint64_t seed_leaving(Parameters p, int count_A) {
    for (std::uint64_t seed = 1; seed < 200; ++seed) {
        Rig probe(p, seed);
        probe.pick_at_wait("&Quit", 1);
        probe.start();
        if (probe.kx.count_A == count_A) return seed;
    }
    return 0;
}

TEST(ExperimentRun, HalfExcitedRoomShowsZeroWithoutPointAndTheTableAddsUp) {
    const Parameters p{4, 12, 3, 3};
    const std::uint64_t seed = seed_leaving(p, 2);
    ASSERT_NE(seed, 0u);
    Rig run(p, seed);
    run.pick_at_wait("&Quit", 1);
    run.start();
    ASSERT_EQ(run.kx.count_B, 1);
    EXPECT_EQ(run.kx.trial_T_A, 0);
    EXPECT_EQ(run.kx.graph_y_A, 580);
    for (int y = 11; y < 580; ++y) EXPECT_NE(run.pixel(10, y), yellow) << y;
    EXPECT_DOUBLE_EQ(run.kx.graph_y_B, 580 - 200 * run.kx.trial_T_B);
    EXPECT_EQ(run.pixel(10, static_cast<int>(std::lround(run.kx.graph_y_B))), blue);

    // By hand: T_B = 2 / ln 11 = 0.834 (shown 166), S_A = ln 6 -> 1.7,
    // S_B = ln 12 -> 2.4, F_B = 2 - 0.834 * 2.4 = -0.002 -> 0.
    struct Entry {
        int column, row;
        std::string text;
    };
    const Entry table[] = {
        {2, 29, "T_A  = 0        "}, {2, 30, "N_A =    2        "}, {2, 31, "Nmax_A =    4        "},
        {17, 29, "U_A = 4    "},     {17, 30, "S_A = 1.7    "},     {17, 31, "F_A =    4        "},
        {35, 29, "T_B = 166    "},   {35, 30, "N_B = 1    "},       {35, 31, "Nmax_B =   12        "},
        {52, 29, "U_B = 2    "},     {52, 30, "S_B = 2.4    "},     {52, 31, "F_B =    0        "},
        {73, 29, "U_ges = 6    "},   {73, 30, "S_ges  = 4.1    "},  {73, 31, "F_ges  =    4        "},
    };
    for (const Entry& e : table) {
        const Printed* printed = run.record.at(e.column, e.row);
        ASSERT_NE(printed, nullptr) << e.text;
        EXPECT_EQ(printed->text, e.text);
        EXPECT_EQ(printed->colour, e.column < 35 ? yellow : blue) << e.text;
    }
    EXPECT_EQ(run.text_at(2, 27, 12), "Versuch Nr.1");
    ASSERT_NE(run.record.at(66, 27), nullptr);
    EXPECT_EQ(run.record.at(66, 27)->text, "Nächster Versuch: Taste!");
    EXPECT_EQ(run.record.at(66, 27)->colour, red);
    EXPECT_EQ(run.text_at(81, 24, 12), "Versuchs-Nr.");
    // The caption's cell overlaps the frame's bottom line, which stays whole.
    for (int x = 10; x <= 1010; ++x) EXPECT_EQ(run.pixel(x, 580), white) << x;
}

TEST(ExperimentRun, OverHalfExcitedRoomTurnsTheABlockRed) {
    // Room A of 9 cells starts full; a first transfer into B leaves 8 of 9.
    const Parameters p{9, 16, 9, 9};
    const std::uint64_t seed = seed_leaving(p, 8);
    ASSERT_NE(seed, 0u);
    Rig run(p, seed);
    run.pick_at_wait("&Quit", 1);
    run.start();
    EXPECT_LT(run.kx.trial_T_A, 0);
    EXPECT_GT(run.kx.graph_y_A, 580);
    for (const auto& [column, row] : {std::pair{2, 29}, {2, 30}, {2, 31}, {17, 29}, {17, 30}, {17, 31}}) {
        ASSERT_NE(run.record.at(column, row), nullptr);
        EXPECT_EQ(run.record.at(column, row)->colour, red) << column << "," << row;
        EXPECT_GT(run.pixels_like(red, column, row, 5), 10) << column << "," << row;
        EXPECT_EQ(run.pixels_like(yellow, column, row, 5), 0) << column << "," << row;
    }
    EXPECT_GT(run.pixels_like(blue, 35, 29, 5), 10);
    for (int y = 11; y < 580; ++y) EXPECT_NE(run.pixel(10, y), yellow) << y;
}

TEST(ExperimentRun, LastTrialOpensTheParameterInputAndTheGraphSpansTheFrame) {
    Rig run(proposed, 5);
    std::vector<double> rows_A(1001, -1), rows_B(1001, -1);
    run.rt.on_key_query = [&](int wait) {
        rows_A[wait - 1] = run.kx.graph_y_A;
        rows_B[wait - 1] = run.kx.graph_y_B;
        // Until the parameter input no dialog opens.
        EXPECT_EQ(run.prompts_of_input(), 0);
        if (wait == 1001) run.freeze();
    };
    run.start();
    EXPECT_EQ(run.rt.keys, 1001);
    EXPECT_EQ(run.kx.trial_index, 1001);
    EXPECT_EQ(run.prompts_of_input(), 1);
    int points = 0, above_frame = 0;
    for (int t = 0; t <= 1000; ++t) {
        std::vector<rt::Colour> top(10, background);  // what rows 0 to 9 above the frame show
        for (const auto& [row, colour] : {std::pair{rows_A[t], yellow}, {rows_B[t], blue}}) {
            const long y = std::lround(row);
            if (!(row > 0 && row < 580)) continue;
            if (y < 10) {
                top[static_cast<std::size_t>(y)] = colour;  // blue is plotted last and wins a shared pixel
                continue;
            }
            if (colour == yellow && std::lround(rows_B[t]) == y) continue;
            EXPECT_EQ(run.pixel(t + 10, static_cast<int>(y)), colour) << "trial " << t;
            ++points;
        }
        for (int y = 0; y < 10; ++y) {
            EXPECT_EQ(run.pixel(t + 10, y), top[static_cast<std::size_t>(y)]) << "trial " << t << ", row " << y;
            above_frame += top[static_cast<std::size_t>(y)] != background;
        }
    }
    EXPECT_GT(points, 1500);
    EXPECT_GT(above_frame, 0) << "the hot start of room A passes above the frame";
    EXPECT_EQ(run.text_at(2, 27, 15), "Versuch Nr.1001");
}

TEST(ExperimentRun, QuitDuringTheWaitEndsWithoutNewInput) {
    for (const Parameters p : {proposed, Parameters{400, 1200, 150, 0}}) {
        Rig run(p, 2);
        run.pick_at_wait("&Quit", 3);
        run.start();
        EXPECT_EQ(run.kx.quit_marker, "*");
        EXPECT_EQ(run.rt.keys, 2);
        EXPECT_EQ(run.kx.trial_index, 2);
        EXPECT_TRUE(run.rt.prompts.empty());
        // The outline of room A is drawn again after the wait.
        for (int x = 478; x <= 519; ++x) EXPECT_EQ(run.pixel(x, 15), white) << x;
    }
}

TEST(ExperimentRun, TrialAfterAnotherScreenLeavesItsTextUncut) {
    // The theory, chosen from the menu during the second wait, has its axis
    // title "Zahl übergetretener Atome" (from column 69) across the row of the
    // experiment's frame bottom. The next trial prints its own texts, but no
    // frame line through the theory's.
    Rig run(proposed, 6);
    run.pick_at_wait("&theoretische Analyse", 2);
    const int caption_x = 81 * 11;  // the trial's "Versuchs-Nr." starts here
    std::vector<rt::Colour> theory_row, next_trial_row;
    run.rt.on_key_query = [&](int wait) {
        if (wait == 1) return;
        std::vector<rt::Colour>& row = wait == 2 ? theory_row : next_trial_row;
        for (int x = 10; x < caption_x; ++x) row.push_back(run.pixel(x, 580));
        if (wait == 3) run.kx.quit_marker = "*";
    };
    run.start();
    ASSERT_EQ(run.rt.keys, 3);
    EXPECT_EQ(run.text_at(69, 24, 12), "  Zahl überg");
    EXPECT_LT(std::count(theory_row.begin(), theory_row.end(), white), 100);
    EXPECT_EQ(next_trial_row, theory_row);
}

TEST(ExperimentRun, QuitBeforeTheStartShowsOneTrialOnly) {
    Rig run({400, 1200, 150, 0}, 2);
    run.kx.quit_marker = "*";
    run.start();
    EXPECT_EQ(run.rt.keys, 0);
    EXPECT_EQ(run.kx.trial_index, 0);
    EXPECT_EQ(run.excited_cells(), 0);
    EXPECT_TRUE(run.rt.prompts.empty());
}

TEST(ExperimentRun, RefusedValuesAskForNewOnesInsteadOfHanging) {
    struct Case {
        Parameters p;
        const char* refusal;
    };
    // A room A of 10 atoms has 3 x 3 cells; a menu-started run takes the
    // variables as they are.
    for (const Case& c : {Case{{10, 15, 10, 10}, "Raum A hat nur 9 Zellen"}, Case{{400, 1200, 5000, 0}, "1600"},
                          Case{{2000000, 2000000, 150, 150}, "höchstens"}, Case{{400, 1200, 150, -2}, "N_A"}}) {
        Rig run(c.p, 1);
        run.start();
        ASSERT_EQ(run.rt.messages.size(), 1u);
        EXPECT_NE(run.rt.messages[0].find(c.refusal), std::string::npos) << run.rt.messages[0];
        EXPECT_EQ(run.rt.keys, 0);
        EXPECT_EQ(run.prompts_of_input(), 1);
    }
    // One atom fewer fits.
    Rig fits({10, 15, 9, 9}, 1);
    fits.rt.on_key_query = [&](int) { EXPECT_EQ(fits.kx.count_A + fits.kx.count_B, 9); };
    fits.pick_at_wait("&Quit", 6);
    fits.start();
    EXPECT_TRUE(fits.rt.messages.empty());
    EXPECT_EQ(fits.rt.keys, 5);
}

TEST(ExperimentRun, RunStartedFromTheMenuDuringTheWaitTakesOver) {
    Rig run({4, 12, 3, 3}, 9);
    run.rt.inputs = FakeRuntime::Inputs::take_defaults;  // the inner run's parameter input
    run.pick_at_wait("&Experimentelle Analyse", 2);
    run.start();
    // One wait of the outer run, 1001 of the inner one, then the outer run's
    // second wait ends it: one parameter input only, the inner run's.
    EXPECT_EQ(run.rt.keys, 1 + 1001 + 1);
    EXPECT_EQ(run.prompts_of_input(), 1);
    EXPECT_NE(run.kx.quit_marker, "*");
}

}  // namespace

namespace {

// The export of an experiment gives the values the screen shows, trial by
// trial: read back at the fifth wait, the last row is the trial on the
// screen; after the whole run there is one row per trial.
TEST(ExperimentExport, RowsGiveTheValuesOnTheScreen) {
    Rig run({400, 1200, 150, 150}, 11);
    std::string at_fifth_wait;
    std::string shown_T_A, shown_N_B, shown_S_A, shown_U_ges;
    std::size_t rows_at_last_wait = 0;
    run.rt.on_key_query = [&](int key) {
        if (key == 1001) rows_at_last_wait = test_support::csv_rows(run.rt.exporter()()).size();
        if (key != 5) return;
        at_fifth_wait = run.rt.exporter()();
        shown_T_A = run.text_at(9, 29, 8);
        shown_N_B = run.text_at(41, 30, 6);
        shown_S_A = run.text_at(23, 30, 8);
        shown_U_ges = run.text_at(81, 29, 6);
    };
    run.start();
    const auto trimmed = [](std::string s) { return s.substr(0, s.find(' ')); };

    const auto rows = test_support::csv_rows(at_fifth_wait);
    ASSERT_EQ(rows.size(), 7u + 5u);
    EXPECT_EQ(rows[2][1], "150");  // n in the header
    const auto& last = rows.back();
    ASSERT_EQ(last.size(), 16u);
    EXPECT_EQ(last[0], "5");
    using test_support::german_number;
    EXPECT_EQ(rt::number_text(std::floor(200 * german_number(last[3]))), trimmed(shown_T_A));
    EXPECT_EQ(last[2], trimmed(shown_N_B));
    EXPECT_EQ(rt::number_text(german_number(last[8])), trimmed(shown_S_A));
    EXPECT_EQ(rt::number_text(std::floor(german_number(last[7]))), trimmed(shown_U_ges));
    // Transfers keep N_A + N_B = 150 in every trial.
    for (std::size_t r = 7; r < rows.size(); ++r) EXPECT_EQ(std::stoi(rows[r][1]) + std::stoi(rows[r][2]), 150);

    EXPECT_EQ(rows_at_last_wait, 7u + 1001u);
    // The parameter input after the last trial clears the screen, and the records go with it.
    EXPECT_FALSE(run.rt.exporter());
}

// The "angezeigt" columns hold the numbers of the table's T_A and T_B,
// trial by trial; room A starts inverted, at negative temperatures.
TEST(ExperimentExport, ShownColumnsHoldTheNumbersOfTheTable) {
    Rig run({100, 300, 80, 80}, 3);
    std::vector<std::string> shown_A, shown_B;
    std::vector<std::vector<std::string>> rows;
    run.rt.on_key_query = [&](int key) {
        const auto value = [&](int column, const std::string& label) {
            const std::string& text = run.record.at(column, 29)->text;
            return text.substr(label.size(), text.find(' ', label.size()) - label.size());
        };
        shown_A.push_back(value(2, "T_A  = "));
        shown_B.push_back(value(35, "T_B = "));
        if (key == 1001) rows = test_support::csv_rows(run.rt.exporter()());
    };
    run.start();
    ASSERT_EQ(rows.size(), 7u + 1001u);
    int negative = 0;
    for (std::size_t trial = 0; trial < 1001; ++trial) {
        EXPECT_EQ(rows[7 + trial][14], shown_A[trial]) << "trial " << trial + 1;
        EXPECT_EQ(rows[7 + trial][15], shown_B[trial]) << "trial " << trial + 1;
        negative += shown_A[trial][0] == '-';
    }
    EXPECT_GT(negative, 0);
}

}  // namespace

namespace {

const std::string automatic_status = "Experiment: automatisch, 10 Versuche/s - Taste oder Maus hält an";
const std::string automatic_note = "Automatisch: Taste hält an";
const std::string trial_prompt = "Nächster Versuch: Taste!";

int automatic_entry_index(const Kalorix& kx) {
    const auto& m = kx.menu_entries;
    return static_cast<int>(std::find(m.begin(), m.end(), Kalorix::automatic_entry) - m.begin());
}

// Going on by itself, the experiment makes one trial per interval of the
// clock (here 2 ms per pass of the wait: a pass and a key query); a key
// stops the automatic mode and takes the next trial as before, with the red
// prompt back in the place of the note.
TEST(ExperimentAutomatic, OneTrialPerIntervalUntilAKey) {
    Rig run({400, 1200, 150, 150}, 5);
    run.rt.key = "";
    run.pick_at_wait(Kalorix::automatic_entry, 1);
    int trials_at_key = -1;
    double clock_at_key = 0;
    run.rt.on_key_query = [&](int key) {
        if (key == 2000) {
            trials_at_key = run.kx.trial_index;  // trials finished before this wait's trial
            clock_at_key = run.rt.time();
            run.rt.key = "\r";
        }
        if (key != 2001) return;
        EXPECT_FALSE(run.rt.menu_checked(automatic_entry_index(run.kx)));
        EXPECT_EQ(run.rt.status(), "Experiment: nächster Versuch mit einer Taste");
        const std::string prompt_place = run.text_at(66, 27, 60);
        EXPECT_EQ(prompt_place.substr(0, prompt_place.find_last_not_of(' ') + 1), trial_prompt) << "the note is gone";
        EXPECT_EQ(run.pixels_like(rt::colours::black, 66, 27, 30), 0) << "and so are its pixels";
        EXPECT_GT(run.pixels_like(red, 66, 27, 30), 50);
    };
    run.start();
    // About 2000 key queries of 2 ms: 40 intervals of 0.1 s, 40 trials.
    EXPECT_NEAR(trials_at_key, clock_at_key / 0.1, 1.5);
    EXPECT_GE(trials_at_key, 35);
    EXPECT_FALSE(run.kx.automatic_trials);
    EXPECT_EQ(run.kx.trial_index, 1001) << "the rest of the run went on key by key";
}

// Left on, the trials go by themselves to the end of the run: meanwhile the
// entry is checked, the status line says so and a black note stands where
// the red prompt stood. The parameter input after trial 1001 finds the mode
// off, the check mark gone and the status line empty.
TEST(ExperimentAutomatic, ShowsItsStateUntilTheRunEnds) {
    Rig run({400, 1200, 150, 150}, 5);
    run.rt.key = "";
    run.pick_at_wait(Kalorix::automatic_entry, 1);
    const int entry = automatic_entry_index(run.kx);
    int waits = 0, wrong = 0;
    run.rt.on_key_query = [&](int) {
        ++waits;
        wrong += !run.kx.automatic_trials || !run.rt.menu_checked(entry) || run.rt.status() != automatic_status ||
                 run.text_at(66, 27, 60) != automatic_note || run.record.at(66, 27)->colour != rt::colours::black;
    };
    int inputs_in_automatic_mode = 0;
    run.rt.on_input = [&] {
        inputs_in_automatic_mode += run.kx.automatic_trials || run.rt.menu_checked(entry) || !run.rt.status().empty();
    };
    run.start();
    EXPECT_EQ(run.kx.trial_index, 1001);
    EXPECT_GT(waits, 1001);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(run.prompts_of_input(), 1);
    EXPECT_EQ(inputs_in_automatic_mode, 0);
}

// Chosen at the title, the entry is held until after the start-up and then
// finds no experiment waiting: the theory shows no automatic mode, and the
// experiment after it waits for its keys.
TEST(ExperimentAutomatic, ChosenAtTheTitleItTurnsNothingOn) {
    kalorix_test::KalorixRun run("menu EXTRAS / &Automatisch weiter\n" + std::string(kalorix_test::start_up) +
                                 "answer 40\nanswer 120\nanswer 15\nanswer 15\nanswer 0.4\nanswer 2.0\nbutton 2\n"
                                 "menu AUSGABE / &Experimentelle Analyse\npasses 500\nkey\n");
    run.program.run();
    EXPECT_TRUE(run.records("checked").empty());
    for (const std::string& status : run.records("status"))
        EXPECT_EQ(status.find(rt::json_string(automatic_status)), std::string::npos) << status;
    EXPECT_EQ(run.program.trial_index, 1) << "one trial per key, two keys";
}

// Outside an experiment's wait there is nothing to go on by itself: the
// entry stays unchecked and the status line says where it works. In the
// experiment a mouse button stops the mode and brings the red prompt back
// at once; switched on again, the mode ends when the theory is chosen from
// the menu during the wait, and the experiment, going on after it, waits
// for keys.
TEST(ExperimentAutomatic, BelongsToTheExperimentsWaitOnItsScreen) {
    kalorix_test::KalorixRun run(std::string(kalorix_test::start_up) +
                                 "answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0.4\nanswer 2.0\nbutton 3\n"
                                 "menu AUSGABE / &theoretische Analyse\npasses 20\n"
                                 "menu EXTRAS / &Automatisch weiter\npasses 200\nkey\n"
                                 "menu AUSGABE / &Experimentelle Analyse\nmenu EXTRAS / &Automatisch weiter\n"
                                 "passes 1000\nmouse left down\npasses 3\nmouse left up\n"
                                 "menu EXTRAS / &Automatisch weiter\npasses 500\n"
                                 "menu AUSGABE / &theoretische Analyse\npasses 300\nkey\nkey\n");
    run.program.run();
    const auto lines = [&](const std::string& kind) {
        std::vector<std::string> texts;
        for (const std::string& line : run.records(kind)) {
            const std::size_t from = line.find(kind == "status" ? "\"text\":" : "\"on\":");
            texts.push_back(line.substr(from, line.find('}', from) - from));
        }
        return texts;
    };
    EXPECT_EQ(lines("status"),
              (std::vector<std::string>{
                  "\"text\":\"Automatisch weiter: nur während die experimentelle Analyse auf eine Taste wartet\"",
                  "\"text\":\"\"", "\"text\":" + rt::json_string(automatic_status),
                  "\"text\":\"Experiment: nächster Versuch mit einer Taste\"",
                  "\"text\":" + rt::json_string(automatic_status), "\"text\":\"\""}));
    EXPECT_EQ(lines("checked"),
              (std::vector<std::string>{"\"on\":true", "\"on\":false", "\"on\":true", "\"on\":false"}));
    // Between the two marks trials went by themselves, without the red prompt.
    const std::string transcript = run.transcript.pending();
    const std::size_t on = transcript.find("\"on\":true"), off = transcript.find("\"on\":false");
    const std::string automatic = transcript.substr(on, off - on);
    EXPECT_NE(automatic.find(automatic_note), std::string::npos);
    const std::string red_prompt = "\"text\":\"" + trial_prompt + "\",\"colour\":\"#ff0000\"";
    EXPECT_EQ(automatic.find(red_prompt), std::string::npos);
    EXPECT_NE(transcript.substr(off).find(red_prompt), std::string::npos) << "a key brought the next trial";
}

}  // namespace

TEST(ExperimentRun, ScreenReadersHearEachTrialOnceAndReadThePictureAndTheTable) {
    Rig run(proposed, 7);
    std::string description;
    run.rt.on_key_query = [&](int wait) {
        ASSERT_EQ(run.rt.announcements.size(), static_cast<std::size_t>(wait)) << "trial " << wait;
        const std::string& said = run.rt.announcements.back();
        EXPECT_EQ(said.rfind("Versuch Nr." + std::to_string(wait) + ": N_A = " + rt::number_text(run.kx.count_A) +
                                 ", N_B = " + rt::number_text(run.kx.count_B) + ", T_A = ",
                             0),
                  0u)
            << said;
        description = run.rt.screen_description();
    };
    run.pick_at_wait("&Quit", 4);  // during the fourth trial's wait, before its key query
    run.start();
    EXPECT_EQ(run.rt.announcements.size(), 4u);
    EXPECT_EQ(description.rfind("Die angeregten Atome als gelbe Punkte", 0), 0u) << description;
    for (const char* piece : {"\nVersuch Nr.3", "Nmax_A =   400", "S_ges  = "})
        EXPECT_NE(description.find(piece), std::string::npos) << piece << " in\n" << description;
}

// The theory's curve beside the experiment marks, after every trial, the
// split the table shows as "N_B =", on the curve and at the end of the path.
TEST(ExperimentCurve, MarksTheTablesCountOfEveryTrial) {
    for (const Parameters& p : {proposed, Parameters{400, 1200, 150, 0}}) {
        SCOPED_TRACE(p.N_A);
        Rig run(p, 5);
        run.kx.curve_shown = true;
        const kalorix::EntropyCurve curve = kalorix::EntropyCurve::of_run(400, 1200, 150);
        int checked = 0;
        run.rt.on_key_query = [&](int wait) {
            SCOPED_TRACE("trial " + std::to_string(wait));
            const std::string shown = run.text_at(35, 30, 12);  // "N_B = 27    "
            ASSERT_EQ(shown.rfind("N_B = ", 0), 0u) << shown;
            const std::int64_t table_count = std::stoll(shown.substr(6));
            const auto& path = run.kx.curve_run.path.splits();
            ASSERT_EQ(path.size(), static_cast<std::size_t>(wait));
            EXPECT_EQ(path.back(), table_count);
            const auto panel = kalorix::CurvePanel::beside(run.kx.curve_run.pictures_bottom);
            const double x = panel.split_x(table_count, 150);
            EXPECT_EQ(run.pixel(static_cast<int>(std::lround(x)),
                                static_cast<int>(
                                    std::lround(panel.entropy_y(curve.at(table_count), curve.S_min(), curve.S_max())))),
                      red);
            EXPECT_EQ(run.pixel(static_cast<int>(std::lround(x)),
                                static_cast<int>(std::lround(panel.trial_y(wait - 1, kalorix::path_span(wait))))),
                      red);
            ++checked;
        };
        run.pick_at_wait("&Quit", 31);
        run.start();
        EXPECT_EQ(checked, 30);
    }
}
