#include "diffundo/core/binomial_distance.h"

#include "diffundo/core/dice_model.h"
#include "diffundo/core/ln_g.h"

#include <cmath>
#include <cstdio>

namespace diffundo {

double binomial_probability(std::int32_t N, std::int32_t m) {
    if (N < 0 || m < 0 || m > N) return 0;
    return std::exp(ln_g(N, m) - N * std::log(2.0));
}

double total_variation_distance(const DiceModel& gas) {
    if (gas.trial_count <= 0 || gas.N < 0) return 0;
    const auto steps = static_cast<double>(gas.trial_count);
    double sum = 0;
    for (std::int32_t m = 0; m <= gas.N && m < DiceModel::table_size; ++m)
        sum += std::abs(static_cast<double>(gas.frequency_count[static_cast<std::size_t>(m)]) / steps -
                        binomial_probability(gas.N, m));
    return sum / 2;
}

std::string distance_percent_text(double distance) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", distance * 100);
    std::string number(buffer);
    for (char& c : number)
        if (c == '.') c = ',';
    return number;
}

std::string distance_text(double distance) {
    return std::string(distance_name) + ": " + distance_percent_text(distance) + " %";
}

}  // namespace diffundo
