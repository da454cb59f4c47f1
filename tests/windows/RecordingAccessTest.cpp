// Recordings reach the window by a drop and by File > Recent Files, and load as File > Load loads them
// (here in demo mode).
#include "AppTestSupport.h"
#include "windows/MainMenu.h"
#include "windows/RecentFilesMenu.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using platform::MessageResult;

class RecordingAccess : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        ASSERT_TRUE(dir.isValid());
        apptest::SearchNothingIgnore(f);
        ASSERT_TRUE(f.session().Demo());
    }
    // A recording of two encoder-signal records.
    QString Recording(const QString &name) {
        const QString file = dir.filePath(name);
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("vk2401.1encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n"
                  "32868\t32668\t141\t45\t0.00100\r\n32858\t32678\t127\t45\t0.00100\r\n");
        return file;
    }
    void Drop(const QString &file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &drop);
    }
    // The load has run and the mode it showed has stopped.
    bool Loaded() {
        return apptest::WaitUntil([&] { return !f.session().ReadWriteTimer()->isActive(); }, 5000);
    }
    std::vector<std::string> Recent() { return f.RecentFiles().List().Files(); }

    QTemporaryDir dir;
    platform::ScriptedDialogs dialogs;
    apptest::Harness h;
    TMainForm &f = *h.form;
};

} // namespace

TEST_F(RecordingAccess, ADroppedRecordingLoadsAsFileLoadAndJoinsTheRecentFiles) {
    const QString file = Recording("run.lis");
    dialogs.Answer(MessageResult::Ok);
    platform::ScopedDialogs scope(dialogs);
    Drop(file);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdLoadData); // its turn through the scheduler
    ASSERT_TRUE(Loaded());
    ASSERT_EQ(dialogs.Questions().size(), 1u); // no open dialog
    EXPECT_EQ(dialogs.Messages()[0].text, "Encoder Signal Data successfully loaded");
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::EncoderSignal);
    EXPECT_EQ(f.session().Data().EncoderSignal().count.load(), 2);
    EXPECT_EQ(Recent(), std::vector<std::string>{file.toStdString()});
}

TEST_F(RecordingAccess, AnyOtherDroppedFileGetsTheLoadsRejectionAndChangesNothing) {
    const QString file = Recording("run.txt");
    dialogs.Answer(MessageResult::Ok);
    platform::ScopedDialogs scope(dialogs);
    Drop(file);
    ASSERT_TRUE(apptest::WaitUntil([&] { return !dialogs.Messages().empty(); }, 2000));
    EXPECT_EQ(dialogs.Messages()[0].text, "Invalid Software File Type");
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::Status);
    EXPECT_EQ(f.session().Data().EncoderSignal().count.load(), 0);
    EXPECT_TRUE(Recent().empty());
}

TEST_F(RecordingAccess, ARecentFileThatIsGoneLeavesTheListWithAMessage) {
    const QString kept = Recording("kept.lis"), gone = Recording("gone.lis");
    f.RecentFiles().Add(kept.toStdString());
    f.RecentFiles().Add(gone.toStdString());
    ASSERT_TRUE(QFile::remove(gone));
    dialogs.Answer(MessageResult::Ok).Answer(MessageResult::Ok).Answer(MessageResult::Ok);
    platform::ScopedDialogs scope(dialogs);
    QMenu *menu = f.Menu().Menu("RecentFiles1");
    ASSERT_EQ(menu->actions().size(), 2);
    menu->actions()[0]->trigger(); // the newest: gone
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text,
              "Cannot find the file \"" + gone.toStdString() + "\". It has been removed from the list of recent files.");
    EXPECT_EQ(Recent(), std::vector<std::string>{kept.toStdString()});
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
    // The one that is still there loads.
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 1);
    menu->actions()[0]->trigger();
    ASSERT_TRUE(Loaded());
    EXPECT_EQ(dialogs.Messages().back().text, "Encoder Signal Data successfully loaded");
    // Gone as well: the list is empty and its menu disabled.
    QFile::remove(kept);
    f.RecentFiles().Choose(0);
    EXPECT_FALSE(f.Menu().Item("RecentFiles1")->isEnabled());
}
