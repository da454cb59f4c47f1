#include "windows/TEncoderSetupForm.h"

TEncoderSetupForm::TEncoderSetupForm(QWidget *parent) : QDialog(parent) {
    setObjectName("EncoderSetupForm");
    setWindowTitle("Encoder Setup");
}
