#include "Watchdog.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <execinfo.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace soak {

namespace {

void PrintStackHere(int) {
    static const char head[] = "soak: stack of the user-interface thread:\n";
    (void)!::write(2, head, sizeof head - 1);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_print_stack_trace();
#else
    void *frames[64];
    const int n = ::backtrace(frames, 64);
    ::backtrace_symbols_fd(frames, n, 2);
#endif
}

} // namespace

Watchdog::Watchdog(std::chrono::milliseconds limit, std::function<std::string()> extra)
    : limit_(limit), extra_(std::move(extra)), uiThread_(::pthread_self()) {
    thread_ = std::thread([this] { Run(); });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lk(m_);
        stop_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void Watchdog::SetState(std::string state) {
    std::lock_guard<std::mutex> lk(m_);
    state_ = std::move(state);
}

namespace {
int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

void Watchdog::PauseBegin() {
    pauseStartNs_.store(NowNs());
}

void Watchdog::PauseEnd() {
    const int64_t start = pauseStartNs_.exchange(-1);
    if (start >= 0) pausedNs_.fetch_add(NowNs() - start);
}

void Watchdog::Run() {
    uint64_t seen = beats_.load();
    int64_t lastBeatNs = NowNs();
    int64_t pausedAtBeatNs = pausedNs_.load();
    std::unique_lock<std::mutex> lk(m_);
    while (!stop_) {
        cv_.wait_for(lk, std::chrono::milliseconds(50));
        if (stop_) break;
        const int64_t now = NowNs();
        const uint64_t b = beats_.load(std::memory_order_relaxed);
        if (b != seen) {
            seen = b;
            lastBeatNs = now;
            pausedAtBeatNs = pausedNs_.load();
            continue;
        }
        const int64_t pauseStart = pauseStartNs_.load();
        const int64_t paused =
            pausedNs_.load() - pausedAtBeatNs + (pauseStart >= 0 ? now - std::max(pauseStart, lastBeatNs) : 0);
        const int64_t gapMs = (now - lastBeatNs) / 1000000;
        const int64_t unpausedMs = (now - lastBeatNs - paused) / 1000000;
        if (gapMs > longestGapMs_.load()) longestGapMs_.store(gapMs);
        if (unpausedMs > longestUnpausedGapMs_.load()) longestUnpausedGapMs_.store(unpausedMs);
        // Designed pauses are bounded; a run of them this long is a hang as well.
        if (unpausedMs >= limit_.count() || gapMs >= kDesignedPauseFactor * limit_.count()) {
            lk.unlock();
            Hang(gapMs, unpausedMs);
        }
    }
}

void Watchdog::Hang(int64_t silentMs, int64_t unpausedMs) {
    std::string state;
    {
        std::lock_guard<std::mutex> lk(m_);
        state = state_;
    }
    std::fprintf(stderr,
                 "\nFAULT SOAK FAILED: the user-interface thread has not answered for %lld ms, %lld ms of them "
                 "outside the program's designed pauses (a hang)\nsoak state: %s\n%s\n",
                 static_cast<long long>(silentMs), static_cast<long long>(unpausedMs), state.c_str(),
                 extra_ ? extra_().c_str() : "");
    std::fflush(stderr);
    struct sigaction sa {};
    sa.sa_handler = PrintStackHere;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGUSR2, &sa, nullptr);
    ::pthread_kill(uiThread_, SIGUSR2);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::fprintf(stderr, "soak: aborting\n");
    std::fflush(stderr);
    std::abort();
}

} // namespace soak
