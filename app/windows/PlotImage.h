// PlotImage: "Save Plot Image..." (Ctrl+Shift+S): the plot area of the current plot mode with its frame, tick
// labels and titles as the window shows them, and in the encoder-signal mode the fit readout, composed as a
// picture (kpd::RenderPlotPicture, the same as kpdctl plot) and written as PNG to the file the save dialog
// (the dialog seam) names.
#pragma once

#include "display/PlotPicture.h"
#include "session/DisplayMode.h"

class PlotDisplay;
class TMainForm;
struct MainFormControls;

// What the window shows of the plot of `mode` (1..3).
kpd::PlotPictureContent PlotContentOf(MainFormControls &f, PlotDisplay &plots, kpd::DisplayMode mode);

// The menu item: asks for the file and writes the picture; an error box when it cannot be written. Outside
// the plot modes nothing happens.
void SavePlotImage(TMainForm &form);
