#include "windows/TEditDialogForm.h"

TEditDialogForm::TEditDialogForm(QWidget *parent) : QDialog(parent) {
    setObjectName("EditDialogForm");
    setWindowTitle("Edit");
}
