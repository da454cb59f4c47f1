// kpdctl calibrate and align against the simulator: the command words as KPD's buttons send them, the
// operating-state texts as they change, Set after a delay or after Enter on the terminal, failures shown
// in red ending in exit 1, Ctrl+C ending the calibration with Stop Cal, and the refusals.
#include "CtlFixture.h"

#include <QJsonObject>

#include <csignal>

namespace {

using ctltest::CtlFixture;
using ctltest::CtlProcess;
using ctltest::RunCtl;

class CalibrateTest : public CtlFixture {
protected:
    // The head sweeps the whole scale several times a second: the index and GOP phases pass quickly.
    static kpdsim::SimOptions Sweeping() {
        kpdsim::SimOptions o = FastOptions();
        o.speed = 400000.0;
        o.requestLog = true;
        // The unpaced status polling of a whole calibration makes tens of thousands of entries on a slow
        // (sanitizer) build; the command words at the start must stay in the log.
        o.requestLogCapacity = 2000000;
        return o;
    }
    std::vector<uint32_t> CommandWords() {
        std::vector<uint32_t> words;
        for (const kpdsim::LogEntry &e : Sim().requestLog())
            if (e.isRegisterWrite() && e.reg() == 0x80) words.push_back(e.address);
        return words;
    }
    static std::vector<std::string> Texts(const std::vector<QJsonObject> &lines) {
        std::vector<std::string> texts;
        for (const QJsonObject &o : lines)
            if (o["type"].toString() == "state") texts.push_back(o["text"].toString().toStdString());
        return texts;
    }
};

TEST_F(CalibrateTest, FullCalibrationWithSetAfterADelay) {
    // A short scale swept at a moderate speed: the index is crossed several times a second, and the GOP
    // steps stay on for some 150 ms, which a loaded machine's status polling does not miss.
    kpdsim::SimOptions o = Sweeping();
    o.speed = 60000.0;
    o.travel = 20000;
    o.indexAt = 10000;
    o.startPosition = 5000;
    StartSimulator(30, o);
    const auto r =
        RunCtl({"calibrate", "--limits", "--index", "--gop", "--set-after", "0.2", "--json", "--port", "30"});
    ASSERT_EQ(r.code, 0) << r.err << r.out;
    const std::vector<std::string> expected{
        "Operational mode (AGC on)",
        "Calibration mode: Move to No Limits, click SET",
        "Calibration mode: Move to LEFT LIMIT, click SET",
        "Calibration mode: Move to RIGHT LIMIT, click SET",
        "Calibration mode: Calculating Limits",
        "Calibration mode: Move back and forth over INDEX",
        "Calibration mode: Move back and forth anywhere",
        "Calibration mode: Calibration Complete",
        "Operational mode (AGC on)",
    };
    EXPECT_EQ(Texts(r.json), expected) << r.out;
    int sets = 0;
    for (const QJsonObject &o : r.json)
        if (o["type"].toString() == "set") ++sets;
    EXPECT_EQ(sets, 3);
    ASSERT_FALSE(r.json.empty());
    EXPECT_EQ(r.json.back()["type"].toString(), "calibrated");
    EXPECT_TRUE(r.json.back()["ok"].toBool());
    // Start Cal with all four boxes (0x1E40), three Sets, Stop Cal at the end.
    EXPECT_EQ(Sim().requestLogDropped(), 0u);
    EXPECT_EQ(CommandWords(), (std::vector<uint32_t>{0x801E40, 0x800042, 0x800042, 0x800042, 0x800041}));
    EXPECT_EQ(Sim().operatingState(), 0);
}

TEST_F(CalibrateTest, IndexErrorIsShownAndIsExitOne) {
    StartSimulator(31, Sweeping());
    Sim().setCalibrationFault(0x80);
    const auto r = RunCtl({"calibrate", "--index", "--port", "31"});
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find("Calibration mode: Index Calibration Error (error)"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("kpdctl: calibration failed: Index Calibration Error"), std::string::npos) << r.err;
    EXPECT_EQ(CommandWords(), (std::vector<uint32_t>{0x800240, 0x800041}));
    EXPECT_EQ(Sim().operatingState(), 0);
}

TEST_F(CalibrateTest, GopErrorOnTheWayFailsTheRun) {
    // The error shows while the GOP steps run; at the sweeping speed they take some 20 ms, which a loaded
    // machine's status polling can miss whole. A slower head keeps them on for about a second.
    kpdsim::SimOptions o = Sweeping();
    o.speed = 9000.0;
    StartSimulator(32, o);
    Sim().setCalibrationFault(0x40);
    const auto r = RunCtl({"calibrate", "--gop", "--json", "--port", "32"});
    EXPECT_EQ(r.code, 1) << r.out;
    bool red = false;
    for (const QJsonObject &o : r.json)
        if (o["type"].toString() == "state" && o["calibrationText"].toString() == "Calibrating GOP, Error")
            red = o["error"].toBool();
    EXPECT_TRUE(red) << r.out;
    const auto errors = ctltest::ParseJsonLines(r.err);
    ASSERT_EQ(errors.size(), 1u) << r.err;
    EXPECT_EQ(errors[0]["message"].toString(), "calibration failed: Calibrating GOP, Error");
}

TEST_F(CalibrateTest, SetAfterEnterOnTheTerminal) {
    StartSimulator(33, Sweeping());
    CtlProcess p({"calibrate", "--left-limit", "--right-limit", "--port", "33"}, CtlProcess::Mode::Terminal);
    int prompt = 0;
    for (const char *text : {"Move to No Limits", "Move to LEFT LIMIT", "Move to RIGHT LIMIT"}) {
        ASSERT_TRUE(p.WaitForOutput(text)) << p.Out();
        ASSERT_TRUE(p.WaitForOutput("Press Enter to send Set", 20000, ++prompt)) << p.Out();
        p.Type("\r");
    }
    EXPECT_EQ(p.Wait(), 0) << p.Out();
    EXPECT_NE(p.Out().find("Calibration Complete"), std::string::npos) << p.Out();
    EXPECT_EQ(CommandWords(), (std::vector<uint32_t>{0x800C40, 0x800042, 0x800042, 0x800042, 0x800041}));
}

TEST_F(CalibrateTest, SetNeededWithInputClosedFails) {
    StartSimulator(34, Sweeping());
    const auto r = RunCtl({"calibrate", "--limits", "--port", "34"}); // standard input: an empty pipe
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("standard input is closed (use --set-after S)"), std::string::npos) << r.err;
    EXPECT_EQ(CommandWords(), (std::vector<uint32_t>{0x800C40, 0x800041}));
    EXPECT_EQ(Sim().operatingState(), 0);
}

TEST_F(CalibrateTest, CtrlCEndsTheCalibrationWithStopCal) {
    StartSimulator(35, Sweeping());
    CtlProcess p({"calibrate", "--limits", "--json", "--port", "35"}, CtlProcess::Mode::Pipes, false);
    ASSERT_TRUE(p.WaitForOutput("\"type\":\"setRequest\"")) << p.Out() << p.Err();
    EXPECT_EQ(Sim().operatingState(), 3);
    p.Signal(SIGINT);
    EXPECT_EQ(p.Wait(), 1) << p.Err();
    EXPECT_NE(p.Err().find("calibration stopped (Ctrl+C)"), std::string::npos) << p.Err();
    EXPECT_EQ(Sim().operatingState(), 0);
    EXPECT_EQ(CommandWords(), (std::vector<uint32_t>{0x800C40, 0x800041}));
}

TEST_F(CalibrateTest, RefusedWhileACalibrationRuns) {
    StartSimulator(36, Sweeping());
    Sim().control("reg 92 0C00"); // operating state 3
    const auto r = RunCtl({"calibrate", "--index", "--port", "36"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("refused: the electronics are not in operational or alignment mode (state 3)"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(CommandWords().empty());
    const auto a = RunCtl({"align", "on", "--port", "36"});
    EXPECT_EQ(a.code, 1);
    EXPECT_NE(a.err.find("refused"), std::string::npos) << a.err;
    EXPECT_TRUE(CommandWords().empty());
}

TEST_F(CalibrateTest, StopSendsStopCal) {
    StartSimulator(37, Sweeping());
    // A calibration of the left limit left running.
    ASSERT_EQ(RunCtl({"write", "00800440", "--yes", "--port", "37"}).code, 0);
    ASSERT_EQ(Sim().operatingState(), 3);
    Sim().clearRequestLog();
    const auto r = RunCtl({"calibrate", "--stop", "--port", "37"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(CommandWords(), std::vector<uint32_t>{0x800041});
    EXPECT_EQ(Sim().operatingState(), 0);
    EXPECT_NE(r.out.find("Operational mode (AGC on)"), std::string::npos) << r.out;
}

TEST_F(CalibrateTest, AlignOnAndOff) {
    StartSimulator(38, Sweeping());
    const auto on = RunCtl({"align", "on", "--json", "--port", "38"});
    ASSERT_EQ(on.code, 0) << on.err;
    EXPECT_EQ(Texts(on.json),
              (std::vector<std::string>{"Operational mode (AGC on)", "Alignment mode (AGC off)"}));
    EXPECT_EQ(Sim().operatingState(), 1);
    const auto off = RunCtl({"align", "off", "--port", "38"});
    ASSERT_EQ(off.code, 0) << off.err;
    EXPECT_NE(off.out.find("Alignment mode (AGC off)\nOperational mode (AGC on)"), std::string::npos)
        << off.out;
    EXPECT_EQ(Sim().operatingState(), 0);
    EXPECT_EQ(CommandWords(), (std::vector<uint32_t>{0x800043, 0x800044}));
}

} // namespace
