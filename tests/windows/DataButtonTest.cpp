// The data buttons Acquire, Stop, Back and View of the main window: the data state they set for the current
// display mode, the scheduler command they queue and what that command applies, the alarm-lamp reset of
// the status display, and the unattended dialog answers of a timed run.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "workers/Rgb.h"
#include "program/UnattendedDialogs.h"
#include "widgets/Lamp.h"

#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

using apptest::RecordingDataControl;

using Calls = std::vector<std::pair<int, int>>;

class DataButtons : public ::testing::Test {
protected:
    void SetUp() override {
        f.dataControl = &dc;
        f.SetAccess(std::make_unique<ComData>(256)); // never opened: no worker, no link
    }
    // Lights the over-signal lamp as an evaluation would.
    void LightOverSignal() {
        f.View.OverSignalShape = kpd::clRed;
        f.ApplyStatusView();
        ASSERT_EQ(f.OverSignalShape->brushColor(), QColor(Qt::red));
    }
    bool OverSignalLit() const { return f.OverSignalShape->brushColor() == QColor(Qt::red); }
    // One scheduler tick (no worker runs, so the pending command is carried out).
    void Tick() { f.ReadWriteTimerTimer(); }

    apptest::Harness h;
    TMainForm &f = *h.form;
    RecordingDataControl dc;
};

TEST_F(DataButtons, AcquireFromStoppedOrSteppingBackGoesLiveAtOnceAndResetsTheStatusAlarms) {
    for (int from : {0, 2}) {
        SCOPED_TRACE(from);
        dc.calls.clear();
        f.DataState[0] = from;
        f.ReviewFlag = true;
        LightOverSignal();
        f.AcquireButton->click();
        EXPECT_EQ(f.DataState[0], 1);
        EXPECT_FALSE(f.ReviewFlag);
        EXPECT_FALSE(OverSignalLit());
        EXPECT_EQ(f.windowTitle(), "Live Data");
        EXPECT_EQ(dc.calls, (Calls{{0, 1}})); // applied directly, no scheduler command
        EXPECT_FALSE(f.ReadWriteTimer->isActive());
    }
}

TEST_F(DataButtons, AcquireWhileLiveKeepsTheAlarmLamps) {
    f.DataState[0] = 1;
    LightOverSignal();
    f.AcquireButtonClick();
    EXPECT_TRUE(OverSignalLit());
    EXPECT_EQ(dc.calls, (Calls{{0, 1}}));
}

TEST_F(DataButtons, AcquireWhileViewingBufferedDataOnlyClearsTheReviewFlag) {
    f.DataState[0] = 3;
    f.ReviewFlag = true;
    LightOverSignal();
    f.AcquireButtonClick();
    EXPECT_EQ(f.DataState[0], 3);
    EXPECT_FALSE(f.ReviewFlag);
    EXPECT_TRUE(OverSignalLit());
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(DataButtons, AcquireInAPlotModeWorksOnThatModesStateWithoutTouchingTheLamps) {
    f.DisplayMode = 2;
    f.DataState = {0, 0, 0, 0};
    LightOverSignal();
    f.AcquireButtonClick();
    EXPECT_EQ(f.DataState, (std::array<int, 4>{0, 0, 1, 0}));
    EXPECT_TRUE(OverSignalLit());
    EXPECT_EQ(dc.calls, (Calls{{2, 1}}));
}

TEST_F(DataButtons, StopQueuesCommandTwentyWhichAppliesTheStoppedState) {
    f.DataState[0] = 1;
    f.ReviewFlag = true;
    f.StopButton->click();
    EXPECT_EQ(f.DataState[0], 0);
    EXPECT_FALSE(f.ReviewFlag);
    EXPECT_TRUE(f.Access()->StopRequest);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdStopData);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 200);
    EXPECT_TRUE(f.ReadWriteTimer->isActive());
    EXPECT_TRUE(dc.calls.empty()); // nothing before the tick
    Tick();
    EXPECT_EQ(dc.calls, (Calls{{0, 0}}));
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
}

TEST_F(DataButtons, BackClearsTheReviewStepAndCommandSeventeenStepsBackThenStops) {
    f.DataState[0] = 0;
    f.Access()->ReviewStep = true;
    f.ReviewButton->click();
    EXPECT_FALSE(f.Access()->ReviewStep);
    EXPECT_TRUE(f.ReviewFlag);
    EXPECT_TRUE(f.Access()->StopRequest);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdStepBack);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 200);
    Tick();
    EXPECT_EQ(dc.calls, (Calls{{0, 2}}));
    EXPECT_EQ(f.DataState[0], 0);
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
}

TEST_F(DataButtons, ViewFromStoppedQueuesTheReplayAndLocksTheClearItems) {
    f.DataState[0] = 0;
    f.ReviewFlag = true;
    f.Access()->ReviewStep = true;
    f.FastButton->setEnabled(false);
    LightOverSignal();
    f.FastButtonClick();
    EXPECT_EQ(f.DataState[0], 3);
    EXPECT_FALSE(f.ReviewFlag);
    EXPECT_FALSE(f.Access()->ReviewStep);
    EXPECT_FALSE(OverSignalLit());
    EXPECT_EQ(f.PendingCommand(), kpd::CmdReplay);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 300);
    Tick();
    EXPECT_EQ(dc.calls, (Calls{{0, 3}}));
    EXPECT_TRUE(f.FastButton->isEnabled());
    EXPECT_EQ(f.windowTitle(), "Viewing Buffered Data");
    EXPECT_FALSE(f.ItemEnabled("ResetDataBuffers1"));
}

TEST_F(DataButtons, ViewWhileLiveOrViewingDoesNothing) {
    for (int state : {1, 3}) {
        SCOPED_TRACE(state);
        f.DataState[0] = state;
        f.ReviewFlag = true;
        LightOverSignal();
        f.FastButtonClick();
        EXPECT_EQ(f.DataState[0], state);
        EXPECT_TRUE(f.ReviewFlag);
        EXPECT_TRUE(OverSignalLit());
        EXPECT_FALSE(f.ReadWriteTimer->isActive());
        EXPECT_FALSE(f.Access()->StopRequest);
    }
}

TEST_F(DataButtons, ViewInAPlotModeLeavesTheStatusAlarmsAlone) {
    f.DisplayMode = 1;
    f.DataState = {1, 2, 1, 1};
    LightOverSignal();
    f.FastButtonClick();
    EXPECT_EQ(f.DataState, (std::array<int, 4>{1, 3, 1, 1}));
    EXPECT_TRUE(OverSignalLit());
    Tick();
    EXPECT_EQ(dc.calls, (Calls{{1, 3}}));
}

TEST_F(DataButtons, AReplayThatEndsOutsideAReviewPerformsTheStopAction) {
    f.DataState[0] = 3;
    f.ReviewFlag = true; // a step-back review is in progress: the replay end changes nothing
    f.StopAfterReplay();
    EXPECT_EQ(f.DataState[0], 3);
    EXPECT_FALSE(f.ReadWriteTimer->isActive());

    f.ReviewFlag = false;
    f.StopAfterReplay();
    EXPECT_EQ(f.DataState[0], 0);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdStopData);
    Tick();
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
}

TEST_F(DataButtons, ShowStatusCommandPerformsTheAcquireActionWhenLive) {
    f.DisplayMode = 0;
    f.DataState[0] = 1;
    f.ReviewFlag = true;
    LightOverSignal();
    f.ExecuteCommand(kpd::CmdShowStatus);
    EXPECT_FALSE(f.ReviewFlag);   // cleared by the Acquire action
    EXPECT_TRUE(OverSignalLit()); // already live: the lamps stay
    EXPECT_EQ(f.DataState[0], 1);
}

TEST_F(DataButtons, ARegisteredClickHookReplacesTheButtonsOwnAction) {
    int stops = 0;
    f.clickHooks["StopButton"] = [&] { ++stops; };
    f.DataState[0] = 1;
    f.StopButton->click();
    f.StopAfterReplay();
    EXPECT_EQ(stops, 2);
    EXPECT_EQ(f.DataState[0], 1);
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
}

TEST(UnattendedDialogs, EveryBoxGetsItsCancelLikeAnswerAndFileDialogsAreCancelled) {
    std::FILE *log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    kpd::UnattendedDialogs d(log);
    using platform::MessageButtons;
    using platform::MessageKind;
    using platform::MessageResult;
    EXPECT_EQ(d.Message(MessageKind::Warning, "Cannot Detect Electronics.", MessageButtons::RetryIgnore),
              MessageResult::Ignore);
    EXPECT_EQ(d.Message(MessageKind::Warning, "Error communicating", MessageButtons::YesNoAll),
              MessageResult::No);
    EXPECT_EQ(d.Message(MessageKind::Confirmation, "Close Program?", MessageButtons::YesNo),
              MessageResult::No);
    EXPECT_EQ(d.Message(MessageKind::Warning, "center", MessageButtons::OkCancel), MessageResult::Cancel);
    EXPECT_EQ(d.Message(MessageKind::Error, "Invalid Software File Type", MessageButtons::Ok),
              MessageResult::Ok);
    platform::FileDialogOptions o;
    o.title = "Save Setup and Status Data as:";
    EXPECT_FALSE(d.SaveFile(o).has_value());
    EXPECT_FALSE(d.OpenFile(o).has_value());
    EXPECT_EQ(d.Answered(), 7);
    // The log names each question and its answer.
    std::rewind(log);
    std::string text;
    char buf[256];
    while (std::fgets(buf, sizeof buf, log))
        text += buf;
    std::fclose(log);
    EXPECT_NE(text.find("answered Ignore: Cannot Detect Electronics."), std::string::npos) << text;
    EXPECT_NE(text.find("save dialog cancelled: Save Setup and Status Data as:"), std::string::npos) << text;
}

} // namespace
