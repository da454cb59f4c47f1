// ComData link operations against the simulated electronics: syncs per write, the information command,
// the position snapshot, settings reads and a silent link.
#include "access/RegisterMap.h"
#include "SimulatedLink.h"

#include <senslink.h>

#include <chrono>
#include <functional>

class ComDataOps : public SimulatedLink {
protected:
    void SetUp() override {
        SimulatedLink::SetUp();
        sim.setSpeed(0); // a still head, so positions can be compared
        connect();
    }
};

struct SingleCommand {
    const char *name;
    std::function<bool(ComData &)> run;
    uint16_t code;
};

class ComDataSingleCommand : public ComDataOps, public ::testing::WithParamInterface<SingleCommand> {};

TEST_P(ComDataSingleCommand, OneSyncThenTheCommandWrite) {
    const Traffic before = settledTraffic(sim);
    ASSERT_TRUE(GetParam().run(com));
    const Traffic after = settledTraffic(sim);
    EXPECT_EQ(after.syncs - before.syncs, 1u);
    EXPECT_EQ(after.requests - before.requests, 1u);
    EXPECT_EQ(sim.reg(reg::Command), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ComDataSingleCommand,
    ::testing::Values(
        SingleCommand{"CenterIndex", [](ComData &c) { return c.CenterIndex(); }, 0x0014},
        SingleCommand{"StartCalibration3", [](ComData &c) { return c.StartCalibration(3); }, 0x0340},
        SingleCommand{"StartCalibration255", [](ComData &c) { return c.StartCalibration(255); }, 0xFF40},
        SingleCommand{"StopCalibration", [](ComData &c) { return c.StopCalibration(); }, 0x0041},
        SingleCommand{"SetCalibration", [](ComData &c) { return c.SetCalibration(); }, 0x0042},
        SingleCommand{"StartAlignment", [](ComData &c) { return c.StartAlignment(); }, 0x0043},
        SingleCommand{"StopAlignment", [](ComData &c) { return c.StopAlignment(); }, 0x0044},
        SingleCommand{"DisableMainAgc", [](ComData &c) { return c.DisableMainAgc(); }, 0x0045},
        SingleCommand{"EnableMainAgc", [](ComData &c) { return c.EnableMainAgc(); }, 0x0046}),
    [](const ::testing::TestParamInfo<SingleCommand> &info) { return std::string(info.param.name); });

TEST_F(ComDataOps, StartCalibrationRefusesParametersOutsideTheDataField) {
    const Traffic before = settledTraffic(sim);
    EXPECT_FALSE(com.StartCalibration(256));
    EXPECT_FALSE(com.StartCalibration(-1));
    EXPECT_FALSE(com.StartCalibration(0x7FFFFFFF));
    EXPECT_EQ(settledTraffic(sim).bytesIn, before.bytesIn); // nothing was sent
}

TEST_F(ComDataOps, ZeroPositionSyncsBeforeEachOfItsTwoWrites) {
    sim.setPosition(50000);
    const Traffic before = settledTraffic(sim);
    ASSERT_TRUE(com.ZeroPosition());
    const Traffic after = settledTraffic(sim);
    EXPECT_EQ(after.syncs - before.syncs, 2u);
    EXPECT_EQ(after.requests - before.requests, 2u);
    EXPECT_EQ(sim.reg(reg::Command), reg::CmdZero2);
    EXPECT_EQ(sim.positionCount(), 0);
}

TEST_F(ComDataOps, SnapshotTakesBothHalvesOfThePosition) {
    sim.setPosition(123456); // above 16 bits
    Traffic before = settledTraffic(sim);
    com.SnapshotPosition();
    Traffic after = settledTraffic(sim);
    EXPECT_EQ(com.PositionSnapshot(), sim.positionCount());
    EXPECT_GT(com.PositionSnapshot(), 65535);
    EXPECT_EQ(after.syncs - before.syncs, 3u); // before Position, before PositionHigh, before the release
    EXPECT_EQ(after.requests - before.requests, 4u); // Position, PositionLow, PositionHigh, PositionRelease

    // Below the zero point the 32-bit count is negative.
    ASSERT_TRUE(com.ZeroPosition());
    sim.setPosition(123456 - 70000);
    com.SnapshotPosition();
    EXPECT_EQ(com.PositionSnapshot(), sim.positionCount());
    EXPECT_LT(com.PositionSnapshot(), -65536);
}

TEST_F(ComDataOps, ReadInfoSetsConfigBitZeroWhenClear) {
    sim.setConfig(0x0A40);
    ElectronicsInfo info;
    const Traffic before = settledTraffic(sim);
    ASSERT_TRUE(com.ReadInfo(info));
    const Traffic after = settledTraffic(sim);
    EXPECT_EQ(sim.reg(reg::Config), 0x0A41);
    EXPECT_EQ(after.syncs - before.syncs, 7u);       // one before each of the seven transactions
    EXPECT_EQ(after.requests - before.requests, 7u); // six reads and the Config write
    EXPECT_EQ(info.processorVersion, 0x0105);
    EXPECT_EQ(info.genReg0, sim.reg(reg::GenReg0));
    EXPECT_EQ(info.firmwareVersion, 0x0062);
    EXPECT_GE(info.powerOnTime, 1234);
    EXPECT_EQ(info.powerOnCycles, static_cast<int>(sim.powerOnCycles()));
}

TEST_F(ComDataOps, ReadInfoDoesNotWriteConfigWhenBitZeroIsSet) {
    sim.setConfig(0x0A41);
    ElectronicsInfo info;
    const Traffic before = settledTraffic(sim);
    ASSERT_TRUE(com.ReadInfo(info));
    const Traffic after = settledTraffic(sim);
    EXPECT_EQ(sim.reg(reg::Config), 0x0A41);
    EXPECT_EQ(after.syncs - before.syncs, 6u);
    EXPECT_EQ(after.requests - before.requests, 6u);
}

TEST_F(ComDataOps, ReadSettingsHandsBothValuesOver) {
    sim.setInterpDepth(2048);
    sim.setReg(reg::Settings, 0x0013);
    int calls = 0, interpolation = -1, settings = -1;
    com.onSettingsRead = [&](int i, int s) {
        ++calls;
        interpolation = i;
        settings = s;
    };
    const Traffic before = settledTraffic(sim);
    ASSERT_TRUE(com.ReadSettings());
    EXPECT_EQ(settledTraffic(sim).syncs - before.syncs, 2u);
    EXPECT_EQ(com.InterpolationSetting(), 2048);
    EXPECT_EQ(com.SettingsWord(), 0x0013);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(interpolation, 2048);
    EXPECT_EQ(settings, 0x0013);
    com.onSettingsRead = nullptr; // an empty hand-over is allowed
    EXPECT_TRUE(com.ReadSettings());
}

TEST_F(ComDataOps, CheckedReadAndRawWrite) {
    uint16_t value = 0;
    ASSERT_TRUE(com.ReadRegisterChecked(reg::address(reg::SensorType), value));
    EXPECT_EQ(value, 0x1723);
    ASSERT_TRUE(com.WriteRaw(reg::address(reg::IndexLowLimit, 0x1234)));
    ASSERT_TRUE(com.ReadRegisterChecked(reg::address(reg::IndexLowLimit), value));
    EXPECT_EQ(value, 0x1234);
}

TEST_F(ComDataOps, StopStreamingEndsAStream) {
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, reg::PositionStream.data()), 0);
    ASSERT_TRUE(eventually([&] { return sim.streaming(); }));
    EXPECT_TRUE(com.StopStreaming());
    EXPECT_TRUE(eventually([&] { return !sim.streaming(); }));
    EXPECT_TRUE(com.SyncLink());
}

// The Lissajous subscription delivers what the electronics' own signal stream delivers, in its order:
// the sine and cosine channels raw, then adjusted.
TEST_F(ComDataOps, LissajousStreamMatchesTheFixedSignalStream) {
    sim.setPosition(1500); // a phase where the four channel values all differ
    ClearRxBuffer(kPort);
    ASSERT_TRUE(com.SyncLink());
    ASSERT_EQ(BeginLissMode(kPort), 0);
    int16_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(ReadLissPoint(kPort, &a, &b, &c, &d), 0);
    EXPECT_TRUE(com.StopStreaming());
    const int16_t fixed[4] = {b, a, c, d}; // record words 0 and 1 arrive as b and a
    ASSERT_NE(fixed[0], fixed[1]);
    ASSERT_NE(fixed[0], fixed[2]);
    ASSERT_NE(fixed[1], fixed[3]);
    ASSERT_NE(fixed[2], fixed[3]);

    ASSERT_TRUE(com.SyncLink());
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, reg::LissajousStream.data()), 0);
    int16_t w[4] = {};
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    EXPECT_TRUE(com.StopStreaming());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w[i], fixed[i]) << "word " << i;
}

// The position subscription: the 32-bit count in words 0 (low) and 1 (high), the count / 64 in word 2 and
// the signal magnitude in word 3.
TEST_F(ComDataOps, PositionStreamCarriesCountAndMagnitude) {
    sim.setPosition(1000 + 70000); // a count above 16 bits
    const int32_t count = sim.positionCount();
    ASSERT_GT(count, 65535);
    ClearRxBuffer(kPort);
    ASSERT_TRUE(com.SyncLink());
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, reg::PositionStream.data()), 0);
    int16_t w[4] = {};
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    EXPECT_TRUE(com.StopStreaming());
    EXPECT_EQ(static_cast<uint16_t>(w[0]) + 65536 * static_cast<int32_t>(static_cast<uint16_t>(w[1])), count);
    EXPECT_EQ(static_cast<uint16_t>(w[2]), count / 64);
    EXPECT_EQ(static_cast<uint16_t>(w[3]), sim.magnitude());
}

TEST_F(ComDataOps, SoftwareResetWaitsTwoSeconds) {
    const auto start = std::chrono::steady_clock::now();
    com.SoftwareReset();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    EXPECT_TRUE(eventually([&] { return sim.resets() == 1u; }));
    EXPECT_TRUE(com.SyncLink()); // the electronics answer again after the pause
}

TEST_F(ComDataOps, SilentLinkCostsThirteenSyncAttemptsAtTheFullTimeOut) {
    sim.setSilent(true);
    const Traffic before = settledTraffic(sim);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(com.SyncLink());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(settledTraffic(sim).bytesIn - before.bytesIn, 13u);  // thirteen sync bytes and nothing else
    EXPECT_GE(elapsed, std::chrono::milliseconds(13 * 200 - 100)); // the 200 ms time-out is not lowered

    // An operation that syncs fails without sending its request; the fields keep their values.
    const int interpolation = com.InterpolationSetting();
    const Traffic mid = settledTraffic(sim);
    EXPECT_FALSE(com.ReadSettings());
    EXPECT_EQ(settledTraffic(sim).bytesIn - mid.bytesIn, 13u);
    EXPECT_EQ(com.InterpolationSetting(), interpolation);
}
