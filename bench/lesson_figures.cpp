// Figures for the lesson: how close the dice come to the binomial law after
// 10^4 .. 10^7 steps (N = 100, the runtime's generator with a fixed seed),
// and the memory of a 10^7-step run exported every 10^6 steps.
//   lesson_figures [SEED]
#include "diffundo/core/binomial_distance.h"
#include "diffundo/core/dice_model.h"
#include "diffundo/core/frequency_csv.h"
#include "fake_runtime.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Resident set size in KiB, from /proc/self/statm.
long resident_kib() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
    test_support::FakeRuntime runtime;
    runtime.seed_random(seed);
    diffundo::DiceModel gas;
    gas.start_run(100);
    std::printf("N = 100, seed %llu\n", static_cast<unsigned long long>(seed));
    std::printf("%12s %12s %14s\n", "steps", "distance %", "KiB resident");
    std::size_t csv_bytes = 0;
    long rss_after_first_export = 0;
    for (long step = 1; step <= 10'000'000; ++step) {
        gas.step(runtime.random());
        if (step == 10'000 || step == 100'000 || step == 1'000'000 || step == 10'000'000)
            std::printf("%12ld %12.3f %14ld\n", step, 100 * diffundo::total_variation_distance(gas), resident_kib());
        if (step % 1'000'000 == 0) {
            csv_bytes = diffundo::frequency_csv(gas).size();
            if (rss_after_first_export == 0) rss_after_first_export = resident_kib();
        }
    }
    std::printf("CSV of the last export: %zu bytes; resident after the first export %ld KiB, after the last %ld KiB\n",
                csv_bytes, rss_after_first_export, resident_kib());
    return 0;
}
