#include "TEngineeringDisplay.h"

#include <QCloseEvent>

TEngineeringDisplay::TEngineeringDisplay(QWidget *parent) : QDialog(parent) {
    setObjectName("EngineeringDisplay");
    setWindowTitle("Engineering Display");
    resize(640, 480);
}

void TEngineeringDisplay::closeEvent(QCloseEvent *event) {
    QDialog::closeEvent(event);
    emit Closed();
}
