// The engineering display through the session: the write entry check, the write and AGC commands it
// queues, entering and leaving display mode 4, and the newest read-all pass shown as the window's texts.
#include "SessionFixture.h"

#include "session/EngineeringController.h"
#include "session/EngineeringEntry.h"
#include "workers/ReadAllAcquisition.h"
#include "workers/ReadAllPass.h"

#include <QTimer>
#include <gtest/gtest.h>

using kpd::CheckWriteEntry;
using kpd::DataState;
using kpd::DisplayMode;
using kpd::WriteEntry;
using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

// ---- The write entry ----

TEST(WriteEntryCheck, EightHexDigitsAreTheAddressWord) {
    const WriteEntry e = CheckWriteEntry("00800046");
    EXPECT_EQ(e.check, WriteEntry::Check::Ok);
    EXPECT_EQ(e.addressWord, 0x00800046u);
    EXPECT_EQ(e.Message(), nullptr);
    EXPECT_EQ(CheckWriteEntry("00a0BeEf").addressWord, 0x00A0BEEFu);
    EXPECT_EQ(CheckWriteEntry("FFFFFFFF").addressWord, 0xFFFFFFFFu);
    EXPECT_EQ(CheckWriteEntry("10020012").addressWord, 0x10020012u);
}

TEST(WriteEntryCheck, AnyOtherLengthIsRefusedWithTheLengthMessage) {
    for (const char *text : {"800046", "", "0080004", "008000460", "  00800046"}) {
        SCOPED_TRACE(text);
        const WriteEntry e = CheckWriteEntry(text);
        EXPECT_EQ(e.check, WriteEntry::Check::WrongLength);
        EXPECT_STREQ(e.Message(),
                     "Invalid Address entered.  Make sure the address is 8 hex characters in length");
    }
}

TEST(WriteEntryCheck, EightCharactersThatAreNotAllHexDigitsAreRefusedWithTheirOwnMessage) {
    for (const char *text : {"0080004G", "0x800046", " 0800046", "0080004 ", "-0800046", "+0800046",
                             "0080.046", "0080004\xC3\xA9" /* 8 characters, 9 bytes */}) {
        SCOPED_TRACE(text);
        const WriteEntry e = CheckWriteEntry(text);
        EXPECT_EQ(e.check, WriteEntry::Check::NotHex);
        EXPECT_STREQ(e.Message(), kpd::kInvalidAddressDigitsText);
    }
    EXPECT_STRNE(kpd::kInvalidAddressDigitsText, kpd::kInvalidAddressLengthText);
}

TEST(WriteEntryCheck, LengthCountsCharactersNotBytes) {
    // Seven characters, one of them two bytes long: the length message, not the digits message.
    EXPECT_EQ(CheckWriteEntry("008000\xC3\xA9").check, WriteEntry::Check::WrongLength);
}

// ---- Through the session ----

class EngineeringSession : public sessiontest::SessionTest {
protected:
    // Demo mode shown in the engineering display (command 13 carried out), with a recording starter.
    void EnterEngineering() {
        S().SetReadAllStarter([this] { ++readAllStarts; });
        S().ShowEngineering();
        S().ReadWriteTimerTimer();
        ASSERT_EQ(S().Mode(), DisplayMode::Engineering);
        ASSERT_FALSE(S().Scheduler().Armed());
        view.Clear();
        readAllStarts = 0;
        S().SetReview(false);
        S().Access()->StopRequest = false;
    }
    int readAllStarts = 0;
    ScriptedDialogs dialogs;
};

TEST_F(EngineeringSession, ShowRemembersTheModeAndTheCommandShowsTheEmptiedDisplayAndStartsTheReader) {
    EnterDemo();
    EnterPlotMode(DisplayMode::SignalStrength);
    S().SetReadAllStarter([this] { ++readAllStarts; });
    S().ShowEngineering();
    EXPECT_EQ(S().Mode(), DisplayMode::Engineering);
    EXPECT_EQ(S().PreviousMode(), DisplayMode::SignalStrength);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdShowEngineering);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 500);
    EXPECT_EQ(view.busyCalls, std::vector<bool>{true});
    // A second F6 while the mode is current changes nothing.
    S().ShowEngineering();
    EXPECT_EQ(S().PreviousMode(), DisplayMode::SignalStrength);

    S().ReadWriteTimerTimer();
    ASSERT_EQ(view.layouts.size(), 1u);
    EXPECT_EQ(view.layouts[0].kind, sessiontest::RecordingView::Layout::Kind::Engineering);
    ASSERT_EQ(view.engineeringValues.size(), 1u);
    for (const std::string &t : view.engineeringValues[0])
        EXPECT_TRUE(t.empty());
    EXPECT_EQ(view.busyCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(readAllStarts, 1);
    EXPECT_TRUE(dc.calls.empty()); // no data set is started in mode 4
}

TEST_F(EngineeringSession, ClosingMakesThePreviousModeCurrentAtOnceAndTheCommandRestartsIt) {
    EnterDemo();
    EnterPlotMode(DisplayMode::EncoderSignal);
    EnterEngineering();
    S().LeaveEngineering();
    // Current at once: an activation of the main window before the command does not show the display.
    EXPECT_EQ(S().Mode(), DisplayMode::EncoderSignal);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdLeaveEngineering);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 1000);
    EXPECT_TRUE(S().Access()->StopRequest);
    S().ReadWriteTimerTimer();
    EXPECT_EQ(S().Mode(), DisplayMode::EncoderSignal);
    EXPECT_EQ(readAllStarts, 0);
}

TEST_F(EngineeringSession, InDemoModeTheLeaveCommandOnlyReturnsTheMode) {
    EnterDemo();
    EnterPlotMode(DisplayMode::EncoderSignal);
    EnterEngineering();
    S().LeaveEngineering();
    S().ExecuteCommand(kpd::CmdLeaveEngineering);
    // Demo mode: only the mode returns; nothing is read and no worker starts.
    EXPECT_TRUE(view.interpolation.empty());
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(EngineeringSession, AWrongLengthEntryGetsItsMessageAndNothingIsQueued) {
    EnterDemo();
    EnterEngineering();
    dialogs.Answer(MessageResult::Ok);
    {
        ScopedDialogs scope(dialogs);
        EXPECT_FALSE(S().EngineeringWrite("800046"));
    }
    EXPECT_TRUE(dialogs.Done());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs.Messages()[0].text,
              "Invalid Address entered.  Make sure the address is 8 hex characters in length");
    EXPECT_FALSE(S().Scheduler().Armed());
    EXPECT_FALSE(S().ReadWriteTimer()->isActive());
    EXPECT_FALSE(S().Access()->StopRequest); // the reader was not even asked to stop
    EXPECT_FALSE(S().Review());
}

TEST_F(EngineeringSession, AnEntryThatIsNotHexGetsAClearMessageAndNothingIsQueued) {
    EnterDemo();
    EnterEngineering();
    dialogs.Answer(MessageResult::Ok);
    {
        ScopedDialogs scope(dialogs);
        EXPECT_FALSE(S().EngineeringWrite("0080004G"));
    }
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages()[0].text, kpd::kInvalidAddressDigitsText);
    EXPECT_FALSE(S().Scheduler().Armed());
    EXPECT_FALSE(S().Access()->StopRequest);
}

TEST_F(EngineeringSession, AValidEntryIsKeptAndWrittenByCommand15) {
    EnterDemo();
    EnterEngineering();
    {
        ScopedDialogs scope(dialogs);
        EXPECT_TRUE(S().EngineeringWrite("00800046"));
    }
    EXPECT_TRUE(dialogs.Questions().empty());
    EXPECT_EQ(S().Engineering().AddressWord(), 0x00800046u);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdEngineeringWrite);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 800);
    EXPECT_TRUE(S().Access()->StopRequest);
    EXPECT_TRUE(S().Review());
    // A refused entry afterwards keeps the word of the accepted one.
    dialogs.Answer(MessageResult::Ok);
    {
        ScopedDialogs scope(dialogs);
        EXPECT_FALSE(S().EngineeringWrite("12"));
    }
    EXPECT_EQ(S().Engineering().AddressWord(), 0x00800046u);
}

TEST_F(EngineeringSession, TheAgcButtonsQueueTheirCommands) {
    EnterDemo();
    EnterEngineering();
    S().MainAgc(true);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdEnableMainAgc);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 800);
    EXPECT_TRUE(S().Access()->StopRequest);
    S().MainAgc(false);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdDisableMainAgc);
    EXPECT_EQ(S().ReadWriteTimer()->interval(), 800);
}

TEST_F(EngineeringSession, AFailedWriteIsALinkFailureAndTheReaderIsNotRestarted) {
    EnterDemo();
    EnterEngineering();
    ASSERT_TRUE(S().EngineeringWrite("00060123"));
    S().ReadWriteTimerTimer(); // the never-opened port: the write fails
    EXPECT_TRUE(S().PortHeld());
    EXPECT_EQ(readAllStarts, 0);
    ScriptedDialogs answers;
    answers.Answer(MessageResult::No);
    ScopedDialogs scope(answers);
    EXPECT_TRUE(sessiontest::WaitUntil([&] { return !S().PortHeld(); }, 2000));
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].text.rfind("Error communicating with Electronics.", 0), 0u);
    EXPECT_EQ(readAllStarts, 0);
}

TEST_F(EngineeringSession, InDemoModeTheOwnReaderDoesNotStart) {
    EnterDemo();
    S().ShowEngineering();
    S().ReadWriteTimerTimer();
    EXPECT_EQ(S().Mode(), DisplayMode::Engineering);
    EXPECT_FALSE(S().Engineering().WorkerActive());
    EXPECT_FALSE(S().WorkerExists());
    EXPECT_EQ(S().Engineering().Acquisition().Stats().threadsDone.load(), 0u);
}

TEST_F(EngineeringSession, TheNewestPassIsShownOnceInItsFormats) {
    EnterDemo();
    EnterEngineering();
    kpd::ReadAllPass pass;
    kpd::ReadAllPass::Values values{};
    values[0] = 0x1234;
    values[39] = 0x0105;
    values[40] = 0x00012345;
    values[41] = 57;
    S().Engineering().PassReady(pass); // nothing published yet
    EXPECT_TRUE(view.engineeringValues.empty());
    pass.Publish(values);
    S().Engineering().PassReady(pass);
    ASSERT_EQ(view.engineeringValues.size(), 1u);
    EXPECT_EQ(view.engineeringValues[0][0], "1234");
    EXPECT_EQ(view.engineeringValues[0][1], "0000");
    EXPECT_EQ(view.engineeringValues[0][39], "0105");
    EXPECT_EQ(view.engineeringValues[0][40], "00012345");
    EXPECT_EQ(view.engineeringValues[0][41], "00000039");
    // The same pass again (a late request) is not shown twice; a newer one is.
    S().Engineering().PassReady(pass);
    EXPECT_EQ(view.engineeringValues.size(), 1u);
    values[0] = 0xBEEF;
    pass.Publish(values);
    pass.Publish(values);
    S().Engineering().PassReady(pass);
    ASSERT_EQ(view.engineeringValues.size(), 2u);
    EXPECT_EQ(view.engineeringValues[1][0], "BEEF");
}

} // namespace
