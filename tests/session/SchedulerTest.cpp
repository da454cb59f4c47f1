// The command scheduler: its decision logic, the session's hand-over and timer tick, the wait while a
// worker exists or the port is held, and the command table (each code reaches its own handler).
#include "SessionFixture.h"

#include "session/CommandScheduler.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <string>

using kpd::CommandScheduler;
using kpd::DataState;
using kpd::DisplayMode;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

using Calls = std::vector<std::pair<int, int>>;

const std::string kLinkFailurePrefix = "Error communicating with Electronics.";

TEST(CommandScheduler, LastQueuedCommandWinsWithItsOwnInterval) {
    CommandScheduler s;
    EXPECT_TRUE(s.Queue(kpd::CmdShowEncoderSignal, 500));
    EXPECT_TRUE(s.Queue(kpd::CmdShowInfo, 300));
    EXPECT_EQ(s.Pending(), kpd::CmdShowInfo);
    EXPECT_EQ(s.IntervalMs(), 300);
    EXPECT_EQ(s.OnTick(false), CommandScheduler::Tick::Execute);
    // It ran once: the next tick has nothing to do, and the code stays as the last one carried out.
    EXPECT_EQ(s.OnTick(false), CommandScheduler::Tick::Idle);
    EXPECT_EQ(s.Pending(), kpd::CmdShowInfo);
}

TEST(CommandScheduler, TickWaitsWhileAWorkerRuns) {
    CommandScheduler s;
    s.Queue(kpd::CmdStopData, 200);
    EXPECT_EQ(s.OnTick(true), CommandScheduler::Tick::Wait);
    EXPECT_EQ(s.OnTick(true), CommandScheduler::Tick::Wait);
    EXPECT_TRUE(s.Armed());
    EXPECT_EQ(s.IntervalMs(), 200);
    EXPECT_EQ(s.OnTick(false), CommandScheduler::Tick::Execute);
    EXPECT_FALSE(s.Armed());
}

TEST(CommandScheduler, RejectsCodesAndIntervalsOutsideTheTable) {
    CommandScheduler s;
    s.Queue(kpd::CmdShowInfo, 300);
    EXPECT_FALSE(s.Queue(30, 300));
    EXPECT_FALSE(s.Queue(-1, 300));
    EXPECT_FALSE(s.Queue(kpd::CmdSearch, 0));
    EXPECT_EQ(s.Pending(), kpd::CmdShowInfo);
    EXPECT_EQ(s.IntervalMs(), 300);
}

class SessionScheduler : public sessiontest::SessionTest {
protected:
    // Answers the pending link-failure question with No (demo mode) and waits until the decision has
    // released the port; returns the questions asked.
    std::vector<ScriptedDialogs::Question> AnswerLinkFailure() {
        ScriptedDialogs answers;
        answers.Answer(MessageResult::No);
        ScopedDialogs scope(answers);
        EXPECT_TRUE(sessiontest::WaitUntil([&] { return !S().PortHeld(); }, 2000));
        EXPECT_TRUE(answers.Done());
        return answers.Messages();
    }
};

TEST_F(SessionScheduler, QueueingArmsTheTimerAndSetsTheStopRequest) {
    EnterDemo();
    S().QueueCommand(kpd::CmdShowEncoderSignal, 500);
    S().QueueCommand(kpd::CmdShowInfo, 300);
    EXPECT_TRUE(S().Access()->StopRequest);
    EXPECT_TRUE(S().Review());
    EXPECT_TRUE(S().ReadWriteTimer()->isActive());
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 300);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdShowInfo);

    // The clear-buffer items leave the review flag alone.
    S().SetReview(false);
    S().QueueCommand(kpd::CmdClearBuffers, 400, false);
    EXPECT_FALSE(S().Review());
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 400);
}

TEST_F(SessionScheduler, CommandRunsOnlyAfterTheWorkerHasEnded) {
    EnterDemo();
    S().Access()->ThreadRunning = true;
    S().QueueCommand(kpd::CmdStopData, 200);
    S().ReadWriteTimerTimer();
    S().ReadWriteTimerTimer();
    EXPECT_TRUE(view.captions.empty()); // the stop command has not run
    EXPECT_TRUE(S().ReadWriteTimer()->isActive());
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 200);
    S().Access()->ThreadRunning = false; // the worker's termination handler
    S().ReadWriteTimerTimer();
    EXPECT_EQ(view.captions.size(), 1u);
    EXPECT_FALSE(S().ReadWriteTimer()->isActive());
    S().ReadWriteTimerTimer();
    EXPECT_EQ(view.captions.size(), 1u);
}

TEST_F(SessionScheduler, AWorkerStartedAfterTheCommandWasQueuedIsAskedToEndToo) {
    // The command was queued while a port step held the port; the step then started the mode's worker,
    // which knows nothing of the command's stop request.
    EnterDemo();
    S().QueueCommand(kpd::CmdStopData, 200);
    S().Access()->StopRequest = false; // cleared by the worker's start
    S().Access()->ThreadRunning = true;
    S().ReadWriteTimerTimer();
    EXPECT_TRUE(view.captions.empty()); // the command waits for the worker
    EXPECT_TRUE(S().Access()->StopRequest); // and has asked it to end
    S().Access()->ThreadRunning = false; // so it ends
    S().ReadWriteTimerTimer();
    EXPECT_EQ(view.captions.size(), 1u);
}

TEST_F(SessionScheduler, CommandWaitsWhileTheLinkFailureDecisionHoldsThePort) {
    EnterDemo();
    S().LinkFailure();
    EXPECT_TRUE(S().PortHeld());
    S().QueueCommand(kpd::CmdStopData, 200);
    S().ReadWriteTimerTimer();
    EXPECT_TRUE(view.captions.empty());
    EXPECT_TRUE(S().ReadWriteTimer()->isActive());
    S().ReadWriteTimer()->stop(); // ticks by hand from here
    const auto asked = AnswerLinkFailure();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text.rfind(kLinkFailurePrefix, 0), 0u);
    S().ReadWriteTimerTimer();
    EXPECT_EQ(view.captions.size(), 1u);
}

TEST_F(SessionScheduler, WithoutWorkerTheCommandRunsOnTheFirstTimerTick) {
    EnterDemo();
    S().States().Set(DisplayMode::Status, DataState::Stopped);
    S().QueueCommand(kpd::CmdStopData, 200);
    // Let the real timer fire once.
    EXPECT_TRUE(sessiontest::WaitUntil([&] { return !S().ReadWriteTimer()->isActive(); }, 2000));
    // The status monitor's stop ran once (it shows the review window's start time).
    EXPECT_EQ(view.elapsedTexts.size(), 1u);
    EXPECT_EQ(view.captions, std::vector<std::string>{"Data Display Stopped"});
}

TEST_F(SessionScheduler, ApplyDataStateViewingBufferedDataLocksTheClearItems) {
    EnterPlotMode(DisplayMode::SignalStrength);
    S().States().Set(DisplayMode::SignalStrength, DataState::Viewing);
    S().SetReview(true);
    S().ApplyDataState();
    EXPECT_EQ(dc.calls.back(), std::make_pair(2, 3));
    EXPECT_FALSE(view.MenuItemEnabled("ResetDataBuffers1"));
    EXPECT_TRUE(view.HasMenuItemState("ResetDataBuffers1"));
    EXPECT_FALSE(S().Review());
    S().States().Set(DisplayMode::SignalStrength, DataState::Live);
    S().ApplyDataState();
    EXPECT_TRUE(view.MenuItemEnabled("ResetDataBuffers1"));

    // Mode 4 starts the read-all worker instead of a data set.
    int readAll = 0;
    S().SetReadAllStarter([&] { ++readAll; });
    S().ShowEngineering();
    EXPECT_EQ(S().Mode(), DisplayMode::Engineering);
    const auto before = dc.calls.size();
    const auto menuBefore = view.menuCalls.size();
    S().ApplyDataState();
    EXPECT_EQ(readAll, 1);
    EXPECT_EQ(dc.calls.size(), before);
    EXPECT_EQ(view.menuCalls.size(), menuBefore);
}

TEST_F(SessionScheduler, LinkFailureEndsTheCommandWithoutRestartingTheWorker) {
    EnterDemo();
    EnterPlotMode(DisplayMode::EncoderSignal);
    // The never-opened access object: every link operation fails.
    for (int code :
         {kpd::CmdZeroPosition, kpd::CmdCenterIndex, kpd::CmdShowInfo, kpd::CmdWriteOutputSettings}) {
        SCOPED_TRACE(code);
        S().ExecuteCommand(code);
        EXPECT_TRUE(S().PortHeld());
        const auto asked = AnswerLinkFailure();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text.rfind(kLinkFailurePrefix, 0), 0u);
    }
    EXPECT_TRUE(dc.calls.empty());
    EXPECT_FALSE(S().Access()->ZeroRequest);
    EXPECT_TRUE(view.info.empty());

    // Commands whose link results are ignored restart the worker anyway.
    S().ExecuteCommand(kpd::CmdStartCalibration);
    S().ExecuteCommand(kpd::CmdStopAlignment);
    EXPECT_FALSE(S().PortHeld());
    EXPECT_EQ(dc.calls, (Calls{{1, 1}, {1, 1}}));
}

TEST_F(SessionScheduler, StepBackLeavesTheModeStoppedAfterApplyingStateTwo) {
    EnterPlotMode(DisplayMode::EncoderSignal);
    S().ExecuteCommand(kpd::CmdStepBack);
    ASSERT_EQ(dc.calls.size(), 1u);
    EXPECT_EQ(dc.calls[0], std::make_pair(1, 2));
    EXPECT_EQ(S().StateOf(DisplayMode::EncoderSignal), DataState::Stopped);
    EXPECT_EQ(view.Caption(), "Data Display Stopped");
}

// ---- The command table ----

// Each code runs in a fresh demo session shown in the encoder signal mode (entered from the status
// display), with 5 status samples recorded; every link operation fails.
class CommandTable : public SessionScheduler, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        EnterDemo();
        EnterPlotMode(DisplayMode::EncoderSignal);
        RecordStatusSamples(5);
    }
    // Nothing at all was shown, asked or started.
    void ExpectNothingHappened() {
        EXPECT_TRUE(dc.calls.empty());
        EXPECT_TRUE(view.captions.empty());
        EXPECT_TRUE(view.layouts.empty());
        EXPECT_TRUE(view.progress.empty());
        EXPECT_TRUE(view.busyCalls.empty());
        EXPECT_TRUE(view.elapsedTexts.empty());
        EXPECT_EQ(view.activations, 0);
        EXPECT_TRUE(dialogs.Questions().empty());
        EXPECT_FALSE(S().PortHeld());
        EXPECT_EQ(S().Mode(), DisplayMode::EncoderSignal);
        EXPECT_EQ(S().Data().SetupStatus().count.load(), 5);
        EXPECT_EQ(view.plotRestarts, 0);
    }
    ScriptedDialogs dialogs;
};

TEST_P(CommandTable, EveryCodeReachesItsHandler) {
    const int code = GetParam();
    if (code == kpd::CmdSearch) dialogs.Answer(MessageResult::Ignore);
    if (code == kpd::CmdSaveData || code == kpd::CmdLoadData) dialogs.AnswerFile(std::nullopt);
    {
        ScopedDialogs scope(dialogs);
        S().ExecuteCommand(code);
    }
    EXPECT_TRUE(dialogs.Done());
    const Calls applied{{1, 1}};
    using Kind = sessiontest::RecordingView::Layout::Kind;
    switch (code) {
    case 0:
    case 1:
    case 2:
        ExpectNothingHappened();
        break;
    case kpd::CmdCenterIndex:
    case kpd::CmdShowInfo:
    case kpd::CmdZeroPosition:
    case kpd::CmdWriteOutputSettings:
    case kpd::CmdEngineeringWrite:
    case kpd::CmdEnableMainAgc:
    case kpd::CmdDisableMainAgc: {
        EXPECT_TRUE(S().PortHeld());
        EXPECT_TRUE(dc.calls.empty());
        const auto asked = AnswerLinkFailure();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text.rfind(kLinkFailurePrefix, 0), 0u);
        break;
    }
    case kpd::CmdSearch:
        ASSERT_FALSE(view.progress.empty());
        EXPECT_EQ(view.progress[0].caption, "Searching for Electronics...");
        EXPECT_EQ(dialogs.Messages().size(), 1u);
        EXPECT_EQ(view.demoModeEntered, 1);
        break;
    case kpd::CmdSoftwareReset:
        EXPECT_EQ(view.plotRestarts, 1);
        EXPECT_TRUE(S().Access()->ZeroRequest);
        EXPECT_EQ(view.busyCalls, std::vector<bool>{false});
        EXPECT_EQ(dc.calls, applied);
        break;
    case kpd::CmdShowEncoderSignal:
    case kpd::CmdShowSignalStrength:
    case kpd::CmdShowSignalPlots:
        // The layout of the mode the switch has already set.
        ASSERT_EQ(view.layouts.size(), 1u);
        EXPECT_EQ(view.layouts[0].kind, Kind::Plot);
        EXPECT_EQ(view.layouts[0].mode, DisplayMode::EncoderSignal);
        EXPECT_EQ(dc.calls, applied);
        break;
    case kpd::CmdShowStatus:
        ASSERT_EQ(view.layouts.size(), 1u);
        EXPECT_EQ(view.layouts[0].kind, Kind::Status);
        EXPECT_EQ(view.repaints, 1);
        break;
    case kpd::CmdApplyPlotSettings:
    case kpd::CmdStartCalibration:
    case kpd::CmdStopCalibration:
    case kpd::CmdSetCalibration:
    case kpd::CmdStartAlignment:
    case kpd::CmdStopAlignment:
        EXPECT_EQ(dc.calls, applied);
        EXPECT_TRUE(view.layouts.empty());
        EXPECT_TRUE(view.captions.empty());
        EXPECT_FALSE(S().PortHeld());
        break;
    case kpd::CmdShowEngineering:
        ASSERT_EQ(view.layouts.size(), 1u);
        EXPECT_EQ(view.layouts[0].kind, Kind::Engineering);
        EXPECT_EQ(view.busyCalls, std::vector<bool>{false});
        break;
    case kpd::CmdLeaveEngineering:
        EXPECT_EQ(S().Mode(), DisplayMode::Status); // back to the mode shown before
        break;
    case kpd::CmdSaveData:
        ASSERT_EQ(dialogs.Questions().size(), 1u);
        EXPECT_EQ(dialogs.Questions()[0].type, ScriptedDialogs::QuestionType::SaveFile);
        EXPECT_EQ(dialogs.Questions()[0].file.title, "Save Encoder Signal Data as:");
        EXPECT_EQ(S().Mode(), DisplayMode::Status);
        EXPECT_EQ(view.activations, 1);
        break;
    case kpd::CmdStepBack:
        EXPECT_EQ(dc.calls, (Calls{{1, 2}}));
        EXPECT_EQ(S().StateOf(DisplayMode::EncoderSignal), DataState::Stopped);
        break;
    case kpd::CmdReplay:
    case kpd::CmdStopData:
        EXPECT_EQ(view.captions, std::vector<std::string>{"Live Data"});
        EXPECT_EQ(dc.calls, applied);
        EXPECT_EQ(S().Data().SetupStatus().count.load(), 5);
        break;
    case kpd::CmdLoadData:
        ASSERT_EQ(dialogs.Questions().size(), 1u);
        EXPECT_EQ(dialogs.Questions()[0].type, ScriptedDialogs::QuestionType::OpenFile);
        EXPECT_EQ(dialogs.Questions()[0].file.title, "Choose Data File to Open");
        break;
    case kpd::CmdClearBuffers:
        EXPECT_EQ(S().Data().SetupStatus().count.load(), 0); // data set 0 (the selector's default)
        EXPECT_EQ(view.captions, std::vector<std::string>{"Live Data"});
        EXPECT_EQ(dc.calls, applied);
        break;
    default:
        FAIL() << "no expectation for command " << code;
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, CommandTable, ::testing::Range(kpd::kFirstCommand, kpd::kLastCommand + 1));

class UnknownCommand : public CommandTable {};

TEST_P(UnknownCommand, DoesNothing) {
    {
        ScopedDialogs scope(dialogs);
        S().ExecuteCommand(GetParam());
    }
    ExpectNothingHappened();
}

INSTANTIATE_TEST_SUITE_P(Codes, UnknownCommand, ::testing::Values(-1, 30, 31, 1000));

TEST_F(SessionScheduler, AnUnknownCodeIsNeverQueued) {
    S().QueueCommand(kpd::CmdStopData, 200);
    S().QueueCommand(30, 100);
    S().QueueCommand(-5, 100);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdStopData);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 200);
}

} // namespace
