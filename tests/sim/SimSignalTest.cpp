// The encoder signal as the signal plot sees it: the stream of YAdc, XAdc, YAdcAdj, XAdcAdj read as 12-bit
// samples of 2.5 V / 2048, against the plot's default indicator circles (0.187 V and 0.575 V).
#include "SimFixture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kVoltsPerStep = 2.5 / 2048.0;
constexpr double kMinimumCircle = 0.187;
constexpr double kMaximumCircle = 0.575;
constexpr double kPi = 3.14159265358979323846;

// A 12-bit two's-complement sample in the low 12 bits of a record word, in volts.
double volts(int16_t w) {
    const int n = ((static_cast<uint16_t>(w) & 0x0FFF) ^ 0x0800) - 0x0800;
    return n * kVoltsPerStep;
}

// What one turn of the signal draws.
struct Figure {
    double adjRadiusMin = 1e9, adjRadiusMax = 0, adjRadiusMean = 0;
    double adjCentreX = 0, adjCentreY = 0; // middle of the extent of the adjusted pair
    double rawCentreX = 0, rawCentreY = 0; // middle of the extent of the raw pair
    double rawCentreDistance() const { return std::hypot(rawCentreX, rawCentreY); }
    bool complete = false;    // every direction of the adjusted pair was seen
    bool wordsInRange = true; // every word was a 12-bit sample
};

} // namespace

class SimSignalTest : public SimFixture {
protected:
    kpdsim::SimOptions options() override {
        kpdsim::SimOptions o = SimFixture::options();
        o.speed = 80000; // one sine period in about 50 ms
        return o;
    }

    // Streams the four signal registers at the given alignment until the adjusted pair has turned a full
    // circle, and measures the two figures.
    Figure trace(double alignment) {
        sim->setAlignment(alignment);
        Figure f;
        ClearRxBuffer(kPort);
        if (DoSynchronize(kPort) != 1) return f;
        const uint8_t regs[] = {0x34, 0x32, 0x38, 0x36}; // YAdc, XAdc, YAdcAdj, XAdcAdj
        if (BeginAsyncVK240(kPort, 4, regs) != 0) return f;
        constexpr int kSectors = 36;
        std::array<bool, kSectors> seen{};
        double rawXMin = 1e9, rawXMax = -1e9, rawYMin = 1e9, rawYMax = -1e9;
        double adjXMin = 1e9, adjXMax = -1e9, adjYMin = 1e9, adjYMax = -1e9;
        double radiusSum = 0;
        int n = 0;
        for (; n < 200000 && !f.complete; ++n) {
            int16_t w[4] = {};
            if (ReadAsyncVK240(kPort, 4, w) != 0) break;
            for (const int16_t v : w)
                if (static_cast<uint16_t>(v) >= 4096) f.wordsInRange = false;
            const double y = volts(w[0]), x = volts(w[1]), yAdj = volts(w[2]), xAdj = volts(w[3]);
            rawXMin = std::min(rawXMin, x), rawXMax = std::max(rawXMax, x);
            rawYMin = std::min(rawYMin, y), rawYMax = std::max(rawYMax, y);
            adjXMin = std::min(adjXMin, xAdj), adjXMax = std::max(adjXMax, xAdj);
            adjYMin = std::min(adjYMin, yAdj), adjYMax = std::max(adjYMax, yAdj);
            const double r = std::hypot(xAdj, yAdj);
            f.adjRadiusMin = std::min(f.adjRadiusMin, r);
            f.adjRadiusMax = std::max(f.adjRadiusMax, r);
            radiusSum += r;
            const double a = std::atan2(yAdj, xAdj) + kPi; // 0..2 pi
            seen[std::min(kSectors - 1, static_cast<int>(a / (2 * kPi) * kSectors))] = true;
            f.complete = std::all_of(seen.begin(), seen.end(), [](bool s) { return s; });
        }
        EndAsync(kPort, 4);
        sleepMs(20);
        ClearRxBuffer(kPort);
        if (n > 0) f.adjRadiusMean = radiusSum / n;
        f.rawCentreX = (rawXMin + rawXMax) / 2, f.rawCentreY = (rawYMin + rawYMax) / 2;
        f.adjCentreX = (adjXMin + adjXMax) / 2, f.adjCentreY = (adjYMin + adjYMax) / 2;
        return f;
    }
};

TEST_F(SimSignalTest, AlignedHeadDrawsACircleBetweenTheIndicatorCircles) {
    const Figure f = trace(1.0);
    ASSERT_TRUE(f.complete);
    EXPECT_TRUE(f.wordsInRange);
    EXPECT_GT(f.adjRadiusMin, kMinimumCircle);
    EXPECT_LT(f.adjRadiusMax, kMaximumCircle);
    EXPECT_NEAR(f.adjRadiusMean, 0.40, 0.01);
    EXPECT_LT(f.adjRadiusMax - f.adjRadiusMin, 0.005); // a circle, not an ellipse
    EXPECT_NEAR(f.adjCentreX, 0.0, 0.005);
    EXPECT_NEAR(f.adjCentreY, 0.0, 0.005);
}

TEST_F(SimSignalTest, PoorerAlignmentDrawsASmallerCircle) {
    double previous = 1e9;
    for (const double q : {1.0, 0.9, 0.8, 0.6}) {
        const Figure f = trace(q);
        ASSERT_TRUE(f.complete) << q;
        EXPECT_TRUE(f.wordsInRange) << q;
        EXPECT_LT(f.adjRadiusMean, previous) << q;
        previous = f.adjRadiusMean;
    }
    EXPECT_LT(previous, kMinimumCircle); // alignment 0.6 is red: inside the inner circle
}

TEST_F(SimSignalTest, CircleLiesBetweenTheIndicatorCirclesExactlyWhenTheMagnitudeIsGreen) {
    for (const double q : {0.6, 0.8, 1.0, 1.1, 1.3}) {
        const Figure f = trace(q);
        ASSERT_TRUE(f.complete) << q;
        const int m = sim->magnitude();
        const bool green = m >= 70 && m <= 215;
        const bool between = f.adjRadiusMin > kMinimumCircle && f.adjRadiusMax < kMaximumCircle;
        EXPECT_EQ(between, green) << q << " magnitude " << m << " radius " << f.adjRadiusMean;
        EXPECT_NEAR(f.adjRadiusMean, m * 2.19 * kVoltsPerStep, 0.005) << q;
    }
}

TEST_F(SimSignalTest, RawPairMovesOffCentreAsTheAlignmentFalls) {
    const Figure aligned = trace(1.0);
    const Figure fair = trace(0.8);
    const Figure poor = trace(0.6);
    ASSERT_TRUE(aligned.complete && fair.complete && poor.complete);
    // Aligned: only the raw channel offsets (about 0.06 V) remain.
    EXPECT_LT(aligned.rawCentreDistance(), 0.08);
    EXPECT_GT(fair.rawCentreDistance(), aligned.rawCentreDistance() + 0.05);
    EXPECT_GT(poor.rawCentreDistance(), fair.rawCentreDistance() + 0.05);
    // The adjusted pair stays centred.
    for (const Figure *f : {&aligned, &fair, &poor}) {
        EXPECT_NEAR(f->adjCentreX, 0.0, 0.005);
        EXPECT_NEAR(f->adjCentreY, 0.0, 0.005);
        EXPECT_TRUE(f->wordsInRange);
    }
}
