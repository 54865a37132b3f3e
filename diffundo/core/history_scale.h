#pragma once
// The numbers of the time plot ("Verlauf zeigen"): the equilibrium and its
// band, ln g against its maximum, the time axis and the texts beside the
// curves. Here, not in the drawing, so that the browser edition shows the
// same. Counts are atoms in box 2 (N - m, m as everywhere else the atoms in
// box 1); g(N, m) = g(N, N - m), so ln g is the same either way.

#include <cstdint>
#include <string>

namespace diffundo {

// The equilibrium N/2 and one standard deviation of the binomial law of N
// fair choices, sqrt(N p (1 - p)) = sqrt(N)/2 with p = 1/2.
struct Band {
    double centre = 0;
    double half_width = 0;
};
Band band(int N);
// |count - N/2| <= sqrt(N)/2, decided in whole numbers: (2 count - N)^2 <= N.
bool inside_band(int N, int count);

// ln g(N, N/2), the largest ln g of all splits: at N/2, or for odd N the
// larger of its two neighbours as summed; 0 for N < 1.
double ln_g_maximum(int N);
// The lowest and highest ln g(N, k) for k from `low` to `high`: ln g rises
// up to N/2 and falls beyond, so the ends give the lowest, the split nearest
// N/2 the highest.
struct LnGRange {
    double low = 0;
    double high = 0;
};
LnGRange ln_g_range(int N, int low, int high);

// The time axis holds `steps` steps: the smallest of 20, 50, 100, 200, 500,
// 1000, ... that is not less. A run that outgrows it gets the next one, so
// the curve always fills 40 % of the axis or more (past the first 20 steps).
std::int64_t time_axis_length(std::int64_t steps);
// The steps between the axis' labelled marks: a fifth of 1, 5 x 10^k, a
// quarter of 2 x 10^k (20 -> 5, 50 -> 10, 100 -> 20, 200 -> 50).
std::int64_t time_axis_interval(std::int64_t length);

// Texts of the view.
std::string history_heading(int N, std::int64_t steps, std::int64_t first_step);
inline constexpr const char* count_plot_title = "Atome im Kasten 2";
inline constexpr const char* entropy_plot_title = "Entropie ln g(N,m)";
inline constexpr const char* time_axis_caption = "Schritte";
inline constexpr const char* no_atoms_text = "Ohne Atome gibt es keinen Verlauf: AUSGABE / Neue Eingabe.";
// The lines under the two plots: what the red line and the white band are.
std::string count_legend(int N, std::int64_t inside, std::int64_t steps);
std::string entropy_legend(int N);
// The plot in a sentence, for a screen reader.
std::string history_description(int N, std::int64_t steps, std::int64_t inside);
// "im Band: 68 % der Schritte"; empty before the first step.
std::string band_share_text(std::int64_t inside, std::int64_t steps);
std::string band_legend(int N);
std::string maximum_legend(int N);
// A real with one decimal, German decimal comma: "50,5", "5,0".
std::string decimal_text(double value);

}  // namespace diffundo
