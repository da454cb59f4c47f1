// Frames of the electronics' link: request classification, checksums and replies.
#ifndef KPDSIM_FRAMECODEC_H
#define KPDSIM_FRAMECODEC_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kpdsim {

constexpr uint8_t kStartByte = 0x80;
constexpr uint8_t kAckByte = 0x90;
constexpr uint8_t kStopByte = 0xA5;

// 16-bit wrapping sum of the bytes.
uint16_t frameChecksum(const uint8_t *bytes, size_t count);

bool isStreamStartCommand(uint8_t command);

// Result of looking at the bytes received so far, starting at a start byte.
struct FrameScan {
    enum Kind { NeedMore, Bad, Frame } kind = NeedMore;
    size_t length = 0;        // whole frame length (Frame), or bytes to drop (Bad)
    bool streamStart = false; // the six-times-length form
    size_t payloadOffset = 0; // where the payload starts
    size_t payloadLength = 0;
};

// Examines buf[0..size) (buf[0] is the start byte) and tells whether a complete, valid frame is there.
FrameScan scanFrame(const uint8_t *buf, size_t size);

// Reply frame: 90, command, N, N, data (N bytes, little-endian value), checksum.
std::vector<uint8_t> buildReply(uint8_t command, uint32_t value, size_t n);

} // namespace kpdsim

#endif // KPDSIM_FRAMECODEC_H
