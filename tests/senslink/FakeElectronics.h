// A scripted electronics model for PtyPeer: answers syncs, register reads and writes, legacy reads and
// stream starts, with switches to break each answer in a chosen way.
#ifndef SENSLINK_TESTS_FAKEELECTRONICS_H
#define SENSLINK_TESTS_FAKEELECTRONICS_H

#include "PtyPeer.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

class FakeElectronics {
public:
    // Register values by register number (VK240/NXRA reads: bits 16-23 of the address word).
    std::map<uint8_t, uint16_t> registers;
    // Legacy reads by selector; processor reads by command code (value sent in N bytes).
    std::map<uint16_t, uint16_t> selectors;
    std::map<uint8_t, uint32_t> commandValues;
    // Syncs answered only from this attempt on (1 = the first); 0 = never.
    int answerSyncFrom = 1;
    uint8_t syncAnswer = 0x90;
    bool ackWrites = true;

    // Reply shaping for reads.
    bool corruptChecksum = false;
    bool dropLastReplyByte = false;
    uint8_t replyFirstByte = 0x90;

    std::atomic<int> syncsSeen{0};

    PtyPeer::Handler handler();
    // Reply frame: first (0x90) cmd N N data checksum.
    static Bytes replyFrame(uint8_t command, const Bytes &data, uint8_t first = 0x90);

private:
    Bytes answer(const Bytes &chunk);
    std::mutex mutex_;
};

// Little-endian bytes of a value.
Bytes le16(uint16_t v);
uint16_t checksumOf(const Bytes &bytes, size_t count);

#endif
