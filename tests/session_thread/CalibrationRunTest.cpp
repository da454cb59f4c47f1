// Calibration and alignment through the session against simulated electronics, with the status monitor
// running: each button's command word reaches the electronics' command register once the monitor has
// ended, monitoring resumes, and the operating-state texts and button states follow the electronics
// through a full calibration (limits, index, GOP) to " Calibration Complete", through each failure shown
// in red, and through alignment mode and back. Also run under the sanitizers.
#include "RecordingView.h"

#include "access/RegisterMap.h"
#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/CalibrationOptions.h"
#include "session/Session.h"
#include "session/StatusController.h"
#include "workers/SignalEvaluation.h"
#include "workers/StatusMonitor.h"

#include <EventLoopWait.h>
#include <SimulatorPortDir.h>
#include <kpdsim/Simulator.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

namespace cal = kpd::calibration;
using kpd::ButtonState;
using kpd::StatusView;

bool WaitFor(const std::function<bool()> &pred, int ms = 15000) {
    return kpdtest::WaitUntil(pred, ms);
}

// Keeps each status view that differs from the one before (a sample arrives every few milliseconds).
class StateRecordingView : public sessiontest::RecordingView {
public:
    void ApplyStatusView(const StatusView &v) override {
        if (!shown.empty() && shown.back() == v) return;
        shown.push_back(v);
    }
    const StatusView &Latest() const {
        static const StatusView none;
        return shown.empty() ? none : shown.back();
    }
    // The operating-state texts in the order they were shown, each change once.
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const StatusView &v : shown)
            if (t.empty() || t.back() != v.ResolutionBox) t.push_back(v.ResolutionBox);
        return t;
    }
    std::vector<StatusView> shown;
};

class CalibrationRun : public ::testing::Test {
protected:
    static constexpr int kPort = 13;

    static kpdsim::SimOptions Options() {
        kpdsim::SimOptions o;
        o.pacing = false;
        o.speed = 0.0; // the head moves only when the test moves it
        o.startPosition = o.indexAt - 500;
        return o;
    }
    void SetUp() override {
        ASSERT_TRUE(install.isValid());
        ASSERT_TRUE(sim.start(kpdtest::SimulatorPortDir(), kPort)) << sim.lastError();
        session.waitMs = [](int) {};
        session.Search();
        ASSERT_NE(session.Access(), nullptr);
        ASSERT_EQ(session.Access()->PortNumber(), kPort);
        ASSERT_TRUE(WaitFor([&] { return view.Latest().IndexBox == " Operational mode (AGC on)"; }))
            << "no live status samples";
    }
    void TearDown() override {
        if (ComData *a = session.Access()) a->StopRequest = true;
        WaitFor([&] { return !session.WorkerExists(); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ComData *a = session.Access()) a->ClosePortIfOpen();
        sim.stop();
        EXPECT_TRUE(dialogs.Questions().empty()) << "unexpected question: " << dialogs.Questions()[0].text;
    }

    // Ticks exactly the given boxes, as the window's check boxes would.
    void Tick(int mask) {
        for (int bit : {cal::kIndex, cal::kLeftLimit, cal::kRightLimit, cal::kGop})
            session.SetCalibrationOption(bit, (mask & bit) != 0);
        view.calibrationTicked = mask != 0;
    }
    // A button press; returns once its command has run and the status monitor is running again.
    void Press(int command) {
        const uint64_t before = Samples();
        session.Calibration(command);
        ASSERT_TRUE(session.Scheduler().Armed());
        ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed(); })) << "command " << command;
        ASSERT_TRUE(WaitFor([&] { return Samples() > before && session.Status().WorkerActive(); }))
            << "monitoring did not resume after command " << command;
    }
    uint64_t Samples() { return session.Status().Monitor().Stats().samples.load(); }
    bool WaitText(const std::string &text) {
        return WaitFor([&] { return view.Latest().ResolutionBox == text; });
    }
    // Waits until the window has shown a sample of operating state s.
    bool WaitShownState(int s) {
        return WaitFor([&] { return session.Status().Evaluation().LastOperatingState() == s; });
    }
    // Moves the head across the index mark, alternately from below and from above.
    void CrossIndex() {
        side_ = -side_;
        sim.setPosition(Options().indexAt + side_ * 500);
    }
    // Moves the head a little more than one GOP step, away from the nearer end of the scale.
    void Travel() {
        const int64_t p = sim.position();
        sim.setPosition(p < Options().travel / 2 ? p + 3100 : p - 3100);
    }
    uint16_t CommandRegister() { return sim.reg(reg::Command); }

    static void ExpectCalibrationMode(const StatusView &v) {
        EXPECT_EQ(v.IndexBox, " Calibration mode");
        EXPECT_TRUE(v.ResolutionBoxVisible);
        EXPECT_FALSE(v.StartCalButton.enabled);
        EXPECT_TRUE(v.StopCalButton.enabled);
        for (const ButtonState &b : {v.StartAlignButton, v.StopAlignButton}) {
            EXPECT_FALSE(b.enabled);
            EXPECT_FALSE(b.visible);
            EXPECT_FALSE(b.raisedBevel);
        }
    }
    static void ExpectSet(const StatusView &v, bool shown) {
        EXPECT_EQ(v.CalSetButton.visible, shown);
        EXPECT_EQ(v.CalSetButton.raisedBevel, shown);
    }
    static void ExpectOperatingMode(const StatusView &v, int state, bool ticked) {
        EXPECT_EQ(v.IndexBox, state == 0 ? " Operational mode (AGC on)" : " Alignment mode (AGC off)");
        EXPECT_EQ(v.ResolutionBox, "");
        EXPECT_FALSE(v.ResolutionBoxVisible);
        EXPECT_EQ(v.StartCalButton.enabled, ticked);
        EXPECT_FALSE(v.StopCalButton.enabled);
        EXPECT_EQ(v.StartAlignButton, (ButtonState{state == 0, true, true}));
        EXPECT_EQ(v.StopAlignButton, (ButtonState{state == 1, true, true}));
        ExpectSet(v, false);
    }

    QTemporaryDir install;
    kpdsim::Simulator sim{Options()};
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope{dialogs};
    StateRecordingView view;
    kpd::Session session{view, install.path().toStdString()};

private:
    int side_ = -1; // the head starts below the index mark
};

TEST_F(CalibrationRun, AllFourCalibrationsStepThroughEveryStateToCalibrationComplete) {
    ExpectOperatingMode(view.Latest(), 0, false); // no box ticked: Start Cal disabled
    Tick(cal::kAll);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().StartCalButton.enabled; }));

    Press(kpd::CmdStartCalibration);
    EXPECT_EQ(CommandRegister(), 0x1E40);
    ASSERT_TRUE(WaitText(" Move to No Limits, click SET"));
    ExpectCalibrationMode(view.Latest());
    ExpectSet(view.Latest(), true);
    EXPECT_EQ(view.Latest().ResolutionBoxFont, kpd::clLime);

    Press(kpd::CmdSetCalibration);
    EXPECT_EQ(CommandRegister(), 0x0042);
    ASSERT_TRUE(WaitText(" Move to LEFT LIMIT, click SET"));
    ExpectSet(view.Latest(), true);
    Press(kpd::CmdSetCalibration);
    ASSERT_TRUE(WaitText(" Move to RIGHT LIMIT, click SET"));
    ExpectCalibrationMode(view.Latest());
    ExpectSet(view.Latest(), true);
    Press(kpd::CmdSetCalibration);
    ASSERT_TRUE(WaitText(" Calculating Limits"));
    ExpectCalibrationMode(view.Latest());
    ExpectSet(view.Latest(), false);

    // The electronics go on to the index by themselves.
    ASSERT_TRUE(WaitText(" Move back and forth over INDEX"));
    ASSERT_TRUE(WaitShownState(7));
    ExpectCalibrationMode(view.Latest());
    ExpectSet(view.Latest(), false);
    for (int state : {8, 9, 10}) {
        CrossIndex();
        ASSERT_TRUE(WaitShownState(state));
        EXPECT_EQ(view.Latest().ResolutionBox, " Move back and forth over INDEX");
    }
    CrossIndex();
    ASSERT_TRUE(WaitText(" Move back and forth anywhere"));
    ASSERT_TRUE(WaitShownState(17));
    ExpectCalibrationMode(view.Latest());
    EXPECT_EQ(view.Latest().ResolutionBoxFont, kpd::clLime);
    for (int state : {18, 19}) {
        Travel();
        ASSERT_TRUE(WaitShownState(state));
        EXPECT_EQ(view.Latest().ResolutionBox, " Move back and forth anywhere");
    }
    Travel();
    ASSERT_TRUE(WaitText(" Calibration Complete"));
    EXPECT_EQ(sim.operatingState(), 15);
    const StatusView &done = view.Latest();
    EXPECT_EQ(done.IndexBox, " Calibration mode"); // state 15 leaves it as it was
    EXPECT_TRUE(done.ResolutionBoxVisible);
    EXPECT_EQ(done.ResolutionBoxFont, kpd::clLime);
    ExpectSet(done, false);
    EXPECT_TRUE(done.StopCalButton.enabled);

    Press(kpd::CmdStopCalibration);
    EXPECT_EQ(CommandRegister(), 0x0041);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().IndexBox == " Operational mode (AGC on)"; }));
    ExpectOperatingMode(view.Latest(), 0, true);

    const std::vector<std::string> expected{"",
                                            " Move to No Limits, click SET",
                                            " Move to LEFT LIMIT, click SET",
                                            " Move to RIGHT LIMIT, click SET",
                                            " Calculating Limits",
                                            " Move back and forth over INDEX",
                                            " Move back and forth anywhere",
                                            " Calibration Complete",
                                            ""};
    EXPECT_EQ(view.Texts(), expected);
}

TEST_F(CalibrationRun, AGopFaultIsShownInRedWhileCalibratingGop) {
    ASSERT_TRUE(sim.control("calfault 40"));
    Tick(cal::kGop);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().StartCalButton.enabled; }));
    Press(kpd::CmdStartCalibration);
    EXPECT_EQ(CommandRegister(), 0x1040);
    ASSERT_TRUE(WaitText(" Calibrating GOP, Error"));
    EXPECT_EQ(view.Latest().ResolutionBoxFont, kpd::clRed);
    ExpectCalibrationMode(view.Latest());

    Press(kpd::CmdStopCalibration);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().IndexBox == " Operational mode (AGC on)"; }));
    ExpectOperatingMode(view.Latest(), 0, true);
    EXPECT_EQ(view.Latest().ResolutionBoxFont, kpd::clLime);
}

TEST_F(CalibrationRun, AnIndexFaultEndsInRedIndexCalibrationError) {
    ASSERT_TRUE(sim.control("calfault 80"));
    Tick(cal::kIndex);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().StartCalButton.enabled; }));
    Press(kpd::CmdStartCalibration);
    EXPECT_EQ(CommandRegister(), 0x0240);
    ASSERT_TRUE(WaitText(" Move back and forth over INDEX"));
    ExpectSet(view.Latest(), false);
    for (int i = 0; i < 4; ++i)
        CrossIndex();
    ASSERT_TRUE(WaitText(" Index Calibration Error"));
    EXPECT_EQ(view.Latest().ResolutionBoxFont, kpd::clRed);
    EXPECT_EQ(view.Latest().IndexBox, " Calibration mode");
    ExpectSet(view.Latest(), false);
}

TEST_F(CalibrationRun, ALimitsFaultEndsInRedLimitsCalibrationError) {
    ASSERT_TRUE(sim.control("calfault 100"));
    Tick(cal::kLeftLimit); // only "Set Left Limit": data 0x0440
    ASSERT_TRUE(WaitFor([&] { return view.Latest().StartCalButton.enabled; }));
    Press(kpd::CmdStartCalibration);
    EXPECT_EQ(CommandRegister(), 0x0440);
    ASSERT_TRUE(WaitText(" Move to No Limits, click SET"));
    for (const char *next : {" Move to LEFT LIMIT, click SET", " Move to RIGHT LIMIT, click SET"}) {
        Press(kpd::CmdSetCalibration);
        ASSERT_TRUE(WaitText(next));
    }
    Press(kpd::CmdSetCalibration);
    ASSERT_TRUE(WaitText(" Limits Calibration Error"));
    EXPECT_EQ(view.Latest().ResolutionBoxFont, kpd::clRed);
    ExpectSet(view.Latest(), false);

    // Stop Cal returns to the operating state; the error colour goes with the next text.
    Press(kpd::CmdStopCalibration);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().IndexBox == " Operational mode (AGC on)"; }));
    ExpectOperatingMode(view.Latest(), 0, true);
    EXPECT_EQ(view.Latest().ResolutionBoxFont, kpd::clLime);
}

TEST_F(CalibrationRun, AgcOffEntersAlignmentModeAndAgcOnLeavesIt) {
    Press(kpd::CmdStartAlignment);
    EXPECT_EQ(CommandRegister(), 0x0043);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().IndexBox == " Alignment mode (AGC off)"; }));
    EXPECT_EQ(sim.operatingState(), 1);
    ExpectOperatingMode(view.Latest(), 1, false);

    // A calibration started from alignment mode returns there when stopped.
    Tick(cal::kRightLimit);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().StartCalButton.enabled; }));
    Press(kpd::CmdStartCalibration);
    EXPECT_EQ(CommandRegister(), 0x0840);
    ASSERT_TRUE(WaitText(" Move to No Limits, click SET"));
    ExpectCalibrationMode(view.Latest());
    Press(kpd::CmdStopCalibration);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().IndexBox == " Alignment mode (AGC off)"; }));
    ExpectOperatingMode(view.Latest(), 1, true);

    Press(kpd::CmdStopAlignment);
    EXPECT_EQ(CommandRegister(), 0x0044);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().IndexBox == " Operational mode (AGC on)"; }));
    EXPECT_EQ(sim.operatingState(), 0);
    ExpectOperatingMode(view.Latest(), 0, true);
}

TEST_F(CalibrationRun, StartCalSendsTheBoxesAsTheyWereWhenItWasPressed) {
    Tick(cal::kGop | cal::kIndex);
    ASSERT_TRUE(WaitFor([&] { return view.Latest().StartCalButton.enabled; }));
    session.Calibration(kpd::CmdStartCalibration);
    Tick(cal::kGop); // unticked within the 500 ms before the command runs
    ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed(); }));
    EXPECT_EQ(CommandRegister(), 0x1240);
    ASSERT_TRUE(WaitText(" Move back and forth over INDEX"));
}

} // namespace
