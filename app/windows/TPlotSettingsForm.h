// Plot settings dialog (point counts, indicator circles, fixed ranges, time window); its controls are added
// with the plot settings work.
#pragma once

#include <QDialog>

class TPlotSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TPlotSettingsForm(QWidget *parent = nullptr);
};
