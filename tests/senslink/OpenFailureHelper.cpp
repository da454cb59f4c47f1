// Opens one port in its own process (run as another user by the tests) and prints OpenPort's result and
// what GetOpenFailure says about it: "<result> <reason>", then the device and the group on lines of their own.
#include "senslink.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    const int port = std::atoi(argv[1]);
    const int rc = OpenPort(port);
    char device[512] = {};
    char group[128] = {};
    const int reason = GetOpenFailure(port, device, sizeof device, group, sizeof group);
    std::printf("%d %d\n%s\n%s\n", rc, reason, device, group);
    if (rc == 0) ClosePort(port);
    return 0;
}
