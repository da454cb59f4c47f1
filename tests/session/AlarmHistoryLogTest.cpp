// The alarm history window's logic: the copy it shows (taken on show and Refresh), Clear History (list,
// lamps, over-signal counter), and the ".alm" save through the save dialog: the copy's lines with CR LF,
// nothing on cancel, and an error box with the old file kept when the save fails.
#include "SessionFixture.h"

#include "session/AlarmHistoryLog.h"
#include "workers/Rgb.h"

#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

using kpd::AlarmHistoryLog;
using platform::MessageButtons;
using platform::MessageKind;
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

void WriteFile(const fs::path &p, const std::string &text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// Limits the size of files this process writes, so that writing more fails (also for root); the signal
// the limit raises is ignored, so the write reports an error instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

class AlarmHistoryLogTest : public sessiontest::SessionTest {
protected:
    kpd::AlarmHistory &History() { return S().Status().Evaluation().History(); }
    fs::path Path(const std::string &name) const { return fs::path(dir.path().toStdString()) / name; }
    // An over-signal event of the status display (magnitude above 430 on an evaluated live sample).
    void OverSignalSample(int32_t position) {
        S().Status().UpdateStatusDisplay(position, 500.0f, 0, 0, 1.0f, false, true);
    }

    AlarmHistoryLog log{S().Status()};
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
};

TEST_F(AlarmHistoryLogTest, AnEmptyHistoryShowsNothing) {
    log.Refresh();
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(AlarmHistoryLogTest, TheCopyIsNewestFirstAndFollowsTheHistoryOnlyOnRefresh) {
    History().Insert("first");
    History().Insert("second");
    log.Refresh();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"second", "first"}));
    History().Insert("third");
    EXPECT_EQ(log.Lines().size(), 2u) << "a line added while the window is open waits for Refresh";
    log.Refresh();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"third", "second", "first"}));
    EXPECT_EQ(History().Count(), 3u) << "the window never changes the history by showing it";
}

TEST_F(AlarmHistoryLogTest, ClearHistoryEmptiesBothGreysTheLampsAndResetsTheCounter) {
    OverSignalSample(5);
    ASSERT_EQ(History().Count(), 1u);
    ASSERT_EQ(S().Status().Evaluation().OverSignalCounter(), 1);
    LightOverSignal();
    S().Status().MutableView().YellowShape = kpd::clYellow;
    S().Status().MutableView().RedShape = kpd::clRed;
    log.Refresh();
    ASSERT_EQ(log.Lines().size(), 1u);

    log.ClearHistory();
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(History().Empty());
    EXPECT_EQ(S().Status().Evaluation().OverSignalCounter(), 0);
    ASSERT_FALSE(view.statusViews.empty());
    EXPECT_EQ(view.statusViews.back().OverSignalShape, kpd::clGrayText);
    EXPECT_EQ(view.statusViews.back().YellowShape, kpd::clGrayText);
    EXPECT_EQ(view.statusViews.back().RedShape, kpd::clGrayText);

    // Refresh shows nothing; the next over-signal event adds a line again.
    log.Refresh();
    EXPECT_TRUE(log.Lines().empty());
    OverSignalSample(7);
    EXPECT_EQ(History().Count(), 1u);
    log.Refresh();
    EXPECT_EQ(log.Lines().size(), 1u);
}

TEST_F(AlarmHistoryLogTest, SaveAsksForAnAlmFileAndWritesTheCopy) {
    History().Insert("\tOver Signal \t                 1\tcounts\t\t   March 5, 2024  at  14:03:09");
    History().Insert("\tOver Signal \t                 2\tcounts\t\t   March 5, 2024  at  14:03:10");
    log.Refresh();
    History().Insert("not in the copy");
    dialogs.AnswerFile(Path("log.alm").string());
    ScopedDialogs scope(dialogs);
    EXPECT_EQ(log.Save(), AlarmHistoryLog::SaveResult::Saved);
    ASSERT_EQ(dialogs.Questions().size(), 1u);
    const auto &q = dialogs.Questions()[0];
    EXPECT_EQ(q.type, ScriptedDialogs::QuestionType::SaveFile);
    EXPECT_EQ(q.file.defaultExt, "alm");
    EXPECT_EQ(q.file.filter, "Alarm History (*.alm)|*.alm|All Files (*.*)|*.*");
    EXPECT_TRUE(q.file.overwritePrompt);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(ReadFile(Path("log.alm")),
              "\tOver Signal \t                 2\tcounts\t\t   March 5, 2024  at  14:03:10\r\n"
              "\tOver Signal \t                 1\tcounts\t\t   March 5, 2024  at  14:03:09\r\n");
}

TEST_F(AlarmHistoryLogTest, SavingAnEmptyCopyWritesAnEmptyFileReplacingTheOldOne) {
    WriteFile(Path("old.alm"), "old line\r\n");
    log.Refresh();
    dialogs.AnswerFile(Path("old.alm").string());
    dialogs.Answer(platform::MessageResult::Yes); // replace it
    ScopedDialogs scope(dialogs);
    EXPECT_EQ(log.Save(), AlarmHistoryLog::SaveResult::Saved);
    EXPECT_TRUE(fs::exists(Path("old.alm")));
    EXPECT_EQ(ReadFile(Path("old.alm")), "");
}

TEST_F(AlarmHistoryLogTest, CancellingTheSaveDialogWritesNothing) {
    History().Insert("a line");
    log.Refresh();
    dialogs.AnswerFile(std::nullopt);
    ScopedDialogs scope(dialogs);
    EXPECT_EQ(log.Save(), AlarmHistoryLog::SaveResult::Cancelled);
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_TRUE(fs::is_empty(Path("")));
}

TEST_F(AlarmHistoryLogTest, AFailedSaveSaysSoAndKeepsTheOldFile) {
    const std::string longLine(4096, 'x');
    History().Insert(longLine);
    log.Refresh();
    WriteFile(Path("kept.alm"), "previous\r\n");
    dialogs.AnswerFile(Path("kept.alm").string());
    dialogs.Answer(platform::MessageResult::Yes); // replace it
    dialogs.Answer(platform::MessageResult::Ok);  // the error box
    ScopedDialogs scope(dialogs);
    {
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.Active());
        EXPECT_EQ(log.Save(), AlarmHistoryLog::SaveResult::Failed);
    }
    EXPECT_TRUE(dialogs.Done());
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u); // the overwrite prompt, then the error box
    EXPECT_EQ(messages[1].kind, MessageKind::Error);
    EXPECT_EQ(messages[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages[1].text,
              "Cannot Save to File.  Verify the file is not being used by any other application.");
    EXPECT_EQ(ReadFile(Path("kept.alm")), "previous\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("")), fs::directory_iterator()), 1)
        << "no temporary file left behind";
}

TEST_F(AlarmHistoryLogTest, SavingOverAFolderFailsAndLeavesItAlone) {
    fs::create_directory(Path("folder.alm"));
    WriteFile(Path("folder.alm") / "inside", "keep");
    dialogs.AnswerFile(Path("folder.alm").string());
    dialogs.Answer(platform::MessageResult::Yes); // replace it
    dialogs.Answer(platform::MessageResult::Ok);  // the error box
    ScopedDialogs scope(dialogs);
    EXPECT_EQ(log.Save(), AlarmHistoryLog::SaveResult::Failed);
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[1].text, AlarmHistoryLog::kSaveFailedText);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(ReadFile(Path("folder.alm") / "inside"), "keep");
}

} // namespace
