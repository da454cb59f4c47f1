#include "workers/ReadAllAcquisition.h"

#include "access/ComData.h"
#include "access/PortLink.h"
#include "workers/ReviewSteps.h"

namespace kpd {

ReadAllAcquisition::ReadAllAcquisition(ReadAllSink &sink, ComData *com)
    : sink_(sink), com_(com), pass_(std::make_shared<ReadAllPass>()),
      stats_(std::make_shared<ReadAllStats>()) {}

ReadAllAcquisition::~ReadAllAcquisition() {
    if (!WorkerActive()) return;
    if (com_) com_->StopRequest.store(true);
    // Processes events meanwhile, so the worker's queued requests and its termination handler run.
    platform::WaitWhile([this] { return WorkerActive(); }, ShutdownWait);
}

bool ReadAllAcquisition::Start() {
    if (!com_ || !MayStartWorker(*com_, ReadAllThread::ExecutingIndex)) return false;
    com_->RestartPending.store(false);
    PortLink(com_->PortNumber()).PurgeReceive();
    pass_->showRequested.store(false);
    auto *thread = new ReadAllThread(*com_, sink_, pass_, stats_, &context_);
    thread_ = thread;
    thread->SetFreeOnTerminate(true);
    // Set on this thread before the worker runs, so that a stop arriving from now on is kept, and the
    // scheduler sees the worker at once.
    com_->StopRequest.store(false);
    com_->ThreadRunning.store(true);
    thread->Resume(QThread::NormalPriority);
    return true;
}

void ReadAllAcquisition::Stop() {
    if (com_) com_->StopRequest.store(true);
}

} // namespace kpd
