// The process-wide table of serial port slots (port n in slot n-1). A call touches only the slot of the
// port it names, so calls on different ports may run on different threads at once (see senslink.h).
#ifndef SENSLINK_PORTTABLE_H
#define SENSLINK_PORTTABLE_H

#include "senslink.h"

#include <string>

namespace senslink {

constexpr int kPortCount = 256;

// One slot: the open descriptor (or -1) and the parts of the device state that termios cannot hold.
struct PortSlot {
    int fd = -1;
    COMMTIMEOUTS timeouts{}; // the port's time-outs (termios has no total time-outs)
    DCB stored{};            // last applied device-control record, for fields termios cannot represent
    bool parityHeld = true;  // false when the device dropped the parity bits (pseudo-terminals do)
    uint32_t inQueue = 4096; // queue sizes reported back by the property record
    uint32_t outQueue = 4096;
};

// The slot of an open port; nullptr when the port is out of range or not open.
PortSlot *openSlot(int port);
// The device path of a port: $SENSLINK_PORT_DIR/COMn, else the fixed device table; empty if none.
std::string devicePath(int port);
// Opens the port exclusively and puts the line into raw mode. 0 or -1.
int openPortSlot(int port);
// Empties the slot and closes the device. 0, or -1 if the close failed.
int closePortSlot(int port);

} // namespace senslink

#endif
