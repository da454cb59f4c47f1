// PlotController: the plot modes 1 (encoder signal), 2 (signal strength) and 3 (signal plots). It owns the
// streaming acquisition of its mode's data set and is its sink: a worker's run is handed to the window,
// which draws the run's records as they are published. The layout and the plot itself are the window's.
#pragma once

#include "session/ModeController.h"
#include "workers/StreamSink.h"

#include <memory>

class ComData;

namespace kpd {

class DataControl;
class Session;
class SessionView;
class StreamAcquisition;

class PlotController : public ModeController, public StreamSink {
public:
    PlotController(DisplayMode mode, Session &session, SessionView &view);
    ~PlotController() override;

    DisplayMode Mode() const override { return mode_; }
    void Layout() override;
    void SetDataControl(DataState state) override;
    bool WorkerActive() const override;
    bool HasDataFile() const override { return true; }
    SaveDialogTexts SaveDialog() const override;
    void Save(const std::filesystem::path &file) const override;
    void ShowLoaded() override;

    // The access object to work on (a search replaces it while no worker exists).
    void SetComData(ComData *com);
    // A data control used instead of the own acquisition (tests); null returns to the own one.
    void SetDataControl(DataControl *control) { control_ = control; }
    StreamAcquisition &Acquisition() { return *acquisition_; }

    // StreamSink
    void StreamStarted(const std::shared_ptr<const StreamProgress> &run) override;
    void StreamEnded(const StreamProgress &run) override;
    void ShowElapsedTime(float seconds) override;
    void StopAfterReplay() override;
    void ReportLinkFailure() override;

private:
    DisplayMode mode_;
    Session &session_;
    SessionView &view_;
    DataControl *control_ = nullptr;
    std::unique_ptr<StreamAcquisition> acquisition_;
};

} // namespace kpd
