#include "Frame.h"

namespace senslink {

uint16_t frameChecksum(const uint8_t *bytes, size_t count) {
    uint16_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum = static_cast<uint16_t>(sum + bytes[i]);
    return sum;
}

bool checkReply(uint16_t computed, const uint8_t *reply, int n, int received) {
    const uint16_t stored = static_cast<uint16_t>(reply[4 + n] | (reply[5 + n] << 8));
    if (stored != computed) return false;
    if (received < n + 6) return false;
    return reply[0] == kAckByte;
}

void Frame::appendChecksum() {
    const uint16_t sum = frameChecksum(bytes_.data(), size_);
    append(static_cast<uint8_t>(sum & 0xFF));
    append(static_cast<uint8_t>(sum >> 8));
}

Frame Frame::request(uint8_t command, const uint8_t *payload, uint8_t length) {
    Frame f;
    f.append(kStartByte);
    f.append(command);
    f.append(length);
    f.append(length);
    for (int i = 0; i < length; ++i)
        f.append(payload[i]);
    f.appendChecksum();
    return f;
}

Frame Frame::wordPair(uint8_t command, uint16_t selector, uint16_t replyLength) {
    const uint8_t p[4] = {static_cast<uint8_t>(selector & 0xFF), static_cast<uint8_t>(selector >> 8),
                          static_cast<uint8_t>(replyLength & 0xFF), static_cast<uint8_t>(replyLength >> 8)};
    return request(command, p, 4);
}

Frame Frame::dword(uint8_t command, uint32_t value) {
    const uint8_t p[4] = {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
                          static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>(value >> 24)};
    return request(command, p, 4);
}

Frame Frame::wordPairData(uint8_t command, uint16_t selector, uint8_t count, const uint8_t *data) {
    std::array<uint8_t, 255> p{};
    const int n = count > 251 ? 251 : count;
    p[0] = static_cast<uint8_t>(selector & 0xFF);
    p[1] = static_cast<uint8_t>(selector >> 8);
    p[2] = static_cast<uint8_t>(n);
    p[3] = 0;
    for (int i = 0; i < n; ++i)
        p[static_cast<size_t>(4 + i)] = data[i];
    return request(command, p.data(), static_cast<uint8_t>(4 + n));
}

Frame Frame::streamStart(uint8_t command, const uint8_t *payload, uint8_t length) {
    Frame f;
    const int n = length > kMaxStreamRegisters ? kMaxStreamRegisters : length;
    f.append(kStartByte);
    f.append(command);
    for (int i = 0; i < 6; ++i)
        f.append(static_cast<uint8_t>(n));
    for (int i = 0; i < n; ++i)
        f.append(payload[i]);
    f.appendChecksum();
    return f;
}

} // namespace senslink
