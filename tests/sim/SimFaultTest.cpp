// Fault modes and the link library's error codes they produce; bad frames; wire pacing.
#include "SimFixture.h"

#include <algorithm>
#include <chrono>

using SimFaultTest = SimFixture;

TEST_F(SimFaultTest, SilentElectronicsFailEverySyncAndComeBack) {
    sim->setSilent(true);
    ClearRxBuffer(kPort);
    EXPECT_EQ(SendSync(kPort), -1);
    EXPECT_EQ(DoSynchronize(kPort), 0);
    uint16_t v = 0;
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x200000, &v), -1);
    EXPECT_EQ(WriteRegisterVK240(kPort, 0x0C0001), -1);
    sim->setSilent(false);
    EXPECT_EQ((readReg(0x20) >> 5) & 15, 6);
}

TEST_F(SimFaultTest, CorruptChecksumsRejectReadsButNotAcknowledges) {
    sim->setCorruptChecksumFraction(1.0);
    EXPECT_EQ(readReg(0x20), -1);
    EXPECT_EQ(ReadMSPVersion(kPort), -1);
    EXPECT_TRUE(writeReg(0x0C, 0x0042));
    sim->setCorruptChecksumFraction(0.5);
    int good = 0, badReads = 0;
    for (int i = 0; i < 40; ++i) {
        const int r = readReg(0x0C);
        if (r == 0x42)
            ++good;
        else if (r == -1)
            ++badReads;
        else
            ADD_FAILURE() << "unexpected result " << r;
    }
    EXPECT_GT(good, 5);
    EXPECT_GT(badReads, 5);
}

TEST_F(SimFaultTest, DroppedBytesGiveShortReplies) {
    sim->setDropByteFraction(1.0);
    ClearRxBuffer(kPort);
    EXPECT_EQ(SendSync(kPort), -1);
    sim->setDropByteFraction(0.3);
    int failed = 0;
    for (int i = 0; i < 20; ++i) {
        ClearRxBuffer(kPort);
        if (DoSynchronize(kPort) != 1) continue;
        uint16_t v = 0;
        const int rc = ReadRegisterVK240(kPort, 0x200000, &v);
        EXPECT_TRUE(rc == 0 || rc == -1);
        if (rc == -1)
            ++failed;
        else
            EXPECT_EQ((v >> 5) & 15, 6);
    }
    EXPECT_GT(failed, 0);
}

TEST_F(SimFaultTest, NoiseBreaksTheHandshakeButNotTheStream) {
    sim->setReg(0x3E, 0x0123);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x3E, 0x3E};
    ASSERT_EQ(BeginAsyncVK240(kPort, 2, regs), 0);
    sim->setNoise(true);
    for (int i = 0; i < 10; ++i) {
        int16_t w[2] = {};
        ASSERT_EQ(ReadAsyncVK240(kPort, 2, w), 0);
        EXPECT_EQ(w[0], 0x123);
        EXPECT_EQ(w[1], 0x123);
    }
    EndAsync(kPort, 2);
    sleepMs(20);
    ClearRxBuffer(kPort);
    EXPECT_EQ(SendSync(kPort), -1); // a noise byte arrives before the answer
    sim->setNoise(false);
    ClearRxBuffer(kPort);
    EXPECT_EQ(DoSynchronize(kPort), 1);
}

TEST_F(SimFaultTest, SlowRepliesTimeOut) {
    sim->setSlowReplyMs(300);
    ClearRxBuffer(kPort);
    EXPECT_EQ(SendSync(kPort), -1); // 200 ms time-out
    sleepMs(350);
    ClearRxBuffer(kPort);
    sim->setSlowReplyMs(100);
    EXPECT_EQ(SendSync(kPort), 0); // within the 200 ms time-out
    uint16_t v = 0;
    sim->setSlowReplyMs(250);
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x1E0000, &v), -1);
    sim->setSlowReplyMs(0);
    sleepMs(300);
    EXPECT_EQ(readReg(0x1E), 4096);
}

TEST_F(SimFaultTest, StalledStreamTimesOutAndResumes) {
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x3E};
    ASSERT_EQ(BeginAsyncVK240(kPort, 1, regs), 0);
    int16_t w[1] = {};
    ASSERT_EQ(ReadAsyncVK240(kPort, 1, w), 0);
    sim->setStreamStall(true);
    sleepMs(30);
    ClearRxBuffer(kPort);
    EXPECT_EQ(ReadAsyncVK240(kPort, 1, w), -1);
    sim->setStreamStall(false);
    EXPECT_EQ(ReadAsyncVK240(kPort, 1, w), 0);
    EndAsync(kPort, 1);
}

TEST_F(SimFaultTest, BadFramesAreNotAnswered) {
    const uint8_t badSum[] = {0x80, 0x51, 0x04, 0x04, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00};
    const uint8_t badLen[] = {0x80, 0x51, 0x04, 0x05, 0x00, 0x00, 0x20, 0x00, 0xFA, 0x00};
    const uint8_t unknown[] = {0x80, 0x3F, 0x00, 0x00, 0xBF, 0x00};
    for (const auto &f :
         {std::vector<uint8_t>(badSum, badSum + 10), std::vector<uint8_t>(badLen, badLen + 10),
          std::vector<uint8_t>(unknown, unknown + 6)}) {
        ClearRxBuffer(kPort);
        ASSERT_EQ(DoSynchronize(kPort), 1);
        const uint64_t bad = sim->badFrames();
        ASSERT_EQ(WriteRs232Data(kPort, int(f.size()), f.data()), int(f.size()));
        uint8_t buf[8];
        int got = -1;
        EXPECT_EQ(ReadRs232Data(kPort, 1, buf, &got), -1);
        EXPECT_EQ(got, 0);
        EXPECT_EQ(sim->badFrames(), bad + 1);
    }
}

TEST_F(SimFaultTest, FrameStartIsNeverTakenForASync) {
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint64_t syncs = sim->syncsAnswered();
    for (int i = 0; i < 20; ++i) {
        uint16_t v = 0;
        ASSERT_EQ(ReadRegisterVK240(kPort, 0x1E0000, &v), 0);
        EXPECT_EQ(v, 4096);
    }
    EXPECT_EQ(sim->syncsAnswered(), syncs);
    EXPECT_EQ(sim->badFrames(), 0u);
}

TEST_F(SimFaultTest, SoftwareResetRestoresPowerOnValuesAfterASilentSecond) {
    EXPECT_TRUE(writeReg(0x0C, 0x5555));
    sim->setPosition(9000);
    const uint32_t cycles = sim->powerOnCycles();
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    ASSERT_EQ(SoftwareSystemReset(kPort), 0);
    ClearRxBuffer(kPort);
    EXPECT_EQ(SendSync(kPort), -1); // restarting
    sleepMs(1100);
    EXPECT_EQ(readReg(0x0C), 0x0040);
    EXPECT_EQ(readReg(0x85), 0);
    EXPECT_EQ(readReg(0x86), 0);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(ReadPowerOnCycles(kPort), int(cycles + 1));
    EXPECT_EQ(sim->resets(), 1u);
}

class SimPacedTest : public SimFixture {
protected:
    kpdsim::SimOptions options() override {
        kpdsim::SimOptions o;
        o.speed = 0;
        return o; // paced
    }
};

TEST_F(SimPacedTest, StreamRecordsComeAtTheWireRate) {
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x34, 0x32, 0x38, 0x36};
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    int16_t w[4];
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    const auto t0 = std::chrono::steady_clock::now();
    const int n = 350;
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double wire = n * 10 * 11.0 / 38400.0;
    EXPECT_NEAR(s / wire, 1.0, 0.02);
    EndAsync(kPort, 4);
}

TEST_F(SimPacedTest, RepliesNeverBeatTheWire) {
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    // Each sync and read: no reply before its bytes could have crossed the line, and (in the fastest of
    // them, which a busy machine leaves alone) not much after either.
    const double wire = (2 + 10 + 8) * 11.0 / 38400.0;
    double fastest = 1e9;
    for (int i = 0; i < 40; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        ASSERT_EQ(SendSync(kPort), 0);
        uint16_t v = 0;
        ASSERT_EQ(ReadRegisterVK240(kPort, 0x1E0000, &v), 0);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        EXPECT_GE(s / wire, 0.995) << "read " << i;
        fastest = std::min(fastest, s);
    }
    EXPECT_LT(fastest / wire, 1.25);
}

TEST_F(SimPacedTest, LatencyIsAddedToEveryTurnaround) {
    sim->setLatencyMs(20);
    ClearRxBuffer(kPort);
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(SendSync(kPort), 0);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(s, 5 * 0.020);
}
