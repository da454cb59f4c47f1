// PlotLabels: the texts around the plot area that the drawing primitives set (the elapsed time and the
// tick labels). The main window implements it with its static texts; tests record the calls.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kpd {

class PlotLabels {
public:
    virtual ~PlotLabels() = default;
    // TimeText2: elapsed seconds, already formatted with one decimal.
    virtual void ShowElapsedText(const std::string &text) = 0;
    // XValue5 (index 0, left edge) ... XValue1 (index 4, right edge).
    virtual void SetXTickTexts(const std::array<std::string, 5> &leftToRight) = 0;
    // Left labels YValue5 (index 0, bottom) ... YValue1 (index 4, top), or with right set the right labels
    // YValue10 ... YValue6, in the given colour (0xRRGGBB).
    virtual void SetYTickTexts(bool right, const std::array<std::string, 5> &bottomToTop, uint32_t rgb) = 0;
};

} // namespace kpd
