#include "session/OutputSettings.h"

namespace kpd {

OutputSelection PreselectOutputs(uint16_t g) {
    OutputSelection s;
    s.polarity = (g & 0x01) ? 1 : 0;
    s.enable = (g & 0x02) ? 1 : 0;
    s.indexType = ((g >> 4) & 0x3) == 0x1 ? 0 : 1;
    return s;
}

OutputWrites ComposeOutputWrites(uint16_t g, const OutputSelection &sel) {
    // 0x20000: GenReg1 (register 2) with modifier 0.
    uint32_t w = (uint32_t(g) & 0x4Cu) | 0x20000u;
    if (sel.polarity == 1) w |= 0x01u;
    if (sel.enable == 1) w |= 0x82u;
    w |= sel.indexType == 0 ? 0x10u : 0x20u;
    OutputWrites out;
    out.first = w;
    out.second = (w & 0xFFFFF7u) + 0x10000000u;
    return out;
}

} // namespace kpd
