#include "Resync.h"

#include "Frame.h"
#include "PortConfig.h"
#include "SerialIo.h"

namespace senslink {

int sendSync(int port) {
    const uint8_t sync = kStartByte;
    const IoResult w = writeBytes(port, &sync, 1);
    if (w.failed || w.count != 1) return -2;
    uint8_t reply = 0;
    const IoResult r = readBytes(port, &reply, 1);
    if (r.failed) return -2;
    return (r.count == 1 && reply == kAckByte) ? 0 : -1;
}

bool resynchronise(int port, bool purgeAfterFailure) {
    int savedTimeout = 0;
    int savedBaud = 0;
    if (getPortConfig(port, &savedTimeout, &savedBaud) != 0) return false;
    bool synced = false;
    if (configPort(port, kSyncTimeoutMs, savedBaud) == 0) {
        for (int attempt = 0; attempt < kSyncAttempts && !synced; ++attempt) {
            purge(port, Purge::Rx);
            synced = sendSync(port) == 0;
        }
        if (!synced && purgeAfterFailure) purge(port, Purge::Rx);
    }
    if (configPort(port, savedTimeout, savedBaud) != 0) return false;
    return synced;
}

} // namespace senslink
