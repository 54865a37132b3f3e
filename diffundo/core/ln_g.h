#pragma once

// Number of realisations g(N, m) = N! / [m! (N - m)!] of a split of N atoms,
// handled through logarithms: 101! does not fit a double's exact range, and
// the statistics display needs only ratios of g, taken with one exp at the end.

namespace diffundo {

// ln n!, summed as ln 1 + ln 2 + ... + ln n in that order; 0 for n <= 0.
double ln_factorial(int n);

// ln g(N, m) = ln N! - ln m! - ln (N - m)!.
double ln_g(int N, int m);

}  // namespace diffundo
