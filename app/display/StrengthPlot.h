// StrengthPlot: display mode 2, the signal strength against position. Each record is one point; after
// `signalplot` points the plot starts over around the newest position. With auto scale the position range
// starts 5 % around the first position and widens past a position that leaves it (the plot is then
// cleared, relabelled and its points redrawn); with auto scale off it is the fixed range.
#pragma once

#include "display/StreamPlot.h"

#include <vector>

namespace kpd {

class StrengthPlot : public StreamPlot {
public:
    StrengthPlot(const DataSets &data, PlotCanvas &canvas, PlotScaling &scaling);

    plot::IntRange Range() const { return range_; }

protected:
    void Prepare() override;
    void DrawRecord(int32_t index, uint64_t k) override;

private:
    void Relabel();
    void Restart(int32_t position);

    plot::IntRange range_{-1, 1};
    int points_ = 0; // points since the last restart
    std::vector<int32_t> positions_;
    std::vector<int> heights_;
};

} // namespace kpd
