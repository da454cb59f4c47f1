// Request frames, reply checks, the sync handshake and resynchronisation, through the shared library.
#include "LinkFixture.h"

using namespace std::chrono;

TEST_F(LinkTest, RegisterReadSendsExactFrameAndAssemblesValue) {
    device.registers[0x20] = 0xBEEF;
    uint16_t v = 0;
    ASSERT_EQ(ReadRegisterVK240(kPort, 0x200000, &v), 0);
    EXPECT_EQ(v, 0xBEEF);
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x51, 0x04, 0x04, 0x00, 0x00, 0x20, 0x00, 0xF9, 0x00}));
    peer->clearReceived();
    ASSERT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), 0);
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x51, 0x04, 0x04, 0x00, 0x00, 0x42, 0x00, 0x1B, 0x01}));
    ASSERT_EQ(peer->chunks().size(), 1u); // one write call per frame
}

TEST_F(LinkTest, RegisterReadOnlyWritesSixteenBitsOfTheOutParameter) {
    device.registers[0x42] = 0x1234;
    uint16_t pair[2] = {0, 0xAAAA};
    ASSERT_EQ(ReadRegisterVK240(kPort, 0x420000, &pair[0]), 0);
    EXPECT_EQ(pair[0], 0x1234);
    EXPECT_EQ(pair[1], 0xAAAA);
}

TEST_F(LinkTest, ReplyRejectionRules) {
    device.registers[0x42] = 0x5678;
    uint16_t v = 0x1111;

    device.replyFirstByte = 0x91; // checksum right, first byte wrong
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), -1);
    device.replyFirstByte = 0x90;
    EXPECT_EQ(v, 0x1111);

    device.corruptChecksum = true;
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), -1);
    device.corruptChecksum = false;
    EXPECT_EQ(v, 0x1111);

    // N+5 bytes whose checksum would match: the missing byte would be the checksum's zero high byte.
    device.registers[0x42] = 0x0000;
    device.dropLastReplyByte = true;
    ASSERT_EQ(ConfigPort(kPort, 60, 38400), 0);
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), -1);
    device.dropLastReplyByte = false;
    EXPECT_EQ(v, 0x1111);

    peer->setSilent();
    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, &v), -1);
    EXPECT_EQ(v, 0x1111);

    EXPECT_EQ(ReadRegisterVK240(kPort, 0x420000, nullptr), -1);
}

TEST_F(LinkTest, WriteTransactionNeedsTheAcknowledge) {
    EXPECT_EQ(WriteRegisterVK240(kPort, 0x800014), 0);
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x50, 0x04, 0x04, 0x14, 0x00, 0x80, 0x00, 0x6C, 0x01}));
    device.ackWrites = false;
    ASSERT_EQ(ConfigPort(kPort, 60, 38400), 0);
    EXPECT_EQ(WriteRegisterVK240(kPort, 0x800014), -1);
    peer->setHandler([](const Bytes &) { return Bytes{0x91}; });
    EXPECT_EQ(WriteRegisterVK240(kPort, 0x800014), -1);
    EXPECT_EQ(WriteRegisterVK240(99, 0x800014), -2);
}

TEST_F(LinkTest, NxraCommandsUseTheirCodes) {
    device.registers[0x33] = 0x0102;
    uint16_t v = 0;
    ASSERT_EQ(ReadRegisterNXRA(kPort, 0x330000, &v), 0);
    EXPECT_EQ(v, 0x0102);
    ASSERT_EQ(WriteRegisterNXRA(kPort, 0x330005), 0);
    const auto chunks = peer->chunks();
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0][1], 0xA4);
    EXPECT_EQ(chunks[1][1], 0xA3);
}

TEST_F(LinkTest, SendSyncResults) {
    EXPECT_EQ(SendSync(kPort), 0);
    EXPECT_EQ(peer->received(), Bytes{0x80});
    device.syncAnswer = 0x42;
    EXPECT_EQ(SendSync(kPort), -1);
    ASSERT_EQ(ConfigPort(kPort, 50, 38400), 0);
    peer->setSilent();
    EXPECT_EQ(SendSync(kPort), -1);
    EXPECT_EQ(SendSync(200), -2);
}

TEST_F(LinkTest, SynchronizeCountsAttemptsAndRestoresSettings) {
    device.answerSyncFrom = 5;
    ASSERT_EQ(ConfigPort(kPort, 321, 57600), 0);
    EXPECT_EQ(DoSynchronize(kPort), 1);
    EXPECT_EQ(device.syncsSeen.load(), 5);
    EXPECT_EQ(peer->received(), Bytes(5, 0x80));
    int t = 0, b = 0;
    ASSERT_EQ(GetPortConfig(kPort, &t, &b), 0);
    EXPECT_EQ(t, 321);
    EXPECT_EQ(b, 57600);
}

TEST_F(LinkTest, FailedSynchronizeMakesThirteenAttemptsAtFiftyMilliseconds) {
    device.answerSyncFrom = 0;
    ASSERT_EQ(ConfigPort(kPort, 400, 38400), 0);
    const auto t0 = steady_clock::now();
    EXPECT_EQ(DoSynchronize(kPort), 0);
    const auto elapsed = msSince(t0);
    EXPECT_EQ(device.syncsSeen.load(), 13);
    EXPECT_GE(elapsed, 13 * 50 * 9 / 10);
    EXPECT_LT(elapsed, 13 * 50 + 400); // far below 13 x 400 ms: the time-out was lowered
    int t = 0, b = 0;
    ASSERT_EQ(GetPortConfig(kPort, &t, &b), 0);
    EXPECT_EQ(t, 400);
    EXPECT_EQ(b, 38400);
}

TEST_F(LinkTest, SynchronizePurgesBeforeEachAttemptAndAfterTheLastFailure) {
    // Every sync gets a wrong byte followed by junk; the junk must not be taken as the next answer.
    peer->setHandler([](const Bytes &) { return Bytes{0x11, 0x90, 0x90}; });
    EXPECT_EQ(DoSynchronize(kPort), 0);
    ASSERT_EQ(ConfigPort(kPort, 50, 38400), 0);
    uint8_t b = 0;
    int got = 0;
    EXPECT_EQ(ReadRs232Data(kPort, 1, &b, &got), -1); // the final purge emptied the buffer
    EXPECT_EQ(got, 0);
}

TEST_F(LinkTest, ResyncInsideCommandsDoesNotPurgeAfterFailure) {
    peer->setHandler([](const Bytes &) { return Bytes{0x11, 0x55}; });
    EXPECT_EQ(SyncAndWrite(kPort, 1, 0x800001), 0);
    ASSERT_EQ(ConfigPort(kPort, 100, 38400), 0);
    uint8_t b = 0;
    int got = 0;
    EXPECT_EQ(ReadRs232Data(kPort, 1, &b, &got), 1);
    EXPECT_EQ(b, 0x55);
    const Bytes sent = peer->received();
    EXPECT_EQ(sent, Bytes(13, 0x80)); // the write itself was never sent
}

TEST_F(LinkTest, SyncAndWriteFamilies) {
    EXPECT_EQ(SyncAndWrite(kPort, 3, 0x12345678), 0);
    EXPECT_EQ(SyncAndWrite(kPort, -1, 0x12345678), 0);
    std::this_thread::sleep_for(milliseconds(30));
    EXPECT_TRUE(peer->received().empty());

    EXPECT_EQ(SyncAndWrite(kPort, 1, 0xAB800014), 1); // low 24 bits only
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x80, 0x50, 0x04, 0x04, 0x14, 0x00, 0x80, 0x00, 0x6C, 0x01}));
    peer->clearReceived();
    EXPECT_EQ(SyncAndWrite(kPort, 2, 0xAB800014), 1);
    EXPECT_EQ(peer->received()[2], 0xA3);
    EXPECT_EQ(peer->received()[8], 0x00);
    peer->clearReceived();
    EXPECT_EQ(SyncAndWrite(kPort, 0, 0xFFFF1234), 1); // legacy WriteRegister with the low 16 bits
    EXPECT_EQ(peer->received(),
              (Bytes{0x80, 0x80, 0x50, 0x06, 0x06, 0x12, 0x34, 0x02, 0x00, 0x34, 0x12, 0x6A, 0x01}));
}

TEST_F(LinkTest, SyncAndReadFamilies) {
    device.registers[0x42] = 0x4242;
    device.selectors[0x4100] = 0x0041;
    uint16_t v = 0;
    EXPECT_EQ(SyncAndRead(kPort, 1, 0x420000, &v), 1);
    EXPECT_EQ(v, 0x4242);
    v = 0;
    EXPECT_EQ(SyncAndRead(kPort, 2, 0x420000, &v), 1);
    EXPECT_EQ(v, 0x4242);
    EXPECT_EQ(SyncAndRead(kPort, 0, 0x77774100, &v), 1);
    EXPECT_EQ(v, 0x0041);
    peer->clearReceived();
    EXPECT_EQ(SyncAndRead(kPort, 7, 0x420000, &v), 0);
    EXPECT_EQ(SyncAndRead(kPort, 1, 0x420000, nullptr), 0);
    std::this_thread::sleep_for(milliseconds(30));
    EXPECT_TRUE(peer->received().empty());
    device.answerSyncFrom = 0;
    EXPECT_EQ(SyncAndRead(kPort, 1, 0x420000, &v), 0);
    EXPECT_EQ(peer->received(), Bytes(13, 0x80)); // no read sent after a failed resynchronisation
}
