// Streaming: start, records, stop burst, and the legacy signal stream.
#include "SimFixture.h"

using SimStreamTest = SimFixture;

TEST_F(SimStreamTest, RecordsCarryTheSubscribedRegistersInOrder) {
    sim->setReg(0x34, 0x0111);
    sim->setReg(0x32, 0x0222);
    sim->setReg(0x38, 0x0333);
    sim->setReg(0x36, 0x0444);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x34, 0x32, 0x38, 0x36};
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    for (int i = 0; i < 20; ++i) {
        int16_t w[4] = {};
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
        EXPECT_EQ(w[0], 0x111);
        EXPECT_EQ(w[1], 0x222);
        EXPECT_EQ(w[2], 0x333);
        EXPECT_EQ(w[3], 0x444);
    }
    EXPECT_TRUE(sim->streaming());
    EXPECT_EQ(EndAsync(kPort, 4), 13);
    sleepMs(20);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    EXPECT_GE(ReadStatus(kPort), 0);
    EXPECT_FALSE(sim->streaming());
    EXPECT_EQ(sim->streamsStarted(), 1u);
    EXPECT_EQ(sim->streamsStopped(), 1u);
}

TEST_F(SimStreamTest, PositionStreamFollowsTheCounter) {
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x85, 0x86, 0x40, 0x3E};
    sim->setPosition(1000 + 70000);
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    int16_t w[4] = {};
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    EXPECT_EQ(uint16_t(w[0]) + 65536 * uint16_t(w[1]), 70000);
    EXPECT_EQ(uint16_t(w[2]), 70000 / 64);
    EXPECT_EQ(w[3], sim->magnitude());
    EXPECT_EQ(EndAsync(kPort, 4), 13);
}

TEST_F(SimStreamTest, CommandsAreNotAnsweredWhileStreaming) {
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x3E};
    ASSERT_EQ(BeginAsyncVK240(kPort, 1, regs), 0);
    const uint64_t answered = sim->requestsAnswered();
    uint16_t v = 0;
    ReadRegisterVK240(kPort, 0x200000, &v);
    EXPECT_EQ(sim->requestsAnswered(), answered);
    EXPECT_TRUE(sim->streaming());
    EndAsync(kPort, 1); // 7 bytes are enough
    sleepMs(20);
    ClearRxBuffer(kPort);
    EXPECT_EQ(DoSynchronize(kPort), 1);
}

TEST_F(SimStreamTest, LegacySignalStreamDeliversPoints) {
    sim->setReg(0x34, 0x0011);
    sim->setReg(0x32, 0x0022);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    ASSERT_EQ(BeginLissMode(kPort), 0);
    int16_t a = 0, b = 0, c = 0, dd = 0;
    ASSERT_EQ(ReadLissPoint(kPort, &a, &b, &c, &dd), 0);
    EXPECT_EQ(b, 0x11); // word 0 to b
    EXPECT_EQ(a, 0x22); // word 1 to a
    EXPECT_EQ(EndLissMode(kPort), 0);
    sleepMs(20);
    ClearRxBuffer(kPort);
    EXPECT_EQ(DoSynchronize(kPort), 1);
}
