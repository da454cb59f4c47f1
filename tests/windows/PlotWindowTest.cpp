// The plot modes of the main window against simulated electronics: what the window draws at its own pace
// is pixel for pixel what drawing each record as it arrived gives; the plot settings apply; the plot type
// choice; a loaded file is drawn; the fit readout measures a distorted signal.
#include "AppTestSupport.h"
#include "data/Settings.h"
#include "display/LissajousPlot.h"
#include "display/PlotArithmetic.h"
#include "display/PlotCanvas.h"
#include "display/SignalPlot.h"
#include "display/TPaintBox.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "senslink.h"
#include "session/PlotController.h"
#include "windows/FitReadoutView.h"
#include "windows/PlotDisplay.h"
#include "windows/TPlotSettingsForm.h"
#include "workers/StreamAcquisition.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
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

TEST_F(PlotWindow, PlotOptionsApplyTheTrailAndRestartThePlot) {
    Enter(DisplayMode::EncoderSignal);
    // "Plot Options": the dialog opens for the current mode; the user enters 40 points and applies.
    form().PlotSettingsForm = new TPlotSettingsForm(&form());
    h->form->execDialog = [&](QDialog *d) {
        auto *p = static_cast<TPlotSettingsForm *>(d);
        p->show(); // shown without a modal loop: it builds its page
        EXPECT_EQ(p->windowTitle(), "Encoder Signal Plot Options");
        EXPECT_EQ(p->displaybox->text(), "150");
        p->displaybox->setText("40");
        p->applybuttonClick();
        return p->result();
    };
    form().CenterIndexButton->click();
    EXPECT_TRUE(session().Scheduler().Armed());
    ASSERT_TRUE(Wait([&] { return !session().Scheduler().Armed() && session().Plot(DisplayMode::EncoderSignal).WorkerActive(); }));
    EXPECT_EQ(session().Config().lissplot, 40);
    EXPECT_EQ(form().Plots().Setup().lissplot, 40);
    // The new run is drawn from its start with the new trail.
    auto &ring = session().Data().EncoderSignal();
    const int32_t start = ring.count.load();
    ASSERT_TRUE(Wait([&] { return ring.count.load() >= start + 100; }));
    StopAndWait();
    EXPECT_GE(form().Plots().Plot(DisplayMode::EncoderSignal).Drawn(), 95u);
    Settings saved;
    saved.LoadSettings(apptest::InstallDir());
    EXPECT_EQ(saved.lissplot, 40);
}

TEST_F(PlotWindow, LoadedSignalPlotsAreDrawn) {
    Enter(DisplayMode::SignalPlots);
    auto &ring = session().Data().PositionVelocity();
    ASSERT_TRUE(Wait([&] { return ring.count.load() >= 200; }));
    StopAndWait();
    const QString file = QDir(QString::fromStdString(apptest::InstallDir())).filePath("plots.pos");
    dialogs.AnswerFile(file.toStdString());
    session().SaveData(DisplayMode::SignalPlots);
    ASSERT_TRUE(Wait([&] { return !session().Scheduler().Armed(); }));
    form().Plots().Canvas().ClearPlot();
    dialogs.AnswerFile(file.toStdString());
    dialogs.Answer(MessageResult::Ok);
    session().LoadData();
    ASSERT_TRUE(Wait([&] { return !session().Scheduler().Armed() && dialogs.Done(); }));
    // The trace of the loaded records is on the plot, and the time axis is labelled.
    const QImage &img = form().GraphBox->Canvas();
    int lime = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == qRgb(0, 255, 0)) ++lime;
    EXPECT_GT(lime, 50);
    EXPECT_FALSE(form().XValue[4]->text().isEmpty());
    QFile::remove(file);
}

TEST_F(PlotWindow, APlotTypeChosenDuringARunOrAReplayTakesOverTheRunningPlot) {
    // Signal plots in one-second windows, switched in each direction while live, while stopped and while
    // replaying a run begun in the other type: after the next new window, the titles, the X tick labels
    // and every mark (also those redrawn after a range widening) follow the new type.
    session().Config().positionplot = 1.0f;
    Enter(DisplayMode::SignalPlots);
    const auto &plot = static_cast<const kpd::SignalPlot &>(form().Plots().Plot(DisplayMode::SignalPlots));
    auto xTexts = [&] {
        std::array<std::string, 5> t;
        for (std::size_t i = 0; i < 5; ++i)
            t[i] = form().XValue[4 - i]->text().toStdString();
        return t;
    };
    auto shownAs = [&](int type) {
        const QImage &img = form().GraphBox->Canvas();
        int lime = 0, yellow = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                lime += img.pixel(x, y) == qRgb(0, 255, 0);
                yellow += img.pixel(x, y) == qRgb(255, 255, 0);
            }
        if (type == 1)
            return yellow > 0 && lime == 0 &&
                   xTexts() == kpd::plot::PositionTickTexts(float(plot.PositionRange().lo),
                                                            float(plot.PositionRange().hi));
        return lime > 0 && yellow == 0 &&
               xTexts() == kpd::plot::TimeTickTexts(plot.WindowStart(), plot.WindowStart() + 1.0f);
    };
    auto choose = [&](int type, bool running) {
        SCOPED_TRACE(type);
        form().PlotTypeGroup->findChildren<QAbstractButton *>()[type]->click();
        ASSERT_EQ(session().Config().positionplottype, type);
        EXPECT_EQ(form().XAxisText->text(), type == 1 ? "Position in counts" : "Time in seconds");
        if (running) {
            // A jump of the head widens the ranges; then wait for a new window.
            sim->setPosition(sim->position() + 200000);
            const float window = plot.WindowStart();
            ASSERT_TRUE(Wait([&] { return plot.WindowStart() > window + 0.5f; })) << "no new window";
        }
        EXPECT_TRUE(Wait([&] { return shownAs(type); }, 3000));
    };
    // A recording long enough for the replay to outlast its switches.
    ASSERT_TRUE(Wait([&] { return session().Data().PositionVelocity().count.load() >= 400; }));
    choose(1, true);
    choose(0, true);
    StopAndWait();
    choose(1, false); // at rest: the recording is shown again in the new type
    session().Back(); // a window of the recording to replay
    ASSERT_TRUE(Wait([&] { return !session().Scheduler().Armed(); }));
    session().View();
    ASSERT_TRUE(Wait([&] { return plot.Following() && plot.Drawn() > 0; }));
    choose(0, true);
    choose(1, true);
}

TEST_F(PlotWindow, TheFitReadoutShowsAndColoursADistortedSignal) {
    std::string error;
    ASSERT_TRUE(sim->control("distort 3 -6 1.0 1", nullptr, &error)) << error;
    Enter(DisplayMode::EncoderSignal);
    // Live, once 500 records are drawn: offset X a little and offset Y far outside their 2 %, the ratio,
    // the phase and the radius (between the indicator circles) inside their tolerances.
    const FitReadoutView &readout = form().Plots().Readout();
    ASSERT_TRUE(
        Wait([&] { return !readout.Lines().empty() && readout.Lines()[0].text == "Fit of 500 records"; }));
    using namespace kpd::plotcolour;
    const std::pair<const char *, uint32_t> expected[] = {
        {"Offset X  +", Yellow}, {"Offset Y  -", Red}, {"Ratio Y/X  ", Lime}, {"Phase  +", Lime}, {"Radius  ", Lime}};
    for (std::size_t i = 0; i < 5; ++i) {
        const QLabel *l = readout.Labels()[i + 1];
        EXPECT_TRUE(l->text().startsWith(expected[i].first)) << l->text().toStdString();
        EXPECT_EQ(l->palette().color(QPalette::WindowText).rgb() & 0xFFFFFFu, expected[i].second) << i;
        EXPECT_FALSE(l->isHidden());
        // In the side column below the data buttons, inside the window.
        EXPECT_GT(l->y(), form().TimeText2->geometry().bottom()); // below the elapsed time too
        EXPECT_TRUE(form().rect().contains(l->geometry()));
    }
}
