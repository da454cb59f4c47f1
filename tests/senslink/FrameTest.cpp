// Frame building, checksums, reply checks and the baud table (internal pieces).
#include "Frame.h"
#include "BaudRate.h"
#include "Transaction.h"

#include <gtest/gtest.h>
#include <optional>
#include <utility>
#include <vector>

using namespace senslink;

namespace {

std::vector<uint8_t> bytesOf(const Frame &f) {
    return {f.data(), f.data() + f.size()};
}

} // namespace

TEST(Frame, RequestFramesMatchKnownExamples) {
    EXPECT_EQ(bytesOf(Frame::dword(0x51, 0x420000)),
              (std::vector<uint8_t>{0x80, 0x51, 0x04, 0x04, 0x00, 0x00, 0x42, 0x00, 0x1B, 0x01}));
    EXPECT_EQ(bytesOf(Frame::wordPair(0x51, 0x4000, 2)),
              (std::vector<uint8_t>{0x80, 0x51, 0x04, 0x04, 0x00, 0x40, 0x02, 0x00, 0x1B, 0x01}));
    EXPECT_EQ(bytesOf(Frame::wordPair(0x64, 0, 0)),
              (std::vector<uint8_t>{0x80, 0x64, 0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0xEC, 0x00}));
    const uint8_t regs[4] = {0x34, 0x32, 0x38, 0x36};
    EXPECT_EQ(bytesOf(Frame::streamStart(0x65, regs, 4)),
              (std::vector<uint8_t>{0x80, 0x65, 4, 4, 4, 4, 4, 4, 0x34, 0x32, 0x38, 0x36, 0xD1, 0x01}));
    const uint8_t data[2] = {0x25, 0xC0};
    EXPECT_EQ(bytesOf(Frame::wordPairData(0x50, 0x25C0, 2, data)),
              (std::vector<uint8_t>{0x80, 0x50, 6, 6, 0xC0, 0x25, 0x02, 0x00, 0x25, 0xC0, 0xA8, 0x02}));
}

TEST(Frame, ChecksumWrapsAtSixteenBits) {
    std::vector<uint8_t> payload(255, 0xFF);
    const Frame f = Frame::request(0x51, payload.data(), 255);
    ASSERT_EQ(f.size(), 261);
    EXPECT_EQ(f.data()[2], 0xFF);
    EXPECT_EQ(f.data()[3], 0xFF); // the length byte twice, not a 16-bit length
    EXPECT_EQ(f.data()[259], 0xD0);
    EXPECT_EQ(f.data()[260], 0x00);
    std::vector<uint8_t> big(300, 0xFF);
    EXPECT_EQ(frameChecksum(big.data(), big.size()), (300 * 255) % 65536);
    EXPECT_EQ(frameChecksum(nullptr, 0), 0);
}

TEST(Frame, EmptyRequestAndStreamLimit) {
    EXPECT_EQ(bytesOf(Frame::request(0x51, nullptr, 0)),
              (std::vector<uint8_t>{0x80, 0x51, 0, 0, 0xD1, 0x00}));
    std::vector<uint8_t> regs(72, 1);
    const Frame f = Frame::streamStart(0x65, regs.data(), 72);
    EXPECT_EQ(f.size(), 8 + 72 + 2);
}

TEST(Frame, ReplyCheckOrderAndRules) {
    std::vector<uint8_t> r{0x90, 0x51, 2, 2, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const uint16_t sum = frameChecksum(r.data(), 6);
    r[6] = static_cast<uint8_t>(sum & 0xFF);
    r[7] = static_cast<uint8_t>(sum >> 8);
    EXPECT_TRUE(checkReply(sum, r.data(), 2, 8));
    EXPECT_FALSE(checkReply(sum, r.data(), 2, 7));                            // one byte short
    EXPECT_FALSE(checkReply(static_cast<uint16_t>(sum + 1), r.data(), 2, 8)); // checksum differs
    r[0] = 0x91;
    const uint16_t sum91 = frameChecksum(r.data(), 6);
    r[6] = static_cast<uint8_t>(sum91 & 0xFF);
    r[7] = static_cast<uint8_t>(sum91 >> 8);
    EXPECT_FALSE(checkReply(sum91, r.data(), 2, 8)); // checksum right, first byte wrong
}

TEST(Frame, ValueAssembly) {
    const uint8_t d[10] = {0x01, 0x02, 0x03, 0x04, 0x05, 0, 0, 0, 0, 0};
    EXPECT_EQ(assembleValue(d, 2), 0x0201u);
    EXPECT_EQ(assembleValue(d, 4), 0x04030201u);
    EXPECT_EQ(assembleValue(d, 10), 0x04030201u);
    EXPECT_EQ(assembleValue(d, 3), 0x030201u);
    EXPECT_EQ(assembleValue(d, 1), 0x01u);
}

TEST(ReplyDecoding, ReadReplyNeedsTheWholeReplyAndLeavesDataAloneOtherwise) {
    std::vector<uint8_t> r{0x90, 0x51, 2, 2, 0x34, 0x12, 0, 0};
    const uint16_t sum = frameChecksum(r.data(), 6);
    r[6] = static_cast<uint8_t>(sum & 0xFF);
    r[7] = static_cast<uint8_t>(sum >> 8);
    uint8_t data[2] = {0xEE, 0xEE};
    EXPECT_EQ(decodeReadReply(r.data(), 8, 2, data), kOk);
    EXPECT_EQ(data[0], 0x34);
    EXPECT_EQ(data[1], 0x12);

    uint8_t untouched[2] = {0xEE, 0xEE};
    // A short reply in a buffer of exactly its length (nothing beyond it is read).
    const std::vector<uint8_t> shortReply(r.begin(), r.begin() + 7);
    EXPECT_EQ(decodeReadReply(shortReply.data(), 7, 2, untouched), kBadReply);
    EXPECT_EQ(decodeReadReply(r.data(), 8, 3, untouched), kBadReply);  // not the length asked for
    EXPECT_EQ(decodeReadReply(r.data(), 8, 0, untouched), kBadReply);  // no reply length 0
    EXPECT_EQ(decodeReadReply(r.data(), 8, 11, untouched), kBadReply); // nor longer than 10
    r[5] = 0x13;                                                       // checksum no longer holds
    EXPECT_EQ(decodeReadReply(r.data(), 8, 2, untouched), kBadReply);
    EXPECT_EQ(untouched[0], 0xEE);
    EXPECT_EQ(untouched[1], 0xEE);
}

TEST(ReplyDecoding, MarkerHuntFindsTheFirstMarkerWithinItsBound) {
    const auto huntOver = [](const std::vector<uint8_t> &bytes) {
        MarkerHunt hunt;
        for (size_t i = 0; i < bytes.size(); ++i) {
            const MarkerHunt::Step step = hunt.feed(bytes[i]);
            if (step == MarkerHunt::Step::Found) return static_cast<int>(i + 1);
            if (step == MarkerHunt::Step::GiveUp) return -static_cast<int>(i + 1);
        }
        return 0;
    };
    EXPECT_EQ(huntOver({0xFF, 0xFF}), 2);
    EXPECT_EQ(huntOver({0x12, 0xFF, 0xFF, 0x01}), 3);
    EXPECT_EQ(huntOver({0xFF, 0x00, 0xFF, 0xFF}), 4);
    EXPECT_EQ(huntOver({0xFF, 0xFF, 0xFF}), 2);
    EXPECT_EQ(huntOver({0xFF, 0x00, 0xFF}), 0); // still hunting
    std::vector<uint8_t> noise(MarkerHunt::kMaxHuntBytes, 0x00);
    noise.push_back(0xFF);
    noise.push_back(0xFF);
    EXPECT_EQ(huntOver(noise), MarkerHunt::kMaxHuntBytes + 2); // a marker right after the bound is found
    noise.insert(noise.begin(), 0x00);
    EXPECT_EQ(huntOver(noise), -(MarkerHunt::kMaxHuntBytes + 1)); // one more byte before it is one too many
}

TEST(ReplyDecoding, StreamWordsAreSignedLittleEndian) {
    const uint8_t record[6] = {0x34, 0x12, 0x00, 0x80, 0xFF, 0xFF};
    int16_t words[3] = {};
    decodeStreamWords(record, 3, words);
    EXPECT_EQ(words[0], 0x1234);
    EXPECT_EQ(words[1], -32768);
    EXPECT_EQ(words[2], -1);
}

TEST(BaudRate, CommonRatesMapToTheirTerminalSpeeds) {
    // Each rate must select the terminal speed of the same rate, and that speed must read back as it.
    const std::pair<uint32_t, speed_t> rates[] = {{1200u, B1200},   {2400u, B2400},     {4800u, B4800},
                                                  {9600u, B9600},   {19200u, B19200},   {38400u, B38400},
                                                  {57600u, B57600}, {115200u, B115200}, {230400u, B230400}};
    for (const auto &[rate, speed] : rates) {
        EXPECT_EQ(speedForBaud(rate), std::optional<speed_t>(speed)) << rate;
        EXPECT_EQ(baudForSpeed(speed), std::optional<uint32_t>(rate)) << rate;
    }
    EXPECT_FALSE(speedForBaud(0).has_value());
    EXPECT_FALSE(speedForBaud(12345).has_value());
    EXPECT_FALSE(baudForSpeed(B0).has_value());
}
