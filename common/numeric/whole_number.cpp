#include "common/numeric/whole_number.h"

#include <cmath>
#include <limits>

namespace numeric {

// nearbyint rounds in the current rounding mode, which nothing in the
// programs changes from to-nearest-even.
std::optional<std::int32_t> to_int32_nearest(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

}  // namespace numeric
