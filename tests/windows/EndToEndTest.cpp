// The whole status display against simulated electronics in this process: the real main window, its status
// monitor thread, the command scheduler and the scripted dialogs. Live samples reach the position and time
// texts; a zero request; the link-failure box and its three answers; Stop, Back and View replaying the
// recording; a save and load of the status data through the scheduler.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "senslink.h"
#include "workers/StatusMonitor.h"

#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

using platform::MessageButtons;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

constexpr int kPort = 3;
const char *const kLinkFailureText =
    "Error communicating with Electronics. Please check connections and click 'Yes' to try reconnecting on "
    "current COM port, click 'All' to restart data collection and search all COM ports, or 'NO' to resume "
    "using the program in Demo Mode";

// Scripted answers, with an action run just before each message box is answered (index = how many boxes
// were asked before this one): lets a test change the electronics or look at the window while the box is up.
class ActingDialogs : public ScriptedDialogs {
public:
    std::function<void(int index)> beforeAnswer;
    platform::MessageResult Message(platform::MessageKind kind, std::string_view text,
                                    platform::MessageButtons buttons,
                                    std::string_view caption = {}) override {
        if (beforeAnswer) beforeAnswer(asked_);
        ++asked_;
        return ScriptedDialogs::Message(kind, text, buttons, caption);
    }

private:
    int asked_ = 0;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        kpdsim::SimOptions o;
        o.pacing = false;
        o.speed = 0.0; // the head stands still: positions are exact
        sim = std::make_unique<kpdsim::Simulator>(o);
        ASSERT_TRUE(sim->start(apptest::PortDir(), kPort)) << sim->lastError();
        h = std::make_unique<apptest::Harness>();
    }
    void TearDown() override {
        if (h) apptest::Disconnect(*h->form);
        h.reset();
        ClosePort(kPort);
        sim.reset();
    }
    TMainForm &Form() { return *h->form; }
    uint64_t Samples() { return Form().session().Status().Monitor().Stats().samples.load(); }
    // Waits until `more` further live samples have been shown.
    bool MoreSamples(uint64_t more, int timeoutMs = 5000) {
        const uint64_t target = Samples() + more;
        return apptest::WaitUntil([&] { return Samples() >= target; }, timeoutMs);
    }
    bool Idle(int timeoutMs = 15000) {
        return apptest::WaitUntil(
            [&] {
                kpd::Session &s = Form().session();
                return !s.ReadWriteTimer()->isActive() && !s.WorkerExists() && !s.PortHeld();
            },
            timeoutMs);
    }
    // Search, live monitoring started and the first samples shown.
    void Connect() {
        Form().session().Search();
        ASSERT_TRUE(Form().session().Access() && Form().session().Access()->PortOpen());
        ASSERT_TRUE(MoreSamples(3)) << "no live status samples";
    }
    // The electronics go silent; waits until the monitor has ended after its two failed steps and the
    // failure box has been answered.
    void LoseTheLink(ActingDialogs &d, int boxes = 1) {
        sim->setSilent(true);
        ASSERT_TRUE(apptest::WaitUntil([&] { return int(d.Messages().size()) >= boxes; }, 20000));
    }

    std::unique_ptr<kpdsim::Simulator> sim;
    std::unique_ptr<apptest::Harness> h;
    ActingDialogs dialogs;
};

} // namespace

TEST_F(EndToEnd, LiveSamplesShowPositionAndTimeAndAZeroRequestMakesTheNextPositionZero) {
    ScopedDialogs scope(dialogs);
    Connect();
    TMainForm &f = Form();
    // Move the head so that the electronics' position counter reads 5000.
    const int64_t zeroAt = sim->position() - sim->positionCount();
    sim->setPosition(zeroAt + 5000);
    ASSERT_EQ(sim->positionCount(), 5000);
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.EncoderPositionText->text() == "5,000"; }, 3000))
        << f.EncoderPositionText->text().toStdString();
    const QString t0 = f.TimeText2->text();
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.TimeText2->text() != t0; }, 5000));
    EXPECT_EQ(f.windowTitle(), "Live Data");

    f.ResetPositionButton->click();
    EXPECT_TRUE(f.session().Access()->ZeroRequest);
    ASSERT_TRUE(
        apptest::WaitUntil([&] { return !f.session().Access()->ZeroRequest; }, 3000)); // taken by the monitor
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.EncoderPositionText->text() == "0"; }, 3000))
        << f.EncoderPositionText->text().toStdString();
    // Later positions are relative to the zeroed one.
    sim->setPosition(zeroAt + 5123);
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.EncoderPositionText->text() == "123"; }, 3000))
        << f.EncoderPositionText->text().toStdString();
    sim->setPosition(zeroAt + 4000);
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.EncoderPositionText->text() == "-1,000"; }, 3000))
        << f.EncoderPositionText->text().toStdString();
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(EndToEnd, SilentElectronicsShowTheFailureBoxOnceAndNoEntersDemoMode) {
    dialogs.Answer(MessageResult::No);
    ScopedDialogs scope(dialogs);
    Connect();
    TMainForm &f = Form();
    LoseTheLink(dialogs);
    // Nothing more is asked afterwards.
    apptest::WaitUntil([] { return false; }, 300);
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].buttons, MessageButtons::YesNoAll);
    EXPECT_EQ(messages[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(messages[0].text, kLinkFailureText);
    EXPECT_TRUE(f.session().Demo());
    EXPECT_EQ(f.windowTitle(), "Demo Mode");
    EXPECT_FALSE(f.session().Access()->PortOpen());
    EXPECT_FALSE(f.session().Access()->ThreadRunning);
    EXPECT_FALSE(f.AcquireButton->isEnabled());
    EXPECT_TRUE(f.Menu().Enabled("SearchForElectronics1"));
    // The stop burst went out before the box (the electronics were silent, so it was only received).
    EXPECT_TRUE(dialogs.Errors().empty());
}

TEST_F(EndToEnd, YesAfterTheElectronicsReturnReconnectsAndMonitoringResumes) {
    dialogs.Answer(MessageResult::Yes);
    dialogs.beforeAnswer = [&](int) { sim->setSilent(false); }; // plugged in again while the box is up
    ScopedDialogs scope(dialogs);
    Connect();
    TMainForm &f = Form();
    LoseTheLink(dialogs);
    ASSERT_TRUE(MoreSamples(5, 8000)) << "monitoring did not resume";
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_FALSE(f.session().Demo());
    EXPECT_TRUE(f.session().Access()->PortOpen());
    EXPECT_EQ(f.session().Access()->PortNumber(), kPort);
    EXPECT_EQ(f.windowTitle(), "Live Data");
    EXPECT_EQ(f.Startup->Label1->text(), "KPD Digital Sensor Electronics Found on COM3");
    EXPECT_FALSE(f.Startup->isVisible());
    EXPECT_EQ(h->waits.back(), 1000); // the found message stayed 1000 ms
    EXPECT_TRUE(f.AcquireButton->isEnabled());
}

TEST_F(EndToEnd, YesWhileStillSilentAsksAgainAfterHidingTheStartupWindow) {
    dialogs.Answer(MessageResult::Yes).Answer(MessageResult::No);
    bool startupHidden = false;
    QString label;
    dialogs.beforeAnswer = [&](int index) {
        if (index == 1) {
            startupHidden = !Form().Startup->isVisible();
            label = Form().Startup->Label1->text();
        }
    };
    ScopedDialogs scope(dialogs);
    Connect();
    TMainForm &f = Form();
    LoseTheLink(dialogs, 2);
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, kLinkFailureText);
    EXPECT_TRUE(startupHidden);
    EXPECT_EQ(label, "Trying to Communicate with Electronics...");
    EXPECT_TRUE(f.session().Demo()); // the second answer was No
    EXPECT_FALSE(f.session().Access()->PortOpen());
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(EndToEnd, AllClosesThePortAndArmsTheRestartTimer) {
    dialogs.Answer(MessageResult::All);
    ScopedDialogs scope(dialogs);
    Connect();
    TMainForm &f = Form();
    LoseTheLink(dialogs);
    EXPECT_TRUE(f.session().RestartTimer()->isActive());
    EXPECT_EQ(f.session().RestartTimer()->interval(), 300);
    f.session().RestartTimer()->stop(); // the full search itself is the search test's business
    EXPECT_FALSE(f.session().Access()->PortOpen());
    EXPECT_FALSE(f.session().Demo());
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(EndToEnd, AFailureBoxClosedWithoutAButtonIsAskedAgain) {
    dialogs.Answer(MessageResult::Closed).Answer(MessageResult::No);
    ScopedDialogs scope(dialogs);
    Connect();
    LoseTheLink(dialogs, 2);
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[1].text, kLinkFailureText);
    EXPECT_TRUE(Form().session().Demo());
}

TEST_F(EndToEnd, StopBackViewReplaysTheRecordingAndEndsStopped) {
    ScopedDialogs scope(dialogs);
    Connect();
    TMainForm &f = Form();
    ASSERT_TRUE(MoreSamples(200));

    f.StopButton->click();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
    EXPECT_EQ(f.session().StateOf(kpd::DisplayMode::Status), kpd::DataState::Stopped);
    const uint64_t recorded = Samples();

    f.ReviewButton->click();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(f.session().StateOf(kpd::DisplayMode::Status), kpd::DataState::Stopped);
    const int window = f.session().Data().SetupStatus().reviewCount.load();
    EXPECT_EQ(uint64_t(window), recorded); // less than 10 s recorded: the whole ring
    EXPECT_EQ(f.TimeText2->text(), "0.0");

    const uint64_t replayedBefore = f.session().Status().Monitor().Stats().replayed.load();
    f.FastButton->click();
    EXPECT_EQ(f.session().StateOf(kpd::DisplayMode::Status), kpd::DataState::Viewing);
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.windowTitle() == "Viewing Buffered Data"; }, 3000));
    // The replay ends by itself and performs the Stop action.
    ASSERT_TRUE(apptest::WaitUntil(
        [&] { return f.windowTitle() == "Data Display Stopped" && !f.session().Access()->ThreadRunning; },
        15000));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(f.session().StateOf(kpd::DisplayMode::Status), kpd::DataState::Stopped);
    EXPECT_EQ(f.session().Status().Monitor().Stats().replayed.load() - replayedBefore, uint64_t(window));
    EXPECT_EQ(Samples(), recorded); // nothing live meanwhile
    EXPECT_TRUE(dialogs.Questions().empty());

    // Acquire goes live again and continues the ring.
    f.AcquireButton->click();
    EXPECT_TRUE(MoreSamples(3));
    EXPECT_EQ(f.windowTitle(), "Live Data");
}

TEST_F(EndToEnd, SaveAndLoadOfTheStatusDataRoundTripThroughTheScheduler) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = (dir.path() + "/run.man").toStdString();
    dialogs.AnswerFile(file).AnswerFile(file).Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    Connect();
    TMainForm &f = Form();
    ASSERT_TRUE(MoreSamples(50));
    f.StopButton->click();
    ASSERT_TRUE(Idle());
    // A saved file holds every buffered record but the oldest.
    const int recorded = f.session().Data().SetupStatus().count.load() - 1;

    f.Menu().Item("StatusandSetup1")->trigger();
    ASSERT_TRUE(Idle());
    ASSERT_TRUE(QFile::exists(QString::fromStdString(file)));
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::Status);
    EXPECT_EQ(f.session().StateOf(kpd::DisplayMode::Status),
              kpd::DataState::Stopped); // still stopped: the save does not restart monitoring

    f.session().Data().ClearDataSet(0);
    ASSERT_EQ(f.session().Data().SetupStatus().count.load(), 0);
    f.Menu().Item("Loaddata1")->trigger();
    ASSERT_TRUE(Idle());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Setup and Status Data successfully loaded");
    EXPECT_EQ(f.session().Data().SetupStatus().count.load(), recorded);
    EXPECT_EQ(f.session().StateOf(kpd::DisplayMode::Status), kpd::DataState::Stopped);
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
    EXPECT_TRUE(dialogs.Done());

    // The loaded data replays: Back selects it, View shows it and ends stopped.
    f.ReviewButton->click();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(f.session().Data().SetupStatus().reviewCount.load(), recorded);
    f.FastButton->click();
    ASSERT_TRUE(apptest::WaitUntil(
        [&] {
            return f.session().StateOf(kpd::DisplayMode::Status) == kpd::DataState::Stopped &&
                   !f.session().Access()->ThreadRunning && !f.session().ReadWriteTimer()->isActive();
        },
        15000));
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
}
