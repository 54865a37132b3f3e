#pragma once
// Reals to whole numbers, for every layer: plain C++, no Qt, so that the
// Qt-free cores and the runtime layer share one conversion.

#include <cstdint>
#include <optional>

namespace numeric {

// Rounds to the nearest integer, halves to even, when the result fits a
// 32-bit count; nothing for NaN, infinities and values out of range.
std::optional<std::int32_t> to_int32_nearest(double value);

}  // namespace numeric
