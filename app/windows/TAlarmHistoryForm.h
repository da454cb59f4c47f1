// "Alarm History Log...": the alarm history of the status display, newest first, with Refresh, Clear
// History, Save to File and Close. It shows the copy kept by kpd::AlarmHistoryLog and hands each button to
// it. Never modal; it is created once and shown and hidden from then on. Close and Escape hide it.
#pragma once

#include "session/AlarmHistoryLog.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kpd {
class StatusController;
}

class TAlarmHistoryForm : public QDialog {
    Q_OBJECT
public:
    // The column header, in the dialog font; the memo's columns are placed under its words.
    static constexpr const char *kColumnHeader =
        "            Alarm Type                                     Location                              "
        "                          Time    ";

    explicit TAlarmHistoryForm(QWidget *parent = nullptr);
    ~TAlarmHistoryForm() override;

    // The status display whose history the window shows (the main window attaches it before showing).
    void Attach(kpd::StatusController &status);
    kpd::AlarmHistoryLog *Log() const { return log_.get(); }

    void RefreshButtonClick();
    void ClearHistoryButtonClick();
    void SaveButtonClick();
    void CloseClick();

    // The memo's lines as shown.
    QStringList MemoLines() const;

    QLabel *Label1;
    QPlainTextEdit *AlarmHistoryMemo;
    QPushButton *RefreshButton;
    QPushButton *ClearHistoryButton;
    QPushButton *SaveButton;
    QPushButton *Close;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ShowLines();
    // Tab positions of the memo under the header's words, and the window size that fits them.
    void ArrangeColumns();
    void PlaceOnScreen();

    std::unique_ptr<kpd::AlarmHistoryLog> log_;
};
