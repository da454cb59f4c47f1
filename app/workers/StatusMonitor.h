// StatusMonitor: start, stop and review of the status ring (data set 0) for the main window.
//
// The main window's ApplyDataState calls SetDataControl(0, command) with the data state of the status
// display: Stop, StartLive, StepBack or StartReplay. Live and replay run a MainThread; Stop only asks the
// running worker to end. Nothing here waits for a worker: starting while a worker (of any display mode)
// still exists sets ComData::RestartPending and starts nothing, and the command scheduler retries once
// ThreadRunning has cleared. The data sets 1 to 3 belong to the streaming acquisition and are ignored.
//
// All calls come from the user-interface thread.
#pragma once

#include "workers/MainThread.h"
#include "workers/StatusSink.h"

#include "workers/DataControl.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <memory>

class ComData;

namespace kpd {

class StatusMonitor : public DataControl {
public:
    // The sink (the main window) must outlive the monitor. com may be null (no electronics): then nothing
    // starts and Stop and StepBack have nothing to show.
    explicit StatusMonitor(StatusSink &sink, ComData *com = nullptr);
    // Asks a running worker to end and waits (processing events, bounded) until its termination handler ran.
    ~StatusMonitor() override;
    StatusMonitor(const StatusMonitor &) = delete;
    StatusMonitor &operator=(const StatusMonitor &) = delete;

    // The access object to work on; a search replaces it (only while no worker runs).
    void SetComData(ComData *com) { com_ = com; }
    ComData *Com() const { return com_; }

    // kpd::DataControl: set 0 only.
    void SetDataControl(int set, int command) override;

    // Stop: sets the stop request; with no worker running, shows the time at the start of the review
    // window. (While a worker still runs, the ring is the worker's; the scheduler applies Stop again
    // once the worker has ended.)
    void Stop();
    // Live polling, continuing the ring after its last sample (emptying it first after a file load).
    void StartLive();
    // Moves the review window back by about 10 s of recorded time (the whole ring at most) and shows the
    // time at its start; shows nothing when the window already covers the ring.
    void StepBack();
    // Replays the review window; with no window selected only shows the elapsed time.
    void StartReplay();

    // True while a worker started by this monitor exists (until its termination handler has run).
    bool WorkerActive() const { return thread_ && !thread_->Done(); }
    // Counters of all the monitor's workers.
    const MainThreadStats &Stats() const { return *stats_; }

    // Bounded wait of the destructor for a worker to end.
    static constexpr std::chrono::milliseconds ShutdownWait{10000};

private:
    // Common start of live and replay; false when refused.
    bool MayStart();
    void Launch(bool replay);

    StatusSink &sink_;
    ComData *com_;
    QObject context_; // termination handlers run here (user-interface thread)
    QPointer<MainThread> thread_;
    std::shared_ptr<MainThreadStats> stats_;
};

} // namespace kpd
