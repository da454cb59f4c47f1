// The command scheduler: its decision logic, and the main window's hand-over and timer tick.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "session/CommandScheduler.h"

#include <QTimer>
#include <gtest/gtest.h>

using kpd::CommandScheduler;

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

namespace {
using apptest::RecordingDataControl;
} // namespace

TEST(MainWindowScheduler, QueueingArmsTheTimerAndSetsTheStopRequest) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.SetAccess(std::make_unique<ComData>(256));
    f.QueueCommand(kpd::CmdShowEncoderSignal, 500);
    f.QueueCommand(kpd::CmdShowInfo, 300);
    EXPECT_TRUE(f.Access()->StopRequest);
    EXPECT_TRUE(f.ReviewFlag);
    EXPECT_TRUE(f.ReadWriteTimer->isActive());
    EXPECT_EQ(f.ReadWriteTimer->interval(), 300);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdShowInfo);

    // The clear-buffer items leave the review flag alone.
    f.ReviewFlag = false;
    f.QueueCommand(kpd::CmdClearBuffers, 400, false);
    EXPECT_FALSE(f.ReviewFlag);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 400);
}

TEST(MainWindowScheduler, CommandRunsOnlyAfterTheWorkerHasEnded) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.SetAccess(std::make_unique<ComData>(256));
    int runs = 0;
    f.commandHooks[kpd::CmdStopData] = [&] { ++runs; };
    f.Access()->ThreadRunning = true;
    f.QueueCommand(kpd::CmdStopData, 200);
    f.ReadWriteTimerTimer();
    f.ReadWriteTimerTimer();
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(f.ReadWriteTimer->isActive());
    EXPECT_EQ(f.ReadWriteTimer->interval(), 200);
    f.Access()->ThreadRunning = false; // the worker's termination handler
    f.ReadWriteTimerTimer();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
    f.ReadWriteTimerTimer();
    EXPECT_EQ(runs, 1);
}

TEST(MainWindowScheduler, WithoutWorkerTheCommandRunsOnTheFirstTimerTick) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    RecordingDataControl dc;
    f.dataControl = &dc;
    f.SetAccess(std::make_unique<ComData>(256));
    f.DataState[0] = 0;
    f.QueueCommand(kpd::CmdStopData, 200);
    // Let the real timer fire once.
    EXPECT_TRUE(apptest::WaitUntil([&] { return !f.ReadWriteTimer->isActive(); }, 2000));
    ASSERT_EQ(dc.calls.size(), 1u);
    EXPECT_EQ(dc.calls[0], std::make_pair(0, 0)); // data set 0, Stop
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
}

TEST(MainWindowScheduler, ApplyDataStateViewingBufferedDataLocksTheClearItems) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    RecordingDataControl dc;
    f.dataControl = &dc;
    f.DisplayMode = 2;
    f.DataState[2] = 3;
    f.ReviewFlag = true;
    f.ApplyDataState();
    EXPECT_EQ(dc.calls.back(), std::make_pair(2, 3));
    EXPECT_FALSE(f.ItemEnabled("ResetDataBuffers1"));
    EXPECT_FALSE(f.ReviewFlag);
    f.DataState[2] = 1;
    f.ApplyDataState();
    EXPECT_TRUE(f.ItemEnabled("ResetDataBuffers1"));

    // Mode 4 starts the read-all worker instead of a data set.
    int readAll = 0;
    f.startReadAll = [&] { ++readAll; };
    f.DisplayMode = 4;
    const auto before = dc.calls.size();
    f.ApplyDataState();
    EXPECT_EQ(readAll, 1);
    EXPECT_EQ(dc.calls.size(), before);
}

TEST(MainWindowScheduler, LinkFailureEndsTheCommandWithoutRestartingTheWorker) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    RecordingDataControl dc;
    f.dataControl = &dc;
    int failures = 0;
    f.reportLinkFailureHook = [&] { ++failures; };
    // A placeholder access object whose port was never opened: every link operation fails.
    f.SetAccess(std::make_unique<ComData>(256));
    f.ExecuteCommand(kpd::CmdZeroPosition);
    f.ExecuteCommand(kpd::CmdCenterIndex);
    f.ExecuteCommand(kpd::CmdShowInfo);
    f.ExecuteCommand(kpd::CmdWriteOutputSettings);
    EXPECT_EQ(failures, 4);
    EXPECT_TRUE(dc.calls.empty());
    EXPECT_FALSE(f.Access()->ZeroRequest);

    // Commands whose link results are ignored restart monitoring anyway.
    f.ExecuteCommand(kpd::CmdStartCalibration);
    f.ExecuteCommand(kpd::CmdStopAlignment);
    EXPECT_EQ(failures, 4);
    EXPECT_EQ(dc.calls.size(), 2u);
}

TEST(MainWindowScheduler, StepBackLeavesTheModeStoppedAfterApplyingStateTwo) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    RecordingDataControl dc;
    f.dataControl = &dc;
    f.DisplayMode = 1;
    f.ExecuteCommand(kpd::CmdStepBack);
    ASSERT_EQ(dc.calls.size(), 1u);
    EXPECT_EQ(dc.calls[0], std::make_pair(1, 2));
    EXPECT_EQ(f.DataState[1], 0);
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
}

TEST(MainWindowScheduler, ShowStatusGivesUpWhenTheMonitorCannotStart) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.SetAccess(std::make_unique<ComData>(256));
    struct Refusing : kpd::DataControl {
        ComData *a;
        std::vector<std::pair<int, int>> calls;
        void SetDataControl(int set, int command) override {
            calls.emplace_back(set, command);
            if (set == 0 && command == 1) a->RestartPending = true;
        }
    } dc;
    dc.a = f.Access();
    f.dataControl = &dc;
    f.PreviousDisplayMode = 3;
    f.DisplayMode = 0;
    f.ExecuteCommand(kpd::CmdShowStatus);
    EXPECT_EQ(f.DisplayMode, 3);
    ASSERT_EQ(dc.calls.size(), 2u);
    EXPECT_EQ(dc.calls[1].first, 3);
    EXPECT_EQ(h.waits, std::vector<int>{200});
}
