// The status controller as the status monitor's sink: how a sample reaches the view (elapsed time and
// position texts in the display unit), the GenReg1 copy that a replay keeps, and the replay's end.
#include "SessionFixture.h"

#include "session/StatusController.h"

namespace {

using StatusSamples = sessiontest::SessionTest;

TEST_F(StatusSamples, ALiveSampleShowsTimeAndPositionInTheDisplayUnitAndKeepsGenReg1) {
    S().Config().resolutionMultiplier = 0.5f;
    S().Config().digits = 1;
    S().Status().UpdateStatusDisplay(-1234, 0.0f, 0, 0x00A5, 12.345f, false, false);
    ASSERT_EQ(view.samples.size(), 1u);
    EXPECT_EQ(view.samples[0].first, "12.3");
    EXPECT_EQ(view.samples[0].second, "-617.0");
    EXPECT_EQ(S().GenReg1Copy(), 0x00A5);
    ASSERT_FALSE(view.statusViews.empty()); // the evaluation's view follows every sample
}

TEST_F(StatusSamples, AReplayedSampleKeepsTheLastLiveGenReg1) {
    S().Config().resolutionMultiplier = 1.0f;
    S().Status().UpdateStatusDisplay(10, 0.0f, 0, 0x0011, 1.0f, false, false);
    S().Status().UpdateStatusDisplay(20, 0.0f, 0, 0, 1.1f, true, false);
    EXPECT_EQ(S().GenReg1Copy(), 0x0011);
    ASSERT_EQ(view.samples.size(), 2u);
    EXPECT_EQ(view.samples[1].second, "20");
}

TEST_F(StatusSamples, TheEndOfAReplayStopsOnlyOutsideAStepBackReview) {
    S().SetReview(true);
    S().Status().StopAfterReplay();
    EXPECT_FALSE(S().Scheduler().Armed());
    S().SetReview(false);
    S().Status().StopAfterReplay();
    EXPECT_EQ(S().PendingCommand(), kpd::CmdStopData);
    EXPECT_EQ(S().StateOf(kpd::DisplayMode::Status), kpd::DataState::Stopped);
}

} // namespace
