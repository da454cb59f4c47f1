// PortLink: the link operations on one serial port by number, for the party that owns the port at the
// time: a worker thread while it runs, the access object on the user-interface thread otherwise. It holds
// only the port number and no other state, so a worker may keep its own copy.
//
// SyncLink is the one resynchronisation loop of the program: up to SyncAttempts of (purge the receive
// buffer, SendSync) at the port's current time-out, true at the first attempt answered with 0x90.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

class PortLink {
public:
    static constexpr int SyncAttempts = 13;

    explicit PortLink(int portNumber) : m_portNumber(portNumber) {}
    int PortNumber() const { return m_portNumber; }

    void PurgeReceive() const;
    // abandon (may be null): when it is set the loop ends before its next attempt, unsuccessful.
    bool SyncLink(const std::atomic<bool> *abandon = nullptr) const;
    // SyncLink with the port's read time-out set to timeoutMs for its duration (same baud rate); the port's
    // configuration is restored afterwards.
    bool SyncLinkWithTimeout(int timeoutMs, const std::atomic<bool> *abandon = nullptr) const;
    // One register read transaction (no purge, no sync); false on a missing or invalid reply.
    bool ReadRegister(uint32_t address, uint16_t &value) const;

    // ---- Streaming ----
    // Starts the electronics' stream of the listed registers; true when acknowledged.
    bool BeginStream(std::span<const uint8_t> registers) const;
    // Reads one stream record of words.size() words; false on a time-out or a broken record (words are
    // then untouched).
    bool ReadStreamRecord(std::span<int16_t> words) const;
    // Sends the stop burst for a stream of the given number of words.
    void EndStream(int words) const;
    // The legacy status read; true when the electronics answered.
    bool ReadStatusWord() const;

    // ---- Processor reads ----
    // A value command with a reply of `length` data bytes: the value, or negative on a failed read.
    int ReadValue(int command, int length) const;
    // Power-on time in hours and power-on cycle count: the value, or negative on a failed read.
    int ReadPowerOnTime() const;
    int ReadPowerOnCycles() const;

    // The first step of a hardware reset of a port that nothing else uses: open it and pulse DTR. The
    // caller waits for the electronics and then calls Close.
    static void OpenAndPulseReset(int portNumber);
    static void Close(int portNumber);
    // The version number of the link library.
    static int LibraryVersion();

private:
    int m_portNumber;
};
