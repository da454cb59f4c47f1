#include "access/RegisterNames.h"

#include "access/RegisterMap.h"

#include <array>
#include <utility>

namespace reg {

namespace {

struct Named {
    const char *name;
    uint8_t number;
};

constexpr std::array kNames{
    Named{"GenReg0", GenReg0},
    Named{"GenReg1", GenReg1},
    Named{"Gain", Gain},
    Named{"XOffset", XOffset},
    Named{"YOffset", YOffset},
    Named{"Phase", Phase},
    Named{"IndexAngle", IndexAngle},
    Named{"WTrim", WTrim},
    Named{"XTrim", XTrim},
    Named{"YTrim", YTrim},
    Named{"ZTrim", ZTrim},
    Named{"IndexTrSumTarget", IndexTrSumTarget},
    Named{"MainVcselLimit", MainVcselLimit},
    Named{"IndexVcselStatic", IndexVcselStatic},
    Named{"MainVcselStatic", MainVcselStatic},
    Named{"InterpDepth", InterpDepth},
    Named{"ElectronicsId", ElectronicsId},
    Named{"MainVcselUpper", MainVcselUpper},
    Named{"MainVcselLower", MainVcselLower},
    Named{"PolledPositionExtra", PolledPositionExtra},
    Named{"PolledPositionCheck", PolledPositionCheck},
    Named{"FirmwareVersion", FirmwareVersion},
    Named{"XAdc", XAdc},
    Named{"YAdc", YAdc},
    Named{"XAdcAdj", XAdcAdj},
    Named{"YAdcAdj", YAdcAdj},
    Named{"Tr3SumA", Tr3SumA},
    Named{"Tr3SumB", Tr3SumB},
    Named{"Magnitude", Magnitude},
    Named{"Position64", Position64},
    Named{"Status", Status},
    Named{"MainDrive", MainDrive},
    Named{"IndexDrive", IndexDrive},
    Named{"IndexPosEdge", IndexPosEdge},
    Named{"IndexNegEdge", IndexNegEdge},
    Named{"Position", Position},
    Named{"FringeCount", FringeCount},
    Named{"Spare1", Spare1},
    Named{"PolledPositionLow", PolledPositionLow},
    Named{"PolledPositionHigh", PolledPositionHigh},
    Named{"Command", Command},
    Named{"Config", Config},
    Named{"PositionRelease", PositionRelease},
    Named{"PositionLow", PositionLow},
    Named{"PositionHigh", PositionHigh},
    Named{"IndexWidth", IndexWidth},
    Named{"SensorType", SensorType},
    Named{"AtStatus", AtStatus},
    Named{"IndexLowLimit", IndexLowLimit},
    Named{"Settings", Settings},
};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

} // namespace

std::optional<uint8_t> RegisterByName(std::string_view name) {
    for (const Named &n : kNames)
        if (SameName(n.name, name)) return n.number;
    return std::nullopt;
}

std::string RegisterName(uint8_t r) {
    for (const Named &n : kNames)
        if (n.number == r) return n.name;
    return {};
}

} // namespace reg
