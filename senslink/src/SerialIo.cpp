#include "SerialIo.h"

#include "Clock.h"

#include <cerrno>
#include <limits>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace senslink {

namespace {

constexpr uint32_t kMaxDword = std::numeric_limits<uint32_t>::max();

// Milliseconds left until deadline for poll(): -1 without a deadline, 0 once it has passed.
int pollTimeout(const std::optional<Clock::time_point> &deadline) {
    if (!deadline) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    if (left <= 0) return 0;
    return left > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(left);
}

std::optional<Clock::time_point> deadlineFor(Clock::time_point start, uint64_t totalMs) {
    if (totalMs == 0) return std::nullopt;
    return start + std::chrono::milliseconds(totalMs);
}

} // namespace

IoResult readBytes(int port, uint8_t *buf, int n) {
    IoResult r;
    PortSlot *slot = openSlot(port);
    if (!slot || !buf || n < 0) {
        r.failed = true;
        return r;
    }
    if (n == 0) return r;
    const COMMTIMEOUTS &to = slot->timeouts;
    const auto start = Clock::now();
    const bool immediate = to.ReadIntervalTimeout == kMaxDword && to.ReadTotalTimeoutMultiplier == 0 &&
                           to.ReadTotalTimeoutConstant == 0;
    const uint64_t totalMs =
        uint64_t(to.ReadTotalTimeoutMultiplier) * uint64_t(n) + uint64_t(to.ReadTotalTimeoutConstant);
    const auto total = deadlineFor(start, totalMs);
    const bool useInterval = to.ReadIntervalTimeout != 0 && to.ReadIntervalTimeout != kMaxDword;

    std::optional<Clock::time_point> deadline = total;
    while (r.count < n) {
        int wait = immediate ? 0 : pollTimeout(deadline);
        pollfd p{slot->fd, POLLIN, 0};
        const int pr = ::poll(&p, 1, wait);
        if (pr < 0) {
            if (errno == EINTR) continue;
            r.failed = true;
            return r;
        }
        if (pr == 0) break; // time-out
        if (!(p.revents & POLLIN)) {
            r.failed = true; // hang-up or error without data
            return r;
        }
        const ssize_t got = ::read(slot->fd, buf + r.count, static_cast<size_t>(n - r.count));
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            r.failed = true;
            return r;
        }
        if (got == 0) {
            r.failed = true; // end of file: the device went away
            return r;
        }
        r.count += static_cast<int>(got);
        if (immediate) continue;
        if (useInterval) {
            const auto next = Clock::now() + std::chrono::milliseconds(to.ReadIntervalTimeout);
            deadline = (!total || next < *total) ? next : *total;
        }
    }
    return r;
}

IoResult writeBytes(int port, const uint8_t *buf, int n) {
    IoResult r;
    PortSlot *slot = openSlot(port);
    if (!slot || !buf || n < 0) {
        r.failed = true;
        return r;
    }
    const COMMTIMEOUTS &to = slot->timeouts;
    const auto deadline = deadlineFor(Clock::now(), uint64_t(to.WriteTotalTimeoutMultiplier) * uint64_t(n) +
                                                        uint64_t(to.WriteTotalTimeoutConstant));
    while (r.count < n) {
        const ssize_t put = ::write(slot->fd, buf + r.count, static_cast<size_t>(n - r.count));
        if (put > 0) {
            r.count += static_cast<int>(put);
            continue;
        }
        if (put < 0 && errno == EINTR) continue;
        if (put < 0 && errno != EAGAIN) {
            r.failed = true;
            return r;
        }
        pollfd p{slot->fd, POLLOUT, 0};
        const int pr = ::poll(&p, 1, pollTimeout(deadline));
        if (pr < 0 && errno == EINTR) continue;
        if (pr < 0 || (pr > 0 && !(p.revents & POLLOUT))) {
            r.failed = true;
            return r;
        }
        if (pr == 0) break; // time-out: report what went out
    }
    return r;
}

bool purge(int port, Purge which) {
    PortSlot *slot = openSlot(port);
    if (!slot) return false;
    const int queue = which == Purge::Rx ? TCIFLUSH : which == Purge::Tx ? TCOFLUSH : TCIOFLUSH;
    return tcflush(slot->fd, queue) == 0;
}

} // namespace senslink
