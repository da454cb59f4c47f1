#include "display/LayoutClass.h"

namespace kpd {

LayoutChoice ChooseLayout(int screenWidth, int screenHeight, double pixelsPerInch) {
    LayoutChoice c;
    if (screenHeight < 768) {
        c.sizeClass = LayoutSmall;
        if (screenWidth > 800) {
            c.maximised = false;
            c.normalWidth = 800;
        }
        c.windowFontPx = 7;
        c.tickLabelFontPx = 7;
        c.plotSize = 320;
        c.plotScale = 300.0f;
    } else if (screenHeight >= 1024) {
        c.sizeClass = LayoutLarge;
        if (screenWidth > 1280) {
            c.maximised = false;
            c.normalWidth = 1280;
        }
        // The large routine raises the font to 15 on the way and ends at 13.
        c.windowFontPx = 13;
        c.tickLabelFontPx = 14;
        c.plotSize = 500;
        c.plotScale = 450.0f;
    } else {
        c.sizeClass = LayoutMedium;
        if (screenWidth > 1024) {
            // The designed form is widened to 1280, not 1024, on such screens.
            c.maximised = false;
            c.normalWidth = 1280;
        }
        c.windowFontPx = 12;
        c.tickLabelFontPx = pixelsPerInch > 96.0 ? 8 : 12;
        c.plotSize = 400;
        c.plotScale = 300.0f;
    }
    return c;
}

} // namespace kpd
