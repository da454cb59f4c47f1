// The shared choice dialog: up to three radio groups, a warning text and OK/Cancel. The output settings
// command and the engineering display fill its captions and items before showing it modally.
#pragma once

#include <QDialog>
#include <QStringList>

#include "windows/TRadioGroup.h"

class QLabel;
class QPushButton;

class TRadioDialog : public QDialog {
    Q_OBJECT
public:
    explicit TRadioDialog(QWidget *parent = nullptr);

    TRadioGroup *RadioGroup1;
    TRadioGroup *RadioGroup2;
    TRadioGroup *RadioGroup3;
    QLabel *warning;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    void showEvent(QShowEvent *event) override;
};
