#include "workers/ReadAllSlots.h"

#include "access/RegisterMap.h"

#include <cstdio>

namespace kpd::readall {

namespace {

constexpr Slot R(uint8_t r) {
    return Slot{Source::Register, r, 4};
}

constexpr std::array<Slot, SlotCount> kSlots{{
    R(reg::GenReg0),
    R(reg::GenReg1),
    R(reg::Gain),
    R(reg::XOffset),
    R(reg::YOffset),
    R(reg::Phase),
    R(reg::IndexAngle),
    R(reg::WTrim),
    R(reg::XTrim),
    R(reg::YTrim),
    R(reg::ZTrim),
    R(reg::IndexTrSumTarget),
    R(reg::MainVcselLimit),
    R(reg::IndexVcselStatic),
    R(reg::MainVcselStatic),
    R(reg::InterpDepth),
    R(reg::MainVcselUpper),
    R(reg::MainVcselLower),
    R(reg::FirmwareVersion),
    R(reg::XAdc),
    R(reg::YAdc),
    R(reg::XAdcAdj),
    R(reg::YAdcAdj),
    R(reg::Tr3SumA),
    R(reg::Tr3SumB),
    R(reg::Magnitude),
    R(reg::Position64),
    R(reg::Status),
    R(reg::MainDrive),
    R(reg::IndexDrive),
    R(reg::IndexPosEdge),
    R(reg::IndexNegEdge),
    R(reg::Position),
    R(reg::FringeCount),
    R(reg::Spare1),
    R(reg::IndexWidth),
    R(reg::SensorType),
    R(reg::AtStatus),
    R(reg::IndexLowLimit),
    Slot{Source::ProcessorValue, 0, 4},
    Slot{Source::PowerOnTime, 0, 8},
    Slot{Source::PowerOnCycles, 0, 8},
}};

} // namespace

const std::array<Slot, SlotCount> &Slots() {
    return kSlots;
}

std::string FormatSlot(int slot, uint32_t value) {
    if (slot < 0 || slot >= SlotCount) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", kSlots[static_cast<std::size_t>(slot)].digits, value);
    return text;
}

std::array<std::string, SlotCount> FormatPass(const std::array<uint32_t, SlotCount> &values) {
    std::array<std::string, SlotCount> texts;
    for (int i = 0; i < SlotCount; ++i)
        texts[static_cast<std::size_t>(i)] = FormatSlot(i, values[static_cast<std::size_t>(i)]);
    return texts;
}

} // namespace kpd::readall
