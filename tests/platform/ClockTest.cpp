#include "Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>

namespace {

using platform::ClockMs;

TEST(Clock, WaitSecondsSinceCountsFromTheGivenStart) {
    const auto start = ClockMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    platform::WaitSecondsSince(start, 0.045);
    EXPECT_GE(ClockMs() - start, 45);
}

TEST(Clock, NonPositiveAndInvalidWaitsReturn) {
    // These must return rather than hang; a hang fails the test by its CTest time-out.
    platform::WaitSecondsSince(ClockMs(), -1.0);
    platform::WaitSecondsSince(ClockMs(), std::numeric_limits<double>::quiet_NaN());
    platform::WaitSecondsSince(ClockMs(), 1e30); // a corrupt recorded interval
    platform::WaitSecondsSince(ClockMs() - 1000, 0.5);
    SUCCEED();
}

TEST(Clock, IsMonotonic) {
    auto last = ClockMs();
    for (int i = 0; i < 1000; ++i) {
        const auto now = ClockMs();
        ASSERT_GE(now, last);
        last = now;
    }
}

} // namespace
