// The scheduler's data-file commands: save of each mode's data set (title, filter, errors, cancel), load
// of each kind and rejection of a foreign file, and clearing of one data buffer or of all.
#include "SessionFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>

using kpd::DataState;
using kpd::DisplayMode;
using platform::MessageKind;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

class DataCommandTest : public sessiontest::SessionTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        RecordStatusSamples(5);
    }
    std::string Path(const std::string &name) const { return (dir.path() + "/").toStdString() + name; }
    // Shows `mode` (the status display is shown from the start).
    void Show(DisplayMode mode) {
        if (mode != DisplayMode::Status) EnterPlotMode(mode);
    }

    ScriptedDialogs dialogs;
    QTemporaryDir dir;
};

struct SaveCase {
    DisplayMode kind;
    const char *file;
    const char *title;
    const char *ext;
    const char *filter;
};

const SaveCase kSaveCases[] = {
    {DisplayMode::Status, "status.man", "Save Setup and Status Data as:", "man",
     "Setup and Status Data (*.man)|*.man|All Files (*.*)|*.*"},
    {DisplayMode::EncoderSignal, "signal.lis", "Save Encoder Signal Data as:", "lis",
     "Encoder Data (*.lis)|*.lis|All Files (*.*)|*.*"},
    {DisplayMode::SignalStrength, "strength.str", "Save Signal Strength Data as:", "str",
     "Signal Strength Data (*.str)|*.str|All Files (*.*)|*.*"},
    {DisplayMode::SignalPlots, "plots.pos", "Save Position/Velocity Data as:", "pos",
     "Position/Velocity Data (*.pos)|*.pos|All Files (*.*)|*.*"},
};

TEST_F(DataCommandTest, SaveWritesTheDataOfTheChosenKindAndReturnsToThePreviousMode) {
    for (const SaveCase &c : kSaveCases) {
        SCOPED_TRACE(c.file);
        Show(DisplayMode::SignalStrength);
        view.Clear();
        dc.calls.clear();
        dialogs.Reset();
        dialogs.AnswerFile(Path(c.file));
        ScopedDialogs scope(dialogs);
        // The File > Save item: the kind becomes the mode until the command has run.
        S().SaveData(c.kind);
        EXPECT_EQ(S().Mode(), c.kind);
        EXPECT_EQ(S().PreviousMode(), DisplayMode::SignalStrength);
        EXPECT_EQ(view.dataControls, std::vector<bool>{false}); // off until the command ends
        EXPECT_EQ(S().PendingCommand(), kpd::CmdSaveData);
        EXPECT_EQ(S().ReadWriteTimer()->interval(), 300);
        EXPECT_TRUE(dialogs.Questions().empty());
        S().ReadWriteTimerTimer();
        ASSERT_EQ(dialogs.Questions().size(), 1u);
        const auto &q = dialogs.Questions()[0];
        EXPECT_EQ(q.type, ScriptedDialogs::QuestionType::SaveFile);
        EXPECT_EQ(q.file.title, c.title);
        EXPECT_EQ(q.file.defaultExt, c.ext);
        EXPECT_EQ(q.file.filter, c.filter);
        EXPECT_TRUE(q.file.overwritePrompt);
        EXPECT_TRUE(dialogs.Done());
        EXPECT_TRUE(QFile::exists(QString::fromStdString(Path(c.file))));
        EXPECT_EQ(S().Mode(), DisplayMode::SignalStrength);
        ASSERT_FALSE(view.dataControls.empty());
        EXPECT_TRUE(view.dataControls.back());
        EXPECT_EQ(view.busyCalls, (std::vector<bool>{true, false}));
        EXPECT_EQ(view.activations, 1);
        ASSERT_FALSE(dc.calls.empty());
        EXPECT_EQ(dc.calls.back(), std::make_pair(2, 1)); // the worker of the restored mode
    }
}

TEST_F(DataCommandTest, ASavedFileLoadsBackIntoItsDataSet) {
    dialogs.AnswerFile(Path("status.man"));
    dialogs.AnswerFile(Path("status.man"));
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    S().SaveData(DisplayMode::Status);
    S().ReadWriteTimerTimer();
    S().Data().ClearDataSet(0);
    ASSERT_EQ(S().Data().SetupStatus().count.load(), 0);
    S().LoadData();
    S().ReadWriteTimerTimer();
    EXPECT_TRUE(dialogs.Done());
    // All samples but the oldest are written.
    EXPECT_EQ(S().Data().SetupStatus().count.load(), 4);
}

TEST_F(DataCommandTest, CancelledSaveWritesNothingAndRestartsTheWorker) {
    dialogs.AnswerFile(std::nullopt);
    ScopedDialogs scope(dialogs);
    Show(DisplayMode::EncoderSignal);
    S().SaveData(DisplayMode::SignalPlots);
    S().ReadWriteTimerTimer();
    EXPECT_EQ(dialogs.Questions().at(0).file.title, "Save Position/Velocity Data as:");
    EXPECT_EQ(S().Mode(), DisplayMode::EncoderSignal);
    EXPECT_EQ(dc.calls, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(view.activations, 1);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(DataCommandTest, CancelledSaveFromTheStatusDisplayReturnsToIt) {
    dialogs.AnswerFile(std::nullopt);
    ScopedDialogs scope(dialogs);
    S().SaveData(DisplayMode::SignalPlots);
    EXPECT_EQ(S().Mode(), DisplayMode::SignalPlots);
    S().ReadWriteTimerTimer();
    EXPECT_EQ(S().Mode(), DisplayMode::Status);
    EXPECT_TRUE(dc.calls.empty()); // the status monitor, not the plot worker
    EXPECT_TRUE(view.MenuItemEnabled("ResetDataBuffers1"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(DataCommandTest, FailedSaveShowsTheErrorAndKeepsAnExistingFile) {
    // The chosen name is a directory: the save cannot replace it.
    QDir(dir.path()).mkdir("taken.lis");
    dialogs.AnswerFile(Path("taken.lis"));
    dialogs.Answer(MessageResult::Yes); // replace it
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    S().SaveData(DisplayMode::EncoderSignal);
    S().ReadWriteTimerTimer();
    EXPECT_TRUE(dialogs.Done());
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u); // the overwrite prompt, then the error
    EXPECT_EQ(messages[1].kind, MessageKind::Error);
    EXPECT_EQ(messages[1].text,
              "Cannot Save to File.  Verify the file is not being used by any other application.");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(Path("taken.lis"))).isDir());
    EXPECT_EQ(S().Mode(), DisplayMode::Status);
    EXPECT_FALSE(view.busy);
    EXPECT_EQ(view.busyCalls, (std::vector<bool>{true, false, false}));
    ASSERT_FALSE(view.dataControls.empty());
    EXPECT_TRUE(view.dataControls.back());
}

TEST_F(DataCommandTest, LoadOfASavedFileEndsStoppedInItsMode) {
    const char *loaded[] = {
        "Setup and Status Data successfully loaded", "Encoder Signal Data successfully loaded",
        "Signal Strength Data successfully loaded", "Position and Velocity Data successfully loaded"};
    for (const SaveCase &c : kSaveCases) {
        SCOPED_TRACE(c.file);
        {
            ScriptedDialogs save;
            save.AnswerFile(Path(c.file));
            ScopedDialogs scope(save);
            S().SaveData(c.kind);
            S().ReadWriteTimerTimer();
            ASSERT_TRUE(save.Done());
        }
        S().ReadWriteTimer()->stop();
        S().States().ResetAllLive();
        view.Clear();
        dc.calls.clear();
        dialogs.Reset();
        dialogs.AnswerFile(Path(c.file));
        dialogs.Answer(MessageResult::Ok);
        ScopedDialogs scope(dialogs);
        S().LoadData();
        EXPECT_EQ(S().PendingCommand(), kpd::CmdLoadData);
        S().ReadWriteTimerTimer();
        ASSERT_TRUE(dialogs.Done());
        const auto &open = dialogs.Questions().at(0);
        EXPECT_EQ(open.type, ScriptedDialogs::QuestionType::OpenFile);
        EXPECT_EQ(open.file.title, "Choose Data File to Open");
        EXPECT_EQ(open.file.filter,
                  "All Files (*.*)|*.*|Setup and Status Data (*.man)|*.man|Position/Velocity Data "
                  "(*.pos)|*.pos|Signal Strength Data (*.str)|*.str|Encoder Data (*.lis)|*.lis|");
        const auto messages = dialogs.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, loaded[kpd::Index(c.kind)]);
        ASSERT_FALSE(view.elapsedTexts.empty());
        EXPECT_EQ(view.elapsedTexts[0], "0.0");
        EXPECT_EQ(S().Mode(), c.kind);
        EXPECT_EQ(S().StateOf(c.kind), DataState::Stopped);
        EXPECT_EQ(S().PendingCommand(), kpd::CmdStopData);
        EXPECT_EQ(S().ReadWriteTimer()->interval(), 200);
        EXPECT_TRUE(S().ReadWriteTimer()->isActive());
        EXPECT_EQ(view.loadedData, std::vector<DisplayMode>{c.kind});
        ASSERT_FALSE(view.layouts.empty());
        EXPECT_EQ(view.layouts.back().mode, c.kind);
        EXPECT_EQ(view.Caption(), "Data Display Stopped");
        EXPECT_FALSE(view.busy);
        S().ReadWriteTimer()->stop();
    }
}

TEST_F(DataCommandTest, LoadOfAForeignFileIsRejected) {
    {
        std::ofstream out(Path("notes.txt"));
        out << "shopping list\r\n";
    }
    dialogs.AnswerFile(Path("notes.txt"));
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    Show(DisplayMode::SignalPlots);
    S().LoadData();
    S().ReadWriteTimerTimer();
    EXPECT_TRUE(dialogs.Done());
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Error);
    EXPECT_EQ(messages[0].text, "Invalid Software File Type");
    EXPECT_EQ(S().Mode(), DisplayMode::SignalPlots);
    EXPECT_EQ(S().Data().SetupStatus().count.load(), 5); // nothing changed
    EXPECT_FALSE(S().ReadWriteTimer()->isActive());
    EXPECT_TRUE(view.loadedData.empty());
    EXPECT_FALSE(view.busy);
    ASSERT_FALSE(dc.calls.empty());
    EXPECT_EQ(dc.calls.back(), std::make_pair(3, 1)); // the worker restarts
}

namespace {

// A data file of `kind` with the header values (kinds 0, 2, 3) "microns", 0.25 and 4 and two records.
std::string FileWithUnits(int kind) {
    const std::string header = "PosUnits=microns\r\nPositionResMult=0.25\r\nPositionInterpMult=4\r\n";
    switch (kind) {
    case 0:
        return "vk2401.1setupandstatus\r\n" + header +
               "Pos\txAD\tyAD\tStatus\tTime\r\n1\t2\t3\t4\t0.1000\r\n" + "5\t6\t7\t8\t0.1000\r\n";
    case 1:
        return "vk2401.1encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n1\t2\t3\t4\t0.10000\r\n"
               "5\t6\t7\t8\t0.10000\r\n";
    case 2:
        return "vk240signalstrength\r\n" + header + "Pos\txAD\tyAD\tTime\r\n1\t2\t0\t0.10000\r\n" +
               "3\t4\t0\t0.10000\r\n";
    default:
        return "vk2401.1positionvelocity\r\n" + header + "Pos\t\t\tVel\t\t\tTime\r\n" +
               "1\t\t\t0.50000000\t\t0.10000\r\n2\t\t\t0.50000000\t\t0.10000\r\n";
    }
}

} // namespace

TEST_F(DataCommandTest, LoadInDemoModeTakesTheFileUnitsAndMultipliers) {
    EnterDemo();
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        auto &config = S().Config();
        config.units = "counts";
        config.resolutionMultiplier = 1.0f;
        config.interpolationMultiplier = 1.0f;
        config.digits = 0;
        const std::string file = Path("units" + std::to_string(kind));
        {
            std::ofstream out(file, std::ios::binary);
            out << FileWithUnits(kind);
        }
        view.Clear();
        dialogs.Reset();
        dialogs.AnswerFile(file);
        dialogs.Answer(MessageResult::Ok);
        ScopedDialogs scope(dialogs);
        S().LoadData();
        S().ReadWriteTimerTimer();
        ASSERT_TRUE(dialogs.Done());
        ASSERT_EQ(S().Data().Control(kind).count.load(), 2);
        if (kind == 1) {
            // The encoder signal file carries no units: nothing changes.
            EXPECT_EQ(config.units, "counts");
            EXPECT_EQ(config.resolutionMultiplier, 1.0f);
            EXPECT_EQ(config.interpolationMultiplier, 1.0f);
            EXPECT_EQ(config.digits, 0);
            EXPECT_TRUE(view.unitsShown.empty());
        } else {
            EXPECT_EQ(config.units, "microns");
            EXPECT_EQ(config.resolutionMultiplier, 0.25f);
            EXPECT_EQ(config.interpolationMultiplier, 4.0f);
            EXPECT_EQ(config.digits, 5);
            EXPECT_EQ(view.unitsShown, std::vector<std::string>{"microns"});
        }
        S().ReadWriteTimer()->stop();
    }
}

TEST_F(DataCommandTest, LoadOutsideDemoModeReadsTheUnitsButKeepsTheCurrentOnes) {
    auto &config = S().Config();
    config.units = "mm";
    config.resolutionMultiplier = 0.5f;
    config.interpolationMultiplier = 1.0f;
    config.digits = 8;
    {
        std::ofstream out(Path("status.man"), std::ios::binary);
        out << FileWithUnits(0);
    }
    dialogs.AnswerFile(Path("status.man"));
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    S().LoadData();
    S().ReadWriteTimerTimer();
    ASSERT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Messages().at(0).text, "Setup and Status Data successfully loaded");
    EXPECT_EQ(S().Data().SetupStatus().count.load(), 2);
    EXPECT_EQ(config.units, "mm");
    EXPECT_EQ(config.resolutionMultiplier, 0.5f);
    EXPECT_EQ(config.interpolationMultiplier, 1.0f);
    EXPECT_EQ(config.digits, 8);
    EXPECT_TRUE(view.unitsShown.empty());
    S().ReadWriteTimer()->stop();
}

TEST_F(DataCommandTest, RejectedLoadInDemoModeKeepsTheUnits) {
    EnterDemo();
    auto &config = S().Config();
    config.units = "counts";
    config.digits = 0;
    {
        std::ofstream out(Path("bad.man"), std::ios::binary);
        out << "vk2401.1setupandstatus\r\nPosUnits=microns\r\nPositionResMult=x\r\n";
    }
    dialogs.AnswerFile(Path("bad.man"));
    dialogs.Answer(MessageResult::Ok);
    ScopedDialogs scope(dialogs);
    S().LoadData();
    S().ReadWriteTimerTimer();
    ASSERT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Messages().at(0).text, "Invalid Software File Type");
    EXPECT_EQ(config.units, "counts");
    EXPECT_EQ(config.digits, 0);
    EXPECT_TRUE(view.unitsShown.empty());
}

TEST_F(DataCommandTest, ClearingABufferResetsTheTimeOnlyForTheShownMode) {
    Show(DisplayMode::EncoderSignal);
    S().ClearBuffers(0);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdClearBuffers);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 400);
    EXPECT_FALSE(S().Review());
    S().ReadWriteTimerTimer();
    EXPECT_EQ(S().Data().SetupStatus().count.load(), 0);
    EXPECT_TRUE(view.elapsedTexts.empty());
    S().ClearBuffers(1);
    S().ReadWriteTimerTimer();
    EXPECT_EQ(view.elapsedTexts, std::vector<std::string>{"0.0"});
    S().ClearBuffers(9);
    S().ReadWriteTimerTimer();
    EXPECT_EQ(view.elapsedTexts.size(), 1u);
    EXPECT_EQ(dc.calls.size(), 3u);
}

TEST_F(DataCommandTest, ClearingAllBuffersEmptiesEverySetAndResetsTheTime) {
    Show(DisplayMode::SignalStrength);
    for (int set = 1; set <= 3; ++set)
        S().Data().Control(set).count.store(3);
    S().ClearBuffers(4);
    S().ReadWriteTimerTimer();
    EXPECT_EQ(S().Data().SetupStatus().count.load(), 0);
    for (int set = 1; set <= 3; ++set)
        EXPECT_EQ(S().Data().Control(set).count.load(), 0) << set;
    EXPECT_EQ(view.elapsedTexts, std::vector<std::string>{"0.0"});
    EXPECT_EQ(view.Caption(), "Live Data");
    EXPECT_EQ(dc.calls, (std::vector<std::pair<int, int>>{{2, 1}}));
}

} // namespace
