// SignalPlot: display mode 3, the signal plots against time. Time runs across a window of `positionplot`
// seconds; when a record's time reaches the window's end a new window starts at it. What is drawn follows
// the position plot type: the position trace (0), the strength against position (1), or three traces
// (3: position, the second (float) trace, Position64). With auto scale the ranges start around the first
// values after a restart and widen past values that leave them (the plot is then cleared, relabelled and
// the window's points redrawn); with auto scale off every trace has the fixed range.
#pragma once

#include "display/StreamPlot.h"

#include <vector>

namespace kpd {

class SignalPlot : public StreamPlot {
public:
    SignalPlot(const DataSets &data, PlotCanvas &canvas, PlotScaling &scaling);

    plot::IntRange PositionRange() const { return position_; }
    plot::FloatRange SecondRange() const { return second_; }
    plot::IntRange ThirdRange() const { return third_; }
    plot::IntRange StrengthRange() const { return strength_; }
    float WindowStart() const { return windowStart_; }

protected:
    void Prepare() override;
    void DrawRecord(int32_t index, uint64_t k) override;

private:
    struct Point {
        float time;
        int32_t position;
        float second;
        int32_t third;
        int32_t strength;
    };
    void Relabel();
    void NewWindow(float time);
    void LabelTimeAxis();
    void StartRanges(const Point &p);
    bool GrowRanges(const Point &p);
    void Redraw();
    void DrawStep(const Point &current, const Point &previous);
    float Span() const;

    plot::IntRange position_{-1, 1};
    plot::FloatRange second_{-0.1f, 0.1f};
    plot::IntRange third_{-1, 1};
    plot::IntRange strength_{0, 215};
    float windowStart_ = 0.0f;
    std::vector<Point> window_; // the points of the current window
};

} // namespace kpd
