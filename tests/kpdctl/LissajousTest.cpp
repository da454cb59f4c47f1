// kpdctl lissajous against the simulator: the quadrature errors the simulator is distorted by are what the
// fit recovers, live and from a recording; a signal standing still gives no fit.
#include "CtlFixture.h"

#include <QJsonObject>
#include <QStringList>

namespace {

using ctltest::CtlFixture;
using ctltest::RunCtl;

struct Distortion {
    double ox, oy, ratio, phase;
};

// One fit in the JSON form, with exactly its seven keys, recovering the distortion.
void ExpectRecovered(const ctltest::CtlRun &r, const Distortion &d, int records) {
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.json.size(), 1u) << r.out;
    const QJsonObject &o = r.json.front();
    EXPECT_EQ(o.keys(), (QStringList{"amplitude_ratio", "offset_x_pct", "offset_y_pct", "phase_error_deg",
                                     "radius_v", "records", "ripple_pct"}));
    EXPECT_NEAR(o["offset_x_pct"].toDouble(), d.ox, 0.5);
    EXPECT_NEAR(o["offset_y_pct"].toDouble(), d.oy, 0.5);
    EXPECT_NEAR(o["amplitude_ratio"].toDouble(), d.ratio, 0.02);
    EXPECT_NEAR(o["phase_error_deg"].toDouble(), d.phase, 1.0);
    EXPECT_NEAR(o["radius_v"].toDouble(), 0.40, 0.05);
    EXPECT_EQ(o["records"].toInt(), records);
}

TEST_F(CtlFixture, LissajousRecoversTheSimulatorsDistortionLiveAndFromARecording) {
    kpdsim::SimOptions paced;
    paced.speed = 20000.0; // about seven turns in 500 records at the line's pace
    StartSimulator(23, paced);
    const Distortion rows[] = {{2, -1.5, 1.05, 3}, {-5, 3, 0.9, -8}};
    for (const Distortion &d : rows) {
        kpdsim::Distortion set{d.ox, d.oy, d.ratio, d.phase};
        Sim().setDistortion(set);
        ExpectRecovered(RunCtl({"lissajous", "--records", "500", "--port", Port(), "--json"}), d, 500);
    }
    const std::string file = File("signal.lis");
    const auto recorded =
        RunCtl({"record", "encoder", "--seconds", "2", "-o", file, "--port", Port(), "--json"});
    ASSERT_EQ(recorded.code, 0) << recorded.err;
    ExpectRecovered(RunCtl({"lissajous", file, "--json"}), rows[1], recorded.json.front()["records"].toInt());

    Sim().setSpeed(0.0);
    const auto still = RunCtl({"lissajous", "--records", "100", "--port", Port(), "--json"});
    EXPECT_EQ(still.code, 1);
    EXPECT_TRUE(still.out.empty()) << still.out;
    const auto errors = ctltest::ParseJsonLines(still.err);
    ASSERT_EQ(errors.size(), 1u) << still.err;
    EXPECT_EQ(errors.front()["message"].toString(), "no fit: all records in one place");
}

} // namespace
