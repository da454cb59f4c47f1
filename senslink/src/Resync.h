// The sync handshake and the resynchronisation procedure.
#ifndef SENSLINK_RESYNC_H
#define SENSLINK_RESYNC_H

namespace senslink {

constexpr int kSyncAttempts = 13;
constexpr int kSyncTimeoutMs = 50;

// Sends 0x80 and reads one byte: 0 got 0x90, -1 other or none, -2 write or read call failed.
int sendSync(int port);
// Saves the port's time-out and baud rate, lowers the time-out to 50 ms, makes up to 13 attempts of
// purge + sync, restores the settings and reports success. purgeAfterFailure purges the receive buffer once
// more after the last failed attempt.
bool resynchronise(int port, bool purgeAfterFailure);

} // namespace senslink

#endif
