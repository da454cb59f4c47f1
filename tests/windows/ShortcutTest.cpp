// The hidden menu: shortcut keys reach their items while the items and their menus are enabled.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "windows/TAboutBoxForm.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A connected window (the status display stopped, so no worker runs), shown and active.
class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        ASSERT_TRUE(sim.Started()) << sim.Error();
        platform::ScopedDialogs scope(dialogs);
        ASSERT_TRUE(apptest::ConnectStopped(f));
        f.show();
        QApplication::setActiveWindow(&f);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    }
    void TearDown() override {
        f.session().ReadWriteTimer()->stop();
        apptest::Disconnect(f);
    }
    apptest::SimulatedElectronics sim;
    platform::ScriptedDialogs dialogs;
    apptest::Harness h;
    TMainForm &f = *h.form;
};

int ModeOf(const TMainForm &f) {
    return kpd::Index(f.session().Mode());
}

} // namespace

TEST_F(ShortcutTest, F7QueuesTheInformationCommandAlthoughTheMenuIsHidden) {
    QTest::keyClick(&f, Qt::Key_F7);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowInfo);
    EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 300);
    EXPECT_TRUE(f.session().ReadWriteTimer()->isActive());
    EXPECT_TRUE(f.session().Access()->StopRequest);
}

TEST_F(ShortcutTest, TwoKeysInQuickSuccessionLeaveOnlyTheSecondCommand) {
    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_EQ(ModeOf(f), 1);
    EXPECT_EQ(kpd::Index(f.session().PreviousMode()), 0);
    EXPECT_TRUE(f.session().Access()->ReviewStep);
    QTest::keyClick(&f, Qt::Key_F7);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowInfo);
    EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 300);
    // F3 again in mode 1 does nothing.
    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowInfo);
}

TEST_F(ShortcutTest, DisabledItemsIgnoreTheirKeys) {
    // The link fails and the user chooses demo mode.
    dialogs.Answer(platform::MessageResult::No);
    platform::ScopedDialogs scope(dialogs);
    f.session().LinkFailure();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.session().Demo() && !f.session().PortHeld(); }, 5000));
    QTest::keyClick(&f, Qt::Key_F7);
    QTest::keyClick(&f, Qt::Key_F6);
    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
    EXPECT_EQ(ModeOf(f), 0);
    int setups = 0;
    f.engineeringDisplaySetup = [&] { ++setups; };
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(setups, 0);
    // The About item stays enabled in demo mode.
    f.AboutBoxForm = new TAboutBoxForm(&f);
    QTest::keyClick(&f, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_EQ(h.modalShown.size(), 1u);
    EXPECT_EQ(h.modalShown[0], f.AboutBoxForm);
}

TEST_F(ShortcutTest, DisablingTheParentMenuDisablesTheShortcut) {
    int setups = 0;
    f.engineeringDisplaySetup = [&] { ++setups; };
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(setups, 1);
    f.Menu().SetEnabled("Settings1", false);
    EXPECT_TRUE(f.Menu().Enabled("EngineeringDisplay1"));
    EXPECT_FALSE(f.Menu().Reachable("EngineeringDisplay1"));
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(setups, 1);
    f.Menu().SetEnabled("Settings1", true);
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(setups, 2);
}

TEST_F(ShortcutTest, F6EntersTheEngineeringDisplayAndF2ReturnsFromPlots) {
    QTest::keyClick(&f, Qt::Key_F6);
    EXPECT_EQ(ModeOf(f), 4);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowEngineering);
    EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 500);
    f.Menu().Item("SignalMonitor1")->trigger(); // "Signal Strength Plot" (no key)
    EXPECT_EQ(ModeOf(f), 2);
    QTest::keyClick(&f, Qt::Key_F2);
    EXPECT_EQ(ModeOf(f), 0);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowStatus);
    QTest::keyClick(&f, Qt::Key_F5);
    EXPECT_EQ(ModeOf(f), 3);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowSignalPlots);
}

TEST_F(ShortcutTest, ToolsItemsAreUnreachableAsDesigned) {
    // The Tools menu is disabled in the design; its items have no keys and cannot be reached.
    for (const char *item : {"LocateIndex1", "Zeroposition1", "SoftwareSystemReset1", "HardwareReset1",
                             "SearchForElectronics1", "All1"}) {
        EXPECT_FALSE(f.Menu().Reachable(item)) << item;
        EXPECT_FALSE(f.Menu().Item(item)->isEnabled()) << item;
    }
    EXPECT_FALSE(f.Menu().Reachable("DataProcessingForSetupandStatus1"));
    EXPECT_TRUE(f.Menu().Reachable("Tessalyversion1"));
    // Keys that belong to no item do nothing.
    QTest::keyClick(&f, Qt::Key_F4);
    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
}
