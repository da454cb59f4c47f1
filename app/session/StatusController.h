// StatusController: display mode 0, the status and setup display. It owns the status monitor (the worker
// of data set 0), the signal evaluation and the status view, and is the monitor's sink: each sample is
// formatted, evaluated and handed to the window.
#pragma once

#include "session/ModeController.h"
#include "workers/SignalEvaluation.h"
#include "workers/StatusSink.h"
#include "workers/StatusView.h"

#include <memory>

class ComData;

namespace kpd {

class Session;
class SessionView;
class StatusMonitor;

class StatusController : public ModeController, public StatusSink {
public:
    StatusController(Session &session, SessionView &view);
    ~StatusController() override;

    DisplayMode Mode() const override { return DisplayMode::Status; }
    void Layout() override;
    void SetDataControl(DataState state) override;
    bool WorkerActive() const override;
    void OnAcquire() override { ResetAlarms(); }
    void OnView() override { ResetAlarms(); }
    bool HasDataFile() const override { return true; }
    SaveDialogTexts SaveDialog() const override;
    void Save(const std::filesystem::path &file) const override;
    void ShowLoaded() override;

    // The access object to work on (a search replaces it while no worker exists).
    void SetComData(ComData *com);
    StatusMonitor &Monitor() { return *monitor_; }
    SignalEvaluation &Evaluation() { return evaluation_; }
    const StatusView &View() const { return statusView_; }
    // Changes the status view (tests, alarm reset) and shows it.
    StatusView &MutableView() { return statusView_; }
    void ApplyView();
    void ResetAlarms();

    // StatusSink
    void UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t genReg1,
                             float elapsed, bool replay, bool evaluate) override;
    void ShowElapsedTime(float seconds) override;
    void StopAfterReplay() override;
    void ReportLinkFailure() override;

private:
    Session &session_;
    SessionView &view_;
    SignalEvaluation evaluation_;
    StatusView statusView_;
    std::unique_ptr<StatusMonitor> monitor_;
};

} // namespace kpd
