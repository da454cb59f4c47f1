#include "workers/ReadAllThread.h"

#include "access/ComData.h"
#include "access/RegisterMap.h"
#include "platform/UiDispatcher.h"

namespace kpd {

ReadAllThread::ReadAllThread(ComData &com, ReadAllSink &sink, std::shared_ptr<ReadAllPass> pass,
                             std::shared_ptr<ReadAllStats> stats, QObject *uiContext)
    : platform::WorkerThread(uiContext), com_(com), sink_(sink),
      pass_(pass ? std::move(pass) : std::make_shared<ReadAllPass>()),
      stats_(stats ? std::move(stats) : std::make_shared<ReadAllStats>()), link_(com.PortNumber()) {
    SetOnTerminate([this] { ThreadDone(); });
}

ReadAllThread::~ReadAllThread() = default;

void ReadAllThread::Execute() {
    handOver_.load(std::memory_order_acquire); // everything set up on the user-interface thread
    com_.ThreadRunning.store(true);
    com_.Executing[ExecutingIndex].store(true);
    // The stop request was cleared by the starter before Resume: a stop requested since is kept.
    while (!com_.StopRequest.load())
        RunPass();
    handOver_.fetch_add(1, std::memory_order_release); // publishes the final state to ThreadDone
}

void ReadAllThread::RunPass() {
    for (int slot = 0; slot < readall::SlotCount; ++slot) {
        if (com_.StopRequest.load()) return; // an unfinished pass is not shown
        uint32_t value = 0;
        if (!ReadSlot(slot, value)) {
            SlotFailed();
            return; // the next pass starts again at slot 0
        }
        errorFlag_ = false;
        values_[static_cast<std::size_t>(slot)] = value;
    }
    Publish();
}

bool ReadAllThread::ReadSlot(int slot, uint32_t &value) {
    link_.PurgeReceive();
    // The resynchronisation: a purge, then up to 13 of (purge, sync).
    link_.PurgeReceive();
    if (!link_.SyncLink()) return false;
    const readall::Slot &s = readall::Slots()[static_cast<std::size_t>(slot)];
    int result = -1;
    switch (s.source) {
    case readall::Source::Register: {
        uint16_t word = 0;
        if (!link_.ReadRegister(reg::address(s.reg), word)) return false;
        value = word;
        return true;
    }
    case readall::Source::ProcessorValue:
        result = link_.ReadValue(reg::ValueMspVersion, reg::ValueMspVersionLength);
        break;
    case readall::Source::PowerOnTime:
        result = link_.ReadPowerOnTime();
        break;
    case readall::Source::PowerOnCycles:
        result = link_.ReadPowerOnCycles();
        break;
    }
    if (result < 0) return false;
    value = static_cast<uint32_t>(result);
    return true;
}

void ReadAllThread::SlotFailed() {
    stats_->failedReads.fetch_add(1);
    if (!errorFlag_) {
        errorFlag_ = true;
        return;
    }
    linkFailed_ = true;
    com_.StopRequest.store(true);
}

void ReadAllThread::Publish() {
    pass_->Publish(values_);
    stats_->passes.fetch_add(1);
    if (pass_->showRequested.exchange(true)) return; // the window has not taken the previous one yet
    platform::UiDispatcher *dispatcher = platform::UiDispatcher::Instance();
    if (!dispatcher) return;
    // Queued before the termination handler, so it runs while this object still exists.
    dispatcher->Post(this, [this] {
        pass_->showRequested.store(false);
        sink_.PassReady(*pass_);
    });
}

void ReadAllThread::ThreadDone() {
    handOver_.load(std::memory_order_acquire); // the worker's final state
    com_.ThreadRunning.store(false);
    com_.Executing[ExecutingIndex].store(false);
    com_.StopRequest.store(false);
    done_ = true;
    stats_->threadsDone.fetch_add(1);
    if (linkFailed_) stats_->linkFailures.fetch_add(1);
    // The session is told last, with the flags already idle, so that what it starts from here (the
    // link-failure decision and its reconnect) finds no worker in the way.
    if (linkFailed_) sink_.ReportLinkFailure();
}

} // namespace kpd
