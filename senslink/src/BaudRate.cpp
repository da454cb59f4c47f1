#include "BaudRate.h"

#include <array>
#include <utility>

namespace senslink {

namespace {

constexpr std::array<std::pair<uint32_t, speed_t>, 13> kRates{{
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
}};

} // namespace

std::optional<speed_t> speedForBaud(uint32_t baud) {
    for (const auto &[rate, speed] : kRates)
        if (rate == baud) return speed;
    return std::nullopt;
}

std::optional<uint32_t> baudForSpeed(speed_t speed) {
    for (const auto &[rate, s] : kRates)
        if (s == speed) return rate;
    return std::nullopt;
}

} // namespace senslink
