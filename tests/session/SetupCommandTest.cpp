// The setup commands of the status display without electronics: index centring and the hardware zero ask
// with their warning texts and queue their commands only on OK; in the plot modes the centring item saves
// the mode's data instead; the software position reset works in every display mode without a question,
// without a command and without stopping the worker; the output settings command is queued on OK.
#include "SessionFixture.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <string>

using kpd::DataState;
using kpd::DisplayMode;
using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

const std::string kCenterIndexText =
    "This will center the encoder's index output pulse within the scale's index mark. The index pulse will "
    "also be aligned with the A-quad-B outputs for maximum repeatability. To proceed, click OK and move the "
    "sensor past the scale's index mark in each direction until the message 'index centered' appears. To "
    "exit without centering the index pulse, click Cancel.";
const std::string kZeroText =
    "This will zero the position count in the electronics and should not be performed if operating in "
    "closed loop control.  To continue, click OK and To exit without zeroing the position, click Cancel. ";

class SetupCommands : public sessiontest::SessionTest {
protected:
    void SetUp() override {
        EnterDemo();
        S().SetReview(false);
        S().Access()->StopRequest = false;
    }
    // Nothing queued, the worker not asked to stop. (Entering the engineering display leaves its own
    // command armed with the timer stopped by the test.)
    void ExpectNothingQueued() {
        EXPECT_FALSE(S().ReadWriteTimer()->isActive());
        EXPECT_EQ(S().Scheduler().Armed(), S().Mode() == DisplayMode::Engineering);
        EXPECT_FALSE(S().Access()->StopRequest);
        EXPECT_FALSE(S().Review());
    }
    void ExpectQueued(int code, int intervalMs) {
        EXPECT_EQ(S().PendingCommand(), code);
        EXPECT_TRUE(S().ReadWriteTimer()->isActive());
        EXPECT_EQ(S().ReadWriteTimer()->interval(), intervalMs);
        EXPECT_TRUE(S().Access()->StopRequest);
        EXPECT_TRUE(S().Review());
    }
};

TEST_F(SetupCommands, CenterIndexWarnsWithItsTextAndOkQueuesCommandThree) {
    ScriptedDialogs d;
    d.Answer(MessageResult::Ok);
    {
        ScopedDialogs scope(d);
        S().CenterIndex();
    }
    ASSERT_TRUE(d.Done());
    ASSERT_EQ(d.Messages().size(), 1u);
    EXPECT_EQ(d.Messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(d.Messages()[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(d.Messages()[0].text, kCenterIndexText);
    ExpectQueued(kpd::CmdCenterIndex, 300);
}

TEST_F(SetupCommands, ZeroWarnsWithItsTextAndOkQueuesCommandSeven) {
    ScriptedDialogs d;
    d.Answer(MessageResult::Ok);
    {
        ScopedDialogs scope(d);
        S().ZeroPosition();
    }
    ASSERT_TRUE(d.Done());
    ASSERT_EQ(d.Messages().size(), 1u);
    EXPECT_EQ(d.Messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(d.Messages()[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(d.Messages()[0].text, kZeroText);
    ExpectQueued(kpd::CmdZeroPosition, 300);
}

TEST_F(SetupCommands, CancelOrAClosedBoxQueuesNothingAndMonitoringGoesOn) {
    for (auto answer : {MessageResult::Cancel, MessageResult::Closed}) {
        ScriptedDialogs d;
        d.Answer(answer);
        d.Answer(answer);
        {
            ScopedDialogs scope(d);
            S().CenterIndex();
            S().ZeroPosition();
        }
        EXPECT_EQ(d.Messages().size(), 2u);
        ExpectNothingQueued();
    }
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(SetupCommands, CenterIndexInAPlotModeSavesThatModesDataWithoutAsking) {
    for (DisplayMode mode :
         {DisplayMode::EncoderSignal, DisplayMode::SignalStrength, DisplayMode::SignalPlots}) {
        SCOPED_TRACE(kpd::Index(mode));
        EnterPlotMode(mode);
        ScriptedDialogs d;
        {
            ScopedDialogs scope(d);
            S().CenterIndex();
        }
        EXPECT_TRUE(d.Questions().empty());
        ExpectQueued(kpd::CmdSaveData, 300);
        EXPECT_EQ(S().Mode(), mode);
        EXPECT_EQ(S().PreviousMode(), mode);
        S().ReadWriteTimer()->stop();
    }
}

TEST_F(SetupCommands, CenterIndexInTheEngineeringDisplayDoesNothing) {
    S().ShowEngineering();
    S().ReadWriteTimer()->stop();
    ASSERT_EQ(S().Mode(), DisplayMode::Engineering);
    S().SetReview(false);
    S().Access()->StopRequest = false;
    const int pending = S().PendingCommand();
    ScriptedDialogs d;
    {
        ScopedDialogs scope(d);
        S().CenterIndex();
    }
    EXPECT_TRUE(d.Questions().empty());
    ExpectNothingQueued();
    EXPECT_EQ(S().PendingCommand(), pending);
}

TEST_F(SetupCommands, PositionResetWorksInEveryModeWithoutCommandOrQuestion) {
    const DisplayMode modes[] = {DisplayMode::Status, DisplayMode::EncoderSignal, DisplayMode::SignalStrength,
                                 DisplayMode::SignalPlots, DisplayMode::Engineering};
    for (DisplayMode mode : modes) {
        SCOPED_TRACE(kpd::Index(mode));
        if (kpd::HasDataSet(mode) && mode != DisplayMode::Status) EnterPlotMode(mode);
        if (mode == DisplayMode::Engineering) {
            S().ShowEngineering();
            S().ReadWriteTimer()->stop();
            view.Clear();
            dc.calls.clear();
        }
        ASSERT_EQ(S().Mode(), mode);
        S().SetReview(false);
        S().Access()->StopRequest = false;
        S().Access()->ZeroRequest = false;
        const int restarts = view.plotRestarts;
        ScriptedDialogs d;
        {
            ScopedDialogs scope(d);
            S().ResetPosition();
        }
        EXPECT_TRUE(S().Access()->ZeroRequest);
        EXPECT_EQ(view.plotRestarts, restarts + 1);
        EXPECT_TRUE(d.Questions().empty());
        ExpectNothingQueued();
        EXPECT_TRUE(dc.calls.empty()); // the running worker is left alone
        EXPECT_EQ(S().Mode(), mode);
    }
}

TEST_F(SetupCommands, OutputSettingsOkQueuesCommandTwentyFive) {
    S().WriteOutputSettings();
    ExpectQueued(kpd::CmdWriteOutputSettings, 300);
    // Nothing is written before the tick.
    EXPECT_FALSE(S().PortHeld());
}

TEST_F(SetupCommands, FailedCentringLeavesTheIndexHoldCounterAlone) {
    // A lit index lamp one sample into its hold.
    S().Status().UpdateStatusDisplay(0, 0.0f, 0x0001, 0, 0.0f, false, false);
    S().Status().UpdateStatusDisplay(0, 0.0f, 0x0000, 0, 0.1f, false, false);
    ASSERT_EQ(S().Status().Evaluation().IndexHoldCounter(), 1);
    S().ExecuteCommand(kpd::CmdCenterIndex); // the never-opened access object: the write fails
    EXPECT_EQ(S().Status().Evaluation().IndexHoldCounter(), 1);
    ScriptedDialogs answers;
    answers.Answer(MessageResult::No);
    ScopedDialogs scope(answers);
    EXPECT_TRUE(sessiontest::WaitUntil([&] { return !S().PortHeld(); }, 2000));
}

} // namespace
