// The engineering display: every register of the electronics in hexadecimal, refreshed by the read-all
// worker, single register writes by address word, and the main-track AGC switches. The window only shows
// and asks: the main window hands its requests to the session and the session's texts to it.
//
// Every way of closing it (Esc, the title bar's close button or system menu, accept or reject) hides it
// and emits Closed once. On a screen smaller than its designed size (the main window's small layout class)
// the same controls are placed by a compact table that fits the screen.
#pragma once

#include "workers/ReadAllSlots.h"

#include <QDialog>

#include <array>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

class TEngineeringDisplay : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignedWidth = 816;
    static constexpr int DesignedHeight = 731;
    static constexpr int CompactWidth = 792;
    static constexpr int CompactHeight = 552;
    // A placement table of the controls (the designed one and the compact one).
    struct Placement;

    explicit TEngineeringDisplay(QWidget *parent = nullptr);

    // The boxes' component names and captions, in slot order.
    static const char *BoxName(int slot);
    static QString Caption(int slot);

    // The slot texts of the newest pass (empty texts clear the boxes).
    void ShowValues(const std::array<std::string, kpd::readall::SlotCount> &texts);
    // The write lock: the Write button is usable only while writing is enabled.
    void SetWriteEnabled(bool enabled);
    bool WriteEnabled() const;

    QLineEdit *Box(int slot) const { return boxes_[static_cast<std::size_t>(slot)]; }

    QWidget *Panel;
    QLabel *DataHeading;
    QLabel *ParameterHeading;
    QLabel *WriteLabel;
    QLineEdit *writedatabox;
    QPushButton *writedatabutton;
    QPushButton *enablemainagcbutton;
    QPushButton *disablemainagcbutton;
    QLabel *CloseText;

    // Every way of closing ends here (Esc, the close button, accept or reject): the window hides and
    // Closed is emitted once.
    void done(int result) override;

signals:
    void Closed();
    // The Write button with the write box's text.
    void WriteRequested(const QString &entry);
    // An AGC button: true Enable, false Disable.
    void MainAgcRequested(bool enable);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Places every control by the table of the current screen, sizes the window and centres it.
    void PlaceOnScreen();
    void Place(const Placement &p);

    std::array<QLineEdit *, kpd::readall::SlotCount> boxes_{};
    std::array<QLabel *, kpd::readall::SlotCount> captions_{};
};
