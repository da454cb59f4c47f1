// Exports of the register and streaming commands (VK240 and NXRA electronics).
#include "senslink.h"

#include "Resync.h"
#include "SerialIo.h"
#include "Transaction.h"

#include <array>

using namespace senslink;

namespace {

constexpr uint8_t kCmdReadVK240 = 0x51;
constexpr uint8_t kCmdWriteVK240 = 0x50;
constexpr uint8_t kCmdStreamVK240 = 0x65;
constexpr uint8_t kCmdReadNXRA = 0xA4;
constexpr uint8_t kCmdWriteNXRA = 0xA3;
constexpr uint8_t kCmdStreamNXRA = 0xA8;
constexpr uint8_t kStopByte = 0xA5;
constexpr int kMaxStopBurst = 200;

int readRegister(int port, uint8_t command, uint32_t address, uint16_t *value) {
    if (!value) return kBadReply;
    uint8_t data[2];
    const int rc = readTransaction(port, Frame::dword(command, address), 2, data);
    if (rc == kOk) *value = static_cast<uint16_t>(assembleValue(data, 2));
    return rc;
}

int beginStream(int port, uint8_t command, int count, const uint8_t *regs) {
    if (count < 0 || count > kMaxStreamRegisters || (count > 0 && !regs)) return kBadReply;
    return writeTransaction(port, Frame::streamStart(command, regs, static_cast<uint8_t>(count)));
}

int readStream(int port, int n, int16_t *words) {
    if (n < 1 || n > kMaxStreamRegisters || !words) return kBadReply;
    std::array<uint8_t, 2 * kMaxStreamRegisters> record{};
    if (!readStreamRecord(port, n, record.data())) return kBadReply;
    decodeStreamWords(record.data(), n, words);
    return kOk;
}

} // namespace

extern "C" {

SENSLINK_API int ReadRegisterVK240(int port, uint32_t address, uint16_t *value) {
    return readRegister(port, kCmdReadVK240, address, value);
}

SENSLINK_API int WriteRegisterVK240(int port, uint32_t address) {
    return writeTransaction(port, Frame::dword(kCmdWriteVK240, address));
}

SENSLINK_API int BeginAsyncVK240(int port, int count, const uint8_t *regs) {
    return beginStream(port, kCmdStreamVK240, count, regs);
}

SENSLINK_API int ReadAsyncVK240(int port, int n, int16_t *words) {
    return readStream(port, n, words);
}

SENSLINK_API int ReadRegisterNXRA(int port, uint32_t address, uint16_t *value) {
    return readRegister(port, kCmdReadNXRA, address, value);
}

SENSLINK_API int WriteRegisterNXRA(int port, uint32_t address) {
    return writeTransaction(port, Frame::dword(kCmdWriteNXRA, address));
}

SENSLINK_API int BeginAsyncNXRA(int port, int count, const uint8_t *regs) {
    return beginStream(port, kCmdStreamNXRA, count, regs);
}

SENSLINK_API int ReadAsyncNXRA(int port, int n, int16_t *words) {
    return readStream(port, n, words);
}

SENSLINK_API int EndAsync(int port, int n) {
    if (n < 0) return -1;
    const long long wanted = 2LL * n + 5;
    const int length = wanted > kMaxStopBurst ? kMaxStopBurst : static_cast<int>(wanted);
    std::array<uint8_t, kMaxStopBurst> burst;
    burst.fill(kStopByte);
    const IoResult w = writeBytes(port, burst.data(), length);
    return w.failed ? -1 : w.count;
}

SENSLINK_API int ReadValueNXRA(int port, int command, int n) {
    if (command < 0 || command > 0xFF || n < 1 || n > kMaxReplyLength) return kBadReply;
    uint8_t data[kMaxReplyLength];
    const int rc = readTransaction(
        port, Frame::wordPair(static_cast<uint8_t>(command), 0, static_cast<uint16_t>(n)), n, data);
    if (rc != kOk) return rc;
    return static_cast<int>(assembleValue(data, n));
}

SENSLINK_API int ReadShiftedPositionVK240(int port, int32_t *position) {
    if (!position) return -1;
    uint16_t r69 = 0, r68 = 0, r27 = 0;
    if (readRegister(port, kCmdReadVK240, 0x690000, &r69) != kOk) return -1;
    if (!resynchronise(port, false)) return -1;
    if (readRegister(port, kCmdReadVK240, 0x680000, &r68) != kOk) return -1;
    if (!resynchronise(port, false)) return -1;
    if (readRegister(port, kCmdReadVK240, 0x270000, &r27) != kOk) return -1;
    const uint32_t raw =
        ((uint32_t(r27) >> 4) & 0xFFF) | (uint32_t(r68) << 12) | ((uint32_t(r69) & 0x3) << 28);
    *position = static_cast<int32_t>(raw << 2) / 4;
    return 0;
}

} // extern "C"
