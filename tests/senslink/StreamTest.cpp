// Streaming start, record assembly, stop bursts, value reads and the assembled position.
#include "LinkFixture.h"

using namespace std::chrono;

TEST_F(LinkTest, BeginAsyncSendsStreamStartFrame) {
    const uint8_t regs[4] = {0x34, 0x32, 0x38, 0x36};
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, regs), 0);
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x65, 4, 4, 4, 4, 4, 4, 0x34, 0x32, 0x38, 0x36, 0xD1, 0x01}));
    peer->clearReceived();
    ASSERT_EQ(BeginAsyncNXRA(kPort, 4, regs), 0);
    EXPECT_EQ(peer->received()[1], 0xA8);
}

TEST_F(LinkTest, BeginAsyncLimitsAndAcknowledge) {
    uint8_t regs[73] = {};
    EXPECT_EQ(BeginAsyncVK240(kPort, 73, regs), -1);
    EXPECT_EQ(BeginAsyncVK240(kPort, -1, regs), -1);
    EXPECT_EQ(BeginAsyncVK240(kPort, 4, nullptr), -1);
    EXPECT_EQ(BeginAsyncNXRA(kPort, 200, regs), -1);
    std::this_thread::sleep_for(milliseconds(30));
    EXPECT_TRUE(peer->received().empty());
    for (int i = 0; i < 72; ++i)
        regs[i] = 0xFF;
    ASSERT_EQ(BeginAsyncVK240(kPort, 72, regs), 0);
    const Bytes sent = wire(82);
    ASSERT_EQ(sent.size(), 82u);
    EXPECT_EQ(sent[2], 72);
    EXPECT_EQ(sent[7], 72);
    const uint16_t sum = checksumOf(sent, 80);
    EXPECT_EQ(sent[80], sum & 0xFF);
    EXPECT_EQ(sent[81], sum >> 8);
    device.ackWrites = false;
    ASSERT_EQ(ConfigPort(kPort, 50, 38400), 0);
    EXPECT_EQ(BeginAsyncVK240(kPort, 4, regs), -1);
    EXPECT_EQ(BeginAsyncVK240(99, 4, regs), -2);
}

TEST_F(LinkTest, StreamRecordsAfterLeadingJunkAndFalseMarker) {
    peer->send({0x12, 0xFF, 0xFF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88});
    int16_t w[4] = {};
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    EXPECT_EQ(w[0], 0x0201);
    EXPECT_EQ(w[1], 0x0403);
    EXPECT_EQ(w[2], 0x0605);
    EXPECT_EQ(w[3], int16_t(0x8807)); // signed
    EXPECT_LT(w[3], 0);

    peer->send({0xFF, 0x00, 0xFF, 0xFF, 0x10, 0x00, 0xFF, 0xFF});
    int16_t two[2] = {};
    ASSERT_EQ(ReadAsyncNXRA(kPort, 2, two), 0);
    EXPECT_EQ(two[0], 0x0010);
    EXPECT_EQ(two[1], -1); // FF FF inside a record is data, not a marker

    // Back-to-back records: nothing after a marker is lost.
    peer->send({0xFF, 0xFF, 1, 0, 2, 0, 0xFF, 0xFF, 3, 0, 4, 0});
    ASSERT_EQ(ReadAsyncVK240(kPort, 2, two), 0);
    EXPECT_EQ(two[1], 2);
    ASSERT_EQ(ReadAsyncVK240(kPort, 2, two), 0);
    EXPECT_EQ(two[0], 3);
    EXPECT_EQ(two[1], 4);
}

TEST_F(LinkTest, StreamTimeoutAndShortRecordLeaveArrayUntouched) {
    ASSERT_EQ(ConfigPort(kPort, 80, 38400), 0);
    int16_t w[4] = {7, 7, 7, 7};
    const auto t0 = steady_clock::now();
    EXPECT_EQ(ReadAsyncVK240(kPort, 4, w), -1);
    EXPECT_LT(msSince(t0), 80 + 150); // gives up after one time-out, no further waits
    peer->send({0xFF, 0xFF, 1, 2, 3});
    EXPECT_EQ(ReadAsyncVK240(kPort, 4, w), -1);
    peer->send({0x00, 0xFF});
    EXPECT_EQ(ReadAsyncVK240(kPort, 4, w), -1); // marker cut off
    for (int16_t x : w)
        EXPECT_EQ(x, 7);
}

TEST_F(LinkTest, MarkerHuntGivesUpOnEndlessJunk) {
    Bytes junk(4200, 0x11);
    const Bytes record{0xFF, 0xFF, 0x05, 0x00};
    junk.insert(junk.end(), record.begin(), record.end());
    peer->send(junk);
    int16_t w[1] = {0};
    EXPECT_EQ(ReadAsyncVK240(kPort, 1, w), -1); // no marker within the bound: not a record stream
    EXPECT_EQ(w[0], 0);
    ASSERT_EQ(ReadAsyncVK240(kPort, 1, w), 0); // nothing beyond the bound was thrown away
    EXPECT_EQ(w[0], 5);
}

TEST_F(LinkTest, StreamReadRejectsBadCounts) {
    int16_t w[80];
    peer->send({0xFF, 0xFF, 1, 2});
    EXPECT_EQ(ReadAsyncVK240(kPort, 0, w), -1);
    EXPECT_EQ(ReadAsyncVK240(kPort, -3, w), -1);
    EXPECT_EQ(ReadAsyncVK240(kPort, 73, w), -1);
    EXPECT_EQ(ReadAsyncNXRA(kPort, 1 << 30, w), -1);
    EXPECT_EQ(ReadAsyncVK240(kPort, 1, nullptr), -1);
    ASSERT_EQ(ReadAsyncVK240(kPort, 1, w), 0); // the record was left for a proper read
    EXPECT_EQ(w[0], 0x0201);
}

TEST_F(LinkTest, EndAsyncBurstLengths) {
    const std::pair<int, int> cases[] = {{4, 13},   {10, 25},   {0, 5},        {97, 199},
                                         {98, 200}, {200, 200}, {1 << 30, 200}};
    size_t total = 0;
    for (auto [n, len] : cases) {
        EXPECT_EQ(EndAsync(kPort, n), len) << n;
        total += static_cast<size_t>(len);
        const Bytes sent = wire(total);
        ASSERT_EQ(sent.size(), total) << n;
    }
    for (uint8_t b : peer->received())
        ASSERT_EQ(b, 0xA5);
    EXPECT_EQ(EndAsync(kPort, -1), -1);
    EXPECT_EQ(EndAsync(99, 4), -1);
}

TEST_F(LinkTest, ReadValueNxra) {
    device.commandValues[0xA1] = 0x00012345;
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 2), 0x2345);
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0xA1, 4, 4, 0, 0, 2, 0, 0x2B, 0x01}));
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 4), 0x00012345);
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 10), 0x00012345); // longer replies: the first four bytes
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 3), 0x00012345);  // three data bytes only, no checksum bytes
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 1), 0x45);
    peer->clearReceived();
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 11), -1);
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 0), -1);
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, -2), -1);
    EXPECT_EQ(ReadValueNXRA(kPort, 0x1A1, 2), -1);
    std::this_thread::sleep_for(milliseconds(30));
    EXPECT_TRUE(peer->received().empty());
    EXPECT_EQ(ReadValueNXRA(99, 0xA1, 2), -2);
    device.corruptChecksum = true;
    EXPECT_EQ(ReadValueNXRA(kPort, 0xA1, 2), -1);
}

TEST_F(LinkTest, ShiftedPositionVK240Assembly) {
    int32_t pos = 0;
    device.registers[0x69] = 0x0002;
    device.registers[0x68] = 0x0000;
    device.registers[0x27] = 0x0000;
    ASSERT_EQ(ReadShiftedPositionVK240(kPort, &pos), 0);
    EXPECT_EQ(pos, -536870912);
    device.registers[0x69] = 0x0001;
    device.registers[0x68] = 0x0001;
    device.registers[0x27] = 0x0010;
    ASSERT_EQ(ReadShiftedPositionVK240(kPort, &pos), 0);
    EXPECT_EQ(pos, 268439553);
    device.registers[0x69] = 0xFFFF; // only bits 0 and 1 count
    device.registers[0x68] = 0xFFFF;
    device.registers[0x27] = 0xFFFF;
    ASSERT_EQ(ReadShiftedPositionVK240(kPort, &pos), 0);
    EXPECT_EQ(pos, -1);
    device.registers[0x69] = 0x0001;
    device.registers[0x68] = 0x8000;
    device.registers[0x27] = 0x000F; // the low four bits are dropped
    ASSERT_EQ(ReadShiftedPositionVK240(kPort, &pos), 0);
    EXPECT_EQ(pos, 0x18000000);
}

TEST_F(LinkTest, ShiftedPositionVK240ReadsInOrderWithResyncs) {
    int32_t pos = 0;
    ASSERT_EQ(ReadShiftedPositionVK240(kPort, &pos), 0);
    const auto chunks = peer->chunks();
    ASSERT_EQ(chunks.size(), 5u);
    EXPECT_EQ(chunks[0][6], 0x69);
    EXPECT_EQ(chunks[1], Bytes{0x80});
    EXPECT_EQ(chunks[2][6], 0x68);
    EXPECT_EQ(chunks[3], Bytes{0x80});
    EXPECT_EQ(chunks[4][6], 0x27);
}

TEST_F(LinkTest, ShiftedPositionVK240FailuresLeaveOutputUntouched) {
    int32_t pos = 4711;
    device.answerSyncFrom = 0; // first read works, resynchronisation fails
    EXPECT_EQ(ReadShiftedPositionVK240(kPort, &pos), -1);
    EXPECT_EQ(pos, 4711);
    EXPECT_EQ(ReadShiftedPositionVK240(kPort, nullptr), -1);
    device.answerSyncFrom = 1;
    device.corruptChecksum = true;
    EXPECT_EQ(ReadShiftedPositionVK240(kPort, &pos), -1);
    EXPECT_EQ(pos, 4711);
}
