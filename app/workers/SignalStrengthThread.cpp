#include "workers/SignalStrengthThread.h"

#include "access/ComData.h"
#include "access/RegisterMap.h"
#include "platform/Clock.h"

namespace kpd {

SignalStrengthThread::SignalStrengthThread(ComData &com, bool replay, StreamSink &sink,
                                           std::shared_ptr<StreamProgress> run, std::shared_ptr<StreamStats> stats,
                                           QObject *uiContext)
    : StreamThread(com, SignalStrengthSet, replay, sink, std::move(run), std::move(stats), uiContext),
      ring_(com.Data.SignalStrength()) {}

bool SignalStrengthThread::RunStep(const std::function<bool()> &reads) {
    for (;;) {
        if (StopRequested()) return false;
        link_.PurgeReceive();
        if (link_.SyncLink() && reads()) {
            latch_ = false;
            return true;
        }
        stats_->failedReads.fetch_add(1);
        if (latch_) {
            SetLinkFailure();
            return false;
        }
        latch_ = true; // the first failure repeats the step
    }
}

void SignalStrengthThread::RunLiveCycle() {
    int32_t position = 0;
    uint16_t strength = 0;
    const bool positionRead = RunStep([&] {
        uint16_t low = 0, high = 0, check = 0;
        if (!link_.ReadRegister(reg::address(reg::PolledPositionLow), low)) return false;
        if (!link_.SyncLink()) return false;
        if (!link_.ReadRegister(reg::address(reg::PolledPositionHigh), high)) return false;
        if (!link_.SyncLink()) return false;
        if (!link_.ReadRegister(reg::address(reg::PolledPositionCheck), check)) return false;
        position = static_cast<int32_t>(static_cast<uint32_t>(reg::position32(low, high)) -
                                        static_cast<uint32_t>(com_.PositionOffset.load()));
        return true;
    });
    if (!positionRead) return;
    if (!RunStep([&] { return link_.ReadRegister(reg::address(reg::PolledPositionExtra), strength); })) return;
    const auto slot = static_cast<std::size_t>(Slot());
    ring_.a[slot] = position;
    ring_.b[slot] = strength;
    ring_.c[slot] = 0;
    StoreRecord();
}

void SignalStrengthThread::PaceAfterReplayRecord(float interval, int64_t stepStartMs) {
    // The recorded interval (seconds) is compared with the step's milliseconds: in effect about one
    // millisecond per record.
    const int64_t stepMs = platform::ClockMs() - stepStartMs;
    if (static_cast<double>(interval) > static_cast<double>(stepMs))
        WaitClockAdvance(stepStartMs, static_cast<double>(interval) * 0.25);
}

} // namespace kpd
