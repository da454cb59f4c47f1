// The layout of the plot modes (1 encoder signal, 2 signal strength, 3 signal plots): captions of the side
// buttons, titles, the plot box with its frame panels and tick labels in the three size classes, the plot
// type choice and the data buttons; and the titles that follow the plot type.
#pragma once

#include "session/DisplayMode.h"

#include <QSize>

#include <string>

class MainMenu;
struct MainFormControls;
namespace kpd {
class Session;
}

// Plot area size and position of a plot mode in a layout size class.
struct PlotGeometry {
    int left = 0, top = 0, width = 0, height = 0;
};
PlotGeometry PlotGeometryOf(kpd::DisplayMode mode, int layoutClass);

// Lays out a plot mode and sets the window caption; returns the size of the plot area. dpi: the window's
// pixels per inch (the X tick labels of modes 2 and 3 get smaller fonts above 96).
QSize ShowPlotLayout(MainFormControls &f, kpd::DisplayMode mode, int layoutClass, double dpi, kpd::Session &session,
                     MainMenu &menu);
// Widens the tick labels to their texts where needed, each staying where it points: the X labels centred
// on their ticks, the left Y labels ending at the plot, the right ones starting at it.
void FitTickLabels(MainFormControls &f);
// PlotDescriptionText of the encoder-signal plot.
void SetEncoderPlotDescription(MainFormControls &f);
// Titles of the signal plots for a position plot type.
void SetSignalPlotTitles(MainFormControls &f, int positionPlotType, const std::string &units);
