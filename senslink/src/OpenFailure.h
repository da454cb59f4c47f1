// The reason each port's last open failed, kept per port for GetOpenFailure. The open records it; the
// result of OpenPort itself does not change.
#ifndef SENSLINK_OPENFAILURE_H
#define SENSLINK_OPENFAILURE_H

#include <string>

namespace senslink {

struct OpenFailure {
    int reason = 0;     // SENSLINK_OPEN_*
    std::string device; // the device file (a link resolved), empty without one
    std::string group;  // name (or number) of the group owning the device file, empty without one
};

// The reason of a failed open() call's errno.
int reasonOfOpenErrno(int err);
// The reason of a failed step after the open: the terminal query (not a serial device), the lock and the
// exclusive flag (busy), the raw line set-up (failed).
int reasonOfLockErrno(int err);

// Records the outcome of an open of `port` through `path` (empty: the port has no device). For a reason
// other than SENSLINK_OPEN_OK the device file and its owning group are looked up now.
void recordOpenOutcome(int port, int reason, const std::string &path);
// The record of a port in range (1..256); a never-opened port reads as SENSLINK_OPEN_OK.
OpenFailure openFailure(int port);

} // namespace senslink

#endif
