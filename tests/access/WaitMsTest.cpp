// WaitMs blocks for at least the given time and sleeps rather than spins.
#include "access/WaitMs.h"
#include "access/ComData.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

namespace {

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace

TEST(WaitMs, BlocksForTheGivenTimeWhileSleeping) {
    const double cpuBefore = threadCpuMs();
    const auto start = std::chrono::steady_clock::now();
    WaitMs(120);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(120));
    // A spinning wait would use about the whole 120 ms of processor time.
    EXPECT_LT(threadCpuMs() - cpuBefore, 60.0);
}

TEST(WaitMs, ComDataWaitIsTheSamePause) {
    const auto start = std::chrono::steady_clock::now();
    ComData::WaitMs(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST(WaitMs, NonPositiveReturnsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    WaitMs(0);
    WaitMs(-5000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}
