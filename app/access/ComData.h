// ComData: the program's connection to one set of electronics on one serial port.
//
// Every register operation that the user-interface side performs goes through a named operation of this
// object. Each one purges the receive buffer where needed, resynchronises the link (SyncLink) and then
// performs one or two register transactions; an operation that sends two commands syncs again before the
// second. Operations return true on success and false at the first failed step; none shows a message.
//
// The link operations are used from the user-interface thread only, and only while no worker thread talks
// to the port; the exception is the search, which runs Connect on each probed port's own object on a
// thread of its own and hands the object it keeps to the user-interface thread once that thread is done. Worker threads talk to the port through their own PortLink for PortNumber(); they share the
// atomic flags below with the user-interface thread (handed to them by address).
#pragma once

#include "access/PortLink.h"
#include "access/PortOpenFailure.h"
#include "data/DataSets.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Outputs of ComData::ReadInfo.
struct ElectronicsInfo {
    int processorVersion = 0; // ReadMSPVersion result
    uint16_t genReg0 = 0;     // serial number register
    uint16_t firmwareVersion = 0;
    int powerOnTime = 0; // hours
    int powerOnCycles = 0;
};

// How a search that probes several ports side by side runs Connect on one of them (on a thread of its
// own: the object then belongs to that thread until the search takes its result).
struct ConnectProbe {
    // When set, the sequence ends unsuccessfully before its next handshake attempt (the search has
    // decided without this port). Looked at only during Connect.
    const std::atomic<bool> *abandon = nullptr;
    // > 0: the read time-out of the first handshake's attempts (the port's time-out is restored for the
    // rest of the sequence); 0: the port's time-out, as for every other handshake.
    int handshakeTimeoutMs = 0;
};

class ComData {
public:
    // Number of display modes that own an executing flag (0 status, 1..3 plots, 4 engineering display).
    static constexpr int DisplayModeCount = 5;
    // Time-out and baud rate applied by Connect.
    static constexpr int LinkTimeoutMs = 200;
    static constexpr int LinkBaudRate = 38400;
    // Sync attempts of SyncLink.
    static constexpr int SyncAttempts = PortLink::SyncAttempts;

    // With its own data sets (tests, tools).
    explicit ComData(int portNumber);
    // Working on data sets that outlive the object (the session's: a search replaces the access object,
    // the recordings stay).
    ComData(int portNumber, DataSets &data);
    // Discarding the object does not close its port (a search discards objects that way; the library keeps
    // the port open and a later OpenPort on it succeeds). Call ClosePortIfOpen first to close it.
    ~ComData() = default;
    ComData(const ComData &) = delete;
    ComData &operator=(const ComData &) = delete;

    // ---- Link operations ----
    // Up to 13 attempts of (purge receive buffer, SendSync) at the port's current time-out; true at the
    // first attempt answered with 0x90.
    bool SyncLink();
    // Open, configure and identify the electronics. On success message is the found message with the port
    // number appended and modelIndex is 0. probe: how a side-by-side search runs it (see ConnectProbe).
    bool Connect(std::string &message, int &modelIndex, const ConnectProbe &probe = {});
    // If the port is open: ClosePort and mark it closed. Always true.
    bool ClosePortIfOpen();
    // Why the last open of this object's port failed (Reason::None after a successful open).
    PortOpenFailure OpenFailure() const;
    // The same for any port, as the link library recorded its last open (by the port's owner only).
    static PortOpenFailure OpenFailureOf(int port);
    // 10-word stop burst, 20 ms pause, purge receive buffer. Always true.
    bool StopStreaming();
    // Reads InterpDepth into InterpolationSetting and Settings into SettingsWord, then hands both to
    // onSettingsRead.
    bool ReadSettings();
    // Information command; writes Config with bit 0 set when it is found clear.
    bool ReadInfo(ElectronicsInfo &info);
    // Purge, sync, read the register named by the address word into value.
    bool ReadRegisterChecked(uint32_t address, uint16_t &value);
    // Purge, sync, write the address word unchanged.
    bool WriteRaw(uint32_t address);
    bool CenterIndex();
    bool ZeroPosition();
    // Refuses a parameter outside 0..255 (returns false and sends nothing): it must fit the data field.
    bool StartCalibration(int parameter);
    bool StopCalibration();
    bool SetCalibration();
    bool StartAlignment();
    bool StopAlignment();
    bool DisableMainAgc();
    bool EnableMainAgc();
    // Sync; if it succeeded, send the software reset and wait 2000 ms. No result.
    void SoftwareReset();
    // Takes the 32-bit position into PositionSnapshot(); a failed step ends the operation. No result.
    void SnapshotPosition();
    // Blocking pause of ms milliseconds (sleeps on the monotonic clock).
    static void WaitMs(int ms);

    // Found message of a model code (0..6), without the port number; empty for other codes.
    static std::string FoundMessage(int modelCode);

    // ---- Link-side fields ----
    int PortNumber() const { return m_portNumber; }
    int BaudRate() const { return m_baudRate; }
    bool PortOpen() const { return m_portOpen; }
    int ModelIndex() const { return m_modelIndex; }
    int InterpolationSetting() const { return m_interpolationSetting; }
    int SettingsWord() const { return m_settingsWord; }
    int32_t PositionSnapshot() const { return m_positionSnapshot; }
    uint16_t ReadBuffer() const { return m_readBuffer; }
    // Processor version read by the last Connect that got that far (0 before).
    int ProcessorVersion() const { return m_processorVersion; }

    // Receives InterpolationSetting and SettingsWord after ReadSettings (and again at the end of Connect).
    // Set by the main window, which shows them; may be empty.
    std::function<void(int interpolation, int settingsWord)> onSettingsRead;

    // ---- Flags shared with worker threads (handed to them by address) ----
    std::atomic<bool> StopRequest{false};    // set by the user-interface side; the worker ends its loop
    std::atomic<bool> ThreadRunning{false};  // a worker thread exists; cleared by its termination handler
    std::atomic<bool> RestartPending{false}; // the start of a worker was refused and must be retried
    std::atomic<bool> ReviewStep{false};     // review flag of the data sets
    std::atomic<bool> ZeroRequest{false};    // take the next position read as the new zero
    std::atomic<bool> Executing[DisplayModeCount] = {false, false, false, false, false}; // per display mode
    // Position zero offset: the position taken as zero on the last zero request. Written by the worker that
    // served the request, read by the position readers; atomic because it crosses threads.
    std::atomic<int32_t> PositionOffset{0};

private:
    std::unique_ptr<DataSets> m_ownData; // only when constructed without shared data sets

public:
    // The four recorded data sets (rings and control state), filled and replayed by the worker threads.
    DataSets &Data;

private:
    bool connectSteps(std::string &message, int &modelIndex, int handshakeTimeoutMs);
    bool readRegister(uint8_t reg, uint16_t &value);
    bool syncAndWriteCommand(uint16_t code);
    void handOverSettings();

    int m_portNumber;
    int m_baudRate = 9600;
    bool m_portOpen = false;
    int m_modelIndex = 0;
    int m_interpolationSetting = 0;
    int m_settingsWord = 0;
    int32_t m_positionSnapshot = 0;
    uint16_t m_readBuffer = 0;
    int m_processorVersion = 0;
    const std::atomic<bool> *m_abandon = nullptr; // the probe's flag, during Connect only
};
