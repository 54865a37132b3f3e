// The step rates diffundo's tempo levels reach: the program's own main-loop
// passes, headless (offscreen), with the window's clock rule (rt::CoarseClock,
// read afresh after every sleep) and the window's sleeping poll. Per level it
// prints the steps per second measured here on the wall clock, their ratio
// to the level, the CPU share, and the status line the program shows.
//
//   pace_bench [seconds per level] [extra microseconds per pass]   (defaults 2 and 0)
//
// A level runs for as many steps as the given seconds take at its tempo (at
// least ten), timed from its first step on. The extra microseconds make every
// pass that much dearer, as on a slower machine: where the loop no longer
// turns fast enough, the level falls short and the status line says what it
// reaches.

#include "bench_clock.h"
#include "common/runtime/coarse_clock.h"
#include "common/runtime/surface.h"
#include "diffundo/diffundo.h"
#include "fake_runtime.h"


#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace {

constexpr double frame_seconds = 1.0 / 60;

// The non-drawing services as the window has them between its event pumps,
// with its clock and its sleeping poll: after four polls in a row that saw
// nothing drawn, a poll sleeps one 10 ms tick.
class PacedRuntime : public test_support::FakeRuntime {
public:
    explicit PacedRuntime(double extra_seconds) : extra_seconds_(extra_seconds) {}

    void process_events() override {
        FakeRuntime::process_events();
        clock_.now();  // the window's event pump reads the clock at every pass
        if (extra_seconds_ > 0) {
            const double until = bench::wall_seconds() + extra_seconds_;
            while (bench::wall_seconds() < until) {
            }
        }
    }
    int mouse_state() override {
        const std::uint64_t changes = surface().change_count();
        const bool drawn = changes != polled_changes_;
        polled_changes_ = changes;
        if (drawn) {
            idle_polls_ = 0;
        } else if (++idle_polls_ >= 4) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            clock_.fresh();
        }
        return rt::mouse_none;
    }
    double time() override { return clock_.now(); }

private:
    double extra_seconds_;
    rt::CoarseClock clock_;
    std::uint64_t polled_changes_ = 0;
    int idle_polls_ = 0;
};

struct Reached {
    double rate = 0;       // steps per second, wall clock
    double cpu_share = 0;  // thread CPU time / wall time
};

// Runs the level until `steps` steps after its first one, timed from the
// pass of the first to the pass of the last, so that no step is cut in two
// at either end. The surface is looked at 60 times a second, as the window's
// repaint timer would.
Reached run_level(diffundo::Diffundo& program, PacedRuntime& runtime, int level, long steps) {
    program.pace = rt::Pace{};
    while (program.pace.level() > level) program.pace.slower();
    program.status_shown_at = -1;
    const long before = program.gas.trial_count;
    while (program.gas.trial_count == before) program.main_loop_pass();
    const long last = program.gas.trial_count + steps;
    const bench::Stopwatch watch;
    double next_look = bench::wall_seconds() + frame_seconds;
    for (long passes = 1; program.gas.trial_count < last; ++passes) {
        program.main_loop_pass();
        if ((passes & 63) == 0 && bench::wall_seconds() >= next_look) {
            runtime.surface().image();
            next_look += frame_seconds;
        }
    }
    const bench::Timing t = watch.elapsed();
    return {static_cast<double>(steps) / t.wall, t.cpu / t.wall};
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2;
    const double extra_us = argc > 2 ? std::atof(argv[2]) : 0;
    if (seconds <= 0 || extra_us < 0) {
        std::fprintf(stderr, "usage: pace_bench [seconds per level > 0] [extra microseconds per pass >= 0]\n");
        return 2;
    }

    PacedRuntime runtime(extra_us * 1e-6);
    runtime.key.clear();
    runtime.inputs = test_support::FakeRuntime::Inputs::answer;
    runtime.answer = "100";
    runtime.seed_random(1);
    diffundo::Diffundo program(runtime);
    program.set_start_values();
    program.enter_atom_count("Gesamtzahl der Atome", "100");

    std::printf("diffundo, N = 100, headless, window clock rule, %.3g s per level (at least 10 steps), "
                "%.3g us extra per pass\n",
                seconds, extra_us);
    std::printf("  %6s %12s %8s %6s  %s\n", "tempo", "reached/s", "ratio", "CPU", "status line at the end");
    for (int level = 0; level < rt::Pace::full_speed_level; ++level) {
        const int tempo = rt::Pace::tempos[static_cast<std::size_t>(level)];
        const long steps = std::max(10L, std::lround(seconds * tempo));
        const Reached r = run_level(program, runtime, level, steps);
        std::printf("  %6d %12.1f %8.4f %5.0f%%  %s\n", tempo, r.rate, r.rate / tempo, 100 * r.cpu_share,
                    runtime.status().c_str());
    }
    return 0;
}
