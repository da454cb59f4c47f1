// A status sample decoded from the view that KPD's signal evaluation fills, and its text and JSON.
#include "kpdctl/StatusDecoding.h"

#include "workers/SignalEvaluation.h"

#include <gtest/gtest.h>

namespace {

using kpdctl::Decode;
using kpdctl::DecodedStatus;
using kpdctl::Zone;
namespace bits = kpd::status_bits;

class StatusDecodingTest : public ::testing::Test {
protected:
    DecodedStatus Sample(uint32_t word, float magnitude, bool evaluate = true) {
        evaluation.Evaluate(word, magnitude, evaluate, false, false, "1,000", "counts",
                            std::chrono::system_clock::now(), view);
        return Decode(view, word, magnitude);
    }
    kpd::SignalEvaluation evaluation;
    kpd::StatusView view;
};

TEST_F(StatusDecodingTest, OperationalSampleWithLampsAndZone) {
    const DecodedStatus d = Sample(bits::kLeftLimit | bits::kIndexSeen, 150.0f);
    EXPECT_EQ(d.state, 0);
    EXPECT_EQ(d.stateText, "Operational mode (AGC on)");
    EXPECT_EQ(d.calibrationText, "");
    EXPECT_FALSE(d.calibrationError);
    EXPECT_TRUE(d.index);
    EXPECT_TRUE(d.leftLimit);
    EXPECT_FALSE(d.rightLimit);
    EXPECT_EQ(d.zone, Zone::Green);
    EXPECT_FALSE(d.overSignal);
    EXPECT_EQ(kpdctl::StateLine(d), "Operational mode (AGC on)");
}

TEST_F(StatusDecodingTest, IndexLampHoldsAsTheDisplayHoldsIt) {
    EXPECT_TRUE(Sample(bits::kIndexSeen, 100.0f).index);
    EXPECT_TRUE(Sample(0, 100.0f, false).index); // held for the next sample
    EXPECT_FALSE(Sample(0, 100.0f, false).index);
}

TEST_F(StatusDecodingTest, ZonesOverSignalAndTheUnevaluatedSamples) {
    EXPECT_EQ(Sample(0, 50.0f).zone, Zone::Yellow);
    EXPECT_EQ(Sample(0, 100.0f, false).zone, Zone::Yellow); // the zone changes only when evaluated
    EXPECT_EQ(Sample(0, 30.0f).zone, Zone::Red);
    const DecodedStatus over = Sample(0, 431.0f);
    EXPECT_EQ(over.zone, Zone::None);
    EXPECT_TRUE(over.overSignal);
    EXPECT_TRUE(Sample(0, 100.0f).overSignal); // the lamp stays red until it is reset
}

TEST_F(StatusDecodingTest, CalibrationTextsAndErrors) {
    const DecodedStatus left = Sample(bits::WithOperatingState(0, 4), 100.0f);
    EXPECT_EQ(left.stateText, "Calibration mode");
    EXPECT_EQ(left.calibrationText, "Move to LEFT LIMIT, click SET");
    EXPECT_TRUE(left.setRequested);
    EXPECT_EQ(kpdctl::StateLine(left), "Calibration mode: Move to LEFT LIMIT, click SET");
    const DecodedStatus error = Sample(bits::WithOperatingState(bits::kIndexCalError, 15), 100.0f);
    EXPECT_EQ(error.calibrationText, "Index Calibration Error");
    EXPECT_TRUE(error.calibrationError);
    EXPECT_FALSE(error.setRequested);
    const DecodedStatus done = Sample(bits::WithOperatingState(0, 15), 100.0f);
    EXPECT_EQ(done.calibrationText, "Calibration Complete");
    EXPECT_FALSE(done.calibrationError);
}

TEST_F(StatusDecodingTest, TextAndJson) {
    DecodedStatus d = Sample(bits::kRightLimit, 150.0f);
    d.elapsed = 12.34f;
    d.counts = -1234567;
    d.position = -1234567.0;
    d.positionText = "-1,234,567";
    d.units = "counts";
    d.sample = 7;
    const std::string text = kpdctl::StatusText(d);
    EXPECT_EQ(text,
              "12.3 s  position -1,234,567 counts  Operational mode (AGC on)  index off  left limit off  "
              "right limit on  magnitude 150  zone green  over-signal off");
    const QJsonObject o = kpdctl::StatusJson(d);
    EXPECT_EQ(o["type"].toString(), "status");
    EXPECT_EQ(o["sample"].toInt(), 7);
    EXPECT_DOUBLE_EQ(o["elapsed"].toDouble(), 12.34);
    EXPECT_EQ(o["counts"].toInt(), -1234567);
    EXPECT_EQ(o["positionText"].toString(), "-1,234,567");
    EXPECT_EQ(o["statusWord"].toInteger(), bits::kRightLimit);
    EXPECT_TRUE(o["rightLimit"].toBool());
    EXPECT_EQ(o["zone"].toString(), "green");
}

} // namespace
