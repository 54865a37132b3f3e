// The runtime in a real window: the process CPU of a window that shows a
// picture and waits for a key, and of diffundo's dice steps at full speed in
// the window against the same steps headless. Needs a display; without one,
// run it under Xvfb:
//
//   xvfb-run -s "-screen 0 1280x1024x24" build/bin/window_bench [seconds]   (default 5 per measurement)
//
// Process CPU time counts this process only (the X server is another one).

#include "bench_clock.h"
#include "common/runtime/runtime.h"
#include "common/runtime/surface.h"
#include "common/window/window_runtime.h"
#include "diffundo/diffundo.h"
#include "fake_runtime.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double process_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// diffundo as the input of 100 atoms leaves it, without the input box.
void start_hundred_atoms(diffundo::Diffundo& program, rt::Runtime& runtime) {
    program.set_start_values();
    runtime.set_background_colour(program.background_colour);
    runtime.clear_screen();
    runtime.set_font(rt::FontFamily::mono, 14);
    program.gas.N = 100;
    program.gas.start_run(program.gas.N);
}

// The main loop's passes for `seconds` of wall time; returns the steps.
long run_steps(diffundo::Diffundo& program, rt::Runtime& runtime, double seconds) {
    const double end = bench::wall_seconds() + seconds;
    long steps = 0;
    while (true) {
        for (int i = 0; i < 4096; ++i) {
            runtime.process_events();
            program.dice_step();
            program.last_tick = runtime.time();
        }
        steps += 4096;
        if (bench::wall_seconds() >= end) return steps;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5;
    QApplication application(argc, argv);

    rt::WindowRuntime window;
    window.set_title("window_bench");
    window.open_window();

    // A picture, then a wait for a key that never comes.
    const bool drawn = window.draw_picture("titelbild1.jpg", 0, 0, 1024, 768);
    double cpu = process_cpu_seconds(), wall = bench::wall_seconds();
    const double idle_end = wall + seconds;
    while (bench::wall_seconds() < idle_end) window.key_query();
    const double idle_cpu = process_cpu_seconds() - cpu, idle_wall = bench::wall_seconds() - wall;
    const int idle_paints = window.paint_count();

    // diffundo at full speed, in the window and headless.
    diffundo::Diffundo in_window(window);
    start_hundred_atoms(in_window, window);
    const int paints_before = window.paint_count();
    cpu = process_cpu_seconds();
    wall = bench::wall_seconds();
    const long window_steps = run_steps(in_window, window, seconds);
    const double window_cpu = process_cpu_seconds() - cpu, window_wall = bench::wall_seconds() - wall;
    const int window_paints = window.paint_count() - paints_before;

    test_support::FakeRuntime headless;
    headless.key.clear();
    headless.real_clock = true;
    diffundo::Diffundo without_window(headless);
    start_hundred_atoms(without_window, headless);
    cpu = process_cpu_seconds();
    wall = bench::wall_seconds();
    const long headless_steps = run_steps(without_window, headless, seconds);
    headless.surface().image();
    const double headless_cpu = process_cpu_seconds() - cpu;
    window.end();

    std::printf("window_bench, %.0f s per measurement, process CPU time\n", seconds);
    std::printf("  idle window with a picture%s: %.2f %% CPU (%.3f s CPU in %.1f s), %d repaints\n",
                drawn ? "" : " (picture missing)", 100 * idle_cpu / idle_wall, idle_cpu, idle_wall, idle_paints);
    std::printf("  diffundo in the window: %ld steps, %.0f steps per CPU second, %.1f %% CPU, %d repaints (%.1f/s)\n",
                window_steps, window_steps / window_cpu, 100 * window_cpu / window_wall, window_paints,
                window_paints / window_wall);
    std::printf("  diffundo headless:      %ld steps, %.0f steps per CPU second\n", headless_steps,
                headless_steps / headless_cpu);
    std::printf("  CPU per step, window / headless: %.2f\n",
                (window_cpu / window_steps) / (headless_cpu / headless_steps));
    return 0;
}
