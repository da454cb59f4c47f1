// The display modes of the main window. Modes 0 to 3 own the data set of the same number and a data state;
// the engineering display (4) has neither.
#pragma once

namespace kpd {

enum class DisplayMode : int {
    Status = 0,         // status and setup
    EncoderSignal = 1,  // Lissajous figure
    SignalStrength = 2, // strength against position
    SignalPlots = 3,    // position and strength against time
    Engineering = 4,    // register display
};

constexpr int kDisplayModeCount = 5;

constexpr bool HasDataSet(DisplayMode mode) {
    return static_cast<int>(mode) >= 0 && static_cast<int>(mode) <= 3;
}
constexpr int Index(DisplayMode mode) {
    return static_cast<int>(mode);
}

} // namespace kpd
