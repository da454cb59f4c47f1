// Live polling: samples reach the window and the status ring with the values the electronics report,
// the zero request, the ring's wrap and the continuation of the ring by a restarted run.
#include "MonitorFixture.h"

#include "access/RegisterMap.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

constexpr uint16_t kAtStatus = 0x1234;
constexpr uint16_t kStatus = 0x0C81;
constexpr uint16_t kXAdc = 0x0812;
constexpr uint16_t kYAdc = 0x07A3;
constexpr uint16_t kMagnitude = 151;
constexpr uint16_t kGenReg1 = 0x004C;
constexpr uint16_t kPositionLow = 0x5678;
constexpr uint16_t kPositionHigh = 0x0001;

class LiveMonitor : public MonitorFixture {
protected:
    void PinRegisters() {
        sim.setReg(reg::AtStatus, kAtStatus);
        sim.setReg(reg::Status, kStatus);
        sim.setReg(reg::XAdc, kXAdc);
        sim.setReg(reg::YAdc, kYAdc);
        sim.setReg(reg::Magnitude, kMagnitude);
        sim.setReg(reg::GenReg1, kGenReg1);
        sim.setReg(reg::PositionLow, kPositionLow);
        sim.setReg(reg::PositionHigh, kPositionHigh);
    }
    static constexpr int32_t kPinnedPosition = kPositionLow + 65536 * kPositionHigh;
};

// The window shows a sample while the next one is polled, but the monitor never runs more than one
// sample ahead of the window, and each shown sample is the one stored in its slot.
TEST_F(LiveMonitor, TheNextSampleIsPolledWhileTheWindowShowsOneButNeverTwoAhead) {
    sim.setSpeed(5000.0); // a moving head: every sample has its own position
    uint64_t readsAtEntry = 0;
    uint64_t readsAtExit = 0;
    uint64_t storedAtExit = 0;
    sink.onSample = [&] {
        if (sink.samples.size() != 3) return;
        readsAtEntry = sim.requestsAnswered();
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // a window busy for many sample times
        readsAtExit = sim.requestsAnswered();
        storedAtExit = monitor.Stats().samples.load();
    };
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    ASSERT_TRUE(WaitForSamples(8));
    ASSERT_TRUE(StopAndWait());

    // The fourth sample was polled and stored without waiting for the window; the fifth waited for it
    // (at most the fourth sample's nine reads while the window was busy).
    EXPECT_EQ(storedAtExit, 4u);
    EXPECT_LE(readsAtExit - readsAtEntry, 9u);
    const std::size_t n = sink.samples.size();
    ASSERT_EQ(Ring().count.load(), static_cast<int32_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sink.samples[i].position, Ring().position[i]);
        if (i > 0) {
            EXPECT_NE(sink.samples[i].position, sink.samples[i - 1].position);
        }
    }
}

TEST_F(LiveMonitor, SamplesCarryTheRegisterValuesIntoWindowAndRing) {
    PinRegisters();
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    EXPECT_TRUE(com.ThreadRunning.load()); // seen at once by the scheduler
    ASSERT_TRUE(WaitForSamples(9));
    EXPECT_TRUE(com.Executing[SetupStatusSet].load());
    ASSERT_TRUE(StopAndWait());
    ExpectIdle();

    const std::size_t n = sink.samples.size();
    ASSERT_EQ(Ring().count.load(), static_cast<int32_t>(n)); // every shown sample is stored, nothing else
    EXPECT_FALSE(Ring().wrapped.load());
    EXPECT_EQ(Ring().reviewIndex.load(), static_cast<int32_t>(n) - 1); // the newest sample
    EXPECT_EQ(monitor.Stats().samples.load(), n);

    float sum = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        const ShownSample &s = sink.samples[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(s.position, kPinnedPosition);
        EXPECT_EQ(s.magnitude, static_cast<float>(kMagnitude));
        EXPECT_EQ(s.statusWord, reg::statusWord(kAtStatus, kStatus));
        EXPECT_EQ(s.genReg1, kGenReg1);
        EXPECT_FALSE(s.replay);
        EXPECT_EQ(s.evaluate, (i + 1) % 4 == 0); // the evaluation runs on every fourth sample
        EXPECT_EQ(Ring().position[i], kPinnedPosition);
        EXPECT_EQ(Ring().status[i], reg::statusWord(kAtStatus, kStatus));
        EXPECT_EQ(Ring().xAD[i], kXAdc);
        EXPECT_EQ(Ring().yAD[i], kYAdc);
        EXPECT_EQ(Ring().magnitude[i], kMagnitude);
        EXPECT_GE(Ring().interval[i], 0.0f);
        EXPECT_LT(Ring().interval[i], 5.0f);
        sum += Ring().interval[i];
        EXPECT_FLOAT_EQ(s.elapsed, sum); // the window sees the elapsed time including this sample
    }
    EXPECT_FLOAT_EQ(Ring().elapsed.load(), sum);

    // Stop with the worker gone shows the recorded time.
    monitor.SetDataControl(SetupStatusSet, kpd::DataStop);
    ASSERT_EQ(sink.shownTimes.size(), 1u);
    EXPECT_FLOAT_EQ(sink.shownTimes.back(), sum);
}

TEST_F(LiveMonitor, PositionFollowsTheSimulatedHead) {
    sim.setPosition(5000);
    monitor.StartLive();
    const auto showsCounter = [&] {
        return !sink.samples.empty() && sink.samples.back().position == sim.positionCount();
    };
    ASSERT_TRUE(WaitFor(showsCounter));
    const int32_t first = sink.samples.back().position;
    sim.setPosition(5000 + 12345);
    ASSERT_TRUE(WaitFor([&] { return showsCounter() && sink.samples.back().position != first; }));
    EXPECT_EQ(std::abs(sink.samples.back().position - first), 12345);
    // Unpinned values come from the model and vary plausibly.
    const ShownSample &s = sink.samples.back();
    EXPECT_GT(s.magnitude, 0.0f);
    EXPECT_LT(s.magnitude, 65536.0f);
}

TEST_F(LiveMonitor, ZeroRequestMakesTheNextPositionZeroAndLaterOnesRelative) {
    sim.setPosition(70000);
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(2));
    const int32_t before = sink.samples.back().position;
    ASSERT_NE(before, 0);

    com.ZeroRequest.store(true);
    const std::size_t requestedAt = sink.samples.size();
    ASSERT_TRUE(WaitFor([&] { return !com.ZeroRequest.load(); }));
    ASSERT_TRUE(WaitForSamples(requestedAt + 2));
    EXPECT_EQ(com.PositionOffset.load(), before);
    // The sample in flight when the request came may still show the old position; the next one is 0.
    EXPECT_EQ(sink.samples[requestedAt + 1].position, 0);
    EXPECT_EQ(sink.samples.back().position, 0);

    sim.setPosition(70000 + 300);
    ASSERT_TRUE(WaitFor([&] { return !sink.samples.empty() && sink.samples.back().position != 0; }));
    EXPECT_EQ(sink.samples.back().position, sim.positionCount() - before);
    EXPECT_EQ(std::abs(sink.samples.back().position), 300);
}

TEST_F(LiveMonitor, TheRingWrapsAfter2000SamplesAndOverwritesSlotZero) {
    PinRegisters();
    Ring().count.store(1998);
    Ring().position[0] = -777; // an old sample in slot 0
    Ring().position[1] = -778;
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(3));
    ASSERT_TRUE(StopAndWait());
    const auto n = static_cast<int32_t>(sink.samples.size());
    EXPECT_TRUE(Ring().wrapped.load());
    EXPECT_EQ(Ring().count.load(), (1998 + n) % 2000);
    EXPECT_EQ(Ring().position[1998], kPinnedPosition);
    EXPECT_EQ(Ring().position[1999], kPinnedPosition);
    EXPECT_EQ(Ring().position[0], kPinnedPosition); // the third sample went to slot 0
    if (n == 3) {
        EXPECT_EQ(Ring().position[1], -778);
    }
    EXPECT_EQ(Ring().reviewIndex.load(), Ring().count.load() - 1);
}

TEST_F(LiveMonitor, ARestartContinuesTheRingUnlessAFileWasLoaded) {
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(3));
    ASSERT_TRUE(StopAndWait());
    const int32_t firstRun = Ring().count.load();
    const float firstElapsed = Ring().elapsed.load();
    ASSERT_EQ(firstRun, static_cast<int32_t>(sink.samples.size()));

    sink.samples.clear();
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(2));
    ASSERT_TRUE(StopAndWait());
    EXPECT_EQ(Ring().count.load(), firstRun + static_cast<int32_t>(sink.samples.size()));
    EXPECT_GE(sink.samples.front().elapsed, firstElapsed); // the time runs on
    EXPECT_EQ(Ring().reviewCount.load(), 0);

    // A loaded file is discarded by the next live start.
    Ring().count.store(1500);
    Ring().elapsed.store(99.0f);
    Ring().reviewCount.store(1500);
    Ring().resetOnNextLiveStart.store(true);
    sink.samples.clear();
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(1));
    ASSERT_TRUE(StopAndWait());
    EXPECT_FALSE(Ring().resetOnNextLiveStart.load());
    EXPECT_EQ(Ring().count.load(), static_cast<int32_t>(sink.samples.size()));
    EXPECT_LT(sink.samples.front().elapsed, 99.0f);
    EXPECT_EQ(Ring().reviewCount.load(), 0);
}

} // namespace
