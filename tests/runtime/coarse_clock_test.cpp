// The clock read every so many calls: its value must change at every call,
// never run back, and catch up with the real time when asked to.
#include "common/runtime/coarse_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(CoarseClock, ChangesAtEveryCallAndCatchesUpAfterAWait) {
    rt::CoarseClock clock;
    double last = clock.now();
    for (int i = 0; i < 200000; ++i) {
        const double now = clock.now();
        ASSERT_GT(now, last) << "call " << i;
        last = now;
    }
    const auto before_wait = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - before_wait).count();
    clock.fresh();
    EXPECT_GE(clock.now() - last, waited * 0.99) << "read afresh after the wait";
}

}  // namespace
