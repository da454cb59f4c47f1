// Single-value edit dialog used by the engineering display; its controls are added with that work.
#pragma once

#include <QDialog>

class TEditDialogForm : public QDialog {
    Q_OBJECT
public:
    explicit TEditDialogForm(QWidget *parent = nullptr);
};
