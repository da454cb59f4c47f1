// A calibration run through the operating states, as the workflow buttons drive it.
#include "SimFixture.h"

class SimCalibrationTest : public SimFixture {
protected:
    void crossIndex() {
        idxSide = -idxSide;
        sim->setPosition(opt.indexAt + idxSide * 500);
    }
    void travel(int64_t counts) {
        const int64_t p = sim->position();
        sim->setPosition(p < opt.travel / 2 ? p + counts : p - counts);
    }
    // Waits (bounded) for the operating state to become s.
    bool waitState(int s) {
        for (int i = 0; i < 100; ++i) {
            if (operatingState() == s) return true;
            sleepMs(10);
        }
        return false;
    }
    kpdsim::SimOptions opt;
    int idxSide = -1;
};

TEST_F(SimCalibrationTest, FullRunStepsThroughLimitsIndexAndGop) {
    sim->setPosition(opt.indexAt - 500);
    ASSERT_TRUE(writeReg(0x80, 0x0040 + (0x1E << 8)));
    EXPECT_EQ(operatingState(), 3);
    ASSERT_TRUE(writeReg(0x80, 0x0042));
    EXPECT_EQ(operatingState(), 4);
    ASSERT_TRUE(writeReg(0x80, 0x0042));
    EXPECT_EQ(operatingState(), 5);
    ASSERT_TRUE(writeReg(0x80, 0x0042));
    EXPECT_EQ(operatingState(), 6);
    ASSERT_TRUE(waitState(7));
    for (int expect : {8, 9, 10}) {
        crossIndex();
        EXPECT_EQ(operatingState(), expect);
    }
    crossIndex();
    EXPECT_EQ(operatingState(), 17);
    for (int expect : {18, 19, 15}) {
        travel(3100);
        EXPECT_EQ(operatingState(), expect);
    }
    EXPECT_EQ(readReg(0x92) & 0x1C0, 0); // no error bits
    ASSERT_TRUE(writeReg(0x80, 0x0041));
    EXPECT_EQ(operatingState(), 0);
}

TEST_F(SimCalibrationTest, SetOutsideTheLimitStatesDoesNothing) {
    ASSERT_TRUE(writeReg(0x80, 0x0042));
    EXPECT_EQ(operatingState(), 0);
    ASSERT_TRUE(writeReg(0x80, 0x0040 + (0x02 << 8))); // index only
    EXPECT_EQ(operatingState(), 7);
    ASSERT_TRUE(writeReg(0x80, 0x0042));
    EXPECT_EQ(operatingState(), 7);
}

TEST_F(SimCalibrationTest, StopReturnsToTheModeCalibrationStartedFrom) {
    ASSERT_TRUE(writeReg(0x80, 0x0043));
    ASSERT_TRUE(writeReg(0x80, 0x0040 + (0x04 << 8)));
    EXPECT_EQ(operatingState(), 3);
    ASSERT_TRUE(writeReg(0x80, 0x0041));
    EXPECT_EQ(operatingState(), 1);
}

TEST_F(SimCalibrationTest, RequestedFaultsEndWithTheirErrorBits) {
    sim->setCalibrationFault(0x100);
    ASSERT_TRUE(writeReg(0x80, 0x0040 + (0x08 << 8)));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(writeReg(0x80, 0x0042));
    ASSERT_TRUE(waitState(15));
    EXPECT_EQ(readReg(0x92) & 0x1C0, 0x100);

    sim->setCalibrationFault(0x80);
    sim->setPosition(opt.indexAt - 500);
    ASSERT_TRUE(writeReg(0x80, 0x0040 + (0x02 << 8)));
    EXPECT_EQ(readReg(0x92) & 0x1C0, 0); // cleared by the new start
    for (int i = 0; i < 4; ++i)
        crossIndex();
    EXPECT_EQ(operatingState(), 15);
    EXPECT_EQ(readReg(0x92) & 0x1C0, 0x80);

    sim->setCalibrationFault(0x40);
    ASSERT_TRUE(writeReg(0x80, 0x0040 + (0x10 << 8)));
    EXPECT_EQ(operatingState(), 17);
    EXPECT_EQ(readReg(0x92) & 0x1C0, 0x40); // shown while calibrating GOP
    ASSERT_TRUE(writeReg(0x80, 0x0041));
    EXPECT_EQ(readReg(0x92) & 0x1C0, 0);
}
