// Exports of the port table and serial configuration layer.
#include "senslink.h"

#include "PortConfig.h"
#include "PortTable.h"
#include "SerialIo.h"

using namespace senslink;

extern "C" {

SENSLINK_API int OpenPort(int port) {
    return openPortSlot(port);
}

SENSLINK_API int ClosePort(int port) {
    return closePortSlot(port);
}

SENSLINK_API int GetPortConfig(int port, int *timeoutMs, int *baud) {
    return getPortConfig(port, timeoutMs, baud);
}

SENSLINK_API int ConfigPort(int port, int timeoutMs, int baud) {
    return configPort(port, timeoutMs, baud);
}

SENSLINK_API int ClearRxBuffer(int port) {
    return purge(port, Purge::Rx) ? 0 : -1;
}

SENSLINK_API int ClearTxBuffer(int port) {
    return purge(port, Purge::Tx) ? 0 : -1;
}

SENSLINK_API int PurgeRxTx(int port) {
    return purge(port, Purge::Both) ? 0 : -1;
}

SENSLINK_API int GetCompleteComConfig(int port, DCB *dcb, COMMTIMEOUTS *timeouts, COMMPROP *prop) {
    return getCompleteComConfig(port, dcb, timeouts, prop);
}

SENSLINK_API int SetCompleteComConfig(int port, DCB dcb, COMMTIMEOUTS timeouts, int inQueue, int outQueue) {
    return setCompleteComConfig(port, dcb, timeouts, inQueue, outQueue);
}

SENSLINK_API int ReadRs232Data(int port, int count, uint8_t *buf, int *bytesRead) {
    if (count < 0 || !bytesRead || (!buf && count > 0)) return -1;
    uint8_t none = 0;
    const IoResult r = readBytes(port, buf ? buf : &none, count);
    *bytesRead = r.count;
    return (!r.failed && r.count == count) ? 1 : -1;
}

SENSLINK_API int WriteRs232Data(int port, int count, const uint8_t *buf) {
    if (count < 0 || (!buf && count > 0)) return -1;
    const uint8_t none = 0;
    const IoResult w = writeBytes(port, buf ? buf : &none, count);
    return w.failed ? -1 : w.count;
}

SENSLINK_API int SystemReset(int port) {
    return systemReset(port);
}

} // extern "C"
