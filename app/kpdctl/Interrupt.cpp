#include "kpdctl/Interrupt.h"

#include <atomic>
#include <csignal>

namespace kpdctl::interrupt {

namespace {

std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnSignal(int signal) {
    if (g_requested.exchange(true)) {
        // The second request: end now, with the signal's usual outcome.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

} // namespace

void Install() {
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool Requested() {
    return g_requested.load();
}

} // namespace kpdctl::interrupt
