#include "workers/StreamAcquisition.h"

#include "access/ComData.h"
#include "data/RingArithmetic.h"
#include "workers/LissajousThread.h"
#include "workers/PositionThread.h"
#include "workers/ReviewSteps.h"
#include "workers/SignalStrengthThread.h"

namespace kpd {

namespace {
bool IsStreamSet(int set) {
    return set >= EncoderSignalSet && set <= PositionVelocitySet;
}
} // namespace

StreamAcquisition::StreamAcquisition(StreamSink &sink, ComData *com)
    : sink_(sink), com_(com), stats_(std::make_shared<StreamStats>()) {}

StreamAcquisition::~StreamAcquisition() {
    if (!WorkerActive()) return;
    if (com_) com_->StopRequest.store(true);
    platform::WaitWhile([this] { return WorkerActive(); }, ShutdownWait);
}

void StreamAcquisition::SetDataControl(int set, int command) {
    if (!IsStreamSet(set)) return;
    switch (command) {
    case DataStop:
        Stop(set);
        break;
    case DataStartLive:
        StartLive(set);
        break;
    case DataStepBack:
        StepBack(set);
        break;
    case DataStartReplay:
        StartReplay(set);
        break;
    default:
        break;
    }
}

void StreamAcquisition::Stop(int set) {
    if (!com_) return;
    com_->StopRequest.store(true);
    if (com_->ThreadRunning.load()) return;
    sink_.ShowElapsedTime(ReviewWindowStart(*com_, set));
}

bool StreamAcquisition::MayStart(int set) {
    return com_ && MayStartWorker(*com_, set);
}

void StreamAcquisition::StartLive(int set) {
    if (!MayStart(set)) return;
    com_->RestartPending.store(false);
    DataSetControl &ring = com_->Data.Control(set);
    ring.reviewCount.store(0);
    if (ring.resetOnNextLiveStart.exchange(false)) ring.Clear(); // a loaded file gives way to the recording
    PortLink(com_->PortNumber()).PurgeReceive();
    Launch(set, false);
}

void StreamAcquisition::StepBack(int set) {
    float time = 0.0f;
    if (com_ && StepBackReview(*com_, set, time)) sink_.ShowElapsedTime(time);
}

void StreamAcquisition::StartReplay(int set) {
    if (!MayStart(set)) return;
    const DataSetControl &ring = com_->Data.Control(set);
    if (!RingArithmetic::HasReviewWindow(ring.count.load(), DataSets::Capacity(set), ring.reviewIndex.load(),
                                         ring.reviewCount.load())) {
        sink_.ShowElapsedTime(ring.elapsed.load());
        return;
    }
    com_->RestartPending.store(false);
    Launch(set, true);
}

void StreamAcquisition::Launch(int set, bool replay) {
    auto run = std::make_shared<StreamProgress>();
    StreamThread *thread = nullptr;
    switch (set) {
    case EncoderSignalSet:
        thread = new LissajousThread(*com_, replay, sink_, run, stats_, &context_);
        break;
    case SignalStrengthSet:
        thread = new SignalStrengthThread(*com_, replay, sink_, run, stats_, &context_);
        break;
    default:
        thread = new PositionThread(*com_, replay, sink_, run, stats_, &context_);
        break;
    }
    thread_ = thread;
    thread->SetFreeOnTerminate(true);
    // The plot prepares itself before the worker writes anything.
    sink_.StreamStarted(run);
    com_->StopRequest.store(false);
    com_->ThreadRunning.store(true);
    thread->Resume(QThread::HighestPriority);
}

} // namespace kpd
