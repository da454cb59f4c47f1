// The electronics search over COM1..COM256 against simulated electronics in this process.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "windows/TInfoForm.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "widgets/WaitCursor.h"
#include "senslink.h"

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
        // No worker threads here: the status monitor is exercised by the monitor integration test.
        h.form->dataControl = &quiet;
    }
    void TearDown() override {
        // The library keeps a port open after its object is discarded; close it so the next simulator on
        // the same number is reached through a fresh open.
        if (h.form->Access()) h.form->Access()->ClosePortIfOpen();
        ClosePort(3);
        sim.reset();
    }
    kpdsim::Simulator &StartSim(kpdsim::SimOptions o = {}) {
        o.pacing = false;
        sim = std::make_unique<kpdsim::Simulator>(o);
        EXPECT_TRUE(sim->start(apptest::PortDir(), 3)) << sim->lastError();
        return *sim;
    }

    apptest::Harness h;
    RecordingDataControl quiet;
    std::unique_ptr<kpdsim::Simulator> sim;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(SearchTest, FindsTheSensorAndStartsMonitoring) {
    StartSim();
    ScopedDialogs scope(dialogs);
    RecordingDataControl dc;
    TMainForm &f = *h.form;
    f.dataControl = &dc;
    f.Evaluation.History().Insert("old line");
    f.Search();

    ASSERT_NE(f.Access(), nullptr);
    EXPECT_EQ(f.Access()->PortNumber(), 3);
    EXPECT_TRUE(f.Access()->PortOpen());
    EXPECT_EQ(f.Access()->BaudRate(), 38400);
    EXPECT_EQ(f.Startup->Label1->text(), "KPD Digital Sensor Electronics Found on COM3");
    EXPECT_EQ(f.Startup->windowTitle(), "Searching for Electronics...");
    EXPECT_FALSE(f.Startup->isVisible());
    EXPECT_FALSE(f.DemoFlag);
    EXPECT_FALSE(f.RestartSearchFlag);
    EXPECT_TRUE(f.Evaluation.History().Snapshot().empty());
    EXPECT_EQ(f.Evaluation.FirmwareVersion(), 0x0105);
    EXPECT_TRUE(f.LogoText4->isVisibleTo(&f));
    EXPECT_EQ(f.LogoText4->text(), "for KPD Digital Sensor 4096X");
    EXPECT_EQ(f.SensorTypeValue, 0x1723);
    EXPECT_EQ(f.InterpolationCopy, 4096);
    EXPECT_EQ(f.ProcessorVersion, 0x0105);
    EXPECT_EQ(f.settings.generation, (0x0062 >> 5) & 7);
    EXPECT_EQ(f.InterpolationBox->text(), QString::number(f.Access()->InterpolationSetting() + 1));
    EXPECT_EQ(f.windowTitle(), "Live Data");
    // 1 s with the found message, then 1 s before the first (successful) information read.
    EXPECT_EQ(h.waits, (std::vector<int>{1000, 1000}));
    // The status monitor of display mode 0 was started live, once, after the identification reads.
    ASSERT_EQ(dc.calls.size(), 1u);
    EXPECT_EQ(dc.calls[0], std::make_pair(0, 1));
    // Connected window state.
    EXPECT_TRUE(f.ItemEnabled("SoftwareSystemReset1"));
    EXPECT_FALSE(f.ItemEnabled("HardwareReset1"));
    EXPECT_FALSE(f.ItemEnabled("SearchForElectronics1"));
    EXPECT_TRUE(dialogs.Questions().empty());
    // The information read set bit 0 of Config on the electronics.
    EXPECT_EQ(sim->reg(0x82) & 1, 1);
}

TEST_F(SearchTest, ModelCodesGiveTheirFoundMessages) {
    kpdsim::SimOptions o;
    o.modelCode = 0;
    StartSim(o);
    ScopedDialogs scope(dialogs);
    h.form->Search();
    EXPECT_EQ(h.form->Startup->Label1->text(), "Brio Electronics Found on COM3");
    h.form->Access()->ClosePortIfOpen();
    sim->setModelCode(1);
    h.form->Search();
    EXPECT_EQ(h.form->Startup->Label1->text(), "Brio Electronics Found on COM3");
    h.form->Access()->ClosePortIfOpen();
    sim->setModelCode(5);
    h.form->Search();
    EXPECT_EQ(h.form->Startup->Label1->text(), "Elka/Fenn Electronics Found on COM3");
}

TEST_F(SearchTest, OtherSensorTypeIsUnknown) {
    kpdsim::SimOptions o;
    o.sensorType = 0x1623;
    StartSim(o);
    ScopedDialogs scope(dialogs);
    h.form->Search();
    EXPECT_EQ(h.form->LogoText4->text(), "unknown");
    EXPECT_FALSE(h.form->DemoFlag);
}

TEST_F(SearchTest, RejectedProcessorVersionIsSkippedAndIgnoreEntersDemoMode) {
    kpdsim::SimOptions o;
    o.mspVersion = 0x0205; // bits 8..11 = 2
    StartSim(o);
    dialogs.Answer(MessageResult::Ignore);
    ScopedDialogs scope(dialogs);
    RecordingDataControl dc;
    h.form->dataControl = &dc;
    h.form->Search();
    TMainForm &f = *h.form;
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    const auto &q = messages[0];
    EXPECT_EQ(q.buttons, MessageButtons::RetryIgnore);
    EXPECT_EQ(q.text,
              "Cannot Detect Electronics. Please verify that electronics are connected to the computer and "
              "the power LED for the electronics is on.  Click 'retry' to atempt to connect to "
              "electronics or 'ignore' to start Demo Mode.");
    EXPECT_EQ(f.Startup->Label1->text(), "Polling COM256...");
    ASSERT_NE(f.Access(), nullptr);
    EXPECT_EQ(f.Access()->PortNumber(), 256);
    EXPECT_FALSE(f.Access()->PortOpen());
    EXPECT_TRUE(f.DemoFlag);
    EXPECT_EQ(f.windowTitle(), "Demo Mode");
    EXPECT_FALSE(f.RestartTimer->isActive());
    EXPECT_TRUE(f.ItemEnabled("HardwareReset1"));
    EXPECT_TRUE(f.ItemEnabled("SearchForElectronics1"));
    EXPECT_FALSE(f.ItemEnabled("Tessalyversion1"));
    EXPECT_FALSE(f.CenterIndexButton->isEnabled());
    EXPECT_TRUE(dc.calls.empty());
    EXPECT_TRUE(h.waits.empty());
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(SearchTest, NothingAttachedThenRetrySearchesAgain) {
    dialogs.Answer(MessageResult::Retry);
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h.form;
    f.Search();
    EXPECT_TRUE(f.RestartTimer->isActive());
    EXPECT_EQ(f.RestartTimer->interval(), 300);
    EXPECT_FALSE(f.DemoFlag);
    EXPECT_EQ(f.Access()->PortNumber(), 256);

    // The electronics are switched on; the restart timer's tick searches again and finds them.
    StartSim();
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.Access() && f.Access()->PortOpen(); }, 5000));
    EXPECT_FALSE(f.RestartTimer->isActive());
    EXPECT_FALSE(f.RestartSearchFlag); // set by the tick, cleared by the successful search
    EXPECT_EQ(f.Access()->PortNumber(), 3);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(SearchTest, SearchMenuCommandRunsThroughTheScheduler) {
    StartSim();
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h.form;
    f.DataState = {0, 3, 0, 2};
    f.SearchForElectronics1Click();
    EXPECT_EQ(f.DataState, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(f.PendingCommand(), kpd::CmdSearch);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 500);
    f.ReadWriteTimerTimer();
    ASSERT_NE(f.Access(), nullptr);
    EXPECT_EQ(f.Access()->PortNumber(), 3);
}

TEST_F(SearchTest, InformationCommandFillsTheInformationWindow) {
    kpdsim::SimOptions o;
    o.powerOnHours = 0;
    StartSim(o);
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h.form;
    f.InfoForm = new TInfoForm(&f);
    f.Search();
    sim->setReg(0x00, 0x1234);
    f.ExecuteCommand(kpd::CmdShowInfo);
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
    TMainForm &f = *h.form;
    f.Search();
    ASSERT_TRUE(f.Access()->PortOpen());
    dialogs.Answer(MessageResult::No);
    f.ReportLinkFailure();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].buttons, MessageButtons::YesNoAll);
    EXPECT_TRUE(f.DemoFlag);
    EXPECT_FALSE(f.Access()->PortOpen());
    EXPECT_EQ(f.windowTitle(), "Demo Mode");
}

TEST_F(SearchTest, LinkFailureYesReconnectsOnTheSamePort) {
    StartSim();
    ScopedDialogs scope(dialogs);
    RecordingDataControl dc;
    TMainForm &f = *h.form;
    f.Search();
    f.dataControl = &dc;
    h.waits.clear();
    dialogs.Answer(MessageResult::Yes);
    f.ReportLinkFailure();
    EXPECT_FALSE(f.DemoFlag);
    EXPECT_EQ(f.Startup->Label1->text(), "KPD Digital Sensor Electronics Found on COM3");
    EXPECT_EQ(h.waits, std::vector<int>{1000});
    ASSERT_EQ(dc.calls.size(), 1u);
    EXPECT_EQ(dc.calls[0], std::make_pair(0, 1));
}

TEST_F(SearchTest, HardwareResetAsksFirstThenPulsesBothPorts) {
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h.form;
    dialogs.Answer(MessageResult::Cancel);
    f.HardwareReset1Click();
    EXPECT_TRUE(h.waits.empty());
    EXPECT_EQ(f.Startup->windowTitle(), "Searching for Quorvel Electronics...");
    dialogs.Answer(MessageResult::Ok);
    f.HardwareReset1Click();
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
    TMainForm &f = *h.form;
    f.Search();
    dialogs.Answer(MessageResult::Cancel);
    f.SoftwareSystemReset1Click();
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
    dialogs.Answer(MessageResult::Ok);
    f.SoftwareSystemReset1Click();
    EXPECT_EQ(f.PendingCommand(), kpd::CmdSoftwareReset);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 600);
    EXPECT_TRUE(platform::HourglassShown());
    const auto callsBefore = quiet.calls.size();
    f.ReadWriteTimerTimer(); // no worker: runs now (the reset waits 2 s for the electronics)
    EXPECT_EQ(sim->resets(), 1u);
    EXPECT_FALSE(platform::HourglassShown());
    EXPECT_TRUE(f.Access()->ZeroRequest);
    EXPECT_EQ(quiet.calls.size(), callsBefore + 1); // monitoring restarts
}
