// The plot modes of the main window against simulated electronics: what the window draws at its own pace
// is pixel for pixel what drawing each record as it arrived gives; the plot settings apply; the plot type
// choice; a loaded file is drawn.
#include "AppTestSupport.h"
#include "display/LissajousPlot.h"
#include "display/PlotCanvas.h"
#include "display/TPaintBox.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "senslink.h"
#include "session/PlotController.h"
#include "windows/PlotDisplay.h"
#include "windows/TPlotSettingsForm.h"
#include "workers/StreamAcquisition.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using kpd::DataState;
using kpd::DisplayMode;
using platform::MessageResult;
using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

bool Wait(const std::function<bool()> &pred, int ms = 15000) {
    return apptest::WaitUntil(pred, ms);
}

class PlotWindow : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        kpdsim::SimOptions o;
        o.pacing = true;
        o.speed = 3000.0;
        sim = std::make_unique<kpdsim::Simulator>(o);
        ASSERT_TRUE(sim->start(apptest::PortDir(), 3)) << sim->lastError();
        h = std::make_unique<apptest::Harness>();
        scope = std::make_unique<ScopedDialogs>(dialogs);
        form().session().Search();
        ASSERT_TRUE(form().session().Access() && form().session().Access()->PortOpen());
    }
    void TearDown() override {
        scope.reset();
        if (h) apptest::Disconnect(*h->form);
        h.reset();
        ClosePort(3);
        sim.reset();
    }
    TMainForm &form() { return *h->form; }
    kpd::Session &session() { return form().session(); }
    void Enter(DisplayMode mode) {
        session().ShowPlotMode(mode, kpd::CmdShowEncoderSignal + kpd::Index(mode) - 1);
        ASSERT_TRUE(Wait([&] { return session().Mode() == mode && !session().Scheduler().Armed(); }));
        ASSERT_TRUE(Wait([&] { return session().Plot(mode).WorkerActive(); }));
    }
    void StopAndWait() {
        session().Stop();
        ASSERT_TRUE(
            Wait([&] { return !session().Scheduler().Armed() && !session().WorkerExists(); }));
    }

    std::unique_ptr<kpdsim::Simulator> sim;
    std::unique_ptr<apptest::Harness> h;
    ScriptedDialogs dialogs;
    std::unique_ptr<ScopedDialogs> scope;
};

} // namespace

TEST_F(PlotWindow, TheLissajousPlotDrawnAtTheScreensPaceIsTheOneDrawnRecordByRecord) {
    Enter(DisplayMode::EncoderSignal);
    auto &ring = session().Data().EncoderSignal();
    ASSERT_TRUE(Wait([&] { return ring.count.load() >= 600; }));
    StopAndWait();
    const QImage shown = form().GraphBox->Canvas().copy();
    shown.save("/tmp/lissajous-shown.png");

    // The same records drawn on a fresh image as they would be if each batch were drawn the moment it was
    // published.
    QImage image(shown.size(), shown.format());
    kpd::PlotCanvas canvas(image, {}, nullptr);
    kpd::PlotScaling scaling;
    kpd::LissajousPlot plot(session().Data(), canvas, scaling);
    auto run = std::make_shared<kpd::StreamProgress>();
    run->set = 1;
    run->firstIndex = 0;
    plot.Begin(run, form().Plots().Setup());
    const int32_t n = ring.count.load();
    for (int32_t k = 1; k <= n; ++k) {
        run->published.store(static_cast<uint64_t>(k));
        plot.Advance();
    }
    image.save("/tmp/lissajous-expected.png");
    EXPECT_EQ(plot.Drawn(), static_cast<uint64_t>(n / 5 * 5));
    EXPECT_TRUE(image == shown);
    // The trail: lime points of the last samples are on the plot.
    int lime = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) == qRgb(0, 255, 0)) ++lime;
    EXPECT_GT(lime, 100);
}
