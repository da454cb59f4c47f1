// "Electronics Information": identification and usage counters read from the electronics when the
// information command runs, with the serial port in use.
#pragma once

#include "session/InfoFields.h"
#include <QDialog>

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget *parent = nullptr);
    void Fill(const InfoFields &f);

    QLabel *ElectronicsTypeLabel;
    QLineEdit *ControllerSerNumBox;
    QLineEdit *ControllerVersionBox;
    QLineEdit *AlignCodeVerBox;
    QLineEdit *PowerOnTimeBox;
    QLineEdit *PowerOnCyclesBox;
    QLabel *ComPort;
    QLabel *BaudRate;
    QPushButton *OkButton;

protected:
    void showEvent(QShowEvent *event) override;
};
