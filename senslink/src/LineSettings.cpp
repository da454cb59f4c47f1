#include "LineSettings.h"

#include "BaudRate.h"

#include <cerrno>
#include <sys/ioctl.h>

namespace senslink {

namespace {

constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;

bool sameExceptParity(const termios &a, const termios &b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag &&
           (a.c_cflag & ~kParityBits) == (b.c_cflag & ~kParityBits) && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b) && a.c_cc[VMIN] == b.c_cc[VMIN] &&
           a.c_cc[VTIME] == b.c_cc[VTIME] && a.c_cc[VSTART] == b.c_cc[VSTART] &&
           a.c_cc[VSTOP] == b.c_cc[VSTOP];
}

bool modemLinesMissing(int err) {
    return err == ENOTTY || err == EINVAL;
}

} // namespace

void makeRaw(termios &t) {
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

bool applyTermios(int fd, const termios &want, bool &parityHeld) {
    const int rc = tcsetattr(fd, TCSANOW, &want);
    if (rc != 0 && errno != EINVAL) return false;
    termios got{};
    if (tcgetattr(fd, &got) != 0) return false;
    if (!sameExceptParity(want, got)) return false;
    parityHeld = (got.c_cflag & kParityBits) == (want.c_cflag & kParityBits);
    return true;
}

bool setModemLine(int fd, int line, bool active) {
    int bits = line;
    if (ioctl(fd, active ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
    return modemLinesMissing(errno);
}

DCB defaultDcb() {
    DCB d{};
    d.DCBlength = sizeof(DCB);
    d.BaudRate = 9600;
    d.fBinary = 1;
    d.fDtrControl = DTR_CONTROL_ENABLE;
    d.fRtsControl = RTS_CONTROL_ENABLE;
    d.XonLim = 2048;
    d.XoffLim = 512;
    d.ByteSize = 8;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    return d;
}

bool readState(PortSlot &slot, DCB &dcb) {
    termios t{};
    if (slot.fd < 0 || tcgetattr(slot.fd, &t) != 0) return false;
    dcb = slot.stored;
    dcb.DCBlength = sizeof(DCB);
    if (auto baud = baudForSpeed(cfgetospeed(&t))) dcb.BaudRate = *baud;
    dcb.fBinary = 1;
    dcb.fParity = (t.c_iflag & INPCK) ? 1 : 0;
    dcb.fOutxCtsFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
    dcb.fOutX = (t.c_iflag & IXON) ? 1 : 0;
    dcb.fInX = (t.c_iflag & IXOFF) ? 1 : 0;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        dcb.ByteSize = 5;
        break;
    case CS6:
        dcb.ByteSize = 6;
        break;
    case CS7:
        dcb.ByteSize = 7;
        break;
    default:
        dcb.ByteSize = 8;
        break;
    }
    if (slot.parityHeld) {
        if (!(t.c_cflag & PARENB))
            dcb.Parity = 0;
        else if (t.c_cflag & CMSPAR)
            dcb.Parity = (t.c_cflag & PARODD) ? 3 : 4;
        else
            dcb.Parity = (t.c_cflag & PARODD) ? 1 : EVENPARITY;
    }
    dcb.StopBits = (t.c_cflag & CSTOPB) ? 2 : ONESTOPBIT;
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return true;
}

bool writeState(PortSlot &slot, const DCB &dcb) {
    termios t{};
    if (slot.fd < 0 || tcgetattr(slot.fd, &t) != 0) return false;
    const auto speed = speedForBaud(dcb.BaudRate);
    if (!speed) return false;
    makeRaw(t);
    if (cfsetispeed(&t, *speed) != 0 || cfsetospeed(&t, *speed) != 0) return false;

    t.c_cflag &= ~CSIZE;
    switch (dcb.ByteSize) {
    case 5:
        t.c_cflag |= CS5;
        break;
    case 6:
        t.c_cflag |= CS6;
        break;
    case 7:
        t.c_cflag |= CS7;
        break;
    case 8:
        t.c_cflag |= CS8;
        break;
    default:
        return false;
    }
    t.c_cflag &= ~kParityBits;
    switch (dcb.Parity) {
    case 0:
        break;
    case 1:
        t.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        t.c_cflag |= PARENB;
        break;
    case 3:
        t.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        return false;
    }
    if (dcb.StopBits == ONESTOPBIT)
        t.c_cflag &= ~CSTOPB;
    else if (dcb.StopBits == 2)
        t.c_cflag |= CSTOPB;
    else
        return false;

    // Received parity errors are either checked (fParity) or passed through untouched; never marked.
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK);
    if (dcb.fParity) t.c_iflag |= INPCK;
    t.c_cflag = dcb.fOutxCtsFlow ? (t.c_cflag | CRTSCTS) : (t.c_cflag & ~CRTSCTS);
    t.c_iflag = dcb.fOutX ? (t.c_iflag | IXON) : (t.c_iflag & ~IXON);
    t.c_iflag = dcb.fInX ? (t.c_iflag | IXOFF) : (t.c_iflag & ~IXOFF);
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);

    bool parityHeld = true;
    if (!applyTermios(slot.fd, t, parityHeld)) return false;
    if (!setModemLine(slot.fd, TIOCM_DTR, dcb.fDtrControl != DTR_CONTROL_DISABLE)) return false;
    if (!setModemLine(slot.fd, TIOCM_RTS, dcb.fRtsControl != RTS_CONTROL_DISABLE)) return false;
    slot.stored = dcb;
    slot.stored.DCBlength = sizeof(DCB);
    slot.parityHeld = parityHeld;
    return true;
}

void setLinkLineSettings(DCB &dcb) {
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDsrSensitivity = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fNull = 0;
    dcb.fAbortOnError = 0;
    dcb.wReserved = 0;
}

} // namespace senslink
