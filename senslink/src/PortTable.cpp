#include "PortTable.h"

#include "LineSettings.h"
#include "OpenFailure.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace senslink {

namespace {

std::array<PortSlot, kPortCount> g_slots;

bool inRange(int port) {
    return port >= 1 && port <= kPortCount;
}

// Asks the driver to hand received bytes over at once. Drivers without the request simply do not have it.
void requestLowLatency(int fd) {
    serial_struct ss{};
    if (ioctl(fd, TIOCGSERIAL, &ss) != 0) return;
    ss.flags |= ASYNC_LOW_LATENCY;
    (void)ioctl(fd, TIOCSSERIAL, &ss);
}

} // namespace

PortSlot *openSlot(int port) {
    if (!inRange(port)) return nullptr;
    PortSlot &slot = g_slots[static_cast<size_t>(port - 1)];
    return slot.fd >= 0 ? &slot : nullptr;
}

std::string devicePath(int port) {
    if (!inRange(port)) return {};
    char name[32];
    const char *dir = std::getenv("SENSLINK_PORT_DIR");
    if (dir && *dir) {
        std::snprintf(name, sizeof name, "/COM%d", port);
        return std::string(dir) + name;
    }
    if (port <= 32)
        std::snprintf(name, sizeof name, "/dev/ttyS%d", port - 1);
    else if (port <= 96)
        std::snprintf(name, sizeof name, "/dev/ttyUSB%d", port - 33);
    else if (port <= 160)
        std::snprintf(name, sizeof name, "/dev/ttyACM%d", port - 97);
    else
        return {};
    return name;
}

int openPortSlot(int port) {
    if (!inRange(port)) return -1;
    PortSlot &slot = g_slots[static_cast<size_t>(port - 1)];
    if (slot.fd >= 0) return 0;
    const std::string path = devicePath(port);
    if (path.empty()) {
        recordOpenOutcome(port, SENSLINK_OPEN_NO_DEVICE, path);
        return -1;
    }

    // Non-blocking, so that a device waiting for carrier cannot hang the open; all I/O waits in poll().
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        recordOpenOutcome(port, reasonOfOpenErrno(errno), path);
        return -1;
    }
    termios t{};
    int failure = SENSLINK_OPEN_OK;
    if (tcgetattr(fd, &t) != 0) // serial devices only
        failure = reasonOfLockErrno(errno);
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0) // exclusive against every other opener, root included
        failure = reasonOfLockErrno(errno);
    else if (ioctl(fd, TIOCEXCL) != 0)
        failure = SENSLINK_OPEN_FAILED;
    bool parityHeld = true;
    if (failure == SENSLINK_OPEN_OK) {
        makeRaw(t);
        if (!applyTermios(fd, t, parityHeld)) failure = SENSLINK_OPEN_FAILED;
    }
    if (failure != SENSLINK_OPEN_OK) {
        ::close(fd);
        recordOpenOutcome(port, failure, path);
        return -1;
    }
    requestLowLatency(fd);
    recordOpenOutcome(port, SENSLINK_OPEN_OK, path);

    slot = PortSlot{};
    slot.stored = defaultDcb();
    slot.fd = fd;
    DCB current{};
    if (readState(slot, current)) slot.stored = current;
    slot.parityHeld = parityHeld;
    return 0;
}

int closePortSlot(int port) {
    PortSlot *slot = openSlot(port);
    if (!slot) return 0;
    const int fd = slot->fd;
    *slot = PortSlot{};
    // The exclusive flag belongs to the terminal, not to this descriptor: lift it, or a terminal that
    // someone else keeps open stays locked against later openers.
    (void)ioctl(fd, TIOCNXCL);
    return ::close(fd) == 0 ? 0 : -1;
}

} // namespace senslink
