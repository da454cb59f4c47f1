// PlotDisplay: the live plot of the main window. It draws the plot modes' data into the plot area's image
// through the plot primitives, and sets the tick labels and the elapsed time around it (PlotLabels).
//
// A worker's run is followed from its start to its end: a frame timer, at most at the screen's rate, lets
// the mode's plot draw every record published since the last frame and then repaints the plot area once.
// The worker never waits for the window; a window that is busy (a modal dialog, a drag, a stall) draws the
// waiting records at its next frame.
#pragma once

#include "display/LissajousPlot.h"
#include "display/PlotCanvas.h"
#include "display/PlotLabels.h"
#include "display/SignalPlot.h"
#include "display/StrengthPlot.h"
#include "session/DisplayMode.h"

#include <QObject>

#include <cstdint>
#include <memory>

class FitReadoutView;
class QTimer;
struct MainFormControls;
namespace kpd {
class Session;
}

class PlotDisplay : public QObject, public kpd::PlotLabels {
public:
    // layoutClass: the window's layout size class (read when a plot starts).
    PlotDisplay(MainFormControls &controls, kpd::Session &session, const int &layoutClass,
                QObject *parent = nullptr);
    ~PlotDisplay() override;

    // The session's plot calls.
    void RunStarted(kpd::DisplayMode mode, const std::shared_ptr<const kpd::StreamProgress> &run);
    void RunEnded(kpd::DisplayMode mode);
    void ShowStored(kpd::DisplayMode mode);
    void Restart();
    // The activation redraw after a mode's layout: the frame of the encoder-signal plot, else the grid.
    void Activate(kpd::DisplayMode mode);
    void PlotTypeChanged(kpd::DisplayMode mode, bool clearPlot);

    // One frame: the followed plot draws what is new; the plot area repaints when anything was drawn.
    void Frame();
    // Frames that drew something (benchmarks, tests).
    uint64_t FramesPainted() const { return framesPainted_; }
    kpd::StreamPlot &Plot(kpd::DisplayMode mode);
    kpd::PlotSetup Setup() const;
    kpd::PlotCanvas &Canvas() { return canvas_; }
    // The fit readout of the encoder-signal display (shown in display mode 1 only).
    FitReadoutView &Readout() { return *readout_; }
    // Hides what only the plot modes show (the status display's layout).
    void Deactivate();

    static constexpr int FrameIntervalMs = 16;

    // kpd::PlotLabels
    void ShowElapsedText(const std::string &text) override;
    void SetXTickTexts(const std::array<std::string, 5> &leftToRight) override;
    void SetYTickTexts(bool right, const std::array<std::string, 5> &bottomToTop, uint32_t rgb) override;

private:
    MainFormControls &f_;
    kpd::Session &session_;
    const int &layoutClass_;
    kpd::PlotCanvas canvas_;
    kpd::LissajousPlot lissajous_;
    kpd::StrengthPlot strength_;
    kpd::SignalPlot signal_;
    QTimer *frameTimer_;
    std::unique_ptr<FitReadoutView> readout_;
    uint64_t framesPainted_ = 0;
};
