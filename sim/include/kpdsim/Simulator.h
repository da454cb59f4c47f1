// Simulated KPD Digital Sensor electronics (VK240 register family) on a pseudo-terminal.
//
// A Simulator opens a pseudo-terminal, links portDir/COM<n> to its slave side and answers the wire protocol
// of the electronics from its own thread: sync handshake, register reads and writes, streaming, the legacy
// reads and the processor commands. A physical model (a read head moving back and forth along a scale)
// makes the position, the sine/cosine channels, the magnitude and the status bits move. Faults can be
// switched on and off while it runs. A request log, off unless asked for, keeps what arrived on the line in
// order (see RequestLog.h); a record log, off too, keeps the stream records sent (SentRecord). Every public
// member is safe to call from any thread.
#ifndef KPDSIM_SIMULATOR_H
#define KPDSIM_SIMULATOR_H

#include "kpdsim/RequestLog.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kpdsim {

// Quadrature errors added to the adjusted pair (XAdcAdj, YAdcAdj) on top of the alignment model. With the
// pair written as X = cx + A cos t, Y = cy + r A sin(t + p): cx and cy are offsetX and offsetY percent of
// the half range (2048 ADC steps = 100 %), r is ratio and p is phaseDeg degrees.
struct Distortion {
    double offsetX = 0.0; // percent of 2048 ADC steps, -100..100
    double offsetY = 0.0;
    double ratio = 1.0;    // Y amplitude / X amplitude, 0..2
    double phaseDeg = 0.0; // departure from 90 degrees between the channels, -90..90
    bool operator==(const Distortion &) const = default;
};

struct SimOptions {
    // Identity.
    int modelCode = 6;                 // ElectronicsId bits 5..8 (6 = KPD Digital Sensor)
    uint16_t mspVersion = 0x0105;      // processor firmware version (bits 8..11 = 1 accepted)
    uint16_t sensorType = 0x1723;      // high byte 0x17 = KPD Digital Sensor
    uint16_t interpDepth = 4096;       // interpolation depth
    uint16_t firmwareVersion = 0x0062; // generation in bits 5..7 (here 3)
    uint16_t config = 0x0000;          // Config register at power-on (bit 0 clear)
    uint32_t powerOnHours = 1234;      // power-on time in hours
    uint32_t powerOnCycles = 57;       // power-on cycle count

    // Physical model.
    double speed = 20000.0;       // read head speed in counts per second (0 = standing still)
    double alignment = 1.0;       // alignment quality 0..1.5 (1.0 gives magnitude ~150, green)
    Distortion distortion;        // quadrature errors of the adjusted pair (none by default)
    int64_t travel = 200000;      // length of the scale in counts (the head moves between 0 and travel)
    int64_t indexAt = 100000;     // position of the index mark in counts
    int64_t startPosition = 1000; // head position at power-on

    // Wire timing.
    bool pacing = true; // pace replies at 38400 baud 8E1 (11 bits per byte)
    int latencyMs = 0;  // fixed turnaround added to every reply

    // Diagnostics.
    bool trace = false;                     // print every request and reply in hex to stderr
    uint64_t seed = 1;                      // seed of the fault generator (corrupt/drop/noise)
    bool requestLog = false;                // keep the request log from the start
    std::size_t requestLogCapacity = 20000; // entries kept; the oldest go first
    bool recordLog = false;                 // keep the record log from the start
    std::size_t recordLogCapacity = 20000;  // records kept; the oldest go first
};

// One stream record as the electronics sent it, kept by the record log (Simulator::setRecordLog).
struct SentRecord {
    uint64_t number = 0;            // its number among the records sent since start (the first is 1)
    int64_t timeNs = 0;             // when it went to the line (CLOCK_MONOTONIC nanoseconds)
    std::vector<uint8_t> registers; // the stream's register list
    std::vector<uint16_t> words;    // one word per register, as sent (an injected bad word included)
    bool badWord = false;           // its first word carries an injected bad word
    bool noise = false;             // noise bytes went to the line before it
    bool damaged = false;           // not sent whole: bytes of it were dropped (dropped-bytes fault)
};

// Wire time of one byte at 38400 baud, 8 data bits, even parity, one stop bit (11 bits), in nanoseconds.
constexpr int64_t kByteTimeNs = 11LL * 1000000000LL / 38400LL;

class Simulator {
public:
    explicit Simulator(SimOptions options = {});
    ~Simulator(); // stops the thread and removes the link
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    // Opens the pseudo-terminal, links portDir/COM<com> to it and starts answering. False (with a message in
    // lastError()) when the directory is missing, the port number is out of 1..256, the link name is taken
    // by something that is not a stale link, or the pseudo-terminal cannot be opened.
    bool start(const std::string &portDir, int com);
    // Stops answering, closes the pseudo-terminal and removes the link. Safe to call more than once.
    void stop();
    bool running() const;
    std::string devicePath() const; // slave device, e.g. /dev/pts/7 ("" when not started)
    std::string linkPath() const;   // portDir/COM<com> ("" when not started)
    int com() const;                // port number (0 when not started)
    std::string lastError() const;

    // Identity.
    void setModelCode(int code);
    void setMspVersion(uint16_t v);
    void setSensorType(uint16_t v);
    void setInterpDepth(uint16_t v);
    void setFirmwareVersion(uint16_t v);
    void setConfig(uint16_t v);
    void setPowerOnHours(uint32_t v);
    void setPowerOnCycles(uint32_t v);
    uint32_t powerOnCycles() const;

    // Registers as the electronics hold them (live registers are computed from the model at read time).
    uint16_t reg(uint8_t r) const;
    // On a measured register (status, ADC values, position, ...) setReg pins the value until releaseReg.
    void setReg(uint8_t r, uint16_t v);
    void releaseReg(uint8_t r);

    // Physical model.
    void setSpeed(double countsPerSecond);
    void setAlignment(double quality);
    void setPosition(int64_t counts); // moves the head to an absolute scale position
    void setDistortion(const Distortion &distortion); // Distortion{} switches it off
    Distortion distortion() const;
    int64_t position() const;         // head position in scale counts
    int32_t positionCount() const;    // position counter as the registers report it (after zeroing)
    uint16_t magnitude() const;
    int operatingState() const; // status bits 10..15

    // Calibration: when set, the next calibration run ends in the error state with the given error bits
    // (mask of bits 6, 7, 8 of the status word: 0x40, 0x80, 0x100). 0 = succeed.
    void setCalibrationFault(uint16_t errorBits);

    // Wire timing.
    void setPacing(bool on);
    void setLatencyMs(int ms);

    // Faults.
    void setSilent(bool on);                   // unplugged: reads and drops everything, answers nothing
    void setCorruptChecksumFraction(double f); // fraction of replies sent with a wrong checksum
    void setDropByteFraction(double f);        // fraction of reply bytes not sent
    void setNoise(bool on);                    // noise bytes between frames (before each reply)
    void setSlowReplyMs(int ms);               // extra delay before every reply
    void setStreamStall(bool on);              // a running stream stops sending records (still streaming)
    // The next `records` stream records (of any stream, now or once one runs) carry a word of 4096 or more:
    // their first word gets its top four bits set (0xF000 | value). Adds to records still pending; 0 or
    // less does nothing.
    void injectBadWords(int records = 1);
    // The next `count` register reads of register r (commands 0x51 and 0xA4) are answered with a wrong
    // checksum, so the reader sees a failed read. Adds to reads still pending; 0 or less does nothing.
    void spoilNextReads(uint8_t r, int count = 1);
    void setTrace(bool on);

    // Request log (see RequestLog.h): every request, sync, stream start, stop burst and the purges of the
    // application's side that the pseudo-terminal reports, in arrival order. Off by default. An entry is
    // in the log before its answer goes out, so a caller that has the answer finds its request logged.
    void setRequestLog(bool on);
    bool requestLogEnabled() const;
    void setRequestLogCapacity(std::size_t entries); // at least 1; the oldest entries beyond it go
    std::vector<LogEntry> requestLog() const;        // a copy, oldest first
    void clearRequestLog();                          // also resets requestLogDropped()
    uint64_t requestLogDropped() const;              // entries dropped because the log was full
    // True when the pseudo-terminal reports the application's purges (packet mode); otherwise the log
    // holds no purge entries.
    bool purgesVisible() const;

    // Record log: every stream record that goes to the line, in order, with the words it carries (before
    // any of its bytes are dropped). Records lost because nobody reads the line are not in it. Off by
    // default; bounded (the oldest records go first, counted in recordLogDropped()).
    void setRecordLog(bool on);
    bool recordLogEnabled() const;
    void setRecordLogCapacity(std::size_t records); // at least 1
    std::vector<SentRecord> recordLog() const;      // a copy, oldest first
    std::vector<SentRecord> takeRecordLog();        // the records kept, oldest first; the log is emptied
    void clearRecordLog();                          // also resets recordLogDropped()
    uint64_t recordLogDropped() const;              // records dropped because the log was full

    // Counters (since start).
    uint64_t requestsAnswered() const; // frames answered (not counting syncs or stream records)
    uint64_t syncsAnswered() const;    // sync bytes answered with 0x90
    uint64_t badFrames() const;        // frames rejected (start byte, length, checksum, unknown command)
    uint64_t recordsSent() const;      // stream records sent
    uint64_t badWordsSent() const;     // stream records sent with an injected bad word
    uint64_t streamsStarted() const;
    uint64_t streamsStopped() const; // stop bursts recognised
    uint64_t resets() const;         // software resets
    uint64_t bytesReceived() const;
    uint64_t bytesSent() const;
    uint64_t receivePurgesSeen() const;  // purge events of the application's receive queue (see log)
    uint64_t transmitPurgesSeen() const; // purge events of its transmit queue
    bool streaming() const;

    // Control command as typed on the stdin of kpd-sim ("silent on", "corrupt 0.1", "align 0.8", "badword 3",
    // "distort 2 -1 1.05 3", "log on", ...).
    // Returns false and sets *error for an unknown command or a bad value. "quit" returns true and sets
    // *quit. Numbers are parsed in the C locale.
    bool control(const std::string &line, bool *quit = nullptr, std::string *error = nullptr);
    static std::string controlHelp();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kpdsim

#endif // KPDSIM_SIMULATOR_H
