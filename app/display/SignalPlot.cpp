#include "display/SignalPlot.h"

#include <algorithm>

namespace kpd {

namespace {
constexpr float kMinimumSpan = 1.0f;
constexpr float kMaximumSpan = 65.0f;
} // namespace

SignalPlot::SignalPlot(const DataSets &data, PlotCanvas &canvas, PlotScaling &scaling)
    : StreamPlot(data, PositionVelocitySet, canvas, scaling) {}

float SignalPlot::Span() const {
    return std::clamp(setup_.positionplot, kMinimumSpan, kMaximumSpan);
}

void SignalPlot::Relabel() {
    canvas_.SetSignalPlotTickLabels(position_, second_, strength_);
    const int type = setup_.look.positionPlotType;
    const plot::IntRange shown = (type == 1 || type == 2) ? strength_ : position_;
    scaling_.signalCurrent = {shown.lo, shown.hi};
}

void SignalPlot::LabelTimeAxis() {
    // The strength against position (type 1) has the position on its X axis, labelled with the ranges.
    if (setup_.look.positionPlotType != 1) canvas_.SetTimeTickLabels(windowStart_, windowStart_ + Span());
}

void SignalPlot::Prepare() {
    window_.clear();
    windowStart_ = elapsed_;
    canvas_.ClearAndGrid();
    LabelTimeAxis();
    Relabel();
}

void SignalPlot::NewWindow(float time) {
    windowStart_ = time;
    LabelTimeAxis();
    canvas_.ClearAndGrid();
    window_.clear();
}

void SignalPlot::StartRanges(const Point &p) {
    if (scaling_.signalAuto) {
        position_ = plot::StartTraceRange(p.position);
        second_ = plot::StartTraceRange(p.second);
        third_ = plot::StartTraceRange(p.third);
        strength_ = plot::StartTraceRange(p.strength);
        return;
    }
    const plot::IntRange fixed{scaling_.signalFixed.lo, scaling_.signalFixed.hi};
    position_ = third_ = strength_ = fixed;
    second_ = {static_cast<float>(fixed.lo), static_cast<float>(fixed.hi)};
}

bool SignalPlot::GrowRanges(const Point &p) {
    bool grown = plot::GrowTraceRange(position_, p.position);
    grown = plot::GrowTraceRange(second_, p.second) || grown;
    grown = plot::GrowTraceRange(third_, p.third) || grown;
    grown = plot::GrowTraceRange(strength_, p.strength) || grown;
    return grown;
}

void SignalPlot::DrawStep(const Point &current, const Point &previous) {
    SignalStep s;
    s.position = {current.position, previous.position, position_};
    s.second = {current.second, previous.second, second_};
    s.third = {current.third, previous.third, third_};
    s.strength = {current.strength, previous.strength, strength_};
    s.time = current.time;
    s.previousTime = previous.time;
    s.windowStart = windowStart_;
    s.span = Span();
    s.fixedRanges = !scaling_.signalAuto;
    s.elapsed = current.time;
    canvas_.DrawSignalSample(s);
}

void SignalPlot::Redraw() {
    if (setup_.look.positionPlotType == 0) {
        std::vector<float> times;
        std::vector<int32_t> values;
        times.reserve(window_.size());
        values.reserve(window_.size());
        for (const Point &p : window_) {
            times.push_back(p.time);
            values.push_back(p.position);
        }
        canvas_.RedrawSignalTraces(times, values, position_, windowStart_, Span());
        return;
    }
    for (std::size_t i = 0; i < window_.size(); ++i)
        DrawStep(window_[i], window_[i == 0 ? 0 : i - 1]);
}

void SignalPlot::DrawRecord(int32_t index, uint64_t) {
    const PositionVelocityDataSet &ring = data_.PositionVelocity();
    const auto i = static_cast<std::size_t>(index);
    elapsed_ += ring.interval[i];
    const Point p{elapsed_, ring.position[i], ring.velocity[i], ring.position64[i], ring.magnitude[i]};

    if (restart_) {
        restart_ = false;
        StartRanges(p);
        NewWindow(p.time);
        Relabel();
    } else {
        // A new window keeps the ranges; the record that opens it widens them like any other.
        if (p.time - windowStart_ >= Span()) NewWindow(p.time);
        if (scaling_.signalAuto && GrowRanges(p)) {
            Relabel();
            canvas_.ClearAndGrid();
            Redraw();
        }
    }
    const Point &previous = window_.empty() ? p : window_.back();
    DrawStep(p, previous);
    window_.push_back(p);
}

} // namespace kpd
