// Dice steps per second of diffundo: with every line drawn into the surface
// (both drawing modes, as the main loop turns them) and of the bare model,
// in the same run, offscreen.
//
//   diffundo_bench [steps]      (default 2,000,000 per measurement)

#include "common/runtime/runtime.h"
#include "diffundo/core/dice_model.h"
#include "diffundo/diffundo.h"
#include "fake_runtime.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Wall and CPU time of one measurement: on a shared machine the CPU time
// tells what the loop does with a core of its own.
struct Timer {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
};

struct Rate {
    double wall = 0;  // steps per second of wall-clock time
    double cpu = 0;   // steps per second of CPU time
};

Rate rate_since(const Timer& start, long steps) {
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start.wall).count();
    const double cpu = static_cast<double>(std::clock() - start.cpu) / CLOCKS_PER_SEC;
    return {steps / wall, cpu > 0 ? steps / cpu : 0};
}

// Main-loop passes of the program: events, one dice step with its line, the tick.
Rate drawn_steps_per_second(diffundo::Diffundo& program, test_support::FakeRuntime& runtime, long steps) {
    const Timer start;
    for (long i = 0; i < steps; ++i) {
        runtime.process_events();
        program.dice_step();
        program.last_tick = runtime.time();
    }
    return rate_since(start, steps);
}

Rate model_steps_per_second(test_support::FakeRuntime& runtime, long steps, long& checksum) {
    diffundo::DiceModel model;
    model.start_run(100);
    const Timer start;
    for (long i = 0; i < steps; ++i) model.step(runtime.random());
    const Rate rate = rate_since(start, steps);
    checksum = model.m + model.trial_count;  // keeps the loop from being optimised away
    return rate;
}

}  // namespace

int main(int argc, char** argv) {
    const long steps = argc > 1 ? std::atol(argv[1]) : 2'000'000;
    if (steps <= 0) {
        std::fprintf(stderr, "usage: diffundo_bench [steps > 0]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    // The non-drawing services as cheap as the window's are between its event
    // pumps: nothing pending, no key, no button held, the clock read.
    test_support::FakeRuntime runtime;
    runtime.key.clear();
    runtime.real_clock = true;
    runtime.inputs = test_support::FakeRuntime::Inputs::answer;
    runtime.answer = "100";
    runtime.seed_random(1);
    diffundo::Diffundo program(runtime);
    program.set_start_values();
    program.enter_atom_count("Gesamtzahl der Atome", "100");

    const Rate in_place = drawn_steps_per_second(program, runtime, steps);
    program.toggle_draw_mode();
    const Rate sorted = drawn_steps_per_second(program, runtime, steps);
    long checksum = 0;
    const Rate bare = model_steps_per_second(runtime, steps, checksum);

    std::printf("diffundo, N = 100, 1024 x 768, %ld steps per measurement\n", steps);
    std::printf("                                   steps/s (wall)   steps/s (CPU)\n");
    std::printf("  drawn, atoms in place (mode -1): %14.0f  %14.0f\n", in_place.wall, in_place.cpu);
    std::printf("  drawn, sorted (mode 1):          %14.0f  %14.0f\n", sorted.wall, sorted.cpu);
    std::printf("  bare model:                      %14.0f  %14.0f   (checksum %ld)\n", bare.wall, bare.cpu, checksum);
    return 0;
}
