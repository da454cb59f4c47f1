// The fixed command set of the older electronics, its stream, the position reads and the version.
#include "LinkFixture.h"

using namespace std::chrono;

namespace {

// The payload of the single frame the peer received (bytes 4 .. end-2).
Bytes payloadOf(const Bytes &frame) {
    if (frame.size() < 6) return {};
    return Bytes(frame.begin() + 4, frame.end() - 2);
}

} // namespace

TEST_F(LinkTest, FixedReadsSendSelectorAndReturnValue) {
    device.selectors[0x4000] = 0xFFFE;
    EXPECT_EQ(ReadStatus(kPort), 0xFFFE); // full 16 bits, never negative
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x51, 0x04, 0x04, 0x00, 0x40, 0x02, 0x00, 0x1B, 0x01}));
    const std::pair<int (*)(int), uint16_t> reads[] = {{ReadVersion, 0x4100},
                                                       {ReadyAD, 0x4200},
                                                       {ReadxAD, 0x4300},
                                                       {ReadVectorMag, 0x4400},
                                                       {ReadAngle, 0x4500},
                                                       {ReadPositiveIndexWindow, 0x4900},
                                                       {ReadNegativeIndexWindow, 0x4C00},
                                                       {ReadStateFreqReg, 0x4F00},
                                                       {ReadInterpDepth, 0x5000},
                                                       {ReadIndexAngle, 0x5100},
                                                       {ReadGainX, 0x5200},
                                                       {ReadOffsetX, 0x5300},
                                                       {ReadGainY, 0x5400},
                                                       {ReadOffsetY, 0x5500},
                                                       {ReadPhase, 0x5600}};
    for (auto [fn, sel] : reads) {
        device.selectors[sel] = static_cast<uint16_t>(sel + 7);
        peer->clearReceived();
        EXPECT_EQ(fn(kPort), sel + 7) << std::hex << sel;
        EXPECT_EQ(payloadOf(peer->received()),
                  (Bytes{static_cast<uint8_t>(sel & 0xFF), static_cast<uint8_t>(sel >> 8), 2, 0}));
    }
    uint16_t v = 0;
    device.selectors[0x1200] = 0x3456;
    EXPECT_EQ(ReadRegister(kPort, 0x1200, &v), 0);
    EXPECT_EQ(v, 0x3456);
    EXPECT_EQ(ReadRegister(kPort, 0x1200, nullptr), -1);
    device.corruptChecksum = true;
    EXPECT_EQ(ReadStatus(kPort), -1);
    EXPECT_EQ(ReadStatus(99), -2);
}

TEST_F(LinkTest, ProcessorReadsUseReplyLength) {
    device.commandValues[0x60] = 0x00000123;
    device.commandValues[0x62] = 0x00ABCDEF;
    device.commandValues[0x63] = 77;
    device.commandValues[0x80] = 0x0456;
    device.commandValues[0x81] = 0xBEEF;
    device.commandValues[0x82] = 123456;
    device.commandValues[0x83] = 654321;
    EXPECT_EQ(ReadMSPVersion(kPort), 0x123);
    EXPECT_EQ(payloadOf(peer->received()), (Bytes{0, 0, 2, 0}));
    peer->clearReceived();
    EXPECT_EQ(ReadPowerOnTime(kPort), 0x00ABCDEF);
    EXPECT_EQ(payloadOf(peer->received()), (Bytes{0, 0, 4, 0}));
    EXPECT_EQ(ReadPowerOnCycles(kPort), 77);
    EXPECT_EQ(ReadMSPVersion_M(kPort), 0x0456);
    EXPECT_EQ(ReadMSPChecksum_M(kPort), 0xBEEF);
    EXPECT_EQ(ReadPowerOnTime_M(kPort), 123456);
    EXPECT_EQ(ReadPowerOnCycles_M(kPort), 654321);
    const auto chunks = peer->chunks();
    ASSERT_EQ(chunks.size(), 6u);
    const uint8_t codes[] = {0x62, 0x63, 0x80, 0x81, 0x82, 0x83};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(chunks[i][1], codes[i]);
}

TEST_F(LinkTest, EpotReadScattersBytes) {
    device.commandValues[0x91] = 0x44332211; // reply bytes 4..7 = 11 22 33 44
    uint8_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(ReadEpotValues(kPort, &a, &b, &c, &d), 0);
    EXPECT_EQ(b, 0x11);
    EXPECT_EQ(a, 0x22);
    EXPECT_EQ(d, 0x33);
    EXPECT_EQ(c, 0x44);
    EXPECT_EQ(ReadEpotValues(kPort, &a, nullptr, &c, &d), -1);
    device.corruptChecksum = true;
    a = 9;
    EXPECT_EQ(ReadEpotValues(kPort, &a, &b, &c, &d), -1);
    EXPECT_EQ(a, 9);
}

TEST_F(LinkTest, WritePayloadLayouts) {
    struct Case {
        int (*fn)(int, uint16_t);
        uint16_t v;
        uint8_t cmd;
        Bytes payload;
    };
    const Case cases[] = {
        {WriteInterpReg, 0x0123, 0x50, {0x23, 0xF1, 0x02, 0x00, 0x23, 0xF1}},
        {WriteInterpReg, 0x4567, 0x50, {0x67, 0xF5, 0x02, 0x00, 0x67, 0xF5}},
        {WriteIndexAngleReg, 0x0123, 0x50, {0x23, 0xE1, 0x02, 0x00, 0x23, 0xE1}},
        {WriteGenReg, 0x0025, 0x50, {0xC0, 0x25, 0x02, 0x00, 0x25, 0xC0}},
        {WriteGenReg, 0x7725, 0x50, {0xC0, 0x25, 0x02, 0x00, 0x25, 0xC0}},
        {WriteStateFreqReg, 0x0033, 0x50, {0xC1, 0x33, 0x02, 0x00, 0x33, 0xC1}},
        {WriteRegister, 0x1234, 0x50, {0x12, 0x34, 0x02, 0x00, 0x34, 0x12}},
        {WriteEpotValues, 0xA1B2, 0x90, {0x00, 0x00, 0x02, 0x00, 0xB2, 0xA1}},
    };
    for (const Case &c : cases) {
        peer->clearReceived();
        EXPECT_EQ(c.fn(kPort, c.v), 0);
        const Bytes sent = peer->received();
        ASSERT_EQ(sent.size(), 12u);
        EXPECT_EQ(sent[1], c.cmd);
        EXPECT_EQ(sent[2], 6);
        EXPECT_EQ(sent[3], 6);
        EXPECT_EQ(payloadOf(sent), c.payload) << std::hex << c.v;
    }
    peer->clearReceived();
    EXPECT_EQ(FlashEpot(kPort), 0);
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x92, 4, 4, 0, 0, 0, 0, 0x1A, 0x01}));
    device.ackWrites = false;
    ASSERT_EQ(ConfigPort(kPort, 50, 38400), 0);
    EXPECT_EQ(WriteGenReg(kPort, 1), -1);
    EXPECT_EQ(FlashEpot(kPort), -1);
    EXPECT_EQ(WriteRegister(99, 1), -2);
}

TEST_F(LinkTest, SoftwareResetsAreSendOnly) {
    // A reply that nobody reads stays in the buffer.
    peer->setHandler([](const Bytes &) { return Bytes{0x90}; });
    EXPECT_EQ(SoftwareSystemReset(kPort), 0);
    EXPECT_EQ(wire(10), (Bytes{0x80, 0x64, 0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0xEC, 0x00}));
    peer->clearReceived();
    EXPECT_EQ(SoftwareReset_M(kPort), 0);
    EXPECT_EQ(wire(10)[1], 0x84);
    uint8_t buf[2];
    int got = 0;
    EXPECT_EQ(ReadRs232Data(kPort, 2, buf, &got), 1);
    EXPECT_EQ(SoftwareSystemReset(99), -1);
}

TEST_F(LinkTest, LissStreamStartPointAndStop) {
    EXPECT_EQ(BeginLissMode(kPort), 0);
    EXPECT_EQ(peer->received(), (Bytes{0x80, 0x65, 4, 4, 0, 0, 0, 0, 0xED, 0x00}));
    peer->send({0x01, 0xFF, 0xFF, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0xFC, 0xFF});
    int16_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(ReadLissPoint(kPort, &a, &b, &c, &d), 0);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(d, -4);
    EXPECT_EQ(ReadLissPoint(kPort, &a, nullptr, &c, &d), -1);
    peer->send({0xFF, 0xFF, 1, 2, 3});
    EXPECT_EQ(ReadLissPoint(kPort, &a, &b, &c, &d), -1);
    EXPECT_EQ(a, 2);
    peer->clearReceived();
    EXPECT_EQ(EndLissMode(kPort), 0);
    EXPECT_EQ(wire(13), Bytes(13, 0xA5));
    EXPECT_EQ(EndLissMode(99), -1);
    device.ackWrites = false;
    ASSERT_EQ(ConfigPort(kPort, 50, 38400), 0);
    EXPECT_EQ(BeginLissMode(kPort), -1);
}

TEST_F(LinkTest, PositionAssemblyAndSignExtension) {
    device.selectors[0x0800] = 0xAB08; // only the low byte counts
    device.selectors[0x0700] = 0;
    device.selectors[0x4600] = 0;
    int32_t pos = 0;
    ASSERT_EQ(ReadPosition(kPort, &pos), 0);
    EXPECT_EQ(pos, 0x08000000);
    ASSERT_EQ(ReadShiftedPosition(kPort, &pos), 0);
    EXPECT_EQ(pos, -134217728);
    device.selectors[0x0800] = 0x0001;
    device.selectors[0x0700] = 0x0234;
    device.selectors[0x4600] = 0x0567;
    ASSERT_EQ(ReadPosition(kPort, &pos), 0);
    EXPECT_EQ(pos, 0x01234567);
    ASSERT_EQ(ReadShiftedPosition(kPort, &pos), 0);
    EXPECT_EQ(pos, 0x01234567);
    device.selectors[0x0800] = 0x00FF; // bits shifted out of 32 are lost
    device.selectors[0x0700] = 0xFFFF;
    device.selectors[0x4600] = 0xFFFF;
    ASSERT_EQ(ReadPosition(kPort, &pos), 0);
    EXPECT_EQ(pos, -1);
    const auto chunks = peer->chunks();
    ASSERT_GE(chunks.size(), 5u);
    EXPECT_EQ(chunks[1], Bytes{0x80}); // resynchronised between the reads
    EXPECT_EQ(chunks[2][5], 0x07);
    EXPECT_EQ(chunks[4][5], 0x46);
}

TEST_F(LinkTest, PositionFailuresLeaveOutputUntouched) {
    int32_t pos = 99;
    EXPECT_EQ(ReadPosition(kPort, nullptr), -1);
    device.answerSyncFrom = 0;
    EXPECT_EQ(ReadShiftedPosition(kPort, &pos), -1);
    EXPECT_EQ(pos, 99);
    device.answerSyncFrom = 1;
    device.replyFirstByte = 0x00;
    EXPECT_EQ(ReadPosition(kPort, &pos), -1);
    EXPECT_EQ(pos, 99);
}

TEST(LibraryVersion, IsSixteen) {
    EXPECT_EQ(DLLVersion(), 16);
}
