// The soak's record check: records a recording kept must be sent records, in the order sent; leaving
// records out is allowed, changing, inventing, repeating or reordering them is not.
#include "RecordCheck.h"

#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> kRegs = {0x34, 0x32, 0x38, 0x36};

kpdsim::SentRecord Sent(uint64_t number, soak::Words w, bool damaged = false,
                        std::vector<uint8_t> regs = kRegs) {
    kpdsim::SentRecord r;
    r.number = number;
    r.registers = std::move(regs);
    r.words = {w[0], w[1], w[2], w[3]};
    r.damaged = damaged;
    return r;
}

soak::Words W(uint16_t n) {
    return {n, static_cast<uint16_t>(n + 1), static_cast<uint16_t>(n + 2), static_cast<uint16_t>(n + 3)};
}

class RecordCheckTest : public ::testing::Test {
protected:
    void SendRange(uint16_t from, uint16_t to) {
        std::vector<kpdsim::SentRecord> s;
        for (uint16_t i = from; i < to; ++i)
            s.push_back(Sent(i, W(static_cast<uint16_t>(i * 10))));
        check.AddSent(s);
    }
    soak::RecordCheck check{"test", kRegs};
};

} // namespace

TEST_F(RecordCheckTest, RecordsLeftOutPass) {
    SendRange(1, 100);
    const auto r = check.Check({W(10), W(20), W(50), W(510), W(990)});
    EXPECT_TRUE(r.ok) << r.problem;
    EXPECT_EQ(r.matched, 5u);
    EXPECT_EQ(r.excused, 0u);
}

TEST_F(RecordCheckTest, AChangedRecordFails) {
    SendRange(1, 100);
    soak::Words changed = W(30);
    changed[2] ^= 0x0100;
    const auto r = check.Check({W(10), W(20), changed, W(40)});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.problem.find("recorded record 3 of 4"), std::string::npos) << r.problem;
}

TEST_F(RecordCheckTest, AnInventedRecordFails) {
    SendRange(1, 10);
    EXPECT_FALSE(check.Check({W(10), {0x0FFF, 0x0FFF, 0x0FFF, 0x0FFF}}).ok);
}

TEST_F(RecordCheckTest, RecordsOutOfOrderOrRepeatedFail) {
    SendRange(1, 10);
    EXPECT_FALSE(check.Check({W(30), W(20)}).ok);
    soak::RecordCheck again{"again", kRegs};
    std::vector<kpdsim::SentRecord> s = {Sent(1, W(10)), Sent(2, W(20))};
    again.AddSent(s);
    const auto r = again.Check({W(10), W(10)});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.problem.find("sent earlier as #1"), std::string::npos) << r.problem;
}

TEST_F(RecordCheckTest, LaterChecksContinueAfterThePreviousMatch) {
    SendRange(1, 50);
    EXPECT_TRUE(check.Check({W(100), W(200)}).ok);
    EXPECT_FALSE(check.Check({W(150)}).ok); // sent before the last record of the previous check
    soak::RecordCheck more{"more", kRegs};
    std::vector<kpdsim::SentRecord> s = {Sent(1, W(10)), Sent(2, W(20))};
    more.AddSent(s);
    EXPECT_TRUE(more.Check({W(10)}).ok);
    s = {Sent(3, W(30))};
    more.AddSent(s); // sent after the first check
    EXPECT_TRUE(more.Check({W(20), W(30)}).ok);
}

TEST_F(RecordCheckTest, AnUnknownRecordIsExcusedOnlyNextToLineDamage) {
    std::vector<kpdsim::SentRecord> s;
    for (uint16_t i = 1; i < 40; ++i)
        s.push_back(Sent(i, W(static_cast<uint16_t>(i * 10)), i == 20));
    check.AddSent(s);
    const soak::Words garbage = {0x00FF, 0xFF12, 0x0034, 0x0056};
    const auto near = check.Check({W(170), W(180), garbage, W(210)});
    EXPECT_TRUE(near.ok) << near.problem;
    EXPECT_EQ(near.excused, 1u);
    EXPECT_EQ(near.matched, 3u);
    const auto far = check.Check({W(380), garbage});
    EXPECT_FALSE(far.ok);
}

TEST_F(RecordCheckTest, OtherStreamsAreIgnored) {
    std::vector<kpdsim::SentRecord> s = {Sent(1, W(10)), Sent(2, W(77), false, {0x85, 0x86, 0x40, 0x3E}),
                                         Sent(3, W(30))};
    check.AddSent(s);
    EXPECT_EQ(check.SentCount(), 2u);
    EXPECT_FALSE(check.Check({W(77)}).ok);
}
