#include "access/WaitMs.h"

#include <chrono>
#include <thread>

void WaitMs(int ms) {
    if (ms <= 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    // sleep_until may wake early on some systems; loop until the deadline has really passed.
    while (std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_until(deadline);
}
