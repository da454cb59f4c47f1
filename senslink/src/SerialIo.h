// Byte I/O on an open port, paced by the port's time-outs, and buffer purges.
#ifndef SENSLINK_SERIALIO_H
#define SENSLINK_SERIALIO_H

#include "PortTable.h"

#include <cstdint>

namespace senslink {

struct IoResult {
    int count = 0;       // bytes transferred
    bool failed = false; // the call itself failed (port not open, device error or hang-up)
};

// Reads up to n bytes. Returns when n bytes arrived or the read time-out has passed since the call
// (total = multiplier * n + constant; no limit when the time-outs are all zero; at once when the interval
// time-out is MAXDWORD and the totals are zero), with what arrived.
IoResult readBytes(int port, uint8_t *buf, int n);
// Writes n bytes in one write call where the device takes them, bounded by the write time-out.
IoResult writeBytes(int port, const uint8_t *buf, int n);

enum class Purge { Rx, Tx, Both };
// Discards the chosen buffers. False if the port is not open or the purge failed.
bool purge(int port, Purge which);

} // namespace senslink

#endif
