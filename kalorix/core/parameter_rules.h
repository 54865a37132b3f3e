#pragma once

#include "kalorix/core/experiment_tables.h"

#include <cstdint>
#include <string>

// Which answers of the parameter input are kept. The analyses cannot process
// empty rooms, more excitations than atoms, or rooms larger than the atom
// table, so such answers are refused with a short German reason and asked
// again. Pure rules: the dialog code shows the boxes and the messages.

namespace kalorix {

enum class Field { Nmax_A, Nmax_B, n, N_A, entropy_scale, excitation_energy };

// Counts accepted earlier in the same input; each rule reads only those of
// the fields asked before its own.
struct AcceptedCounts {
    std::int32_t Nmax_A = 0;
    std::int32_t Nmax_B = 0;
    std::int32_t n = 0;
};

enum class Verdict {
    accepted,
    refused,    // show `message`, then ask again
    ask_again,  // N_A above its limit: ask again silently, pre-filled with the limit
};

struct CheckedAnswer {
    Verdict verdict = Verdict::refused;
    std::int32_t count = 0;  // stored Nmax_A, Nmax_B, n or N_A when accepted
    double real = 0.0;       // stored entropy_scale or excitation_energy when accepted
    std::string message;     // German reason, only for Verdict::refused
};

// The smallest of Nmax_A, Nmax_B and n: the largest N_A and its pre-filled answer.
std::int32_t N_A_limit(const AcceptedCounts& accepted);

// `value` is the answer after text-to-number conversion and may be NaN,
// infinite or huge. Counts are stored rounded to the nearest integer, halves
// to the even neighbour.
CheckedAnswer check_parameter(Field field, double value, const AcceptedCounts& accepted);

}  // namespace kalorix
