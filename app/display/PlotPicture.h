// PlotPicture: a plot as a picture: the plot area's image in its frame with the tick labels along its
// left and bottom edges, the plot's name and description above it, the axis titles, and (encoder signal) the
// fit readout beside it, on the window's black background. KPD's "Save Plot Image..." and kpdctl plot both
// compose their pictures here, so the same plot gives the same picture.
//
// User-interface thread (or any thread of a program with a QGuiApplication): it paints text.
#pragma once

#include "display/LissajousReadout.h"

#include <QImage>

#include <array>
#include <string>
#include <vector>

namespace kpd {

struct PictureText {
    std::string text; // empty: not shown
    uint32_t rgb = plotcolour::White;
    bool operator==(const PictureText &) const = default;
};

struct PlotPictureContent {
    QImage plot;                       // the plot area as drawn
    std::string name;                  // first title line (PlotNameText)
    std::string description;           // second title line (PlotDescriptionText)
    PictureText leftTitle, rightTitle; // beside the description (YAxisTextTop, YAxisTextBottom)
    std::string xTitle;                // below the X tick labels (XAxisText)
    std::array<PictureText, 5> xTicks; // left to right (XValue5 .. XValue1)
    std::array<PictureText, 5> yLeft;  // bottom to top (YValue5 .. YValue1)
    std::vector<ReadoutLine> readout;  // right of the plot (empty: none)
};

QImage RenderPlotPicture(const PlotPictureContent &content);

} // namespace kpd
