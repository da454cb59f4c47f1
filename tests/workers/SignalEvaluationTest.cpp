// Signal evaluation with magnitude thresholds (firmware 1333 and older), lamps, operating-state texts,
// calibration buttons, alarm lines and alarm resets.
#include "EvaluationFixture.h"

namespace kpd::test {
namespace {

using namespace status_bits;

class LegacyEvaluation : public EvaluationTest {
protected:
    void SetUp() override { eval.SetFirmwareVersion(1333); }
};

// --- Index lamp -----------------------------------------------------------------------------------------

TEST_F(LegacyEvaluation, IndexPulseStaysLitForTwoMoreSamples) {
    Sample(Word(0));
    EXPECT_EQ(view.IndexShape, clGray);
    Sample(Word(0, kIndexSeen));
    EXPECT_EQ(view.IndexShape, clLime);
    EXPECT_TRUE(eval.IndexLatch());
    Sample(Word(0));
    EXPECT_EQ(view.IndexShape, clLime) << "first clear sample keeps the lamp lit";
    EXPECT_EQ(eval.IndexHoldCounter(), 1);
    Sample(Word(0));
    EXPECT_EQ(view.IndexShape, clGray) << "second clear sample turns it grey";
    EXPECT_FALSE(eval.IndexLatch());
    EXPECT_EQ(eval.IndexHoldCounter(), 0);
}

TEST_F(LegacyEvaluation, IndexHeldSetKeepsLampLitAndCounterAtZero) {
    for (int i = 0; i < 10; ++i)
        Sample(Word(0, kIndexSeen));
    EXPECT_EQ(view.IndexShape, clLime);
    EXPECT_EQ(eval.IndexHoldCounter(), 0);
}

TEST_F(LegacyEvaluation, IndexSeenAgainWhileLitDoesNotRestartTheHold) {
    Sample(Word(0, kIndexSeen));
    Sample(Word(0)); // hold 1
    Sample(Word(0, kIndexSeen));
    EXPECT_EQ(eval.IndexHoldCounter(), 1);
    Sample(Word(0));
    EXPECT_EQ(view.IndexShape, clGray);
}

TEST_F(LegacyEvaluation, CentreIndexResetOfHoldCounterExtendsTheLamp) {
    Sample(Word(0, kIndexSeen));
    Sample(Word(0));
    eval.SetIndexHoldCounter(0);
    Sample(Word(0));
    EXPECT_EQ(view.IndexShape, clLime);
    Sample(Word(0));
    EXPECT_EQ(view.IndexShape, clGray);
}

TEST_F(LegacyEvaluation, LimitLampsFollowEverySample) {
    Sample(Word(0, kLeftLimit));
    EXPECT_EQ(view.LeftLimitShape, clBlue);
    EXPECT_EQ(view.RightLimitShape, clGray);
    Sample(Word(0, kLeftLimit), 100.0f); // same word: lamps still evaluated
    EXPECT_EQ(view.LeftLimitShape, clBlue);
    Sample(Word(0, kRightLimit));
    EXPECT_EQ(view.LeftLimitShape, clGray);
    EXPECT_EQ(view.RightLimitShape, clRed);
    Sample(Word(0, kLeftLimit | kRightLimit));
    EXPECT_EQ(view.LeftLimitShape, clBlue);
    EXPECT_EQ(view.RightLimitShape, clRed);
    Sample(Word(0));
    EXPECT_EQ(view.LeftLimitShape, clGray);
    EXPECT_EQ(view.RightLimitShape, clGray);
}

// --- Operating-state rows -----------------------------------------------------------------------------

void ExpectCalibrationMode(const StatusView &v) {
    EXPECT_EQ(v.IndexBox, " Calibration mode");
    EXPECT_TRUE(v.ResolutionBoxVisible);
    EXPECT_FALSE(v.StartCalButton.enabled);
    EXPECT_TRUE(v.StopCalButton.enabled);
    for (const ButtonState &b : {v.StartAlignButton, v.StopAlignButton}) {
        EXPECT_FALSE(b.enabled);
        EXPECT_FALSE(b.visible);
        EXPECT_FALSE(b.raisedBevel);
    }
}

TEST_F(LegacyEvaluation, OperationalModeRow) {
    Sample(Word(3)); // leave calibration traces behind first
    ticked = true;
    Sample(Word(0));
    EXPECT_EQ(view.IndexBox, " Operational mode (AGC on)");
    EXPECT_EQ(view.ResolutionBox, "");
    EXPECT_FALSE(view.ResolutionBoxVisible);
    EXPECT_TRUE(view.StartCalButton.enabled);
    EXPECT_FALSE(view.StopCalButton.enabled);
    EXPECT_EQ(view.StartAlignButton, (ButtonState{true, true, true}));
    EXPECT_EQ(view.StopAlignButton, (ButtonState{false, true, true}));
    EXPECT_FALSE(view.CalSetButton.visible);
    EXPECT_FALSE(view.CalSetButton.raisedBevel);
    EXPECT_EQ(eval.LastOperatingState(), 0);
    EXPECT_EQ(eval.LastStatusWord(), Word(0));
}

TEST_F(LegacyEvaluation, AlignmentModeRow) {
    Sample(Word(5));
    Sample(Word(1));
    EXPECT_EQ(view.IndexBox, " Alignment mode (AGC off)");
    EXPECT_FALSE(view.ResolutionBoxVisible);
    EXPECT_FALSE(view.StartCalButton.enabled) << "no box ticked";
    EXPECT_FALSE(view.StopCalButton.enabled);
    EXPECT_EQ(view.StartAlignButton, (ButtonState{false, true, true}));
    EXPECT_EQ(view.StopAlignButton, (ButtonState{true, true, true}));
    EXPECT_FALSE(view.CalSetButton.visible);
}

TEST_F(LegacyEvaluation, LimitCalibrationRowsShowSet) {
    const char *texts[] = {" Move to No Limits, click SET", " Move to LEFT LIMIT, click SET",
                           " Move to RIGHT LIMIT, click SET"};
    for (int state = 3; state <= 5; ++state) {
        SCOPED_TRACE(state);
        Sample(Word(0));
        Sample(Word(state));
        ExpectCalibrationMode(view);
        EXPECT_EQ(view.ResolutionBox, texts[state - 3]);
        EXPECT_EQ(view.ResolutionBoxFont, clLime);
        EXPECT_TRUE(view.CalSetButton.visible);
        EXPECT_TRUE(view.CalSetButton.raisedBevel);
    }
}

TEST_F(LegacyEvaluation, CalculatingAndIndexRowsHideSet) {
    for (int state = 6; state <= 10; ++state) {
        SCOPED_TRACE(state);
        Sample(Word(4)); // Set shown
        Sample(Word(state));
        ExpectCalibrationMode(view);
        EXPECT_EQ(view.ResolutionBox, state == 6 ? " Calculating Limits" : " Move back and forth over INDEX");
        EXPECT_FALSE(view.CalSetButton.visible);
        EXPECT_FALSE(view.CalSetButton.raisedBevel);
    }
}

TEST_F(LegacyEvaluation, CompletionRowKeepsIndexBoxAndReportsErrors) {
    struct Case {
        std::uint32_t bits;
        const char *text;
        Rgb font;
    } cases[] = {{0, " Calibration Complete", clLime},
                 {kIndexCalError, " Index Calibration Error", clRed},
                 {kLimitsCalError, " Limits Calibration Error", clRed},
                 {kIndexCalError | kLimitsCalError, " Index Calibration Error", clRed}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        Sample(Word(4));
        Sample(Word(15, c.bits));
        EXPECT_EQ(view.IndexBox, " Calibration mode") << "IndexBox unchanged";
        EXPECT_EQ(view.ResolutionBox, c.text);
        EXPECT_EQ(view.ResolutionBoxFont, c.font);
        EXPECT_FALSE(view.CalSetButton.visible);
    }
    // From operational mode the index text stays the operational one.
    Sample(Word(0));
    Sample(Word(15));
    EXPECT_EQ(view.IndexBox, " Operational mode (AGC on)");
    EXPECT_EQ(view.ResolutionBox, " Calibration Complete");
}

TEST_F(LegacyEvaluation, GopRowsLeaveSetButtonAlone) {
    for (int state = 17; state <= 19; ++state) {
        SCOPED_TRACE(state);
        Sample(Word(3)); // Set shown
        Sample(Word(state));
        ExpectCalibrationMode(view);
        EXPECT_EQ(view.ResolutionBox, " Move back and forth anywhere");
        EXPECT_EQ(view.ResolutionBoxFont, clLime);
        EXPECT_TRUE(view.CalSetButton.visible) << "no further action in GOP states";
        Sample(Word(state, kGopCalError));
        EXPECT_EQ(view.ResolutionBox, " Calibrating GOP, Error");
        EXPECT_EQ(view.ResolutionBoxFont, clRed);
    }
}

TEST_F(LegacyEvaluation, StatesWithoutRowLeaveTextsButResetFontColour) {
    for (int state : {2, 11, 12, 13, 14, 16, 20, 40, 63}) {
        SCOPED_TRACE(state);
        Sample(Word(17, kGopCalError)); // red error text
        const StatusView before = view;
        Sample(Word(state));
        EXPECT_EQ(view.IndexBox, before.IndexBox);
        EXPECT_EQ(view.ResolutionBox, before.ResolutionBox);
        EXPECT_EQ(view.ResolutionBoxVisible, before.ResolutionBoxVisible);
        EXPECT_EQ(view.StartCalButton, before.StartCalButton);
        EXPECT_EQ(view.CalSetButton, before.CalSetButton);
        EXPECT_EQ(view.ResolutionBoxFont, clLime) << "the colour is set before the row is chosen";
        EXPECT_EQ(eval.LastOperatingState(), state);
    }
}

// --- Unchanged status word, check boxes ------------------------------------------------------------------

TEST_F(LegacyEvaluation, UnchangedStatusWordLeavesTextsAlone) {
    Sample(Word(0));
    view.IndexBox = "window text";
    view.ResolutionBox = "other";
    Sample(Word(0));
    EXPECT_EQ(view.IndexBox, "window text");
    EXPECT_EQ(view.ResolutionBox, "other");
    Sample(Word(0, kLeftLimit)); // a different word redraws
    EXPECT_EQ(view.IndexBox, " Operational mode (AGC on)");
}

TEST_F(LegacyEvaluation, StartCalFollowsCheckBoxesInStatesZeroAndOne) {
    for (int state : {0, 1}) {
        SCOPED_TRACE(state);
        ticked = false;
        Sample(Word(state));
        EXPECT_FALSE(view.StartCalButton.enabled);
        ticked = true;
        Sample(Word(state)); // same word
        EXPECT_TRUE(view.StartCalButton.enabled);
        EXPECT_TRUE(eval.LastCheckBoxState());
        ticked = false;
        Sample(Word(state));
        EXPECT_FALSE(view.StartCalButton.enabled);
    }
}

TEST_F(LegacyEvaluation, CheckBoxesDoNotEnableStartCalDuringCalibration) {
    Sample(Word(4));
    ticked = true;
    Sample(Word(4));
    EXPECT_FALSE(view.StartCalButton.enabled);
    EXPECT_TRUE(eval.LastCheckBoxState());
    Sample(Word(0)); // back in operation: the row itself uses the boxes
    EXPECT_TRUE(view.StartCalButton.enabled);
}

TEST_F(LegacyEvaluation, CheckBoxStateActsOnlyOnChange) {
    Sample(Word(0));
    view.StartCalButton.enabled = true; // something else enabled it
    Sample(Word(0));                    // boxes unchanged (unticked): no action
    EXPECT_TRUE(view.StartCalButton.enabled);
}

TEST_F(LegacyEvaluation, LayoutResetRedrawsTheSameWord) {
    Sample(Word(1));
    view.IndexBox = "stale";
    eval.ResetForLayout();
    EXPECT_EQ(eval.LastStatusWord(), 99u);
    EXPECT_EQ(eval.LastOperatingState(), 99);
    Sample(Word(1));
    EXPECT_EQ(view.IndexBox, " Alignment mode (AGC off)");
}

TEST_F(LegacyEvaluation, LayoutResetRedrawsEvenForTheMarkerValue) {
    // 99 = index, right limit, GOP error bits in state 0: a real word, still redrawn after a layout.
    Sample(Word(1));
    eval.ResetForLayout();
    Sample(99u);
    EXPECT_EQ(view.IndexBox, " Operational mode (AGC on)");
    EXPECT_EQ(eval.LastStatusWord(), 99u);
    view.IndexBox = "kept";
    Sample(99u);
    EXPECT_EQ(view.IndexBox, "kept");
}

TEST_F(LegacyEvaluation, LayoutResetClearsTheIndexLatch) {
    Sample(Word(0, kIndexSeen));
    eval.ResetForLayout(view);
    EXPECT_FALSE(eval.IndexLatch());
    EXPECT_EQ(view.IndexShape, clGray);
    Sample(Word(0, kIndexSeen));
    EXPECT_EQ(view.IndexShape, clLime);
}

// --- Magnitude thresholds ---------------------------------------------------------------------------------

TEST_F(LegacyEvaluation, ZoneThresholds) {
    struct Case {
        float magnitude;
        ZoneMarkers markers;
    } cases[] = {
        {215.0f, {true, false, false, false}}, {100.0f, {true, false, false, false}},
        {70.0f, {true, false, false, false}},  {69.99f, {false, true, false, false}},
        {45.0f, {false, true, false, false}},  {44.0f, {false, false, true, false}},
        {0.0f, {false, false, true, false}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.magnitude);
        view.markers = {true, true, true, true};
        Sample(Word(0), c.magnitude, true);
        EXPECT_EQ(view.markers, c.markers);
        EXPECT_EQ(view.OverSignalShape, clGrayText);
        EXPECT_EQ(eval.OverSignalCounter(), 0);
    }
}

TEST_F(LegacyEvaluation, StrongSignalLightsLampAndHidesEveryZone) {
    view.markers = {true, true, true, true};
    Sample(Word(0), 430.0f, true);
    EXPECT_EQ(view.markers, (ZoneMarkers{false, false, false, false}));
    EXPECT_EQ(view.OverSignalShape, clRed);
    EXPECT_EQ(eval.OverSignalCounter(), 0) << "exactly 430 is not over-signal";
    Sample(Word(0), 215.5f, true);
    EXPECT_EQ(view.markers, (ZoneMarkers{false, false, false, false}));
    Sample(Word(0), 430.5f, true);
    EXPECT_EQ(eval.OverSignalCounter(), 1);
}

TEST_F(LegacyEvaluation, LampStaysRedUntilReset) {
    Sample(Word(0), 500.0f, true);
    Sample(Word(0), 100.0f, true);
    EXPECT_EQ(view.OverSignalShape, clRed);
    EXPECT_EQ(view.markers.green, true);
    eval.ResetAlarms(view);
    EXPECT_EQ(view.OverSignalShape, clGrayText);
    EXPECT_EQ(view.YellowShape, clGrayText);
    EXPECT_EQ(view.RedShape, clGrayText);
}

TEST_F(LegacyEvaluation, ZonesChangeOnlyOnEvaluatedSamples) {
    Sample(Word(0), 100.0f, true);
    Sample(Word(0), 30.0f, false);
    EXPECT_EQ(view.markers, (ZoneMarkers{true, false, false, false}));
    Sample(Word(0), 500.0f, false);
    EXPECT_EQ(view.OverSignalShape, clGrayText);
    EXPECT_EQ(eval.OverSignalCounter(), 0);
}

// --- Alarm history ----------------------------------------------------------------------------------------

TEST_F(LegacyEvaluation, OverSignalGroupAddsFourLines) {
    Stream(7, Word(0), 100.0f);
    AlignToEvaluation(Word(0), 100.0f);
    const int firstOver = streamed + 1;
    Stream(12, Word(0), 500.0f); // three evaluations above 430 in a row
    ASSERT_EQ(eval.History().Count(), 4u);
    // Newest first, each with its own sample's position and time.
    for (int i = 0; i < 4; ++i) {
        const std::string &line = eval.History().Line(std::size_t(3 - i));
        EXPECT_NE(line.find("pos" + std::to_string(firstOver + i) + "\t"), std::string::npos) << line;
    }
    EXPECT_NE(eval.History().Line(0), eval.History().Line(1));
    EXPECT_EQ(eval.OverSignalCounter(), 3);
}

TEST_F(LegacyEvaluation, DroppingToThresholdStartsANewGroup) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(8, Word(0), 500.0f);
    EXPECT_EQ(eval.History().Count(), 4u);
    Stream(4, Word(0), 430.0f); // evaluation at exactly 430 clears the counter
    EXPECT_EQ(eval.OverSignalCounter(), 0);
    EXPECT_EQ(eval.History().Count(), 4u);
    Stream(8, Word(0), 431.0f);
    EXPECT_EQ(eval.History().Count(), 8u);
}

TEST_F(LegacyEvaluation, ShortOverSignalBetweenEvaluationsAddsNothing) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(Word(0), 100.0f);    // evaluated, fine
    Stream(3, Word(0), 900.0f); // not evaluated
    Stream(Word(0), 100.0f);    // evaluated, fine again
    EXPECT_EQ(eval.History().Count(), 0u);
}

TEST_F(LegacyEvaluation, ReplayNeverAddsLines) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(16, Word(0), 500.0f, true);
    EXPECT_EQ(eval.History().Count(), 0u);
    EXPECT_EQ(view.OverSignalShape, clRed) << "the replay still shows the lamp";
}

TEST_F(LegacyEvaluation, ReplayedOverSignalDoesNotLogAgainstLiveSamples) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(Word(0), 500.0f, true); // replayed over-signal evaluated at the end of a replay
    sampleCounter = 0;             // live monitoring restarts its evaluation count
    Stream(3, Word(0), 100.0f);    // live samples before the first live evaluation
    EXPECT_EQ(eval.History().Count(), 0u);
}

TEST_F(LegacyEvaluation, ReplayInterruptingAGroupNeitherAddsNorResets) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(Word(0), 500.0f); // live event, counter 1, line 1
    Stream(Word(0), 500.0f, true);
    Stream(Word(0), 500.0f, true);
    EXPECT_EQ(eval.History().Count(), 1u);
    Stream(Word(0), 500.0f); // live again, counter still 1
    EXPECT_EQ(eval.History().Count(), 2u);
}

TEST_F(LegacyEvaluation, AlarmLineCarriesPositionUnitsAndTime) {
    eval.Evaluate(Word(0), 600.0f, true, false, false, "-1,234.56789", "microns", {2023, 11, 30, 7, 5, 0},
                  view);
    ASSERT_EQ(eval.History().Count(), 1u);
    EXPECT_EQ(eval.History().Line(0),
              "\tOver Signal \t      -1,234.56789\tmicrons\t\t   November 30, 2023  at  07:05:00");
}

TEST_F(LegacyEvaluation, ClockReadingGivesLocalTimeInTheLine) {
    const auto t = std::chrono::system_clock::from_time_t(1700000000);
    const std::string expected = FormatAlarmLine("7", "mm", LocalDateTime::FromTimePoint(t));
    eval.Evaluate(Word(0), 100.0f, true, false, false, "7", "mm", t, view);
    EXPECT_TRUE(eval.History().Empty());
    eval.Evaluate(Word(0), 600.0f, true, false, false, "7", "mm", t, view);
    ASSERT_EQ(eval.History().Count(), 1u);
    EXPECT_EQ(eval.History().Line(0), expected);
    eval.Evaluate(Word(0), 600.0f, false, true, false, "7", "mm", t, view); // replay
    EXPECT_EQ(eval.History().Count(), 1u);
}

TEST_F(LegacyEvaluation, ResetAlarmsKeepsTheCounter) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(Word(0), 500.0f);
    eval.ResetAlarms(view);
    EXPECT_EQ(eval.OverSignalCounter(), 1);
    Stream(Word(0), 100.0f); // not evaluated: the group goes on
    EXPECT_EQ(eval.History().Count(), 2u);
}

TEST_F(LegacyEvaluation, ClearHistoryEmptiesListResetsLampsAndCounter) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(Word(0), 500.0f);
    ASSERT_EQ(eval.History().Count(), 1u);
    view.YellowShape = clYellow;
    view.RedShape = clRed;
    eval.ClearHistory(view);
    EXPECT_TRUE(eval.History().Empty());
    EXPECT_EQ(eval.OverSignalCounter(), 0);
    EXPECT_EQ(view.OverSignalShape, clGrayText);
    EXPECT_EQ(view.YellowShape, clGrayText);
    EXPECT_EQ(view.RedShape, clGrayText);
    Stream(3, Word(0), 500.0f); // no evaluation yet: nothing
    EXPECT_TRUE(eval.History().Empty());
    Stream(Word(0), 500.0f); // the next event adds a line again
    EXPECT_EQ(eval.History().Count(), 1u);
}

TEST_F(LegacyEvaluation, LongOverSignalStillAddsOnlyFourLines) {
    AlignToEvaluation(Word(0), 100.0f);
    Stream(400, Word(0), 1000.0f);
    EXPECT_EQ(eval.History().Count(), 4u);
}

} // namespace
} // namespace kpd::test
