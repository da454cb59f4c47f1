// The electronics settings commands through the session against simulated electronics: the two GenReg1
// writes of the output settings (the electronics' register and the words on the line), the selection read
// when the command runs, a failed first write that skips the second; index centring; the hardware zero;
// the software position reset, which changes only the displayed position and sends nothing in any mode.
// Also run under the sanitizers.
#include "RecordingView.h"

#include "access/RegisterMap.h"
#include "platform/ScriptedDialogs.h"
#include "session/OutputSettings.h"
#include "session/Session.h"
#include "session/StatusController.h"
#include "workers/SignalEvaluation.h"
#include "workers/StatusMonitor.h"

#include <EventLoopWait.h>
#include <SimulatorPortDir.h>
#include <kpdsim/Simulator.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using kpd::DataState;
using kpd::DisplayMode;
using kpd::OutputSelection;
using platform::MessageResult;

bool WaitFor(const std::function<bool()> &pred, int ms = 15000) {
    return kpdtest::WaitUntil(pred, ms);
}

// Serves events for a while (workers' hand-overs and timers run meanwhile).
void Serve(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class SettingsCommands : public ::testing::Test {
protected:
    static constexpr int kPort = 15;
    static constexpr int64_t kStart = 5000; // head position at power-on: the counter reads 0 there

    static kpdsim::SimOptions Options() {
        kpdsim::SimOptions o;
        o.pacing = false;
        o.speed = 0.0;
        o.startPosition = kStart;
        o.requestLog = true;
        return o;
    }
    void SetUp() override {
        ASSERT_TRUE(install.isValid());
        ASSERT_TRUE(sim.start(kpdtest::SimulatorPortDir(), kPort)) << sim.lastError();
        session.waitMs = [](int) {};
        session.Config().resolutionMultiplier = 1.0f;
        session.Config().digits = 0;
    }
    void TearDown() override {
        if (ComData *a = session.Access()) a->StopRequest = true;
        WaitFor([&] { return !session.WorkerExists() && !session.PortHeld(); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ComData *a = session.Access()) a->ClosePortIfOpen();
        sim.stop();
    }
    // Connects with every display mode stopped: no worker talks to the electronics.
    void ConnectStopped() {
        for (DisplayMode m : {DisplayMode::Status, DisplayMode::EncoderSignal, DisplayMode::SignalStrength,
                              DisplayMode::SignalPlots})
            session.States().Set(m, DataState::Stopped);
        session.Search();
        ASSERT_NE(session.Access(), nullptr);
        ASSERT_EQ(session.Access()->PortNumber(), kPort);
        ASSERT_FALSE(session.WorkerExists());
    }
    // Connects with live monitoring and waits for its first samples.
    void ConnectLive() {
        session.Search();
        ASSERT_NE(session.Access(), nullptr);
        ASSERT_TRUE(WaitFor([&] { return view.samples.size() >= 3; })) << "no live status samples";
    }
    // Runs the command queued by the last action and waits until it is done and no port step is open.
    void RunQueued() {
        ASSERT_TRUE(session.Scheduler().Armed());
        ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed() && !session.PortHeld(); }));
    }
    // The address words the electronics received in register writes since the log was last cleared.
    std::vector<uint32_t> Writes() const {
        std::vector<uint32_t> w;
        for (const kpdsim::LogEntry &e : sim.requestLog())
            if (e.isRegisterWrite()) w.push_back(e.address);
        return w;
    }
    // The position shown by the latest status sample, as a number.
    long ShownPosition() const {
        std::string t = view.samples.back().second;
        t.erase(std::remove(t.begin(), t.end(), ','), t.end());
        return std::stol(t);
    }
    bool WaitShownPosition(long value) {
        return WaitFor([&] { return !view.samples.empty() && ShownPosition() == value; });
    }
    void WriteOutputs(uint16_t copy, OutputSelection choice) {
        session.SetGenReg1Copy(copy);
        view.outputChoice = choice;
        sim.clearRequestLog();
        session.WriteOutputSettings();
        RunQueued();
    }

    QTemporaryDir install;
    kpdsim::Simulator sim{Options()};
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope{dialogs};
    sessiontest::RecordingView view;
    kpd::Session session{view, install.path().toStdString()};
};

struct OutputCase {
    uint16_t copy;
    OutputSelection choice;
    uint32_t first, second;
    uint16_t reg; // GenReg1 in the electronics afterwards
};

class OutputSettingsWrites : public SettingsCommands, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputSettingsWrites, BothWordsReachTheElectronicsAndTheCopyFollows) {
    const OutputCase c = GetParam();
    ConnectStopped();
    WriteOutputs(c.copy, c.choice);
    EXPECT_EQ(Writes(), (std::vector<uint32_t>{c.first, c.second}));
    EXPECT_EQ(sim.reg(reg::GenReg1), c.reg);
    EXPECT_TRUE(dialogs.Questions().empty());
    // The status monitor reads the register again and the copy follows.
    session.Acquire();
    ASSERT_TRUE(WaitFor([&] { return view.samples.size() >= 2; }));
    EXPECT_EQ(session.GenReg1Copy(), c.reg);
    EXPECT_EQ(kpd::PreselectOutputs(session.GenReg1Copy()).polarity, c.choice.polarity);
    EXPECT_EQ(kpd::PreselectOutputs(session.GenReg1Copy()).enable, c.choice.enable);
    EXPECT_EQ(kpd::PreselectOutputs(session.GenReg1Copy()).indexType, c.choice.indexType);
}

// The three examples: OK pressed on the preselection of 0x0000 and of 0x0013; 0x004C with "Active Low",
// "Enabled", "Index Window" (bit 3 kept in the first write, cleared in the second).
INSTANTIATE_TEST_SUITE_P(
    Examples, OutputSettingsWrites,
    ::testing::Values(OutputCase{0x0000, kpd::PreselectOutputs(0x0000), 0x00020020, 0x10020020, 0x0020},
                      OutputCase{0x0013, kpd::PreselectOutputs(0x0013), 0x00020093, 0x10020093, 0x0093},
                      OutputCase{0x004C, OutputSelection{0, 0, 0}, 0x0002005C, 0x10020054, 0x0054}));

TEST_F(SettingsCommands, TheSelectionIsTakenAtOkAndTheCopyWhenTheCommandRuns) {
    ConnectStopped();
    session.SetGenReg1Copy(0x0000);
    view.outputChoice = kpd::PreselectOutputs(0x0000);
    sim.clearRequestLog();
    session.WriteOutputSettings();
    // Changed after OK but before the tick: the dialog's new state is not written, the copy's kept bits are.
    session.SetGenReg1Copy(0x0044);
    view.outputChoice = OutputSelection{1, 1, 0};
    RunQueued();
    EXPECT_EQ(Writes(), (std::vector<uint32_t>{0x00020064, 0x10020064}));
    EXPECT_EQ(sim.reg(reg::GenReg1), 0x0064);
}

TEST_F(SettingsCommands, TheWriteWaitsForTheMonitorAndMonitoringResumes) {
    ConnectLive();
    const auto samplesBefore = view.samples.size();
    WriteOutputs(session.GenReg1Copy(), OutputSelection{1, 0, 0});
    EXPECT_EQ(Writes(), (std::vector<uint32_t>{0x00020011, 0x10020011}));
    ASSERT_TRUE(
        WaitFor([&] { return view.samples.size() > samplesBefore + 2 && session.GenReg1Copy() == 0x11; }));
    EXPECT_TRUE(session.Status().WorkerActive());
}

TEST_F(SettingsCommands, AFailedFirstWriteSkipsTheSecondAndEndsInTheLinkFailureDecision) {
    ConnectStopped();
    const uint16_t before = sim.reg(reg::GenReg1);
    dialogs.Answer(MessageResult::No); // the link-failure question: go on in demo mode
    sim.setSilent(true);
    WriteOutputs(0x0000, OutputSelection{1, 1, 0});
    ASSERT_TRUE(dialogs.Done());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text.rfind("Error communicating with Electronics.", 0), 0u);
    EXPECT_TRUE(session.Demo());
    // Only the first write's thirteen handshake attempts went out; nothing was written.
    EXPECT_TRUE(Writes().empty());
    uint32_t received = 0, syncBytes = 0;
    for (const kpdsim::LogEntry &e : sim.requestLog()) {
        if (e.kind != kpdsim::LogKind::Ignored) continue;
        received += e.count;
        syncBytes += static_cast<uint32_t>(std::count(e.bytes.begin(), e.bytes.end(), 0x80));
    }
    EXPECT_EQ(received, 13u) << kpdsim::formatLog(sim.requestLog());
    EXPECT_EQ(syncBytes, 13u);
    sim.setSilent(false);
    EXPECT_EQ(sim.reg(reg::GenReg1), before);
}

TEST_F(SettingsCommands, IndexCentringWritesItsCommandAndRestartsTheIndexHold) {
    ConnectStopped();
    // A lit index lamp one sample into its hold.
    session.Status().UpdateStatusDisplay(0, 150.0f, 0x0001, 0, 0.0f, false, false);
    session.Status().UpdateStatusDisplay(0, 150.0f, 0x0000, 0, 0.1f, false, false);
    ASSERT_EQ(session.Status().Evaluation().IndexHoldCounter(), 1);
    const uint16_t pos = sim.reg(reg::IndexPosEdge), neg = sim.reg(reg::IndexNegEdge);
    ASSERT_NE(pos + neg, 0x100); // not yet centred
    dialogs.Answer(MessageResult::Ok);
    sim.clearRequestLog();
    session.CenterIndex();
    RunQueued();
    EXPECT_EQ(Writes(), (std::vector<uint32_t>{reg::address(reg::Command, 0x0014)}));
    EXPECT_EQ(sim.reg(reg::IndexPosEdge) + sim.reg(reg::IndexNegEdge), 0x100); // centred on 0x80
    EXPECT_EQ(sim.reg(reg::IndexNegEdge) - sim.reg(reg::IndexPosEdge), neg - pos);
    EXPECT_EQ(session.Status().Evaluation().IndexHoldCounter(), 0);
    EXPECT_EQ(dialogs.Messages().size(), 1u); // the warning only
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(SettingsCommands, HardwareZeroZeroesTheCounterAndTheDisplayFollows) {
    ConnectLive();
    sim.setPosition(kStart + 4000);
    ASSERT_TRUE(WaitShownPosition(4000));
    const int restarts = view.plotRestarts;
    dialogs.Answer(MessageResult::Ok);
    sim.clearRequestLog();
    session.ZeroPosition();
    RunQueued();
    const std::vector<uint32_t> zero{reg::address(reg::Command, reg::CmdZero1),
                                     reg::address(reg::Command, reg::CmdZero2)};
    const std::vector<uint32_t> writes = Writes();
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(std::vector<uint32_t>(writes.begin(), writes.begin() + 2), zero);
    EXPECT_EQ(sim.positionCount(), 0);
    EXPECT_EQ(view.plotRestarts, restarts + 1);
    ASSERT_TRUE(WaitShownPosition(0));
    sim.setPosition(kStart + 4000 + 1234);
    ASSERT_TRUE(WaitShownPosition(1234));
    EXPECT_EQ(sim.positionCount(), 1234);
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(SettingsCommands, CancelledZeroSendsNothing) {
    ConnectStopped();
    dialogs.Answer(MessageResult::Cancel);
    dialogs.Answer(MessageResult::Cancel);
    sim.clearRequestLog();
    session.ZeroPosition();
    session.CenterIndex();
    Serve(700);
    EXPECT_FALSE(session.Scheduler().Armed());
    EXPECT_TRUE(sim.requestLog().empty());
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(SettingsCommands, PositionResetSendsNothingInAnyModeAndOnlyTheDisplayMoves) {
    ConnectStopped();
    sim.setPosition(kStart + 700);
    const DisplayMode modes[] = {DisplayMode::Status, DisplayMode::EncoderSignal, DisplayMode::SignalStrength,
                                 DisplayMode::SignalPlots};
    for (DisplayMode mode : modes) {
        SCOPED_TRACE(kpd::Index(mode));
        if (mode != DisplayMode::Status) {
            session.ShowPlotMode(mode, kpd::CmdShowEncoderSignal + kpd::Index(mode) - 1);
            RunQueued();
            ASSERT_EQ(session.Mode(), mode);
            ASSERT_FALSE(session.WorkerExists());
        }
        session.Access()->ZeroRequest = false;
        sim.clearRequestLog();
        const uint64_t answered = sim.requestsAnswered(), syncs = sim.syncsAnswered(),
                       received = sim.bytesReceived();
        const int restarts = view.plotRestarts;
        session.ResetPosition();
        Serve(100);
        EXPECT_TRUE(sim.requestLog().empty()) << kpdsim::formatLog(sim.requestLog());
        EXPECT_EQ(sim.requestsAnswered(), answered);
        EXPECT_EQ(sim.syncsAnswered(), syncs);
        EXPECT_EQ(sim.bytesReceived(), received);
        EXPECT_TRUE(session.Access()->ZeroRequest);
        EXPECT_EQ(view.plotRestarts, restarts + 1);
        EXPECT_FALSE(session.Scheduler().Armed());
    }
    EXPECT_EQ(sim.positionCount(), 700); // the electronics' counter is not changed

    // Back in the status display, monitoring takes the next position as zero.
    session.SwitchDisplayMode(DisplayMode::Status, kpd::CmdShowStatus, true);
    RunQueued();
    ASSERT_EQ(session.Mode(), DisplayMode::Status);
    session.Acquire();
    ASSERT_TRUE(WaitShownPosition(0));
    sim.setPosition(kStart + 700 + 55);
    ASSERT_TRUE(WaitShownPosition(55));
    EXPECT_EQ(sim.positionCount(), 755);
    EXPECT_TRUE(dialogs.Questions().empty());
}

} // namespace
