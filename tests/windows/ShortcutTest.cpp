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

class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        f.SetAccess(std::make_unique<ComData>(256));
        f.show();
        QApplication::setActiveWindow(&f);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    }
    apptest::Harness h;
    TMainForm &f = *h.form;
};

} // namespace

TEST_F(ShortcutTest, F7QueuesTheInformationCommandAlthoughTheMenuIsHidden) {
    QTest::keyClick(&f, Qt::Key_F7);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdShowInfo);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 300);
    EXPECT_TRUE(f.ReadWriteTimer->isActive());
    EXPECT_TRUE(f.Access()->StopRequest);
}

TEST_F(ShortcutTest, TwoKeysInQuickSuccessionLeaveOnlyTheSecondCommand) {
    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_EQ(f.DisplayMode, 1);
    EXPECT_EQ(f.PreviousDisplayMode, 0);
    EXPECT_TRUE(f.Access()->ReviewStep);
    QTest::keyClick(&f, Qt::Key_F7);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdShowInfo);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 300);
    // F3 again in mode 1 does nothing.
    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdShowInfo);
}

TEST_F(ShortcutTest, DisabledItemsIgnoreTheirKeys) {
    f.EnterDemoMode();
    QTest::keyClick(&f, Qt::Key_F7);
    QTest::keyClick(&f, Qt::Key_F6);
    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
    EXPECT_EQ(f.DisplayMode, 0);
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
    f.SetItemEnabled("Settings1", false);
    EXPECT_TRUE(f.ItemEnabled("EngineeringDisplay1"));
    EXPECT_FALSE(f.ItemReachable("EngineeringDisplay1"));
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(setups, 1);
    f.SetItemEnabled("Settings1", true);
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(setups, 2);
}

TEST_F(ShortcutTest, F6EntersTheEngineeringDisplayAndF2ReturnsFromPlots) {
    QTest::keyClick(&f, Qt::Key_F6);
    EXPECT_EQ(f.DisplayMode, 4);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdShowEngineering);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 500);
    f.DisplayMode = 2;
    QTest::keyClick(&f, Qt::Key_F2);
    EXPECT_EQ(f.DisplayMode, 0);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdShowStatus);
    QTest::keyClick(&f, Qt::Key_F5);
    EXPECT_EQ(f.DisplayMode, 3);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdShowSignalPlots);
}

TEST_F(ShortcutTest, ToolsItemsAreUnreachableAsDesigned) {
    // The Tools menu is disabled in the design; its items have no keys and cannot be reached.
    for (const char *item : {"LocateIndex1", "Zeroposition1", "SoftwareSystemReset1", "HardwareReset1",
                             "SearchForElectronics1", "All1"}) {
        EXPECT_FALSE(f.ItemReachable(item)) << item;
        EXPECT_FALSE(f.MenuItem(item)->isEnabled()) << item;
    }
    EXPECT_FALSE(f.ItemReachable("DataProcessingForSetupandStatus1"));
    EXPECT_TRUE(f.ItemReachable("Tessalyversion1"));
    // Keys that belong to no item do nothing.
    QTest::keyClick(&f, Qt::Key_F4);
    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
}
