// Register map: address-word packing, command codes and bit fields. (The stream subscriptions are checked
// against the simulated electronics in ComDataOperationsTest.)
#include "access/RegisterMap.h"

#include <gtest/gtest.h>

#include <set>

TEST(RegisterMap, AddressWordPacking) {
    EXPECT_EQ(reg::address(reg::Config, 0x0001), 0x820001u);
    EXPECT_EQ(reg::address(reg::Command, reg::startCalibrationCode(3)), 0x800340u);
    EXPECT_EQ(reg::address(reg::PositionLow, 0, reg::ModPositionRead), 0x2850000u);
    EXPECT_EQ(reg::address(reg::PositionHigh, 0, reg::ModPositionRead), 0x2860000u);
    EXPECT_EQ(reg::address(reg::GenReg1, 0xFFFF, reg::ModSecondWrite), 0x1002FFFFu);
    EXPECT_EQ(reg::address(reg::Status), 0x420000u);
    EXPECT_EQ(reg::address(reg::Command, reg::CmdCenterIndex), 0x800014u);
}

TEST(RegisterMap, AddressWordFieldsRoundTrip) {
    for (uint8_t r : {uint8_t{0x00}, uint8_t{0x1E}, uint8_t{0x94}, uint8_t{0xFF}})
        for (uint16_t data : {uint16_t{0}, uint16_t{0x1234}, uint16_t{0xFFFF}})
            for (uint8_t mod : {reg::ModNone, reg::ModPositionRead, reg::ModSecondWrite, uint8_t{0xFF}}) {
                const uint32_t word = reg::address(r, data, mod);
                EXPECT_EQ(reg::registerOf(word), r);
                EXPECT_EQ(reg::dataOf(word), data);
                EXPECT_EQ(reg::modifierOf(word), mod);
            }
}

TEST(RegisterMap, StartCalibrationStaysInsideTheDataField) {
    EXPECT_EQ(reg::startCalibrationCode(0), reg::CmdStartCalibration);
    EXPECT_EQ(reg::startCalibrationCode(255), 0xFF40);
    EXPECT_EQ(reg::registerOf(reg::address(reg::Command, reg::startCalibrationCode(255))), reg::Command);
}

TEST(RegisterMap, CommandCodesAreDistinct) {
    const std::set<uint16_t> codes{
        reg::CmdZero1,           reg::CmdZero2,          reg::CmdCenterIndex,    reg::CmdStartCalibration,
        reg::CmdStopCalibration, reg::CmdSetCalibration, reg::CmdStartAlignment, reg::CmdStopAlignment,
        reg::CmdMainAgcDisable,  reg::CmdMainAgcEnable};
    EXPECT_EQ(codes.size(), 10u);
}

TEST(RegisterMap, ModelCodeAndGeneration) {
    EXPECT_EQ(reg::modelCode(0x00C0), 6);
    EXPECT_EQ(reg::modelCode(0x00E0), 7);
    EXPECT_EQ(reg::modelCode(0x01E0), 15);
    EXPECT_EQ(reg::modelCode(0xFE1F), 0); // only bits 5..8 count
    EXPECT_EQ(reg::firmwareGeneration(0x0062), 3);
    EXPECT_EQ(reg::firmwareGeneration(0xFF1F), 0);
}

TEST(RegisterMap, ProcessorVersionCheck) {
    EXPECT_TRUE(reg::processorVersionAccepted(0x0105));
    EXPECT_TRUE(reg::processorVersionAccepted(0x0500));
    EXPECT_TRUE(reg::processorVersionAccepted(0xF1FF)); // bits above 11 do not matter
    EXPECT_FALSE(reg::processorVersionAccepted(0x0205));
    EXPECT_FALSE(reg::processorVersionAccepted(0x0005));
    EXPECT_FALSE(reg::processorVersionAccepted(-1));
    EXPECT_FALSE(reg::processorVersionAccepted(-2));
}

TEST(RegisterMap, MultiRegisterValues) {
    EXPECT_EQ(reg::statusWord(0x1234, 0xABCD), 0xABCD1234u);
    EXPECT_EQ(reg::position32(0x0001, 0x0002), 0x20001);
    EXPECT_EQ(reg::position32(0xFFFF, 0xFFFF), -1);
    EXPECT_EQ(reg::position32(0x0000, 0x8000), INT32_MIN);
    EXPECT_TRUE(reg::isKpdSensor(0x1723));
    EXPECT_FALSE(reg::isKpdSensor(0x1623));
}
