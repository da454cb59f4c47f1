#include "FrameCodec.h"

namespace kpdsim {

uint16_t frameChecksum(const uint8_t *bytes, size_t count) {
    uint16_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum = static_cast<uint16_t>(sum + bytes[i]);
    return sum;
}

bool isStreamStartCommand(uint8_t command) {
    return command == 0x65 || command == 0xA8;
}

FrameScan scanFrame(const uint8_t *buf, size_t size) {
    FrameScan s;
    if (size < 4) return s;
    const uint8_t cmd = buf[1];
    const uint8_t len = buf[2];
    if (isStreamStartCommand(cmd)) {
        // The streaming start repeats the length six times; the plain form (legacy signal stream) twice.
        size_t same = 1;
        while (same < 6 && 2 + same < size && buf[2 + same] == len)
            ++same;
        if (same == 6) {
            s.streamStart = true;
            s.payloadOffset = 8;
        } else if (2 + same >= size) {
            return s; // all bytes so far repeat the length: wait for the rest
        }
    }
    if (!s.streamStart) {
        if (buf[3] != len) {
            s.kind = FrameScan::Bad;
            s.length = size;
            return s;
        }
        s.payloadOffset = 4;
    }
    s.payloadLength = len;
    s.length = s.payloadOffset + len + 2;
    if (size < s.length) return s;
    const uint16_t sum = frameChecksum(buf, s.length - 2);
    const uint16_t got = static_cast<uint16_t>(buf[s.length - 2] | (buf[s.length - 1] << 8));
    if (sum != got) {
        s.kind = FrameScan::Bad;
        s.length = size;
        return s;
    }
    s.kind = FrameScan::Frame;
    return s;
}

std::vector<uint8_t> buildReply(uint8_t command, uint32_t value, size_t n) {
    std::vector<uint8_t> r;
    r.reserve(n + 6);
    r.push_back(kAckByte);
    r.push_back(command);
    r.push_back(static_cast<uint8_t>(n));
    r.push_back(static_cast<uint8_t>(n));
    for (size_t i = 0; i < n; ++i)
        r.push_back(i < 4 ? static_cast<uint8_t>(value >> (8 * i)) : 0);
    const uint16_t sum = frameChecksum(r.data(), r.size());
    r.push_back(static_cast<uint8_t>(sum & 0xFF));
    r.push_back(static_cast<uint8_t>(sum >> 8));
    return r;
}

} // namespace kpdsim
