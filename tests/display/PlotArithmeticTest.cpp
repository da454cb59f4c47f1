// The numbers behind the plots, worked out by hand from the mappings: a 12-bit sample n gives
// v = n * 2.5 / 2048 volts, scale = (H div 2) * 0.4, pixel = trunc(v * scale +- 0.5) + H div 2.
#include "display/PlotArithmetic.h"

#include <gtest/gtest.h>

namespace {

using namespace kpd::plot;

// ---- Encoder signal ----

TEST(SignalToPixel, CentreAndFullScale) {
    EXPECT_EQ(SignalToPixel(0x000, 320), 160);
    EXPECT_EQ(SignalToPixel(0x000, 400), 200);
    EXPECT_EQ(SignalToPixel(0x000, 500), 250);
    EXPECT_EQ(SignalToPixel(0x000, 640), 320);
    EXPECT_EQ(SignalToPixel(0x000, 401), 200); // odd height: 401 div 2

    // 0x7FF: v = 2047 * 2.5 / 2048 = 2.498779296875.
    //   H = 400: scale 80,  v * 80  = 199.902 + 0.5 -> 200, + 200 = 400 (one past the last row).
    //   H = 320: scale 64,  v * 64  = 159.922 + 0.5 -> 160, + 160 = 320.
    //   H = 500: scale 100, v * 100 = 249.878 + 0.5 -> 250, + 250 = 500.
    //   H = 640: scale 128, v * 128 = 319.844 + 0.5 -> 320, + 320 = 640.
    // 0x800: v = -2.5, v * scale - 0.5 = -(H div 2) - 0.5 -> -(H div 2), so the pixel is 0.
    EXPECT_EQ(SignalToPixel(0x7FF, 400), 400);
    EXPECT_EQ(SignalToPixel(0x7FF, 320), 320);
    EXPECT_EQ(SignalToPixel(0x7FF, 500), 500);
    EXPECT_EQ(SignalToPixel(0x7FF, 640), 640);
    for (int h : {320, 400, 500, 640})
        EXPECT_EQ(SignalToPixel(0x800, h), 0) << h;
}

TEST(SignalToPixel, QuarterScale) {
    // 0x400: n = 1024, v = 1.25: 1.25 * 64 = 80, * 80 = 100, * 100 = 125, * 128 = 160.
    // 0xC00: n = (0xC00 xor 0x800) - 2048 = -1024, v = -1.25.
    EXPECT_EQ(SignalToPixel(0x400, 320), 240);
    EXPECT_EQ(SignalToPixel(0x400, 400), 300);
    EXPECT_EQ(SignalToPixel(0x400, 500), 375);
    EXPECT_EQ(SignalToPixel(0x400, 640), 480);
    EXPECT_EQ(SignalToPixel(0xC00, 320), 80);
    EXPECT_EQ(SignalToPixel(0xC00, 400), 100);
    EXPECT_EQ(SignalToPixel(0xC00, 500), 125);
    EXPECT_EQ(SignalToPixel(0xC00, 640), 160);
}

TEST(SignalToPixel, RoundsHalfAwayFromZeroOnBothSides) {
    // H = 400, one step is 80 * 2.5 / 2048 = 0.09765625 pixels.
    EXPECT_EQ(SignalToPixel(0x005, 400), 200); //  0.48828125 + 0.5 = 0.988 -> 0
    EXPECT_EQ(SignalToPixel(0x006, 400), 201); //  0.5859375 + 0.5 = 1.086 -> 1
    EXPECT_EQ(SignalToPixel(0xFFF, 400), 200); // -0.09765625 - 0.5 = -0.598 -> 0
    EXPECT_EQ(SignalToPixel(0xFFA, 400), 199); // -0.5859375 - 0.5 = -1.086 -> -1
    // Only the low 12 bits carry the sample.
    EXPECT_EQ(SignalToPixel(0xF7FF, 400), 400);
    EXPECT_EQ(SignalToPixel(0xF006, 400), 201);
}

// ---- Grid ----

TEST(GridLine, PositionsPerPlotSize) {
    const std::array<int, 7> at320{40, 80, 120, 160, 200, 240, 280};
    const std::array<int, 7> at400{50, 100, 150, 200, 250, 300, 350};
    // (i * 5000 + 5) div 80: 62.56, 125.06, 187.56, 250.06, 312.56, 375.06, 437.56.
    const std::array<int, 7> at500{62, 125, 187, 250, 312, 375, 437};
    const std::array<int, 7> at640{80, 160, 240, 320, 400, 480, 560};
    for (int i = 1; i <= 7; ++i) {
        const auto k = std::size_t(i - 1);
        EXPECT_EQ(GridLine(i, 320), at320[k]) << i;
        EXPECT_EQ(GridLine(i, 400), at400[k]) << i;
        EXPECT_EQ(GridLine(i, 500), at500[k]) << i;
        EXPECT_EQ(GridLine(i, 640), at640[k]) << i;
    }
}

// ---- Indicator circles ----

TEST(IndicatorCircles, LaterGenerationUsesTheCircleVolts) {
    // H = 400 (scale 80): 0.187 V -> 14.96 -> 15: 185..215; 0.575 V -> 46.0 -> 46: 154..246.
    const auto c = IndicatorCircles(400, 3, 0, 0.187f, 0.575f);
    EXPECT_EQ(c[0], (Ellipse{185, 185, 215, 215}));
    EXPECT_EQ(c[1], (Ellipse{154, 154, 246, 246}));
    // H = 320 (scale 64): 0.187 * 64 = 11.968 -> 12: 148..172; 0.575 * 64 = 36.8 -> 37: 123..197.
    const auto small = IndicatorCircles(320, 7, 1000, 0.187f, 0.575f);
    EXPECT_EQ(small[0], (Ellipse{148, 148, 172, 172}));
    EXPECT_EQ(small[1], (Ellipse{123, 123, 197, 197}));
}

TEST(IndicatorCircles, EarlierGenerationByFirmwareVersion) {
    // Version 1333 or below: fixed circles. H = 400: a = trunc(142.4) = 142, b = trunc(12.4) = 12.
    const auto fixed = IndicatorCircles(400, 2, 1333, 0.187f, 0.575f);
    EXPECT_EQ(fixed[0], (Ellipse{142, 142, 258, 258}));
    EXPECT_EQ(fixed[1], (Ellipse{12, 12, 388, 388}));
    // H = 320: a = trunc(113.92) = 113, b = trunc(9.92) = 9.
    const auto fixedSmall = IndicatorCircles(320, 0, 0, 0.187f, 0.575f);
    EXPECT_EQ(fixedSmall[0], (Ellipse{113, 113, 207, 207}));
    EXPECT_EQ(fixedSmall[1], (Ellipse{9, 9, 311, 311}));
    // Version 1334: radii * 2.5. 0.4675 V * 80 = 37.4 -> 37; 1.4375 V * 80 = 115 (115.5 -> 115).
    const auto scaled = IndicatorCircles(400, 2, 1334, 0.187f, 0.575f);
    EXPECT_EQ(scaled[0], (Ellipse{163, 163, 237, 237}));
    EXPECT_EQ(scaled[1], (Ellipse{85, 85, 315, 315}));
}

// ---- Signal strength against position ----

TEST(StrengthHeight, FullScaleAndClamp) {
    // percent = s * 0.13858093: 722 -> 100.055, clamped to 100; 721 -> 99.917.
    EXPECT_FLOAT_EQ(StrengthPercent(722), 100.0f);
    EXPECT_FLOAT_EQ(StrengthPercent(100000), 100.0f);
    EXPECT_NEAR(StrengthPercent(721), 99.9168f, 1e-3f);
    EXPECT_EQ(StrengthHeight(722, 400), 400); // top edge
    EXPECT_EQ(StrengthHeight(5000, 320), 320);
    EXPECT_EQ(StrengthHeight(721, 400), 399); // 0.01 * 400 * 99.917 = 399.67
    // 360 -> 49.889 %: 0.01 * 400 * 49.889 = 199.56 -> 199; 0.01 * 320 * 49.889 = 159.65 -> 159.
    EXPECT_EQ(StrengthHeight(360, 400), 199);
    EXPECT_EQ(StrengthHeight(360, 320), 159);
    EXPECT_EQ(StrengthHeight(0, 400), 0);
}

TEST(StrengthX, MapsThePositionRangeOntoTheWidth) {
    EXPECT_EQ(StrengthX(1000, 950, 1050, 500), 250); // 50 / 100 * 500
    EXPECT_EQ(StrengthX(975, 950, 1050, 500), 125);
    EXPECT_EQ(StrengthX(1050, 950, 1050, 500), 500);
    EXPECT_EQ(StrengthX(949, 950, 1050, 500), -5);
    EXPECT_EQ(StrengthX(-1, 0, 300, 500), -1); // -1.67 truncates toward zero
    EXPECT_EQ(StrengthX(150, 0, 300, 500), 250);

    // The redraw's scale is a float:
    // k = 500 / 300 as a float = 1.66666663; 150 * k = 249.999994 -> 249 (StrengthX gives 250);
    // 300 * k = 499.99999 -> 499.
    EXPECT_EQ(StrengthRedrawX(150, 0, 300, 500), 249);
    EXPECT_EQ(StrengthRedrawX(300, 0, 300, 500), 499);
    // k = 5 exactly.
    EXPECT_EQ(StrengthRedrawX(1000, 950, 1050, 500), 250);
    EXPECT_EQ(StrengthRedrawX(951, 950, 1050, 500), 5);
}

TEST(SignalStrengthMarkHeight, FullScale215InsideThePlot) {
    EXPECT_EQ(SignalStrengthMarkHeight(215, 400), 400);
    EXPECT_EQ(SignalStrengthMarkHeight(107, 400), 199); // 42800 div 215 = 199
    EXPECT_EQ(SignalStrengthMarkHeight(1000, 400), 400);
    EXPECT_EQ(SignalStrengthMarkHeight(-5, 400), 0);
    EXPECT_EQ(SignalStrengthMarkHeight(2000000000, 320), 320);
}

// ---- Ranges ----

TEST(PositionRange, StartsAroundTheFirstPosition) {
    EXPECT_EQ(StartPositionRange(0), (IntRange{-1, 1}));
    EXPECT_EQ(StartPositionRange(1000), (IntRange{950, 1050}));
    EXPECT_EQ(StartPositionRange(10), (IntRange{9, 10}));          // 9.5 -> 9, 10.5 -> 10
    EXPECT_EQ(StartPositionRange(-1000), (IntRange{-1050, -950})); // toward zero
    EXPECT_EQ(StartPositionRange(-10), (IntRange{-10, -9}));       // -10.5 -> -10, -9.5 -> -9
    EXPECT_EQ(StartPositionRange(1), (IntRange{0, 1}));
}

TEST(PositionRange, GrowsFivePercentPastTheValue) {
    IntRange r = StartPositionRange(0);
    EXPECT_TRUE(GrowPositionRange(r, 100));
    EXPECT_EQ(r, (IntRange{-1, 105}));
    EXPECT_TRUE(GrowPositionRange(r, -100));
    EXPECT_EQ(r, (IntRange{-105, 105}));
    EXPECT_FALSE(GrowPositionRange(r, 0));

    IntRange c = StartPositionRange(1000);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(GrowPositionRange(c, 1000));
    EXPECT_FALSE(GrowPositionRange(c, 1050)); // on the edge
    EXPECT_TRUE(GrowPositionRange(c, 1100));
    EXPECT_EQ(c, (IntRange{950, 1155}));
    EXPECT_TRUE(GrowPositionRange(c, 900)); // p >= 0: 0.95 p
    EXPECT_EQ(c, (IntRange{855, 1155}));

    IntRange n = StartPositionRange(-1000);
    EXPECT_TRUE(GrowPositionRange(n, -900)); // above, p <= 0: 0.95 p
    EXPECT_EQ(n, (IntRange{-1050, -855}));
    EXPECT_TRUE(GrowPositionRange(n, -1100)); // below, p < 0: 1.05 p
    EXPECT_EQ(n, (IntRange{-1155, -855}));
}

TEST(TraceRange, StartsAtLeastFourCountsWide) {
    EXPECT_EQ(StartTraceRange(int32_t(0)), (IntRange{-1, 3}));
    EXPECT_EQ(StartTraceRange(int32_t(1000)), (IntRange{950, 1050}));
    EXPECT_EQ(StartTraceRange(int32_t(10)), (IntRange{9, 13})); // [9, 10] is 1 wide
    EXPECT_EQ(StartTraceRange(int32_t(1)), (IntRange{0, 4}));
    EXPECT_EQ(StartTraceRange(int32_t(-10)), (IntRange{-10, -6}));
    EXPECT_EQ(StartTraceRange(int32_t(-1000)), (IntRange{-1050, -950}));
}

TEST(TraceRange, Grows) {
    IntRange r = StartTraceRange(int32_t(0));
    EXPECT_TRUE(GrowTraceRange(r, 10)); // 10.5 -> 10
    EXPECT_EQ(r, (IntRange{-1, 10}));
    EXPECT_TRUE(GrowTraceRange(r, -20)); // -21
    EXPECT_EQ(r, (IntRange{-21, 10}));
    EXPECT_FALSE(GrowTraceRange(r, 5));

    IntRange c = StartTraceRange(int32_t(1000));
    EXPECT_FALSE(GrowTraceRange(c, 1000));
    EXPECT_TRUE(GrowTraceRange(c, 1100));
    EXPECT_TRUE(GrowTraceRange(c, 900));
    EXPECT_EQ(c, (IntRange{855, 1155}));
}

TEST(TraceRange, FloatTrace) {
    const FloatRange up = StartTraceRange(100.0f);
    EXPECT_FLOAT_EQ(up.lo, 95.0f);
    EXPECT_FLOAT_EQ(up.hi, 105.0f);
    const FloatRange down = StartTraceRange(-100.0f);
    EXPECT_FLOAT_EQ(down.lo, -105.0f);
    EXPECT_FLOAT_EQ(down.hi, -95.0f);

    FloatRange r = up;
    EXPECT_FALSE(GrowTraceRange(r, 100.0f));
    EXPECT_TRUE(GrowTraceRange(r, 200.0f));
    EXPECT_FLOAT_EQ(r.hi, 210.0f);
    EXPECT_TRUE(GrowTraceRange(r, -50.0f));
    EXPECT_FLOAT_EQ(r.lo, -52.5f);
    EXPECT_FLOAT_EQ(r.hi, 210.0f);
}

TEST(WidenEmpty, OnlyAnEmptyRange) {
    EXPECT_EQ(WidenEmpty(IntRange{5, 5}), (IntRange{5, 6}));
    EXPECT_EQ(WidenEmpty(IntRange{5, 9}), (IntRange{5, 9}));
    const FloatRange f = WidenEmpty(FloatRange{2.0f, 2.0f});
    EXPECT_FLOAT_EQ(f.lo, 2.0f);
    EXPECT_FLOAT_EQ(f.hi, 2.1f);
    EXPECT_EQ(WidenEmpty(FloatRange{1.0f, 3.0f}), (FloatRange{1.0f, 3.0f}));
}

// ---- Signal plots against time ----

TEST(SignalPlotMapping, TimeAndValue) {
    // W = 500, span 8 s: 62.5 pixels per second.
    EXPECT_EQ(TimeToX(0.0f, 0.0f, 8.0f, 500), 0);
    EXPECT_EQ(TimeToX(1.0f, 0.0f, 8.0f, 500), 62);
    EXPECT_EQ(TimeToX(4.0f, 0.0f, 8.0f, 500), 250);
    EXPECT_EQ(TimeToX(9.0f, 8.0f, 8.0f, 500), 62);
    EXPECT_EQ(TimeToX(-1.0f, 0.0f, 8.0f, 500), -63); // floor first

    // H = 400 on [950, 1050]: 4 pixels per count, lo at the bottom edge.
    EXPECT_EQ(TraceToY(int32_t(950), IntRange{950, 1050}, 400), 400);
    EXPECT_EQ(TraceToY(int32_t(1050), IntRange{950, 1050}, 400), 0);
    EXPECT_EQ(TraceToY(int32_t(1000), IntRange{950, 1050}, 400), 200);
    EXPECT_EQ(TraceToY(int32_t(960), IntRange{950, 1050}, 400), 360);
    // Empty range [5, 5] -> [5, 6].
    EXPECT_EQ(TraceToY(int32_t(5), IntRange{5, 5}, 400), 400);
    EXPECT_EQ(TraceToY(int32_t(6), IntRange{5, 5}, 400), 0);
    // Float: [0, 2], 200 pixels per unit.
    EXPECT_EQ(TraceToY(0.5f, FloatRange{0.0f, 2.0f}, 400), 300);
    EXPECT_EQ(TraceToY(1.0f, FloatRange{1.0f, 1.0f}, 400), 400);
}

// ---- Tick labels and texts ----

TEST(TickTexts, PositionLabelsGeneralFormat) {
    using Texts = std::array<std::string, 5>;
    // floor(950.7) = 950, floor(1050.2) = 1050.
    EXPECT_EQ(PositionTickTexts(950.7f, 1050.2f), (Texts{"950", "975", "1000", "1025", "1050"}));
    EXPECT_EQ(PositionTickTexts(0.0f, 1.0f), (Texts{"0", "0.25", "0.5", "0.75", "1"}));
    EXPECT_EQ(PositionTickTexts(-1.0f, 1.0f), (Texts{"-1", "-0.5", "0", "0.5", "1"}));
    EXPECT_EQ(PositionTickTexts(-0.5f, 2.9f), (Texts{"-1", "-0.25", "0.5", "1.25", "2"}));
    EXPECT_EQ(PositionTickTexts(1234567.0f, 1234571.0f),
              (Texts{"1234567", "1234568", "1234569", "1234570", "1234571"}));
    EXPECT_EQ(PositionTickTexts(12345.0f, 12345.0f), (Texts{"12345", "12345", "12345", "12345", "12345"}));
}

TEST(TickTexts, FixedNoDecimals) {
    using Texts = std::array<std::string, 5>;
    EXPECT_EQ(TimeTickTexts(0.0f, 8.0f), (Texts{"0", "2", "4", "6", "8"}));
    EXPECT_EQ(TimeTickTexts(8.0f, 16.0f), (Texts{"8", "10", "12", "14", "16"}));
    EXPECT_EQ(RangeTickTexts(950, 1050), (Texts{"950", "975", "1000", "1025", "1050"}));
    EXPECT_EQ(RangeTickTexts(-3, 5), (Texts{"-3", "-1", "1", "3", "5"}));
    // 94.6, 97.3, 100, 102.7, 105.4 rounded.
    const auto v = TickValues(94.6, 105.4);
    EXPECT_EQ(v[0], 94.6);
    EXPECT_DOUBLE_EQ(v[1], 97.3);
    EXPECT_DOUBLE_EQ(v[2], 100.0);
    EXPECT_DOUBLE_EQ(v[3], 102.7);
    EXPECT_EQ(v[4], 105.4);
    EXPECT_EQ(RangeTickTexts(94.6, 105.4), (Texts{"95", "97", "100", "103", "105"}));
}

TEST(TickTexts, ElapsedOneDecimal) {
    EXPECT_EQ(ElapsedText(0.0f), "0.0");
    EXPECT_EQ(ElapsedText(12.34f), "12.3");
    EXPECT_EQ(ElapsedText(7.26f), "7.3");
    EXPECT_EQ(ElapsedText(125.0f), "125.0");
}

} // namespace
