// The error latch: two failed poll steps with no successful step between them end the monitor and report
// the link failure once; a single failed step followed by success keeps it running.
#include "MonitorFixture.h"

namespace {

using LinkFailure = MonitorFixture;

TEST_F(LinkFailure, SilentElectronicsEndTheMonitorAfterTwoFailedStepsAndReportOnce) {
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(2));
    sim.setSilent(true);
    ASSERT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }, std::chrono::milliseconds(15000)));
    const std::size_t shown = sink.samples.size();

    EXPECT_EQ(sink.linkFailures, 1);
    EXPECT_EQ(monitor.Stats().failedSteps.load(), 2u);
    EXPECT_EQ(sink.stopAfterReplay, 0);
    ExpectIdle();
    // No partly read sample is stored.
    EXPECT_EQ(Ring().count.load(), static_cast<int32_t>(shown));
    EXPECT_EQ(Ring().reviewIndex.load(), static_cast<int32_t>(shown) - 1);

    // Nothing more arrives afterwards.
    WaitFor([] { return false; }, std::chrono::milliseconds(150));
    EXPECT_EQ(sink.linkFailures, 1);
    EXPECT_EQ(sink.samples.size(), shown);
}

TEST_F(LinkFailure, OneFailedStepFollowedBySuccessKeepsRunningEachTime) {
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(2));
    // Two brief outages, each long enough for exactly one failed step; the steps in between succeed, so
    // the latch is cleared and the second failure is again only the first in a row.
    for (uint64_t outage = 1; outage <= 2; ++outage) {
        SCOPED_TRACE(outage);
        sim.setSilent(true);
        ASSERT_TRUE(WaitFor([&] { return monitor.Stats().failedSteps.load() >= outage; }));
        sim.setSilent(false);
        const std::size_t before = sink.samples.size();
        ASSERT_TRUE(WaitForSamples(before + 3));
        EXPECT_TRUE(monitor.WorkerActive());
        EXPECT_EQ(monitor.Stats().failedSteps.load(), outage);
    }
    EXPECT_EQ(sink.linkFailures, 0);
    ASSERT_TRUE(StopAndWait());
    EXPECT_EQ(sink.linkFailures, 0); // an ordinary stop after a recovered failure reports nothing
    ExpectIdle();
}

TEST_F(LinkFailure, StopRightAfterASingleFailedStepReportsNothing) {
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(1));
    sim.setSilent(true);
    ASSERT_TRUE(WaitFor([&] { return monitor.Stats().failedSteps.load() >= 1; }));
    com.StopRequest.store(true); // the user stops while the latch is set
    sim.setSilent(false);
    ASSERT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }));
    EXPECT_EQ(monitor.Stats().failedSteps.load(), 1u);
    EXPECT_EQ(sink.linkFailures, 0);
    ExpectIdle();
}

} // namespace
