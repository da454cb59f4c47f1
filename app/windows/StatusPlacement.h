// Places the controls of the status display for a layout size class. The anchors are the three frames
// and the two rotated words that the paint handler draws for the class; every control of the status
// display is placed inside or beside them, so the frames always enclose their controls.
#pragma once

class TMainForm;

namespace kpd {

// Per-class sizes of the status display.
struct ClassMetrics {
    double scale;       // size of buttons, lamps and rows relative to the designed (medium) form
    int windowFontPt;   // 0: designed 12 pixels
    int normalFontPx;   // BitBtn1: normal button font
    int hoverFontPx;    // BitBtn2: hover font (bold)
    int positionFontPx; // large position read-out
    int windowHeight;   // height when the window is not maximised
    int barTop;         // signal bar
    int barHeight;
    int rotatedLineHeight;
};

ClassMetrics MetricsFor(int sizeClass);

} // namespace kpd

void PlaceStatusControls(TMainForm &f, int sizeClass);
