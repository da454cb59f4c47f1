// Exports of the port table and serial configuration layer.
#include "senslink.h"

#include "OpenFailure.h"
#include "PortConfig.h"
#include "PortTable.h"
#include "SerialIo.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <sys/stat.h>

using namespace senslink;

namespace {

// Copies text into a caller's buffer of size bytes, cut to fit, always NUL-terminated.
void copyOut(const std::string &text, char *out, int size) {
    if (!out || size <= 0) return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

} // namespace

extern "C" {

SENSLINK_API int OpenPort(int port) {
    return openPortSlot(port);
}

SENSLINK_API int GetOpenFailure(int port, char *device, int deviceSize, char *group, int groupSize) {
    if (port < 1 || port > kPortCount) return -1;
    const OpenFailure f = openFailure(port);
    copyOut(f.device, device, deviceSize);
    copyOut(f.group, group, groupSize);
    return f.reason;
}

SENSLINK_API int GetPortDevice(int port, char *path, int pathSize) {
    if (port < 1 || port > kPortCount) return -1;
    const std::string file = devicePath(port);
    copyOut(file, path, pathSize);
    struct stat st {};
    return !file.empty() && ::stat(file.c_str(), &st) == 0 ? 1 : 0;
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
