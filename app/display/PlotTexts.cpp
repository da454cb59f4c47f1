#include "display/PlotTexts.h"

namespace kpd {

SignalPlotTitles SignalPlotTitlesFor(int type, const std::string &units) {
    SignalPlotTitles t;
    if (type == 1) {
        t.description = "Encoder Signal Strength  vs.  Position";
        t.top = {"", plotcolour::Yellow, true};
        t.xTitle = "Position in counts";
    } else if (type == 2) {
        t.description = "Signal Strength  vs.  Time";
        t.top = {"Vec_Mag in " + units, plotcolour::Yellow, false};
    } else {
        t.description = "Position  vs.  Time";
        t.top = {"Position in Counts ", plotcolour::Lime, true};
        t.bottom = {"Tr3SumB in " + units, plotcolour::Red, false};
        t.xTitle = "Time in seconds";
    }
    return t;
}

PlotModeTexts PlotModeTextsFor(DisplayMode mode, int generation, const std::string &units) {
    PlotModeTexts t;
    t.name = mode == DisplayMode::SignalStrength ? " Encoder Signal Strength Graph" : " Encoder Signal Graph";
    if (mode == DisplayMode::EncoderSignal) {
        t.description = "sine/cosine in %";
        t.yLeft = t.x = {"100%", "50%", "0%", "50%", "100%"};
    } else if (mode == DisplayMode::SignalStrength) {
        t.description = "encoder signal strength vs. position";
        t.xTitle = "Position in " + units;
        t.yLeft = generation <= 2 ? std::array<std::string, 5>{"0.8V", "0.6V", "0.4V", "0.2V", "0.0V"}
                                  : std::array<std::string, 5>{"1.6V", "1.2V", "0.8V", "0.4V", "0.0V"};
        t.x = {"1.6V", "1.2V", "0.8V", "0.4V", "0.0V"};
    } else {
        t.yLeft = t.yRight = {"1.00", "0.75", "0.50", "0.25", "0"};
        t.x = {"1.0", "0.7", "0.5", "0.2", "0"};
    }
    return t;
}

} // namespace kpd
