// The output settings word of register GenReg1 as the settings dialog shows and writes it: limit outputs
// polarity (bit 0), limit outputs enable (bits 1 and 7), index output type (bits 4 and 5). Bits 2, 3 and 6
// are kept from the last value read; the second write clears bit 3 and carries access modifier 0x10.
#pragma once

#include <cstdint>

namespace kpd {

struct OutputSelection {
    int polarity = 0;  // 0 "Active Low", 1 "Active High"
    int enable = 0;    // 0 "Enabled", 1 "Disabled"
    int indexType = 1; // 0 "Index Window", any other "LSB Index"
};

// Preselection of the dialog from the last GenReg1 value read.
OutputSelection PreselectOutputs(uint16_t genReg1);

// The two address words written by the output-settings command, in order.
struct OutputWrites {
    uint32_t first;
    uint32_t second;
};
OutputWrites ComposeOutputWrites(uint16_t genReg1, const OutputSelection &sel);

} // namespace kpd
