#include "windows/TRadioDialog.h"

#include <QLabel>
#include <QPushButton>

TRadioDialog::TRadioDialog(QWidget *parent) : QDialog(parent) {
    setObjectName("RadioDialog");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(408, 283);
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setGeometry(8, 8, 169, 81);
    RadioGroup2 = new TRadioGroup(this);
    RadioGroup2->setObjectName("RadioGroup2");
    RadioGroup2->setGeometry(216, 8, 169, 81);
    RadioGroup3 = new TRadioGroup(this);
    RadioGroup3->setObjectName("RadioGroup3");
    RadioGroup3->setGeometry(8, 96, 169, 81);
    RadioGroup3->setVisible(false);

    warning = new QLabel(this);
    warning->setObjectName("warning");
    warning->setGeometry(16, 168, 377, 81);
    warning->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    warning->setWordWrap(true);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(103, 252, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(239, 252, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TRadioDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    RadioGroup1->setFocus();
}
