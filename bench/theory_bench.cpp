// How much the drawing costs the theoretical analysis: the whole run on a
// headless runtime whose surface is looked at 60 times a second, as the
// window's repaint looks at it, against its model alone (the same steps'
// temperatures, entropies, rounding and maximum search), measured in one
// run. (What the window adds on top, window_bench measures.)
//
//   theory_bench [repetitions]     (default 3; medians)
//
// Instructions, repeatable on a shared machine: run it under
//   valgrind --tool=callgrind --toggle-collect='*measure_drawn*' theory_bench 1
// (or measure_bare); each parameter set is one call.
#include "bench_clock.h"
#include "common/runtime/surface.h"
#include "fake_runtime.h"
#include "kalorix/core/theory_model.h"
#include "kalorix/kalorix.h"
#include "kalorix_setup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using kalorix_test::Parameters;

// The analysis as the main loop starts it, on a user who lets it run; the
// runtime is the benchmark's one (its glyphs are rendered once).
__attribute__((noinline)) bench::Timing measure_drawn(test_support::FakeRuntime& runtime, const Parameters& p,
                                                      int& maximum) {
    kalorix::Kalorix kx(runtime);
    kalorix_test::set_parameters(kx, p);
    kx.marker_armed = 1;
    runtime.set_background_colour(static_cast<rt::Colour>(kx.background_colour));
    const bench::Stopwatch watch;
    kx.theoretical_analysis();
    runtime.surface().image();  // the last repaint
    const bench::Timing elapsed = watch.elapsed();
    maximum = kx.transferred_at_max;
    return elapsed;
}

// The same steps on the model alone, without events or output.
__attribute__((noinline)) bench::Timing measure_bare(const Parameters& p, int& maximum) {
    const bench::Stopwatch watch;
    kalorix::TheoryModel model;
    model.run({p.Nmax_A, p.Nmax_B, p.n, p.N_A, p.E});
    const bench::Timing elapsed = watch.elapsed();
    maximum = model.transferred_at_max;
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    test_support::FakeRuntime runtime;
    runtime.stand_for_window();
    const Parameters sets[] = {{400, 1200, 150, 150, 2.0}, {10000, 30000, 5000, 5000, 2.0}};
    std::printf("theory_bench: median of %d; times in ms\n", repetitions);
    std::printf("%-24s %6s %10s %10s %10s %10s %10s %8s\n", "Nmax_A,Nmax_B,n,N_A", "steps", "drawn CPU", "bare CPU",
                "drawn/bare", "drawn wall", "bare wall", "maximum");
    for (const Parameters& p : sets) {
        std::vector<bench::Timing> drawn, bare;
        int drawn_max = -1, bare_max = -1;
        for (int r = 0; r < repetitions; ++r) {
            drawn.push_back(measure_drawn(runtime, p, drawn_max));
            bare.push_back(measure_bare(p, bare_max));
        }
        const bench::Timing d = bench::median(drawn), b = bench::median(bare);
        char name[64];
        std::snprintf(name, sizeof name, "%d,%d,%d,%d", p.Nmax_A, p.Nmax_B, p.n, p.N_A);
        std::printf("%-24s %6d %10.1f %10.1f %9.2f x %10.1f %10.1f %8d%s\n", name, p.N_A + 1, d.cpu * 1e3, b.cpu * 1e3,
                    d.cpu / b.cpu, d.wall * 1e3, b.wall * 1e3, drawn_max,
                    drawn_max == bare_max ? "" : "  (bare run differs!)");
    }
    return 0;
}
