#include "windows/TPlotSettingsForm.h"

TPlotSettingsForm::TPlotSettingsForm(QWidget *parent) : QDialog(parent) {
    setObjectName("PlotSettingsForm");
    setWindowTitle("Plot Settings");
}
