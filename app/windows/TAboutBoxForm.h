// "About": the program's version strings and the version number of the link library.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutBoxForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBoxForm(QWidget *parent = nullptr);

    QLabel *ProductName;
    QLabel *Version;
    QLabel *Comments;
    QLabel *Label1;
    QLabel *TheDllVersion;
    QPushButton *OKButton;

    // Fills the labels (the show handler calls it).
    void FillLabels();

protected:
    void showEvent(QShowEvent *event) override;
};
