// The layout of the plot modes (1 encoder signal, 2 signal strength, 3 signal plots) and their empty
// grid, used until the plot engine provides its own: captions, plot box with its frame and tick labels,
// data buttons.
#pragma once

#include "session/DisplayMode.h"

class TMainForm;
class TPaintBox;

void ShowPlotModeLayout(TMainForm &f, kpd::DisplayMode mode);
void DrawDefaultGrid(TPaintBox &box);
