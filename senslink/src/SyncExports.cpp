// Exports of the sync handshake and the resynchronised single commands.
#include "senslink.h"

#include "Resync.h"

using namespace senslink;

extern "C" {

SENSLINK_API int SendSync(int port) {
    return sendSync(port);
}

SENSLINK_API int DoSynchronize(int port) {
    return resynchronise(port, true) ? 1 : 0;
}

SENSLINK_API int SyncAndWrite(int port, int family, uint32_t value) {
    if (family < 0 || family > 2) return 0;
    if (!resynchronise(port, false)) return 0;
    int rc = -1;
    switch (family) {
    case 0:
        rc = WriteRegister(port, static_cast<uint16_t>(value & 0xFFFF));
        break;
    case 1:
        rc = WriteRegisterVK240(port, value & 0xFFFFFF);
        break;
    case 2:
        rc = WriteRegisterNXRA(port, value & 0xFFFFFF);
        break;
    }
    return rc == 0 ? 1 : 0;
}

SENSLINK_API int SyncAndRead(int port, int family, uint32_t address, uint16_t *value) {
    if (family < 0 || family > 2 || !value) return 0;
    if (!resynchronise(port, false)) return 0;
    int rc = -1;
    switch (family) {
    case 0:
        rc = ReadRegister(port, static_cast<uint16_t>(address & 0xFFFF), value);
        break;
    case 1:
        rc = ReadRegisterVK240(port, address, value);
        break;
    case 2:
        rc = ReadRegisterNXRA(port, address, value);
        break;
    }
    return rc == 0 ? 1 : 0;
}

} // extern "C"
