// The status display of the main window: the placement of its controls for a layout size class, the
// decorations the paint handler draws, and the status view shown in its lamps, texts and buttons. The
// anchors are the three frames and the two rotated words drawn for the class; every control is placed
// inside or beside them, so the frames always enclose their controls.
#pragma once

class QFont;
class QPainter;
class QWidget;
struct MainFormControls;

namespace kpd {
struct StatusView;
}

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

// plotSize: the side of the plot area of the class.
void PlaceStatusControls(MainFormControls &f, const QWidget &window, int sizeClass, int plotSize);
// The elapsed time and its caption in the position frame (the plot modes show them in their side column).
void PlaceStatusElapsedTime(MainFormControls &f, int sizeClass);

// The raised (or, for a hidden control, black) bevel around a control.
void DrawBevel(QPainter &p, QWidget *control, bool raised);
// The frames, the rotated words and the bevels of the status display.
void PaintStatusDecorations(const MainFormControls &f, const QWidget &window, QPainter &p, int layoutClass,
                            const QFont &rotatedFont, const kpd::StatusView &v);
// Lamps, texts, operating-state buttons and zone markers; the buttons and markers only while the status
// display is shown.
void ShowStatusView(MainFormControls &f, const kpd::StatusView &v, bool statusDisplayShown);
