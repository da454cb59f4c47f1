#include "display/StrengthPlot.h"

namespace kpd {

StrengthPlot::StrengthPlot(const DataSets &data, PlotCanvas &canvas, PlotScaling &scaling)
    : StreamPlot(data, SignalStrengthSet, canvas, scaling) {}

void StrengthPlot::Relabel() {
    canvas_.SetPositionTickLabels(static_cast<float>(range_.lo), static_cast<float>(range_.hi));
    scaling_.strengthCurrent = {range_.lo, range_.hi};
}

void StrengthPlot::Prepare() {
    canvas_.ClearPlot();
    Relabel();
    points_ = 0;
    positions_.clear();
    heights_.clear();
}

void StrengthPlot::Restart(int32_t position) {
    canvas_.ClearPlot();
    if (scaling_.strengthAuto)
        range_ = plot::StartPositionRange(position);
    else
        range_ = plot::WidenEmpty(plot::IntRange{scaling_.strengthFixed.lo, scaling_.strengthFixed.hi});
    Relabel();
    points_ = 0;
    positions_.clear();
    heights_.clear();
}

void StrengthPlot::DrawRecord(int32_t index, uint64_t) {
    const SignalStrengthDataSet &ring = data_.SignalStrength();
    const auto i = static_cast<std::size_t>(index);
    const int32_t position = ring.a[i];
    const int32_t strength = ring.b[i];
    elapsed_ += ring.interval[i];

    if (++points_ > setup_.signalplot) restart_ = true;
    if (restart_) {
        restart_ = false;
        Restart(position);
        points_ = 1;
    } else if (scaling_.strengthAuto && plot::GrowPositionRange(range_, position)) {
        // The old points are cleared with the old scale and drawn again on the new one.
        Relabel();
        canvas_.ClearPlot();
        canvas_.RedrawStrengthPoints(positions_, heights_, range_.hi, range_.lo);
    }
    const int height = canvas_.DrawStrengthPoint(position, strength, elapsed_, range_.hi, range_.lo);
    positions_.push_back(position);
    heights_.push_back(height);
}

} // namespace kpd
