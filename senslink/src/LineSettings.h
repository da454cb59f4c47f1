// The device-control record on termios: reading and writing a port's line state, modem lines.
#ifndef SENSLINK_LINESETTINGS_H
#define SENSLINK_LINESETTINGS_H

#include "PortTable.h"

#include <termios.h>

namespace senslink {

// The raw byte mode every port runs in: no echo, no line editing, no character translation.
void makeRaw(termios &t);
// tcsetattr with read-back. Accepts the result when it matches the request, or when only the parity bits
// differ (a pseudo-terminal drops them); parityHeld tells which. False when the device refused the rest.
bool applyTermios(int fd, const termios &want, bool &parityHeld);
// Sets or clears one modem line (TIOCM_DTR, TIOCM_RTS). Devices without modem lines accept and ignore it.
bool setModemLine(int fd, int line, bool active);

// Fills dcb from the device (termios) and the slot's stored record. False if the state cannot be read.
bool readState(PortSlot &slot, DCB &dcb);
// Applies dcb to the device: termios, DTR/RTS, and stores the fields termios cannot hold. False if the
// device refuses the state (unsupported baud rate, byte size, parity or stop bits included).
bool writeState(PortSlot &slot, const DCB &dcb);
// Sets the library's line settings for the electronics: 8E1, binary, no flow control, DTR off, RTS on.
void setLinkLineSettings(DCB &dcb);
// The record a newly opened port starts from before its first read-back.
DCB defaultDcb();

} // namespace senslink

#endif
