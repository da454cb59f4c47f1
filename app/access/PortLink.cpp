#include "access/PortLink.h"

#include <senslink.h>

void PortLink::PurgeReceive() const {
    ClearRxBuffer(m_portNumber);
}

bool PortLink::SyncLink() const {
    // Unlike the library's own resynchronisation this keeps the port's time-out (200 ms once connected).
    for (int attempt = 0; attempt < SyncAttempts; ++attempt) {
        ClearRxBuffer(m_portNumber);
        if (SendSync(m_portNumber) == 0) return true;
    }
    return false;
}

bool PortLink::ReadRegister(uint32_t address, uint16_t &value) const {
    return ReadRegisterVK240(m_portNumber, address, &value) >= 0;
}

void PortLink::OpenAndPulseReset(int portNumber) {
    OpenPort(portNumber);
    SystemReset(portNumber);
}

void PortLink::Close(int portNumber) {
    ClosePort(portNumber);
}

int PortLink::LibraryVersion() {
    return DLLVersion();
}
