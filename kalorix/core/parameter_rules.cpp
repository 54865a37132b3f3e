#include "kalorix/core/parameter_rules.h"

#include "common/numeric/whole_number.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>

namespace kalorix {

namespace {

// Every text the rules can show, in one place; the bounds are filled in.
constexpr std::string_view whole_number_range_text = "Bitte eine ganze Zahl von {von} bis {bis} eingeben.";
constexpr std::string_view N_A_zero_text =
    "Mit N_A = 0 zeichnet das Experiment höchstens {max} Anregungen auf, hier ist n = {n}. "
    "Bitte N_A von 1 bis {bis} eingeben.";
constexpr std::string_view positive_number_text = "Bitte eine Zahl größer als 0 eingeben.";

std::string fill_in(std::string_view text, std::string_view placeholder, std::int64_t number) {
    std::string result(text);
    const auto at = result.find(placeholder);
    if (at != std::string::npos) {
        result.replace(at, placeholder.size(), std::to_string(number));
    }
    return result;
}

CheckedAnswer refuse(std::string message) { return {Verdict::refused, 0, 0.0, std::move(message)}; }

CheckedAnswer refuse_range(std::int64_t lowest, std::int64_t highest) {
    return refuse(fill_in(fill_in(whole_number_range_text, "{von}", lowest), "{bis}", highest));
}

CheckedAnswer accept_count(std::int32_t count) { return {Verdict::accepted, count, static_cast<double>(count), {}}; }

CheckedAnswer check_count(double value, std::int64_t lowest, std::int64_t highest) {
    const auto count = numeric::to_int32_nearest(value);
    if (!count || *count < lowest || *count > highest) {
        return refuse_range(lowest, highest);
    }
    return accept_count(*count);
}

CheckedAnswer check_N_A(double value, const AcceptedCounts& accepted) {
    const std::int32_t limit = N_A_limit(accepted);
    // Compared before rounding: 3.4 is above a limit of 3 although it rounds to 3.
    if (value > limit) {
        return {Verdict::ask_again, 0, 0.0, {}};
    }
    const auto count = numeric::to_int32_nearest(value);
    if (!count || *count < 0) {
        return refuse_range(0, limit);
    }
    if (*count == 0 && accepted.n > max_recorded_excitations) {
        std::string text = fill_in(N_A_zero_text, "{max}", max_recorded_excitations);
        text = fill_in(text, "{n}", accepted.n);
        return refuse(fill_in(text, "{bis}", limit));
    }
    return accept_count(*count);
}

CheckedAnswer check_positive(double value) {
    if (!std::isfinite(value) || !(value > 0.0)) {
        return refuse(std::string(positive_number_text));
    }
    return {Verdict::accepted, 0, value, {}};
}

}  // namespace

std::int32_t N_A_limit(const AcceptedCounts& accepted) {
    return std::min({accepted.Nmax_A, accepted.Nmax_B, accepted.n});
}

CheckedAnswer check_parameter(Field field, double value, const AcceptedCounts& accepted) {
    // Sums in 64 bits: the earlier counts are trusted to be accepted ones, but
    // an overflow here would turn a refusal into an acceptance.
    const std::int64_t Nmax_A = accepted.Nmax_A;
    const std::int64_t Nmax_B = accepted.Nmax_B;
    switch (field) {
    case Field::Nmax_A:
        // Room B needs at least one atom of the table as well.
        return check_count(value, 1, max_total_atoms - 1);
    case Field::Nmax_B:
        // ceil(sqrt(Nmax_A + Nmax_B)) <= atom_grid_side holds exactly when the sum
        // is at most max_total_atoms.
        return check_count(value, 1, max_total_atoms - Nmax_A);
    case Field::n: return check_count(value, 1, Nmax_A + Nmax_B);
    case Field::N_A: return check_N_A(value, accepted);
    case Field::entropy_scale:
    case Field::excitation_energy: return check_positive(value);
    }
    return {};  // only for a value outside the enumeration: refused, nothing to say
}

}  // namespace kalorix
