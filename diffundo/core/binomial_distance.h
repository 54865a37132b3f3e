#pragma once
// How close the dice come to the theory: the total variation distance
// between the observed relative frequencies of the splits and the binomial
// law g(N, m) / 2^N, the share of probability that would have to move to
// turn the one into the other: 0 for a perfect match, 1 for no overlap.

#include <cstdint>
#include <string>
#include <string_view>

namespace diffundo {

class DiceModel;

// g(N, m) / 2^N through logarithms: 2^101 is never formed.
double binomial_probability(std::int32_t N, std::int32_t m);

// 1/2 sum over m = 0 .. N of |frequency_count[m] / trial_count - g(N, m) / 2^N|;
// 0 when no step has been made.
double total_variation_distance(const DiceModel& gas);

// What the status line calls the distance; the data export names it alike.
inline constexpr std::string_view distance_name = "Abstand zur Binomialverteilung";

// The distance in per cent as the status line shows it: "1,3" (one decimal,
// decimal comma).
std::string distance_percent_text(double distance);

// "Abstand zur Binomialverteilung: 1,3 %".
std::string distance_text(double distance);

}  // namespace diffundo
