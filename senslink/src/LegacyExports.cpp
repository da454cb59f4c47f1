// Exports of the fixed command set of the older electronics, the position reads and the version.
#include "senslink.h"

#include "Resync.h"
#include "SerialIo.h"
#include "Transaction.h"

#include <array>

using namespace senslink;

namespace {

constexpr uint8_t kCmdRead = 0x51;
constexpr uint8_t kCmdWrite = 0x50;
constexpr uint8_t kCmdStream = 0x65;
constexpr uint8_t kCmdWriteEpot = 0x90;
constexpr uint8_t kCmdReadEpot = 0x91;
constexpr uint8_t kCmdFlashEpot = 0x92;
constexpr uint8_t kCmdSoftwareReset = 0x64;
constexpr uint8_t kCmdSoftwareResetM = 0x84;
constexpr int kLissStopBurst = 13;
constexpr int kLibraryVersion = 16;

uint8_t lo(uint16_t v) {
    return static_cast<uint8_t>(v & 0xFF);
}
uint8_t hi(uint16_t v) {
    return static_cast<uint8_t>(v >> 8);
}

// Fixed read: the 16-bit value (0..65535), -1 or -2.
int fixedRead(int port, uint16_t selector) {
    uint8_t data[2];
    const int rc = readTransaction(port, Frame::wordPair(kCmdRead, selector, 2), 2, data);
    return rc == kOk ? static_cast<int>(assembleValue(data, 2)) : rc;
}

// Processor read with reply length n: the value itself, -1 or -2.
int processorRead(int port, uint8_t command, int n) {
    uint8_t data[4];
    const int rc = readTransaction(port, Frame::wordPair(command, 0, static_cast<uint16_t>(n)), n, data);
    return rc == kOk ? static_cast<int>(assembleValue(data, n)) : rc;
}

// Write with a word-pair-plus-data payload: selector bytes s0 s1, count 2, data bytes d0 d1.
int pairWrite(int port, uint8_t command, uint8_t s0, uint8_t s1, uint8_t d0, uint8_t d1) {
    const uint8_t data[2] = {d0, d1};
    return writeTransaction(port,
                            Frame::wordPairData(command, static_cast<uint16_t>(s0 | (s1 << 8)), 2, data));
}

// Reads selectors 0x0800, 0x0700, 0x4600 with a resynchronisation between them into the accumulator.
bool readPositionAccumulator(int port, uint32_t &acc) {
    uint8_t data[2];
    if (readTransaction(port, Frame::wordPair(kCmdRead, 0x0800, 2), 2, data) != kOk) return false;
    uint32_t a = data[0];
    if (!resynchronise(port, false)) return false;
    if (readTransaction(port, Frame::wordPair(kCmdRead, 0x0700, 2), 2, data) != kOk) return false;
    a = (a << 12) | assembleValue(data, 2);
    if (!resynchronise(port, false)) return false;
    if (readTransaction(port, Frame::wordPair(kCmdRead, 0x4600, 2), 2, data) != kOk) return false;
    acc = (a << 12) | assembleValue(data, 2);
    return true;
}

} // namespace

extern "C" {

SENSLINK_API int ReadStatus(int port) {
    return fixedRead(port, 0x4000);
}
SENSLINK_API int ReadVersion(int port) {
    return fixedRead(port, 0x4100);
}
SENSLINK_API int ReadyAD(int port) {
    return fixedRead(port, 0x4200);
}
SENSLINK_API int ReadxAD(int port) {
    return fixedRead(port, 0x4300);
}
SENSLINK_API int ReadVectorMag(int port) {
    return fixedRead(port, 0x4400);
}
SENSLINK_API int ReadAngle(int port) {
    return fixedRead(port, 0x4500);
}
SENSLINK_API int ReadPositiveIndexWindow(int port) {
    return fixedRead(port, 0x4900);
}
SENSLINK_API int ReadNegativeIndexWindow(int port) {
    return fixedRead(port, 0x4C00);
}
SENSLINK_API int ReadStateFreqReg(int port) {
    return fixedRead(port, 0x4F00);
}
SENSLINK_API int ReadInterpDepth(int port) {
    return fixedRead(port, 0x5000);
}
SENSLINK_API int ReadIndexAngle(int port) {
    return fixedRead(port, 0x5100);
}
SENSLINK_API int ReadGainX(int port) {
    return fixedRead(port, 0x5200);
}
SENSLINK_API int ReadOffsetX(int port) {
    return fixedRead(port, 0x5300);
}
SENSLINK_API int ReadGainY(int port) {
    return fixedRead(port, 0x5400);
}
SENSLINK_API int ReadOffsetY(int port) {
    return fixedRead(port, 0x5500);
}
SENSLINK_API int ReadPhase(int port) {
    return fixedRead(port, 0x5600);
}

SENSLINK_API int ReadRegister(int port, uint16_t selector, uint16_t *value) {
    if (!value) return kBadReply;
    const int rc = fixedRead(port, selector);
    if (rc < 0) return rc;
    *value = static_cast<uint16_t>(rc);
    return kOk;
}

SENSLINK_API int ReadMSPVersion(int port) {
    return processorRead(port, 0x60, 2);
}
SENSLINK_API int ReadPowerOnTime(int port) {
    return processorRead(port, 0x62, 4);
}
SENSLINK_API int ReadPowerOnCycles(int port) {
    return processorRead(port, 0x63, 4);
}
SENSLINK_API int ReadMSPVersion_M(int port) {
    return processorRead(port, 0x80, 2);
}
SENSLINK_API int ReadMSPChecksum_M(int port) {
    return processorRead(port, 0x81, 2);
}
SENSLINK_API int ReadPowerOnTime_M(int port) {
    return processorRead(port, 0x82, 4);
}
SENSLINK_API int ReadPowerOnCycles_M(int port) {
    return processorRead(port, 0x83, 4);
}

SENSLINK_API int ReadEpotValues(int port, uint8_t *a, uint8_t *b, uint8_t *c, uint8_t *d) {
    if (!a || !b || !c || !d) return kBadReply;
    uint8_t data[4];
    const int rc = readTransaction(port, Frame::wordPair(kCmdReadEpot, 0, 4), 4, data);
    if (rc != kOk) return rc;
    *b = data[0];
    *a = data[1];
    *d = data[2];
    *c = data[3];
    return kOk;
}

SENSLINK_API int WriteInterpReg(int port, uint16_t v) {
    const uint16_t s = static_cast<uint16_t>(v | 0xF000);
    return pairWrite(port, kCmdWrite, lo(s), hi(s), lo(s), hi(s));
}

SENSLINK_API int WriteIndexAngleReg(int port, uint16_t v) {
    const uint16_t s = static_cast<uint16_t>(v | 0xE000);
    return pairWrite(port, kCmdWrite, lo(s), hi(s), lo(s), hi(s));
}

SENSLINK_API int WriteGenReg(int port, uint16_t v) {
    return pairWrite(port, kCmdWrite, 0xC0, lo(v), lo(v), 0xC0);
}

SENSLINK_API int WriteStateFreqReg(int port, uint16_t v) {
    return pairWrite(port, kCmdWrite, 0xC1, lo(v), lo(v), 0xC1);
}

SENSLINK_API int WriteRegister(int port, uint16_t v) {
    return pairWrite(port, kCmdWrite, hi(v), lo(v), lo(v), hi(v));
}

SENSLINK_API int WriteEpotValues(int port, uint16_t v) {
    return pairWrite(port, kCmdWriteEpot, 0x00, 0x00, lo(v), hi(v));
}

SENSLINK_API int FlashEpot(int port) {
    return writeTransaction(port, Frame::wordPairData(kCmdFlashEpot, 0, 0, nullptr));
}

SENSLINK_API int SoftwareSystemReset(int port) {
    return sendOnlyTransaction(port, Frame::wordPair(kCmdSoftwareReset, 0, 0));
}

SENSLINK_API int SoftwareReset_M(int port) {
    return sendOnlyTransaction(port, Frame::wordPair(kCmdSoftwareResetM, 0, 0));
}

SENSLINK_API int BeginLissMode(int port) {
    return writeTransaction(port, Frame::wordPair(kCmdStream, 0, 0));
}

SENSLINK_API int ReadLissPoint(int port, int16_t *a, int16_t *b, int16_t *c, int16_t *d) {
    if (!a || !b || !c || !d) return kBadReply;
    uint8_t record[8];
    if (!readStreamRecord(port, 4, record)) return kBadReply;
    int16_t words[4];
    decodeStreamWords(record, 4, words);
    *b = words[0];
    *a = words[1];
    *c = words[2];
    *d = words[3];
    return kOk;
}

SENSLINK_API int EndLissMode(int port) {
    std::array<uint8_t, kLissStopBurst> burst;
    burst.fill(0xA5);
    const IoResult w = writeBytes(port, burst.data(), kLissStopBurst);
    return (!w.failed && w.count == kLissStopBurst) ? 0 : -1;
}

SENSLINK_API int ReadPosition(int port, int32_t *position) {
    uint32_t acc = 0;
    if (!position || !readPositionAccumulator(port, acc)) return -1;
    *position = static_cast<int32_t>(acc);
    return 0;
}

SENSLINK_API int ReadShiftedPosition(int port, int32_t *position) {
    uint32_t acc = 0;
    if (!position || !readPositionAccumulator(port, acc)) return -1;
    *position = static_cast<int32_t>(acc << 4) / 16;
    return 0;
}

SENSLINK_API int DLLVersion(void) {
    return kLibraryVersion;
}

} // extern "C"
