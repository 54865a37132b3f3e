// The runtime in a real window: the process CPU of a window that shows a
// picture and waits for a key, and of diffundo's dice steps at full speed
// (both drawing modes; 100, 4 and 1 atoms) in the window against the same
// steps headless. Needs a display; without one, run it under Xvfb:
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

// diffundo as the input of `atoms` leaves it, without the input box, in
// the drawing mode given (-1 atoms in place, 1 sorted).
void start_atoms(diffundo::Diffundo& program, rt::Runtime& runtime, int atoms, int mode) {
    program.set_start_values();
    runtime.set_background_colour(program.background_colour);
    runtime.clear_screen();
    runtime.set_font(rt::FontFamily::mono, 14);
    program.gas.N = atoms;
    program.gas.start_run(program.gas.N);
    program.draw_mode = static_cast<std::int16_t>(mode);
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

    std::printf("window_bench, %.0f s per measurement, process CPU time\n", seconds);
    std::printf("  idle window with a picture%s: %.2f %% CPU (%.3f s CPU in %.1f s), %d repaints\n",
                drawn ? "" : " (picture missing)", 100 * idle_cpu / idle_wall, idle_cpu, idle_wall, idle_paints);
    std::printf("  diffundo at full speed      %12s %14s %8s %9s %16s %12s\n", "steps/s", "steps/CPU s", "CPU",
                "repaints", "headless CPU/s", "window/head");

    // diffundo at full speed, in the window and headless, for the cases the
    // goals name: both drawing modes, many atoms and few.
    struct Case {
        const char* name;
        int atoms, mode;
    };
    for (const Case c : {Case{"N = 100, atoms in place", 100, -1}, Case{"N = 100, sorted", 100, 1},
                         Case{"N = 4, atoms in place", 4, -1}, Case{"N = 1, atoms in place", 1, -1}}) {
        diffundo::Diffundo in_window(window);
        start_atoms(in_window, window, c.atoms, c.mode);
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
        start_atoms(without_window, headless, c.atoms, c.mode);
        cpu = process_cpu_seconds();
        const long headless_steps = run_steps(without_window, headless, seconds);
        headless.surface().image();
        const double headless_cpu = process_cpu_seconds() - cpu;
        std::printf("  %-26s %12.0f %14.0f %7.1f%% %9d %16.0f %11.2f\n", c.name, window_steps / window_wall,
                    window_steps / window_cpu, 100 * window_cpu / window_wall, window_paints,
                    headless_steps / headless_cpu, (window_cpu / window_steps) / (headless_cpu / headless_steps));
    }
    window.end();
    return 0;
}
