// The runtime in a real window, as a user runs the programs: the process CPU
// of a window that shows a picture and waits for a key; diffundo's dice steps
// at full speed (both drawing modes; 1, 4 and 100 atoms) and kalorix's
// theoretical analysis, each in a 1024 x 768 window and in full screen,
// beside the same work headless (its surface looked at 60 times a second, as
// the window's repaint looks) and, for the theory, its bare model. Needs a
// display, best with a window manager; without one, run it under Xvfb:
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bin/window_bench [seconds [only]]
//
// seconds: per measurement, default 5; only: measure just the cases whose
// "screen: case" contains it, e.g. "full screen: N = 100, atoms" or "theory"
// (for a profiler).
//
// Process CPU time counts every thread of this process (Qt's scaling threads
// included), not the X server.

#include "bench_clock.h"
#include "common/runtime/runtime.h"
#include "common/runtime/surface.h"
#include "common/window/window_runtime.h"
#include "diffundo/diffundo.h"
#include "fake_runtime.h"
#include "kalorix/core/theory_model.h"
#include "kalorix/kalorix.h"
#include "kalorix_setup.h"

#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr double frame_seconds = 1.0 / 60;

double process_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Here a timing's CPU time is that of the whole process.
template <typename Work>
bench::Timing measure_process(Work&& work) {
    const double cpu = process_cpu_seconds(), wall = bench::wall_seconds();
    work();
    return {bench::wall_seconds() - wall, process_cpu_seconds() - cpu};
}

// Lets the window settle (a resize, its repaints) without measuring it.
void settle(rt::WindowRuntime& window, double seconds) {
    const double end = bench::wall_seconds() + seconds;
    while (bench::wall_seconds() < end) window.key_query();
}

struct DiffundoCase {
    const char* name;
    int atoms, mode;  // mode -1 atoms in place, 1 sorted
};
constexpr DiffundoCase diffundo_cases[] = {
    {"N = 100, atoms in place", 100, -1}, {"N = 100, sorted", 100, 1}, {"N = 4, atoms in place", 4, -1},
    {"N = 4, sorted", 4, 1},              {"N = 1, atoms in place", 1, -1}, {"N = 1, sorted", 1, 1},
};

// diffundo as the input of `atoms` leaves it, without the input box.
void start_atoms(diffundo::Diffundo& program, rt::Runtime& runtime, const DiffundoCase& c) {
    program.set_start_values();
    runtime.set_background_colour(program.background_colour);
    runtime.clear_screen();
    runtime.set_font(rt::FontFamily::mono, 14);
    program.gas.N = c.atoms;
    program.gas.start_run(program.gas.N);
    program.draw_mode = static_cast<std::int16_t>(c.mode);
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

// A headless runtime that stands for the window, with no key pressed.
void stand_for_window(test_support::FakeRuntime& runtime) {
    runtime.stand_for_window();
    runtime.key.clear();
}

struct Steps {
    long steps = 0;
    bench::Timing usage;
    double per_cpu_second() const { return steps / usage.cpu; }
};

Steps headless_steps(const DiffundoCase& c, double seconds) {
    test_support::FakeRuntime runtime;
    stand_for_window(runtime);
    diffundo::Diffundo program(runtime);
    start_atoms(program, runtime, c);
    Steps s;
    s.usage = measure_process([&] {
        s.steps = run_steps(program, runtime, seconds);
        runtime.surface().image();
    });
    return s;
}

Steps window_steps(rt::WindowRuntime& window, const DiffundoCase& c, double seconds) {
    diffundo::Diffundo program(window);
    start_atoms(program, window, c);
    Steps s;
    s.usage = measure_process([&] { s.steps = run_steps(program, window, seconds); });
    return s;
}

// The analysis of the larger of the benchmark's parameter sets, as the main
// loop starts it.
const kalorix_test::Parameters theory_parameters{10000, 30000, 5000, 5000, 2.0};

void run_theory(rt::Runtime& runtime) {
    kalorix::Kalorix kx(runtime);
    kalorix_test::set_parameters(kx, theory_parameters);
    kx.marker_armed = 1;
    runtime.set_background_colour(static_cast<rt::Colour>(kx.background_colour));
    kx.theoretical_analysis();
}

struct TheoryFigures {
    double window = 0, headless = 0, bare = 0;  // CPU seconds, medians
};

TheoryFigures theory_figures(rt::WindowRuntime& window, int repetitions) {
    std::vector<bench::Timing> in_window, headless, bare;
    for (int r = 0; r < repetitions; ++r) {
        in_window.push_back(measure_process([&] {
            run_theory(window);
            settle(window, 2 * frame_seconds);  // its last picture shown
        }));
        // The settling's sleep, measured alone, is not the analysis's.
        const bench::Timing idle = measure_process([&] { settle(window, 2 * frame_seconds); });
        in_window.back().cpu -= idle.cpu;
        test_support::FakeRuntime runtime;
        stand_for_window(runtime);
        headless.push_back(measure_process([&] {
            run_theory(runtime);
            runtime.surface().image();
        }));
        bare.push_back(measure_process([] {
            kalorix::TheoryModel model;
            const kalorix_test::Parameters& p = theory_parameters;
            model.run({p.Nmax_A, p.Nmax_B, p.n, p.N_A, p.E});
        }));
    }
    return {bench::median(in_window).cpu, bench::median(headless).cpu, bench::median(bare).cpu};
}

struct Selection {
    std::string only;
    bool wants(const std::string& screen, const std::string& name) const {
        return (screen + ": " + name).find(only) != std::string::npos;
    }
    bool wants_headless(const std::string& name) const {
        return wants("1024 x 768 window", name) || wants("full screen", name);
    }
};

void report_screen(rt::WindowRuntime& window, const char* screen, const std::vector<Steps>& headless, double seconds,
                   int theory_repetitions, const Selection& selection) {
    const QSize shown = window.main_window()->centralWidget()->size();
    std::printf("\n%s (picture area %d x %d)\n", screen, shown.width(), shown.height());
    std::printf("  diffundo at full speed      %12s %14s %8s %9s %16s %12s\n", "steps/s", "steps/CPU s", "CPU",
                "repaints", "headless/CPU s", "window/head");
    for (std::size_t i = 0; i < std::size(diffundo_cases); ++i) {
        if (!selection.wants(screen, diffundo_cases[i].name)) continue;
        const std::int64_t paints_before = window.paint_count();
        const Steps s = window_steps(window, diffundo_cases[i], seconds);
        const std::int64_t paints = window.paint_count() - paints_before;
        std::printf("  %-26s %12.0f %14.0f %7.1f%% %9lld %16.0f %11.2f\n", diffundo_cases[i].name,
                    s.steps / s.usage.wall, s.per_cpu_second(), 100 * s.usage.cpu / s.usage.wall,
                    static_cast<long long>(paints), headless[i].per_cpu_second(),
                    headless[i].per_cpu_second() / s.per_cpu_second());
    }
    if (!selection.wants(screen, "theory")) return;
    const TheoryFigures t = theory_figures(window, theory_repetitions);
    std::printf("  theory %d,%d,%d,%d, CPU ms (median of %d): window %.1f, headless %.1f, bare %.1f;"
                " window/bare %.2f x, headless/bare %.2f x\n",
                theory_parameters.Nmax_A, theory_parameters.Nmax_B, theory_parameters.n, theory_parameters.N_A,
                theory_repetitions, t.window * 1e3, t.headless * 1e3, t.bare * 1e3, t.window / t.bare,
                t.headless / t.bare);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5;
    const Selection selection{argc > 2 ? argv[2] : ""};
    const int theory_repetitions = 7;
    QApplication application(argc, argv);

    rt::WindowRuntime window;
    window.set_title("window_bench");
    window.open_window();

    // A picture, then a wait for a key that never comes.
    const bool drawn = window.draw_picture("titelbild1.jpg", 0, 0, 1024, 768);
    settle(window, 0.5);
    const std::int64_t paints_before = window.paint_count();
    const bench::Timing idle = measure_process([&] { settle(window, seconds); });
    std::printf("window_bench, %.0f s per measurement, CPU time of the whole process\n", seconds);
    std::printf("  idle window with a picture%s: %.2f %% CPU (%.3f s CPU in %.1f s), %lld repaints\n",
                drawn ? "" : " (picture missing)", 100 * idle.cpu / idle.wall, idle.cpu, idle.wall,
                static_cast<long long>(window.paint_count() - paints_before));

    std::vector<Steps> headless;
    for (const DiffundoCase& c : diffundo_cases)
        headless.push_back(selection.wants_headless(c.name) ? headless_steps(c, seconds) : Steps{});

    report_screen(window, "1024 x 768 window", headless, seconds, theory_repetitions, selection);
    window.main_window()->showFullScreen();
    settle(window, 1);
    report_screen(window, "full screen", headless, seconds, theory_repetitions, selection);
    window.end();
    return 0;
}
