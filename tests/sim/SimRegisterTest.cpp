// Register round trips, access modifiers, the command register and the physical model.
#include "SimFixture.h"

#include <algorithm>
#include <climits>
#include <cmath>

using SimRegisterTest = SimFixture;

TEST_F(SimRegisterTest, PlainRegistersRoundTripOnBothFamilies) {
    EXPECT_TRUE(writeReg(0x0C, 0xBEEF));
    EXPECT_EQ(readReg(0x0C), 0xBEEF);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    ASSERT_EQ(WriteRegisterNXRA(kPort, 0x0E1234), 0);
    uint16_t v = 0;
    ASSERT_EQ(DoSynchronize(kPort), 1);
    ASSERT_EQ(ReadRegisterNXRA(kPort, 0x0E0000, &v), 0);
    EXPECT_EQ(v, 0x1234);
    EXPECT_EQ(sim->reg(0x0E), 0x1234);
}

TEST_F(SimRegisterTest, MeasuredRegistersIgnoreWritesUnlessPinned) {
    const int mag = readReg(0x3E);
    EXPECT_TRUE(writeReg(0x3E, 0x0777));
    EXPECT_EQ(readReg(0x3E), mag);
    sim->setReg(0x3E, 0x0777);
    EXPECT_EQ(readReg(0x3E), 0x0777);
    sim->releaseReg(0x3E);
    EXPECT_EQ(readReg(0x3E), mag);
}

TEST_F(SimRegisterTest, GenReg1KeepsItsLowByteAndCommitsWithModifier0x10) {
    EXPECT_TRUE(writeReg(0x02, 0xFF93));
    EXPECT_EQ(readReg(0x02), 0x93);
    EXPECT_TRUE(writeReg(0x02, 0x0093 & ~0x08, 0x10));
    EXPECT_EQ(readReg(0x02), 0x93);
    EXPECT_TRUE(writeReg(0x02, 0x0001)); // not committed: lost on reset
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    ASSERT_EQ(SoftwareSystemReset(kPort), 0);
    sleepMs(1150);
    EXPECT_EQ(readReg(0x02), 0x93);
}

TEST_F(SimRegisterTest, StatusModifierLatchesTheHighHalfUntilRelease) {
    sim->setPosition(1000 + 65535); // counter 0x0000FFFF
    EXPECT_EQ(readReg(0x85, 2), 0xFFFF);
    sim->setPosition(1000 + 65545);      // counter moves past the half boundary
    EXPECT_EQ(readReg(0x86, 2), 0x0000); // still the latched value
    readReg(0x84);
    EXPECT_EQ(readReg(0x86, 2), 0x0001);
    EXPECT_EQ(readReg(0x85, 2), 65545 - 65536);
    readReg(0x84);
    EXPECT_EQ(readReg(0x69), 65545 - 65536);
    EXPECT_EQ(readReg(0x6A), 1);
    EXPECT_EQ(sim->positionCount(), 65545);
}

TEST_F(SimRegisterTest, ZeroPositionNeedsBothCommandsInOrder) {
    sim->setPosition(6000);
    EXPECT_TRUE(writeReg(0x80, 0x0004)); // alone: ignored
    EXPECT_EQ(sim->positionCount(), 5000);
    EXPECT_TRUE(writeReg(0x80, 0x0002));
    EXPECT_TRUE(writeReg(0x80, 0x0004));
    EXPECT_EQ(sim->positionCount(), 0);
    readReg(0x84);
    EXPECT_EQ(readReg(0x85, 2), 0);
    sim->setPosition(5990);
    readReg(0x84);
    EXPECT_EQ(readReg(0x85, 2), 0xFFF6);
    EXPECT_EQ(readReg(0x86, 2), 0xFFFF);
}

TEST_F(SimRegisterTest, CentreIndexMakesTheEdgesSymmetric) {
    const int pos = readReg(0x48), neg = readReg(0x4A);
    ASSERT_NE(0x80 - pos, neg - 0x80);
    EXPECT_TRUE(writeReg(0x80, 0x0014));
    EXPECT_EQ(0x80 - readReg(0x48), readReg(0x4A) - 0x80);
    EXPECT_EQ(readReg(0x4A) - readReg(0x48), neg - pos);
}

TEST_F(SimRegisterTest, AlignmentAndAgcCommandsSwitchTheOperatingState) {
    EXPECT_EQ(operatingState(), 0);
    EXPECT_TRUE(writeReg(0x80, 0x0043));
    EXPECT_EQ(operatingState(), 1);
    EXPECT_EQ(readReg(0x44), readReg(0x1C)); // drive static without AGC
    EXPECT_TRUE(writeReg(0x80, 0x0044));
    EXPECT_EQ(operatingState(), 0);
    sim->setAlignment(0.8);
    EXPECT_GT(readReg(0x44), readReg(0x1C)); // AGC drives a weak signal harder
    EXPECT_TRUE(writeReg(0x80, 0x0045));
    EXPECT_EQ(readReg(0x44), readReg(0x1C));
    EXPECT_TRUE(writeReg(0x80, 0x0046));
    EXPECT_GT(readReg(0x44), readReg(0x1C));
}

TEST_F(SimRegisterTest, MagnitudeAndSignalClassFollowTheAlignment) {
    struct Case {
        double q;
        int minMag, maxMag, cls;
    };
    // class in Status bits 6,7: 01 green, 11 yellow, 10 red
    for (const Case c :
         {Case{1.0, 70, 215, 1}, Case{0.7, 45, 69, 3}, Case{0.5, 0, 44, 2}, Case{1.5, 431, 2000, 2}}) {
        sim->setAlignment(c.q);
        const int mag = readReg(0x3E);
        EXPECT_GE(mag, c.minMag) << c.q;
        EXPECT_LE(mag, c.maxMag) << c.q;
        EXPECT_EQ((readReg(0x42) >> 6) & 3, c.cls) << c.q;
    }
}

TEST_F(SimRegisterTest, SignalsTraceACircleWhoseRadiusFollowsTheMagnitude) {
    auto s12 = [](int w) { return ((w & 0xFFF) ^ 0x800) - 2048; };
    for (int step = 0; step < 8; ++step) {
        sim->setPosition(1000 + step * 512);
        const int x = s12(readReg(0x36)), y = s12(readReg(0x38));
        const double r = std::sqrt(double(x) * x + double(y) * y);
        EXPECT_NEAR(r, 2.19 * readReg(0x3E), 3.0); // 2.19 ADC steps per magnitude unit
        EXPECT_LT(readReg(0x32), 4096);
    }
}

TEST_F(SimRegisterTest, PolledSampleReadsBothCounterHalvesOfOneInstant) {
    sim->setPosition(1000 + 65535); // counter 0x0000FFFF
    EXPECT_EQ(readReg(0x69), 0xFFFF);
    sim->setPosition(1000 + 70000); // the counter moves past the half boundary between the two reads
    EXPECT_EQ(readReg(0x6A), 0);    // the high half of the sample taken with the low half
    EXPECT_GE(readReg(0x28), 0);    // ends the sample
    EXPECT_EQ(readReg(0x6A), 1);
    const int low = readReg(0x69), high = readReg(0x6A);
    ASSERT_GE(low, 0);
    ASSERT_GE(high, 0);
    EXPECT_EQ(low + 65536 * high, 70000);
    EXPECT_EQ(low + 65536 * high, sim->positionCount());
    EXPECT_GE(readReg(0x28), 0);
}

TEST_F(SimRegisterTest, PolledSampleExtraIsTheSignalStrength) {
    // Full scale 721.6 at the top of the green magnitude band (215), clamped to 721 above it.
    for (const double q : {0.5, 0.8, 1.0, 1.1}) {
        sim->setAlignment(q);
        const int mag = readReg(0x3E);
        ASSERT_LE(mag, 215) << q;
        EXPECT_NEAR(readReg(0x26), mag * 721.6 / 215.0, 2.5) << q; // mag is rounded
    }
    sim->setAlignment(1.0);
    EXPECT_NEAR(readReg(0x26), 503, 1); // magnitude 150
    sim->setAlignment(1.5);             // over-signal
    EXPECT_EQ(readReg(0x26), 721);
    sim->setAlignment(0.0);
    EXPECT_EQ(readReg(0x26), 0);
}

TEST_F(SimRegisterTest, IndexAndLimitBitsFollowTheHead) {
    kpdsim::SimOptions o;
    sim->setPosition(o.indexAt);
    EXPECT_EQ(readReg(0x92) & 0x31, 0x01);
    sim->setPosition(o.indexAt + 1000);
    EXPECT_EQ(readReg(0x92) & 0x31, 0x00);
    sim->setPosition(10);
    EXPECT_EQ(readReg(0x92) & 0x31, 0x10);
    sim->setPosition(o.travel - 10);
    EXPECT_EQ(readReg(0x92) & 0x31, 0x20);
}

TEST_F(SimRegisterTest, HeadMovesBackAndForthWithinTheScale) {
    sim->setSpeed(2e6); // fast: many turns in a short time
    int64_t lo = INT64_MAX, hi = INT64_MIN;
    for (int i = 0; i < 40; ++i) {
        const int64_t p = sim->position();
        lo = std::min(lo, p);
        hi = std::max(hi, p);
        sleepMs(3);
    }
    kpdsim::SimOptions o;
    EXPECT_GE(lo, 0);
    EXPECT_LE(hi, o.travel);
    EXPECT_GT(hi - lo, o.travel / 4);
}
