// LissajousThread: display mode 1, the encoder signal. Live, it streams the four encoder-signal registers
// (YAdc, XAdc, YAdcAdj, XAdcAdj) into data set 1; a record with a word above 12 bits is dropped and the
// receive buffer purged, its slots reused by the next record. Replay runs at twice the recorded speed.
#pragma once

#include "workers/StreamThread.h"

#include <array>

struct EncoderSignalDataSet;

namespace kpd {

class LissajousThread : public StreamThread {
public:
    LissajousThread(ComData &com, bool replay, StreamSink &sink, std::shared_ptr<StreamProgress> run,
                    std::shared_ptr<StreamStats> stats, QObject *uiContext);

    // Read time-out while the stream is started, milliseconds.
    static constexpr int StartTimeoutMs = 200;
    static const std::array<uint8_t, 4> Registers;

protected:
    bool StartSource() override;
    void RunLiveCycle() override;
    bool PaceBeforeReplayRecord(float interval) override;
    int StopBurstWords() const override { return 4; }

private:
    EncoderSignalDataSet &ring_;
};

} // namespace kpd
