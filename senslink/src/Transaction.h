// The three transaction shapes every command is built from.
#ifndef SENSLINK_TRANSACTION_H
#define SENSLINK_TRANSACTION_H

#include "Frame.h"

#include <cstdint>

namespace senslink {

enum Result : int { kOk = 0, kBadReply = -1, kNotWritten = -2 };
constexpr int kMaxReplyLength = 10;

// Writes the whole frame with one write call. False if the call failed or the frame did not go out whole.
bool sendFrame(int port, const Frame &frame);
// Read transaction: request, one read of n+6 bytes, reply check; data receives the n data bytes.
// 0, -1 (reply missing, short or invalid; data untouched), -2 (not written). n is 1..kMaxReplyLength.
int readTransaction(int port, const Frame &frame, int n, uint8_t *data);
// Write transaction: request, then one acknowledge byte 0x90. 0, -1, -2.
int writeTransaction(int port, const Frame &frame);
// Send-only transaction: 0 if written, else -1.
int sendOnlyTransaction(int port, const Frame &frame);
// Little-endian value of the first min(n, 4) data bytes, 2 bytes when n is 2.
uint32_t assembleValue(const uint8_t *data, int n);

// Stream record: marker hunt for FF FF (one byte per read), then one read of 2n bytes. False on time-out,
// read failure, a short record, or a hunt that finds no marker within a bounded number of bytes.
bool readStreamRecord(int port, int n, uint8_t *record);

// ---- Decoding of what the electronics send, apart from the port (the transactions above use these) ----

// Read reply of a request for n data bytes: reply holds the `received` bytes that the read of n+6 bytes
// got. 0 with the n data bytes in data; -1 (data untouched) when n is outside 1..kMaxReplyLength, the reply
// is not n+6 bytes long or fails the reply check. Never reads beyond the received bytes.
int decodeReadReply(const uint8_t *reply, int received, int n, uint8_t *data);

// The hunt for the FF FF marker ahead of a stream record, fed one received byte at a time. A byte that
// follows a single FF is taken with it as a pair; the hunt gives up once more than kMaxHuntBytes bytes
// have gone by without a marker.
class MarkerHunt {
public:
    static constexpr int kMaxHuntBytes = 4096;
    enum class Step { More, Found, GiveUp };
    Step feed(uint8_t byte);

private:
    int hunted_ = 0;
    bool afterMarkerByte_ = false;
};

// The n little-endian 16-bit words of a stream record of 2n bytes.
void decodeStreamWords(const uint8_t *record, int n, int16_t *words);

} // namespace senslink

#endif
