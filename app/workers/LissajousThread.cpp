#include "workers/LissajousThread.h"

#include "access/ComData.h"
#include "access/RegisterMap.h"

#include <chrono>
#include <thread>

namespace kpd {

const std::array<uint8_t, 4> LissajousThread::Registers = {reg::YAdc, reg::XAdc, reg::YAdcAdj, reg::XAdcAdj};

LissajousThread::LissajousThread(ComData &com, bool replay, StreamSink &sink, std::shared_ptr<StreamProgress> run,
                                 std::shared_ptr<StreamStats> stats, QObject *uiContext)
    : StreamThread(com, EncoderSignalSet, replay, sink, std::move(run), std::move(stats), uiContext),
      ring_(com.Data.EncoderSignal()) {}

bool LissajousThread::StartSource() {
    return link_.SyncLinkWithTimeout(StartTimeoutMs) && link_.BeginStream(Registers);
}

void LissajousThread::RunLiveCycle() {
    std::array<int16_t, 4> words{};
    if (!link_.ReadStreamRecord(words)) {
        ReadFailed();
        return;
    }
    ReadSucceeded();
    const auto slot = static_cast<std::size_t>(Slot());
    const std::array<uint16_t, 4> w = {static_cast<uint16_t>(words[0]), static_cast<uint16_t>(words[1]),
                                       static_cast<uint16_t>(words[2]), static_cast<uint16_t>(words[3])};
    ring_.w1[slot] = w[0];
    ring_.w2[slot] = w[1];
    ring_.w3[slot] = w[2];
    ring_.w4[slot] = w[3];
    for (uint16_t word : w) {
        if (word & 0xF000) { // not a 12-bit sample: the record is dropped and the slots reused
            stats_->discarded.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            link_.PurgeReceive();
            return;
        }
    }
    StoreRecord();
}

bool LissajousThread::PaceBeforeReplayRecord(float interval) {
    return WaitSeconds(interval * 0.5f); // twice the recorded speed
}

} // namespace kpd
