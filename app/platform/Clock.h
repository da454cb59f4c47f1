#pragma once
// The millisecond process clock and the replay wait. (The plain millisecond pause is WaitMs of the
// access layer.)

#include <cstdint>

namespace platform {

// Milliseconds of the monotonic process clock (std::chrono::steady_clock).
std::int64_t ClockMs();

// Blocks until `seconds` (fractional) have passed since `startMs` (a ClockMs() value), in whole
// milliseconds like the program's replay pacing. Returns at once when that time has already passed.
void WaitSecondsSince(std::int64_t startMs, double seconds);

} // namespace platform
