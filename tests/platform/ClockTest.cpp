#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <thread>

namespace {

using platform::ClockMs;
using namespace std::chrono_literals;

// Milliseconds between two points of the standard monotonic clock, measured independently of ClockMs.
std::int64_t MsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

TEST(Clock, AdvancesInMillisecondsWithRealTime) {
    const auto before = ClockMs();
    std::this_thread::sleep_for(60ms);
    const auto after = ClockMs();
    // At least the time slept; far less than the same figure in microseconds or a wall-clock jump.
    EXPECT_GE(after - before, 60);
    EXPECT_LT(after - before, 2000);
}

TEST(Clock, IsMonotonicAndMovesOnAcrossSleeps) {
    auto last = ClockMs();
    for (int i = 0; i < 1000; ++i) {
        const auto now = ClockMs();
        ASSERT_GE(now, last);
        last = now;
    }
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(3ms);
        const auto now = ClockMs();
        ASSERT_GE(now - last, 3) << "step " << i;
        last = now;
    }
}

TEST(Clock, CountsOnTheMonotonicProcessClock) {
    // WaitSecondsSince turns a ClockMs value back into a point of the monotonic clock, so ClockMs must
    // read that clock in milliseconds since its epoch.
    using namespace std::chrono;
    const auto below = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    const auto reading = ClockMs();
    const auto above = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    EXPECT_GE(reading, below);
    EXPECT_LE(reading, above);
}

TEST(Clock, WaitSecondsSinceCountsFromTheGivenStart) {
    const auto start = ClockMs();
    std::this_thread::sleep_for(20ms);
    platform::WaitSecondsSince(start, 0.045);
    EXPECT_GE(ClockMs() - start, 45);
}

TEST(Clock, WaitSecondsSinceWaitsOnlyTheRemainderOfTheInterval) {
    // The interval started 200 ms ago: 50 ms are left, not the whole 250 ms.
    const auto start = ClockMs() - 200;
    const auto called = std::chrono::steady_clock::now();
    platform::WaitSecondsSince(start, 0.25);
    const auto waited = MsBetween(called, std::chrono::steady_clock::now());
    EXPECT_GE(ClockMs() - start, 250);
    EXPECT_LT(waited, 200);
}

TEST(Clock, WaitSecondsSinceRoundsUpToWholeMilliseconds) {
    // 30.1 ms is reached after 31 whole milliseconds.
    const auto start = ClockMs();
    platform::WaitSecondsSince(start, 0.0301);
    EXPECT_GE(ClockMs() - start, 31);
}

TEST(Clock, NonPositiveInvalidAndPassedWaitsReturnAtOnce) {
    // A hang would fail by the CTest time-out; a real wait shows in the measured time.
    const struct {
        const char *what;
        std::int64_t startBack; // start this many milliseconds before the call
        double seconds;
    } cases[] = {
        {"negative", 0, -1.0},
        {"zero", 0, 0.0},
        {"not a number", 0, std::numeric_limits<double>::quiet_NaN()},
        {"corrupt recorded interval", 0, 1e30},
        {"infinite", 0, std::numeric_limits<double>::infinity()},
        {"interval already passed", 1000, 0.5},
    };
    for (const auto &c : cases) {
        const auto called = std::chrono::steady_clock::now();
        platform::WaitSecondsSince(ClockMs() - c.startBack, c.seconds);
        EXPECT_LT(MsBetween(called, std::chrono::steady_clock::now()), 150) << c.what;
    }
}

} // namespace
