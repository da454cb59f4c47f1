// kpdctl status against the simulator: samples decoded as the status display shows them (KPD's own
// evaluation: state texts, lamps, zones for both firmware kinds, over-signal), --count, --watch ended
// with Ctrl+C, a link that fails while watching, and the units of KPD.ini.
#include "CtlFixture.h"

#include "data/Settings.h"

#include <QJsonObject>

#include <csignal>

namespace {

using ctltest::CtlFixture;
using ctltest::CtlProcess;
using ctltest::RunCtl;

constexpr uint8_t kMagnitude = 0x3E;
constexpr uint8_t kStatus = 0x42;

class StatusTest : public CtlFixture {
protected:
    static kpdsim::SimOptions Standing() {
        kpdsim::SimOptions o = FastOptions();
        o.speed = 0.0;
        return o;
    }
    QJsonObject OneSample() {
        const auto r = RunCtl({"status", "--json", "--port", Port()});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.json.size(), 1u) << r.out;
        return r.json.empty() ? QJsonObject{} : r.json.front();
    }
};

TEST_F(StatusTest, CountSamplesAsJson) {
    StartSimulator(14, Standing());
    const auto r = RunCtl({"status", "--count", "5", "--json", "--port", "14"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.json.size(), 5u) << r.out;
    for (int i = 0; i < 5; ++i) {
        const QJsonObject &s = r.json[static_cast<std::size_t>(i)];
        EXPECT_EQ(s["type"].toString(), "status");
        EXPECT_EQ(s["sample"].toInt(), i + 1);
        EXPECT_EQ(s["state"].toInt(), 0);
        EXPECT_EQ(s["stateText"].toString(), "Operational mode (AGC on)");
        EXPECT_EQ(s["calibrationText"].toString(), "");
        EXPECT_EQ(s["counts"].toInt(), Sim().positionCount()); // the head stands still
        EXPECT_EQ(s["positionText"].toString(), "0"); // the counter starts at 0 where the head stands
        EXPECT_EQ(s["units"].toString(), "counts");
        EXPECT_EQ(s["zone"].toString(), "green");
        EXPECT_FALSE(s["overSignal"].toBool());
        EXPECT_TRUE(s["leftLimit"].toBool()); // 1000 counts: inside the left limit zone
        EXPECT_FALSE(s["rightLimit"].toBool());
        EXPECT_FALSE(s["index"].toBool());
        EXPECT_NEAR(s["magnitude"].toDouble(), Sim().magnitude(), 2.0);
        // The first sample shown is the first evaluated one; then every fourth.
        EXPECT_EQ(s["evaluated"].toBool(), i % 4 == 0) << i;
        if (i > 0) {
            EXPECT_GE(s["elapsed"].toDouble(), r.json[static_cast<std::size_t>(i - 1)]["elapsed"].toDouble());
        }
    }
}

TEST_F(StatusTest, TextLineShowsWhatTheStatusDisplayShows) {
    StartSimulator(15, Standing());
    Sim().control("position 100000"); // on the index mark, away from the limits
    const auto r = RunCtl({"status", "--port", "15"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(Sim().positionCount(), 99000);
    EXPECT_NE(r.out.find("position 99,000 counts"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Operational mode (AGC on)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("index on"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("left limit off"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("right limit off"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("zone green"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("over-signal off"), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST_F(StatusTest, ZonesAndOverSignalByMagnitude) {
    StartSimulator(16, Standing()); // processor version 0x0105: the magnitude thresholds apply
    struct Case {
        uint16_t magnitude;
        const char *zone;
        bool overSignal;
    };
    for (const Case c : {Case{100, "green", false}, Case{70, "green", false}, Case{50, "yellow", false},
                         Case{44, "red", false}, Case{300, "none", true}, Case{216, "none", true}}) {
        Sim().setReg(kMagnitude, c.magnitude);
        const QJsonObject s = OneSample();
        EXPECT_EQ(s["magnitude"].toInt(), c.magnitude);
        EXPECT_EQ(s["zone"].toString().toStdString(), c.zone) << c.magnitude;
        EXPECT_EQ(s["overSignal"].toBool(), c.overSignal) << c.magnitude;
    }
}

TEST_F(StatusTest, ClassifyingFirmwareUsesTheElectronicsClass) {
    kpdsim::SimOptions o = Standing();
    o.mspVersion = 0x0536; // 1334: above 1333, the electronics classify the signal
    StartSimulator(17, o);
    // The magnitude alone says green (at most 117, so no over-signal either); the electronics' class
    // (Status bits 6 and 7) decides.
    Sim().setReg(kMagnitude, 100);
    Sim().setReg(kStatus, 0x00C0); // class yellow
    EXPECT_EQ(OneSample()["zone"].toString(), "yellow");
    Sim().setReg(kStatus, 0x0080); // class red
    EXPECT_EQ(OneSample()["zone"].toString(), "red");
    Sim().setReg(kMagnitude, 300); // class red, above 117: the red markers are hidden, no lamp
    const QJsonObject s = OneSample();
    EXPECT_EQ(s["zone"].toString(), "none");
    EXPECT_FALSE(s["overSignal"].toBool());
}

TEST_F(StatusTest, WatchEndsCleanlyOnSigint) {
    StartSimulator(18);
    CtlProcess p({"status", "--watch", "--json", "--port", "18"});
    ASSERT_TRUE(p.WaitForOutput("\"sample\":3")) << p.Out() << p.Err();
    p.Signal(SIGINT);
    EXPECT_EQ(p.Wait(), 0) << p.Err();
    EXPECT_TRUE(p.Err().empty()) << p.Err();
    const auto lines = p.JsonLines();
    ASSERT_GE(lines.size(), 3u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i]["sample"].toInt(), static_cast<int>(i) + 1);
    EXPECT_EQ(p.Out().back(), '\n') << "the last line was cut";
}

TEST_F(StatusTest, WatchEndsWhenItsReaderCloses) {
    StartSimulator(18);
    CtlProcess p({"status", "--watch", "--port", "18"});
    ASSERT_TRUE(p.WaitForOutput("Operational mode")) << p.Err();
    p.CloseOutput(); // as `kpdctl status --watch | head -1` does
    EXPECT_EQ(p.Wait(), 0) << p.Err();
    EXPECT_TRUE(p.Err().empty()) << p.Err();
}

TEST_F(StatusTest, CtrlCTypedOnTheTerminalEndsTheWatch) {
    StartSimulator(19);
    CtlProcess p({"status", "--watch", "--port", "19"}, CtlProcess::Mode::Terminal);
    ASSERT_TRUE(p.WaitForOutput("Operational mode (AGC on)")) << p.Out();
    p.Type("\x03");
    EXPECT_EQ(p.Wait(), 0) << p.Out();
    EXPECT_EQ(p.Out().find("kpdctl:"), std::string::npos) << p.Out();
}

TEST_F(StatusTest, LinkFailureWhileWatchingIsExitOne) {
    StartSimulator(20);
    CtlProcess p({"status", "--watch", "--port", "20"});
    ASSERT_TRUE(p.WaitForOutput("Operational mode")) << p.Err();
    Sim().setSilent(true);
    EXPECT_EQ(p.Wait(30000), 1) << p.Err();
    EXPECT_NE(p.Err().find("kpdctl: the electronics stopped answering on COM20 (link failure)"),
              std::string::npos)
        << p.Err();
}

TEST_F(StatusTest, PositionInTheUnitsOfKpdIni) {
    Settings s;
    s.SetDefaults();
    s.units = "cnt";
    ASSERT_TRUE(s.SaveSettings(Dir()));
    StartSimulator(21, Standing());
    Sim().control("position 123456");
    const QJsonObject j = OneSample();
    EXPECT_EQ(j["units"].toString(), "cnt");
    EXPECT_EQ(j["counts"].toInt(), 122456); // the counter started at 0 at 1000 counts
    EXPECT_EQ(j["positionText"].toString(), "122,456");
}

} // namespace
