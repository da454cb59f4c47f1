// The scheduler's data-file commands: save (title, filter, errors, cancel), load (kinds, rejection) and
// clearing of the data buffers.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "platform/ScriptedDialogs.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>

using platform::MessageKind;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

using apptest::RecordingDataControl;

class DataCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        f.dataControl = &dc;
        f.SetAccess(std::make_unique<ComData>(256));
        // A few recorded status samples.
        auto &ring = f.Access()->Data.SetupStatus();
        auto intervals = f.Access()->Data.Intervals(0);
        for (int i = 0; i < 5; ++i)
            intervals[i] = 0.1f;
        ring.count.store(5);
        ring.elapsed.store(0.5f);
    }
    std::string Path(const char *name) const { return (dir.path() + "/" + name).toStdString(); }

    apptest::Harness h;
    TMainForm &f = *h.form;
    RecordingDataControl dc;
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
};

} // namespace

TEST_F(DataCommandTest, SaveWritesTheDataOfTheChosenKindAndReturnsToThePreviousMode) {
    dialogs.AnswerFile(Path("status.man"));
    ScopedDialogs scope(dialogs);
    f.PreviousDisplayMode = 2;
    f.DisplayMode = 0; // the File > Save handler has set the kind
    f.SetDataControlsEnabled(false);
    f.ExecuteCommand(kpd::CmdSaveData);
    ASSERT_EQ(dialogs.Questions().size(), 1u);
    const auto &q = dialogs.Questions()[0];
    EXPECT_EQ(q.type, ScriptedDialogs::QuestionType::SaveFile);
    EXPECT_EQ(q.file.title, "Save Setup and Status Data as:");
    EXPECT_EQ(q.file.defaultExt, "man");
    EXPECT_EQ(q.file.filter, "Setup and Status Data (*.man)|*.man|All Files (*.*)|*.*");
    EXPECT_TRUE(q.file.overwritePrompt);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("status.man"))));
    EXPECT_EQ(f.DisplayMode, 2);
    EXPECT_TRUE(f.AcquireButton->isEnabled());
    EXPECT_FALSE(platform::HourglassShown());
    ASSERT_FALSE(dc.calls.empty());
    EXPECT_EQ(dc.calls.back().first, 2); // monitoring of the restored mode
}

TEST_F(DataCommandTest, CancelledSaveWritesNothingAndRestartsMonitoring) {
    dialogs.AnswerFile(std::nullopt);
    ScopedDialogs scope(dialogs);
    f.PreviousDisplayMode = 0;
    f.DisplayMode = 3;
    f.ExecuteCommand(kpd::CmdSaveData);
    EXPECT_EQ(dialogs.Questions().at(0).file.title, "Save Position/Velocity Data as:");
    EXPECT_EQ(f.DisplayMode, 0);
    ASSERT_EQ(dc.calls.size(), 1u);
    EXPECT_EQ(dc.calls[0], std::make_pair(0, 1));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(DataCommandTest, FailedSaveShowsTheErrorAndKeepsAnExistingFile) {
    // The chosen name is a directory: the save cannot replace it.
    QDir(dir.path()).mkdir("taken.lis");
    dialogs.AnswerFile(Path("taken.lis"));
    dialogs.Answer(MessageResult::Yes); // replace it
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    f.PreviousDisplayMode = 0;
    f.DisplayMode = 1;
    f.ExecuteCommand(kpd::CmdSaveData);
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u); // the overwrite prompt, then the error
    EXPECT_EQ(messages[1].kind, MessageKind::Error);
    EXPECT_EQ(messages[1].text,
              "Cannot Save to File.  Verify the file is not being used by any other application.");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(Path("taken.lis"))).isDir());
    EXPECT_EQ(f.DisplayMode, 0);
    EXPECT_FALSE(platform::HourglassShown());
    EXPECT_EQ(dc.calls.size(), 2u); // after the error, and again at the common end
}

TEST_F(DataCommandTest, LoadOfASavedFileEndsStoppedInItsMode) {
    ASSERT_TRUE(f.Access()->Data.SaveSetupStatusFile(Path("round.man"), "counts", 1.0f, 1.0f));
    dialogs.AnswerFile(Path("round.man"));
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    f.DisplayMode = 0;
    f.TimeText2->setText("12.0");
    f.ExecuteCommand(kpd::CmdLoadData);
    const auto &open = dialogs.Questions().at(0);
    EXPECT_EQ(open.type, ScriptedDialogs::QuestionType::OpenFile);
    EXPECT_EQ(open.file.title, "Choose Data File to Open");
    EXPECT_EQ(open.file.filter,
              "All Files (*.*)|*.*|Setup and Status Data (*.man)|*.man|Position/Velocity Data "
              "(*.pos)|*.pos|Signal Strength Data (*.str)|*.str|Encoder Data (*.lis)|*.lis|");
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Setup and Status Data successfully loaded");
    EXPECT_EQ(f.TimeText2->text(), "0.0");
    EXPECT_EQ(f.DisplayMode, 0);
    EXPECT_EQ(f.DataState[0], 0);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdStopData);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 200);
    EXPECT_TRUE(f.FastButton->isEnabled());
    EXPECT_TRUE(f.ReviewButton->isEnabled());
    EXPECT_TRUE(f.StopButton->isEnabled());
    EXPECT_EQ(f.windowTitle(), "Data Display Stopped");
}

TEST_F(DataCommandTest, LoadOfAForeignFileIsRejected) {
    {
        std::ofstream out(Path("notes.txt"));
        out << "shopping list\r\n";
    }
    dialogs.AnswerFile(Path("notes.txt"));
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    f.DisplayMode = 0;
    f.ExecuteCommand(kpd::CmdLoadData);
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Invalid Software File Type");
    EXPECT_EQ(f.DisplayMode, 0);
    EXPECT_EQ(f.Access()->Data.SetupStatus().count.load(), 5); // nothing changed
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
    EXPECT_EQ(dc.calls.back(), std::make_pair(0, 1)); // monitoring restarts
}

TEST_F(DataCommandTest, ClearingABufferResetsTheTimeOnlyForTheShownMode) {
    f.DisplayMode = 1;
    f.TimeText2->setText("7.5");
    f.BufferSelector = 0;
    f.ExecuteCommand(kpd::CmdClearBuffers);
    EXPECT_EQ(f.Access()->Data.SetupStatus().count.load(), 0);
    EXPECT_EQ(f.TimeText2->text(), "7.5");
    f.BufferSelector = 1;
    f.ExecuteCommand(kpd::CmdClearBuffers);
    EXPECT_EQ(f.TimeText2->text(), "0.0");
    f.TimeText2->setText("3.0");
    f.BufferSelector = 9;
    f.ExecuteCommand(kpd::CmdClearBuffers);
    EXPECT_EQ(f.TimeText2->text(), "3.0");
    f.DisplayMode = 2;
    f.BufferSelector = 4;
    f.ExecuteCommand(kpd::CmdClearBuffers);
    EXPECT_EQ(f.TimeText2->text(), "0.0");
    EXPECT_EQ(dc.calls.size(), 4u);
}

TEST_F(DataCommandTest, SaveMenuItemsPrepareTheKindAndQueueTheSave) {
    f.DisplayMode = 2;
    f.MenuItem("EncoderSignal1")->trigger();
    EXPECT_EQ(f.PreviousDisplayMode, 2);
    EXPECT_EQ(f.DisplayMode, 1);
    EXPECT_EQ(f.PendingCommand(), kpd::CmdSaveData);
    EXPECT_EQ(f.ReadWriteTimer->interval(), 300);
    EXPECT_FALSE(f.AcquireButton->isEnabled()); // data controls off until the command ends
}
