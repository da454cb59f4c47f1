#include "PortConfig.h"

#include "Clock.h"
#include "LineSettings.h"
#include "PortTable.h"

#include <limits>

namespace senslink {

namespace {

constexpr int kResetHoldMs = 300;

// Property record constants in the values the Windows serial interface uses.
constexpr uint32_t kServiceSerialComm = 0x1;
constexpr uint32_t kSubTypeRs232 = 0x1;
constexpr uint32_t kCapabilities = 0x0001 | 0x0002 | 0x0008 | 0x0010 | 0x0020 | 0x0040 | 0x0080;
constexpr uint32_t kSettableParams = 0x3F;
constexpr uint32_t kBaudUser = 0x10000000;
constexpr uint32_t kSettableBaud =
    0x40 | 0x80 | 0x100 | 0x200 | 0x1000 | 0x2000 | 0x20000 | 0x40000 | kBaudUser;
constexpr uint16_t kSettableData = 0x000F;
constexpr uint16_t kSettableStopParity = 0x0001 | 0x0004 | 0x0100 | 0x0200 | 0x0400 | 0x0800 | 0x1000;

} // namespace

int getPortConfig(int port, int *timeoutMs, int *baud) {
    PortSlot *slot = openSlot(port);
    if (!slot || !timeoutMs || !baud) return -1;
    DCB dcb{};
    if (!readState(*slot, dcb)) return -1;
    const uint32_t t = slot->timeouts.ReadTotalTimeoutConstant;
    *timeoutMs = t > uint32_t(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(t);
    *baud = static_cast<int>(dcb.BaudRate);
    return 0;
}

int configPort(int port, int timeoutMs, int baud) {
    PortSlot *slot = openSlot(port);
    if (!slot || timeoutMs < 0 || baud <= 0) return -1;
    DCB dcb{};
    if (!readState(*slot, dcb)) dcb = slot->stored;
    dcb.BaudRate = static_cast<uint32_t>(baud);
    setLinkLineSettings(dcb);
    if (!writeState(*slot, dcb)) return -1;
    slot->timeouts =
        COMMTIMEOUTS{0, 0, static_cast<uint32_t>(timeoutMs), 0, static_cast<uint32_t>(timeoutMs)};
    return 0;
}

int getCompleteComConfig(int port, DCB *dcb, COMMTIMEOUTS *timeouts, COMMPROP *prop) {
    PortSlot *slot = openSlot(port);
    DCB state{};
    if (!slot || !dcb || !readState(*slot, state)) return -1;
    *dcb = state;
    if (!timeouts) return -2;
    *timeouts = slot->timeouts;
    if (!prop) return -3;
    COMMPROP p{};
    p.wPacketLength = sizeof(COMMPROP);
    p.wPacketVersion = 2;
    p.dwServiceMask = kServiceSerialComm;
    p.dwMaxBaud = kBaudUser;
    p.dwProvSubType = kSubTypeRs232;
    p.dwProvCapabilities = kCapabilities;
    p.dwSettableParams = kSettableParams;
    p.dwSettableBaud = kSettableBaud;
    p.wSettableData = kSettableData;
    p.wSettableStopParity = kSettableStopParity;
    p.dwCurrentTxQueue = slot->outQueue;
    p.dwCurrentRxQueue = slot->inQueue;
    *prop = p;
    return 0;
}

int setCompleteComConfig(int port, const DCB &in, const COMMTIMEOUTS &timeouts, int inQueue, int outQueue) {
    PortSlot *slot = openSlot(port);
    if (!slot) return -1;
    DCB dcb{};
    if (!readState(*slot, dcb)) dcb = slot->stored;
    dcb.BaudRate = in.BaudRate;
    dcb.fBinary = in.fBinary;
    dcb.fParity = in.fParity;
    dcb.fOutxCtsFlow = in.fOutxCtsFlow;
    dcb.fOutxDsrFlow = in.fOutxDsrFlow;
    dcb.fDtrControl = in.fDtrControl;
    dcb.fDsrSensitivity = in.fDsrSensitivity;
    dcb.fTXContinueOnXoff = in.fTXContinueOnXoff;
    dcb.fOutX = in.fOutX;
    dcb.fInX = in.fInX;
    dcb.fErrorChar = in.fErrorChar;
    dcb.fNull = in.fNull;
    dcb.fRtsControl = in.fRtsControl;
    dcb.fAbortOnError = in.fAbortOnError;
    dcb.XonLim = in.XonLim;
    dcb.XoffLim = in.XoffLim;
    dcb.XonChar = in.XonChar;
    dcb.XoffChar = in.XoffChar;
    dcb.ErrorChar = in.ErrorChar;
    dcb.EofChar = in.EofChar;
    dcb.EvtChar = in.EvtChar;
    dcb.wReserved = 0;
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!writeState(*slot, dcb)) return -1;
    slot->timeouts = timeouts;
    if (inQueue < 0 || outQueue < 0) return -3;
    slot->inQueue = static_cast<uint32_t>(inQueue);
    slot->outQueue = static_cast<uint32_t>(outQueue);
    return 0;
}

int systemReset(int port) {
    PortSlot *slot = openSlot(port);
    if (!slot) return -1;
    DCB dcb{};
    if (!readState(*slot, dcb)) dcb = slot->stored;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!writeState(*slot, dcb)) return -1;
    sleepMs(kResetHoldMs);
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    if (!writeState(*slot, dcb)) return -2;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    if (!writeState(*slot, dcb)) return -3;
    return 0;
}

} // namespace senslink
