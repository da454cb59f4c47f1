// Frames on the wire: request frames, streaming-start frames, the checksum and the reply check.
#ifndef SENSLINK_FRAME_H
#define SENSLINK_FRAME_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace senslink {

constexpr uint8_t kStartByte = 0x80;
constexpr uint8_t kAckByte = 0x90;
constexpr int kMaxStreamRegisters = 72;

// 16-bit sum of the bytes, wrapping at 65536.
uint16_t frameChecksum(const uint8_t *bytes, size_t count);

// Reply check, in this order: the stored checksum at 4+n equals computed, at least n+6 bytes were received,
// and the first byte is 0x90.
bool checkReply(uint16_t computed, const uint8_t *reply, int n, int received);

// A built frame, ready to be written with one write call.
class Frame {
public:
    // 80 cmd L L payload checksum (L <= 255).
    static Frame request(uint8_t command, const uint8_t *payload, uint8_t length);
    // Payload: 16-bit selector, 16-bit reply length.
    static Frame wordPair(uint8_t command, uint16_t selector, uint16_t replyLength);
    // Payload: one 32-bit value.
    static Frame dword(uint8_t command, uint32_t value);
    // Payload: 16-bit selector, 16-bit count n, then n data bytes (n <= 251).
    static Frame wordPairData(uint8_t command, uint16_t selector, uint8_t count, const uint8_t *data);
    // 80 cmd L L L L L L payload checksum (L <= 72).
    static Frame streamStart(uint8_t command, const uint8_t *payload, uint8_t length);

    const uint8_t *data() const { return bytes_.data(); }
    int size() const { return static_cast<int>(size_); }

private:
    void append(uint8_t b) { bytes_[size_++] = b; }
    void appendChecksum();

    std::array<uint8_t, 8 + 255 + 2> bytes_{};
    size_t size_ = 0;
};

} // namespace senslink

#endif
