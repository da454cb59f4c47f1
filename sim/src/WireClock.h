// Monotonic time and the byte time of the real line, for pacing replies at the wire rate.
#ifndef KPDSIM_WIRECLOCK_H
#define KPDSIM_WIRECLOCK_H

#include <atomic>
#include <cstdint>

namespace kpdsim {

int64_t monotonicNs();

// A thread woken from sleep runs some tens of microseconds late: the last stretch before a deadline that
// sets a byte's time on the line is waited out awake.
constexpr int64_t kAwakeNs = 60000;

// Sleeps until the absolute monotonic time (nanoseconds); returns early when stop becomes true (checked
// at least every 20 ms). Sleeps, except for the last kAwakeNs, which it waits awake.
void sleepUntilNs(int64_t deadlineNs, const std::atomic<bool> &stop);

// Wire time of n bytes at 38400 baud 8E1.
constexpr int64_t wireNs(int64_t bytes) {
    return bytes * 11LL * 1000000000LL / 38400LL;
}

} // namespace kpdsim

#endif // KPDSIM_WIRECLOCK_H
