// The request log: what it records of requests, syncs, streams, stop bursts and the purges of the
// application's side, in arrival order, and how it is switched, bounded and printed.
#include "SimFixture.h"

#include "kpdsim/RequestLog.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A request frame as the link library builds it: 80, command, L, L, payload, 16-bit sum.
std::vector<uint8_t> frame(uint8_t command, const std::vector<uint8_t> &payload) {
    std::vector<uint8_t> f;
    f.reserve(payload.size() + 6);
    f.push_back(0x80);
    f.push_back(command);
    f.push_back(static_cast<uint8_t>(payload.size()));
    f.push_back(static_cast<uint8_t>(payload.size()));
    for (uint8_t b : payload)
        f.push_back(b);
    uint16_t sum = 0;
    for (uint8_t b : f)
        sum = static_cast<uint16_t>(sum + b);
    f.push_back(static_cast<uint8_t>(sum & 0xFF));
    f.push_back(static_cast<uint8_t>(sum >> 8));
    return f;
}

class SimRequestLogTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        if (HasFatalFailure()) return;
        sleepMs(50); // the opening of the port stays out of the log
        sim->clearRequestLog();
    }
    // The log once it has stopped growing (entries of bytes the electronics have not examined yet, such
    // as a stop burst, appear a moment after the call that sent them).
    std::vector<kpdsim::LogEntry> settledLog() {
        std::vector<kpdsim::LogEntry> last = sim->requestLog();
        for (int i = 0; i < 50; ++i) {
            sleepMs(20);
            std::vector<kpdsim::LogEntry> now = sim->requestLog();
            if (now.size() == last.size()) return now;
            last = std::move(now);
        }
        return last;
    }
    std::vector<std::string> lines() { return kpdsim::describe(settledLog()); }
    void send(const std::vector<uint8_t> &bytes) {
        ASSERT_EQ(WriteRs232Data(kPort, static_cast<int>(bytes.size()), bytes.data()),
                  static_cast<int>(bytes.size()));
    }
};

using Lines = std::vector<std::string>;

TEST_F(SimRequestLogTest, IsOffUnlessAskedFor) {
    EXPECT_FALSE(sim->requestLogEnabled());
    EXPECT_GE(readReg(0x92), 0);
    EXPECT_TRUE(sim->requestLog().empty());

    kpdsim::SimOptions o = options();
    o.requestLog = true;
    kpdsim::Simulator logging(o);
    EXPECT_TRUE(logging.requestLogEnabled());
}

TEST_F(SimRequestLogTest, PurgeSyncAndReadInTheirOrderWithTheAddressWordDecoded) {
    ASSERT_TRUE(sim->purgesVisible());
    sim->setRequestLog(true);
    const int64_t before = steadyNs();
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    ASSERT_EQ(SendSync(kPort), 0);
    uint16_t v = 0;
    ASSERT_EQ(ReadRegisterVK240(kPort, 0x02850000, &v), 0);
    const int64_t after = steadyNs();

    // Each entry is logged before its answer leaves, so nothing needs waiting for here.
    const std::vector<kpdsim::LogEntry> log = sim->requestLog();
    ASSERT_EQ(kpdsim::describe(log), (Lines{"purge rx", "sync", "read 85 mod 02"})) << kpdsim::formatLog(log);
    const kpdsim::LogEntry &read = log[2];
    EXPECT_EQ(read.kind, kpdsim::LogKind::Request);
    EXPECT_TRUE(read.isRegisterRead());
    EXPECT_EQ(read.command, 0x51);
    EXPECT_EQ(read.address, 0x02850000u);
    EXPECT_EQ(read.reg(), 0x85);
    EXPECT_EQ(read.modifier(), 0x02);
    EXPECT_EQ(read.data(), 0x0000);
    EXPECT_EQ(read.payload, (std::vector<uint8_t>{0x00, 0x00, 0x85, 0x02}));
    EXPECT_TRUE(read.answered);
    EXPECT_TRUE(log[1].answered);
    EXPECT_EQ(log[1].unreadBytes, 0);
    EXPECT_EQ(read.unreadBytes, 0);
    for (std::size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(log[i].timeNs, before);
        EXPECT_LE(log[i].timeNs, after);
        if (i) {
            EXPECT_GE(log[i].timeNs, log[i - 1].timeNs);
        }
    }
    EXPECT_GE(sim->receivePurgesSeen(), 1u);
}

TEST_F(SimRequestLogTest, WritesCarryRegisterDataAndModifier) {
    sim->setRequestLog(true);
    ASSERT_EQ(SendSync(kPort), 0);
    ASSERT_EQ(WriteRegisterVK240(kPort, 0x10020054), 0);
    ASSERT_EQ(SendSync(kPort), 0);
    ASSERT_EQ(WriteRegisterNXRA(kPort, 0x800340), 0);
    const std::vector<kpdsim::LogEntry> log = sim->requestLog();
    ASSERT_EQ(kpdsim::describe(log), (Lines{"sync", "write 02 0054 mod 10", "sync", "write 80 0340 (A3)"}))
        << kpdsim::formatLog(log);
    EXPECT_TRUE(log[1].isRegisterWrite());
    EXPECT_EQ(log[1].reg(), 0x02);
    EXPECT_EQ(log[1].data(), 0x0054);
    EXPECT_EQ(log[1].modifier(), 0x10);
}

TEST_F(SimRequestLogTest, TransmitAndReceivePurgesAreTold) {
    sim->setRequestLog(true);
    ASSERT_EQ(ClearTxBuffer(kPort), 0);
    ASSERT_EQ(SendSync(kPort), 0);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    ASSERT_EQ(SendSync(kPort), 0);
    EXPECT_EQ(kpdsim::describe(sim->requestLog()), (Lines{"purge tx", "sync", "purge rx", "sync"}));
    EXPECT_EQ(sim->transmitPurgesSeen(), 1u);
}

TEST_F(SimRequestLogTest, PurgesWithNothingBetweenThemMayShowAsOne) {
    sim->setRequestLog(true);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    ASSERT_EQ(SendSync(kPort), 0);
    const Lines got = kpdsim::describe(sim->requestLog());
    EXPECT_TRUE(got == (Lines{"purge rx", "sync"}) || got == (Lines{"purge rx", "purge rx", "sync"}))
        << kpdsim::formatLog(sim->requestLog());
}

TEST_F(SimRequestLogTest, StreamStartRecordsAndStopBursts) {
    sim->setRequestLog(true);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    ASSERT_EQ(SendSync(kPort), 0);
    const uint8_t regs[4] = {0x34, 0x32, 0x38, 0x36};
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    int16_t words[4] = {};
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, words), 0);
    ASSERT_EQ(EndAsync(kPort, 4), 13);
    sleepMs(30);
    EXPECT_FALSE(sim->streaming());
    // A burst sent while nothing streams (as before a connection) is logged as well.
    ASSERT_EQ(EndAsync(kPort, 10), 25);
    EXPECT_EQ(lines(), (Lines{"purge rx", "sync", "stream 65 [34 32 38 36]", "stop burst 13 (ended stream)",
                              "stop burst 25"}));
    const std::vector<kpdsim::LogEntry> log = sim->requestLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[2].kind, kpdsim::LogKind::StreamStart);
    EXPECT_EQ(log[2].payload, (std::vector<uint8_t>{0x34, 0x32, 0x38, 0x36}));
    EXPECT_EQ(log[3].count, 13u);
    EXPECT_TRUE(log[3].stoppedStream);
    EXPECT_FALSE(log[4].stoppedStream);
}

TEST_F(SimRequestLogTest, BadFramesRefusedCommandsAndStrayBytes) {
    sim->setRequestLog(true);
    std::vector<uint8_t> bad = frame(0x51, {0x00, 0x00, 0x92, 0x00});
    bad.back() ^= 0x01; // checksum wrong
    send(bad);
    sleepMs(30);
    send(frame(0x33, {0x01, 0x02, 0x03, 0x04})); // no such command
    sleepMs(30);
    send({0x12, 0x34});
    EXPECT_EQ(lines(), (Lines{"rejected [80 51 04 04 00 00 92 00 6B 00]",
                              "command 33 [01 02 03 04] (unanswered)", "ignored [12 34]"}));
}

TEST_F(SimRequestLogTest, RepliesLeftUnreadAndNotPurgedShowAtTheNextRequest) {
    sim->setRequestLog(true);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    send(frame(0x51, {0x00, 0x00, 0x92, 0x00})); // its 8-byte reply is never read
    sleepMs(30);
    send({0x80}); // a sync without purging first: the reply still waits
    sleepMs(30);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    ASSERT_EQ(SendSync(kPort), 0);
    const std::vector<kpdsim::LogEntry> log = settledLog();
    ASSERT_EQ(kpdsim::describe(log), (Lines{"purge rx", "read 92", "sync", "purge rx", "sync"}))
        << kpdsim::formatLog(log);
    EXPECT_EQ(log[1].unreadBytes, 0);
    EXPECT_EQ(log[2].unreadBytes, 8);
    EXPECT_EQ(log[4].unreadBytes, 0);
    EXPECT_NE(kpdsim::formatLog(log).find("(8 bytes unread)"), std::string::npos);
}

TEST_F(SimRequestLogTest, BytesSentToUnpluggedElectronicsAreLoggedAsIgnored) {
    sim->setRequestLog(true);
    sim->setSilent(true);
    EXPECT_EQ(SendSync(kPort), -1);
    sim->setSilent(false);
    ASSERT_EQ(SendSync(kPort), 0);
    EXPECT_EQ(lines(), (Lines{"ignored [80]", "sync"}));
}

TEST_F(SimRequestLogTest, SoftwareResetIsLoggedWithoutAnswer) {
    sim->setRequestLog(true);
    ASSERT_EQ(SendSync(kPort), 0);
    ASSERT_EQ(SoftwareSystemReset(kPort), 0);
    sleepMs(50);
    const std::vector<kpdsim::LogEntry> log = settledLog();
    ASSERT_EQ(log.size(), 2u) << kpdsim::formatLog(log);
    EXPECT_EQ(log[1].kind, kpdsim::LogKind::Request);
    EXPECT_FALSE(log[1].answered);
    EXPECT_NE(kpdsim::describe(log[1]).find("(unanswered)"), std::string::npos);
}

TEST_F(SimRequestLogTest, BoundedKeepingTheNewestAndCleared) {
    sim->setRequestLog(true);
    sim->setRequestLogCapacity(5);
    uint16_t v = 0;
    for (uint8_t r = 0; r < 8; ++r)
        ASSERT_EQ(ReadRegisterVK240(kPort, uint32_t{r} << 17, &v), 0);
    EXPECT_EQ(kpdsim::describe(sim->requestLog()),
              (Lines{"read 06", "read 08", "read 0A", "read 0C", "read 0E"}));
    EXPECT_EQ(sim->requestLogDropped(), 3u);

    sim->clearRequestLog();
    EXPECT_TRUE(sim->requestLog().empty());
    EXPECT_EQ(sim->requestLogDropped(), 0u);

    sim->setRequestLog(false);
    ASSERT_EQ(ReadRegisterVK240(kPort, 0x920000, &v), 0);
    EXPECT_TRUE(sim->requestLog().empty());
}

TEST_F(SimRequestLogTest, ControlCommandsSwitchAndClearTheLog) {
    std::string error;
    EXPECT_TRUE(sim->control("log on", nullptr, &error)) << error;
    EXPECT_TRUE(sim->requestLogEnabled());
    ASSERT_EQ(SendSync(kPort), 0);
    EXPECT_EQ(sim->requestLog().size(), 1u);
    EXPECT_TRUE(sim->control("log clear"));
    EXPECT_TRUE(sim->requestLog().empty());
    EXPECT_TRUE(sim->control("log off"));
    EXPECT_FALSE(sim->requestLogEnabled());
    EXPECT_FALSE(sim->control("log maybe", nullptr, &error));
}

TEST_F(SimRequestLogTest, SpoiledReadsFailOnlyForTheirRegister) {
    sim->setRequestLog(true);
    sim->spoilNextReads(0x85, 1);
    uint16_t v = 0;
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x920000, &v), 0);
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x02850000, &v), -1); // wrong checksum
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x02850000, &v), 0);
    // The answer went out (spoiled): the request counts as answered.
    EXPECT_EQ(lines(), (Lines{"read 92", "read 85 mod 02", "purge rx", "read 85 mod 02"}));
    EXPECT_TRUE(sim->control("badread 42 2"));
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), -1);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), -1);
    ASSERT_EQ(ClearRxBuffer(kPort), 0);
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), 0);
    EXPECT_FALSE(sim->control("badread 1FF"));
}

TEST(RequestLogSequence, MergesPurgesInARowAndNamesTheFirstDifference) {
    using kpdsim::LogEntry;
    using kpdsim::LogKind;
    LogEntry purge;
    purge.kind = LogKind::ReceivePurge;
    LogEntry sync;
    sync.kind = LogKind::Sync;
    sync.answered = true;
    LogEntry read;
    read.kind = LogKind::Request;
    read.command = 0x51;
    read.address = 0x02850000;
    read.payload = {0x00, 0x00, 0x85, 0x02};
    read.answered = true;
    const std::vector<LogEntry> log{purge, purge, sync, read};
    EXPECT_EQ(kpdsim::sequenceOf(log), (Lines{"purge rx", "sync", "read 85 mod 02"}));

    const kpdsim::Sequence same = kpdsim::Sequence().purgeReceive().purgeReceive().sync().read(0x85, 2);
    EXPECT_EQ(same.lines(), (Lines{"purge rx", "sync", "read 85 mod 02"}));
    EXPECT_EQ(kpdsim::mismatch(log, same), "");

    const std::string message = kpdsim::mismatch(log, kpdsim::Sequence().purgeReceive().sync().read(0x85));
    EXPECT_NE(message.find("differs at line 2: expected \"read 85\", logged \"read 85 mod 02\""),
              std::string::npos)
        << message;
    const std::string shorter = kpdsim::mismatch(log, kpdsim::Sequence().purgeReceive().sync());
    EXPECT_NE(shorter.find("expected nothing more"), std::string::npos) << shorter;

    EXPECT_EQ(kpdsim::Sequence().write(0x10020054).stopBurst(13, true).stream(0x65, {0x85, 0x86}).lines(),
              (Lines{"write 02 0054 mod 10", "stop burst 13 (ended stream)", "stream 65 [85 86]"}));
    EXPECT_EQ(kpdsim::Sequence().purgeReceive().then(kpdsim::Sequence().purgeReceive().sync()).lines(),
              (Lines{"purge rx", "sync"}));
}

TEST(RequestLogFormat, DescribesEachKindOnOneLine) {
    using kpdsim::LogEntry;
    using kpdsim::LogKind;
    const auto request = [](uint8_t command, std::vector<uint8_t> payload, bool answered = true) {
        LogEntry e;
        e.kind = LogKind::Request;
        e.command = command;
        if (payload.size() == 4)
            e.address = uint32_t{payload[0]} | uint32_t{payload[1]} << 8 | uint32_t{payload[2]} << 16 |
                        uint32_t{payload[3]} << 24;
        e.payload = std::move(payload);
        e.answered = answered;
        return e;
    };
    EXPECT_EQ(kpdsim::describe(request(0x51, {0x00, 0x00, 0x92, 0x00})), "read 92");
    EXPECT_EQ(kpdsim::describe(request(0x51, {0x00, 0x00, 0x86, 0x02})), "read 86 mod 02");
    EXPECT_EQ(kpdsim::describe(request(0x50, {0x40, 0x1E, 0x80, 0x00})), "write 80 1E40");
    EXPECT_EQ(kpdsim::describe(request(0x60, {0x00, 0x00, 0x02, 0x00})), "command 60 [00 00 02 00]");
    EXPECT_EQ(kpdsim::describe(request(0x51, {0x00, 0x00, 0x92, 0x00}, false)), "read 92 (unanswered)");

    LogEntry purge;
    purge.kind = LogKind::ReceivePurge;
    EXPECT_EQ(kpdsim::describe(purge), "purge rx");
    LogEntry sync;
    sync.kind = LogKind::Sync;
    sync.answered = true;
    sync.timeNs = 1500000;
    sync.unreadBytes = 3;
    const std::string text = kpdsim::formatLog({purge, sync});
    EXPECT_NE(text.find("   0     0.000 ms  purge rx\n"), std::string::npos) << text;
    EXPECT_NE(text.find("   1     1.500 ms  sync  (3 bytes unread)\n"), std::string::npos) << text;
}

} // namespace
