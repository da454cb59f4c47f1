// The alarm history log window. Its list, refresh, clear and save controls are added with the alarm history
// work.
#pragma once

#include <QDialog>

class TAlarmHistoryForm : public QDialog {
    Q_OBJECT
public:
    explicit TAlarmHistoryForm(QWidget *parent = nullptr);
};
