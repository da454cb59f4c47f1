// The serial port has one owner at a time: while the link-failure decision is open, or a search, a
// reconnect or the shutdown close runs, no scheduler command runs and no worker starts; during shutdown no
// link-failure question is asked; the recordings outlive the access object that a search replaces.
// Against simulated electronics on a pseudo-terminal (also run under the sanitizers).
#include "RecordingView.h"

#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/Session.h"
#include "session/StatusController.h"

#include <SimulatorPortDir.h>
#include <kpdsim/Simulator.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;
using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

bool WaitFor(const std::function<bool()> &pred, std::chrono::milliseconds bound = 15000ms) {
    platform::WaitWhile([&] { return !pred(); }, bound, 2ms);
    return pred();
}

// Answers the link-failure question like a user who takes their time: while the box is open the event
// loop keeps running (timers fire), and `whileOpen` runs first, as a click elsewhere would.
class SlowAnswerer : public platform::ScriptedDialogs {
public:
    MessageResult Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                          std::string_view caption) override {
        if (buttons != MessageButtons::YesNoAll)
            return platform::ScriptedDialogs::Message(kind, text, buttons, caption);
        ++asked;
        if (whileOpen) whileOpen();
        QElapsedTimerLoop(openMs);
        return answer;
    }
    static void QElapsedTimerLoop(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    int asked = 0;
    int openMs = 600;
    MessageResult answer = MessageResult::All;
    std::function<void()> whileOpen;
};

kpdsim::SimOptions Options() {
    kpdsim::SimOptions o;
    o.pacing = false;
    o.speed = 0.0;
    return o;
}

class PortOwnership : public ::testing::Test {
protected:
    static constexpr int kPort = 7;

    void SetUp() override {
        ASSERT_TRUE(install.isValid());
        ASSERT_TRUE(sim.start(kpdtest::SimulatorPortDir(), kPort)) << sim.lastError();
        session.waitMs = [](int) {};
    }
    void TearDown() override {
        if (ComData *a = session.Access()) a->StopRequest = true;
        WaitFor([&] { return !session.WorkerExists(); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ComData *a = session.Access()) a->ClosePortIfOpen();
        sim.stop();
    }
    void SearchAndMonitor() {
        session.Search();
        ASSERT_NE(session.Access(), nullptr);
        ASSERT_EQ(session.Access()->PortNumber(), kPort);
        ASSERT_TRUE(WaitFor([&] { return view.samples.size() >= 3; }));
    }

    QTemporaryDir install;
    kpdsim::Simulator sim{Options()};
    SlowAnswerer dialogs;
    platform::ScopedDialogs scope{dialogs};
    sessiontest::RecordingView view;
    kpd::Session session{view, install.path().toStdString()};
};

TEST_F(PortOwnership, NothingReachesThePortWhileTheLinkFailureQuestionIsOpenAndAllSearchesAgain) {
    SearchAndMonitor();
    const int32_t recorded = session.Data().SetupStatus().count.load();
    ASSERT_GT(recorded, 0);

    bool workerDuringQuestion = false;
    bool commandRanDuringQuestion = false;
    dialogs.whileOpen = [&] {
        // A command queued now (the user clicks while the box is open) must wait for the decision.
        session.QueueCommand(kpd::CmdStopData, 100, false);
        const auto end = std::chrono::steady_clock::now() + 500ms;
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            workerDuringQuestion = workerDuringQuestion || session.WorkerExists();
            commandRanDuringQuestion = commandRanDuringQuestion || !session.Scheduler().Armed();
        }
    };
    sim.setSilent(true);
    ASSERT_TRUE(WaitFor([&] { return dialogs.asked == 1; }));
    EXPECT_FALSE(workerDuringQuestion);
    EXPECT_FALSE(commandRanDuringQuestion);
    sim.setSilent(false);

    // "All": a new search 300 ms later finds the electronics again and monitoring resumes; the samples
    // recorded before the failure are still there.
    const std::size_t before = view.samples.size();
    ASSERT_TRUE(WaitFor([&] { return view.samples.size() >= before + 3; }));
    EXPECT_EQ(dialogs.asked, 1);
    // The worker publishes the count after the hand-over that showed the sample, so it may trail the
    // view by one sample for a moment.
    EXPECT_TRUE(WaitFor([&] { return session.Data().SetupStatus().count.load() >= recorded + 3; }))
        << "count " << session.Data().SetupStatus().count.load() << ", recorded before " << recorded;
    EXPECT_FALSE(session.Demo());
}

TEST_F(PortOwnership, YesReconnectsOnlyAfterTheWorkerHasEndedAndMonitoringResumes) {
    SearchAndMonitor();
    dialogs.answer = MessageResult::Yes;
    bool workerDuringQuestion = false;
    dialogs.whileOpen = [&] {
        session.Acquire(); // the live state is applied at once: it must not start a worker now
        workerDuringQuestion = session.WorkerExists();
        sim.setSilent(false);
    };
    sim.setSilent(true);
    ASSERT_TRUE(WaitFor([&] { return dialogs.asked == 1; }));
    EXPECT_FALSE(workerDuringQuestion);
    const std::size_t before = view.samples.size();
    ASSERT_TRUE(WaitFor([&] { return view.samples.size() >= before + 3; }));
    EXPECT_EQ(dialogs.asked, 1);
}

TEST_F(PortOwnership, NoLinkFailureQuestionDuringShutdown) {
    SearchAndMonitor();
    sim.setSilent(true); // the running worker now ends in a link failure
    session.ShutDownNow();
    ASSERT_TRUE(WaitFor([&] { return view.terminations > 0; }, 20000ms));
    WaitFor([] { return false; }, 400ms); // anything posted by the worker's end has run
    EXPECT_EQ(dialogs.asked, 0);
    EXPECT_FALSE(session.RestartTimer()->isActive());
    EXPECT_EQ(session.Access(), nullptr);
}

} // namespace
