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

} // namespace senslink

#endif
