// SessionView: what the session asks of the window that shows it. The main window implements it; tests
// implement it to record what the session shows. All calls come on the user-interface thread.
#pragma once

#include "session/DisplayMode.h"
#include "session/InfoFields.h"
#include "session/OutputSettings.h"
#include "workers/ReadAllSlots.h"
#include "workers/StatusView.h"
#include "workers/StreamProgress.h"

#include <array>
#include <memory>
#include <string>

namespace kpd {

class SessionView {
public:
    virtual ~SessionView() = default;

    // The progress window of the search, the reconnect, the resets and shutdown. An empty caption keeps
    // the caption shown.
    virtual void ShowProgress(const std::string &caption, const std::string &text) = 0;
    virtual void HideProgress() = 0;
    // The hourglass cursor of long operations.
    virtual void SetBusy(bool busy) = 0;
    virtual void SetCaption(const std::string &caption) = 0;

    // Window states.
    virtual void EnterDemoMode() = 0;
    virtual void EnterConnectedMode() = 0;
    virtual void SetDataControlsEnabled(bool enabled) = 0;
    virtual void SetMenuItemEnabled(const std::string &item, bool enabled) = 0;
    virtual void ShowInterpolationAndFrequency(int interpolationIndex, int frequencyCode) = 0;
    virtual void ShowSensorLabel(const std::string &text) = 0;
    virtual void ShowUnits(const std::string &units) = 0;

    // Layouts of the display modes and their redraw.
    virtual void ShowStatusLayout() = 0;
    virtual void ShowPlotLayout(DisplayMode mode) = 0;
    virtual void ActivatePlot(DisplayMode mode) = 0;
    virtual void ShowEngineeringDisplay() = 0;
    // The engineering display's slot texts, in pass order (all empty: nothing read in this visit yet).
    virtual void ShowEngineeringValues(const std::array<std::string, readall::SlotCount> &texts) = 0;
    virtual void Repaint() = 0;
    // Activation redraw of the current mode (after a save or load).
    virtual void Activate() = 0;
    // After a data file was loaded: the replay buttons are usable, and for the encoder signal and
    // signal plots the plot type choice.
    virtual void EnableLoadedData(DisplayMode kind) = 0;

    // The plots. A worker's run (live or replay) is drawn by the mode's plot from PlotRunStarted (before
    // the worker runs) to PlotRunEnded (after it has ended and published its last record).
    virtual void PlotRunStarted(DisplayMode mode, const std::shared_ptr<const StreamProgress> &run) = 0;
    virtual void PlotRunEnded(DisplayMode mode) = 0;
    // Draws what a loaded data file put into the mode's data set.
    virtual void ShowStoredPlot(DisplayMode mode) = 0;
    // The plot type of mode 1 (clearPlot: the plot is cleared) or mode 3 changed: titles follow it, and
    // a running plot of mode 3 restarts.
    virtual void PlotTypeChanged(DisplayMode mode, bool clearPlot) = 0;
    // A running plot starts over (zero and reset commands, new plot settings).
    virtual void RestartPlot() = 0;

    // The status display.
    virtual void ShowStatusSample(const std::string &elapsed, const std::string &position) = 0;
    virtual void ShowElapsedTime(const std::string &elapsed) = 0;
    virtual void ApplyStatusView(const StatusView &view) = 0;
    // Whether one of the calibration check boxes is ticked.
    virtual bool CalibrationBoxTicked() const = 0;

    virtual void ShowElectronicsInfo(const InfoFields &fields) = 0;
    // The output settings chosen in the settings dialog; read once, when its OK is pressed.
    virtual OutputSelection OutputChoice() const = 0;

    // The end of shutdown, after the settings are saved: close the window and leave the event loop.
    virtual void Terminate() = 0;
};

} // namespace kpd
