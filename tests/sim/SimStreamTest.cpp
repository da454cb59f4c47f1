// Streaming: start, records, stop burst, the legacy signal stream and injected bad words.
#include "SimFixture.h"

#include <cstdint>

using SimStreamTest = SimFixture;

namespace {
// A record word with one of its top four bits set: never a 12-bit signal sample.
bool badWord(int16_t w) {
    return static_cast<uint16_t>(w) >= 4096;
}
} // namespace

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

TEST_F(SimStreamTest, PositionStreamHalvesBelongToOneSnapshotOnAMovingHead) {
    sim->setSpeed(2e6); // crosses 65536 boundaries many times while the records are read
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x85, 0x86, 0x40, 0x3E};
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    const int mag = sim->magnitude();
    for (int i = 0; i < 300; ++i) {
        int16_t w[4] = {};
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
        const int32_t count =
            static_cast<int32_t>(uint32_t(uint16_t(w[0])) | (uint32_t(uint16_t(w[1])) << 16));
        EXPECT_GE(count, -1000) << i; // the counter starts at 0 at position 1000
        EXPECT_LE(count, 200000) << i;
        EXPECT_EQ(uint16_t(w[2]), uint16_t(uint32_t(count >> 6) & 0xFFFF)) << i;
        EXPECT_EQ(w[3], mag) << i;
    }
    EXPECT_EQ(EndAsync(kPort, 4), 13);
}

TEST_F(SimStreamTest, BadWordGoesIntoTheNextRecordOnly) {
    sim->setReg(0x34, 0x0111);
    sim->setReg(0x32, 0x0222);
    sim->setReg(0x38, 0x0333);
    sim->setReg(0x36, 0x0444);
    sim->injectBadWords();
    EXPECT_EQ(sim->badWordsSent(), 0u); // not streaming: nothing sent yet
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x34, 0x32, 0x38, 0x36};
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    int16_t w[4] = {};
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    EXPECT_EQ(uint16_t(w[0]), 0xF111); // the first word with its top four bits set
    EXPECT_EQ(w[1], 0x222);
    EXPECT_EQ(w[2], 0x333);
    EXPECT_EQ(w[3], 0x444);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
        EXPECT_EQ(w[0], 0x111) << "record " << i + 2;
        EXPECT_EQ(w[3], 0x444) << "record " << i + 2;
    }
    EXPECT_EQ(sim->badWordsSent(), 1u);
    EXPECT_EQ(EndAsync(kPort, 4), 13);
}

TEST_F(SimStreamTest, BadWordsInjectedWhileStreamingReachTheNextRecords) {
    sim->setPosition(1000 + 100); // every word of the position stream below 4096
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x85, 0x86, 0x40, 0x3E};
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    int16_t w[4] = {};
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
        for (const int16_t v : w)
            ASSERT_FALSE(badWord(v)) << "record " << i;
    }
    sim->injectBadWords(2);
    // Records already on the line come first; the two records after them carry the bad word.
    int read = 0;
    do {
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
        ASSERT_LT(++read, 100000) << "no record with a bad word";
    } while (!badWord(w[0]));
    EXPECT_EQ(uint16_t(w[0]), 0xF000 | 100);
    EXPECT_FALSE(badWord(w[1]));
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    EXPECT_EQ(uint16_t(w[0]), 0xF000 | 100);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
        for (const int16_t v : w)
            EXPECT_FALSE(badWord(v)) << "record " << i << " after the bad ones";
    }
    EXPECT_EQ(sim->badWordsSent(), 2u);
    EXPECT_EQ(EndAsync(kPort, 4), 13);
}

TEST_F(SimStreamTest, BadWordReachesTheLegacySignalStream) {
    sim->setReg(0x34, 0x0011);
    sim->setReg(0x32, 0x0022);
    sim->injectBadWords(1);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    ASSERT_EQ(BeginLissMode(kPort), 0);
    int16_t a = 0, b = 0, c = 0, dd = 0;
    ASSERT_EQ(ReadLissPoint(kPort, &a, &b, &c, &dd), 0);
    EXPECT_EQ(uint16_t(b), 0xF011);
    EXPECT_EQ(a, 0x22);
    ASSERT_EQ(ReadLissPoint(kPort, &a, &b, &c, &dd), 0);
    EXPECT_EQ(b, 0x11);
    EXPECT_EQ(EndLissMode(kPort), 0);
    EXPECT_EQ(sim->badWordsSent(), 1u);
}

TEST_F(SimStreamTest, BadWordControlCommandCountsRecordsAndRejectsBadValues) {
    std::string err;
    for (const char *bad : {"badword 0", "badword -1", "badword x", "badword 1.5", "badword 0x3",
                            "badword 1000001", "badword 2 3", "badword 3records"}) {
        err.clear();
        EXPECT_FALSE(sim->control(bad, nullptr, &err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
    EXPECT_TRUE(sim->control("badword", nullptr, &err)) << err;
    EXPECT_TRUE(sim->control("badword 2", nullptr, &err)) << err; // adds: three records in all
    EXPECT_NE(kpdsim::Simulator::controlHelp().find("badword"), std::string::npos);
    sim->setReg(0x3E, 0x0096);
    ClearRxBuffer(kPort);
    ASSERT_EQ(DoSynchronize(kPort), 1);
    const uint8_t regs[] = {0x3E, 0x3E};
    ASSERT_EQ(BeginAsyncVK240(kPort, 2, regs), 0);
    int16_t w[2] = {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ReadAsyncVK240(kPort, 2, w), 0);
        EXPECT_EQ(uint16_t(w[0]), 0xF096) << "record " << i + 1;
        EXPECT_EQ(w[1], 0x96) << "record " << i + 1; // only the first word
    }
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(ReadAsyncVK240(kPort, 2, w), 0);
        EXPECT_EQ(w[0], 0x96) << "record " << i + 4;
    }
    EXPECT_EQ(sim->badWordsSent(), 3u);
    EXPECT_EQ(EndAsync(kPort, 2), 9);
}
