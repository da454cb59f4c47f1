// SignalStrengthThread: display mode 2, signal strength against position. Live, it polls the position
// halves and the signal strength of the electronics (two steps, each with purge and handshake) into data
// set 2; the position is taken relative to the zero offset of the status monitor. A failed step is
// repeated once; two failed steps in a row are a link failure. Replay shows about one record per
// millisecond.
#pragma once

#include "workers/StreamThread.h"

#include <functional>

struct SignalStrengthDataSet;

namespace kpd {

class SignalStrengthThread : public StreamThread {
public:
    SignalStrengthThread(ComData &com, bool replay, StreamSink &sink, std::shared_ptr<StreamProgress> run,
                         std::shared_ptr<StreamStats> stats, QObject *uiContext);

protected:
    void RunLiveCycle() override;
    void PaceAfterReplayRecord(float interval, int64_t stepStartMs) override;
    int StopBurstWords() const override { return 8; }

private:
    // Purge, handshake and `reads`; repeated once after a failure. False when it failed twice in a row
    // (a link failure) or the worker was asked to stop.
    bool RunStep(const std::function<bool()> &reads);

    SignalStrengthDataSet &ring_;
    bool latch_ = false;
};

} // namespace kpd
