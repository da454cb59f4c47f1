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

class ShutdownTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        f.terminateApplication = [this] { ++terminated; };
    }
    apptest::Harness h;
    TMainForm &f = *h.form;
    ScriptedDialogs dialogs;
    int terminated = 0;
};

} // namespace

TEST_F(ShutdownTest, NoKeepsEverythingRunning) {
    dialogs.Answer(MessageResult::No);
    ScopedDialogs scope(dialogs);
    EXPECT_FALSE(f.CloseAll());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Close Program?");
    EXPECT_EQ(dialogs.Messages()[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_FALSE(f.GenTimer->isActive());
    EXPECT_FALSE(f.ShuttingDown());
    QTest::qWait(50);
    EXPECT_EQ(terminated, 0);
}

TEST_F(ShutdownTest, YesOutsideDemoModeStopsTheWorkerAndSavesAfterTheDelay) {
    f.SetAccess(std::make_unique<ComData>(256));
    dialogs.Answer(MessageResult::Yes);
    ScopedDialogs scope(dialogs);
    f.settings.lissplot = 321;
    EXPECT_TRUE(f.CloseAll());
    EXPECT_TRUE(f.Access()->StopRequest);
    EXPECT_TRUE(platform::HourglassShown());
    EXPECT_TRUE(f.GenTimer->isActive());
    EXPECT_EQ(f.GenTimer->interval(), 1400);
    EXPECT_EQ(f.Startup->Label1->text(), "Shutting Down Program...");
    EXPECT_EQ(f.Startup->windowTitle(), "Please Wait...");
    // Nothing is saved before the timer has run.
    EXPECT_FALSE(QFile::exists(SettingsFile()));
    EXPECT_TRUE(apptest::WaitUntil([&] { return terminated == 1; }, 3000));
    EXPECT_FALSE(f.GenTimer->isActive());
    EXPECT_FALSE(platform::HourglassShown());
    EXPECT_EQ(f.Access(), nullptr);
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("lissplot=321"));
}

TEST_F(ShutdownTest, DemoModeSavesNothingAndKeepsTheAccessObject) {
    f.SetAccess(std::make_unique<ComData>(256));
    f.EnterDemoMode();
    dialogs.Answer(MessageResult::Yes);
    ScopedDialogs scope(dialogs);
    EXPECT_TRUE(f.CloseAll());
    EXPECT_FALSE(f.Access()->StopRequest);
    EXPECT_TRUE(apptest::WaitUntil([&] { return terminated == 1; }, 3000));
    EXPECT_FALSE(QFile::exists(SettingsFile()));
    EXPECT_NE(f.Access(), nullptr);
}

TEST_F(ShutdownTest, WindowCloseAsksAndQuitAfterDoesNot) {
    dialogs.Answer(MessageResult::No);
    ScopedDialogs scope(dialogs);
    f.show();
    f.close();
    EXPECT_TRUE(f.isVisible()); // the close request is answered by the question
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    f.ShutDownNow();
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_TRUE(apptest::WaitUntil([&] { return terminated == 1; }, 3000));
    EXPECT_TRUE(QFile::exists(SettingsFile()));
    // Commands queued during shutdown are dropped.
    f.QueueCommand(kpd::CmdShowInfo, 300);
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
}
