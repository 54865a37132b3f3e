// Dice steps per second of diffundo: with every line drawn into the surface
// (both drawing modes, as the main loop turns them) and of the bare model, in
// the same run, offscreen. The surface is looked at 60 times a second, as a
// window at the screen's rate would, so the lines become pixels as they would
// be shown. (What the window adds on top, window_bench measures.)
//
//   diffundo_bench [steps] [repetitions]   (defaults 2,000,000 and 5; medians)
//
// Instructions per step, repeatable on a shared machine: run it under
//   valgrind --tool=callgrind --toggle-collect='*measure_in_place*' diffundo_bench 20000 1
// (or measure_sorted, measure_bare) and divide the collected count by the steps.

#include "bench_clock.h"
#include "common/runtime/runtime.h"
#include "common/runtime/surface.h"
#include "diffundo/core/dice_model.h"
#include "diffundo/diffundo.h"
#include "fake_runtime.h"


#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Main-loop passes of the program: events, one dice step with its line, the
// tick.
void drawn_steps(diffundo::Diffundo& program, test_support::FakeRuntime& runtime, long steps) {
    for (long i = 0; i < steps; ++i) {
        runtime.process_events();
        program.dice_step();
        program.last_tick = runtime.time();
    }
    runtime.surface().image();
}

void use_draw_mode(diffundo::Diffundo& program, int mode) {
    if (program.draw_mode != mode) program.toggle_draw_mode();
}

__attribute__((noinline)) bench::Timing measure_in_place(diffundo::Diffundo& program,
                                                         test_support::FakeRuntime& runtime, long steps) {
    use_draw_mode(program, -1);
    const bench::Stopwatch watch;
    drawn_steps(program, runtime, steps);
    return watch.elapsed();
}

__attribute__((noinline)) bench::Timing measure_sorted(diffundo::Diffundo& program, test_support::FakeRuntime& runtime,
                                                       long steps) {
    use_draw_mode(program, 1);
    const bench::Stopwatch watch;
    drawn_steps(program, runtime, steps);
    return watch.elapsed();
}

__attribute__((noinline)) bench::Timing measure_bare(test_support::FakeRuntime& runtime, long steps, long& checksum) {
    diffundo::DiceModel model;
    model.start_run(100);
    const bench::Stopwatch watch;
    for (long i = 0; i < steps; ++i) model.step(runtime.random());
    const bench::Timing t = watch.elapsed();
    checksum += model.m + model.trial_count;  // keeps the loop from being optimised away
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    const long steps = argc > 1 ? std::atol(argv[1]) : 2'000'000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
    if (steps <= 0 || repetitions <= 0) {
        std::fprintf(stderr, "usage: diffundo_bench [steps > 0] [repetitions > 0]\n");
        return 2;
    }

    // The non-drawing services as cheap as the window's are between its event
    // pumps: nothing pending, no key, no button held, the clock read.
    test_support::FakeRuntime runtime;
    runtime.stand_for_window();
    runtime.key.clear();
    runtime.inputs = test_support::FakeRuntime::Inputs::answer;
    runtime.answer = "100";
    runtime.seed_random(1);
    diffundo::Diffundo program(runtime);
    program.set_start_values();
    program.enter_atom_count("Gesamtzahl der Atome", "100");

    // Glyphs rendered and fonts loaded before any measurement.
    for (const int mode : {-1, 1}) {
        use_draw_mode(program, mode);
        drawn_steps(program, runtime, 1000);
    }

    std::vector<bench::Timing> in_place, sorted, bare;
    long checksum = 0;
    for (int r = 0; r < repetitions; ++r) {
        in_place.push_back(measure_in_place(program, runtime, steps));
        sorted.push_back(measure_sorted(program, runtime, steps));
        bare.push_back(measure_bare(runtime, steps, checksum));
    }

    const bench::Timing b = bench::median(bare);
    const auto row = [&](const char* name, const bench::Timing& t) {
        std::printf("  %-32s %13.0f %13.0f %10.1f %9.1f x\n", name, steps / t.wall, steps / t.cpu, t.cpu / steps * 1e9,
                    t.cpu / b.cpu);
    };
    std::printf("diffundo, N = 100, 1024 x 768, %ld steps per measurement, median of %d\n", steps, repetitions);
    std::printf("  %-32s %13s %13s %10s %11s\n", "", "steps/s wall", "steps/s CPU", "ns/step", "drawn/bare");
    row("drawn, atoms in place (mode -1)", bench::median(in_place));
    row("drawn, sorted (mode 1)", bench::median(sorted));
    row("bare model", b);
    std::printf("  (checksum %ld)\n", checksum);
    return 0;
}
