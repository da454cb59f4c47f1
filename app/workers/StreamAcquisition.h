// StreamAcquisition: start, stop and review of data sets 1 to 3 (the plot display modes) for the session.
//
// ApplyDataState calls SetDataControl(set, command) with the plot mode's data state: Stop, StartLive,
// StepBack or StartReplay. Live and replay run the mode's worker (LissajousThread, SignalStrengthThread,
// PositionThread); Stop only asks the running worker to end. Nothing here waits for a worker: starting
// while a worker (of any display mode) still exists sets ComData::RestartPending and starts nothing, and
// the command scheduler retries once ThreadRunning has cleared. Data set 0 belongs to the status monitor
// and is ignored.
//
// All calls come from the user-interface thread.
#pragma once

#include "workers/DataControl.h"
#include "workers/StreamSink.h"
#include "workers/StreamThread.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <memory>

class ComData;

namespace kpd {

class StreamAcquisition : public DataControl {
public:
    // The sink must outlive the acquisition. com may be null (no electronics): then nothing starts.
    explicit StreamAcquisition(StreamSink &sink, ComData *com = nullptr);
    // Asks a running worker to end and waits (processing events, bounded) until its handler ran.
    ~StreamAcquisition() override;
    StreamAcquisition(const StreamAcquisition &) = delete;
    StreamAcquisition &operator=(const StreamAcquisition &) = delete;

    void SetComData(ComData *com) { com_ = com; }
    ComData *Com() const { return com_; }

    // kpd::DataControl: sets 1..3.
    void SetDataControl(int set, int command) override;

    void Stop(int set);
    void StartLive(int set);
    void StepBack(int set);
    void StartReplay(int set);

    bool WorkerActive() const { return thread_ && !thread_->Done(); }
    const StreamStats &Stats() const { return *stats_; }

    static constexpr std::chrono::milliseconds ShutdownWait{10000};

private:
    bool MayStart(int set);
    void Launch(int set, bool replay);

    StreamSink &sink_;
    ComData *com_;
    QObject context_; // termination handlers run here (user-interface thread)
    QPointer<StreamThread> thread_;
    std::shared_ptr<StreamStats> stats_;
};

} // namespace kpd
