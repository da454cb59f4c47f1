// The calibration and alignment controls of the status display without electronics: the selection mask
// follows the four check boxes, each button stops the status monitor and queues its command with 500 ms
// (only in the status display), the commands restart monitoring whatever the link answered, and Start Cal
// follows the boxes in the operating states 0 and 1 as the samples arrive.
#include "SessionFixture.h"

#include "session/CalibrationOptions.h"
#include "workers/SignalEvaluation.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <cstdint>

using kpd::DataState;
using kpd::DisplayMode;
namespace cal = kpd::calibration;

namespace {

constexpr std::uint32_t Word(int state, std::uint32_t bits = 0) {
    return kpd::status_bits::WithOperatingState(bits, state);
}

class CalibrationCommands : public sessiontest::SessionTest {
protected:
    // One live status sample with the given status word.
    void Sample(std::uint32_t word) {
        S().Status().UpdateStatusDisplay(0, 150.0f, word, 0, 0.0f, false, false);
    }
    const kpd::StatusView &Shown() const { return view.statusViews.back(); }
};

TEST_F(CalibrationCommands, TheMaskFollowsTheBoxesAndStartsClear) {
    EXPECT_EQ(S().CalibrationOptions(), 0);
    S().SetCalibrationOption(cal::kIndex, true);
    EXPECT_EQ(S().CalibrationOptions(), 0x02);
    S().SetCalibrationOption(cal::kLeftLimit, true);
    S().SetCalibrationOption(cal::kRightLimit, true);
    S().SetCalibrationOption(cal::kGop, true);
    EXPECT_EQ(S().CalibrationOptions(), 0x1E);
    S().SetCalibrationOption(cal::kRightLimit, false);
    EXPECT_EQ(S().CalibrationOptions(), 0x16);
    // Ticking and unticking a box twice leaves its bit clear.
    for (int i = 0; i < 2; ++i) {
        S().SetCalibrationOption(cal::kRightLimit, true);
        S().SetCalibrationOption(cal::kRightLimit, false);
    }
    EXPECT_EQ(S().CalibrationOptions(), 0x16);
    // A second tick of a ticked box keeps the bit; unticking an unticked box keeps it clear.
    S().SetCalibrationOption(cal::kGop, true);
    S().SetCalibrationOption(cal::kRightLimit, false);
    EXPECT_EQ(S().CalibrationOptions(), 0x16);
}

TEST_F(CalibrationCommands, BitsOutsideTheFourBoxesNeverEnterTheMask) {
    // Start Cal puts the mask into the command's high byte: nothing may reach bit 0 or beyond bit 7.
    S().SetCalibrationOption(0x01 | 0x20 | 0x100 | cal::kIndex, true);
    EXPECT_EQ(S().CalibrationOptions(), cal::kIndex);
    S().SetCalibrationOption(~0, true);
    EXPECT_EQ(S().CalibrationOptions(), cal::kAll);
    S().SetCalibrationOption(~0, false);
    EXPECT_EQ(S().CalibrationOptions(), 0);
}

TEST_F(CalibrationCommands, EachButtonStopsTheMonitorAndQueuesItsCommandWith500Ms) {
    EnterDemo();
    for (int code : {kpd::CmdStartCalibration, kpd::CmdStopCalibration, kpd::CmdSetCalibration,
                     kpd::CmdStartAlignment, kpd::CmdStopAlignment}) {
        SCOPED_TRACE(code);
        S().SetReview(false);
        S().Access()->StopRequest = false;
        S().ReadWriteTimer()->stop();
        S().Calibration(code);
        EXPECT_TRUE(S().Review());
        EXPECT_TRUE(S().Access()->StopRequest);
        EXPECT_EQ(S().PendingCommand(), code);
        EXPECT_TRUE(S().ReadWriteTimer()->isActive());
        EXPECT_EQ(S().ReadWriteTimer()->interval(), 500);
    }
    // A second press before the tick replaces the first.
    S().Calibration(kpd::CmdStartCalibration);
    S().Calibration(kpd::CmdStopCalibration);
    EXPECT_EQ(S().PendingCommand(), kpd::CmdStopCalibration);
}

TEST_F(CalibrationCommands, OtherCodesAndOtherModesQueueNothing) {
    EnterDemo();
    S().SetReview(false);
    S().Access()->StopRequest = false;
    for (int code : {int(kpd::CmdShowInfo), int(kpd::CmdEnableMainAgc), int(kpd::CmdDisableMainAgc), 0, 30})
        S().Calibration(code);
    EXPECT_FALSE(S().Scheduler().Armed());
    EXPECT_FALSE(S().Access()->StopRequest);

    EnterPlotMode(DisplayMode::EncoderSignal);
    S().Calibration(kpd::CmdStartCalibration);
    EXPECT_FALSE(S().Scheduler().Armed());
    EXPECT_FALSE(S().Access()->StopRequest);
    EXPECT_FALSE(S().Review());
}

TEST_F(CalibrationCommands, TheCommandsRestartMonitoringWhateverTheLinkAnswered) {
    EnterDemo();
    // The status display stopped: the command applies that state (the never-opened access object fails
    // every write, which these commands do not look at).
    S().States().Set(DisplayMode::Status, DataState::Stopped);
    S().SetCalibrationOption(cal::kAll, true);
    for (int code : {kpd::CmdStartCalibration, kpd::CmdStopCalibration, kpd::CmdSetCalibration,
                     kpd::CmdStartAlignment, kpd::CmdStopAlignment}) {
        SCOPED_TRACE(code);
        view.Clear();
        S().Calibration(code);
        ASSERT_TRUE(sessiontest::WaitUntil([&] { return !S().Scheduler().Armed(); }, 3000));
        EXPECT_FALSE(S().PortHeld()); // no link-failure decision
        // The stopped status display's state was applied: its review window's time is shown.
        EXPECT_EQ(view.elapsedTexts.size(), 1u);
    }
}

TEST_F(CalibrationCommands, StartCalFollowsTheBoxesInOperatingStatesZeroAndOne) {
    Sample(Word(0));
    EXPECT_EQ(Shown().IndexBox, " Operational mode (AGC on)");
    EXPECT_FALSE(Shown().StartCalButton.enabled); // no box ticked
    // A box ticked: the next sample enables Start Cal, even with the same status word.
    view.calibrationTicked = true;
    Sample(Word(0));
    EXPECT_TRUE(Shown().StartCalButton.enabled);
    view.calibrationTicked = false;
    Sample(Word(0));
    EXPECT_FALSE(Shown().StartCalButton.enabled);

    view.calibrationTicked = true;
    Sample(Word(1));
    EXPECT_EQ(Shown().IndexBox, " Alignment mode (AGC off)");
    EXPECT_TRUE(Shown().StartCalButton.enabled);
    EXPECT_FALSE(Shown().StartAlignButton.enabled);
    EXPECT_TRUE(Shown().StopAlignButton.enabled);

    // During a calibration the boxes do not enable it.
    Sample(Word(3));
    EXPECT_FALSE(Shown().StartCalButton.enabled);
    view.calibrationTicked = false;
    Sample(Word(3));
    view.calibrationTicked = true;
    Sample(Word(3));
    EXPECT_FALSE(Shown().StartCalButton.enabled);
    EXPECT_TRUE(Shown().StopCalButton.enabled);
}

TEST_F(CalibrationCommands, TheSetButtonShowsOnlyInTheLimitStates) {
    for (int state : {3, 4, 5}) {
        Sample(Word(state));
        EXPECT_TRUE(Shown().CalSetButton.visible) << state;
        EXPECT_TRUE(Shown().CalSetButton.raisedBevel) << state;
    }
    for (int state : {6, 7, 8, 9, 10, 15}) {
        Sample(Word(3));
        Sample(Word(state));
        EXPECT_FALSE(Shown().CalSetButton.visible) << state;
        EXPECT_FALSE(Shown().CalSetButton.raisedBevel) << state; // its bevel drawn black
    }
}

} // namespace
