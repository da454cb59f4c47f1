// The engineering display as a window: its design (caption, size, colours, the 42 boxes with their
// captions, the write area and the AGC buttons), the values it shows, the engineering write lock in the
// shared choice dialog, the menus it disables and restores, and every way of closing it running its
// close handling once. End to end against simulated electronics: F6 shows the electronics' registers,
// Write and the AGC buttons reach the electronics, a refused entry sends nothing, and closing returns to
// the mode shown before with its worker.
#include "AppTestSupport.h"

#include "session/EngineeringController.h"
#include "session/PlotController.h"
#include "session/StatusController.h"
#include "windows/TEngineeringDisplay.h"
#include "windows/TRadioDialog.h"
#include "workers/ReadAllAcquisition.h"
#include "workers/StreamAcquisition.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using kpd::DataState;
using kpd::DisplayMode;
using platform::MessageResult;

namespace {

// ---- Close handling ----

void ExpectClosedOnce(const std::function<void(TEngineeringDisplay &)> &closeIt) {
    TEngineeringDisplay d;
    QSignalSpy closed(&d, &TEngineeringDisplay::Closed);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    closeIt(d);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(closed.count(), 1);
    // Closing a hidden window again changes nothing.
    d.close();
    EXPECT_EQ(closed.count(), 1);
}

TEST(EngineeringDisplayClose, EscapeRunsTheCloseHandling) {
    ExpectClosedOnce([](TEngineeringDisplay &d) { QTest::keyClick(&d, Qt::Key_Escape); });
}

TEST(EngineeringDisplayClose, EscapeInTheWriteBoxRunsTheCloseHandling) {
    ExpectClosedOnce([](TEngineeringDisplay &d) {
        d.writedatabox->setFocus();
        QTest::keyClick(d.writedatabox, Qt::Key_Escape);
    });
}

TEST(EngineeringDisplayClose, CloseButtonRunsTheCloseHandling) {
    ExpectClosedOnce([](TEngineeringDisplay &d) { d.close(); });
}

TEST(EngineeringDisplayClose, AcceptAndRejectRunTheCloseHandling) {
    ExpectClosedOnce([](TEngineeringDisplay &d) { d.accept(); });
    ExpectClosedOnce([](TEngineeringDisplay &d) { d.reject(); });
}

// ---- Design ----

TEST(EngineeringDisplayDesign, CaptionSizeColourAndBorderIcons) {
    platform::ScopedScreenOverride screen({1024, 768, 96});
    TEngineeringDisplay d;
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.windowTitle(), "Engineering Display");
    EXPECT_EQ(d.size(), QSize(816, 731));
    EXPECT_EQ(d.Panel->size(), QSize(816, 731));
    EXPECT_EQ(d.Panel->palette().color(QPalette::Window), QColor("#004080"));
    const Qt::WindowFlags f = d.windowFlags();
    EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(f & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(f & Qt::WindowContextHelpButtonHint);
    // Centred on the screen.
    EXPECT_EQ(d.x(), (1024 - 816) / 2);
    d.close();
}

TEST(EngineeringDisplayDesign, FortyTwoBoxesWithTheirNamesAndCaptionsInSlotOrder) {
    TEngineeringDisplay d;
    const char *names[] = {
        "genreg0box",      "genreg1box",       "gainbox",         "xoffsetbox",     "yoffsetbox",
        "phasebox",        "indexanglebox",    "wtrimbox",        "xtrimbox",       "ytrimbox",
        "ztrimbox",        "indexvcsellimbox", "mainvcsellimbox", "indexvcselbox",  "mainvcselbox",
        "interpbox",       "mainvcselupbox",   "mainvcsellowbox", "firmverbox",     "xadbox",
        "yadbox",          "xadadjbox",        "yadadjbox",       "tr3sumabox",     "tr3sumbbox",
        "magnitudebox",    "pos64box",         "statusbox",       "maindrivebox",   "indexdrivebox",
        "indexposedgebox", "indexnegedgebox",  "positionbox",     "fringecntbox",   "spare1box",
        "indexwidthbox",   "sensortypebox",    "atstatusbox",     "indexlowlimbox", "mspversionbox",
        "powerontimebox",  "poweroncyclesbox"};
    static_assert(std::size(names) == kpd::readall::SlotCount);
    for (int i = 0; i < kpd::readall::SlotCount; ++i) {
        SCOPED_TRACE(names[i]);
        auto *box = d.findChild<QLineEdit *>(names[i]);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box, d.Box(i));
        EXPECT_TRUE(box->text().isEmpty());
        auto *caption = d.findChild<QLabel *>(QString(names[i]) + "Label");
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), TEngineeringDisplay::Caption(i));
        // Inside the panel, and no two boxes overlap.
        EXPECT_TRUE(QRect(QPoint(0, 0), d.Panel->size()).contains(box->geometry()));
        EXPECT_TRUE(QRect(QPoint(0, 0), d.Panel->size()).contains(caption->geometry()));
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(box->geometry().intersects(d.Box(j)->geometry())) << names[j];
    }
    EXPECT_EQ(TEngineeringDisplay::Caption(0), "GenReg 0 Addr 00");
    EXPECT_EQ(TEngineeringDisplay::Caption(2), "Gain  Addr 04");
    EXPECT_EQ(TEngineeringDisplay::Caption(11), "Index TrSum Target\nAddr 16");
    EXPECT_EQ(TEngineeringDisplay::Caption(17), "Main VCSEL Lower\nAddr 24");
    EXPECT_EQ(TEngineeringDisplay::Caption(38), "Index Low Limit Addr 93");
    EXPECT_EQ(TEngineeringDisplay::Caption(39), "MSP Version");
    EXPECT_EQ(TEngineeringDisplay::Caption(41), "Power On Cycles");
}

TEST(EngineeringDisplayDesign, HeadingsWriteAreaAgcButtonsAndCloseText) {
    TEngineeringDisplay d;
    EXPECT_EQ(d.DataHeading->text(), "Data Register Values in Hex:");
    EXPECT_EQ(d.ParameterHeading->text(), "Alignment Tool Parameters Values in Hex:");
    EXPECT_EQ(d.WriteLabel->text(), "Enter 8 digit Hex number representing Address and Data to write");
    EXPECT_EQ(d.writedatabox->objectName(), "writedatabox");
    EXPECT_EQ(d.writedatabutton->objectName(), "writedatabutton");
    EXPECT_EQ(d.writedatabutton->text(), "Write ");
    EXPECT_FALSE(d.writedatabutton->isEnabled()); // writing is locked until enabled
    EXPECT_FALSE(d.WriteEnabled());
    EXPECT_EQ(d.enablemainagcbutton->text(), "Main Track AGC Enable");
    EXPECT_EQ(d.disablemainagcbutton->text(), "Main Track AGC Disable");
    EXPECT_EQ(d.CloseText->text(), "Close This Window to Return to Previous Display");
    // Return never presses a button.
    for (QPushButton *b : {d.writedatabutton, d.enablemainagcbutton, d.disablemainagcbutton}) {
        EXPECT_FALSE(b->autoDefault());
        EXPECT_FALSE(b->isDefault());
    }
}

TEST(EngineeringDisplayDesign, OnASmallScreenTheCompactPlacementFitsTheScreen) {
    platform::ScopedScreenOverride screen({800, 600, 96});
    TEngineeringDisplay d;
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.size(), QSize(TEngineeringDisplay::CompactWidth, TEngineeringDisplay::CompactHeight));
    EXPECT_LE(d.width(), 800);
    EXPECT_LE(d.height() + 32, 600); // with its title bar
    EXPECT_GE(d.x(), 0);
    EXPECT_GE(d.y(), 0);
    EXPECT_EQ(d.Panel->size(), d.size());
    const QRect panel(QPoint(0, 0), d.Panel->size());
    for (QWidget *w : d.Panel->findChildren<QWidget *>())
        EXPECT_TRUE(panel.contains(w->geometry())) << w->objectName().toStdString();
    for (int i = 0; i < kpd::readall::SlotCount; ++i)
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(d.Box(i)->geometry().intersects(d.Box(j)->geometry())) << i << " " << j;
    d.close();
    // Shown again on a larger screen: the designed placement.
    platform::ScopedScreenOverride larger({1280, 1024, 96});
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.size(), QSize(816, 731));
    d.close();
}

// Every text fits its control on each screen size class; with KPD_SHOTS_DIR set, a screenshot of the
// display showing a full pass on each.
TEST(EngineeringDisplayDesign, TextsFitOnEachScreenSizeClass) {
    const struct {
        platform::ScreenMetrics screen;
        const char *file;
    } screens[] = {{{800, 600, 96}, "engineering-small.png"},
                   {{1024, 768, 96}, "engineering-medium.png"},
                   {{1280, 1024, 96}, "engineering-large.png"}};
    const char *dir = std::getenv("KPD_SHOTS_DIR");
    if (dir) QDir().mkpath(dir);
    for (const auto &s : screens) {
        SCOPED_TRACE(s.file);
        platform::ScopedScreenOverride screen(s.screen);
        TEngineeringDisplay d;
        std::array<std::string, kpd::readall::SlotCount> texts;
        for (int i = 0; i < kpd::readall::SlotCount; ++i)
            texts[static_cast<std::size_t>(i)] =
                kpd::readall::FormatSlot(i, i < 40 ? 0xBEEFu + 0x111u * i : 0x89ABCDEFu);
        d.ShowValues(texts);
        d.writedatabox->setText("00800046");
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        for (QLabel *l : d.Panel->findChildren<QLabel *>()) {
            const QFontMetrics fm(l->font());
            const QRect need = fm.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft, l->text());
            EXPECT_LE(need.width(), l->width()) << l->objectName().toStdString();
            EXPECT_LE(need.height(), l->height()) << l->objectName().toStdString();
        }
        for (int i = 0; i < kpd::readall::SlotCount; ++i) {
            QLineEdit *box = d.Box(i);
            const QFontMetrics fm(box->font());
            EXPECT_LE(fm.horizontalAdvance(box->text()) + 8, box->width()) << box->objectName().toStdString();
        }
        for (QPushButton *b : {d.writedatabutton, d.enablemainagcbutton, d.disablemainagcbutton}) {
            const QFontMetrics fm(b->font());
            EXPECT_LE(fm.horizontalAdvance(b->text()) + 12, b->width()) << b->objectName().toStdString();
        }
        if (dir) d.grab().save(QDir(dir).filePath(s.file), "PNG");
        d.close();
    }
}

TEST(EngineeringDisplayDesign, ValuesGoIntoTheirBoxesAndEmptyTextsClearThem) {
    TEngineeringDisplay d;
    std::array<std::string, kpd::readall::SlotCount> texts;
    texts[0] = "A1B2";
    texts[40] = "00012345";
    d.ShowValues(texts);
    EXPECT_EQ(d.Box(0)->text(), "A1B2");
    EXPECT_EQ(d.Box(40)->text(), "00012345");
    EXPECT_TRUE(d.Box(1)->text().isEmpty());
    d.ShowValues({});
    EXPECT_TRUE(d.Box(0)->text().isEmpty());
}

TEST(EngineeringDisplayDesign, TheButtonsAskForTheirActions) {
    TEngineeringDisplay d;
    QSignalSpy writes(&d, &TEngineeringDisplay::WriteRequested);
    QSignalSpy agc(&d, &TEngineeringDisplay::MainAgcRequested);
    d.writedatabox->setText("00800046");
    d.writedatabutton->click(); // locked: nothing
    EXPECT_EQ(writes.count(), 0);
    d.SetWriteEnabled(true);
    d.writedatabutton->click();
    ASSERT_EQ(writes.count(), 1);
    EXPECT_EQ(writes[0][0].toString(), "00800046");
    d.enablemainagcbutton->click();
    d.disablemainagcbutton->click();
    ASSERT_EQ(agc.count(), 2);
    EXPECT_TRUE(agc[0][0].toBool());
    EXPECT_FALSE(agc[1][0].toBool());
}

// ---- The main window's side ----

class EngineeringWindow : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        f.EngineeringDisplay = new TEngineeringDisplay(&f);
        f.RadioDialog = new TRadioDialog(&f);
    }
    apptest::Harness h;
    TMainForm &f = *h.form;
};

TEST_F(EngineeringWindow, TheWriteLockDialogEnablesAndDisablesWriting) {
    TRadioDialog &d = *f.RadioDialog;
    // The output settings dialog ran before: its groups are visible.
    d.RadioGroup2->setVisible(true);
    d.RadioGroup3->setVisible(true);
    int preselected = -2;
    bool group2Visible = true;
    bool group3Visible = true;
    QStringList items;
    int choose = 0;
    f.execDialog = [&](QDialog *dialog) {
        EXPECT_EQ(dialog, f.RadioDialog);
        preselected = d.RadioGroup1->ItemIndex();
        group2Visible = d.RadioGroup2->isVisibleTo(&d);
        group3Visible = d.RadioGroup3->isVisibleTo(&d);
        items = d.RadioGroup1->Items();
        if (const char *dir = std::getenv("KPD_SHOTS_DIR"))
            d.grab().save(QDir(dir).filePath("engineering-write-lock.png"), "PNG");
        d.RadioGroup1->SetItemIndex(choose);
        return int(QDialog::Accepted);
    };
    f.Menu().Item("EngineeringDisplay1")->trigger(); // Ctrl+Alt+S
    EXPECT_EQ(d.windowTitle(), "Engineering Display Settings");
    EXPECT_EQ(d.warning->text(),
              "Warning:  Please review all documentation before enabling writing in engineering mode.  Also "
              "verify that only valid data is being sent.  Remember all data sent is in hexadecimal");
    EXPECT_EQ(items, (QStringList{"Enable Engineering Write", "Disable Engineering Write"}));
    EXPECT_EQ(preselected, 1);
    EXPECT_FALSE(group2Visible);
    EXPECT_FALSE(group3Visible);
    EXPECT_TRUE(d.RadioGroup2->Items().isEmpty());
    EXPECT_TRUE(f.EngineeringDisplay->WriteEnabled());

    // Cancel changes nothing.
    f.execDialog = [&](QDialog *) { return int(QDialog::Rejected); };
    f.EngineeringDisplay1Click();
    EXPECT_TRUE(f.EngineeringDisplay->WriteEnabled());

    // OK with the second item locks writing again.
    choose = 1;
    f.execDialog = [&](QDialog *) {
        d.RadioGroup1->SetItemIndex(choose);
        return int(QDialog::Accepted);
    };
    f.EngineeringDisplay1Click();
    EXPECT_FALSE(f.EngineeringDisplay->WriteEnabled());
}

TEST_F(EngineeringWindow, MenusAreDisabledWhileItIsShownAndRestoredWhenItCloses) {
    f.Menu().SetEnabled("Settings1", false); // as some earlier state left it
    f.ShowEngineeringDisplay();
    ASSERT_TRUE(f.EngineeringDisplay->isVisible());
    for (const char *m : {"File1", "View1", "Settings1", "Tools1"})
        EXPECT_FALSE(f.Menu().Enabled(m)) << m;
    EXPECT_FALSE(f.Menu().Reachable("Engineering1")); // F6 does nothing meanwhile
    // Shown again by an activation of the main window: still disabled, and restored once.
    f.ShowEngineeringDisplay();
    QTest::keyClick(f.EngineeringDisplay, Qt::Key_Escape);
    EXPECT_FALSE(f.EngineeringDisplay->isVisible());
    EXPECT_TRUE(f.Menu().Enabled("File1"));
    EXPECT_TRUE(f.Menu().Enabled("View1"));
    EXPECT_FALSE(f.Menu().Enabled("Settings1"));
    EXPECT_TRUE(f.Menu().Enabled("Tools1"));
    EXPECT_TRUE(f.Menu().Reachable("Engineering1"));
}

// ---- End to end ----

class EngineeringEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        ASSERT_TRUE(electronics.Started()) << electronics.Error();
        f.EngineeringDisplay = new TEngineeringDisplay(&f);
        f.RadioDialog = new TRadioDialog(&f);
        scope = std::make_unique<platform::ScopedDialogs>(dialogs);
        ASSERT_TRUE(apptest::ConnectStopped(f));
        f.show();
        QApplication::setActiveWindow(&f);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    }
    void TearDown() override {
        scope.reset();
        EXPECT_TRUE(apptest::StopWorkers(f));
        apptest::Disconnect(f);
    }
    kpd::Session &S() { return f.session(); }
    TEngineeringDisplay &D() { return *f.EngineeringDisplay; }
    // F6 (or its menu item, with the main window hidden), and the first pass shown.
    void EnterWithF6() {
        if (f.isVisible())
            QTest::keyClick(&f, Qt::Key_F6);
        else
            f.Menu().Item("Engineering1")->trigger();
        ASSERT_TRUE(apptest::WaitUntil([&] { return D().isVisible(); }, 5000));
        ASSERT_EQ(S().Mode(), DisplayMode::Engineering);
        ASSERT_TRUE(apptest::WaitUntil([&] { return !D().Box(41)->text().isEmpty(); }, 10000));
    }
    bool CommandDoneAndReading() {
        return apptest::WaitUntil(
            [&] { return !S().Scheduler().Armed() && S().Engineering().WorkerActive(); }, 10000);
    }

    apptest::SimulatedElectronics electronics;
    platform::ScriptedDialogs dialogs;
    std::unique_ptr<platform::ScopedDialogs> scope;
    apptest::Harness h;
    TMainForm &f = *h.form;
};

TEST_F(EngineeringEndToEnd, F6ShowsTheElectronicsRegisters) {
    electronics->setPowerOnHours(0x00012345);
    electronics->setReg(0x00, 0xA1B2);
    EnterWithF6();
    EXPECT_EQ(D().findChild<QLineEdit *>("genreg0box")->text(), "A1B2");
    EXPECT_EQ(D().findChild<QLineEdit *>("interpbox")->text(), "1000");
    EXPECT_EQ(D().findChild<QLineEdit *>("firmverbox")->text(), "0062");
    EXPECT_EQ(D().findChild<QLineEdit *>("sensortypebox")->text(), "1723");
    EXPECT_EQ(D().findChild<QLineEdit *>("mspversionbox")->text(), "0105");
    EXPECT_EQ(D().findChild<QLineEdit *>("powerontimebox")->text(), "00012345");
    EXPECT_EQ(D().findChild<QLineEdit *>("poweroncyclesbox")->text(), "00000039");
    EXPECT_FALSE(S().Status().WorkerActive()); // the read-all worker is the one worker
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(EngineeringEndToEnd, WriteAndAgcButtonsReachTheElectronics) {
    EnterWithF6();
    D().SetWriteEnabled(true);
    D().writedatabox->clear();
    QTest::keyClicks(D().writedatabox, "00060123");
    QTest::mouseClick(D().writedatabutton, Qt::LeftButton);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdEngineeringWrite);
    ASSERT_TRUE(CommandDoneAndReading());
    EXPECT_EQ((*electronics).reg(0x06), 0x0123);
    EXPECT_TRUE(apptest::WaitUntil([&] { return D().findChild<QLineEdit *>("xoffsetbox")->text() == "0123"; },
                                   10000));

    QTest::mouseClick(D().disablemainagcbutton, Qt::LeftButton);
    ASSERT_TRUE(CommandDoneAndReading());
    EXPECT_EQ((*electronics).reg(0x80), 0x0045);
    QTest::mouseClick(D().enablemainagcbutton, Qt::LeftButton);
    ASSERT_TRUE(CommandDoneAndReading());
    EXPECT_EQ((*electronics).reg(0x80), 0x0046);
    EXPECT_TRUE(dialogs.Questions().empty());
    EXPECT_TRUE(D().isVisible());
}

TEST_F(EngineeringEndToEnd, AShortEntryGetsItsMessageAndNothingIsSent) {
    EnterWithF6();
    D().SetWriteEnabled(true);
    const uint16_t command = (*electronics).reg(0x80);
    dialogs.Answer(MessageResult::Ok).Answer(MessageResult::Ok);
    D().writedatabox->setText("800046");
    QTest::mouseClick(D().writedatabutton, Qt::LeftButton);
    D().writedatabox->setText("0080004G");
    QTest::mouseClick(D().writedatabutton, Qt::LeftButton);
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[0].text,
              "Invalid Address entered.  Make sure the address is 8 hex characters in length");
    EXPECT_EQ(dialogs.Messages()[0].kind, platform::MessageKind::Error);
    EXPECT_NE(dialogs.Messages()[1].text, dialogs.Messages()[0].text);
    EXPECT_FALSE(S().Scheduler().Armed());
    QTest::qWait(300);
    EXPECT_EQ((*electronics).reg(0x80), command);
    EXPECT_TRUE(S().Engineering().WorkerActive());
}

// F6 shows the engineering display; Esc closes it, and the session leaves display mode 4 and starts the
// status monitor again.
TEST_F(EngineeringEndToEnd, EscapeReturnsToTheStatusDisplayAndItsMonitor) {
    S().States().Set(DisplayMode::Status, DataState::Live);
    EnterWithF6();
    QTest::keyClick(f.EngineeringDisplay, Qt::Key_Escape);
    EXPECT_FALSE(D().isVisible());
    EXPECT_EQ(S().Mode(), DisplayMode::Status); // at once
    ASSERT_TRUE(apptest::WaitUntil([&] { return S().Status().WorkerActive(); }, 5000));
    EXPECT_FALSE(S().Engineering().WorkerActive());
    EXPECT_TRUE(f.Menu().Reachable("Engineering1"));
    // An activation of the main window afterwards does not bring the display back.
    f.FormActivate();
    EXPECT_FALSE(D().isVisible());
}

// The title bar's close button returns to a plot mode shown before, and its worker streams again.
TEST_F(EngineeringEndToEnd, TheCloseButtonReturnsToThePlotModeAndItsWorker) {
    // The main window stays hidden: its plot is not what this test is about (and painting it under the
    // thread checker only shows the toolkit's own image threads).
    f.hide();
    S().ShowPlotMode(DisplayMode::EncoderSignal, kpd::CmdShowEncoderSignal);
    ASSERT_TRUE(apptest::WaitUntil(
        [&] { return !S().Scheduler().Armed() && S().Plot(DisplayMode::EncoderSignal).WorkerActive(); },
        5000));
    EnterWithF6();
    EXPECT_FALSE(S().Plot(DisplayMode::EncoderSignal).WorkerActive());
    D().close();
    EXPECT_EQ(S().Mode(), DisplayMode::EncoderSignal);
    ASSERT_TRUE(apptest::WaitUntil(
        [&] { return !S().Scheduler().Armed() && S().Plot(DisplayMode::EncoderSignal).WorkerActive(); },
        5000));
    EXPECT_FALSE(S().Engineering().WorkerActive());
    EXPECT_TRUE(dialogs.Questions().empty());
}

} // namespace
