#include "OpenFailure.h"

#include "PortTable.h"
#include "senslink.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace senslink {

namespace {

std::array<OpenFailure, kPortCount> g_failures;

std::string resolved(const std::string &path) {
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf)) return buf;
    return path; // a dangling link: name it as the port names it
}

std::string owningGroup(const std::string &path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buf(static_cast<std::size_t>(size > 0 ? size : 4096));
    group entry{};
    group *found = nullptr;
    int rc = 0;
    while ((rc = ::getgrgid_r(st.st_gid, &entry, buf.data(), buf.size(), &found)) == ERANGE &&
           buf.size() < (1u << 20))
        buf.resize(buf.size() * 2);
    if (rc == 0 && found && found->gr_name) return found->gr_name;
    char number[32]; // (std::to_string would export a template's static table from the library)
    std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(st.st_gid));
    return number;
}

} // namespace

int reasonOfOpenErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
    case EIO: // a serial device node without its hardware
    case ELOOP:
        return SENSLINK_OPEN_NO_DEVICE;
    case EACCES:
    case EPERM:
    case EROFS:
        return SENSLINK_OPEN_PERMISSION;
    case EBUSY: // the terminal's exclusive flag, set by another opener
        return SENSLINK_OPEN_BUSY;
    default:
        return SENSLINK_OPEN_FAILED;
    }
}

int reasonOfLockErrno(int err) {
    switch (err) {
    case ENOTTY:
    case EINVAL:
        return SENSLINK_OPEN_NOT_SERIAL;
    case EWOULDBLOCK:
    case EBUSY:
        return SENSLINK_OPEN_BUSY;
    default:
        return SENSLINK_OPEN_FAILED;
    }
}

void recordOpenOutcome(int port, int reason, const std::string &path) {
    if (port < 1 || port > kPortCount) return;
    OpenFailure f;
    f.reason = reason;
    if (reason != SENSLINK_OPEN_OK && !path.empty()) {
        f.device = resolved(path);
        f.group = owningGroup(f.device);
    }
    g_failures[static_cast<std::size_t>(port - 1)] = std::move(f);
}

OpenFailure openFailure(int port) {
    if (port < 1 || port > kPortCount) return {};
    return g_failures[static_cast<std::size_t>(port - 1)];
}

} // namespace senslink
