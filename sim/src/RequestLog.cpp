#include "kpdsim/RequestLog.h"

#include <cstdio>

namespace kpdsim {

namespace {

std::string hexByte(uint8_t b) {
    char s[4];
    std::snprintf(s, sizeof s, "%02X", b);
    return s;
}

std::string hexWord(uint16_t w) {
    char s[8];
    std::snprintf(s, sizeof s, "%04X", w);
    return s;
}

std::string hexList(const std::vector<uint8_t> &bytes) {
    std::string s = "[";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) s += ' ';
        s += hexByte(bytes[i]);
    }
    return s + "]";
}

} // namespace

bool LogEntry::isRegisterRead() const {
    return kind == LogKind::Request && (command == 0x51 || command == 0xA4) && payload.size() == 4;
}

bool LogEntry::isRegisterWrite() const {
    return kind == LogKind::Request && (command == 0x50 || command == 0xA3) && payload.size() == 4;
}

std::string describe(const LogEntry &e) {
    std::string s;
    switch (e.kind) {
    case LogKind::Request:
        if (e.isRegisterRead()) {
            s = "read " + hexByte(e.reg());
            if (e.modifier()) s += " mod " + hexByte(e.modifier());
            if (e.data()) s += " data " + hexWord(e.data());
            if (e.command != 0x51) s += " (" + hexByte(e.command) + ")";
        } else if (e.isRegisterWrite()) {
            s = "write " + hexByte(e.reg()) + " " + hexWord(e.data());
            if (e.modifier()) s += " mod " + hexByte(e.modifier());
            if (e.command != 0x50) s += " (" + hexByte(e.command) + ")";
        } else {
            s = "command " + hexByte(e.command) + " " + hexList(e.payload);
        }
        if (!e.answered) s += " (unanswered)";
        return s;
    case LogKind::Sync:
        return e.answered ? "sync" : "sync (unanswered)";
    case LogKind::StreamStart:
        s = "stream " + hexByte(e.command) + " " + hexList(e.payload);
        if (!e.answered) s += " (unanswered)";
        return s;
    case LogKind::StopBurst:
        s = "stop burst " + std::to_string(e.count);
        if (e.stoppedStream) s += " (ended stream)";
        return s;
    case LogKind::ReceivePurge:
        return "purge rx";
    case LogKind::TransmitPurge:
        return "purge tx";
    case LogKind::Rejected:
        s = "rejected " + hexList(e.bytes);
        if (e.count > e.bytes.size()) s += " (" + std::to_string(e.count) + " bytes)";
        return s;
    case LogKind::Ignored:
        s = "ignored " + hexList(e.bytes);
        if (e.count > e.bytes.size()) s += " (" + std::to_string(e.count) + " bytes)";
        return s;
    }
    return "?";
}

std::vector<std::string> describe(const std::vector<LogEntry> &entries) {
    std::vector<std::string> out;
    out.reserve(entries.size());
    for (const LogEntry &e : entries)
        out.push_back(describe(e));
    return out;
}

std::string formatLog(const std::vector<LogEntry> &entries) {
    std::string s;
    const int64_t t0 = entries.empty() ? 0 : entries.front().timeNs;
    char head[48];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LogEntry &e = entries[i];
        std::snprintf(head, sizeof head, "%4zu %9.3f ms  ", i, static_cast<double>(e.timeNs - t0) / 1e6);
        s += head;
        s += describe(e);
        if (e.unreadBytes > 0) s += "  (" + std::to_string(e.unreadBytes) + " bytes unread)";
        s += '\n';
    }
    return s;
}

std::vector<std::string> sequenceOf(const std::vector<LogEntry> &entries) {
    std::vector<std::string> out;
    out.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].kind == LogKind::ReceivePurge && i > 0 && entries[i - 1].kind == LogKind::ReceivePurge)
            continue;
        out.push_back(describe(entries[i]));
    }
    return out;
}

Sequence &Sequence::add(std::string line) {
    lines_.push_back(std::move(line));
    return *this;
}

Sequence &Sequence::purgeReceive() {
    if (!lines_.empty() && lines_.back() == "purge rx") return *this;
    return add("purge rx");
}

Sequence &Sequence::purgeTransmit() {
    return add("purge tx");
}

Sequence &Sequence::sync() {
    return add("sync");
}

namespace {
LogEntry requestEntry(uint8_t command, std::vector<uint8_t> payload) {
    LogEntry e;
    e.kind = LogKind::Request;
    e.command = command;
    if (payload.size() == 4)
        e.address = uint32_t{payload[0]} | uint32_t{payload[1]} << 8 | uint32_t{payload[2]} << 16 |
                    uint32_t{payload[3]} << 24;
    e.payload = std::move(payload);
    e.answered = true;
    return e;
}
std::vector<uint8_t> wordBytes(uint32_t w) {
    return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w >> 16),
            static_cast<uint8_t>(w >> 24)};
}
} // namespace

Sequence &Sequence::read(uint8_t reg, uint8_t modifier) {
    return add(describe(requestEntry(0x51, wordBytes(uint32_t{modifier} << 24 | uint32_t{reg} << 16))));
}

Sequence &Sequence::write(uint32_t addressWord) {
    return add(describe(requestEntry(0x50, wordBytes(addressWord))));
}

Sequence &Sequence::command(uint8_t command, std::vector<uint8_t> payload) {
    return add(describe(requestEntry(command, std::move(payload))));
}

Sequence &Sequence::stream(uint8_t command, std::vector<uint8_t> registers) {
    LogEntry e;
    e.kind = LogKind::StreamStart;
    e.command = command;
    e.payload = std::move(registers);
    e.answered = true;
    return add(describe(e));
}

Sequence &Sequence::stopBurst(uint32_t bytes, bool endedStream) {
    LogEntry e;
    e.kind = LogKind::StopBurst;
    e.count = bytes;
    e.stoppedStream = endedStream;
    return add(describe(e));
}

Sequence &Sequence::then(const Sequence &more) {
    for (const std::string &line : more.lines_) {
        if (line == "purge rx")
            purgeReceive();
        else
            add(line);
    }
    return *this;
}

std::string mismatch(const std::vector<LogEntry> &log, const Sequence &expected) {
    const std::vector<std::string> got = sequenceOf(log);
    const std::vector<std::string> &want = expected.lines();
    if (got == want) return {};
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    std::string s = "the sequence differs at line " + std::to_string(i) + ": expected ";
    s += i < want.size() ? "\"" + want[i] + "\"" : "nothing more";
    s += ", logged ";
    s += i < got.size() ? "\"" + got[i] + "\"" : "nothing more";
    s += "\nexpected (" + std::to_string(want.size()) + " lines):\n";
    for (std::size_t k = 0; k < want.size(); ++k) {
        char head[32];
        std::snprintf(head, sizeof head, "%4zu ", k);
        s += head + want[k] + "\n";
    }
    s += "logged (" + std::to_string(got.size()) + " lines once repeated purges are merged; " +
         std::to_string(log.size()) + " entries):\n" + formatLog(log);
    return s;
}

} // namespace kpdsim
