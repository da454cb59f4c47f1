#include "windows/TAlarmHistoryForm.h"

TAlarmHistoryForm::TAlarmHistoryForm(QWidget *parent) : QDialog(parent) {
    setObjectName("AlarmHistoryForm");
    setWindowTitle("Alarm History");
}
