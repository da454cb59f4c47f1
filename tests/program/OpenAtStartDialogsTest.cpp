// The data file named on the command line answers the first open dialog; everything else goes on to the
// dialogs that were in use.
#include "program/OpenAtStartDialogs.h"

#include "platform/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

TEST(OpenAtStartDialogs, FirstOpenDialogGetsTheFileEverythingElseIsPassedOn) {
    platform::ScriptedDialogs next;
    next.Answer(MessageResult::Ok).AnswerFile("/later/choice.pos").AnswerFile("/saved.lis");
    kpd::OpenAtStartDialogs d("/data/run.lis", next);
    EXPECT_FALSE(d.Used());

    platform::FileDialogOptions o;
    o.title = "Choose Data File to Open";
    EXPECT_EQ(d.OpenFile(o), "/data/run.lis");
    EXPECT_TRUE(d.Used());
    EXPECT_TRUE(next.Questions().empty()); // nobody else was asked

    EXPECT_EQ(d.Message(MessageKind::Information, "Encoder Signal Data successfully loaded", MessageButtons::Ok),
              MessageResult::Ok);
    EXPECT_EQ(d.OpenFile(o), "/later/choice.pos"); // a later load asks the user again
    EXPECT_EQ(d.SaveFile(o), "/saved.lis");
    ASSERT_EQ(next.Questions().size(), 3u);
    EXPECT_EQ(next.Questions()[0].text, "Encoder Signal Data successfully loaded");
    EXPECT_TRUE(next.Done());
}

TEST(OpenAtStartDialogs, WorksThroughTheSeam) {
    platform::ScriptedDialogs next;
    platform::ScopedDialogs outer(next);
    kpd::OpenAtStartDialogs d("/data/a.man", platform::Dialogs::Instance());
    {
        platform::ScopedDialogs inner(d);
        EXPECT_EQ(platform::Dialogs::Instance().OpenFile({}), "/data/a.man");
        // The box after the load reaches the dialogs that were in use (an empty script: its cancel-like OK).
        EXPECT_EQ(platform::ShowMessage(MessageKind::Information, "loaded", MessageButtons::Ok), MessageResult::Ok);
    }
    EXPECT_EQ(&platform::Dialogs::Instance(), &next);
    EXPECT_EQ(next.Questions().size(), 1u);
}

} // namespace
