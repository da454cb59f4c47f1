#include "TRadioDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget *parent)
    : QGroupBox(parent), buttons_(new QButtonGroup(this)), layout_(new QVBoxLayout(this)) {
    buttons_->setExclusive(true);
    layout_->setContentsMargins(8, 4, 8, 4);
    layout_->setSpacing(2);
    connect(buttons_, &QButtonGroup::idClicked, this, &TRadioGroup::ItemClicked);
}

void TRadioGroup::ClearItems() {
    const auto all = buttons_->buttons();
    for (QAbstractButton *b : all) {
        buttons_->removeButton(b);
        delete b;
    }
}

void TRadioGroup::SetItems(const QStringList &items) {
    ClearItems();
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], this);
        buttons_->addButton(b, i);
        layout_->addWidget(b);
    }
}

QStringList TRadioGroup::Items() const {
    QStringList out;
    const auto all = buttons_->buttons();
    for (int i = 0; i < all.size(); ++i)
        out << buttons_->button(i)->text();
    return out;
}

int TRadioGroup::ItemIndex() const {
    return buttons_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (QAbstractButton *b = buttons_->button(index)) {
        b->setChecked(true);
        return;
    }
    // No item with that index: nothing selected.
    buttons_->setExclusive(false);
    for (QAbstractButton *b : buttons_->buttons())
        b->setChecked(false);
    buttons_->setExclusive(true);
}

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
