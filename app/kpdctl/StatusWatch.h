// StatusWatch: KPD's status monitor (MainThread through StatusMonitor) with KPD's signal evaluation, for
// a terminal. It is the monitor's sink: each sample is evaluated into a status view exactly as the status
// display evaluates it, decoded and handed on. Samples before the first evaluated one (the evaluation runs
// on every fourth sample) are not handed on, so every sample handed on has a known zone.
//
// A command word is sent the way KPD's scheduler sends it: the monitor is asked to stop, the command runs
// once its worker has ended, and monitoring restarts. All calls on the main (event loop) thread; Tick is
// called from the command's event loop.
#pragma once

#include "kpdctl/StatusDecoding.h"

#include "data/Settings.h"
#include "workers/SignalEvaluation.h"
#include "workers/StatusMonitor.h"
#include "workers/StatusSink.h"
#include "workers/StatusView.h"

#include <functional>
#include <memory>

class ComData;

namespace kpdctl {

class StatusWatch : public kpd::StatusSink {
public:
    // processorVersion: the controller firmware version that selects the evaluation's mode.
    StatusWatch(ComData &com, const Settings &settings, int processorVersion);
    ~StatusWatch() override;

    // Called for every sample from the first evaluated one on, until RequestStop.
    std::function<void(const DecodedStatus &)> onSample;
    // Whether a calibration check box counts as ticked (only the Start Cal button of the view follows it).
    void SetTicked(bool ticked) { ticked_ = ticked; }

    void Start();
    // Asks the monitor to stop (the worker ends after its current cycle).
    void RequestStop();
    // Stops the monitor, runs `command` on the port once the worker has ended, then restarts monitoring
    // (unless the link failed or a stop was requested meanwhile).
    void Queue(std::function<void(ComData &)> command);
    // Carries a queued command out once the worker has ended.
    void Tick();

    bool WorkerActive() const;
    bool CommandQueued() const { return static_cast<bool>(pending_); }
    bool LinkFailed() const { return linkFailed_; }
    long long SamplesShown() const { return shown_; }
    uint64_t SamplesRead() const;

    // kpd::StatusSink
    void UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t genReg1,
                             float elapsed, bool replay, bool evaluate) override;
    void ShowElapsedTime(float) override {}
    void StopAfterReplay() override {}
    void ReportLinkFailure() override;

private:
    ComData &com_;
    const Settings &settings_;
    kpd::SignalEvaluation evaluation_;
    kpd::StatusView view_;
    std::unique_ptr<kpd::StatusMonitor> monitor_;
    std::function<void(ComData &)> pending_;
    bool stopping_ = false;
    bool ticked_ = false;
    bool evaluatedOnce_ = false;
    bool linkFailed_ = false;
    long long shown_ = 0;
};

} // namespace kpdctl
