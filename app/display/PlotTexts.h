// PlotTexts: the texts around the plot area of each plot mode, as the mode's layout sets them: the plot's
// name and description, the axis titles and the tick labels the layout writes before anything is drawn.
// The window's plot layout and the pictures of stored plots (kpdctl plot) both take them from here.
#pragma once

#include "display/PlotCanvas.h"
#include "session/DisplayMode.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kpd {

struct TitleText {
    std::string text;
    uint32_t rgb = plotcolour::White;
    bool shown = false;
};

// The titles of the signal plots, which follow the position plot type.
struct SignalPlotTitles {
    std::string description;           // PlotDescriptionText
    TitleText top;                     // YAxisTextTop, left of the description
    TitleText bottom;                  // YAxisTextBottom, right of it
    std::optional<std::string> xTitle; // XAxisText; nothing: left as it was
};
SignalPlotTitles SignalPlotTitlesFor(int positionPlotType, const std::string &units);

struct PlotModeTexts {
    std::string name;                  // PlotNameText
    std::string description;           // PlotDescriptionText (mode 3: SignalPlotTitlesFor)
    std::optional<std::string> xTitle; // XAxisText in modes 1 and 2 (mode 1: none, hidden)
    std::array<std::string, 5> yLeft;  // YValue1 (top) .. YValue5 (bottom)
    std::array<std::string, 5> yRight; // YValue6 .. YValue10 (mode 3)
    std::array<std::string, 5> x;      // XValue1 (right) .. XValue5 (left)
};
// mode: 1 to 3; generation: the electronics generation (the strength plot's volts follow it).
PlotModeTexts PlotModeTextsFor(DisplayMode mode, int generation, const std::string &units);

} // namespace kpd
