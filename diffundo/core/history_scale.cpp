#include "diffundo/core/history_scale.h"

#include "diffundo/core/ln_g.h"
#include "diffundo/core/step_count_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace diffundo {

Band band(int N) {
    if (N < 1) return {};
    return {N / 2.0, std::sqrt(static_cast<double>(N)) / 2};
}

bool inside_band(int N, int count) {
    const std::int64_t twice_off = 2 * static_cast<std::int64_t>(count) - N;
    return N >= 1 && twice_off * twice_off <= N;
}

// For odd N the two middle splits have the same g, but their sums of
// logarithms may differ in the last bit: the larger one is the maximum.
double ln_g_maximum(int N) { return N < 1 ? 0 : std::max(ln_g(N, N / 2), ln_g(N, (N + 1) / 2)); }

LnGRange ln_g_range(int N, int low, int high) {
    const double nearest = std::max(ln_g(N, std::clamp(N / 2, low, high)), ln_g(N, std::clamp((N + 1) / 2, low, high)));
    return {std::min(ln_g(N, low), ln_g(N, high)), nearest};
}

std::int64_t time_axis_length(std::int64_t steps) {
    std::int64_t decade = 10;
    for (;;) {
        for (const std::int64_t factor : {2, 5, 10})
            if (steps <= factor * decade) return factor * decade;
        // Beyond 10^17 steps no run gets: the axis stays there.
        if (decade > 1'000'000'000'000'000) return 10 * decade;
        decade *= 10;
    }
}

std::int64_t time_axis_interval(std::int64_t length) {
    std::int64_t decade = 1;
    while (length / decade >= 10) decade *= 10;
    return length / decade == 2 ? length / 4 : length / 5;
}

std::string history_heading(int N, std::int64_t steps, std::int64_t first_step) {
    std::string text =
        "VERLAUF   N = " + std::to_string(N) + "   " + step_count_text(steps) + (steps == 1 ? " Schritt" : " Schritte");
    // Switched on in a running run: the plot starts there, not at its beginning.
    if (first_step > 0) text += " seit Schritt " + step_count_text(first_step);
    return text;
}

std::string band_share_text(std::int64_t inside, std::int64_t steps) {
    if (steps <= 0) return {};
    const auto percent =
        static_cast<long long>(std::llround(100.0 * static_cast<double>(inside) / static_cast<double>(steps)));
    return "im Band: " + std::to_string(percent) + " % der Schritte";
}

std::string band_legend(int N) {
    const Band b = band(N);
    return "Band N/2 ± Wurzel(N)/2 = " + decimal_text(b.centre) + " ± " + decimal_text(b.half_width);
}

std::string maximum_legend(int N) {
    const std::string at = N % 2 == 0 ? "m = " + std::to_string(N / 2)
                                      : "m = " + std::to_string(N / 2) + " und " + std::to_string(N / 2 + 1);
    return "Maximum ln g(N,N/2) = " + decimal_text(ln_g_maximum(N)) + " (bei " + at + ")";
}

std::string count_legend(int N, std::int64_t inside, std::int64_t steps) {
    return "rot: N/2    weiß: " + band_legend(N) + "    " + band_share_text(inside, steps);
}

std::string entropy_legend(int N) { return "rot: " + maximum_legend(N); }

std::string history_description(int N, std::int64_t steps, std::int64_t inside) {
    return "Verlauf der Atome im Kasten 2 und von ln g(N,m) über " + step_count_text(steps) +
           " Schritte, N = " + std::to_string(N) + (steps > 0 ? "; " + band_share_text(inside, steps) : "");
}

std::string decimal_text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    std::string text(buffer);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

}  // namespace diffundo
