// Watchdog: a thread that sees whether the user-interface thread still answers. The user-interface thread
// beats (a QTimer calls Beat); when no beat has come for the limit, the watchdog prints the soak's last
// state (a text the soak keeps up to date, guarded here), asks the user-interface thread for its stack
// and aborts the process.
//
// The program's designed pauses (the blocking waits of the search, the resets and the reconnect, each of a
// fixed length) are not a hang: the user-interface thread reports them (PauseBegin/PauseEnd) and their
// time does not count towards the limit, unless the thread has not answered for kDesignedPauseFactor times
// the limit in all.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <pthread.h>
#include <string>
#include <thread>

namespace soak {

class Watchdog {
public:
    static constexpr int kDesignedPauseFactor = 6;

    // Call on the user-interface thread (it is the thread whose stack is printed on a hang).
    Watchdog(std::chrono::milliseconds limit, std::function<std::string()> extra);
    ~Watchdog(); // stops the thread
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    void Beat() { beats_.fetch_add(1, std::memory_order_relaxed); }
    // A designed pause of the user-interface thread begins or ends.
    void PauseBegin();
    void PauseEnd();
    // What the soak is doing (any thread).
    void SetState(std::string state);
    // The longest time between two beats so far, in milliseconds: as it was, and without designed pauses.
    int64_t LongestGapMs() const { return longestGapMs_.load(); }
    int64_t LongestUnpausedGapMs() const { return longestUnpausedGapMs_.load(); }

private:
    void Run();
    [[noreturn]] void Hang(int64_t silentMs, int64_t unpausedMs);

    const std::chrono::milliseconds limit_;
    std::function<std::string()> extra_; // thread-safe facts (the simulator's counters)
    pthread_t uiThread_;
    std::atomic<uint64_t> beats_{0};
    std::atomic<int64_t> longestGapMs_{0};
    std::atomic<int64_t> longestUnpausedGapMs_{0};
    std::atomic<int64_t> pausedNs_{0};      // designed pauses ended so far, in total
    std::atomic<int64_t> pauseStartNs_{-1}; // the designed pause under way (-1: none)
    std::mutex m_;
    std::condition_variable cv_;
    bool stop_ = false;
    std::string state_;
    std::thread thread_;
};

} // namespace soak
