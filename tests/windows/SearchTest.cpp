// The electronics search over COM1..COM256 against simulated electronics in this process.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "senslink.h"
#include "widgets/WaitCursor.h"
#include "windows/TInfoForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::MessageButtons;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

using apptest::RecordingDataControl;

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        // The status display starts stopped here, so a search starts no worker unless a test asks for
        // live monitoring; the status monitor itself is exercised by the monitor integration test.
        f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Stopped);
        f.session().SetPlotDataControl(&quiet);
    }
    void TearDown() override {
        // The library keeps a port open after its object is discarded; close it so the next simulator on
        // the same number is reached through a fresh open.
        apptest::Disconnect(f);
        ClosePort(3);
        sim.reset();
    }
    kpdsim::Simulator &StartSim(kpdsim::SimOptions o = {}) {
        o.pacing = false;
        sim = std::make_unique<kpdsim::Simulator>(o);
        EXPECT_TRUE(sim->start(apptest::PortDir(), 3)) << sim->lastError();
        return *sim;
    }
    bool MonitorRunning() { return f.session().Status().Monitor().WorkerActive(); }

    std::unique_ptr<kpdsim::Simulator> sim;
    RecordingDataControl quiet;
    apptest::Harness h;
    TMainForm &f = *h.form;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(SearchTest, FindsTheSensorAndStartsMonitoring) {
    StartSim();
    ScopedDialogs scope(dialogs);
    f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Live);
    f.session().Status().Evaluation().History().Insert("old line");
    f.session().Search();

    ASSERT_NE(f.session().Access(), nullptr);
    EXPECT_EQ(f.session().Access()->PortNumber(), 3);
    EXPECT_TRUE(f.session().Access()->PortOpen());
    EXPECT_EQ(f.session().Access()->BaudRate(), 38400);
    EXPECT_EQ(f.Startup->Label1->text(), "KPD Digital Sensor Electronics Found on COM3");
    EXPECT_EQ(f.Startup->windowTitle(), "Searching for Electronics...");
    EXPECT_FALSE(f.Startup->isVisible());
    EXPECT_FALSE(f.session().Demo());
    EXPECT_FALSE(f.session().RestartSearch());
    EXPECT_TRUE(f.session().Status().Evaluation().History().Snapshot().empty());
    EXPECT_EQ(f.session().Status().Evaluation().FirmwareVersion(), 0x0105);
    EXPECT_TRUE(f.LogoText4->isVisibleTo(&f));
    EXPECT_EQ(f.LogoText4->text(), "for KPD Digital Sensor 4096X");
    EXPECT_EQ(f.session().SensorTypeValue(), 0x1723);
    EXPECT_EQ(f.session().InterpolationCopy(), 4096);
    EXPECT_EQ(f.session().ProcessorVersion(), 0x0105);
    EXPECT_EQ(f.session().Config().generation, (0x0062 >> 5) & 7);
    EXPECT_EQ(f.InterpolationBox->text(), QString::number(f.session().Access()->InterpolationSetting() + 1));
    EXPECT_EQ(f.windowTitle(), "Live Data");
    // 1 s with the found message, then 1 s before the first (successful) information read.
    EXPECT_EQ(h.waits, (std::vector<int>{1000, 1000}));
    // The status monitor of display mode 0 was started live after the identification reads, and no
    // worker of the plot modes.
    EXPECT_TRUE(MonitorRunning());
    EXPECT_FALSE(f.session().PortHeld());
    EXPECT_TRUE(quiet.calls.empty());
    EXPECT_TRUE(
        apptest::WaitUntil([&] { return f.session().Status().Monitor().Stats().samples.load() > 0; }, 5000));
    // Connected window state.
    EXPECT_TRUE(f.Menu().Enabled("SoftwareSystemReset1"));
    EXPECT_FALSE(f.Menu().Enabled("HardwareReset1"));
    EXPECT_FALSE(f.Menu().Enabled("SearchForElectronics1"));
    EXPECT_TRUE(dialogs.Questions().empty());
    ASSERT_TRUE(apptest::StopWorkers(f));
    // The information read set bit 0 of Config on the electronics.
    EXPECT_EQ(sim->reg(0x82) & 1, 1);
}

TEST_F(SearchTest, ModelCodesGiveTheirFoundMessages) {
    kpdsim::SimOptions o;
    o.modelCode = 0;
    StartSim(o);
    ScopedDialogs scope(dialogs);
    f.session().Search();
    EXPECT_EQ(f.Startup->Label1->text(), "Brio Electronics Found on COM3");
    f.session().Access()->ClosePortIfOpen();
    sim->setModelCode(1);
    f.session().Search();
    EXPECT_EQ(f.Startup->Label1->text(), "Brio Electronics Found on COM3");
    f.session().Access()->ClosePortIfOpen();
    sim->setModelCode(5);
    f.session().Search();
    EXPECT_EQ(f.Startup->Label1->text(), "Elka/Fenn Electronics Found on COM3");
}

TEST_F(SearchTest, OtherSensorTypeIsUnknown) {
    kpdsim::SimOptions o;
    o.sensorType = 0x1623;
    StartSim(o);
    ScopedDialogs scope(dialogs);
    f.session().Search();
    EXPECT_EQ(f.LogoText4->text(), "unknown");
    EXPECT_FALSE(f.session().Demo());
}

TEST_F(SearchTest, RejectedProcessorVersionIsSkippedAndIgnoreEntersDemoMode) {
    kpdsim::SimOptions o;
    o.mspVersion = 0x0205; // bits 8..11 = 2
    StartSim(o);
    dialogs.Answer(MessageResult::Ignore);
    ScopedDialogs scope(dialogs);
    f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Live);
    f.session().Search();
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    const auto &q = messages[0];
    EXPECT_EQ(q.buttons, MessageButtons::RetryIgnore);
    EXPECT_EQ(q.text,
              "Cannot Detect Electronics. Please verify that electronics are connected to the computer and "
              "the power LED for the electronics is on.  Click 'retry' to atempt to connect to "
              "electronics or 'ignore' to start Demo Mode.");
    EXPECT_EQ(f.Startup->Label1->text(), "Polling COM256...");
    ASSERT_NE(f.session().Access(), nullptr);
    EXPECT_EQ(f.session().Access()->PortNumber(), 256);
    EXPECT_FALSE(f.session().Access()->PortOpen());
    EXPECT_TRUE(f.session().Demo());
    EXPECT_EQ(f.windowTitle(), "Demo Mode");
    EXPECT_FALSE(f.session().RestartTimer()->isActive());
    EXPECT_TRUE(f.Menu().Enabled("HardwareReset1"));
    EXPECT_TRUE(f.Menu().Enabled("SearchForElectronics1"));
    EXPECT_FALSE(f.Menu().Enabled("Tessalyversion1"));
    EXPECT_FALSE(f.CenterIndexButton->isEnabled());
    EXPECT_FALSE(f.session().WorkerExists()); // no worker in demo mode
    EXPECT_TRUE(quiet.calls.empty());
    EXPECT_TRUE(h.waits.empty());
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(SearchTest, NothingAttachedThenRetrySearchesAgain) {
    dialogs.Answer(MessageResult::Retry);
    ScopedDialogs scope(dialogs);
    f.session().Search();
    EXPECT_TRUE(f.session().RestartTimer()->isActive());
    EXPECT_EQ(f.session().RestartTimer()->interval(), 300);
    EXPECT_FALSE(f.session().Demo());
    EXPECT_EQ(f.session().Access()->PortNumber(), 256);

    // The electronics are switched on; the restart timer's tick searches again and finds them.
    StartSim();
    EXPECT_TRUE(
        apptest::WaitUntil([&] { return f.session().Access() && f.session().Access()->PortOpen(); }, 5000));
    EXPECT_FALSE(f.session().RestartTimer()->isActive());
    EXPECT_FALSE(f.session().RestartSearch()); // set by the tick, cleared by the successful search
    EXPECT_EQ(f.session().Access()->PortNumber(), 3);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(SearchTest, SearchMenuCommandRunsThroughTheScheduler) {
    StartSim();
    ScopedDialogs scope(dialogs);
    using kpd::DataState;
    using kpd::DisplayMode;
    kpd::DataStates &states = f.session().States();
    states.Set(DisplayMode::EncoderSignal, DataState::Viewing);
    states.Set(DisplayMode::SignalPlots, DataState::SteppingBack);
    f.session().RequestSearch(); // "Search For Electronics"
    for (DisplayMode m : {DisplayMode::Status, DisplayMode::EncoderSignal, DisplayMode::SignalStrength,
                          DisplayMode::SignalPlots})
        EXPECT_EQ(f.session().StateOf(m), DataState::Live) << kpd::Index(m);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdSearch);
    EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 500);
    f.session().ReadWriteTimerTimer();
    ASSERT_NE(f.session().Access(), nullptr);
    EXPECT_EQ(f.session().Access()->PortNumber(), 3);
    EXPECT_TRUE(MonitorRunning()); // the search made every mode live again
}

TEST_F(SearchTest, InformationCommandFillsTheInformationWindow) {
    kpdsim::SimOptions o;
    o.powerOnHours = 0;
    StartSim(o);
    ScopedDialogs scope(dialogs);
    f.InfoForm = new TInfoForm(&f);
    f.session().Search();
    sim->setReg(0x00, 0x1234);
    f.session().ExecuteCommand(kpd::CmdShowInfo);
    EXPECT_EQ(f.InfoForm->ControllerSerNumBox->text(), "00001234");
    EXPECT_EQ(f.InfoForm->ControllerVersionBox->text(), "0062");
    EXPECT_EQ(f.InfoForm->AlignCodeVerBox->text(), "0105");
    EXPECT_EQ(f.InfoForm->PowerOnTimeBox->text(), "0 hours");
    EXPECT_EQ(f.InfoForm->ComPort->text(), "COM3");
    EXPECT_EQ(f.InfoForm->BaudRate->text(), "38400");
    EXPECT_EQ(f.InfoForm->ElectronicsTypeLabel->text(), "Electronics Type: Alignment Tool");
    EXPECT_TRUE(f.InfoForm->isVisible());
}

TEST_F(SearchTest, LinkFailureNoEntersDemoModeAndClosesThePort) {
    StartSim();
    ScopedDialogs scope(dialogs);
    f.session().Search();
    ASSERT_TRUE(f.session().Access()->PortOpen());
    dialogs.Answer(MessageResult::No);
    f.session().LinkFailure();
    // The question waits for the event loop (the failing worker's handler returns first).
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_TRUE(f.session().PortHeld());
    ASSERT_TRUE(apptest::WaitUntil([&] { return !f.session().PortHeld(); }, 5000));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].buttons, MessageButtons::YesNoAll);
    EXPECT_TRUE(f.session().Demo());
    EXPECT_FALSE(f.session().Access()->PortOpen());
    EXPECT_EQ(f.windowTitle(), "Demo Mode");
}

TEST_F(SearchTest, LinkFailureYesReconnectsOnTheSamePort) {
    StartSim();
    ScopedDialogs scope(dialogs);
    f.session().Search();
    f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Live);
    h.waits.clear();
    dialogs.Answer(MessageResult::Yes);
    f.session().LinkFailure();
    ASSERT_TRUE(apptest::WaitUntil([&] { return !f.session().PortHeld(); }, 5000));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_FALSE(f.session().Demo());
    EXPECT_EQ(f.Startup->Label1->text(), "KPD Digital Sensor Electronics Found on COM3");
    EXPECT_EQ(h.waits, std::vector<int>{1000});
    // The status monitor was started live once the decision had released the port.
    EXPECT_TRUE(MonitorRunning());
    EXPECT_TRUE(quiet.calls.empty());
}

TEST_F(SearchTest, HardwareResetAsksFirstThenPulsesBothPorts) {
    ScopedDialogs scope(dialogs);
    dialogs.Answer(MessageResult::Cancel);
    f.session().HardwareReset();
    EXPECT_TRUE(h.waits.empty());
    EXPECT_EQ(f.Startup->windowTitle(), "Searching for Quorvel Electronics...");
    dialogs.Answer(MessageResult::Ok);
    f.session().HardwareReset();
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(messages[1].text.substr(0, 60), "This will perform a hardware reset on both COM1 and COM2.  T");
    EXPECT_EQ(f.Startup->windowTitle(), "Performing Hardware Reset...");
    EXPECT_FALSE(f.Startup->isVisible());
    EXPECT_EQ(h.waits, (std::vector<int>{800, 800}));
}

TEST_F(SearchTest, SoftwareResetResetsTheElectronicsThroughTheScheduler) {
    StartSim();
    ScopedDialogs scope(dialogs);
    f.session().Search();
    dialogs.Answer(MessageResult::Cancel);
    f.session().SoftwareReset();
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
    dialogs.Answer(MessageResult::Ok);
    f.session().SoftwareReset();
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdSoftwareReset);
    EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 600);
    EXPECT_TRUE(platform::HourglassShown());
    f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Live);
    EXPECT_FALSE(MonitorRunning());
    f.session().ReadWriteTimerTimer(); // no worker: runs now (the reset waits 2 s for the electronics)
    EXPECT_EQ(sim->resets(), 1u);
    EXPECT_FALSE(platform::HourglassShown());
    EXPECT_TRUE(f.session().Access()->ZeroRequest);
    EXPECT_TRUE(MonitorRunning()); // monitoring restarts
}
