// Signal evaluation when the electronics classify the signal themselves (firmware above 1333), and the
// rule that clears the over-signal counter in that mode.
#include "EvaluationFixture.h"

namespace kpd::test {
namespace {

class ClassifiedEvaluation : public EvaluationTest {
protected:
    void SetUp() override { eval.SetFirmwareVersion(1334); }
    std::uint32_t W(SignalClass c) { return Word(0, ClassBits(c)); }
};

TEST_F(ClassifiedEvaluation, ClassBitsDecode) {
    EXPECT_EQ(SignalClassOf(1u << 22), SignalClass::Green);
    EXPECT_EQ(SignalClassOf(3u << 22), SignalClass::Yellow);
    EXPECT_EQ(SignalClassOf(1u << 23), SignalClass::Red);
    EXPECT_EQ(SignalClassOf(0xFF3FFFFFu), SignalClass::None);
}

TEST_F(ClassifiedEvaluation, GreenShowsGreenZoneWhateverTheMagnitude) {
    view.markers = {false, true, true, true};
    Sample(W(SignalClass::Green), 900.0f, true);
    EXPECT_EQ(view.markers, (ZoneMarkers{true, false, false, false}));
    EXPECT_EQ(eval.OverSignalCounter(), 0);
}

TEST_F(ClassifiedEvaluation, YellowAt117ShowsYellowZone) {
    view.markers = {true, false, true, true};
    Sample(W(SignalClass::Yellow), 117.0f, true);
    EXPECT_EQ(view.markers, (ZoneMarkers{false, true, false, false}));
    EXPECT_EQ(eval.OverSignalCounter(), 0);
}

TEST_F(ClassifiedEvaluation, YellowAt118HidesRedAndKeepsTheOthers) {
    for (ZoneMarkers before : {ZoneMarkers{true, false, true, true}, ZoneMarkers{false, true, true, false}}) {
        view.markers = before;
        eval.ClearHistory(view);
        Sample(W(SignalClass::Yellow), 118.0f, true);
        ZoneMarkers expected = before;
        expected.red = false;
        EXPECT_EQ(view.markers, expected);
        EXPECT_EQ(eval.OverSignalCounter(), 1);
    }
}

TEST_F(ClassifiedEvaluation, RedClass) {
    view.markers = {true, true, false, true};
    Sample(W(SignalClass::Red), 117.0f, true);
    EXPECT_EQ(view.markers, (ZoneMarkers{false, false, true, false}));
    EXPECT_EQ(eval.OverSignalCounter(), 0);
    view.markers = {true, true, true, true};
    Sample(W(SignalClass::Red), 118.0f, true);
    EXPECT_EQ(view.markers, (ZoneMarkers{false, false, false, false}));
    EXPECT_EQ(eval.OverSignalCounter(), 1);
}

TEST_F(ClassifiedEvaluation, NoClassLeavesTheBar) {
    view.markers = {true, false, true, false};
    Sample(W(SignalClass::None), 30.0f, true);
    EXPECT_EQ(view.markers, (ZoneMarkers{true, false, true, false}));
}

TEST_F(ClassifiedEvaluation, MagnitudeThresholdsDoNotApply) {
    Sample(W(SignalClass::Green), 1000.0f, true);
    EXPECT_EQ(view.OverSignalShape, clGrayText);
    Sample(W(SignalClass::Yellow), 1000.0f, true);
    EXPECT_EQ(view.OverSignalShape, clGrayText) << "this mode never lights the over-signal lamp";
}

TEST_F(ClassifiedEvaluation, FirmwareBoundary) {
    eval.SetFirmwareVersion(1333);
    Sample(W(SignalClass::Yellow), 118.0f, true); // magnitude rules: green zone, no over-signal
    EXPECT_EQ(view.markers, (ZoneMarkers{true, false, false, false}));
    EXPECT_EQ(eval.OverSignalCounter(), 0);
    eval.SetFirmwareVersion(1334);
    Sample(W(SignalClass::Yellow), 118.0f, true);
    EXPECT_EQ(eval.OverSignalCounter(), 1);
}

// Clearing rule of this mode: an evaluation that does not raise the counter sets it to 0.
TEST_F(ClassifiedEvaluation, EvaluationWithoutOverSignalClearsTheCounter) {
    for (SignalClass after : {SignalClass::Green, SignalClass::Yellow, SignalClass::Red, SignalClass::None}) {
        SCOPED_TRACE(int(after));
        Sample(W(SignalClass::Red), 200.0f, true);
        Sample(W(SignalClass::Red), 200.0f, true);
        EXPECT_EQ(eval.OverSignalCounter(), 2);
        Sample(W(after), 50.0f, true);
        EXPECT_EQ(eval.OverSignalCounter(), 0);
    }
}

TEST_F(ClassifiedEvaluation, OneEventAddsABoundedNumberOfLines) {
    AlignToEvaluation(W(SignalClass::Green), 100.0f);
    Stream(200, W(SignalClass::Yellow), 150.0f);
    EXPECT_EQ(eval.History().Count(), 4u);
    Stream(4, W(SignalClass::Green), 100.0f);
    Stream(200, W(SignalClass::Red), 150.0f);
    EXPECT_EQ(eval.History().Count(), 8u) << "a new event after a clean evaluation";
}

TEST_F(ClassifiedEvaluation, SingleEvaluatedOverSignalFollowedByNoClassIsBounded) {
    AlignToEvaluation(W(SignalClass::Green), 100.0f);
    Stream(W(SignalClass::Yellow), 150.0f);
    Stream(200, W(SignalClass::None), 150.0f);
    EXPECT_EQ(eval.History().Count(), 4u);
    EXPECT_EQ(eval.OverSignalCounter(), 0);
}

TEST_F(ClassifiedEvaluation, ReplayNeverAddsLines) {
    AlignToEvaluation(W(SignalClass::Green), 100.0f);
    Stream(40, W(SignalClass::Red), 150.0f, true);
    EXPECT_EQ(eval.History().Count(), 0u);
}

} // namespace
} // namespace kpd::test
