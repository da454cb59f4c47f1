// LissajousPlot: display mode 1, the encoder signal as a Lissajous figure with a trail of `lissplot`
// samples. Live records are drawn in batches of five: the five samples that leave the trail are erased,
// the frame is redrawn, the five new samples are drawn. A replay draws sample by sample, erasing the
// oldest shown one once the trail is full. Point 1 is the raw pair (XAdc, YAdc), point 2 the adjusted pair
// (XAdcAdj, YAdcAdj).
#pragma once

#include "display/StreamPlot.h"
#include "workers/LissajousFit.h"

#include <array>

namespace kpd {

class LissajousPlot : public StreamPlot {
public:
    LissajousPlot(const DataSets &data, PlotCanvas &canvas, PlotScaling &scaling);

    static constexpr int BatchSize = 5;
    LissajousSample SampleAt(int32_t index) const;

    // The newest record drawn since the plot was prepared: its ring index (-1: none) and how many records
    // the ring holds up to it; `serial` counts the drawings.
    struct DrawnEnd {
        int32_t newest = -1;
        int32_t available = 0;
        uint64_t serial = 0;
    };
    DrawnEnd LastDrawn() const { return last_; }
    // The fit of the adjusted pair over the records drawn last: the trail, or fit::WindowRecords records
    // when the trail is shorter, as far as the ring holds them.
    LissajousFit FitDrawn() const;

protected:
    void Prepare() override;
    uint64_t DrawLive(uint64_t from, uint64_t to) override;
    void DrawRecord(int32_t index, uint64_t k) override;
    int32_t StoredRecordsShown(int32_t records) const override;

private:
    int32_t Trail() const;
    void NoteDrawn(int32_t index, uint64_t k);

    DrawnEnd last_;
};

} // namespace kpd
