// Monotonic millisecond clock and sleeping waits used by the serial layer.
#ifndef SENSLINK_CLOCK_H
#define SENSLINK_CLOCK_H

#include <chrono>
#include <thread>

namespace senslink {

using Clock = std::chrono::steady_clock;

// Blocks the caller for ms milliseconds, sleeping until the deadline on the monotonic clock.
inline void sleepMs(int ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    std::this_thread::sleep_until(deadline);
}

} // namespace senslink

#endif
