// The hidden menu: shortcut keys reach their items while the items and their menus are enabled; F10, Alt
// and a right-click open the menus; the standard keys; the help window.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "windows/HeadingAnchors.h"
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
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <iterator>

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
    EXPECT_FALSE(f.Menu().Reachable("DataProcessingForSetupandStatus1")); // disabled as designed
    EXPECT_TRUE(f.Menu().Reachable("Tessalyversion1"));
    // Keys that belong to no item do nothing; F1 has no help window in this harness.
    QTest::keyClick(&f, Qt::Key_F4);
    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
}

// ---- The menus on demand, the standard keys, the help window ----

namespace {

// The menu open now (the innermost one), or null.
QMenu *OpenMenu() {
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

// Closes every open menu; true once none is open and the bar has gone. The window is active again, as on
// a desktop (the offscreen platform leaves the closed menu active).
bool CloseMenus(TMainForm &f) {
    while (QMenu *m = OpenMenu())
        m->close();
    f.activateWindow();
    return QTest::qWaitForWindowActive(&f) &&
           apptest::WaitUntil([&] { return !f.OnDemandMenu().Bar()->isVisible(); }, 2000);
}

} // namespace

TEST_F(ShortcutTest, F10OpensTheFileMenuAsAMenuBarWouldWithoutMovingTheControls) {
    const QRect units = f.UnitsBox->geometry();
    QTest::keyClick(&f, Qt::Key_F10);
    ASSERT_EQ(OpenMenu(), f.Menu().Menu("File1"));
    EXPECT_TRUE(f.OnDemandMenu().Bar()->isVisible());
    QTest::keyClick(OpenMenu(), Qt::Key_Right);
    EXPECT_EQ(OpenMenu(), f.Menu().Menu("View1"));
    QTest::keyClick(OpenMenu(), Qt::Key_Left);
    QTest::keyClick(OpenMenu(), Qt::Key_Left);
    EXPECT_EQ(OpenMenu(), f.Menu().Menu("Help1"));
    QTest::keyClick(OpenMenu(), Qt::Key_Escape);
    EXPECT_EQ(OpenMenu(), nullptr);
    EXPECT_TRUE(apptest::WaitUntil([&] { return !f.OnDemandMenu().Bar()->isVisible(); }, 2000));
    EXPECT_EQ(f.UnitsBox->geometry(), units);
    // Nothing opens over a modal window.
    QDialog modal(&f);
    modal.setModal(true);
    modal.show();
    EXPECT_FALSE(f.OnDemandMenu().OpenBar());
    EXPECT_FALSE(f.OnDemandMenu().OpenContextMenu(f.mapToGlobal(QPoint(5, 5))));
    EXPECT_EQ(OpenMenu(), nullptr);
}

TEST_F(ShortcutTest, AltAloneOpensTheFileMenuAndAltWithALetterItsMenu) {
    QTest::keyPress(&f, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(&f, Qt::Key_Alt);
    ASSERT_EQ(OpenMenu(), f.Menu().Menu("File1"));
    ASSERT_TRUE(CloseMenus(f));
    // Alt used with another key is no Alt alone.
    QTest::keyPress(&f, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(&f, Qt::Key_T, Qt::AltModifier);
    ASSERT_EQ(OpenMenu(), f.Menu().Menu("Tools1"));
    QTest::keyRelease(OpenMenu(), Qt::Key_Alt);
    EXPECT_EQ(OpenMenu(), f.Menu().Menu("Tools1"));
    ASSERT_TRUE(CloseMenus(f));
    QTest::keyPress(&f, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(&f, Qt::Key_F4, Qt::AltModifier);
    QTest::keyRelease(&f, Qt::Key_Alt);
    EXPECT_EQ(OpenMenu(), nullptr);
}

TEST_F(ShortcutTest, RightClickOnTheBackgroundOpensTheFiveMenusAsOneContextMenu) {
    const QPoint at = f.UnitsBox->rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, f.UnitsBox->mapToGlobal(at));
    QApplication::sendEvent(f.UnitsBox, &click); // a label: it passes the event on to the window
    QMenu *context = OpenMenu();
    ASSERT_EQ(context, f.OnDemandMenu().ContextMenu());
    QStringList titles;
    for (QAction *a : context->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&Settings", "&Tools", "&Help"}));
    // The keyboard walks into a submenu and chooses an item: Settings > Units... shows its window.
    f.EncoderSetupForm = new TEncoderSetupForm(&f);
    QTest::keyClick(context, Qt::Key_S);
    ASSERT_EQ(OpenMenu(), f.Menu().Menu("Settings1"));
    QTest::keyClick(OpenMenu(), Qt::Key_U);
    EXPECT_EQ(OpenMenu(), nullptr);
    EXPECT_TRUE(f.EncoderSetupForm->isVisible());
    f.EncoderSetupForm->hide();
}

TEST_F(ShortcutTest, CtrlOLoadsCtrlSSavesTheDataShownAndCtrlQAsksToClose) {
    platform::ScopedDialogs scope(dialogs);
    QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdLoadData);
    EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 300);
    // Ctrl+S saves the data of the mode shown: the status display, then the signal strength plot.
    for (int mode : {0, 2}) {
        if (mode == 2) f.Menu().Item("SignalMonitor1")->trigger();
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(f.session().PendingCommand(), kpd::CmdSaveData) << mode;
        EXPECT_EQ(ModeOf(f), mode);
        EXPECT_EQ(kpd::Index(f.session().PreviousMode()), mode);
    }
    // Nothing in the engineering display.
    QTest::keyClick(&f, Qt::Key_F6);
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowEngineering);
    f.SetBusy(false);
    // Ctrl+Q is File > Exit: the close question, answered No.
    dialogs.Answer(platform::MessageResult::No);
    QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Close Program?");
    EXPECT_FALSE(f.session().ShuttingDown());
}

TEST_F(ShortcutTest, ToolsItemsFollowTheirOwnRules) {
    // Clear Data Buffers, Center Index, Reset Position, Zero, Software Reset, Hardware Reset, Search.
    const char *const items[] = {"All1",           "LocateIndex1",         "ResetPosition1", "Zeroposition1",
                                 "SoftwareSystemReset1", "HardwareReset1", "SearchForElectronics1"};
    struct Row {
        const char *state;
        std::function<void()> enter;
        std::array<bool, 7> enabled;
    };
    const Row rows[] = {
        {"connected, status display", [] {}, {true, true, true, true, true, false, false}},
        {"connected, encoder signal plot",
         [&] {
             QTest::keyClick(&f, Qt::Key_F3);
             f.session().ExecuteCommand(kpd::CmdShowEncoderSignal);
         },
         {true, false, false, false, true, false, false}},
        {"connected, viewing buffered data",
         [&] {
             f.session().States().Set(kpd::DisplayMode::EncoderSignal, kpd::DataState::Viewing);
             f.session().ApplyDataState();
         },
         {false, false, false, false, true, false, false}},
        {"demo mode",
         [&] {
             dialogs.Answer(platform::MessageResult::No);
             platform::ScopedDialogs scope(dialogs);
             f.session().LinkFailure();
             ASSERT_TRUE(apptest::WaitUntil([&] { return f.session().Demo() && !f.session().PortHeld(); }, 5000));
         },
         {false, false, false, false, false, true, true}},
    };
    for (const Row &row : rows) {
        row.enter();
        f.session().ReadWriteTimer()->stop();
        EXPECT_TRUE(f.Menu().Item("Tools1")->isEnabled()) << row.state;
        for (std::size_t i = 0; i < std::size(items); ++i)
            EXPECT_EQ(f.Menu().Item(items[i])->isEnabled(), row.enabled[i]) << row.state << ": " << items[i];
    }
}

TEST_F(ShortcutTest, F1ShowsTheManualWhoseInternalLinksAllResolve) {
    f.HelpForm = new THelpForm(&f);
    QTest::keyClick(&f, Qt::Key_F1);
    ASSERT_TRUE(f.HelpForm->isVisible());
    QTextDocument &doc = *f.HelpForm->ManualBrowser->document();
    ASSERT_FALSE(doc.isEmpty());
    // Every link to "#name" has a heading of that name.
    QStringList anchors, links;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            anchors << c.anchorNames();
            if (c.anchorHref().startsWith('#')) links << c.anchorHref().mid(1);
        }
    ASSERT_FALSE(links.isEmpty());
    for (const QString &link : links)
        EXPECT_TRUE(anchors.contains(link)) << link.toStdString();
    // Following a link brings its heading into view (here the one farthest down).
    QTextBrowser &browser = *f.HelpForm->ManualBrowser;
    f.HelpForm->resize(300, 150);
    QTextBlock target;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() > 0 && links.contains(HeadingAnchor(b.text()))) target = b;
    ASSERT_TRUE(target.isValid());
    const auto shown = [&] {
        return browser.viewport()->rect().contains(browser.cursorRect(QTextCursor(target)).center());
    };
    ASSERT_FALSE(shown());
    browser.setSource(QUrl("#" + HeadingAnchor(target.text())));
    EXPECT_TRUE(shown());
    f.HelpForm->hide();
}
