// The data buttons Acquire, Stop, Back and View of the session: the data state they set for the current
// display mode, the scheduler command they queue and what that command applies, the alarm-lamp reset of
// the status display, the end of a replay and the data state of a mode that is left.
#include "SessionFixture.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <array>

using kpd::DataState;
using kpd::DisplayMode;

namespace {

using Calls = std::vector<std::pair<int, int>>;

class DataButtons : public sessiontest::SessionTest {
protected:
    void SetStates(std::array<DataState, 4> states) {
        for (int m = 0; m < 4; ++m)
            S().States().Set(DisplayMode(m), states[static_cast<std::size_t>(m)]);
    }
    std::array<DataState, 4> States() const {
        return {session->StateOf(DisplayMode::Status), session->StateOf(DisplayMode::EncoderSignal),
                session->StateOf(DisplayMode::SignalStrength), session->StateOf(DisplayMode::SignalPlots)};
    }
    // One scheduler tick (no worker runs, so the pending command is carried out).
    void Tick() { S().ReadWriteTimerTimer(); }
};

constexpr DataState S0 = DataState::Stopped;
constexpr DataState S1 = DataState::Live;
constexpr DataState S2 = DataState::SteppingBack;
constexpr DataState S3 = DataState::Viewing;

TEST_F(DataButtons, AcquireFromStoppedOrSteppingBackGoesLiveAtOnceAndResetsTheStatusAlarms) {
    for (DataState from : {S0, S2}) {
        SCOPED_TRACE(static_cast<int>(from));
        view.Clear();
        S().States().Set(DisplayMode::Status, from);
        S().SetReview(true);
        LightOverSignal();
        S().Acquire();
        EXPECT_EQ(S().StateOf(DisplayMode::Status), S1);
        EXPECT_FALSE(S().Review());
        EXPECT_FALSE(OverSignalLit());
        EXPECT_EQ(view.Caption(), "Live Data");
        // Applied directly (the clear items follow the live state), no scheduler command.
        EXPECT_TRUE(view.MenuItemEnabled("ResetDataBuffers1"));
        EXPECT_FALSE(S().ReadWriteTimer()->isActive());
    }
}

TEST_F(DataButtons, AcquireWhileLiveKeepsTheAlarmLamps) {
    S().States().Set(DisplayMode::Status, S1);
    LightOverSignal();
    S().Acquire();
    EXPECT_TRUE(OverSignalLit());
    EXPECT_EQ(view.captions, std::vector<std::string>{"Live Data"});
    EXPECT_TRUE(view.MenuItemEnabled("ResetDataBuffers1"));
}

TEST_F(DataButtons, AcquireWhileViewingBufferedDataOnlyClearsTheReviewFlag) {
    S().States().Set(DisplayMode::Status, S3);
    S().SetReview(true);
    LightOverSignal();
    S().Acquire();
    EXPECT_EQ(S().StateOf(DisplayMode::Status), S3);
    EXPECT_FALSE(S().Review());
    EXPECT_TRUE(OverSignalLit());
    EXPECT_TRUE(view.captions.empty());
    EXPECT_TRUE(view.menuCalls.empty()); // nothing applied
}

TEST_F(DataButtons, AcquireInAPlotModeWorksOnThatModesStateWithoutTouchingTheLamps) {
    EnterPlotMode(DisplayMode::SignalStrength);
    SetStates({S0, S0, S0, S0});
    LightOverSignal();
    S().Acquire();
    EXPECT_EQ(States(), (std::array<DataState, 4>{S0, S0, S1, S0}));
    EXPECT_TRUE(OverSignalLit());
    EXPECT_EQ(dc.calls, (Calls{{2, 1}}));
    EXPECT_EQ(view.Caption(), "Live Data");
}

TEST_F(DataButtons, StopQueuesCommandTwentyWhichAppliesTheStoppedState) {
    EnterDemo();
    RecordStatusSamples(5);
    S().States().Set(DisplayMode::Status, S1);
    S().SetReview(true);
    S().Stop();
    EXPECT_EQ(S().StateOf(DisplayMode::Status), S0);
    EXPECT_FALSE(S().Review());
    EXPECT_TRUE(S().Access()->StopRequest);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdStopData);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 200);
    EXPECT_TRUE(S().ReadWriteTimer()->isActive());
    EXPECT_TRUE(view.elapsedTexts.empty()); // nothing before the tick
    EXPECT_TRUE(view.captions.empty());
    Tick();
    // The status monitor's stop shows the time at the start of the review window.
    EXPECT_EQ(view.elapsedTexts.size(), 1u);
    EXPECT_EQ(view.Caption(), "Data Display Stopped");
    EXPECT_FALSE(S().ReadWriteTimer()->isActive());
}

TEST_F(DataButtons, StopInAPlotModeStopsThatModesWorkerOnTheTick) {
    EnterPlotMode(DisplayMode::SignalPlots);
    S().Stop();
    EXPECT_EQ(S().StateOf(DisplayMode::SignalPlots), S0);
    EXPECT_TRUE(dc.calls.empty());
    Tick();
    EXPECT_EQ(dc.calls, (Calls{{3, 0}}));
    EXPECT_EQ(view.Caption(), "Data Display Stopped");
}

TEST_F(DataButtons, BackClearsTheReviewStepAndCommandSeventeenStepsBackThenStops) {
    EnterDemo();
    RecordStatusSamples(400); // 40 s recorded: a step back of about 10 s has something to show
    S().States().Set(DisplayMode::Status, S0);
    S().Access()->ReviewStep = true;
    S().Back();
    EXPECT_FALSE(S().Access()->ReviewStep);
    EXPECT_TRUE(S().Review());
    EXPECT_TRUE(S().Access()->StopRequest);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdStepBack);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 200);
    EXPECT_TRUE(view.elapsedTexts.empty());
    Tick();
    // The status monitor stepped back: it shows the start of the new review window.
    EXPECT_EQ(view.elapsedTexts.size(), 1u);
    EXPECT_TRUE(S().Access()->ReviewStep);
    EXPECT_EQ(S().StateOf(DisplayMode::Status), S0);
    EXPECT_EQ(view.Caption(), "Data Display Stopped");
}

TEST_F(DataButtons, BackInAPlotModeAppliesSteppingBackThenLeavesTheModeStopped) {
    EnterPlotMode(DisplayMode::EncoderSignal);
    S().States().Set(DisplayMode::EncoderSignal, S0);
    S().Back();
    EXPECT_EQ(S().PendingCommand(), kpd::CmdStepBack);
    Tick();
    EXPECT_EQ(dc.calls, (Calls{{1, 2}}));
    EXPECT_EQ(S().StateOf(DisplayMode::EncoderSignal), S0);
    EXPECT_EQ(view.Caption(), "Data Display Stopped");
}

TEST_F(DataButtons, ViewFromStoppedQueuesTheReplay) {
    EnterDemo();
    RecordStatusSamples(5);
    S().States().Set(DisplayMode::Status, S0);
    S().SetReview(true);
    S().Access()->ReviewStep = true;
    LightOverSignal();
    S().View();
    EXPECT_EQ(S().StateOf(DisplayMode::Status), S3);
    EXPECT_FALSE(S().Review());
    EXPECT_FALSE(S().Access()->ReviewStep);
    EXPECT_TRUE(S().Access()->StopRequest);
    EXPECT_FALSE(OverSignalLit());
    EXPECT_EQ(S().PendingCommand(), kpd::CmdReplay);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 300);
    EXPECT_TRUE(view.elapsedTexts.empty());
    Tick();
    // No review window selected: the status monitor's replay only shows the elapsed time.
    EXPECT_EQ(view.elapsedTexts.size(), 1u);
    EXPECT_FALSE(S().WorkerExists());
    EXPECT_EQ(view.Caption(), "Viewing Buffered Data");
}

TEST_F(DataButtons, ViewFromStoppedLocksTheClearItemsWhenTheReplayIsApplied) {
    S().States().Set(DisplayMode::Status, S0);
    S().View();
    EXPECT_FALSE(view.HasMenuItemState("ResetDataBuffers1"));
    Tick();
    EXPECT_TRUE(view.HasMenuItemState("ResetDataBuffers1"));
    EXPECT_FALSE(view.MenuItemEnabled("ResetDataBuffers1"));
    EXPECT_EQ(view.Caption(), "Viewing Buffered Data");
}

TEST_F(DataButtons, ViewWhileLiveOrViewingDoesNothing) {
    EnterDemo();
    for (DataState state : {S1, S3}) {
        SCOPED_TRACE(static_cast<int>(state));
        S().States().Set(DisplayMode::Status, state);
        S().SetReview(true);
        LightOverSignal();
        S().View();
        EXPECT_EQ(S().StateOf(DisplayMode::Status), state);
        EXPECT_TRUE(S().Review());
        EXPECT_TRUE(OverSignalLit());
        EXPECT_FALSE(S().ReadWriteTimer()->isActive());
        EXPECT_FALSE(S().Access()->StopRequest);
    }
}

TEST_F(DataButtons, ViewInAPlotModeLeavesTheStatusAlarmsAlone) {
    EnterPlotMode(DisplayMode::EncoderSignal);
    SetStates({S1, S2, S1, S1});
    LightOverSignal();
    S().View();
    EXPECT_EQ(States(), (std::array<DataState, 4>{S1, S3, S1, S1}));
    EXPECT_TRUE(OverSignalLit());
    Tick();
    EXPECT_EQ(dc.calls, (Calls{{1, 3}}));
}

TEST_F(DataButtons, AReplayThatEndsOutsideAReviewPerformsTheStopAction) {
    S().States().Set(DisplayMode::Status, S3);
    S().SetReview(true); // a step-back review is in progress: the replay end changes nothing
    S().StopAfterReplay();
    EXPECT_EQ(S().StateOf(DisplayMode::Status), S3);
    EXPECT_FALSE(S().ReadWriteTimer()->isActive());

    S().SetReview(false);
    S().StopAfterReplay();
    EXPECT_EQ(S().StateOf(DisplayMode::Status), S0);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdStopData);
    Tick();
    EXPECT_EQ(view.Caption(), "Data Display Stopped");
}

TEST_F(DataButtons, ShowStatusCommandPerformsTheAcquireActionWhenLive) {
    S().States().Set(DisplayMode::Status, S1);
    S().SetReview(true);
    LightOverSignal();
    S().ExecuteCommand(kpd::CmdShowStatus);
    EXPECT_FALSE(S().Review());   // cleared by the Acquire action
    EXPECT_TRUE(OverSignalLit()); // already live: the lamps stay
    EXPECT_EQ(S().StateOf(DisplayMode::Status), S1);
    EXPECT_EQ(view.Caption(), "Live Data");
    ASSERT_FALSE(view.layouts.empty());
    EXPECT_EQ(view.layouts.back().kind, sessiontest::RecordingView::Layout::Kind::Status);
    ASSERT_FALSE(view.dataControls.empty());
    EXPECT_TRUE(view.dataControls.back());
}

TEST_F(DataButtons, LeavingAModeTurnsItsViewingAndTheStatusViewingIntoStopped) {
    EnterPlotMode(DisplayMode::EncoderSignal);
    SetStates({S3, S3, S3, S1});
    S().SwitchDisplayMode(DisplayMode::SignalPlots, kpd::CmdShowSignalPlots, true);
    EXPECT_EQ(States(), (std::array<DataState, 4>{S0, S0, S3, S1}));
    EXPECT_EQ(S().Mode(), DisplayMode::SignalPlots);
    EXPECT_EQ(S().PreviousMode(), DisplayMode::EncoderSignal);
    EXPECT_TRUE(S().Review());
    EXPECT_EQ(view.dataControls, std::vector<bool>{false});
    EXPECT_EQ(S().PendingCommand(), kpd::CmdShowSignalPlots);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 500);
    Tick();
    ASSERT_FALSE(view.layouts.empty());
    EXPECT_EQ(view.layouts.back().mode, DisplayMode::SignalPlots);
    EXPECT_EQ(dc.calls, (Calls{{3, 1}}));
}

} // namespace
