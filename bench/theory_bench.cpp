// How much the drawing costs the theoretical analysis: the whole run on a
// headless scripted runtime against its model alone (the same steps'
// temperatures, entropies, rounding and maximum search), measured in one run.
//
//   theory_bench [repetitions]     (default 3; the best time of each is shown)
#include "common/scripted/script.h"
#include "common/scripted/scripted_runtime.h"
#include "kalorix/core/theory_model.h"
#include "kalorix/kalorix.h"
#include "kalorix_setup.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

using kalorix_test::Parameters;

// CPU seconds of this thread: on a shared machine wall time also counts
// the other processes.
double cpu_now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

struct Timing {
    double wall = 1e300;
    double cpu = 1e300;
};

void measure(Timing& best, const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = cpu_now();
    work();
    best.cpu = std::min(best.cpu, cpu_now() - cpu_start);
    best.wall = std::min(best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The analysis as the main loop starts it, on a user who lets it run.
int drawn_run(const Parameters& p) {
    rt::ScriptedRuntime runtime(rt::parse_script("passes 1000000000\n"));
    kalorix::Kalorix kx(runtime);
    kalorix_test::set_parameters(kx, p);
    kx.marker_armed = 1;
    runtime.set_background_colour(static_cast<rt::Colour>(kx.background_colour));
    kx.theoretical_analysis();
    return kx.transferred_at_max;
}

// The same steps on the model alone, without events or output.
int bare_run(const Parameters& p) {
    kalorix::TheoryModel model;
    model.run({p.Nmax_A, p.Nmax_B, p.n, p.N_A, p.E});
    return model.transferred_at_max;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const Parameters sets[] = {{400, 1200, 150, 150, 2.0}, {10000, 30000, 5000, 5000, 2.0}};
    std::printf("%-24s %6s %22s %22s %14s %8s\n", "Nmax_A,Nmax_B,n,N_A", "steps", "drawn wall/cpu [ms]",
                "bare wall/cpu [ms]", "ratio wall/cpu", "maximum");
    for (const Parameters& p : sets) {
        Timing drawn, bare;
        int drawn_max = -1, bare_max = -1;
        for (int r = 0; r < repetitions; ++r) {
            measure(drawn, [&] { drawn_max = drawn_run(p); });
            measure(bare, [&] { bare_max = bare_run(p); });
        }
        char name[64];
        std::snprintf(name, sizeof name, "%d,%d,%d,%d", p.Nmax_A, p.Nmax_B, p.n, p.N_A);
        std::printf("%-24s %6d %10.1f / %9.1f %10.1f / %9.1f %6.2f / %5.2f %8d%s\n", name, p.N_A + 1, drawn.wall * 1e3,
                    drawn.cpu * 1e3, bare.wall * 1e3, bare.cpu * 1e3, drawn.wall / bare.wall, drawn.cpu / bare.cpu,
                    drawn_max, drawn_max == bare_max ? "" : "  (bare run differs!)");
    }
    return 0;
}
