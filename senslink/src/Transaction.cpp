#include "Transaction.h"

#include "SerialIo.h"

#include <array>

namespace senslink {

namespace {

// A stream that yields this many bytes without a marker is not a record stream.
constexpr int kMaxHuntBytes = 4096;

} // namespace

bool sendFrame(int port, const Frame &frame) {
    const IoResult w = writeBytes(port, frame.data(), frame.size());
    return !w.failed && w.count == frame.size();
}

int readTransaction(int port, const Frame &frame, int n, uint8_t *data) {
    if (n < 1 || n > kMaxReplyLength) return kBadReply;
    if (!sendFrame(port, frame)) return kNotWritten;
    std::array<uint8_t, kMaxReplyLength + 6> reply{};
    const IoResult r = readBytes(port, reply.data(), n + 6);
    if (r.failed) return kBadReply;
    const uint16_t computed = frameChecksum(reply.data(), static_cast<size_t>(n + 4));
    if (!checkReply(computed, reply.data(), n, r.count)) return kBadReply;
    for (int i = 0; i < n; ++i)
        data[i] = reply[static_cast<size_t>(4 + i)];
    return kOk;
}

int writeTransaction(int port, const Frame &frame) {
    if (!sendFrame(port, frame)) return kNotWritten;
    uint8_t ack = 0;
    const IoResult r = readBytes(port, &ack, 1);
    if (r.failed || r.count != 1 || ack != kAckByte) return kBadReply;
    return kOk;
}

int sendOnlyTransaction(int port, const Frame &frame) {
    return sendFrame(port, frame) ? kOk : kBadReply;
}

uint32_t assembleValue(const uint8_t *data, int n) {
    const int bytes = n == 2 ? 2 : (n < 4 ? n : 4);
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | data[i];
    return v;
}

bool readStreamRecord(int port, int n, uint8_t *record) {
    int hunted = 0;
    for (;;) {
        uint8_t b = 0;
        IoResult r = readBytes(port, &b, 1);
        if (r.failed || r.count != 1) return false;
        if (b != 0xFF) {
            if (++hunted > kMaxHuntBytes) return false;
            continue;
        }
        r = readBytes(port, &b, 1);
        if (r.failed || r.count != 1) return false;
        if (b == 0xFF) break;
        if ((hunted += 2) > kMaxHuntBytes) return false;
    }
    const IoResult r = readBytes(port, record, 2 * n);
    return !r.failed && r.count == 2 * n;
}

} // namespace senslink
