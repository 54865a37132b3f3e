#pragma once
// Timing for the benchmarks: the CPU time of this thread beside the wall
// time, and medians of repeated measurements. On a shared machine the CPU
// time tells what the code costs on a core of its own; wall time also counts
// the other processes. (Instruction counts, which repeat exactly, come from
// valgrind --tool=callgrind; each benchmark names its measured functions.)

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace bench {

inline double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double wall_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Timing {
    double wall = 0;  // seconds
    double cpu = 0;   // seconds
};

class Stopwatch {
public:
    Timing elapsed() const { return {wall_seconds() - wall_, cpu_seconds() - cpu_}; }

private:
    double wall_ = wall_seconds();
    double cpu_ = cpu_seconds();
};

template <typename Work>
Timing measure(Work&& work) {
    const Stopwatch watch;
    work();
    return watch.elapsed();
}

// The median of each of the two times over the repetitions.
inline Timing median(std::vector<Timing> timings) {
    const auto middle = [&timings](double Timing::*field) {
        std::vector<double> values;
        for (const Timing& t : timings) values.push_back(t.*field);
        std::sort(values.begin(), values.end());
        if (values.empty()) return 0.0;
        const std::size_t half = values.size() / 2;
        return values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2;
    };
    return {middle(&Timing::wall), middle(&Timing::cpu)};
}

}  // namespace bench
