// View model of the status display (display mode 0): everything the signal evaluation decides about the
// lamps, the operating-state texts, the calibration/alignment buttons and the zone markers of the signal
// bar. The main window owns one StatusView, lets SignalEvaluation update it and applies it to its widgets.
// Member names are the component names of the widgets they drive.
#pragma once

#include "workers/Rgb.h"

#include <string>

namespace kpd {

struct ButtonState {
    bool enabled = true;
    bool visible = true;
    // true: the white/grey bevel is drawn around the button; false: it is drawn black (erased).
    bool raisedBevel = true;

    friend bool operator==(const ButtonState &, const ButtonState &) = default;
};

// Visibility of the four zone-marker image pairs left and right of the bar image `SignalBar`.
struct ZoneMarkers {
    bool green = false;     // greenleft / greenright ("Optimal", "Good")
    bool yellow = false;    // yellowleft / yellowright ("Marginal")
    bool red = false;       // redleft / redright ("Poor")
    bool darkGreen = false; // darkgreenleft / darkgreenright (only ever hidden by the evaluation)

    friend bool operator==(const ZoneMarkers &, const ZoneMarkers &) = default;
};

struct StatusView {
    // Lamp brushes.
    Rgb IndexShape = clGray;
    Rgb LeftLimitShape = clGray;
    Rgb RightLimitShape = clGray;
    Rgb YellowShape = clGrayText;
    Rgb RedShape = clGrayText;
    Rgb OverSignalShape = clGrayText;

    // Operating-state texts.
    std::string IndexBox;
    std::string ResolutionBox;
    Rgb ResolutionBoxFont = clLime;
    bool ResolutionBoxVisible = false;

    // Calibration and alignment buttons.
    ButtonState StartCalButton{false, true, true};
    ButtonState StopCalButton{false, true, true};
    ButtonState StartAlignButton{true, true, true};
    ButtonState StopAlignButton{false, true, true};
    ButtonState CalSetButton{true, false, false};

    ZoneMarkers markers;

    friend bool operator==(const StatusView &, const StatusView &) = default;
};

} // namespace kpd
