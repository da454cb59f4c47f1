#include "workers/StreamAcquisition.h"

#include "access/ComData.h"
#include "data/RingArithmetic.h"
#include "workers/LissajousThread.h"
#include "workers/PositionThread.h"
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
    const DataSetControl &ring = com_->Data.Control(set);
    sink_.ShowElapsedTime(RingArithmetic::WindowStartTime(com_->Data.Intervals(set), ring.count.load(),
                                                          ring.elapsed.load(), ring.reviewCount.load()));
}

bool StreamAcquisition::MayStart(int set) {
    if (!com_) return false;
    if (com_->Executing[set].load()) return false;
    if (com_->ThreadRunning.load()) {
        com_->RestartPending.store(true);
        return false;
    }
    return true;
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
    if (!com_) return;
    if (com_->ThreadRunning.load()) return; // the ring belongs to the running worker
    const RingArithmetic::StepBackResult result =
        RingArithmetic::StepBack(com_->Data.Control(set), com_->Data.Intervals(set), com_->ReviewStep.load());
    if (!result.show) return;
    com_->ReviewStep.store(true);
    sink_.ShowElapsedTime(result.time);
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
