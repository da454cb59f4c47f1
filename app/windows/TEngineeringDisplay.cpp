#include "windows/TEngineeringDisplay.h"

TEngineeringDisplay::TEngineeringDisplay(QWidget *parent) : QDialog(parent) {
    setObjectName("EngineeringDisplay");
    setWindowTitle("Engineering Display");
    resize(640, 480);
}

void TEngineeringDisplay::done(int result) {
    const bool wasVisible = isVisible();
    QDialog::done(result);
    if (wasVisible) emit Closed();
}
