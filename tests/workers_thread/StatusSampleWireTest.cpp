// The requests of the status monitor's poll cycle, as the simulated electronics log them. One sample is
// seven steps; each step purges the receive buffer and then handshakes (up to 13 attempts of purge and
// sync byte; one against electronics that answer) before its read:
//   AtStatus, Status, XAdc, YAdc, GenReg1,
//   PositionLow (modifier 2), handshake, PositionHigh (modifier 2), handshake, PositionRelease (modifier 0),
//   Magnitude
// so nine reads and nine handshakes per sample. Starting the monitor purges the receive buffer first.
// Purges in a row show as one (the line may report several as one).
#include "MonitorFixture.h"

#include "access/RegisterMap.h"

#include <kpdsim/RequestLog.h>

#include <chrono>
#include <thread>

namespace {

using kpdsim::Sequence;

Sequence handshake() {
    return Sequence().purgeReceive().sync();
}

// A step: purge, handshake, the read.
Sequence step(uint8_t r, uint8_t modifier = reg::ModNone) {
    return Sequence().purgeReceive().then(handshake()).read(r, modifier);
}

Sequence positionStep() {
    return Sequence()
        .then(step(reg::PositionLow, reg::ModPositionRead))
        .then(handshake())
        .read(reg::PositionHigh, reg::ModPositionRead)
        .then(handshake())
        .read(reg::PositionRelease);
}

Sequence pollCycle() {
    return Sequence()
        .then(step(reg::AtStatus))
        .then(step(reg::Status))
        .then(step(reg::XAdc))
        .then(step(reg::YAdc))
        .then(step(reg::GenReg1))
        .then(positionStep())
        .then(step(reg::Magnitude));
}

class StatusSampleWire : public MonitorFixture {
protected:
    void SetUp() override {
        MonitorFixture::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(sim.purgesVisible());
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the connection stays out of the log
        sim.clearRequestLog();
        sim.setRequestLog(true);
    }
    void ExpectAnsweredWithNothingLeftUnread(const std::vector<kpdsim::LogEntry> &log) {
        for (const kpdsim::LogEntry &e : log) {
            if (e.kind != kpdsim::LogKind::Request && e.kind != kpdsim::LogKind::Sync) continue;
            EXPECT_TRUE(e.answered) << kpdsim::describe(e);
            EXPECT_EQ(e.unreadBytes, 0) << kpdsim::describe(e) << ": sent with an earlier answer unread";
        }
    }
};

TEST_F(StatusSampleWire, EverySampleIsNineReadsEachAfterAPurgeAndAHandshake) {
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    ASSERT_TRUE(WaitForSamples(4));
    ASSERT_TRUE(StopAndWait()); // the worker ends after a whole cycle
    const std::size_t samples = sink.samples.size();
    EXPECT_EQ(monitor.Stats().failedSteps.load(), 0u);

    Sequence expected = Sequence().purgeReceive();
    for (std::size_t i = 0; i < samples; ++i)
        expected.then(pollCycle());
    const std::vector<kpdsim::LogEntry> log = sim.requestLog();
    const std::string wire = kpdsim::mismatch(log, expected);
    EXPECT_TRUE(wire.empty()) << wire;
    ExpectAnsweredWithNothingLeftUnread(log);
}

TEST_F(StatusSampleWire, ARestartedRunPollsTheSameWay) {
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    ASSERT_TRUE(WaitForSamples(2));
    ASSERT_TRUE(StopAndWait());
    const std::size_t first = sink.samples.size();
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    ASSERT_TRUE(WaitForSamples(first + 2));
    ASSERT_TRUE(StopAndWait());
    const std::size_t second = sink.samples.size() - first;

    Sequence expected = Sequence().purgeReceive();
    for (std::size_t i = 0; i < first; ++i)
        expected.then(pollCycle());
    expected.purgeReceive();
    for (std::size_t i = 0; i < second; ++i)
        expected.then(pollCycle());
    const std::string wire = kpdsim::mismatch(sim.requestLog(), expected);
    EXPECT_TRUE(wire.empty()) << wire;
}

// A position half whose answer is broken fails the position step: the release is still read (the counter
// latch is freed), but no made-up position is stored; the cycle ends there and the next one starts again
// at AtStatus. One such failure is only latched: monitoring goes on.
TEST_F(StatusSampleWire, AFailedPositionHalfEndsTheCycleAfterTheRelease) {
    sim.spoilNextReads(reg::PositionLow, 1);
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    ASSERT_TRUE(WaitForSamples(3));
    ASSERT_TRUE(StopAndWait());
    const std::size_t samples = sink.samples.size();

    Sequence expected = Sequence()
                            .purgeReceive()
                            .then(step(reg::AtStatus))
                            .then(step(reg::Status))
                            .then(step(reg::XAdc))
                            .then(step(reg::YAdc))
                            .then(step(reg::GenReg1))
                            .then(positionStep());
    for (std::size_t i = 0; i < samples; ++i)
        expected.then(pollCycle());
    const std::string wire = kpdsim::mismatch(sim.requestLog(), expected);
    EXPECT_TRUE(wire.empty()) << wire;
    EXPECT_EQ(monitor.Stats().failedSteps.load(), 1u);
    EXPECT_EQ(sink.linkFailures, 0);
}

} // namespace
