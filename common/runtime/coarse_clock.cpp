#include "common/runtime/coarse_clock.h"

#include <algorithm>

namespace rt {

double CoarseClock::read() {
    const double reading = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double since = reading - last_reading_;
    if (since < 50e-6 && calls_per_reading_ < most_calls_per_reading)
        calls_per_reading_ *= 2;
    else if (since > 200e-6 && calls_per_reading_ > 1)
        calls_per_reading_ /= 2;
    last_reading_ = reading;
    calls_ = 0;
    last_ = std::max(reading, last_ + between_readings);
    return last_;
}

}  // namespace rt
