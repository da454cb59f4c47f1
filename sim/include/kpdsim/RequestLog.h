// The simulator's request log: what arrived on the electronics' side of the line, in arrival order.
//
// Entries:
// - Request: a complete request frame (checksum right), with its command, its payload and, for a
//   four-byte payload, the address word as the electronics decode it (register bits 16..23, modifier
//   bits 24..31, data bits 0..15). `answered` is false when the electronics refused it (unknown command,
//   bad payload) or, by design, answer it with silence (software reset).
// - Sync: a bare 0x80 answered with 0x90.
// - StreamStart: the streaming start (payload = the subscribed register list).
// - StopBurst: a run of 0xA5 bytes; `count` is its length, `stoppedStream` tells whether it ended a
//   running stream (a burst sent while nothing streams is logged too). Consecutive 0xA5 bytes with
//   nothing else logged between them are one burst.
// - ReceivePurge / TransmitPurge: the program discarded its receive (or transmit) queue. A purge is seen
//   through the pseudo-terminal's packet mode, which reports a flush on the program's side as a status
//   event. Two purges with nothing read by the electronics between them are reported by the kernel as one
//   event, so a run of purges may be logged as a single entry. How many bytes a purge discarded is not
//   visible to the electronics. A purge made after a request was written but before the electronics read
//   it is reported ahead of that request.
// - Rejected: bytes starting with 0x80 that did not make a frame (length bytes differ, checksum wrong,
//   incomplete after 20 ms); `bytes` holds them.
// - Ignored: bytes that were dropped unexamined: received while unplugged or restarting, sent while a
//   stream runs, or stray bytes between frames (runs of 0xA5 among them are logged as stop bursts).
//
// `unreadBytes` (Request, Sync, StreamStart): the number of bytes the electronics had sent that were still
// waiting, neither read nor purged, in the program's receive queue when the entry arrived; -1 when it
// could not be measured. A program that leaves a reply unread and does not purge shows here.
//
// Times are CLOCK_MONOTONIC nanoseconds (std::chrono::steady_clock on Linux): when the electronics read the
// last byte of the entry, or saw the purge.
#ifndef KPDSIM_REQUESTLOG_H
#define KPDSIM_REQUESTLOG_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kpdsim {

enum class LogKind : uint8_t {
    Request,
    Sync,
    StreamStart,
    StopBurst,
    ReceivePurge,
    TransmitPurge,
    Rejected,
    Ignored,
};

struct LogEntry {
    int64_t timeNs = 0;
    LogKind kind = LogKind::Request;
    uint8_t command = 0;          // Request, StreamStart
    uint32_t address = 0;         // Request with a four-byte payload: the payload, little-endian
    std::vector<uint8_t> payload; // Request, StreamStart
    std::vector<uint8_t> bytes;   // Rejected, Ignored (at most kMaxLoggedBytes of them)
    uint32_t count = 0;           // StopBurst: 0xA5 bytes; Rejected, Ignored: bytes received
    bool answered = false;        // Request, Sync, StreamStart
    bool stoppedStream = false;   // StopBurst
    int32_t unreadBytes = -1;     // Request, Sync, StreamStart

    static constexpr std::size_t kMaxLoggedBytes = 64;

    uint8_t reg() const { return static_cast<uint8_t>((address >> 16) & 0xFF); }
    uint8_t modifier() const { return static_cast<uint8_t>(address >> 24); }
    uint16_t data() const { return static_cast<uint16_t>(address & 0xFFFF); }
    bool isRegisterRead() const;  // 0x51 or 0xA4 with a four-byte payload
    bool isRegisterWrite() const; // 0x50 or 0xA3 with a four-byte payload
};

// One line without the time, for comparing sequences and for messages:
//   "purge rx", "purge tx", "sync", "read 92", "read 85 mod 02", "write 80 0340", "write 02 0054 mod 10",
//   "command 60 [00 00 02 00]", "stream 65 [34 32 38 36]", "stop burst 25", "stop burst 13 (ended stream)",
//   "rejected [80 51 04 05]", "ignored [80]". A request left without an answer ends in " (unanswered)".
std::string describe(const LogEntry &entry);
std::vector<std::string> describe(const std::vector<LogEntry> &entries);

// Numbered lines with the time in milliseconds after the first entry and the unread bytes where there
// were any, for test failure messages.
std::string formatLog(const std::vector<LogEntry> &entries);

// The sequence the log shows: one describe() line per entry, except that a run of receive purges gives
// one "purge rx" line (the line may report several purges as one, see above).
std::vector<std::string> sequenceOf(const std::vector<LogEntry> &entries);

// An expected sequence in the words of sequenceOf(). A receive purge right after another adds nothing.
class Sequence {
public:
    Sequence &purgeReceive();
    Sequence &purgeTransmit();
    Sequence &sync();
    Sequence &read(uint8_t reg, uint8_t modifier = 0); // command 0x51
    Sequence &write(uint32_t addressWord);             // command 0x50
    Sequence &command(uint8_t command, std::vector<uint8_t> payload);
    Sequence &stream(uint8_t command, std::vector<uint8_t> registers);
    Sequence &stopBurst(uint32_t bytes, bool endedStream = false);
    Sequence &then(const Sequence &more);
    const std::vector<std::string> &lines() const { return lines_; }

private:
    Sequence &add(std::string line);
    std::vector<std::string> lines_;
};

// Empty when sequenceOf(log) equals the expected lines; otherwise a message that names the first
// difference and lists both (the log with its times).
std::string mismatch(const std::vector<LogEntry> &log, const Sequence &expected);

} // namespace kpdsim

#endif // KPDSIM_REQUESTLOG_H
