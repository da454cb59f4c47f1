#include "Transaction.h"

#include "SerialIo.h"

#include <array>

namespace senslink {

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
    return decodeReadReply(reply.data(), r.count, n, data);
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
    MarkerHunt hunt;
    for (;;) {
        uint8_t b = 0;
        const IoResult r = readBytes(port, &b, 1);
        if (r.failed || r.count != 1) return false;
        const MarkerHunt::Step step = hunt.feed(b);
        if (step == MarkerHunt::Step::Found) break;
        if (step == MarkerHunt::Step::GiveUp) return false;
    }
    const IoResult r = readBytes(port, record, 2 * n);
    return !r.failed && r.count == 2 * n;
}

int decodeReadReply(const uint8_t *reply, int received, int n, uint8_t *data) {
    if (n < 1 || n > kMaxReplyLength || received != n + 6) return kBadReply;
    const uint16_t computed = frameChecksum(reply, static_cast<size_t>(n + 4));
    if (!checkReply(computed, reply, n, received)) return kBadReply;
    for (int i = 0; i < n; ++i)
        data[i] = reply[4 + i];
    return kOk;
}

MarkerHunt::Step MarkerHunt::feed(uint8_t byte) {
    if (afterMarkerByte_) {
        afterMarkerByte_ = false;
        if (byte == 0xFF) return Step::Found;
        hunted_ += 2;
    } else if (byte == 0xFF) {
        afterMarkerByte_ = true;
        return Step::More;
    } else {
        ++hunted_;
    }
    return hunted_ > kMaxHuntBytes ? Step::GiveUp : Step::More;
}

void decodeStreamWords(const uint8_t *record, int n, int16_t *words) {
    for (int i = 0; i < n; ++i)
        words[i] = static_cast<int16_t>(record[2 * i] | (record[2 * i + 1] << 8));
}

} // namespace senslink
