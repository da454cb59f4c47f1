// ComputePositionScale: resolution multiplier and display decimals from the unit settings.
#include "data/Settings.h"

#include <gtest/gtest.h>

namespace {

Settings lengthUnits(int unittype, float pitch, int generation) {
    Settings s;
    s.SetDefaults();
    s.encodertype = 0;
    s.unittype = unittype;
    s.gratingPitch = pitch;
    s.generation = generation;
    s.resolutionMultiplier = -1.0f; // visible if left unchanged
    s.interpolationMultiplier = 0.0f;
    s.digits = -1;
    return s;
}

struct ScaleRow {
    int unittype;
    double multiplier; // pitch 20 um, interpolation setting 3 (4 steps)
    int digits;
};

} // namespace

class PositionScaleUnits : public ::testing::TestWithParam<ScaleRow> {};

TEST_P(PositionScaleUnits, PitchTwentyDepthThree) {
    Settings s = lengthUnits(GetParam().unittype, 20.0f, 2);
    s.ComputePositionScale(3);
    EXPECT_FLOAT_EQ(s.resolutionMultiplier, static_cast<float>(GetParam().multiplier));
    EXPECT_EQ(s.digits, GetParam().digits);
    EXPECT_EQ(s.interpolationMultiplier, 1.0f);
}

// 20 um over 4 steps is 5 um per count: 5000 nm, 5 microns, 0.005 mm, 5/0.0254 microinches, 5/25.4 mils,
// 5/25400 inches.
INSTANTIATE_TEST_SUITE_P(Units, PositionScaleUnits,
                         ::testing::Values(ScaleRow{0, 5000.0, 2}, ScaleRow{1, 5.0, 5}, ScaleRow{2, 0.005, 8},
                                           ScaleRow{3, 196.8503937007874, 4},
                                           ScaleRow{4, 0.1968503937007874, 7},
                                           ScaleRow{5, 0.0001968503937007874, 10}));

TEST(PositionScale, LaterGenerationsIgnoreTheInterpolationSetting) {
    Settings s = lengthUnits(1, 20.0f, 3);
    s.ComputePositionScale(3);
    EXPECT_FLOAT_EQ(s.resolutionMultiplier, 20.0f);
    Settings t = lengthUnits(1, 20.0f, 2);
    t.ComputePositionScale(0);
    EXPECT_FLOAT_EQ(t.resolutionMultiplier, 20.0f);
}

TEST(PositionScale, CountsGiveOneAndNoDecimals) {
    Settings s = lengthUnits(1, 20.0f, 0);
    s.encodertype = 1;
    s.unittype = 42; // unit type does not matter for counts
    s.ComputePositionScale(3);
    EXPECT_EQ(s.resolutionMultiplier, 1.0f);
    EXPECT_EQ(s.digits, 0);
    EXPECT_EQ(s.interpolationMultiplier, 1.0f);
}

TEST(PositionScale, UnknownTypesLeaveScaleUnchanged) {
    Settings a = lengthUnits(6, 20.0f, 0);
    a.ComputePositionScale(3);
    EXPECT_EQ(a.resolutionMultiplier, -1.0f);
    EXPECT_EQ(a.digits, -1);
    EXPECT_EQ(a.interpolationMultiplier, 1.0f);

    Settings b = lengthUnits(1, 20.0f, 0);
    b.encodertype = 2;
    b.ComputePositionScale(3);
    EXPECT_EQ(b.resolutionMultiplier, -1.0f);
    EXPECT_EQ(b.digits, -1);
    EXPECT_EQ(b.interpolationMultiplier, 1.0f);
}

TEST(PositionScale, LargestDepthDoesNotOverflow) {
    // 65536 steps: (k + 1) x 1000 exceeds 16 bits but must not wrap.
    Settings s = lengthUnits(5, 20.0f, 0);
    s.ComputePositionScale(65535);
    EXPECT_FLOAT_EQ(s.resolutionMultiplier, static_cast<float>(20.0 / (65536.0 * 1000.0 * 25.4)));
    Settings t = lengthUnits(2, 1.0f, 0);
    t.ComputePositionScale(2147483647); // no electronics report this, but it must not be undefined
    EXPECT_GT(t.resolutionMultiplier, 0.0f);
    EXPECT_LT(t.resolutionMultiplier, 1e-9f);
}

TEST(PositionScale, NonPositiveStepCountLeavesScaleUnchanged) {
    // An interpolation setting of -1 would divide by zero; the scale is left as it was.
    Settings s = lengthUnits(1, 20.0f, 0);
    s.ComputePositionScale(-1);
    EXPECT_EQ(s.resolutionMultiplier, -1.0f);
    EXPECT_EQ(s.digits, -1);
    EXPECT_EQ(s.interpolationMultiplier, 1.0f);
}
