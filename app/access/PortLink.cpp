#include "access/PortLink.h"

#include <senslink.h>

void PortLink::PurgeReceive() const {
    ClearRxBuffer(m_portNumber);
}

bool PortLink::SyncLink(const std::atomic<bool> *abandon) const {
    // Unlike the library's own resynchronisation this keeps the port's time-out (200 ms once connected).
    for (int attempt = 0; attempt < SyncAttempts; ++attempt) {
        if (abandon && abandon->load()) return false;
        ClearRxBuffer(m_portNumber);
        if (SendSync(m_portNumber) == 0) return true;
    }
    return false;
}

bool PortLink::SyncLinkWithTimeout(int timeoutMs, const std::atomic<bool> *abandon) const {
    int oldTimeout = 0;
    int baud = 0;
    if (GetPortConfig(m_portNumber, &oldTimeout, &baud) != 0) return false;
    if (ConfigPort(m_portNumber, timeoutMs, baud) != 0) return false;
    const bool synced = SyncLink(abandon);
    ConfigPort(m_portNumber, oldTimeout, baud);
    return synced;
}

bool PortLink::BeginStream(std::span<const uint8_t> registers) const {
    return BeginAsyncVK240(m_portNumber, static_cast<int>(registers.size()), registers.data()) == 0;
}

bool PortLink::ReadStreamRecord(std::span<int16_t> words) const {
    return ReadAsyncVK240(m_portNumber, static_cast<int>(words.size()), words.data()) == 0;
}

void PortLink::EndStream(int words) const {
    EndAsync(m_portNumber, words);
}

bool PortLink::ReadStatusWord() const {
    return ReadStatus(m_portNumber) >= 0;
}

int PortLink::ReadValue(int command, int length) const {
    return ReadValueNXRA(m_portNumber, command, length);
}

int PortLink::ReadPowerOnTime() const {
    return ::ReadPowerOnTime(m_portNumber);
}

int PortLink::ReadPowerOnCycles() const {
    return ::ReadPowerOnCycles(m_portNumber);
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
