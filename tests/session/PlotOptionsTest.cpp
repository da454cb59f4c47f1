// Plot options: the page of each plot mode, the check of the entries, and what an accepted entry applies.
#include "session/PlotOptions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using kpd::DisplayMode;
using kpd::PlotOptionsEntry;
using kpd::PlotOptionsPage;
using kpd::PlotRange;
using kpd::PlotScaling;

namespace {

Settings DefaultSettings() {
    Settings s;
    s.SetDefaults();
    s.resolutionMultiplier = 1.0f;
    s.interpolationMultiplier = 1.0f;
    s.generation = 3;
    return s;
}

PlotOptionsEntry EntryOf(const PlotOptionsPage &page, const std::string &display) {
    PlotOptionsEntry e;
    e.mode = page.mode;
    e.checked = page.checked;
    e.display = display;
    e.edit1 = page.edit1Text;
    e.edit2 = page.edit2Text;
    return e;
}

bool Accepts(const PlotOptionsPage &page, const PlotOptionsEntry &entry, int *count = nullptr) {
    int pending = -12345;
    const bool ok = kpd::ValidatePlotOptions(page, entry, pending);
    if (count) *count = pending;
    return ok;
}

} // namespace

// ---- Mode 1: encoder signal ----

TEST(PlotOptions, EncoderSignalPageTexts) {
    Settings s = DefaultSettings();
    s.showcircles = true;
    s.minimumcircle = 0.3f;
    s.maximumcircle = 0.6f;
    const PlotOptionsPage p = kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1400);
    EXPECT_EQ(p.mode, DisplayMode::EncoderSignal);
    EXPECT_EQ(p.caption, "Encoder Signal Plot Options");
    EXPECT_EQ(p.memo,
              "Enter the number of points to display in Encoder Signal Plot\n\n Input range: 5 -1000");
    EXPECT_EQ(p.displayText, "150");
    EXPECT_EQ(p.checkText, "Disable Indicator Circle Settings");
    EXPECT_FALSE(p.checked);
    EXPECT_EQ(p.label1Text, "Min Indicator (0.01 to Max)");
    EXPECT_EQ(p.label2Text, "Max Indicator (Min to 0.99)");
    EXPECT_EQ(p.edit1Text, "0.300");
    EXPECT_EQ(p.edit2Text, "0.600");
    EXPECT_FLOAT_EQ(p.valueMinimum, 5.0f);
    EXPECT_FLOAT_EQ(p.valueMaximum, 1000.0f);
    EXPECT_FALSE(p.validateRanges);
    EXPECT_FALSE(p.secondRange);
    EXPECT_TRUE(p.circleControlsEnabled);
    EXPECT_TRUE(p.checkEnabled);
}

TEST(PlotOptions, EncoderSignalCheckedWhenCirclesHidden) {
    Settings s = DefaultSettings();
    s.showcircles = false;
    EXPECT_TRUE(kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1400).checked);
}

TEST(PlotOptions, EncoderSignalOuterCircleRangeFollowsFirmware) {
    const Settings s = DefaultSettings();
    EXPECT_EQ(kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1333).label2Text,
              "Max Indicator (Min to 0.75)");
    EXPECT_EQ(kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1334).label2Text,
              "Max Indicator (Min to 0.99)");
    EXPECT_EQ(kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1333).label1Text,
              "Min Indicator (0.01 to Max)");
}

TEST(PlotOptions, EncoderSignalCircleControlsNeedGenerationThreeOrNewFirmware) {
    Settings s = DefaultSettings();
    s.generation = 2;
    PlotOptionsPage p = kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1333);
    EXPECT_FALSE(p.circleControlsEnabled);
    EXPECT_FALSE(p.checkEnabled);
    p = kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1334);
    EXPECT_TRUE(p.circleControlsEnabled);
    EXPECT_TRUE(p.checkEnabled);
    s.generation = 3;
    p = kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1000);
    EXPECT_TRUE(p.circleControlsEnabled);
    EXPECT_TRUE(p.checkEnabled);
}

TEST(PlotOptions, EncoderSignalPointRange) {
    const PlotOptionsPage p =
        kpd::PreparePlotOptions(DisplayMode::EncoderSignal, DefaultSettings(), PlotScaling{}, 1400);
    int count = 0;
    EXPECT_TRUE(Accepts(p, EntryOf(p, "5"), &count));
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(Accepts(p, EntryOf(p, "1000"), &count));
    EXPECT_EQ(count, 1000);
    EXPECT_FALSE(Accepts(p, EntryOf(p, "4")));
    EXPECT_FALSE(Accepts(p, EntryOf(p, "1001")));
    EXPECT_FALSE(Accepts(p, EntryOf(p, "4.99")));
    EXPECT_TRUE(Accepts(p, EntryOf(p, "150.7"), &count));
    EXPECT_EQ(count, 150);
}

TEST(PlotOptions, EncoderSignalFractionalCountAppliedTruncated) {
    Settings s = DefaultSettings();
    PlotScaling scaling;
    const PlotOptionsPage p = kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, scaling, 1400);
    const PlotOptionsEntry e = EntryOf(p, "150.7");
    int count = 0;
    ASSERT_TRUE(Accepts(p, e, &count));
    s.lissplot = 0;
    kpd::ApplyPlotOptions(e, count, s, scaling);
    EXPECT_EQ(s.lissplot, 150);
}

TEST(PlotOptions, EncoderSignalCirclesAreNotRangeChecked) {
    Settings s = DefaultSettings();
    s.showcircles = true;
    const PlotOptionsPage p = kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1400);
    PlotOptionsEntry e = EntryOf(p, "200");
    e.edit1 = "0.9";
    e.edit2 = "0.1";
    EXPECT_TRUE(Accepts(p, e));
    e.edit1 = "5";
    EXPECT_TRUE(Accepts(p, e));
    // Circles that are not numbers cannot be applied.
    e.edit1 = "x";
    EXPECT_FALSE(Accepts(p, e));
    // ... unless the circle settings are disabled.
    e.checked = true;
    EXPECT_TRUE(Accepts(p, e));
}

TEST(PlotOptions, EncoderSignalApplyShowsCirclesWithTheEnteredRadii) {
    Settings s = DefaultSettings();
    PlotScaling scaling;
    PlotOptionsEntry e;
    e.mode = DisplayMode::EncoderSignal;
    e.checked = false;
    e.display = "300";
    e.edit1 = "0.25";
    e.edit2 = "0.8";
    kpd::ApplyPlotOptions(e, 300, s, scaling);
    EXPECT_TRUE(s.showcircles);
    EXPECT_FLOAT_EQ(s.minimumcircle, 0.25f);
    EXPECT_FLOAT_EQ(s.maximumcircle, 0.8f);
    EXPECT_EQ(s.lissplot, 300);
    EXPECT_EQ(s.signalplot, 500);
    EXPECT_FLOAT_EQ(s.positionplot, 8.0f);
}

TEST(PlotOptions, EncoderSignalApplyHidesCirclesAndKeepsTheRadii) {
    Settings s = DefaultSettings();
    s.showcircles = true;
    PlotScaling scaling;
    PlotOptionsEntry e;
    e.mode = DisplayMode::EncoderSignal;
    e.checked = true;
    e.display = "20";
    e.edit1 = "0.25";
    e.edit2 = "0.8";
    kpd::ApplyPlotOptions(e, 20, s, scaling);
    EXPECT_FALSE(s.showcircles);
    EXPECT_FLOAT_EQ(s.minimumcircle, 0.187f);
    EXPECT_FLOAT_EQ(s.maximumcircle, 0.575f);
    EXPECT_EQ(s.lissplot, 20);
    EXPECT_TRUE(scaling.strengthAuto);
    EXPECT_TRUE(scaling.signalAuto);
}

// ---- Mode 2: signal strength ----

TEST(PlotOptions, SignalStrengthPageTexts) {
    Settings s = DefaultSettings();
    s.resolutionMultiplier = 0.5f;
    s.interpolationMultiplier = 1.0f;
    s.digits = 1;
    PlotScaling scaling;
    scaling.strengthAuto = true;
    scaling.strengthCurrent = PlotRange{-300, 4001};
    scaling.strengthFixed = PlotRange{10, 20};
    const PlotOptionsPage p = kpd::PreparePlotOptions(DisplayMode::SignalStrength, s, scaling, 1400);
    EXPECT_EQ(p.caption, "Signal Strength Plot Options");
    EXPECT_EQ(p.memo,
              "Enter the number of points to display in Signal Strength Plot\n\n Input range: 100 -10000");
    EXPECT_EQ(p.displayText, "500");
    EXPECT_EQ(p.checkText, "Auto Scale Position");
    EXPECT_TRUE(p.checked);
    EXPECT_TRUE(p.checkEnabled);
    EXPECT_TRUE(p.circleControlsEnabled);
    EXPECT_EQ(p.label1Text, "Minimum Counts");
    EXPECT_EQ(p.label2Text, "Maximum Counts");
    EXPECT_EQ(p.edit1Text, "-150.0");
    EXPECT_EQ(p.edit2Text, "2000.5");
    EXPECT_FLOAT_EQ(p.valueMinimum, 100.0f);
    EXPECT_FLOAT_EQ(p.valueMaximum, 10000.0f);
    EXPECT_TRUE(p.validateRanges);
    EXPECT_FALSE(p.secondRange);
}

TEST(PlotOptions, SignalStrengthShowsTheFixedRangeWithoutAutoScale) {
    Settings s = DefaultSettings();
    s.resolutionMultiplier = 0.25f;
    s.interpolationMultiplier = 2.0f;
    s.digits = 3;
    PlotScaling scaling;
    scaling.strengthAuto = false;
    scaling.strengthCurrent = PlotRange{-300, 4001};
    scaling.strengthFixed = PlotRange{10, 21};
    const PlotOptionsPage p = kpd::PreparePlotOptions(DisplayMode::SignalStrength, s, scaling, 1400);
    EXPECT_FALSE(p.checked);
    EXPECT_EQ(p.edit1Text, "5.000");
    EXPECT_EQ(p.edit2Text, "10.500");
}

TEST(PlotOptions, SignalStrengthPointRange) {
    const PlotOptionsPage p =
        kpd::PreparePlotOptions(DisplayMode::SignalStrength, DefaultSettings(), PlotScaling{}, 1400);
    EXPECT_TRUE(Accepts(p, EntryOf(p, "100")));
    EXPECT_TRUE(Accepts(p, EntryOf(p, "10000")));
    EXPECT_FALSE(Accepts(p, EntryOf(p, "99")));
    EXPECT_FALSE(Accepts(p, EntryOf(p, "10001")));
}

TEST(PlotOptions, SignalStrengthRangeOrderCheckedOnlyWithoutAutoScale) {
    PlotScaling scaling;
    scaling.strengthAuto = false;
    const PlotOptionsPage p =
        kpd::PreparePlotOptions(DisplayMode::SignalStrength, DefaultSettings(), scaling, 1400);
    PlotOptionsEntry e = EntryOf(p, "500");
    e.checked = false;
    e.edit1 = "200";
    e.edit2 = "100";
    EXPECT_FALSE(Accepts(p, e));
    e.edit1 = "100";
    EXPECT_TRUE(Accepts(p, e));
    e.edit1 = "abc";
    EXPECT_FALSE(Accepts(p, e));
    // With auto scale on the range fields are not read.
    e.checked = true;
    EXPECT_TRUE(Accepts(p, e));
    e.edit1 = "200";
    EXPECT_TRUE(Accepts(p, e));
}

TEST(PlotOptions, SignalStrengthFixedRangeConvertedBackToCounts) {
    Settings s = DefaultSettings();
    s.resolutionMultiplier = 0.5f;
    s.interpolationMultiplier = 1.0f;
    PlotScaling scaling;
    PlotOptionsEntry e;
    e.mode = DisplayMode::SignalStrength;
    e.checked = false;
    e.display = "2000";
    e.edit1 = "-10.3";
    e.edit2 = "100.0";
    kpd::ApplyPlotOptions(e, 2000, s, scaling);
    EXPECT_FALSE(scaling.strengthAuto);
    EXPECT_EQ(scaling.strengthFixed, (PlotRange{-20, 200}));
    EXPECT_EQ(s.signalplot, 2000);
    EXPECT_EQ(s.lissplot, 150);
    EXPECT_TRUE(scaling.signalAuto);

    s.resolutionMultiplier = 0.1f;
    s.interpolationMultiplier = 4.0f;
    e.edit1 = "1.0";
    e.edit2 = "2.5";
    kpd::ApplyPlotOptions(e, 2000, s, scaling);
    EXPECT_EQ(scaling.strengthFixed, (PlotRange{2, 6}));
}

TEST(PlotOptions, SignalStrengthAutoScaleKeepsTheFixedRange) {
    Settings s = DefaultSettings();
    PlotScaling scaling;
    scaling.strengthAuto = false;
    scaling.strengthFixed = PlotRange{1, 2};
    PlotOptionsEntry e;
    e.mode = DisplayMode::SignalStrength;
    e.checked = true;
    e.display = "700";
    e.edit1 = "500";
    e.edit2 = "600";
    kpd::ApplyPlotOptions(e, 700, s, scaling);
    EXPECT_TRUE(scaling.strengthAuto);
    EXPECT_EQ(scaling.strengthFixed, (PlotRange{1, 2}));
    EXPECT_EQ(s.signalplot, 700);
}

// ---- Mode 3: signal plots ----

TEST(PlotOptions, SignalPlotsPageTexts) {
    Settings s = DefaultSettings();
    PlotScaling scaling;
    scaling.signalAuto = true;
    scaling.signalCurrent = PlotRange{-1200, 3400};
    scaling.signalFixed = PlotRange{0, 10};
    const PlotOptionsPage p = kpd::PreparePlotOptions(DisplayMode::SignalPlots, s, scaling, 1000);
    EXPECT_EQ(p.caption, "Encoder Signal Plot Options");
    EXPECT_EQ(p.memo, "Enter the Time in seconds to display in Signal Plot\n\n Input range: 1.0 - 65.0");
    EXPECT_EQ(p.displayText, "8");
    EXPECT_EQ(p.checkText, "AutoScale Signals");
    EXPECT_TRUE(p.checked);
    EXPECT_TRUE(p.checkEnabled);
    EXPECT_TRUE(p.circleControlsEnabled);
    EXPECT_EQ(p.label1Text, "Minimum Counts");
    EXPECT_EQ(p.label2Text, "Maximum Counts");
    EXPECT_EQ(p.edit1Text, "-1200");
    EXPECT_EQ(p.edit2Text, "3400");
    EXPECT_FLOAT_EQ(p.valueMinimum, 1.0f);
    EXPECT_FLOAT_EQ(p.valueMaximum, 65.0f);
    EXPECT_TRUE(p.validateRanges);
    EXPECT_TRUE(p.secondRange);

    scaling.signalAuto = false;
    const PlotOptionsPage fixed = kpd::PreparePlotOptions(DisplayMode::SignalPlots, s, scaling, 1000);
    EXPECT_FALSE(fixed.checked);
    EXPECT_EQ(fixed.edit1Text, "0");
    EXPECT_EQ(fixed.edit2Text, "10");
}

TEST(PlotOptions, SignalPlotsSecondsInThreeSignificantDigits) {
    Settings s = DefaultSettings();
    const auto shown = [&](float seconds) {
        s.positionplot = seconds;
        return kpd::PreparePlotOptions(DisplayMode::SignalPlots, s, PlotScaling{}, 1000).displayText;
    };
    EXPECT_EQ(shown(8.0f), "8");
    EXPECT_EQ(shown(12.5f), "12.5");
    EXPECT_EQ(shown(1.25f), "1.25");
    EXPECT_EQ(shown(1.0f), "1");
    EXPECT_EQ(shown(65.0f), "65");
    EXPECT_EQ(shown(12.3456f), "12.3");
    EXPECT_EQ(shown(0.1f), "0.1");
}

TEST(PlotOptions, SignalPlotsSecondsRange) {
    const PlotOptionsPage p =
        kpd::PreparePlotOptions(DisplayMode::SignalPlots, DefaultSettings(), PlotScaling{}, 1000);
    int count = 0;
    EXPECT_TRUE(Accepts(p, EntryOf(p, "1.0"), &count));
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(Accepts(p, EntryOf(p, "65.0"), &count));
    EXPECT_EQ(count, 65);
    EXPECT_TRUE(Accepts(p, EntryOf(p, "12.5"), &count));
    EXPECT_EQ(count, 12);
    EXPECT_FALSE(Accepts(p, EntryOf(p, "0.9")));
    EXPECT_FALSE(Accepts(p, EntryOf(p, "65.1")));
}

TEST(PlotOptions, SignalPlotsRangeOrderCheckedOnlyWithoutAutoScale) {
    PlotScaling scaling;
    scaling.signalAuto = false;
    const PlotOptionsPage p =
        kpd::PreparePlotOptions(DisplayMode::SignalPlots, DefaultSettings(), scaling, 1000);
    PlotOptionsEntry e = EntryOf(p, "8");
    e.checked = false;
    e.edit1 = "200";
    e.edit2 = "100";
    EXPECT_FALSE(Accepts(p, e));
    e.edit1 = "100";
    EXPECT_TRUE(Accepts(p, e));
    e.edit2 = "1e12";
    EXPECT_FALSE(Accepts(p, e));
    e.checked = true;
    e.edit1 = "200";
    e.edit2 = "100";
    EXPECT_TRUE(Accepts(p, e));
}

TEST(PlotOptions, SignalPlotsApplyFixedRangeAndSeconds) {
    Settings s = DefaultSettings();
    PlotScaling scaling;
    PlotOptionsEntry e;
    e.mode = DisplayMode::SignalPlots;
    e.checked = false;
    e.display = "12.5";
    e.edit1 = "-500";
    e.edit2 = "2500";
    kpd::ApplyPlotOptions(e, 12, s, scaling);
    EXPECT_FALSE(scaling.signalAuto);
    EXPECT_EQ(scaling.signalFixed, (PlotRange{-500, 2500}));
    EXPECT_FLOAT_EQ(s.positionplot, 12.5f);
    EXPECT_EQ(s.lissplot, 150);
    EXPECT_EQ(s.signalplot, 500);
    EXPECT_TRUE(scaling.strengthAuto);

    e.checked = true;
    e.display = "30";
    e.edit1 = "1";
    e.edit2 = "2";
    kpd::ApplyPlotOptions(e, 30, s, scaling);
    EXPECT_TRUE(scaling.signalAuto);
    EXPECT_EQ(scaling.signalFixed, (PlotRange{-500, 2500}));
    EXPECT_FLOAT_EQ(s.positionplot, 30.0f);
}

// ---- Texts that are not numbers, and the locale ----

TEST(PlotOptions, TextsThatAreNotNumbersAreRejected) {
    const PlotOptionsPage p =
        kpd::PreparePlotOptions(DisplayMode::EncoderSignal, DefaultSettings(), PlotScaling{}, 1400);
    for (const char *text : {"", "abc", "12abc", "1,5", "nan", "inf", "-inf", "0x20", "1 2"})
        EXPECT_FALSE(Accepts(p, EntryOf(p, text))) << '"' << text << '"';
    int count = 0;
    EXPECT_TRUE(Accepts(p, EntryOf(p, " 150 "), &count));
    EXPECT_EQ(count, 150);
    EXPECT_TRUE(Accepts(p, EntryOf(p, "1.5e2"), &count));
    EXPECT_EQ(count, 150);
}

TEST(PlotOptions, NumbersUseThePointWhateverTheLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale installed";
    Settings s = DefaultSettings();
    s.positionplot = 12.5f;
    s.minimumcircle = 0.3f;
    const PlotOptionsPage p3 = kpd::PreparePlotOptions(DisplayMode::SignalPlots, s, PlotScaling{}, 1400);
    const PlotOptionsPage p1 = kpd::PreparePlotOptions(DisplayMode::EncoderSignal, s, PlotScaling{}, 1400);
    int count = 0;
    const bool accepted = kpd::ValidatePlotOptions(p3, EntryOf(p3, "12.5"), count);
    const bool commaAccepted = kpd::ValidatePlotOptions(p3, EntryOf(p3, "12,5"), count);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(p3.displayText, "12.5");
    EXPECT_EQ(p1.edit1Text, "0.300");
    EXPECT_EQ(p1.label1Text, "Min Indicator (0.01 to Max)");
    EXPECT_TRUE(accepted);
    EXPECT_FALSE(commaAccepted);
}
