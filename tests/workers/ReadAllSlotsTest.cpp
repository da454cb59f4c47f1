// The slots of the read-all pass: their order and sources, and how each value is shown.
#include "workers/ReadAllSlots.h"
#include "access/RegisterMap.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using kpd::readall::FormatPass;
using kpd::readall::FormatSlot;
using kpd::readall::SlotCount;
using kpd::readall::Slots;
using kpd::readall::Source;

TEST(ReadAllSlots, RegisterSlotsFollowTheRegisterMapInAddressOrder) {
    const uint8_t expected[] = {0x00, 0x02, 0x04, 0x06, 0x08, 0x0A, 0x0C, 0x0E, 0x10, 0x12, 0x14, 0x16, 0x18,
                                0x1A, 0x1C, 0x1E, 0x22, 0x24, 0x30, 0x32, 0x34, 0x36, 0x38, 0x3A, 0x3C, 0x3E,
                                0x40, 0x42, 0x44, 0x46, 0x48, 0x4A, 0x4C, 0x4E, 0x50, 0x90, 0x91, 0x92, 0x93};
    static_assert(sizeof expected == 39);
    for (int i = 0; i < 39; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Slots()[static_cast<std::size_t>(i)].source, Source::Register);
        EXPECT_EQ(Slots()[static_cast<std::size_t>(i)].reg, expected[i]);
        EXPECT_EQ(Slots()[static_cast<std::size_t>(i)].digits, 4);
    }
    EXPECT_EQ(Slots()[39].source, Source::ProcessorValue);
    EXPECT_EQ(Slots()[39].digits, 4);
    EXPECT_EQ(Slots()[40].source, Source::PowerOnTime);
    EXPECT_EQ(Slots()[40].digits, 8);
    EXPECT_EQ(Slots()[41].source, Source::PowerOnCycles);
    EXPECT_EQ(Slots()[41].digits, 8);
}

TEST(ReadAllSlots, TheElectronicsIdAndTheWriteOnlyRegistersAreNotRead) {
    std::set<uint8_t> read;
    for (int i = 0; i < 39; ++i)
        read.insert(Slots()[static_cast<std::size_t>(i)].reg);
    EXPECT_EQ(read.size(), 39u); // no register twice
    for (uint8_t r : {reg::ElectronicsId, reg::Command, reg::Config, reg::PositionRelease, reg::PositionLow,
                      reg::PositionHigh, reg::Settings})
        EXPECT_EQ(read.count(r), 0u) << int(r);
}

TEST(ReadAllSlots, HexDigitsAreUpperCaseAndZeroPadded) {
    EXPECT_EQ(FormatSlot(0, 0), "0000");
    EXPECT_EQ(FormatSlot(1, 0x00AB), "00AB");
    EXPECT_EQ(FormatSlot(15, 0x1000), "1000");
    EXPECT_EQ(FormatSlot(38, 0xFFFF), "FFFF");
    EXPECT_EQ(FormatSlot(39, 0x0105), "0105");
    EXPECT_EQ(FormatSlot(40, 0x00012345), "00012345");
    EXPECT_EQ(FormatSlot(41, 57), "00000039");
    EXPECT_EQ(FormatSlot(41, 0xDEADBEEF), "DEADBEEF");
}

TEST(ReadAllSlots, AWiderValueKeepsAllItsDigits) {
    // A four-digit slot never hides high digits (a value does not become a different one).
    EXPECT_EQ(FormatSlot(39, 0x12345), "12345");
}

TEST(ReadAllSlots, SlotsOutsideTheTableHaveNoText) {
    EXPECT_EQ(FormatSlot(-1, 1), "");
    EXPECT_EQ(FormatSlot(SlotCount, 1), "");
}

TEST(ReadAllSlots, APassIsFormattedSlotBySlot) {
    std::array<uint32_t, SlotCount> values{};
    for (int i = 0; i < SlotCount; ++i)
        values[static_cast<std::size_t>(i)] = static_cast<uint32_t>(i * 0x101);
    const auto texts = FormatPass(values);
    for (int i = 0; i < SlotCount; ++i)
        EXPECT_EQ(texts[static_cast<std::size_t>(i)], FormatSlot(i, values[static_cast<std::size_t>(i)]));
    EXPECT_EQ(texts[2], "0202");
    EXPECT_EQ(texts[40], "00002828");
}

} // namespace
