// The plot modes' acquisition through the session, against simulated electronics on a pseudo-terminal:
// live records are what the simulator sent, a record with a word above 12 bits is dropped, three failed
// reads end the worker with the link-failure question and two do not, the ring wraps, Back and View
// replay and end stopped, the files of each mode save and load back, and switching modes stops the
// stream. Also run under the sanitizers.
#include "RecordingView.h"

#include "data/RingArithmetic.h"
#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/PlotController.h"
#include "session/Session.h"
#include "workers/StreamAcquisition.h"

#include <EventLoopWait.h>
#include <SimulatorPortDir.h>
#include <kpdsim/Simulator.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using kpd::DataState;
using kpd::DisplayMode;
using platform::MessageButtons;
using platform::MessageResult;

bool WaitFor(const std::function<bool()> &pred, std::chrono::milliseconds bound = 15000ms) {
    return kpdtest::WaitUntil(pred, static_cast<int>(bound.count()));
}

int16_t Signed12(uint16_t w) {
    return static_cast<int16_t>(static_cast<int16_t>(w << 4) >> 4);
}

class Streaming : public ::testing::Test {
protected:
    static constexpr int kPort = 9;

    static kpdsim::SimOptions Options() {
        kpdsim::SimOptions o;
        o.pacing = false;
        o.speed = 3000.0;
        return o;
    }
    void SetUp() override {
        ASSERT_TRUE(install.isValid());
        ASSERT_TRUE(sim.start(kpdtest::SimulatorPortDir(), kPort)) << sim.lastError();
        session.waitMs = [](int) {};
        session.Search();
        ASSERT_NE(session.Access(), nullptr);
        ASSERT_EQ(session.Access()->PortNumber(), kPort);
    }
    void TearDown() override {
        if (ComData *a = session.Access()) a->StopRequest = true;
        WaitFor([&] { return !session.WorkerExists(); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (ComData *a = session.Access()) a->ClosePortIfOpen();
        sim.stop();
    }
    // The menu's view item of a plot mode; returns once its worker streams.
    void Enter(DisplayMode mode) {
        session.ShowPlotMode(mode, kpd::CmdShowEncoderSignal + kpd::Index(mode) - 1);
        ASSERT_TRUE(WaitFor([&] { return session.Mode() == mode && !session.Scheduler().Armed(); }));
        if (session.StateOf(mode) != DataState::Live) session.Acquire();
        ASSERT_TRUE(WaitFor([&] { return session.Plot(mode).WorkerActive(); }));
    }
    // Stop, and wait until the worker has ended (its stream stopped).
    void StopAndWait() {
        session.Stop();
        ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed() && !session.WorkerExists(); }));
    }
    int32_t Count(DisplayMode mode) { return session.Data().Control(kpd::Index(mode)).count.load(); }
    const kpd::StreamStats &Stats(DisplayMode mode) { return session.Plot(mode).Acquisition().Stats(); }

    QTemporaryDir install;
    QTemporaryDir files;
    kpdsim::Simulator sim{Options()};
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope{dialogs};
    sessiontest::RecordingView view;
    kpd::Session session{view, install.path().toStdString()};
};

TEST_F(Streaming, EncoderSignalRecordsAreTheSimulatorsCircle) {
    Enter(DisplayMode::EncoderSignal);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::EncoderSignal) >= 300; }));
    StopAndWait();
    EXPECT_EQ(session.StateOf(DisplayMode::EncoderSignal), DataState::Stopped);
    EXPECT_FALSE(sim.streaming());
    // The plot followed one live run, which ended with the worker.
    ASSERT_FALSE(view.plotRuns.empty());
    const auto &run = view.plotRuns.back().second;
    EXPECT_FALSE(run->replay);
    EXPECT_TRUE(run->ended.load());
    EXPECT_EQ(run->published.load(), static_cast<uint64_t>(Count(DisplayMode::EncoderSignal)));

    // Every record: 12-bit words, the adjusted pair on the circle of the simulator's magnitude (2.19 ADC
    // steps per unit), the raw pair off centre by the channel offsets.
    const auto &ring = session.Data().EncoderSignal();
    const double radius = 2.19 * sim.magnitude();
    const int32_t n = Count(DisplayMode::EncoderSignal);
    for (int32_t i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        for (uint16_t w : {ring.w1[k], ring.w2[k], ring.w3[k], ring.w4[k]})
            ASSERT_EQ(w & 0xF000, 0) << "record " << i;
        const double r = std::hypot(Signed12(ring.w3[k]), Signed12(ring.w4[k]));
        ASSERT_NEAR(r, radius, 3.0) << "record " << i;
        ASSERT_GT(ring.interval[k], -1e-9f);
    }
}

TEST_F(Streaming, PinnedSignalsArriveUnchangedAndABadWordIsDropped) {
    sim.setPacing(true); // at the line's pace nothing waits on the line: the records are read as sent
    // YAdc, XAdc, YAdcAdj, XAdcAdj pinned: every record is these four words.
    sim.setReg(0x34, 0x0123);
    sim.setReg(0x32, 0x0FED);
    sim.setReg(0x38, 0x0100);
    sim.setReg(0x36, 0x0F00);
    Enter(DisplayMode::EncoderSignal);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::EncoderSignal) >= 50; }));
    sim.injectBadWords(1);
    ASSERT_TRUE(WaitFor([&] { return sim.badWordsSent() == 1; }));
    const int32_t after = Count(DisplayMode::EncoderSignal);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::EncoderSignal) >= after + 50; }));
    StopAndWait();
    EXPECT_EQ(Stats(DisplayMode::EncoderSignal).discarded.load(), 1u);
    const auto &ring = session.Data().EncoderSignal();
    for (int32_t i = 0; i < Count(DisplayMode::EncoderSignal); ++i) {
        const auto k = static_cast<std::size_t>(i);
        ASSERT_EQ(ring.w1[k], 0x0123) << "record " << i;
        ASSERT_EQ(ring.w2[k], 0x0FED) << "record " << i;
        ASSERT_EQ(ring.w3[k], 0x0100) << "record " << i;
        ASSERT_EQ(ring.w4[k], 0x0F00) << "record " << i;
    }
}

TEST_F(Streaming, PositionRecordsCarryTheCounterAndTheMagnitude) {
    sim.setSpeed(0.0);
    sim.setPosition(123456);
    Enter(DisplayMode::SignalPlots);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::SignalPlots) >= 100; }));
    StopAndWait();
    const auto &ring = session.Data().PositionVelocity();
    const int32_t counter = sim.positionCount();
    for (int32_t i = 0; i < Count(DisplayMode::SignalPlots); ++i) {
        const auto k = static_cast<std::size_t>(i);
        ASSERT_EQ(ring.position[k], counter);
        ASSERT_EQ(ring.velocity[k], static_cast<float>(static_cast<int16_t>(counter >> 16)));
        ASSERT_EQ(ring.magnitude[k], sim.magnitude());
        // Records within the same millisecond get the smallest interval.
        ASSERT_GE(ring.interval[k], 0.00001f);
    }
}

TEST_F(Streaming, StrengthPointsArePolledPositionsAndStrengths) {
    sim.setSpeed(0.0);
    sim.setPosition(50000);
    Enter(DisplayMode::SignalStrength);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::SignalStrength) >= 20; }));
    StopAndWait();
    const auto &ring = session.Data().SignalStrength();
    const int32_t expected = sim.positionCount() - session.Access()->PositionOffset.load();
    const auto strength = static_cast<int32_t>(sim.reg(0x26));
    for (int32_t i = 0; i < Count(DisplayMode::SignalStrength); ++i) {
        const auto k = static_cast<std::size_t>(i);
        ASSERT_EQ(ring.a[k], expected);
        ASSERT_EQ(ring.b[k], strength);
        ASSERT_EQ(ring.c[k], 0);
    }
}

TEST_F(Streaming, ThreeFailedReadsInARowAreALinkFailure) {
    Enter(DisplayMode::SignalPlots);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::SignalPlots) >= 20; }));
    dialogs.Answer(MessageResult::No); // the question is answered: stay without electronics
    sim.setStreamStall(true);
    ASSERT_TRUE(WaitFor([&] { return !dialogs.Messages().empty(); }));
    EXPECT_EQ(Stats(DisplayMode::SignalPlots).failedReads.load(), 3u);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].buttons, MessageButtons::YesNoAll);
}

TEST_F(Streaming, TwoFailedReadsThenARecordAreNot) {
    Enter(DisplayMode::SignalPlots);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::SignalPlots) >= 20; }));
    const kpd::StreamStats &stats = Stats(DisplayMode::SignalPlots);
    sim.setStreamStall(true);
    // Each failed read waits for the port's time-out (200 ms); the third read gets a record.
    ASSERT_TRUE(WaitFor([&] { return stats.failedReads.load() >= 2; }));
    sim.setStreamStall(false);
    const int32_t before = Count(DisplayMode::SignalPlots);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::SignalPlots) >= before + 20; }));
    EXPECT_EQ(stats.failedReads.load(), 2u);
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_TRUE(session.Plot(DisplayMode::SignalPlots).WorkerActive());
}

TEST_F(Streaming, TheRingWrapsAfterItsLastSlot) {
    auto &ring = session.Data().PositionVelocity();
    ring.count.store(PositionVelocityDataSet::Capacity - 10); // as if 19990 records were recorded
    Enter(DisplayMode::SignalPlots);
    ASSERT_TRUE(WaitFor([&] { return ring.wrapped.load() && ring.count.load() >= 10; }));
    StopAndWait();
    EXPECT_TRUE(ring.wrapped.load());
    // The run's records continue across the wrap: the published count covers them all.
    const auto &run = view.plotRuns.back().second;
    EXPECT_EQ(run->firstIndex, PositionVelocityDataSet::Capacity - 10);
    EXPECT_EQ(run->published.load(), static_cast<uint64_t>(ring.count.load() + 10));
}

TEST_F(Streaming, BackThenViewReplaysAndEndsStopped) {
    Enter(DisplayMode::SignalStrength);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::SignalStrength) >= 40; }));
    StopAndWait();
    session.Back();
    ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed(); }));
    const int32_t window = session.Data().SignalStrength().reviewCount.load();
    ASSERT_GT(window, 0);
    view.plotRuns.clear();
    session.View();
    EXPECT_EQ(session.StateOf(DisplayMode::SignalStrength), DataState::Viewing);
    ASSERT_TRUE(WaitFor([&] { return !view.plotRuns.empty(); }));
    ASSERT_TRUE(WaitFor([&] {
        return session.StateOf(DisplayMode::SignalStrength) == DataState::Stopped && !session.Scheduler().Armed();
    }));
    const auto &run = view.plotRuns.back().second;
    EXPECT_TRUE(run->replay);
    EXPECT_EQ(run->replayCount, window);
    EXPECT_EQ(run->published.load(), static_cast<uint64_t>(window));
    EXPECT_EQ(view.Caption(), "Data Display Stopped");
    EXPECT_EQ(session.Data().SignalStrength().reviewCount.load(), 0);
}

TEST_F(Streaming, EachModesFileSavesAndLoadsBack) {
    for (DisplayMode mode : {DisplayMode::EncoderSignal, DisplayMode::SignalStrength, DisplayMode::SignalPlots}) {
        SCOPED_TRACE(kpd::Index(mode));
        Enter(mode);
        ASSERT_TRUE(WaitFor([&] { return Count(mode) >= 30; }));
        StopAndWait();
        const std::string file = files.filePath(QString("mode%1.dat").arg(kpd::Index(mode))).toStdString();
        dialogs.AnswerFile(file);
        session.SaveData(mode);
        ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed() && dialogs.Done(); }));
        const int32_t recorded = Count(mode);

        // Loaded into a fresh session's data: the same records, all but the oldest.
        DataSets loaded;
        int kind = -1, count = 0;
        ASSERT_TRUE(loaded.LoadDataFile(file, kind, count));
        EXPECT_EQ(kind, kpd::Index(mode));
        EXPECT_EQ(count, recorded - 1);
        const DataSets &data = session.Data();
        for (int32_t i = 0; i < count; ++i) {
            const auto k = static_cast<std::size_t>(i);
            const auto s = static_cast<std::size_t>(i + 1);
            if (mode == DisplayMode::EncoderSignal) {
                ASSERT_EQ(loaded.EncoderSignal().w1[k], data.EncoderSignal().w1[s]);
                ASSERT_EQ(loaded.EncoderSignal().w4[k], data.EncoderSignal().w4[s]);
            } else if (mode == DisplayMode::SignalStrength) {
                ASSERT_EQ(loaded.SignalStrength().a[k], data.SignalStrength().a[s]);
                ASSERT_EQ(loaded.SignalStrength().b[k], data.SignalStrength().b[s]);
            } else {
                ASSERT_EQ(loaded.PositionVelocity().position[k], data.PositionVelocity().position[s]);
            }
        }
        // Loaded through the session: the mode of the file is shown with its stored records drawn.
        session.ShowPlotMode(DisplayMode::SignalPlots == mode ? DisplayMode::EncoderSignal : DisplayMode::SignalPlots,
                             mode == DisplayMode::SignalPlots ? kpd::CmdShowEncoderSignal : kpd::CmdShowSignalPlots);
        ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed(); }));
        StopAndWait();
        view.storedPlots.clear();
        dialogs.AnswerFile(file);
        dialogs.Answer(MessageResult::Ok); // "... successfully loaded"
        session.LoadData();
        ASSERT_TRUE(WaitFor([&] { return !session.Scheduler().Armed() && dialogs.Done(); }));
        EXPECT_EQ(session.Mode(), mode);
        EXPECT_EQ(view.storedPlots, std::vector<DisplayMode>{mode});
        EXPECT_EQ(Count(mode), recorded - 1);
    }
}

TEST_F(Streaming, SwitchingModesStopsTheStream) {
    Enter(DisplayMode::EncoderSignal);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::EncoderSignal) >= 20; }));
    session.SwitchDisplayMode(DisplayMode::Status, kpd::CmdShowStatus, true);
    ASSERT_TRUE(WaitFor([&] { return session.Mode() == DisplayMode::Status && !session.Scheduler().Armed(); }));
    ASSERT_TRUE(WaitFor([&] { return view.samples.size() >= 2; })); // the status monitor polls again
    EXPECT_FALSE(sim.streaming());
    EXPECT_GE(sim.streamsStopped(), 1u);
    const uint64_t sent = sim.recordsSent();
    WaitFor([] { return false; }, 300ms);
    EXPECT_EQ(sim.recordsSent(), sent);
}

TEST_F(Streaming, ABusyUserInterfaceThreadCostsNoRecord) {
    sim.setPacing(true);
    Enter(DisplayMode::SignalPlots);
    ASSERT_TRUE(WaitFor([&] { return Count(DisplayMode::SignalPlots) >= 20; }));
    const uint64_t sentBefore = sim.recordsSent();
    const uint64_t storedBefore = Stats(DisplayMode::SignalPlots).records.load();
    std::this_thread::sleep_for(2s); // the user-interface thread does nothing for 2 s
    const uint64_t sent = sim.recordsSent() - sentBefore;
    const uint64_t stored = Stats(DisplayMode::SignalPlots).records.load() - storedBefore;
    EXPECT_GT(sent, 500u); // about 349 records a second at 38400 baud
    // A record on the line at either end of the stall is counted on one side only.
    EXPECT_NEAR(static_cast<double>(stored), static_cast<double>(sent), 2.0);
    EXPECT_EQ(Stats(DisplayMode::SignalPlots).failedReads.load(), 0u);
}

} // namespace
