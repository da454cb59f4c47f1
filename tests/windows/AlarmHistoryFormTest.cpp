// The alarm history window as the main window's History button and "&Alarm History Log..." item show it:
// never modal, a snapshot of the status display's history on show and on Refresh, Clear History (memo,
// history, lamps), Save to File writing the shown lines (a failed save keeps the old file), Close and
// Escape hiding it.
#include "AppTestSupport.h"
#include "widgets/Lamp.h"
#include "windows/TAlarmHistoryForm.h"
#include "workers/AlarmLine.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using platform::MessageKind;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class AlarmHistoryFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        h = std::make_unique<apptest::Harness>();
        Main().AlarmHistoryForm = new TAlarmHistoryForm(&Main());
        Main().session().Config().ComputePositionScale(0);
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        Form().hide();
        h.reset();
    }
    TMainForm &Main() { return *h->form; }
    TAlarmHistoryForm &Form() { return *Main().AlarmHistoryForm; }
    kpd::AlarmHistory &History() { return Main().session().Status().Evaluation().History(); }
    // A status sample that adds an alarm line: an evaluated over-signal sample raises the over-signal
    // counter to 1, and every sample adds a line while it is 1 (the next evaluation raises it further).
    void OverSignal(int32_t position) {
        const bool evaluate = Main().session().Status().Evaluation().OverSignalCounter() != 1;
        Main().session().Status().UpdateStatusDisplay(position, 500.0f, 0, 0, 1.0f, false, evaluate);
    }
    void Show() {
        Main().AlarmHistoryButton->setEnabled(true);
        Main().AlarmHistoryButton->click();
        ASSERT_TRUE(Form().isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    }
    QStringList HistoryLines() {
        QStringList out;
        for (const std::string &l : History().Snapshot())
            out << QString::fromStdString(l);
        return out;
    }
    fs::path Path(const char *name) const { return fs::path(dir.path().toStdString()) / name; }

    std::unique_ptr<apptest::Harness> h;
    QTemporaryDir dir;
};

TEST_F(AlarmHistoryFormTest, ShowsNonModalWithTheDesignedControls) {
    Show();
    TAlarmHistoryForm &d = Form();
    EXPECT_TRUE(h->modalShown.empty());
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(d.windowTitle(), "Alarm History Log...");
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(
        d.Label1->text().toStdString(),
        "            Alarm Type                                     Location                            "
        "                            Time    ");
    EXPECT_TRUE(d.AlarmHistoryMemo->isReadOnly());
    EXPECT_EQ(d.AlarmHistoryMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(d.RefreshButton->text(), "Refresh");
    EXPECT_EQ(d.ClearHistoryButton->text(), "Clear History ");
    EXPECT_EQ(d.SaveButton->text(), "Save to File");
    EXPECT_EQ(d.Close->text(), "Close");
    EXPECT_TRUE(d.Close->isDefault());
    EXPECT_TRUE(d.MemoLines().isEmpty()) << "an empty history shows an empty memo";
    EXPECT_EQ(d.x(), (1024 - d.width()) / 2);
    EXPECT_EQ(d.y(), (768 - d.height()) / 2);
    // The columns of the lines lie under the header's words, in order.
    const auto tabs = d.AlarmHistoryMemo->document()->defaultTextOption().tabs();
    ASSERT_EQ(tabs.size(), 5);
    for (int i = 1; i < tabs.size(); ++i)
        EXPECT_LT(tabs[i - 1].position, tabs[i].position);
    EXPECT_LE(tabs.last().position, d.AlarmHistoryMemo->width());
}

TEST_F(AlarmHistoryFormTest, TheMenuItemShowsItToo) {
    QAction *item = Main().Menu().Item("Resetalarms1");
    ASSERT_NE(item, nullptr);
    Main().Menu().SetEnabled("Resetalarms1", true);
    item->trigger();
    EXPECT_TRUE(Form().isVisible());
    EXPECT_TRUE(h->modalShown.empty());
}

TEST_F(AlarmHistoryFormTest, ShowsASnapshotThatRefreshUpdates) {
    OverSignal(11);
    OverSignal(12);
    ASSERT_EQ(History().Count(), 2u);
    Show();
    EXPECT_EQ(Form().MemoLines(), HistoryLines());
    EXPECT_TRUE(Form().MemoLines()[0].contains("12\tcounts\t\t   ")) << Form().MemoLines()[0].toStdString();

    OverSignal(13);
    EXPECT_EQ(Form().MemoLines().size(), 2) << "a new line waits for Refresh";
    Form().RefreshButton->click();
    EXPECT_EQ(Form().MemoLines().size(), 3);
    EXPECT_EQ(Form().MemoLines(), HistoryLines());

    // Shown again after hiding: a fresh copy.
    Form().Close->click();
    EXPECT_FALSE(Form().isVisible());
    OverSignal(14);
    Show();
    EXPECT_EQ(Form().MemoLines().size(), 4);
    EXPECT_EQ(History().Count(), 4u) << "the window never adds lines";
}

TEST_F(AlarmHistoryFormTest, ClearHistoryEmptiesTheMemoTheHistoryAndGreysTheLamps) {
    OverSignal(1);
    Main().OverSignalShape->setBrushColor(Qt::red);
    Main().YellowShape->setBrushColor(Qt::yellow);
    Main().RedShape->setBrushColor(Qt::red);
    Show();
    ASSERT_EQ(Form().MemoLines().size(), 1);
    Form().ClearHistoryButton->click();
    EXPECT_TRUE(Form().MemoLines().isEmpty());
    EXPECT_TRUE(History().Empty());
    EXPECT_EQ(Main().session().Status().Evaluation().OverSignalCounter(), 0);
    const QColor grey(0x6D, 0x6D, 0x6D);
    EXPECT_EQ(Main().OverSignalShape->brushColor(), grey);
    EXPECT_EQ(Main().YellowShape->brushColor(), grey);
    EXPECT_EQ(Main().RedShape->brushColor(), grey);
    Form().RefreshButton->click();
    EXPECT_TRUE(Form().MemoLines().isEmpty());
    OverSignal(2);
    Form().RefreshButton->click();
    EXPECT_EQ(Form().MemoLines().size(), 1) << "the next over-signal event adds a line again";
}

TEST_F(AlarmHistoryFormTest, SaveWritesTheShownLinesAndAFailedSaveKeepsTheOldFile) {
    OverSignal(100);
    OverSignal(200);
    Show();
    ScriptedDialogs dialogs;
    dialogs.AnswerFile(Path("history.alm").string());
    ScopedDialogs scope(dialogs);
    Form().SaveButton->click();
    EXPECT_TRUE(dialogs.Done());
    ASSERT_EQ(dialogs.Questions().size(), 1u);
    EXPECT_EQ(dialogs.Questions()[0].file.defaultExt, "alm");
    EXPECT_EQ(dialogs.Questions()[0].file.filter, "Alarm History (*.alm)|*.alm|All Files (*.*)|*.*");
    const QStringList shown = Form().MemoLines();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(ReadFile(Path("history.alm")), (shown.join("\r\n") + "\r\n").toStdString());

    // Saving onto a folder of that name fails: the error box, and the folder and its file stay.
    fs::create_directory(Path("taken.alm"));
    std::ofstream(Path("taken.alm") / "inside") << "keep";
    dialogs.Reset();
    dialogs.AnswerFile(Path("taken.alm").string()).Answer(MessageResult::Yes).Answer(MessageResult::Ok);
    Form().SaveButton->click();
    EXPECT_TRUE(dialogs.Done());
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].kind, MessageKind::Error);
    EXPECT_EQ(messages[1].text,
              "Cannot Save to File.  Verify the file is not being used by any other application.");
    EXPECT_EQ(ReadFile(Path("taken.alm") / "inside"), "keep");
    EXPECT_TRUE(Form().isVisible());

    // Cancel writes nothing.
    dialogs.Reset();
    dialogs.AnswerFile(std::nullopt);
    Form().SaveButton->click();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(AlarmHistoryFormTest, CloseAndEscapeHideIt) {
    Show();
    Form().Close->click();
    EXPECT_FALSE(Form().isVisible());
    Show();
    QTest::keyClick(Form().AlarmHistoryMemo, Qt::Key_Escape);
    EXPECT_FALSE(Form().isVisible());
    Show();
    QTest::keyClick(Form().RefreshButton, Qt::Key_Escape);
    EXPECT_FALSE(Form().isVisible());
}

// ---- Size classes: the window fits each screen and its captions can be read; with KPD_SHOTS_DIR set, a
// screenshot with a line of each unit ----

struct ScreenCase {
    platform::ScreenMetrics screen;
    int sizeClass;
};

class AlarmHistoryFormScreens : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(AlarmHistoryFormScreens, FitsAndShowsEveryUnitInItsColumns) {
    apptest::ClearInstallDir();
    const ScreenCase sc = GetParam();
    apptest::Harness h(sc.screen);
    TMainForm &f = *h.form;
    f.AlarmHistoryForm = new TAlarmHistoryForm(&f);
    kpd::AlarmHistory &history = f.session().Status().Evaluation().History();
    const kpd::LocalDateTime t{2024, 9, 30, 23, 59, 59};
    const char *const units[][2] = {{"1,234", "counts"},         {"-1,234,567", "counts"},
                                    {"24,680.00", "nanometers"}, {"24.68000", "microns"},
                                    {"0.02468000", "mm"},        {"971.6535", "microinches"},
                                    {"0.9716535", "mils"},       {"0.0009716535", "inches"}};
    for (const auto &u : units)
        history.Insert(kpd::FormatAlarmLine(u[0], u[1], t));
    f.AlarmHistoryButton->setEnabled(true);
    f.AlarmHistoryButton->click();
    TAlarmHistoryForm &d = *f.AlarmHistoryForm;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_LE(d.width(), sc.screen.width);
    EXPECT_LE(d.height(), sc.screen.height);
    EXPECT_GE(d.x(), 0);
    EXPECT_GE(d.y(), 0);
    for (QPushButton *b : {d.RefreshButton, d.ClearHistoryButton, d.SaveButton, d.Close})
        EXPECT_LE(b->sizeHint().width(), b->width()) << b->objectName().toStdString();
    // Every line fits without scrolling sideways.
    EXPECT_FALSE(d.AlarmHistoryMemo->horizontalScrollBar()->isVisible());
    if (const char *dir = std::getenv("KPD_SHOTS_DIR")) {
        QDir().mkpath(dir);
        d.grab().save(QString("%1/alarm-history-class-%2.png").arg(dir).arg(sc.sizeClass));
    }
    d.hide();
}

INSTANTIATE_TEST_SUITE_P(Classes, AlarmHistoryFormScreens,
                         ::testing::Values(ScreenCase{{800, 600, 96}, 0}, ScreenCase{{1024, 768, 96}, 1},
                                           ScreenCase{{1280, 1024, 96}, 2}));

} // namespace
