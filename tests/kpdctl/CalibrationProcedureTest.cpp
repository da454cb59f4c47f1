// The calibration procedure's decisions, sample by sample: texts printed once per change, one Set per
// request, the end at state 15, failures.
#include "kpdctl/CalibrationProcedure.h"

#include <gtest/gtest.h>

namespace {

using kpdctl::CalibrationProcedure;
using kpdctl::DecodedStatus;

DecodedStatus State(int state, const std::string &text, bool set = false, bool error = false) {
    DecodedStatus d;
    d.state = state;
    d.stateText = state <= 1 ? (state == 0 ? "Operational mode (AGC on)" : "Alignment mode (AGC off)")
                             : "Calibration mode";
    d.calibrationText = text;
    d.setRequested = set;
    d.calibrationError = error;
    return d;
}

TEST(CalibrationProcedureTest, LimitsRunAsksForOneSetPerState) {
    CalibrationProcedure p;
    auto s = p.OnSample(State(0, ""));
    EXPECT_TRUE(s.textChanged);
    EXPECT_FALSE(p.Started());
    EXPECT_FALSE(p.OnSample(State(0, "")).textChanged);

    s = p.OnSample(State(3, "Move to No Limits, click SET", true));
    EXPECT_TRUE(p.Started());
    EXPECT_TRUE(s.textChanged);
    EXPECT_EQ(s.text, "Calibration mode: Move to No Limits, click SET");
    EXPECT_TRUE(s.setWanted);
    EXPECT_TRUE(p.SetPending());
    EXPECT_FALSE(p.OnSample(State(3, "Move to No Limits, click SET", true)).setWanted); // still pending
    p.SetSent();
    EXPECT_FALSE(p.SetPending());
    // A sample of the same state after the Set (the electronics have not moved on yet): no new request.
    EXPECT_FALSE(p.OnSample(State(3, "Move to No Limits, click SET", true)).setWanted);
    EXPECT_TRUE(p.OnSample(State(4, "Move to LEFT LIMIT, click SET", true)).setWanted);
    p.SetSent();
    EXPECT_TRUE(p.OnSample(State(5, "Move to RIGHT LIMIT, click SET", true)).setWanted);
    p.SetSent();
    s = p.OnSample(State(6, "Calculating Limits"));
    EXPECT_FALSE(s.setWanted);
    EXPECT_FALSE(s.finished);
    s = p.OnSample(State(15, "Calibration Complete"));
    EXPECT_TRUE(s.finished);
    EXPECT_TRUE(p.Finished());
    EXPECT_FALSE(p.Failed());
    EXPECT_EQ(p.LastText(), "Calibration mode: Calibration Complete");
    EXPECT_FALSE(p.OnSample(State(0, "")).textChanged); // nothing after the end
}

TEST(CalibrationProcedureTest, ARedTextOnTheWayFailsTheRun) {
    CalibrationProcedure p;
    p.OnSample(State(0, ""));
    p.OnSample(State(17, "Calibrating GOP, Error", false, true));
    EXPECT_TRUE(p.Failed());
    EXPECT_EQ(p.Failure(), "Calibrating GOP, Error");
    const auto s = p.OnSample(State(15, "Calibration Complete"));
    EXPECT_TRUE(s.finished);
    EXPECT_TRUE(p.Failed());
}

TEST(CalibrationProcedureTest, EndWithAnError) {
    CalibrationProcedure p;
    p.OnSample(State(7, "Move back and forth over INDEX"));
    const auto s = p.OnSample(State(15, "Index Calibration Error", false, true));
    EXPECT_TRUE(s.error);
    EXPECT_TRUE(s.finished);
    EXPECT_EQ(p.Failure(), "Index Calibration Error");
}

TEST(CalibrationProcedureTest, LeavingCalibrationModeEarlyIsAFailure) {
    CalibrationProcedure p;
    p.OnSample(State(0, ""));
    p.OnSample(State(7, "Move back and forth over INDEX"));
    const auto s = p.OnSample(State(0, ""));
    EXPECT_TRUE(s.finished);
    EXPECT_TRUE(p.Failed());
    EXPECT_NE(p.Failure().find("left calibration mode"), std::string::npos);
}

TEST(CalibrationProcedureTest, OperatingStatesBeforeTheStartDoNotEndIt) {
    CalibrationProcedure p;
    EXPECT_FALSE(p.OnSample(State(1, "")).finished);
    EXPECT_FALSE(p.OnSample(State(0, "")).finished);
    EXPECT_FALSE(p.Started());
}

} // namespace
