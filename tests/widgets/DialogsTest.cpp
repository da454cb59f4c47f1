#include "platform/Dialogs.h"
#include "widgets/QtDialogs.h"
#include "platform/ScriptedDialogs.h"
#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using platform::FileDialogOptions;
using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;
using platform::ScriptedDialogs;

TEST(ScriptedDialogs, AnswersInOrderAndRecordsQuestions) {
    ScriptedDialogs d;
    d.Answer(MessageResult::No).Answer(MessageResult::All).AnswerFile("/tmp/a.lis");
    EXPECT_EQ(d.Message(MessageKind::Confirmation, "Close Program?", MessageButtons::YesNo),
              MessageResult::No);
    EXPECT_EQ(d.Message(MessageKind::Warning, "Link lost", MessageButtons::YesNoAll, "Title"),
              MessageResult::All);
    FileDialogOptions o;
    o.title = "Load";
    o.filter = "Encoder|*.lis";
    EXPECT_EQ(d.OpenFile(o), "/tmp/a.lis");

    ASSERT_EQ(d.Questions().size(), 3u);
    const auto &q0 = d.Questions()[0];
    EXPECT_EQ(q0.type, ScriptedDialogs::QuestionType::Message);
    EXPECT_EQ(q0.kind, MessageKind::Confirmation);
    EXPECT_EQ(q0.caption, "Confirm"); // default caption of the kind
    EXPECT_EQ(q0.text, "Close Program?");
    EXPECT_EQ(q0.buttons, MessageButtons::YesNo);
    EXPECT_EQ(d.Questions()[1].caption, "Title");
    EXPECT_EQ(d.Questions()[1].buttons, MessageButtons::YesNoAll);
    EXPECT_EQ(d.Questions()[2].type, ScriptedDialogs::QuestionType::OpenFile);
    EXPECT_EQ(d.Questions()[2].caption, "Load");
    EXPECT_EQ(d.Messages().size(), 2u);
    EXPECT_TRUE(d.Done());
}

TEST(ScriptedDialogs, EmptyScriptFailsLoudlyWithoutBlocking) {
    ScriptedDialogs d;
    EXPECT_EQ(d.Message(MessageKind::Warning, "x", MessageButtons::YesNoAll), MessageResult::No);
    EXPECT_EQ(d.Message(MessageKind::Warning, "x", MessageButtons::OkCancel), MessageResult::Cancel);
    EXPECT_EQ(d.Message(MessageKind::Error, "x", MessageButtons::RetryIgnore), MessageResult::Ignore);
    EXPECT_EQ(d.Message(MessageKind::Information, "x", MessageButtons::Ok), MessageResult::Ok);
    EXPECT_EQ(d.OpenFile({}), std::nullopt);
    EXPECT_EQ(d.Errors().size(), 5u);
    EXPECT_FALSE(d.Done());
    d.Reset();
    EXPECT_TRUE(d.Done());
    EXPECT_TRUE(d.Questions().empty());
}

TEST(ScriptedDialogs, WrongAnswersAreErrors) {
    ScriptedDialogs d;
    d.Answer(MessageResult::All).AnswerFile("/x").Answer(MessageResult::Yes);
    // "All" is not a button of a Yes/No box.
    EXPECT_EQ(d.Message(MessageKind::Confirmation, "q", MessageButtons::YesNo), MessageResult::No);
    // A file answer for a message box.
    EXPECT_EQ(d.Message(MessageKind::Confirmation, "q", MessageButtons::YesNo), MessageResult::No);
    // A message answer for a file dialog.
    EXPECT_EQ(d.SaveFile({}), std::nullopt);
    EXPECT_EQ(d.Errors().size(), 3u);
}

TEST(ScriptedDialogs, ReAskingAfterClosedEndsEvenWhenTheScriptRunsOut) {
    ScriptedDialogs d;
    d.Answer(MessageResult::Closed).Answer(MessageResult::Closed);
    platform::ScopedDialogs scope(d);
    int asked = 0;
    MessageResult r;
    do {
        ++asked;
        r = platform::ShowMessage(MessageKind::Warning, "again?", MessageButtons::YesNoAll);
        ASSERT_LT(asked, 10);
    } while (r == MessageResult::Closed);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(r, MessageResult::No);
    EXPECT_EQ(d.Errors().size(), 1u);
}

TEST(ScriptedDialogs, InstallAndRestoreOverTheDefault) {
    platform::QtDialogs real;
    platform::Dialogs::SetDefault(&real);
    platform::Dialogs &before = platform::Dialogs::Instance();
    ScriptedDialogs outer, inner;
    {
        platform::ScopedDialogs a(outer);
        EXPECT_EQ(&platform::Dialogs::Instance(), &outer);
        {
            platform::ScopedDialogs b(inner);
            EXPECT_EQ(&platform::Dialogs::Instance(), &inner);
        }
        EXPECT_EQ(&platform::Dialogs::Instance(), &outer);
    }
    EXPECT_EQ(&platform::Dialogs::Instance(), &before);
    EXPECT_EQ(&before, &real);
    platform::Dialogs::SetDefault(nullptr);
}

TEST(ScriptedDialogs, WithoutADefaultEveryBoxGetsItsCancelLikeButtonAndNothingBlocks) {
    platform::Dialogs::SetDefault(nullptr);
    EXPECT_EQ(platform::ShowMessage(MessageKind::Warning, "?", MessageButtons::YesNoAll), MessageResult::No);
    EXPECT_EQ(platform::ShowMessage(MessageKind::Warning, "?", MessageButtons::RetryIgnore),
              MessageResult::Ignore);
    EXPECT_FALSE(platform::Dialogs::Instance().OpenFile({}).has_value());
    EXPECT_FALSE(platform::Dialogs::Instance().SaveFile({}).has_value());
}

class SaveDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("kpd-dialogs-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "old.lis") << "data";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(SaveDialog, DefaultExtensionAndOverwritePrompt) {
    ScriptedDialogs d;
    FileDialogOptions o;
    o.title = "Save Encoder Signal Data";
    o.defaultExt = "lis";
    const std::string old = (dir_ / "old").string(); // becomes old.lis, which exists
    const std::string fresh = (dir_ / "new").string();
    d.AnswerFile(old).Answer(MessageResult::No).AnswerFile(fresh);
    EXPECT_EQ(d.SaveFile(o), fresh + ".lis");
    ASSERT_EQ(d.Messages().size(), 1u);
    EXPECT_EQ(d.Messages()[0].text, old + ".lis already exists.\nDo you want to replace it?");
    EXPECT_EQ(d.Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(d.Done());

    d.AnswerFile(old).Answer(MessageResult::Yes);
    EXPECT_EQ(d.SaveFile(o), old + ".lis");

    o.overwritePrompt = false;
    d.Reset();
    d.AnswerFile(old + ".lis");
    EXPECT_EQ(d.SaveFile(o), old + ".lis");
    EXPECT_TRUE(d.Messages().empty());
    EXPECT_TRUE(d.Done());
}

TEST_F(SaveDialog, CancelledSaveAfterDecliningOverwrite) {
    ScriptedDialogs d;
    FileDialogOptions o;
    d.AnswerFile((dir_ / "old.lis").string()).Answer(MessageResult::No).AnswerFile(std::nullopt);
    EXPECT_EQ(d.SaveFile(o), std::nullopt);
    EXPECT_TRUE(d.Done());
}

TEST(DialogHelpers, FilterConversion) {
    using platform::ConvertFilter;
    EXPECT_EQ(ConvertFilter("Encoder Signal (*.lis)|*.lis|All files|*.*"),
              "Encoder Signal (*.lis) (*.lis);;All files (*.*)");
    EXPECT_EQ(ConvertFilter("Data|*.man;*.lis; *.str"), "Data (*.man *.lis *.str)");
    EXPECT_EQ(ConvertFilter("Odd description"), "Odd description (*)");
    EXPECT_EQ(ConvertFilter("|*.pos"), "*.pos (*.pos)");
    EXPECT_EQ(ConvertFilter(""), "");
    EXPECT_EQ(ConvertFilter("A|*.a||"), "A (*.a)");
    EXPECT_EQ(platform::SelectedFilter("A|*.a|B|*.b", 2), "B (*.b)");
    EXPECT_EQ(platform::SelectedFilter("A|*.a|B|*.b", 3), "");
    EXPECT_EQ(platform::SelectedFilter("A|*.a|B|*.b", 0), "");
}

TEST(DialogHelpers, DefaultExtension) {
    using platform::ApplyDefaultExtension;
    EXPECT_EQ(ApplyDefaultExtension("/d/file", "lis"), "/d/file.lis");
    EXPECT_EQ(ApplyDefaultExtension("/d/file", ".lis"), "/d/file.lis");
    EXPECT_EQ(ApplyDefaultExtension("/d/file.txt", "lis"), "/d/file.txt");
    EXPECT_EQ(ApplyDefaultExtension("/d.x/file", "lis"), "/d.x/file.lis");
    EXPECT_EQ(ApplyDefaultExtension("/d/.hidden", "lis"), "/d/.hidden.lis");
    EXPECT_EQ(ApplyDefaultExtension("/d/file", ""), "/d/file");
    EXPECT_EQ(ApplyDefaultExtension("/d/", "lis"), "/d/");
}

TEST(DialogHelpers, ButtonSets) {
    using platform::IsButtonOf;
    EXPECT_TRUE(IsButtonOf(MessageResult::All, MessageButtons::YesNoAll));
    EXPECT_FALSE(IsButtonOf(MessageResult::All, MessageButtons::YesNo));
    EXPECT_FALSE(IsButtonOf(MessageResult::Closed, MessageButtons::OkCancel));
    EXPECT_TRUE(IsButtonOf(MessageResult::Retry, MessageButtons::RetryIgnore));
    EXPECT_FALSE(IsButtonOf(MessageResult::Cancel, MessageButtons::Ok));
}

// The real message box, built and shown without a modal loop.
struct BuiltBox {
    std::unique_ptr<QMessageBox> box;
    QAbstractButton *ByText(const QString &text) const {
        for (auto *b : box->buttons())
            if (b->text() == text) return b;
        return nullptr;
    }
    QStringList VisibleCaptions() const {
        QStringList out;
        for (auto *b : box->buttons())
            if (b->isVisible()) out << b->text();
        out.sort();
        return out;
    }
};

BuiltBox Build(MessageKind kind, MessageButtons buttons, const char *caption = "") {
    BuiltBox b{platform::QtDialogs::BuildMessageBox(kind, "Some text", buttons, caption)};
    b.box->show();
    QCoreApplication::processEvents();
    return b;
}

TEST(QtMessageBox, YesNoAllButtonsAndEscape) {
    auto b = Build(MessageKind::Warning, MessageButtons::YesNoAll, "Error");
    EXPECT_EQ(b.VisibleCaptions(), (QStringList{"All", "No", "Yes"}));
    EXPECT_EQ(b.box->windowTitle(), "Error");
    EXPECT_EQ(b.box->icon(), QMessageBox::Warning);
    EXPECT_EQ(b.box->text(), "Some text");
    QTest::keyClick(b.box.get(), Qt::Key_Escape);
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, b.box->clickedButton()), MessageResult::Closed);
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, b.ByText("All")), MessageResult::All);
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, b.ByText("Yes")), MessageResult::Yes);
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, b.ByText("No")), MessageResult::No);
}

TEST(QtMessageBox, ClickingAButton) {
    auto b = Build(MessageKind::Error, MessageButtons::RetryIgnore);
    EXPECT_EQ(b.VisibleCaptions(), (QStringList{"Ignore", "Retry"}));
    EXPECT_EQ(b.box->windowTitle(), "Error");
    EXPECT_EQ(b.box->icon(), QMessageBox::Critical);
    ASSERT_NE(b.ByText("Ignore"), nullptr);
    b.ByText("Ignore")->click();
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, b.box->clickedButton()), MessageResult::Ignore);
}

TEST(QtMessageBox, OkCancelEscapeIsCancel) {
    auto b = Build(MessageKind::Confirmation, MessageButtons::OkCancel);
    EXPECT_EQ(b.VisibleCaptions(), (QStringList{"Cancel", "OK"}));
    EXPECT_EQ(b.box->windowTitle(), "Confirm");
    QTest::keyClick(b.box.get(), Qt::Key_Escape);
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, b.box->clickedButton()), MessageResult::Cancel);
}

TEST(QtMessageBox, SingleOkAndNoButton) {
    auto b = Build(MessageKind::Information, MessageButtons::Ok);
    EXPECT_EQ(b.VisibleCaptions(), (QStringList{"OK"}));
    EXPECT_EQ(b.box->icon(), QMessageBox::Information);
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, nullptr), MessageResult::Closed);
    QTest::keyClick(b.box.get(), Qt::Key_Return);
    EXPECT_EQ(platform::QtDialogs::ResultOf(*b.box, b.box->clickedButton()), MessageResult::Ok);
}

TEST(Hourglass, IsASettingNotAStack) {
    platform::ShowDefaultCursor();
    const int count = platform::HourglassCount();
    platform::ShowHourglass();
    platform::ShowHourglass();
    EXPECT_TRUE(platform::HourglassShown());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(platform::HourglassCount(), count + 1);
    platform::ShowDefaultCursor();
    EXPECT_FALSE(platform::HourglassShown());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    platform::ShowDefaultCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        platform::HourglassScope scope;
        EXPECT_TRUE(platform::HourglassShown());
    }
    EXPECT_FALSE(platform::HourglassShown());
    EXPECT_EQ(platform::HourglassCount(), count + 2);
}

} // namespace
