// The layout of the plot modes (1 encoder signal, 2 signal strength, 3 signal plots) and their empty
// grid, used until the plot engine provides its own: captions, plot box with its frame and tick labels,
// data buttons.
#pragma once

#include "session/DisplayMode.h"

#include <QSize>

class MainMenu;
struct MainFormControls;
class TPaintBox;
namespace kpd {
class Session;
}

// Returns the size of the plot area.
QSize ShowPlotModeLayout(MainFormControls &f, kpd::DisplayMode mode, int layoutClass, kpd::Session &session,
                         MainMenu &menu);
void DrawDefaultGrid(TPaintBox &box);
