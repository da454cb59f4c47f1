#include "WireClock.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace kpdsim {

int64_t monotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

void sleepUntilNs(int64_t deadlineNs, const std::atomic<bool> &stop) {
    constexpr int64_t kSlice = 20000000;
    for (;;) {
        if (stop.load()) return;
        const int64_t now = monotonicNs();
        if (now >= deadlineNs) return;
        if (deadlineNs - now <= kAwakeNs) {
            while (monotonicNs() < deadlineNs) {
            }
            return;
        }
        const int64_t until = std::min(deadlineNs - kAwakeNs, now + kSlice);
        timespec ts{};
        ts.tv_sec = static_cast<time_t>(until / 1000000000LL);
        ts.tv_nsec = static_cast<long>(until % 1000000000LL);
        while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
    }
}

} // namespace kpdsim
