// Commands of the status display as the electronics see them, through the session against the simulated
// electronics: the status monitor runs, the command stops it (it ends after a whole poll cycle), the
// command's requests go out, and the monitor starts again (purge, then poll cycles).
//
// Output settings (command 25): with last GenReg1 value g, w = (g AND 0x4C) OR 0x20000, OR 0x01 for
// "Active High", OR 0x82 for "Disabled", OR 0x10 for "Index Window" (else 0x20); each word is written with
// a purge, a handshake and the write, first w, then (w AND 0xFFFFF7) + 0x10000000 (bit 3 cleared,
// modifier 0x10).
// Calibration buttons: a handshake, then one write of the command register.
// The handshake is a purge and a sync byte against electronics that answer; purges in a row show as one.
#include "RecordingView.h"

#include "access/RegisterMap.h"
#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/CalibrationOptions.h"
#include "session/Session.h"

#include <SimulatorPortDir.h>
#include <kpdsim/RequestLog.h>
#include <kpdsim/Simulator.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using kpdsim::Sequence;

bool WaitFor(const std::function<bool()> &pred, std::chrono::milliseconds bound = 15000ms) {
    platform::WaitWhile([&] { return !pred(); }, bound, 2ms);
    return pred();
}

Sequence handshake() {
    return Sequence().purgeReceive().sync();
}

Sequence step(uint8_t r, uint8_t modifier = reg::ModNone) {
    return Sequence().purgeReceive().then(handshake()).read(r, modifier);
}

Sequence pollCycle() {
    return Sequence()
        .then(step(reg::AtStatus))
        .then(step(reg::Status))
        .then(step(reg::XAdc))
        .then(step(reg::YAdc))
        .then(step(reg::GenReg1))
        .then(step(reg::PositionLow, reg::ModPositionRead))
        .then(handshake())
        .read(reg::PositionHigh, reg::ModPositionRead)
        .then(handshake())
        .read(reg::PositionRelease)
        .then(step(reg::Magnitude));
}

// A write as the access object's raw write makes it: purge, handshake, write.
Sequence rawWrite(uint32_t word) {
    return Sequence().purgeReceive().then(handshake()).write(word);
}

uint32_t commandWord(uint16_t code) {
    return (uint32_t{reg::Command} << 16) | code;
}

kpdsim::SimOptions Options() {
    kpdsim::SimOptions o;
    o.pacing = false;
    o.speed = 0.0;
    return o;
}

class SessionCommandWire : public ::testing::Test {
protected:
    static constexpr int kPort = 6;
    static constexpr uint16_t kGenReg1 = 0x004C;

    void SetUp() override {
        ASSERT_TRUE(install.isValid());
        sim.setReg(reg::GenReg1, kGenReg1);
        ASSERT_TRUE(sim.start(kpdtest::SimulatorPortDir(), kPort)) << sim.lastError();
        ASSERT_TRUE(sim.purgesVisible());
        session.waitMs = [](int) {};
        session.Search();
        ASSERT_NE(session.Access(), nullptr);
        ASSERT_EQ(session.Access()->PortNumber(), kPort);
        ASSERT_TRUE(WaitFor([&] { return Count() >= 2; }));
        // Stop the monitor, start the log on a quiet line and let the monitor run again.
        StopMonitor();
        ASSERT_FALSE(session.WorkerExists());
        std::this_thread::sleep_for(50ms);
        sim.clearRequestLog();
        sim.setRequestLog(true);
        counted_ = Count();
        session.ApplyDataState();
        ASSERT_TRUE(WaitFor([&] { return Count() >= counted_ + 2; }));
    }
    void TearDown() override {
        StopMonitor();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ComData *a = session.Access()) a->ClosePortIfOpen();
        sim.stop();
    }
    // Samples stored in the status ring (the ring does not wrap in these tests).
    int32_t Count() { return session.Data().SetupStatus().count.load(); }
    void StopMonitor() {
        if (ComData *a = session.Access()) a->StopRequest = true;
        WaitFor([&] { return !session.WorkerExists(); });
    }
    // Queues the command the way its button does, and returns the expected log: the poll cycles before
    // the command, its requests, the restart of the monitor and the cycles after it.
    Sequence RunCommand(const std::function<void()> &queue, const Sequence &requests) {
        queue();
        // The monitor ends after its current cycle; the command waits for its tick.
        EXPECT_TRUE(WaitFor([&] { return !session.WorkerExists(); }));
        const int32_t before = Count() - counted_;
        EXPECT_TRUE(WaitFor([&] { return session.WorkerExists(); })); // the command ran, the monitor is back
        EXPECT_TRUE(WaitFor([&] { return Count() - counted_ >= before + 2; }));
        StopMonitor();
        const int32_t after = Count() - counted_ - before;

        Sequence expected = Sequence().purgeReceive();
        for (int32_t i = 0; i < before; ++i)
            expected.then(pollCycle());
        expected.then(requests).purgeReceive();
        for (int32_t i = 0; i < after; ++i)
            expected.then(pollCycle());
        return expected;
    }
    void ExpectLog(const Sequence &expected) {
        const std::vector<kpdsim::LogEntry> log = sim.requestLog();
        const std::string wire = kpdsim::mismatch(log, expected);
        EXPECT_TRUE(wire.empty()) << wire;
        for (const kpdsim::LogEntry &e : log) {
            if (e.kind != kpdsim::LogKind::Request && e.kind != kpdsim::LogKind::Sync) continue;
            EXPECT_TRUE(e.answered) << kpdsim::describe(e);
            EXPECT_EQ(e.unreadBytes, 0) << kpdsim::describe(e) << ": sent with an earlier answer unread";
        }
    }

    QTemporaryDir install;
    kpdsim::Simulator sim{Options()};
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope{dialogs};
    sessiontest::RecordingView view;
    kpd::Session session{view, install.path().toStdString()};
    int32_t counted_ = 0;
};

struct OutputCase {
    const char *name;
    kpd::OutputSelection choice;
    uint32_t first;
    uint32_t second;
};

class OutputSettingsWire : public SessionCommandWire, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputSettingsWire, TwoGenReg1WritesBetweenTheMonitorsCycles) {
    ASSERT_EQ(session.GenReg1Copy(), kGenReg1);
    view.outputChoice = GetParam().choice;
    const Sequence expected =
        RunCommand([&] { session.WriteOutputSettings(); },
                   Sequence().then(rawWrite(GetParam().first)).then(rawWrite(GetParam().second)));
    ExpectLog(expected);
}

// g = 0x004C: bits 2, 3 and 6 are kept in the first write; the second clears bit 3.
INSTANTIATE_TEST_SUITE_P(Command25, OutputSettingsWire,
                         ::testing::Values(OutputCase{"LowEnabledWindow", {0, 0, 0}, 0x0002005C, 0x10020054},
                                           OutputCase{"HighDisabledLsb", {1, 1, 1}, 0x000200EF, 0x100200E7},
                                           OutputCase{"LowEnabledLsb", {0, 0, 1}, 0x0002006C, 0x10020064}),
                         [](const ::testing::TestParamInfo<OutputCase> &info) {
                             return std::string(info.param.name);
                         });

struct CalibrationCase {
    const char *name;
    int command;
    int ticked; // calibration boxes ticked (their bits)
    uint16_t data;
};

class CalibrationWire : public SessionCommandWire, public ::testing::WithParamInterface<CalibrationCase> {};

TEST_P(CalibrationWire, OneCommandWriteBetweenTheMonitorsCycles) {
    for (const int bit : {kpd::calibration::kIndex, kpd::calibration::kLeftLimit,
                          kpd::calibration::kRightLimit, kpd::calibration::kGop})
        session.SetCalibrationOption(bit, (GetParam().ticked & bit) != 0);
    const Sequence expected = RunCommand([&] { session.Calibration(GetParam().command); },
                                         Sequence().then(handshake()).write(commandWord(GetParam().data)));
    ExpectLog(expected);
}

// Start Cal: 0x40 + mask x 256, the mask being the bits of the ticked boxes (index 0x02, left limit 0x04,
// right limit 0x08, GOP 0x10).
INSTANTIATE_TEST_SUITE_P(
    Buttons, CalibrationWire,
    ::testing::Values(CalibrationCase{"StartCalLeftLimit", kpd::CmdStartCalibration, 0x04, 0x0440},
                      CalibrationCase{"StartCalAllFour", kpd::CmdStartCalibration, 0x1E, 0x1E40},
                      CalibrationCase{"StartCalIndexAndGop", kpd::CmdStartCalibration, 0x12, 0x1240},
                      CalibrationCase{"StopCal", kpd::CmdStopCalibration, 0x1E, 0x0041},
                      CalibrationCase{"Set", kpd::CmdSetCalibration, 0, 0x0042},
                      CalibrationCase{"AgcOff", kpd::CmdStartAlignment, 0, 0x0043},
                      CalibrationCase{"AgcOn", kpd::CmdStopAlignment, 0, 0x0044}),
    [](const ::testing::TestParamInfo<CalibrationCase> &info) { return std::string(info.param.name); });

} // namespace
