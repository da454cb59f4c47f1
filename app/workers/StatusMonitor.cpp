#include "workers/StatusMonitor.h"

#include "access/ComData.h"
#include "access/PortLink.h"
#include "data/RingArithmetic.h"
#include "workers/ReviewSteps.h"


namespace kpd {

StatusMonitor::StatusMonitor(StatusSink &sink, ComData *com)
    : sink_(sink), com_(com), stats_(std::make_shared<MainThreadStats>()) {}

StatusMonitor::~StatusMonitor() {
    if (!WorkerActive()) return;
    if (com_) com_->StopRequest.store(true);
    // Processes events meanwhile, so a worker inside Synchronize is served and its handler runs.
    platform::WaitWhile([this] { return WorkerActive(); }, ShutdownWait);
}

void StatusMonitor::SetDataControl(int set, int command) {
    if (set != SetupStatusSet) return; // the streaming acquisition owns the other data sets
    switch (command) {
    case DataStop:
        Stop();
        break;
    case DataStartLive:
        StartLive();
        break;
    case DataStepBack:
        StepBack();
        break;
    case DataStartReplay:
        StartReplay();
        break;
    default:
        break;
    }
}

void StatusMonitor::Stop() {
    if (!com_) return;
    com_->StopRequest.store(true);
    if (com_->ThreadRunning.load()) return;
    sink_.ShowElapsedTime(ReviewWindowStart(*com_, SetupStatusSet));
}

bool StatusMonitor::MayStart() {
    return com_ && MayStartWorker(*com_, SetupStatusSet);
}

void StatusMonitor::StartLive() {
    if (!MayStart()) return;
    com_->RestartPending.store(false);
    SetupStatusDataSet &ring = com_->Data.SetupStatus();
    ring.reviewCount.store(0);
    if (ring.resetOnNextLiveStart.exchange(false)) {
        // A loaded file is discarded by the next live recording.
        ring.count.store(0);
        ring.elapsed.store(0.0f);
        ring.wrapped.store(false);
    }
    PortLink(com_->PortNumber()).PurgeReceive();
    Launch(false);
}

void StatusMonitor::StepBack() {
    float time = 0.0f;
    if (com_ && StepBackReview(*com_, SetupStatusSet, time)) sink_.ShowElapsedTime(time);
}

void StatusMonitor::StartReplay() {
    if (!MayStart()) return;
    SetupStatusDataSet &ring = com_->Data.SetupStatus();
    if (!RingArithmetic::HasReviewWindow(ring.count.load(), SetupStatusDataSet::Capacity,
                                         ring.reviewIndex.load(), ring.reviewCount.load())) {
        sink_.ShowElapsedTime(ring.elapsed.load());
        return;
    }
    com_->RestartPending.store(false);
    Launch(true);
}

void StatusMonitor::Launch(bool replay) {
    auto *thread = new MainThread(*com_, sink_, replay, stats_, &context_);
    thread_ = thread;
    thread->SetFreeOnTerminate(true);
    // Set on this thread before the worker runs, so that a Stop arriving from now on is kept, and the
    // scheduler sees the worker at once.
    com_->StopRequest.store(false);
    com_->ThreadRunning.store(true);
    thread->Resume(QThread::HighestPriority);
}

} // namespace kpd
