// The main window with its own status monitor against simulated electronics: the first status samples
// reach the display, a queued command waits for the worker to end, runs, and monitoring resumes; shutdown
// stops the worker before the access object is freed.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "workers/StatusMonitor.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "senslink.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include "windows/TInfoForm.h"

using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

class MonitorIntegration : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        kpdsim::SimOptions o;
        o.pacing = false;
        sim = std::make_unique<kpdsim::Simulator>(o);
        ASSERT_TRUE(sim->start(apptest::PortDir(), 3)) << sim->lastError();
        h = std::make_unique<apptest::Harness>();
    }
    void TearDown() override {
        // Stop the worker (the window's destructor waits for it) before the port and the simulator go.
        if (h && h->form->Access()) {
            h->form->Access()->StopRequest = true;
            apptest::WaitUntil([&] { return !h->form->Access()->ThreadRunning; }, 5000);
            h->form->Access()->ClosePortIfOpen();
        }
        h.reset();
        ClosePort(3);
        sim.reset();
    }
    std::unique_ptr<kpdsim::Simulator> sim;
    std::unique_ptr<apptest::Harness> h;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(MonitorIntegration, LiveSamplesReachTheStatusDisplay) {
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h->form;
    f.Search();
    ASSERT_TRUE(f.Access() && f.Access()->PortOpen());
    // Samples arrive: the elapsed time moves and the evaluation has written the operating state.
    const bool got = apptest::WaitUntil([&] { return f.TimeText2->text() != "0.0"; }, 5000);
    const auto &st = f.StatusMonitorControl()->Stats();
    ASSERT_TRUE(got) << "no status sample within 5 s: samples " << st.samples << " failed steps "
                     << st.failedSteps << " done " << st.threadsDone << " running "
                     << f.Access()->ThreadRunning << " executing " << f.Access()->Executing[0] << " mode "
                     << f.DisplayMode << " state " << f.DataState[0] << " questions "
                     << dialogs.Questions().size();
    EXPECT_TRUE(f.Access()->ThreadRunning);
    EXPECT_TRUE(apptest::WaitUntil([&] { return !f.IndexBox->text().isEmpty(); }, 3000));
    EXPECT_EQ(f.IndexBox->text(), " Operational mode (AGC on)");
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.greenleft->isVisibleTo(&f); }, 3000)); // magnitude ~150
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(MonitorIntegration, QueuedCommandWaitsForTheWorkerThenMonitoringResumes) {
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h->form;
    f.InfoForm = new TInfoForm(&f);
    f.Search();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.TimeText2->text() != "0.0"; }, 5000));
    f.QueueCommand(kpd::CmdShowInfo, 300);
    EXPECT_TRUE(f.Access()->StopRequest);
    // The information window is filled only after the worker has ended and the command ran.
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.InfoForm->isVisible(); }, 5000));
    EXPECT_EQ(f.InfoForm->ComPort->text(), "COM3");
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
    // Finish restarted the status monitor: time keeps advancing.
    const QString before = f.TimeText2->text();
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.TimeText2->text() != before; }, 5000));
    EXPECT_TRUE(f.Access()->ThreadRunning);
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(MonitorIntegration, ShutdownStopsTheWorkerBeforeFreeingTheAccessObject) {
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h->form;
    int terminated = 0;
    f.terminateApplication = [&] { ++terminated; };
    f.Search();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.TimeText2->text() != "0.0"; }, 5000));
    f.ShutDownNow();
    ASSERT_TRUE(apptest::WaitUntil([&] { return terminated == 1; }, 8000));
    EXPECT_EQ(f.Access(), nullptr);
}
