// LissajousReadout: the lines of the fit readout beside the encoder-signal plot, each value judged against
// its tolerance: green inside it, yellow a little outside, red far outside. Plain functions; the window's
// readout and the saved plot pictures show these lines.
#pragma once

#include "display/PlotCanvas.h"
#include "workers/LissajousFit.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kpd {

// A value's tolerance: inside [lo, hi] it is good (green); inside [nearLo, nearHi] it is near (yellow);
// beyond it is far (red).
struct ToleranceBand {
    double lo = 0.0, hi = 0.0, nearLo = 0.0, nearHi = 0.0;
};

struct FitTolerance {
    ToleranceBand offsetPct{-2.0, 2.0, -4.0, 4.0};
    ToleranceBand amplitudeRatio{0.95, 1.05, 0.90, 1.10};
    ToleranceBand phaseErrorDeg{-3.0, 3.0, -6.0, 6.0};
    ToleranceBand radiusV{0.187, 0.575, 0.187 * 0.8, 0.575 * 1.2}; // between the two indicator circles
};

// Green #00FF00, yellow #FFFF00 or red #FF0000 for a value.
uint32_t ToleranceColour(double value, const ToleranceBand &band);

// The radii in volts of the two indicator circles the plot draws for the electronics (smaller first):
// generation 3 or above the circles of the settings, generation 0..2 with controller firmware above 1333
// those times 2.5, else the fixed circles (0.72 V and 2.345 V).
std::pair<double, double> IndicatorCircleVolts(const PlotLook &look);

// The default tolerances with the radius between the indicator circles of `look`, and the near band of
// the radius 20 % beyond them.
FitTolerance ToleranceFor(const PlotLook &look);

struct ReadoutLine {
    std::string text;
    uint32_t rgb = plotcolour::White;
    bool operator==(const ReadoutLine &) const = default;
};

// The readout: a heading with the number of records, then offset X, offset Y, amplitude ratio, phase error
// and mean radius in their tolerance colours and the ripple in white; or, without a fit, "No fit: " and
// the reason in red. Numbers in the C locale.
std::vector<ReadoutLine> ReadoutLines(const LissajousFit &fit, const FitTolerance &tolerance);

} // namespace kpd
