// Shutdown: confirmation, the 1400 ms delay, settings saved only outside demo mode.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "platform/ScriptedDialogs.h"
#include "widgets/WaitCursor.h"

#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

QString SettingsFile() {
    return QString::fromStdString(apptest::InstallDir()) + "/KPD.ini";
}

// The window is shown; the end of shutdown closes it.
class ShutdownTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        f.show();
    }
    void TearDown() override { apptest::Disconnect(f); }
    // Shutdown has ended: the delay has run and the window has closed.
    bool Terminated() const {
        return f.session().ShuttingDown() && !f.session().GenTimer()->isActive() && !f.isVisible();
    }
    std::unique_ptr<apptest::SimulatedElectronics> sim; // electronics only where a test attaches them
    apptest::Harness h;
    TMainForm &f = *h.form;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(ShutdownTest, NoKeepsEverythingRunning) {
    dialogs.Answer(MessageResult::No);
    ScopedDialogs scope(dialogs);
    EXPECT_FALSE(f.session().Close());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Close Program?");
    EXPECT_EQ(dialogs.Messages()[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_FALSE(f.session().GenTimer()->isActive());
    EXPECT_FALSE(f.session().ShuttingDown());
    QTest::qWait(50);
    EXPECT_TRUE(f.isVisible());
}

TEST_F(ShutdownTest, YesOutsideDemoModeStopsTheWorkerAndSavesAfterTheDelay) {
    sim = std::make_unique<apptest::SimulatedElectronics>();
    ASSERT_TRUE(sim->Started()) << sim->Error();
    dialogs.Answer(MessageResult::Yes);
    ScopedDialogs scope(dialogs);
    ASSERT_TRUE(apptest::ConnectStopped(f));
    f.session().Config().lissplot = 321;
    EXPECT_TRUE(f.session().Close());
    EXPECT_TRUE(f.session().Access()->StopRequest);
    EXPECT_TRUE(platform::HourglassShown());
    EXPECT_TRUE(f.session().GenTimer()->isActive());
    EXPECT_EQ(f.session().GenTimer()->interval(), 1400);
    EXPECT_EQ(f.Startup->Label1->text(), "Shutting Down Program...");
    EXPECT_EQ(f.Startup->windowTitle(), "Please Wait...");
    // Nothing is saved before the timer has run.
    EXPECT_FALSE(QFile::exists(SettingsFile()));
    EXPECT_TRUE(apptest::WaitUntil([&] { return Terminated(); }, 3000));
    EXPECT_FALSE(f.session().GenTimer()->isActive());
    EXPECT_FALSE(platform::HourglassShown());
    EXPECT_EQ(f.session().Access(), nullptr);
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("lissplot=321"));
}

TEST_F(ShutdownTest, DemoModeSavesNothingAndKeepsTheAccessObject) {
    apptest::SearchNothingIgnore(f); // demo mode with the never-opened object on COM256
    ASSERT_TRUE(f.session().Demo());
    ASSERT_NE(f.session().Access(), nullptr);
    dialogs.Answer(MessageResult::Yes);
    ScopedDialogs scope(dialogs);
    EXPECT_TRUE(f.session().Close());
    EXPECT_FALSE(f.session().Access()->StopRequest);
    EXPECT_TRUE(apptest::WaitUntil([&] { return Terminated(); }, 3000));
    EXPECT_FALSE(QFile::exists(SettingsFile()));
    EXPECT_NE(f.session().Access(), nullptr);
}

TEST_F(ShutdownTest, WindowCloseAsksAndQuitAfterDoesNot) {
    dialogs.Answer(MessageResult::No);
    ScopedDialogs scope(dialogs);
    f.show();
    f.close();
    EXPECT_TRUE(f.isVisible()); // the close request is answered by the question
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    f.session().ShutDownNow();
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_TRUE(apptest::WaitUntil([&] { return Terminated(); }, 3000));
    EXPECT_TRUE(QFile::exists(SettingsFile()));
    // Commands queued during shutdown are dropped.
    f.session().QueueCommand(kpd::CmdShowInfo, 300);
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
}
