#include "windows/TRadioGroup.h"

#include <QButtonGroup>
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
