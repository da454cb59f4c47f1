// Recordings reach the window by a drop and by File > Recent Files and load as File > Load loads them
// (here in demo mode).
#include "AppTestSupport.h"
#include "windows/RecentFilesMenu.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

class RecordingAccess : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        apptest::SearchNothingIgnore(f);
        dialogs.Answer(platform::MessageResult::Ok);
    }
    // A recording of two encoder-signal records.
    std::string Recording(const QString &name) {
        QFile out(dir.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("vk2401.1encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n"
                  "32868\t32668\t141\t45\t0.00100\r\n32858\t32678\t127\t45\t0.00100\r\n");
        return out.fileName().toStdString();
    }
    void Drop(const std::string &file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
        QDragEnterEvent enter({200, 200}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &drop);
    }
    // The one message, once the scheduler is idle.
    std::string Message() {
        apptest::WaitUntil(
            [&] { return !f.session().ReadWriteTimer()->isActive() && !dialogs.Messages().empty(); }, 5000);
        return dialogs.Messages().size() == 1 ? dialogs.Messages()[0].text : "";
    }

    QTemporaryDir dir;
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope{dialogs};
    apptest::Harness h;
    TMainForm &f = *h.form;
    const std::vector<std::string> &recent = f.RecentFiles().List().Files();
};

} // namespace

TEST_F(RecordingAccess, ADroppedRecordingLoadsAsFileLoadAndJoinsTheRecentFiles) {
    const std::string file = Recording("run.lis");
    Drop(file);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdLoadData); // its turn through the scheduler
    EXPECT_EQ(Message(), "Encoder Signal Data successfully loaded");
    EXPECT_EQ(dialogs.Questions().size(), 1u); // no open dialog
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::EncoderSignal);
    EXPECT_EQ(f.session().Data().EncoderSignal().count.load(), 2);
    EXPECT_EQ(recent, std::vector<std::string>{file});
}

TEST_F(RecordingAccess, AnyOtherDroppedFileGetsTheLoadsRejectionAndChangesNothing) {
    Drop(Recording("run.txt"));
    EXPECT_EQ(Message(), "Invalid Software File Type");
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::Status);
    EXPECT_EQ(f.session().Data().EncoderSignal().count.load(), 0);
    EXPECT_TRUE(recent.empty());
}

TEST_F(RecordingAccess, ARecentFileThatIsGoneLeavesTheListWithAMessage) {
    const std::string kept = Recording("kept.lis"), gone = Recording("gone.lis");
    f.RecentFiles().Add(kept);
    f.RecentFiles().Add(gone);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(gone)));
    QMenu *menu = f.Menu().Menu("RecentFiles1");
    menu->actions().value(0)->trigger(); // the newest
    EXPECT_EQ(recent, std::vector<std::string>{kept});
    EXPECT_EQ(Message(),
              "Cannot find the file \"" + gone + "\". It has been removed from the list of recent files.");
}
