#include "windows/TInfoForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QString Hex(unsigned long long v, int digits) {
    return QString::number(v, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
} // namespace

TInfoForm::TInfoForm(QWidget *parent) : QDialog(parent) {
    setObjectName("InfoForm");
    setWindowTitle("Electronics Information");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint);
    auto *grid = new QGridLayout(this);
    ElectronicsTypeLabel = new QLabel("Electronics Type:  ", this);
    ElectronicsTypeLabel->setObjectName("ElectronicsTypeLabel");
    ElectronicsTypeLabel->setFocusPolicy(Qt::StrongFocus);
    grid->addWidget(ElectronicsTypeLabel, 0, 0, 1, 2);
    auto addBox = [&](int row, const char *name, const char *caption) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setStyleSheet("background: #C0C0C0;");
        grid->addWidget(e, row, 1);
        return e;
    };
    ControllerSerNumBox = addBox(1, "ControllerSerNumBox", "Sensor Serial Number:");
    ControllerVersionBox = addBox(2, "ControllerVersionBox", "Sensor Firmware Version:");
    AlignCodeVerBox = addBox(3, "AlignCodeVerBox", "Alignment Tool Firmware Version:");
    PowerOnTimeBox = addBox(4, "PowerOnTimeBox", "Alignment Tool Power on Time:");
    PowerOnCyclesBox = addBox(5, "PowerOnCyclesBox", "Alignment Tool Power on Cycles:");
    grid->addWidget(new QLabel("COM Port:", this), 6, 0);
    ComPort = new QLabel(this);
    ComPort->setObjectName("ComPort");
    grid->addWidget(ComPort, 6, 1);
    grid->addWidget(new QLabel("Baud Rate:", this), 7, 0);
    BaudRate = new QLabel(this);
    BaudRate->setObjectName("BaudRate");
    grid->addWidget(BaudRate, 7, 1);
    OkButton = new QPushButton("OK", this);
    OkButton->setObjectName("OkButton");
    OkButton->setDefault(true);
    grid->addWidget(OkButton, 8, 0, 1, 2, Qt::AlignHCenter);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::close);
}

void TInfoForm::Fill(const InfoFields &f) {
    if (f.alignmentTool) ElectronicsTypeLabel->setText("Electronics Type: Alignment Tool");
    ControllerSerNumBox->setText(Hex(f.serialNumber, 8));
    ControllerVersionBox->setText(Hex(f.firmwareVersion, 4));
    PowerOnTimeBox->setText(QString::number(f.powerOnTime) + " hours");
    PowerOnCyclesBox->setText(QString::number(f.powerOnCycles));
    AlignCodeVerBox->setText(Hex(static_cast<unsigned>(f.processorVersion) & 0xFFFFu, 4));
    BaudRate->setText(QString::number(f.baudRate));
    ComPort->setText("COM" + QString::number(f.port));
}

void TInfoForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    ElectronicsTypeLabel->setFocus();
}
