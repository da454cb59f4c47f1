// Choice of the main window's layout size class from the screen. The window is designed for 1024 x 768;
// smaller and larger screens get their own placement tables.
#pragma once

namespace kpd {

enum LayoutSizeClass : int { LayoutSmall = 0, LayoutMedium = 1, LayoutLarge = 2 };

struct LayoutChoice {
    int sizeClass = LayoutMedium;
    bool maximised = true;    // false: normal window state with the given width
    int normalWidth = 0;      // only when !maximised
    int windowFontPx = 12;    // window font size after the layout routine
    int tickLabelFontPx = 12; // tick labels XValue*/YValue* (medium class only; others set by their tables)
    int plotSize = 400;       // square plot box of the encoder-signal display
    float plotScale = 300.0f;
};

// Screen size in pixels and its pixels per inch.
LayoutChoice ChooseLayout(int screenWidth, int screenHeight, double pixelsPerInch);

} // namespace kpd
