// The ellipse fit against synthetic encoder signals with known offsets, amplitude ratio and phase error
// (with noise and 12-bit rounding), and the inputs that give no fit.
#include "workers/LissajousFit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct Signal {
    std::vector<int> x, y;
};

// X = cx + A cos t, Y = cy + r A sin(t + p) over `turns` turns, with Gaussian noise, rounded to ADC steps.
Signal Ellipse(double cxPct, double cyPct, double ratio, double phaseDeg, double amplitude, double noise,
               int n, double turns = 7.3) {
    std::mt19937 random(12345);
    std::normal_distribution<double> jitter(0.0, noise > 0 ? noise : 1.0);
    Signal s;
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * kPi * turns * i / n;
        const double nx = noise > 0 ? jitter(random) : 0.0, ny = noise > 0 ? jitter(random) : 0.0;
        s.x.push_back(int(std::lround(cxPct * 20.48 + amplitude * std::cos(t) + nx)));
        s.y.push_back(
            int(std::lround(cyPct * 20.48 + ratio * amplitude * std::sin(t + phaseDeg * kPi / 180) + ny)));
    }
    return s;
}

// The ellipse's mean radius (volts) and ripple (percent) sampled from its parametric form.
std::pair<double, double> RadiusAndRipple(double ratio, double phaseDeg, double amplitude) {
    double sum = 0, lo = 1e9, hi = 0;
    const int k = 100000;
    for (int i = 0; i < k; ++i) {
        const double t = 2.0 * kPi * i / k;
        const double r =
            std::hypot(amplitude * std::cos(t), ratio * amplitude * std::sin(t + phaseDeg * kPi / 180));
        sum += r, lo = std::min(lo, r), hi = std::max(hi, r);
    }
    const double mean = sum / k;
    return {mean * 2.5 / 2048, (hi - lo) / mean * 100};
}

struct Case {
    double cx, cy, ratio, phase, amplitude, noise;
    int n;
};

TEST(LissajousFit, RecoversOffsetsRatioAndPhaseOfSyntheticEllipses) {
    const Case cases[] = {
        {0, 0, 1.0, 0, 400, 0, 500},        // round and centred
        {2, -1.5, 1.05, 3, 400, 2, 500},    // the tolerances' edges, noisy
        {-10, 5, 0.8, -20, 300, 1.5, 1000}, // strongly distorted
        {0.5, 0.5, 1.2, 45, 800, 3, 2000},  // large phase error
        {30, -30, 0.95, 10, 600, 0, 500},   // far off centre
        {0, 1, 1.02, -5, 100, 1, 500},      // small figure
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << " " << c.cy << " " << c.ratio << " " << c.phase);
        const Signal s = Ellipse(c.cx, c.cy, c.ratio, c.phase, c.amplitude, c.noise, c.n);
        const kpd::LissajousFit f = kpd::FitLissajous(s.x, s.y);
        ASSERT_TRUE(f.ok) << f.reason;
        EXPECT_EQ(f.records, c.n);
        EXPECT_NEAR(f.offsetXPct, c.cx, 0.1);
        EXPECT_NEAR(f.offsetYPct, c.cy, 0.1);
        EXPECT_NEAR(f.amplitudeRatio, c.ratio, 0.01);
        EXPECT_NEAR(f.phaseErrorDeg, c.phase, 0.5);
        const auto [radius, ripple] = RadiusAndRipple(c.ratio, c.phase, c.amplitude);
        EXPECT_NEAR(f.radiusV, radius, radius * 0.01);
        EXPECT_NEAR(f.ripplePct, ripple, 1.0);
    }
}

TEST(LissajousFit, DegenerateRecordsGiveNoFitWithTheReason) {
    const Signal circle = Ellipse(0, 0, 1, 0, 400, 0, 500);
    Signal point, blur, slope, flat, arc, hyperbola;
    std::mt19937 random(7);
    for (int i = 0; i < 500; ++i) {
        point.x.push_back(100), point.y.push_back(-50);
        blur.x.push_back(100 + int(random() % 3) - 1), blur.y.push_back(-50 + int(random() % 3) - 1);
        slope.x.push_back(i - 250), slope.y.push_back(2 * (i - 250) + 5);
        flat.x.push_back(i * 3 - 700), flat.y.push_back(7);
        const double t = kPi / 2 * i / 500;
        arc.x.push_back(int(std::lround(600 * std::cos(t)))),
            arc.y.push_back(int(std::lround(600 * std::sin(t))));
        const double u = 2.0 * i / 500 - 1.0;
        hyperbola.x.push_back(int(std::lround((i % 2 ? 300 : -300) * std::cosh(u))));
        hyperbola.y.push_back(int(std::lround(300 * std::sinh(u))));
    }
    const struct {
        const char *name;
        std::vector<int> x, y;
        const char *reason;
    } rows[] = {
        {"nothing", {}, {}, "too few records (0 of at least 50)"},
        {"ten records",
         {circle.x.begin(), circle.x.begin() + 10},
         {circle.y.begin(), circle.y.begin() + 10},
         "too few records (10 of at least 50)"},
        {"one place", point.x, point.y, "all records in one place"},
        {"one place with noise", blur.x, blur.y, "all records in one place"},
        {"sloped line", slope.x, slope.y, "the records lie on a line"},
        {"flat line", flat.x, flat.y, "the records lie on a line"},
        {"quarter turn", arc.x, arc.y, "the records cover less than half a turn"},
        {"hyperbola", hyperbola.x, hyperbola.y, "the records do not lie on an ellipse"},
    };
    for (const auto &row : rows) {
        const kpd::LissajousFit f = kpd::FitLissajous(row.x, row.y);
        EXPECT_FALSE(f.ok) << row.name;
        EXPECT_EQ(f.reason, row.reason) << row.name;
        EXPECT_EQ(f.records, int(row.x.size())) << row.name;
        for (double v :
             {f.offsetXPct, f.offsetYPct, f.amplitudeRatio, f.phaseErrorDeg, f.radiusV, f.ripplePct})
            EXPECT_TRUE(std::isfinite(v)) << row.name;
    }
}

TEST(LissajousFit, RingRecordsEndAtTheNewestAndWrapAcrossTheRingStart) {
    // 600 records of a distorted signal as sample words, the newest at ring index 100 of 1000; the other
    // slots hold a line that would spoil the fit.
    const Signal s = Ellipse(3, -2, 1.1, 8, 500, 1, 600);
    std::vector<uint16_t> x(1000, 0x0100), y(1000, 0x0100);
    for (int k = 0; k < 600; ++k) {
        const auto i = std::size_t((100 - 599 + k + 1000) % 1000);
        x[i] = uint16_t(s.x[std::size_t(k)] & 0x0FFF);
        y[i] = uint16_t(s.y[std::size_t(k)] & 0x0FFF);
    }
    const kpd::LissajousFit f = kpd::FitLissajousRing(x, y, 100, 600);
    ASSERT_TRUE(f.ok) << f.reason;
    EXPECT_EQ(f.records, 600);
    EXPECT_NEAR(f.offsetXPct, 3, 0.1);
    EXPECT_NEAR(f.offsetYPct, -2, 0.1);
    EXPECT_NEAR(f.amplitudeRatio, 1.1, 0.01);
    EXPECT_NEAR(f.phaseErrorDeg, 8, 0.5);
    EXPECT_EQ(kpd::AdcSteps(0x07FF), 2047);
    EXPECT_EQ(kpd::AdcSteps(0x0800), -2048);
    EXPECT_EQ(kpd::AdcSteps(0xFFFF), -1);
}

} // namespace
