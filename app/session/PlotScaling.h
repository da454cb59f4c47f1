// PlotScaling: the auto-scale switches and fixed ranges of the signal-strength plot (display mode 2) and
// the signal plots (display mode 3), and the ranges the plots currently show. The switches are not kept
// in the settings file: both plots auto-scale after every start of the program. The plots report their
// current ranges here so that the plot settings dialog can offer them.
#pragma once

#include <cstdint>

namespace kpd {

struct PlotRange {
    int32_t lo = 0, hi = 0;
    bool operator==(const PlotRange &) const = default;
};

struct PlotScaling {
    bool strengthAuto = true; // mode 2: the position range follows the points
    PlotRange strengthFixed;  // mode 2 with auto scale off: position range in counts
    bool signalAuto = true;   // mode 3: the trace ranges grow with the values
    PlotRange signalFixed;    // mode 3 with auto scale off: the range of every trace

    PlotRange strengthCurrent; // position range the strength plot shows (counts)
    PlotRange signalCurrent;   // range of the trace the position plot type shows
};

} // namespace kpd
