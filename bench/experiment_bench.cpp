// The experimental analysis of kalorix: 1001 trials with every key already
// waiting, drawn on a headless runtime and run bare on the model alone.
//
//   experiment_bench [repetitions] [case] [trials per look]
//   (default 3 repetitions, all cases, 1 trial per look; medians)
//
// The drawn run pays what the window's user pays: the window reads the
// surface's image at 60 Hz, which draws the waiting texts into pixels, and a
// trial comes with a key or ten a second by themselves, so every trial is
// shown. Here the image is read after every `trials per look` trials.
//
// Instructions per trial, repeatable on a shared machine: run one case under
//   valgrind --tool=callgrind --toggle-collect='kalorix::Kalorix::run_experiment*' experiment_bench 1 CASE
// (or '*measure_bare*') and divide the collected count by 1001. Not
// '*measure_drawn*': the image reads run in its lambda, whose name matches
// too and toggles the collection off while they run. The bare count holds
// what measure_bare sets up before its stopwatch starts (a runtime and the
// cell table, about 13 M instructions).

#include "bench_clock.h"
#include "common/runtime/surface.h"
#include "common/runtime/runtime.h"
#include "fake_runtime.h"
#include "kalorix/core/experiment_model.h"
#include "kalorix/core/trial_quantities.h"
#include "kalorix/kalorix.h"
#include "kalorix_setup.h"


#include <algorithm>
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

// The whole run as the program does it, drawing included, on the one
// runtime of the benchmark (its glyphs are rendered once).
__attribute__((noinline)) bench::Timing measure_drawn(kalorix::Kalorix& program, test_support::FakeRuntime& runtime,
                                                      const Case& c, int trials_per_look) {
    // The key query of the wait after each trial, once its drawing is done.
    runtime.on_key_query = [&runtime, trials_per_look](int key) {
        if (key % trials_per_look == 0) runtime.surface().image();
    };
    const bench::Stopwatch watch;
    program.run_experiment(c.N_A, c.n, c.Nmax_A, c.Nmax_B);
    const bench::Timing elapsed = watch.elapsed();
    runtime.on_key_query = nullptr;
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
__attribute__((noinline)) bench::Timing measure_bare(const Case& c, long long& draws) {
    std::vector<std::int32_t> grid(static_cast<std::size_t>(kalorix::atom_grid_side) * kalorix::atom_grid_side);
    std::vector<std::int32_t> dot_x(kalorix::trial_record_slots), dot_y(kalorix::trial_record_slots);
    CountingHooks hooks;
    hooks.runtime.seed_random(1);
    const auto rooms = kalorix::RoomSquare::of_rooms(c.Nmax_A, c.Nmax_B);
    const auto setting = kalorix::TrialSetting::of_run(c.N_A, c.n, c.Nmax_A, c.Nmax_B);
    const bench::Stopwatch watch;
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
    const bench::Timing elapsed = watch.elapsed();
    draws = hooks.numbers / 2;
    if (checksum == 0.123) std::puts("");  // keeps the quantities computed
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int only = argc > 2 ? std::atoi(argv[2]) : 0;
    const int trials_per_look = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;

    const Case cases[] = {
        {"proposed", 400, 1200, 150, 150},
        {"proposed", 400, 1200, 150, 0},
        {"largest square", half_table, half_table, 150, 150},
        {"largest square", half_table, half_table, 1000000, 1000000},
        {"largest square", half_table, half_table, kalorix::max_recorded_excitations, 0},
    };
    test_support::FakeRuntime runtime;
    runtime.surface().keep_text_grid(false);  // as in the window
    runtime.hears_announcements = false;
    std::printf("experiment_bench: %d trials per run, the image read every %d, median of %d; times in ms\n", trials,
                trials_per_look, repetitions);
    std::printf("%-4s %-56s %10s %10s %10s %10s %10s %12s\n", "case", "", "drawn CPU", "bare CPU", "drawn/bare",
                "drawn wall", "bare wall", "draws (bare)");
    for (int k = 1; k <= static_cast<int>(std::size(cases)); ++k) {
        if (only != 0 && k != only) continue;
        const Case& c = cases[k - 1];
        std::vector<bench::Timing> drawn, bare;
        long long draws = 0;
        for (int r = 0; r < repetitions; ++r) {
            // Every key is waiting; the parameter input at the end is cancelled.
            runtime.inputs = test_support::FakeRuntime::Inputs::cancel;
            runtime.seed_random(1);
            runtime.keys = 0;
            kalorix::Kalorix program(runtime);
            kalorix_test::make_tables(program);
            kalorix_test::set_parameters(program, {c.Nmax_A, c.Nmax_B, c.n, c.N_A});
            drawn.push_back(measure_drawn(program, runtime, c, trials_per_look));
            bare.push_back(measure_bare(c, draws));
        }
        const bench::Timing d = bench::median(drawn), b = bench::median(bare);
        std::printf("%-4d %-56s %10.1f %10.1f %9.2f x %10.1f %10.1f %12lld\n", k, c.name().c_str(), d.cpu * 1e3,
                    b.cpu * 1e3, d.cpu / b.cpu, d.wall * 1e3, b.wall * 1e3, draws);
    }
    return 0;
}
