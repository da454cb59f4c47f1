// The answerer of an unattended run: every box gets its cancel-like button, every file dialog is
// cancelled, and each question is logged.
#include "program/UnattendedDialogs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(UnattendedDialogs, EveryBoxGetsItsCancelLikeAnswerAndFileDialogsAreCancelled) {
    std::FILE *log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    kpd::UnattendedDialogs d(log);
    using platform::MessageButtons;
    using platform::MessageKind;
    using platform::MessageResult;
    EXPECT_EQ(d.Message(MessageKind::Warning, "Cannot Detect Electronics.", MessageButtons::RetryIgnore),
              MessageResult::Ignore);
    EXPECT_EQ(d.Message(MessageKind::Warning, "Error communicating", MessageButtons::YesNoAll),
              MessageResult::No);
    EXPECT_EQ(d.Message(MessageKind::Confirmation, "Close Program?", MessageButtons::YesNo),
              MessageResult::No);
    EXPECT_EQ(d.Message(MessageKind::Warning, "center", MessageButtons::OkCancel), MessageResult::Cancel);
    EXPECT_EQ(d.Message(MessageKind::Error, "Invalid Software File Type", MessageButtons::Ok),
              MessageResult::Ok);
    platform::FileDialogOptions o;
    o.title = "Save Setup and Status Data as:";
    EXPECT_FALSE(d.SaveFile(o).has_value());
    EXPECT_FALSE(d.OpenFile(o).has_value());
    EXPECT_EQ(d.Answered(), 7);
    // The log names each question and its answer.
    std::rewind(log);
    std::string text;
    char buf[256];
    while (std::fgets(buf, sizeof buf, log))
        text += buf;
    std::fclose(log);
    EXPECT_NE(text.find("answered Ignore: Cannot Detect Electronics."), std::string::npos) << text;
    EXPECT_NE(text.find("save dialog cancelled: Save Setup and Status Data as:"), std::string::npos) << text;
}

} // namespace
