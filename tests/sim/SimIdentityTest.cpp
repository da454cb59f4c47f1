// Identification as the search and the information command see it.
#include "SimFixture.h"

using SimIdentityTest = SimFixture;

TEST_F(SimIdentityTest, DefaultsIdentifyAKpdDigitalSensor) {
    const int msp = ReadMSPVersion(kPort);
    ASSERT_GE(msp, 0);
    EXPECT_EQ((msp >> 8) & 15, 1); // accepted processor
    const int id = readReg(0x20);
    ASSERT_GE(id, 0);
    EXPECT_EQ((id >> 5) & 15, 6);
    const int type = readReg(0x91);
    ASSERT_GE(type, 0);
    EXPECT_EQ(type >> 8, 0x17);
    EXPECT_EQ(readReg(0x1E), 4096);
    const int cfg = readReg(0x82);
    ASSERT_GE(cfg, 0);
    EXPECT_EQ(cfg & 1, 0);
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 2), msp);
}

TEST_F(SimIdentityTest, SettersChangeWhatTheLinkReports) {
    sim->setModelCode(7);
    sim->setMspVersion(0x0505);
    sim->setSensorType(0x1623);
    sim->setInterpDepth(1024);
    sim->setFirmwareVersion(0x0040);
    sim->setPowerOnHours(4321);
    sim->setPowerOnCycles(99);
    EXPECT_EQ((readReg(0x20) >> 5) & 15, 7);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(ReadMSPVersion(kPort), 0x0505);
    EXPECT_EQ(readReg(0x91), 0x1623);
    EXPECT_EQ(readReg(0x1E), 1024);
    EXPECT_EQ((readReg(0x30) >> 5) & 7, 2);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(ReadPowerOnTime(kPort), 4321);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(ReadPowerOnCycles(kPort), 99);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(ReadMSPVersion_M(kPort), 0x0505);
}

TEST_F(SimIdentityTest, ConfigBitWrittenByTheInformationCommandSticksUntilReset) {
    EXPECT_TRUE(writeReg(0x82, 0x0001));
    EXPECT_EQ(readReg(0x82), 1);
    sim->setConfig(0);
    EXPECT_EQ(readReg(0x82), 0);
}

TEST_F(SimIdentityTest, LegacySelectorReadsAreToldApartFromRegisterReads) {
    // Register 0x02 (bytes 4-5 zero) against legacy selector 0x5000 (InterpDepth) with reply length 2.
    EXPECT_TRUE(writeReg(0x02, 0x0033));
    EXPECT_EQ(readReg(0x02), 0x33);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(ReadInterpDepth(kPort), 4096);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(ReadStatus(kPort), readReg(0x92));
    sim->setPosition(0x1E240 + 1000); // the counter counts from the power-on position 1000
    int32_t pos = 0;
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    ASSERT_EQ(ReadPosition(kPort, &pos), 0);
    EXPECT_EQ(pos, 0x1E240);
}
