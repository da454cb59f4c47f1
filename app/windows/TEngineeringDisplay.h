// The engineering display: every register in hexadecimal, refreshed by the read-all worker, and single
// register writes by address. Its register grid and worker are added with the engineering display work;
// this window already tells the main window when it closes, however it is closed, so the scheduler can
// leave display mode 4.
#pragma once

#include <QDialog>

class TEngineeringDisplay : public QDialog {
    Q_OBJECT
public:
    explicit TEngineeringDisplay(QWidget *parent = nullptr);

    // Every way of closing ends here (Esc, the close button, accept or reject): the window hides and
    // Closed is emitted once.
    void done(int result) override;

signals:
    void Closed();
};
