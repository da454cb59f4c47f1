// The main window with its own status monitor against simulated electronics: the first status samples
// reach the display, a queued command waits for the worker to end, runs, and monitoring resumes; shutdown
// stops the worker before the access object is freed.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "senslink.h"
#include "workers/StatusMonitor.h"

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
        if (h) apptest::Disconnect(*h->form);
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
    f.session().Search();
    ASSERT_TRUE(f.session().Access() && f.session().Access()->PortOpen());
    // Samples arrive: the elapsed time moves and the evaluation has written the operating state.
    const bool got = apptest::WaitUntil([&] { return f.TimeText2->text() != "0.0"; }, 5000);
    const auto &st = f.session().Status().Monitor().Stats();
    ASSERT_TRUE(got) << "no status sample within 5 s: samples " << st.samples << " failed steps "
                     << st.failedSteps << " done " << st.threadsDone << " running "
                     << f.session().Access()->ThreadRunning << " executing "
                     << f.session().Access()->Executing[0] << " mode " << kpd::Index(f.session().Mode())
                     << " state " << static_cast<int>(f.session().StateOf(kpd::DisplayMode::Status))
                     << " questions " << dialogs.Questions().size();
    EXPECT_TRUE(f.session().Access()->ThreadRunning);
    EXPECT_TRUE(apptest::WaitUntil([&] { return !f.IndexBox->text().isEmpty(); }, 3000));
    EXPECT_EQ(f.IndexBox->text(), " Operational mode (AGC on)");
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.greenleft->isVisibleTo(&f); }, 3000)); // magnitude ~150
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(MonitorIntegration, QueuedCommandWaitsForTheWorkerThenMonitoringResumes) {
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h->form;
    f.InfoForm = new TInfoForm(&f);
    f.session().Search();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.TimeText2->text() != "0.0"; }, 5000));
    f.session().QueueCommand(kpd::CmdShowInfo, 300);
    EXPECT_TRUE(f.session().Access()->StopRequest);
    // The information window is filled only after the worker has ended and the command ran.
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.InfoForm->isVisible(); }, 5000));
    EXPECT_EQ(f.InfoForm->ComPort->text(), "COM3");
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
    // Finish restarted the status monitor: time keeps advancing.
    const QString before = f.TimeText2->text();
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.TimeText2->text() != before; }, 5000));
    EXPECT_TRUE(f.session().Access()->ThreadRunning);
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(MonitorIntegration, ShutdownStopsTheWorkerBeforeFreeingTheAccessObject) {
    ScopedDialogs scope(dialogs);
    TMainForm &f = *h->form;
    f.show();
    f.session().Search();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.TimeText2->text() != "0.0"; }, 5000));
    f.session().ShutDownNow();
    // The end of shutdown closes the window.
    ASSERT_TRUE(apptest::WaitUntil(
        [&] { return f.session().ShuttingDown() && !f.session().GenTimer()->isActive() && !f.isVisible(); },
        8000));
    EXPECT_EQ(f.session().Access(), nullptr);
    EXPECT_FALSE(f.session().WorkerExists());
}
