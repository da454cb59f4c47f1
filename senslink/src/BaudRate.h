// Mapping between numeric baud rates and termios speed constants.
#ifndef SENSLINK_BAUDRATE_H
#define SENSLINK_BAUDRATE_H

#include <cstdint>
#include <optional>
#include <termios.h>

namespace senslink {

// termios speed for a numeric rate, or nothing if the rate is not supported.
std::optional<speed_t> speedForBaud(uint32_t baud);
// Numeric rate for a termios speed, or nothing for an unknown speed (B0 included).
std::optional<uint32_t> baudForSpeed(speed_t speed);

} // namespace senslink

#endif
