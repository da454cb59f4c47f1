// The shared choice dialog: up to three radio groups, a warning text and OK/Cancel. The output settings
// command and the engineering display fill its captions and items before showing it modally.
#pragma once

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

// A radio group with an item list and an item index, as the designed form's radio groups behave.
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
