// The position as the status display shows it: the counts times the resolution multiplier of the units
// settings, with thousands separators, the units' number of decimals and 20 significant digits.
#pragma once

#include "data/Settings.h"

#include <cstdint>
#include <string>

namespace kpd {

std::string PositionText(int32_t position, const Settings &settings);

// The position in the display unit, as a number.
double PositionInUnits(int32_t position, const Settings &settings);

} // namespace kpd
