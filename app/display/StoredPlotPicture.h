// StoredPlotPicture: the picture KPD shows after loading a data file, made without a window: the plot of the
// loaded data set drawn by the plot engine from its stored records, with the look and point counts of the
// settings as KPD's live plot takes them, the tick labels and titles KPD's plot layout and plots give it,
// and in the encoder-signal mode the fit readout. kpdctl plot renders it offscreen.
#pragma once

#include "data/DataSets.h"
#include "data/Settings.h"
#include "display/PlotPicture.h"
#include "display/StreamPlot.h"
#include "session/DisplayMode.h"

#include <QSize>

namespace kpd {

// The layout size class whose plot area has this height (320 small, 500 large, else medium).
int LayoutClassOfPlot(QSize plotSize);

// The plot of display mode 1, 2 or 3 drawn from the records `data` holds for it, on a plot area of
// `plotSize`, with its texts (units from the settings).
PlotPictureContent StoredPlotContent(const DataSets &data, DisplayMode mode, const Settings &settings,
                                     int firmwareVersion, QSize plotSize);

} // namespace kpd
