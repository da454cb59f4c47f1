// The engineering display's read-all worker through the session, against simulated electronics on a
// pseudo-terminal: a pass shows the simulator's registers in their formats, a write entered in the display
// reaches the simulator's register and the next pass shows it, the AGC buttons and the equivalent write,
// a refused entry sends nothing, the error rule (one failed pass is retried, two failures in a row end the
// worker with the link-failure question, also with the electronics unplugged from the start), and leaving
// the display restarts the previous mode's worker. Also run under the sanitizers.
#include "RecordingView.h"

#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/EngineeringController.h"
#include "session/Session.h"
#include "session/StatusController.h"
#include "workers/ReadAllAcquisition.h"

#include <EventLoopWait.h>
#include <SimulatorPortDir.h>
#include <kpdsim/RequestLog.h>
#include <kpdsim/Simulator.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using kpd::DataState;
using kpd::DisplayMode;
using platform::MessageButtons;
using platform::MessageResult;

bool WaitFor(const std::function<bool()> &pred, std::chrono::milliseconds bound = 15000ms) {
    return kpdtest::WaitUntil(pred, static_cast<int>(bound.count()));
}

class ReadAll : public ::testing::Test {
protected:
    static constexpr int kPort = 11;

    static kpdsim::SimOptions Options() {
        kpdsim::SimOptions o;
        o.pacing = false;
        o.speed = 0.0;
        return o;
    }
    void SetUp() override {
        ASSERT_TRUE(install.isValid());
        ASSERT_TRUE(sim.start(kpdtest::SimulatorPortDir(), kPort)) << sim.lastError();
        session.waitMs = [](int) {};
        session.States().Set(DisplayMode::Status, DataState::Stopped);
        session.Search();
        ASSERT_NE(session.Access(), nullptr);
        ASSERT_EQ(session.Access()->PortNumber(), kPort);
        ASSERT_FALSE(session.Demo());
    }
    void TearDown() override {
        if (ComData *a = session.Access()) a->StopRequest = true;
        WaitFor([&] { return !session.WorkerExists() && !session.PortHeld(); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ComData *a = session.Access()) a->ClosePortIfOpen();
        sim.stop();
    }
    const kpd::ReadAllStats &Stats() { return session.Engineering().Acquisition().Stats(); }
    uint64_t Passes() { return Stats().passes.load(); }
    // F6, and wait until the read-all worker has shown a pass.
    void Enter() {
        session.ShowEngineering();
        ASSERT_TRUE(WaitFor(
            [&] { return session.Mode() == DisplayMode::Engineering && !session.Scheduler().Armed(); }));
        ASSERT_TRUE(WaitFor([&] { return session.Engineering().WorkerActive(); }));
        ASSERT_TRUE(WaitFor([&] { return Shown() && !Shown()->at(0).empty(); }));
    }
    // The texts the display shows now (null before the first call).
    const std::array<std::string, kpd::readall::SlotCount> *Shown() const {
        return view.engineeringValues.empty() ? nullptr : &view.engineeringValues.back();
    }
    // Waits until a pass that started after now has been shown: every update shows a newer pass, and the
    // first one may be the pass under way.
    bool NextPassShown() {
        const std::size_t shown = view.engineeringValues.size();
        return WaitFor([&] { return view.engineeringValues.size() >= shown + 2; });
    }
    // A scheduler command has run and the read-all worker reads again.
    bool CommandDoneAndReading() {
        return WaitFor([&] { return !session.Scheduler().Armed() && session.Engineering().WorkerActive(); });
    }

    QTemporaryDir install;
    kpdsim::Simulator sim{Options()};
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope{dialogs};
    sessiontest::RecordingView view;
    kpd::Session session{view, install.path().toStdString()};
};

TEST_F(ReadAll, APassShowsTheSimulatorsRegistersInTheirFormats) {
    sim.setPowerOnHours(0x00012345);
    sim.setPowerOnCycles(57);
    sim.setReg(0x00, 0xA1B2); // GenReg0
    sim.setReg(0x42, 0x0C03); // Status, pinned
    sim.setReg(0x93, 0x00FF); // IndexLowLimit
    Enter();
    ASSERT_TRUE(NextPassShown());
    const auto &t = *Shown();
    EXPECT_EQ(t[0], "A1B2");
    EXPECT_EQ(t[15], "1000"); // interpolation depth 4096
    EXPECT_EQ(t[18], "0062"); // firmware version
    EXPECT_EQ(t[27], "0C03");
    EXPECT_EQ(t[36], "1723"); // sensor type
    EXPECT_EQ(t[38], "00FF");
    EXPECT_EQ(t[39], "0105"); // processor version
    EXPECT_EQ(t[40], "00012345");
    EXPECT_EQ(t[41], "00000039");
    // Every register slot that the head does not move shows the simulator's register.
    const auto &table = kpd::readall::Slots();
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 30, 31, 34, 35}) {
        char want[8];
        std::snprintf(want, sizeof want, "%04X", sim.reg(table[static_cast<std::size_t>(i)].reg));
        EXPECT_EQ(t[static_cast<std::size_t>(i)], want) << "slot " << i;
    }
    EXPECT_EQ(Stats().failedReads.load(), 0u);
    EXPECT_TRUE(dialogs.Questions().empty());
}

// On the line, each slot is a receive purge, one handshake and one read, in slot order; nothing is written
// and no answer is left unread.
TEST_F(ReadAll, EachSlotIsAPurgeAHandshakeAndOneReadInSlotOrder) {
    ASSERT_TRUE(sim.purgesVisible());
    sim.clearRequestLog();
    sim.setRequestLog(true);
    Enter();
    const uint64_t passes = Passes();
    ASSERT_TRUE(WaitFor([&] { return Passes() >= passes + 2; }));
    session.Access()->StopRequest = true;
    ASSERT_TRUE(WaitFor([&] { return !session.WorkerExists(); }));
    const std::vector<kpdsim::LogEntry> log = sim.requestLog();

    kpdsim::Sequence pass;
    for (const kpd::readall::Slot &slot : kpd::readall::Slots()) {
        pass.purgeReceive().sync();
        switch (slot.source) {
        case kpd::readall::Source::Register:
            pass.read(slot.reg);
            break;
        case kpd::readall::Source::ProcessorValue:
            pass.command(0xA1, {0x00, 0x00, 0x02, 0x00});
            break;
        case kpd::readall::Source::PowerOnTime:
            pass.command(0x62, {0x00, 0x00, 0x04, 0x00});
            break;
        case kpd::readall::Source::PowerOnCycles:
            pass.command(0x63, {0x00, 0x00, 0x04, 0x00});
            break;
        }
    }
    const std::vector<std::string> lines = kpdsim::sequenceOf(log);
    const std::vector<std::string> &one = pass.lines();
    ASSERT_NE(std::search(lines.begin(), lines.end(), one.begin(), one.end()), lines.end())
        << kpdsim::formatLog(log);
    for (const kpdsim::LogEntry &e : log) {
        EXPECT_FALSE(e.isRegisterWrite()) << kpdsim::describe(e);
        if (e.kind != kpdsim::LogKind::Request && e.kind != kpdsim::LogKind::Sync) continue;
        EXPECT_TRUE(e.answered) << kpdsim::describe(e);
        EXPECT_LE(e.unreadBytes, 0) << kpdsim::describe(e) << ": sent with an earlier answer unread";
    }
}

TEST_F(ReadAll, AWriteEnteredInTheDisplayReachesTheRegisterAndTheNextPassShowsIt) {
    Enter();
    const uint64_t threadsBefore = Stats().threadsDone.load();
    sim.clearRequestLog();
    sim.setRequestLog(true);
    ASSERT_TRUE(session.EngineeringWrite("00060123")); // X Offset = 0x0123
    ASSERT_TRUE(CommandDoneAndReading());
    EXPECT_EQ(sim.reg(0x06), 0x0123);
    // The address word went out once, unchanged, after a purge and a handshake.
    const std::vector<std::string> lines = kpdsim::sequenceOf(sim.requestLog());
    const std::vector<std::string> write = kpdsim::Sequence().purgeReceive().sync().write(0x00060123).lines();
    EXPECT_NE(std::search(lines.begin(), lines.end(), write.begin(), write.end()), lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string &l) { return l.rfind("write", 0) == 0; }),
              1);
    EXPECT_EQ(Stats().threadsDone.load(), threadsBefore + 1); // stopped for the write, then restarted
    ASSERT_TRUE(WaitFor([&] { return Shown()->at(3) == "0123"; }));
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(ReadAll, TheAgcButtonsAndTheEquivalentWriteReachTheCommandRegister) {
    Enter();
    session.MainAgc(false);
    ASSERT_TRUE(CommandDoneAndReading());
    EXPECT_EQ(sim.reg(0x80), 0x0045);
    // With the AGC off the main drive stays at its static value.
    ASSERT_TRUE(NextPassShown());
    EXPECT_EQ(Shown()->at(28), Shown()->at(14));

    session.MainAgc(true);
    ASSERT_TRUE(CommandDoneAndReading());
    EXPECT_EQ(sim.reg(0x80), 0x0046);

    session.MainAgc(false);
    ASSERT_TRUE(CommandDoneAndReading());
    ASSERT_EQ(sim.reg(0x80), 0x0045);
    // 00800046 is the same command as the enable button.
    ASSERT_TRUE(session.EngineeringWrite("00800046"));
    ASSERT_TRUE(CommandDoneAndReading());
    EXPECT_EQ(sim.reg(0x80), 0x0046);
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(ReadAll, ARefusedEntrySendsNothingAndTheReaderGoesOn) {
    Enter();
    const uint16_t command = sim.reg(0x80);
    const uint16_t xOffset = sim.reg(0x06);
    sim.clearRequestLog();
    sim.setRequestLog(true);
    const uint64_t threadsBefore = Stats().threadsDone.load();
    dialogs.Answer(MessageResult::Ok).Answer(MessageResult::Ok);
    EXPECT_FALSE(session.EngineeringWrite("800046"));
    EXPECT_FALSE(session.EngineeringWrite("0006012G"));
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[0].text,
              "Invalid Address entered.  Make sure the address is 8 hex characters in length");
    EXPECT_FALSE(session.Scheduler().Armed());
    const uint64_t passes = Passes();
    ASSERT_TRUE(WaitFor([&] { return Passes() >= passes + 3; }));
    EXPECT_EQ(sim.reg(0x80), command);
    EXPECT_EQ(sim.reg(0x06), xOffset);
    for (const kpdsim::LogEntry &e : sim.requestLog())
        EXPECT_FALSE(e.isRegisterWrite()) << kpdsim::describe(e);
    EXPECT_EQ(Stats().threadsDone.load(), threadsBefore); // never stopped
    EXPECT_TRUE(session.Engineering().WorkerActive());
}

TEST_F(ReadAll, OneFailedPassIsRetriedFromTheFirstSlot) {
    Enter();
    sim.setSilent(true);
    // A failed slot waits for the port's time-out; the retry's resynchronisation is answered again.
    ASSERT_TRUE(WaitFor([&] { return Stats().failedReads.load() >= 1; }));
    sim.setSilent(false);
    const uint64_t passes = Passes();
    ASSERT_TRUE(WaitFor([&] { return Passes() >= passes + 3; }));
    EXPECT_EQ(Stats().failedReads.load(), 1u);
    EXPECT_EQ(Stats().linkFailures.load(), 0u);
    EXPECT_TRUE(session.Engineering().WorkerActive());
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(ReadAll, WithTheElectronicsUnpluggedTheReaderFailsTwiceAndTheLinkFailureIsAsked) {
    sim.setSilent(true);
    dialogs.Answer(MessageResult::No); // stay without electronics
    session.ShowEngineering();
    ASSERT_TRUE(WaitFor([&] { return !dialogs.Messages().empty(); }, 30000ms));
    // Slot 0 failed, the pass was retried once, and the worker ended before the question.
    EXPECT_EQ(Stats().failedReads.load(), 2u);
    EXPECT_EQ(Stats().passes.load(), 0u);
    EXPECT_EQ(Stats().linkFailures.load(), 1u);
    EXPECT_EQ(Stats().threadsDone.load(), 1u);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].buttons, MessageButtons::YesNoAll);
    ASSERT_TRUE(WaitFor([&] { return session.Demo() && !session.PortHeld(); }));
    EXPECT_FALSE(session.WorkerExists());
    EXPECT_EQ(view.demoModeEntered, 1);
}

// Answers the link-failure question with Yes once the electronics are plugged in again.
class PlugInAndReconnect : public platform::ScriptedDialogs {
public:
    explicit PlugInAndReconnect(kpdsim::Simulator &sim) : sim_(sim) {}
    MessageResult Message(platform::MessageKind kind, std::string_view text, MessageButtons buttons,
                          std::string_view caption) override {
        if (buttons != MessageButtons::YesNoAll)
            return platform::ScriptedDialogs::Message(kind, text, buttons, caption);
        ++asked;
        sim_.setSilent(false);
        return MessageResult::Yes;
    }
    int asked = 0;

private:
    kpdsim::Simulator &sim_;
};

TEST_F(ReadAll, ReconnectingAfterALinkFailureRestartsTheReader) {
    Enter();
    PlugInAndReconnect answers(sim);
    platform::ScopedDialogs answering(answers);
    sim.setSilent(true);
    ASSERT_TRUE(WaitFor([&] { return answers.asked == 1 && !session.PortHeld(); }, 30000ms));
    EXPECT_EQ(Stats().linkFailures.load(), 1u);
    EXPECT_FALSE(session.Demo());
    EXPECT_EQ(session.Mode(), DisplayMode::Engineering);
    const uint64_t passes = Passes();
    ASSERT_TRUE(WaitFor([&] { return session.Engineering().WorkerActive() && Passes() >= passes + 2; }));
    EXPECT_EQ(answers.asked, 1);
}

TEST_F(ReadAll, LeavingRestartsThePreviousModesWorker) {
    session.States().Set(DisplayMode::Status, DataState::Live);
    session.ApplyDataState();
    ASSERT_TRUE(WaitFor([&] { return session.Status().WorkerActive(); }));
    Enter();
    EXPECT_FALSE(session.Status().WorkerActive());
    const std::size_t interpolationShown = view.interpolation.size();

    session.LeaveEngineering();
    EXPECT_EQ(session.Mode(), DisplayMode::Status);
    ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed() && session.Status().WorkerActive(); }));
    EXPECT_FALSE(session.Engineering().WorkerActive());
    EXPECT_GT(view.interpolation.size(), interpolationShown); // the settings were read again
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(ReadAll, ShutdownWhileReadingEndsTheReaderWithoutAQuestion) {
    Enter();
    session.ShutDownNow();
    ASSERT_TRUE(WaitFor([&] { return view.terminations == 1; }));
    EXPECT_FALSE(session.WorkerExists());
    EXPECT_TRUE(dialogs.Questions().empty());
}

} // namespace
