// The hidden menu: F10, Alt and a right-click open it; keys reach its items while these are enabled.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "windows/MenuOnDemand.h"
#include "windows/TAboutBoxForm.h"
#include "windows/TEncoderSetupForm.h"
#include "windows/THelpForm.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
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

TEST_F(ShortcutTest, KeysWithoutAnEnabledItemDoNothing) {
    EXPECT_FALSE(f.Menu().Reachable("DataProcessingForSetupandStatus1"));
    EXPECT_TRUE(f.Menu().Reachable("Tessalyversion1"));
    // Keys that belong to no item do nothing.
    QTest::keyClick(&f, Qt::Key_F4);
    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
}

// ---- The menus on demand, the standard keys, the help window ----

namespace {
QMenu *OpenMenu() { // the innermost open menu
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}
} // namespace

TEST_F(ShortcutTest, F10OpensTheFileMenuAsAMenuBarWouldWithoutMovingTheControls) {
    const QRect units = f.UnitsBox->geometry();
    QTest::keyClick(&f, Qt::Key_F10);
    ASSERT_EQ(OpenMenu(), f.Menu().Menu("File1"));
    EXPECT_TRUE(f.OnDemandMenu().Bar()->isVisible());
    for (auto [key, menu] :
         {std::pair{Qt::Key_Right, "View1"}, {Qt::Key_Left, "File1"}, {Qt::Key_Left, "Help1"}}) {
        QTest::keyClick(OpenMenu(), key);
        EXPECT_EQ(OpenMenu(), f.Menu().Menu(menu));
    }
    QTest::keyClick(OpenMenu(), Qt::Key_Escape);
    EXPECT_TRUE(
        apptest::WaitUntil([&] { return !OpenMenu() && !f.OnDemandMenu().Bar()->isVisible(); }, 2000));
    EXPECT_EQ(f.UnitsBox->geometry(), units);
    QDialog modal(&f); // nothing opens over a modal window
    modal.setModal(true);
    modal.show();
    EXPECT_FALSE(f.OnDemandMenu().OpenBar() || f.OnDemandMenu().OpenContextMenu({5, 5}) || OpenMenu());
}

TEST_F(ShortcutTest, AltAloneOpensTheFileMenuAndAltWithALetterItsMenu) {
    QTest::keyPress(&f, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(&f, Qt::Key_Alt);
    ASSERT_EQ(OpenMenu(), f.Menu().Menu("File1"));
    OpenMenu()->close();
    f.activateWindow(); // active again, as on a desktop (offscreen leaves the closed menu active)
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyPress(&f, Qt::Key_Alt, Qt::AltModifier); // Alt with another key is no Alt alone
    QTest::keyClick(&f, Qt::Key_T, Qt::AltModifier);
    QTest::keyRelease(OpenMenu() ? static_cast<QWidget *>(OpenMenu()) : &f, Qt::Key_Alt);
    EXPECT_EQ(OpenMenu(), f.Menu().Menu("Tools1"));
}

TEST_F(ShortcutTest, RightClickOnTheBackgroundOpensTheFiveMenusAsOneContextMenu) {
    QContextMenuEvent click(QContextMenuEvent::Mouse, {5, 5}, f.UnitsBox->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f.UnitsBox, &click); // a label passes it on to the window
    ASSERT_EQ(OpenMenu(), f.OnDemandMenu().ContextMenu());
    EXPECT_EQ(OpenMenu()->actions(), f.OnDemandMenu().Bar()->actions()); // the five menus
    f.EncoderSetupForm = new TEncoderSetupForm(&f);
    QTest::keyClick(OpenMenu(), Qt::Key_S); // Settings > Units...
    QTest::keyClick(OpenMenu(), Qt::Key_U);
    EXPECT_TRUE(f.EncoderSetupForm->isVisible());
}

TEST_F(ShortcutTest, CtrlOLoadsCtrlSSavesTheDataShownAndCtrlQAsksToClose) {
    platform::ScopedDialogs scope(dialogs);
    QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdLoadData);
    for (int mode : {0, 2, 4}) { // the status display, the signal strength plot, the engineering display
        if (mode > 0) f.Menu().Item(mode == 2 ? "SignalMonitor1" : "Engineering1")->trigger();
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(f.session().PendingCommand(), mode < 4 ? kpd::CmdSaveData : kpd::CmdShowEngineering);
    }
    f.SetBusy(false);
    dialogs.Answer(platform::MessageResult::No);
    QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Close Program?");
}

TEST_F(ShortcutTest, ToolsItemsFollowTheirOwnRules) {
    const char *const items[] = {
        "All1",           "LocateIndex1",         "ResetPosition1", "Zeroposition1", "SoftwareSystemReset1",
        "HardwareReset1", "SearchForElectronics1"};
    const auto expect = [&](const char *state, const std::vector<bool> &enabled) {
        EXPECT_TRUE(f.Menu().Item("Tools1")->isEnabled()) << state;
        for (std::size_t i = 0; i < enabled.size(); ++i)
            EXPECT_EQ(f.Menu().Item(items[i])->isEnabled(), enabled[i]) << state << ": " << items[i];
    };
    expect("connected, status display", {1, 1, 1, 1, 1, 0, 0});
    f.Menu().Item("Lissajous1")->trigger();
    f.session().ExecuteCommand(kpd::CmdShowEncoderSignal);
    expect("a plot mode", {1, 0, 0, 0, 1, 0, 0});
    f.session().States().Set(kpd::DisplayMode::EncoderSignal, kpd::DataState::Viewing);
    f.session().ApplyDataState();
    expect("viewing buffered data", {0, 0, 0, 0, 1, 0, 0});
    dialogs.Answer(platform::MessageResult::No);
    platform::ScopedDialogs scope(dialogs);
    f.session().LinkFailure();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.session().Demo() && !f.session().PortHeld(); }, 5000));
    expect("demo mode", {0, 0, 0, 0, 0, 1, 1});
}

TEST_F(ShortcutTest, F1ShowsTheManualWhoseInternalLinksAllResolve) {
    f.HelpForm = new THelpForm(&f);
    QTest::keyClick(&f, Qt::Key_F1);
    ASSERT_TRUE(f.HelpForm->isVisible());
    QStringList anchors, links; // a link "#name" goes to the heading with the anchor name
    for (QTextBlock b = f.HelpForm->ManualBrowser->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            anchors << it.fragment().charFormat().anchorNames();
            if (const QString href = it.fragment().charFormat().anchorHref(); href.startsWith('#'))
                links << href.mid(1);
        }
    EXPECT_FALSE(links.isEmpty());
    for (const QString &link : links)
        EXPECT_TRUE(anchors.contains(link)) << link.toStdString();
}
