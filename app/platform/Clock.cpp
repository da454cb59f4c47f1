#include "platform/Clock.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace platform {

std::int64_t ClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void WaitSecondsSince(std::int64_t startMs, double seconds) {
    if (!(seconds > 0.0)) // also catches NaN
        return;
    // The recorded interval is reached when whole elapsed milliseconds * 0.001 >= seconds.
    const double ms = std::ceil(seconds * 1000.0 - 1e-9);
    if (ms > 24.0 * 3600.0 * 1000.0) // a corrupt interval must not hang the caller for days
        return;
    const auto deadline = std::chrono::steady_clock::time_point(std::chrono::milliseconds(startMs)) +
                          std::chrono::milliseconds(static_cast<std::int64_t>(ms));
    std::this_thread::sleep_until(deadline);
}

} // namespace platform
