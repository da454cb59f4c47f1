#include "FakeElectronics.h"

Bytes le16(uint16_t v) {
    return {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
}

uint16_t checksumOf(const Bytes &bytes, size_t count) {
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint16_t>(sum & 0xFFFF);
}

Bytes FakeElectronics::replyFrame(uint8_t command, const Bytes &data, uint8_t first) {
    Bytes r;
    r.reserve(data.size() + 6);
    r.push_back(first);
    r.push_back(command);
    r.push_back(static_cast<uint8_t>(data.size()));
    r.push_back(static_cast<uint8_t>(data.size()));
    for (uint8_t b : data)
        r.push_back(b);
    const uint16_t sum = checksumOf(r, r.size());
    r.push_back(static_cast<uint8_t>(sum & 0xFF));
    r.push_back(static_cast<uint8_t>(sum >> 8));
    return r;
}

PtyPeer::Handler FakeElectronics::handler() {
    return [this](const Bytes &chunk) { return answer(chunk); };
}

Bytes FakeElectronics::answer(const Bytes &chunk) {
    std::lock_guard lock(mutex_);
    Bytes out;
    size_t i = 0;
    while (i < chunk.size()) {
        if (chunk[i] != 0x80) {
            ++i; // stop bursts and stray bytes
            continue;
        }
        if (i + 1 == chunk.size()) { // bare start byte: sync
            const int n = ++syncsSeen;
            if (answerSyncFrom > 0 && n >= answerSyncFrom) out.push_back(syncAnswer);
            ++i;
            continue;
        }
        if (i + 4 > chunk.size()) break;
        const uint8_t cmd = chunk[i + 1];
        const uint8_t len = chunk[i + 2];
        const bool stream = (cmd == 0x65 || cmd == 0xA8) && i + 8 <= chunk.size() && chunk[i + 4] == len &&
                            chunk[i + 5] == len && chunk[i + 6] == len && chunk[i + 7] == len;
        const size_t header = stream ? 8 : 4;
        if (i + header + len + 2 > chunk.size()) break;
        const uint8_t *p = chunk.data() + i + header;
        Bytes reply;
        if (stream || cmd == 0x50 || cmd == 0xA3 || cmd == 0x90 || cmd == 0x92 || cmd == 0x65) {
            if (ackWrites) reply.push_back(0x90);
        } else if (cmd == 0x51 && len == 4 && p[2] == 2 && p[3] == 0 && p[1] != 0) {
            // legacy selector read: selector hi byte non-zero, reply length 2
            const uint16_t sel = static_cast<uint16_t>(p[0] | (p[1] << 8));
            reply = replyFrame(cmd, le16(selectors[sel]), replyFirstByte);
        } else if ((cmd == 0x51 || cmd == 0xA4) && len == 4) {
            reply = replyFrame(cmd, le16(registers[p[2]]), replyFirstByte);
        } else if (cmd != 0x64 && cmd != 0x84 && len == 4) {
            const int n = p[2];
            const uint32_t v = commandValues[cmd];
            Bytes data;
            for (int k = 0; k < n; ++k)
                data.push_back(static_cast<uint8_t>(k < 4 ? (v >> (8 * k)) & 0xFF : 0));
            reply = replyFrame(cmd, data, replyFirstByte);
        }
        if (reply.size() > 1) {
            if (corruptChecksum) reply.back() ^= 0x01;
            if (dropLastReplyByte) reply.pop_back();
        }
        out.insert(out.end(), reply.begin(), reply.end());
        i += header + len + 2;
    }
    return out;
}
