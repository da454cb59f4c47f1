#include "display/LissajousReadout.h"

#include "platform/NumberFormat.h"

#include <algorithm>

namespace kpd {

namespace {

// With a "+" before a value that does not round to zero or below.
std::string Signed(double value, int decimals) {
    const std::string s = platform::FormatFixed(value, decimals);
    const bool zero = std::all_of(s.begin(), s.end(), [](char c) { return c == '0' || c == '.'; });
    return s.front() == '-' || zero ? s : "+" + s;
}

} // namespace

uint32_t ToleranceColour(double value, const ToleranceBand &band) {
    if (value >= band.lo && value <= band.hi) return plotcolour::Lime;
    if (value >= band.nearLo && value <= band.nearHi) return plotcolour::Yellow;
    return plotcolour::Red;
}

std::pair<double, double> IndicatorCircleVolts(const PlotLook &look) {
    const double lo = std::min(look.minimumCircle, look.maximumCircle);
    const double hi = std::max(look.minimumCircle, look.maximumCircle);
    if (look.generation >= 3) return {lo, hi};
    if (look.firmwareVersion > 1333) return {lo * 2.5, hi * 2.5};
    // The fixed circles lie 35.6 % and 3.1 % of the height inside the plot's edges; the plot's half
    // height is 2.5 V.
    return {(0.5 - 0.356) / 0.2, (0.5 - 0.031) / 0.2};
}

FitTolerance ToleranceFor(const PlotLook &look) {
    FitTolerance t;
    const auto [lo, hi] = IndicatorCircleVolts(look);
    t.radiusV = {lo, hi, lo * 0.8, hi * 1.2};
    return t;
}

std::vector<ReadoutLine> ReadoutLines(const LissajousFit &fit, const FitTolerance &tolerance) {
    std::vector<ReadoutLine> lines{{"Fit of " + std::to_string(fit.records) + " records", plotcolour::White}};
    if (!fit.ok) {
        lines.push_back({"No fit: " + fit.reason, plotcolour::Red});
        return lines;
    }
    lines.push_back({"Offset X  " + Signed(fit.offsetXPct, 2) + " %",
                     ToleranceColour(fit.offsetXPct, tolerance.offsetPct)});
    lines.push_back({"Offset Y  " + Signed(fit.offsetYPct, 2) + " %",
                     ToleranceColour(fit.offsetYPct, tolerance.offsetPct)});
    lines.push_back({"Ratio Y/X  " + platform::FormatFixed(fit.amplitudeRatio, 3),
                     ToleranceColour(fit.amplitudeRatio, tolerance.amplitudeRatio)});
    lines.push_back({"Phase  " + Signed(fit.phaseErrorDeg, 1) + " deg",
                     ToleranceColour(fit.phaseErrorDeg, tolerance.phaseErrorDeg)});
    lines.push_back({"Radius  " + platform::FormatFixed(fit.radiusV, 3) + " V",
                     ToleranceColour(fit.radiusV, tolerance.radiusV)});
    lines.push_back({"Ripple  " + platform::FormatFixed(fit.ripplePct, 1) + " %", plotcolour::White});
    return lines;
}

} // namespace kpd
