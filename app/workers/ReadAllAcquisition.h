// ReadAllAcquisition: start and stop of the read-all worker of the engineering display for the session.
//
// Start runs a ReadAllThread on the access object's port; Stop only asks it to end. Nothing here waits for
// a worker: starting while a worker (of any display mode) still exists sets ComData::RestartPending and
// starts nothing. The newest pass outlives the workers (the display keeps showing it until a newer one).
//
// All calls come from the user-interface thread.
#pragma once

#include "workers/ReadAllPass.h"
#include "workers/ReadAllSink.h"
#include "workers/ReadAllThread.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <memory>

class ComData;

namespace kpd {

class ReadAllAcquisition {
public:
    // The sink must outlive the acquisition. com may be null (no electronics): then nothing starts.
    explicit ReadAllAcquisition(ReadAllSink &sink, ComData *com = nullptr);
    // Asks a running worker to end and waits (processing events, bounded) until its handler ran.
    ~ReadAllAcquisition();
    ReadAllAcquisition(const ReadAllAcquisition &) = delete;
    ReadAllAcquisition &operator=(const ReadAllAcquisition &) = delete;

    void SetComData(ComData *com) { com_ = com; }
    ComData *Com() const { return com_; }

    // Starts the worker; false when there is no access object or a worker still exists (then the
    // restart-pending flag is set).
    bool Start();
    // Asks the running worker to end.
    void Stop();

    bool WorkerActive() const { return thread_ && !thread_->Done(); }
    const ReadAllStats &Stats() const { return *stats_; }
    const ReadAllPass &Pass() const { return *pass_; }

    static constexpr std::chrono::milliseconds ShutdownWait{10000};

private:
    ReadAllSink &sink_;
    ComData *com_;
    QObject context_; // termination handlers run here (user-interface thread)
    QPointer<ReadAllThread> thread_;
    std::shared_ptr<ReadAllPass> pass_;
    std::shared_ptr<ReadAllStats> stats_;
};

} // namespace kpd
