// PositionThread: display mode 3, the signal plots against time. Live, it streams the position halves,
// Position64 and Magnitude into data set 3 (the position's high word also as the float column); records
// within the same millisecond get an interval of 0.00001 s. Replay shows about two records per
// millisecond.
#pragma once

#include "workers/StreamThread.h"

#include <array>

struct PositionVelocityDataSet;

namespace kpd {

class PositionThread : public StreamThread {
public:
    PositionThread(ComData &com, bool replay, StreamSink &sink, std::shared_ptr<StreamProgress> run,
                   std::shared_ptr<StreamStats> stats, QObject *uiContext);

    static constexpr float MinimumInterval = 0.00001f;
    static const std::array<uint8_t, 4> Registers;

protected:
    bool StartSource() override;
    void RunLiveCycle() override;
    void PaceAfterReplayRecord(float interval, int64_t stepStartMs) override;
    int StopBurstWords() const override { return 6; }

private:
    PositionVelocityDataSet &ring_;
    bool skipped_ = false; // the previous replay step skipped its wait
};

} // namespace kpd
