// The exact requests of ComData's link operations, as the simulated electronics log them: the purges,
// handshakes, reads and writes of each operation in their order. The expected sequences are written here
// from the rules of the operations:
// - the handshake (SyncLink) is up to 13 attempts of (purge the receive buffer, one sync byte); against
//   healthy electronics the first attempt succeeds, so it shows as "purge rx", "sync";
// - an operation that sends two commands syncs again before the second;
// - the register map's address words: register in bits 16..23, data in bits 0..15, modifier in 24..31.
// Purges in a row show as one (the line may report several as one).
#include "SimulatedLink.h"
#include "access/RegisterMap.h"

#include <kpdsim/RequestLog.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

using kpdsim::Sequence;

// SyncLink against electronics that answer: one attempt.
Sequence handshake() {
    return Sequence().purgeReceive().sync();
}

// Command register write of a code.
uint32_t commandWord(uint16_t code) {
    return (uint32_t{0x80} << 16) | code;
}

class ComDataWireSequence : public SimulatedLink {
protected:
    void SetUp() override {
        SimulatedLink::SetUp();
        if (HasFatalFailure()) return;
        sim.setSpeed(0);
        connect();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(sim.purgesVisible());
        startLog();
    }
    // Starts the log afresh once the line has been quiet for a moment.
    void startLog() {
        settledTraffic(sim);
        sim.clearRequestLog();
        sim.setRequestLog(true);
    }
    // The log once nothing more arrives.
    std::vector<kpdsim::LogEntry> settledLog() {
        settledTraffic(sim);
        return sim.requestLog();
    }
    void expectSequence(const Sequence &expected) {
        const std::vector<kpdsim::LogEntry> log = settledLog();
        const std::string wire = kpdsim::mismatch(log, expected);
        EXPECT_TRUE(wire.empty()) << wire;
        for (const kpdsim::LogEntry &e : log) {
            if (e.kind != kpdsim::LogKind::Request && e.kind != kpdsim::LogKind::Sync) continue;
            EXPECT_TRUE(e.answered) << kpdsim::describe(e);
            EXPECT_EQ(e.unreadBytes, 0) << kpdsim::describe(e) << ": sent with an earlier answer unread";
        }
    }
};

TEST_F(ComDataWireSequence, ReadSettings) {
    ASSERT_TRUE(com.ReadSettings());
    expectSequence(Sequence()
                       .purgeReceive()
                       .then(handshake())
                       .read(reg::InterpDepth)
                       .then(handshake())
                       .read(reg::Settings));
}

TEST_F(ComDataWireSequence, SnapshotPosition) {
    sim.setPosition(123456);
    com.SnapshotPosition();
    expectSequence(Sequence()
                       .then(handshake())
                       .read(reg::Position)
                       .read(reg::PositionLow) // modifier 0: the snapshot is not the status monitor
                       .then(handshake())
                       .read(reg::PositionHigh)
                       .then(handshake())
                       .read(reg::PositionRelease));
    EXPECT_EQ(com.PositionSnapshot(), sim.positionCount());
}

// Output settings: the two GenReg1 writes, the second with data bit 3 cleared and modifier 0x10, each a
// WriteRaw (purge, handshake, write). Last value read 0x004C, "Active Low", "Enabled", "Index Window".
TEST_F(ComDataWireSequence, OutputSettingsDoubleWrite) {
    constexpr uint32_t first = 0x2005C;
    constexpr uint32_t second = 0x10020054;
    ASSERT_TRUE(com.WriteRaw(first));
    ASSERT_TRUE(com.WriteRaw(second));
    expectSequence(Sequence()
                       .purgeReceive()
                       .then(handshake())
                       .write(first)
                       .purgeReceive()
                       .then(handshake())
                       .write(second));
    const std::vector<kpdsim::LogEntry> log = settledLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().reg(), reg::GenReg1);
    EXPECT_EQ(log.back().modifier(), reg::ModSecondWrite);
    EXPECT_EQ(log.back().data(), 0x0054);
}

struct CommandCase {
    const char *name;
    std::function<bool(ComData &)> run;
    uint16_t data; // written to the command register
};

class ComDataCommandWire : public ComDataWireSequence, public ::testing::WithParamInterface<CommandCase> {};

// Calibration and alignment buttons: handshake, then one write of the command register.
TEST_P(ComDataCommandWire, HandshakeThenOneCommandWrite) {
    ASSERT_TRUE(GetParam().run(com));
    expectSequence(Sequence().then(handshake()).write(commandWord(GetParam().data)));
}

// Start Cal carries the selection mask in the high byte: index 0x02, left limit 0x04, right limit 0x08,
// GOP 0x10.
INSTANTIATE_TEST_SUITE_P(
    Calibration, ComDataCommandWire,
    ::testing::Values(
        CommandCase{"StartCalNothingTicked", [](ComData &c) { return c.StartCalibration(0); }, 0x0040},
        CommandCase{"StartCalLeftLimit", [](ComData &c) { return c.StartCalibration(0x04); }, 0x0440},
        CommandCase{"StartCalAllFour", [](ComData &c) { return c.StartCalibration(0x1E); }, 0x1E40},
        CommandCase{"StopCal", [](ComData &c) { return c.StopCalibration(); }, 0x0041},
        CommandCase{"Set", [](ComData &c) { return c.SetCalibration(); }, 0x0042},
        CommandCase{"AgcOff", [](ComData &c) { return c.StartAlignment(); }, 0x0043},
        CommandCase{"AgcOn", [](ComData &c) { return c.StopAlignment(); }, 0x0044},
        CommandCase{"MainAgcDisable", [](ComData &c) { return c.DisableMainAgc(); }, 0x0045},
        CommandCase{"MainAgcEnable", [](ComData &c) { return c.EnableMainAgc(); }, 0x0046}),
    [](const ::testing::TestParamInfo<CommandCase> &info) { return std::string(info.param.name); });

TEST_F(ComDataWireSequence, CenterIndexPurgesBothQueuesFirst) {
    ASSERT_TRUE(com.CenterIndex());
    expectSequence(Sequence().purgeTransmit().purgeReceive().then(handshake()).write(commandWord(0x0014)));
}

TEST_F(ComDataWireSequence, ZeroPositionHandshakesBeforeEachWrite) {
    ASSERT_TRUE(com.ZeroPosition());
    expectSequence(
        Sequence().then(handshake()).write(commandWord(0x0002)).then(handshake()).write(commandWord(0x0004)));
}

TEST_F(ComDataWireSequence, ReadInfoSetsTheConfigBitWhenItIsClear) {
    sim.setConfig(0x0000);
    ElectronicsInfo info;
    ASSERT_TRUE(com.ReadInfo(info));
    // Processor reads: word pair (selector 0, reply length).
    expectSequence(Sequence()
                       .purgeReceive()
                       .then(handshake())
                       .command(0x60, {0x00, 0x00, 0x02, 0x00})
                       .then(handshake())
                       .read(reg::GenReg0)
                       .then(handshake())
                       .command(0x62, {0x00, 0x00, 0x04, 0x00})
                       .then(handshake())
                       .command(0x63, {0x00, 0x00, 0x04, 0x00})
                       .then(handshake())
                       .read(reg::FirmwareVersion)
                       .then(handshake())
                       .read(reg::Config)
                       .then(handshake())
                       .write((uint32_t{reg::Config} << 16) | 0x0001));
}

TEST_F(ComDataWireSequence, ConnectStopsAStreamThenIdentifiesAndReadsTheSettings) {
    com.ClosePortIfOpen();
    startLog();
    connect();
    // The close-and-reopen pause and the port settings are not on the line.
    expectSequence(Sequence()
                       .stopBurst(25) // ten words: 2 x 10 + 5 bytes
                       .purgeReceive()
                       .then(handshake())
                       .command(0x60, {0x00, 0x00, 0x02, 0x00})
                       .then(handshake())
                       .read(reg::ElectronicsId)
                       .purgeReceive() // ReadSettings
                       .then(handshake())
                       .read(reg::InterpDepth)
                       .then(handshake())
                       .read(reg::Settings));
}

} // namespace
