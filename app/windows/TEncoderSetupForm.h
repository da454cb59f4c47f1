// Units and grating set-up of the position display. Its controls are added with the encoder set-up work.
#pragma once

#include <QDialog>

class TEncoderSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TEncoderSetupForm(QWidget *parent = nullptr);
};
