#include "workers/PositionThread.h"

#include "access/ComData.h"
#include "access/RegisterMap.h"
#include "platform/Clock.h"

namespace kpd {

const std::array<uint8_t, 4> PositionThread::Registers = {reg::PositionLow, reg::PositionHigh, reg::Position64,
                                                          reg::Magnitude};

PositionThread::PositionThread(ComData &com, bool replay, StreamSink &sink, std::shared_ptr<StreamProgress> run,
                               std::shared_ptr<StreamStats> stats, QObject *uiContext)
    : StreamThread(com, PositionVelocitySet, replay, sink, std::move(run), std::move(stats), uiContext),
      ring_(com.Data.PositionVelocity()) {}

bool PositionThread::StartSource() {
    return link_.SyncLink() && link_.BeginStream(Registers);
}

void PositionThread::RunLiveCycle() {
    std::array<int16_t, 4> words{};
    if (!link_.ReadStreamRecord(words)) {
        link_.PurgeReceive();
        ReadFailed();
        return;
    }
    ReadSucceeded();
    const auto slot = static_cast<std::size_t>(Slot());
    const auto low = static_cast<uint16_t>(words[0]);
    const auto high = static_cast<uint16_t>(words[1]);
    ring_.position[slot] = reg::position32(low, high);
    ring_.velocity[slot] = static_cast<float>(words[1]);
    ring_.position64[slot] = static_cast<uint16_t>(words[2]);
    ring_.magnitude[slot] = static_cast<uint16_t>(words[3]);
    StoreRecord(MinimumInterval);
}

void PositionThread::PaceAfterReplayRecord(float interval, int64_t stepStartMs) {
    const int64_t stepMs = platform::ClockMs() - stepStartMs;
    if (!(static_cast<double>(interval) > static_cast<double>(stepMs))) {
        skipped_ = false;
        return;
    }
    if (!skipped_) { // every other step goes on without waiting
        skipped_ = true;
        return;
    }
    skipped_ = false;
    WaitClockAdvance(stepStartMs, static_cast<double>(interval) * 0.125);
}

} // namespace kpd
