// The experimental analysis of kalorix: 1001 trials with every key already
// waiting, drawn on a headless runtime and run bare on the model alone.
//
//   experiment_bench [repetitions]     (default 3; the best time is printed)

#include "common/runtime/runtime.h"
#include "fake_runtime.h"
#include "kalorix/core/experiment_model.h"
#include "kalorix/core/trial_quantities.h"
#include "kalorix/kalorix.h"
#include "kalorix_setup.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int trials = 1001;

struct Case {
    const char* what;
    int Nmax_A, Nmax_B, n, N_A;

    std::string name() const {
        const bool transfers = N_A > 0;
        return std::string(transfers ? "variant 1, " : "variant 2, ") + what + " (" + std::to_string(Nmax_A) + "/" +
               std::to_string(Nmax_B) + (transfers ? ", N_A " : ", n ") + std::to_string(transfers ? N_A : n) + ")";
    }
};

// Two equal rooms that fill the atom table but for its last cell.
constexpr int half_table = kalorix::max_total_atoms / 2;

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The whole run as the program does it, drawing included.
double drawn_run(const Case& c) {
    // Every key is waiting; the parameter input at the end is cancelled.
    test_support::FakeRuntime runtime;
    runtime.inputs = test_support::FakeRuntime::Inputs::cancel;
    runtime.seed_random(1);
    kalorix::Kalorix program(runtime);
    kalorix_test::make_tables(program);
    kalorix_test::set_parameters(program, {c.Nmax_A, c.Nmax_B, c.n, c.N_A});
    const auto start = std::chrono::steady_clock::now();
    program.run_experiment(c.N_A, c.n, c.Nmax_A, c.Nmax_B);
    const double elapsed = seconds_since(start);
    if (runtime.keys != trials) {
        std::fprintf(stderr, "%s: %d trials instead of %d\n", c.name().c_str(), runtime.keys, trials);
        std::exit(1);
    }
    return elapsed;
}

struct CountingHooks : kalorix::ExperimentModel::Hooks {
    double random() override {
        ++numbers;
        return runtime.random();
    }
    bool quit_requested() const override { return false; }
    test_support::FakeRuntime runtime;
    long long numbers = 0;
};

// The same trials without a screen: cells, draws, counts and quantities.
double bare_run(const Case& c, long long& draws) {
    std::vector<std::int32_t> grid(static_cast<std::size_t>(kalorix::atom_grid_side) * kalorix::atom_grid_side);
    std::vector<std::int32_t> dot_x(kalorix::trial_record_slots), dot_y(kalorix::trial_record_slots);
    CountingHooks hooks;
    hooks.runtime.seed_random(1);
    const auto rooms = kalorix::RoomSquare::of_rooms(c.Nmax_A, c.Nmax_B);
    const auto setting = kalorix::TrialSetting::of_run(c.N_A, c.n, c.Nmax_A, c.Nmax_B);
    const auto start = std::chrono::steady_clock::now();
    kalorix::ExperimentModel model({grid, kalorix::atom_grid_side, dot_x, dot_y}, rooms, hooks);
    model.clear_grid();
    const bool transfers = c.N_A > 0;
    if (transfers) {
        model.count_A = c.N_A;
        model.place_initial_atoms(rooms.side_A, c.N_A);
    }
    double T_A = 0, T_B = 0, checksum = 0;
    for (int t = 0; t < trials; ++t) {
        model.run_steps(transfers, setting.limit);
        const auto q = kalorix::trial_quantities(setting, model.count_A, model.count_B, 2.0, T_A, T_B);
        T_A = q.A.T;
        T_B = q.B.T;
        checksum += q.F_ges + T_A + T_B;
        if (!transfers) {
            model.clear_trial_atoms(c.n);
            model.count_A = model.count_B = 0;
        }
    }
    const double elapsed = seconds_since(start);
    draws = hooks.numbers / 2;
    if (checksum == 0.123) std::puts("");  // keeps the quantities computed
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const Case cases[] = {
        {"proposed", 400, 1200, 150, 150},
        {"proposed", 400, 1200, 150, 0},
        {"largest square", half_table, half_table, 150, 150},
        {"largest square", half_table, half_table, 1000000, 1000000},
        {"largest square", half_table, half_table, kalorix::max_recorded_excitations, 0},
    };
    std::printf("experiment_bench: %d trials per run, best of %d\n", trials, repetitions);
    std::printf("%-58s %12s %12s %12s %14s\n", "case", "drawn [ms]", "bare [ms]", "drawn/trial", "draws (bare)");
    for (const Case& c : cases) {
        double drawn = 1e300, bare = 1e300;
        long long draws = 0;
        for (int r = 0; r < repetitions; ++r) {
            drawn = std::min(drawn, drawn_run(c));
            bare = std::min(bare, bare_run(c, draws));
        }
        std::printf("%-58s %12.1f %12.1f %10.3f ms %14lld\n", c.name().c_str(), drawn * 1e3, bare * 1e3,
                    drawn * 1e3 / trials, draws);
    }
    return 0;
}
