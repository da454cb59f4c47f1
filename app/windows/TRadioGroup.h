// A radio group with an item list and an item index, as the designed windows' radio groups behave.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget *parent = nullptr);
    void ClearItems();
    void SetItems(const QStringList &items);
    QStringList Items() const;
    int ItemIndex() const; // -1: nothing selected
    void SetItemIndex(int index);

signals:
    void ItemClicked(int index);

private:
    QButtonGroup *buttons_;
    QVBoxLayout *layout_;
};
