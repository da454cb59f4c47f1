#include "display/LissajousPlot.h"

#include "data/RingArithmetic.h"

#include <algorithm>

namespace kpd {

LissajousPlot::LissajousPlot(const DataSets &data, PlotCanvas &canvas, PlotScaling &scaling)
    : StreamPlot(data, EncoderSignalSet, canvas, scaling) {}

int32_t LissajousPlot::Trail() const {
    return std::clamp(setup_.lissplot, 1, capacity_ - 1);
}

LissajousSample LissajousPlot::SampleAt(int32_t index) const {
    const EncoderSignalDataSet &ring = data_.EncoderSignal();
    const auto i = static_cast<std::size_t>(index);
    // The ring holds YAdc, XAdc, YAdcAdj, XAdcAdj.
    return {ring.w2[i], ring.w1[i], ring.w4[i], ring.w3[i]};
}

void LissajousPlot::Prepare() {
    canvas_.ClearAndLissajousFrame();
    last_ = {-1, 0, last_.serial + 1};
}

void LissajousPlot::NoteDrawn(int32_t index, uint64_t k) {
    // The ring holds the records up to this one; once it has wrapped, all but the slot written next.
    last_ = {index, WrappedAt(k) ? capacity_ - 1 : index + 1, last_.serial + 1};
}

LissajousFit LissajousPlot::FitDrawn() const {
    const EncoderSignalDataSet &ring = data_.EncoderSignal();
    const int32_t count = std::min(last_.available, std::max(Trail(), fit::WindowRecords));
    return FitLissajousRing(ring.w4, ring.w3, last_.newest, count); // XAdcAdj, YAdcAdj
}

uint64_t LissajousPlot::DrawLive(uint64_t from, uint64_t to) {
    const int32_t trail = Trail();
    uint64_t k = from;
    for (; k + BatchSize <= to; k += BatchSize) {
        std::array<LissajousSample, BatchSize> previous{};
        std::array<LissajousSample, BatchSize> next{};
        int erase = 0;
        for (int j = 0; j < BatchSize; ++j) {
            const uint64_t r = k + static_cast<uint64_t>(j);
            const int32_t index = IndexOf(r);
            elapsed_ += data_.Intervals(set_)[static_cast<std::size_t>(index)];
            next[static_cast<std::size_t>(j)] = SampleAt(index);
            // Once the ring holds a full trail before this sample, the sample `trail` places back leaves it.
            if (WrappedAt(r) || index >= trail)
                previous[static_cast<std::size_t>(erase++)] =
                    SampleAt(RingArithmetic::Wrap(index - trail, capacity_));
        }
        canvas_.DrawLissajousBatch(erase > 0, previous, next, elapsed_, erase);
        NoteDrawn(IndexOf(k + BatchSize - 1), k + BatchSize - 1);
    }
    return k - from;
}

void LissajousPlot::DrawRecord(int32_t index, uint64_t k) {
    const int32_t trail = Trail();
    if (k >= static_cast<uint64_t>(trail))
        canvas_.DrawLissajousSample(true, SampleAt(RingArithmetic::Wrap(index - trail, capacity_)), elapsed_);
    elapsed_ += data_.Intervals(set_)[static_cast<std::size_t>(index)];
    canvas_.DrawLissajousSample(false, SampleAt(index), elapsed_);
    NoteDrawn(index, k);
}

int32_t LissajousPlot::StoredRecordsShown(int32_t records) const {
    return std::min(records, Trail());
}

} // namespace kpd
