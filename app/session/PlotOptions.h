// PlotOptions: the content of the plot settings dialog for a display mode, the check of its entries, and
// what the command scheduler applies when the dialog's Apply has been accepted. Plain functions over the
// settings and the plot scaling; the dialog (TPlotSettingsForm) only fills its controls from a page and
// reads them back into an entry.
#pragma once

#include "data/Settings.h"
#include "session/DisplayMode.h"
#include "session/PlotScaling.h"

#include <string>

namespace kpd {

// What the dialog shows for one display mode (1, 2 or 3).
struct PlotOptionsPage {
    DisplayMode mode = DisplayMode::EncoderSignal;
    std::string caption;     // window caption
    std::string memo;        // displaymemo
    std::string displayText; // displaybox
    std::string checkText;   // CheckBox1 caption
    bool checked = false;    // CheckBox1 state
    bool checkEnabled = true; // CheckBox1 (mode 1: with the circle controls)
    // Mode 1: the circle controls (CheckBox1, Label1, Edit1, Label2, Edit2) are usable at all.
    bool circleControlsEnabled = true;
    std::string label1Text, label2Text, edit1Text, edit2Text;
    float valueMinimum = 0.0f, valueMaximum = 0.0f; // allowed range of displaybox, inclusive
    bool validateRanges = false;                    // Apply checks Edit1 <= Edit2
    bool secondRange = false;                       // Label3/Edit3/Label4/Edit4 follow the range fields
};

// The dialog's entries when Apply is pressed.
struct PlotOptionsEntry {
    DisplayMode mode = DisplayMode::EncoderSignal;
    bool checked = false;
    std::string display, edit1, edit2;
};

// Builds the page of a plot mode from the settings (point counts, circles, units, multipliers, display
// digits, generation), the plot scaling (auto scale and ranges) and the controller firmware version.
PlotOptionsPage PreparePlotOptions(DisplayMode mode, const Settings &settings, const PlotScaling &scaling,
                                   int firmwareVersion);

// Apply's check. True when the entries are accepted; pendingCount then holds truncate(display value).
// False for a display value outside the page's range, a text that is not a number, or (with the check
// box clear and validateRanges set) Edit1 > Edit2; the dialog then shows the warning and stays open.
bool ValidatePlotOptions(const PlotOptionsPage &page, const PlotOptionsEntry &entry, int &pendingCount);

// What the scheduler applies for an accepted entry (command 12): by mode, the circles and lissplot=, the
// strength plot's auto scale or fixed range and signalplot=, or the signal plots' auto scale or fixed
// range and positionplot=.
void ApplyPlotOptions(const PlotOptionsEntry &entry, int pendingCount, Settings &settings, PlotScaling &scaling);

// The warning of a rejected entry.
constexpr const char *InvalidPlotOptionsText =
    "Invalid number entered.  Please verify all numbers are correct and retry.";

} // namespace kpd
