// The 42 slots of the engineering display, in the order in which the read-all pass reads them: the
// register slots 0 to 38, the processor version (a value command) and the two power-on counters. Each
// slot's value is shown in upper-case hexadecimal, zero-padded to the slot's digits.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kpd::readall {

enum class Source : uint8_t {
    Register,       // a 16-bit register read (address word: register << 16)
    ProcessorValue, // the processor version value command, 2 bytes
    PowerOnTime,    // the processor's power-on hours, 4 bytes
    PowerOnCycles,  // the processor's power-on cycle count, 4 bytes
};

struct Slot {
    Source source = Source::Register;
    uint8_t reg = 0; // register number of a register slot
    int digits = 4;  // hexadecimal digits shown
};

inline constexpr int SlotCount = 42;

// The slots in pass order.
const std::array<Slot, SlotCount> &Slots();

// The slot's value as shown: upper-case hexadecimal with at least the slot's digits (zero-padded).
// A slot outside 0..SlotCount-1 gives an empty text.
std::string FormatSlot(int slot, uint32_t value);

// Every slot of a pass, formatted.
std::array<std::string, SlotCount> FormatPass(const std::array<uint32_t, SlotCount> &values);

} // namespace kpd::readall
