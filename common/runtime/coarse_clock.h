#pragma once
// Seconds from the monotonic clock, read only every so many calls. A reading
// costs some 25 ns; a loop that asks for the time at every one of its five
// million passes a second would spend an eighth of its time there. Between
// readings the value goes on by a nanosecond per call, so that it changes at
// every call and never runs back. How many calls go between readings adapts
// to the call rate, aiming at a reading every 50 to 200 microseconds; after a
// wait or other work outside the caller's loop, fresh() makes the next call
// read the clock.

#include <chrono>
#include <cstdint>

namespace rt {

class CoarseClock {
public:
    // Seconds since the clock was made.
    double now() {
        if (++calls_ < calls_per_reading_) return last_ += between_readings;
        return read();
    }
    // The next call reads the clock.
    void fresh() { calls_ = calls_per_reading_; }

private:
    double read();

    static constexpr double between_readings = 1e-9;
    static constexpr std::uint32_t most_calls_per_reading = 1024;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    double last_ = 0;          // the value returned last
    double last_reading_ = 0;  // the clock at the last reading
    std::uint32_t calls_ = 0;
    std::uint32_t calls_per_reading_ = 1;
};

}  // namespace rt
