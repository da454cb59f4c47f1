// The names of the registers of the register map, for the places where a person types or reads a register
// by name (a terminal command, a listing). Names are those of RegisterMap.h; the numbers come from there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace reg {

// The register named `name` (compared without regard to case), or nothing.
std::optional<uint8_t> RegisterByName(std::string_view name);

// The name of register number r ("" for a number without a name in the map).
std::string RegisterName(uint8_t r);

} // namespace reg
