#pragma once
// The millisecond process clock and the program's millisecond waits.

#include <cstdint>

namespace platform {

// Milliseconds of the monotonic process clock (std::chrono::steady_clock).
std::int64_t ClockMs();

// WaitMs: blocks the calling thread until `ms` milliseconds of the process clock have passed. It
// sleeps instead of spinning and processes no events, so on the user-interface thread nothing repaints
// and no timer ticks meanwhile. Zero or negative values return at once.
void WaitMs(int ms);

// Blocks until `seconds` (fractional) have passed since `startMs` (a ClockMs() value), in whole
// milliseconds like the program's replay pacing. Returns at once when that time has already passed.
void WaitSecondsSince(std::int64_t startMs, double seconds);

} // namespace platform
