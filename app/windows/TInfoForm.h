// "Electronics Information": identification and usage counters read from the electronics when the
// information command runs, with the serial port in use.
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

struct InfoFields {
    bool alignmentTool = true; // electronics type 0
    uint32_t serialNumber = 0; // GenReg0
    uint16_t firmwareVersion = 0;
    int processorVersion = 0;
    long long powerOnTime = 0;
    long long powerOnCycles = 0;
    int port = 0;
    int baudRate = 0;
};

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
