// Fuzzes the simulator's request parser: the bytes the electronics receive while no stream runs.
//
// Input: the bytes arriving on the electronics' side of the line. They are taken apart as the simulator's
// request loop does while it is not streaming: stray bytes up to the next start byte are dropped, a lone
// start byte at the end is a sync, and from a start byte on scanFrame decides (a complete frame, a bad
// burst that is dropped whole, or more bytes needed, which at the end of the input is the time-out).
// Every frame scanFrame accepts is checked (its bytes lie within the input, its lengths add up, its
// checksum holds) and handed, in a buffer exactly as long as the frame, to the register file the way the
// electronics decode it: register reads and writes with the address word's register and modifier, the
// selector reads of the older command set, stream registers sampled for one record, the software reset,
// and the reply frame built for it. The model's clock moves on by the wire time of each frame.
#include "FrameCodec.h"
#include "SensorModel.h"
#include "WireClock.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace kpdsim;

namespace {

constexpr size_t kMaxReply = 64;    // longest reply the electronics build
constexpr size_t kMaxStreamRegs = 72;

void require(bool condition) {
    if (!condition) std::abort();
}

void checkReply(uint8_t command, uint32_t value, size_t n) {
    const std::vector<uint8_t> r = buildReply(command, value, n);
    require(r.size() == n + 6 && r[0] == kAckByte && r[1] == command && r[2] == n && r[3] == n);
    const uint16_t sum = frameChecksum(r.data(), n + 4);
    require(r[n + 4] == (sum & 0xFF) && r[n + 5] == (sum >> 8));
}

// The electronics' handling of one accepted frame, as far as it touches the register file.
void handle(SensorModel &model, const std::vector<uint8_t> &frame, const FrameScan &s, int64_t now) {
    const uint8_t cmd = frame[1];
    const uint8_t *p = frame.data() + s.payloadOffset;
    const size_t len = s.payloadLength;
    const auto word = [&](size_t i) { return static_cast<uint16_t>(p[i] | (p[i + 1] << 8)); };
    const size_t n = len >= 4 ? word(2) : 0;
    const bool nOk = n >= 1 && n <= kMaxReply;
    model.advance(now);
    switch (cmd) {
    case 0x51:
    case 0xA4:
        if (len != 4) return;
        if (word(0) == 0) return checkReply(cmd, model.read(p[2], p[3]), 2);
        if (cmd == 0x51 && nOk) checkReply(cmd, model.legacyRead(word(0)), n);
        return;
    case 0x50:
    case 0xA3:
        if (len == 4)
            model.write(p[2], word(0), p[3]);
        else if (cmd == 0x50 && len >= 4 && len == 4u + word(2) && p[0] == 0xC0 && len > 4)
            model.legacyGenRegWrite(p[1]);
        return;
    case 0x65:
    case 0xA8: {
        std::vector<uint8_t> regs;
        if (s.streamStart) {
            if (len > kMaxStreamRegs) return;
            regs.assign(p, p + len);
        } else {
            regs = {reg::YAdc, reg::XAdc, reg::YAdcAdj, reg::XAdcAdj};
        }
        const int32_t snapshot = model.counter();
        for (uint8_t r : regs)
            (void)model.streamValue(r, snapshot);
        return;
    }
    case 0x64:
    case 0x84:
        model.powerOn(now);
        return;
    default:
        if (nOk) checkReply(cmd, 0x44332211, n);
        return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SimOptions options;
    options.pacing = false;
    SensorModel model(options);
    int64_t now = 1000000000;
    model.powerOn(now);

    size_t at = 0;
    while (at < size) {
        if (data[at] != kStartByte) { // stray bytes between frames
            ++at;
            continue;
        }
        const size_t left = size - at;
        if (left == 1) break; // a lone start byte: the sync handshake
        // What has arrived so far, in a buffer of its own length.
        const std::vector<uint8_t> in(data + at, data + size);
        const FrameScan s = scanFrame(in.data(), in.size());
        if (s.kind == FrameScan::NeedMore) {
            require(s.length == 0 || s.length > in.size());
            break; // incomplete at the end: dropped after the frame time-out
        }
        if (s.kind == FrameScan::Bad) {
            require(s.length == in.size()); // the whole burst is rejected
            break;
        }
        require(s.length >= 6 && s.length <= in.size());
        require(s.payloadOffset == (s.streamStart ? 8u : 4u));
        require(s.length == s.payloadOffset + s.payloadLength + 2);
        require(!s.streamStart || isStreamStartCommand(in[1]));
        const uint16_t sum = frameChecksum(in.data(), s.length - 2);
        require(in[s.length - 2] == (sum & 0xFF) && in[s.length - 1] == (sum >> 8));
        const std::vector<uint8_t> frame(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(s.length));
        now += wireNs(static_cast<int64_t>(s.length));
        handle(model, frame, s, now);
        at += s.length;
    }
    return 0;
}
