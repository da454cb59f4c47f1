// The small searching window: a caption and one progress label. It is shown while the program searches
// for electronics, resets them, reconnects or shuts down.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;

class TStartup : public QDialog {
    Q_OBJECT
public:
    // onConstructed runs at the end of construction: the program entry passes "show the main window and
    // search for electronics", so the first search is part of start-up.
    explicit TStartup(QWidget *parent = nullptr, const std::function<void(TStartup *)> &onConstructed = {});

    // Set the label text and repaint at once (the caller may block the event loop afterwards).
    void ShowText(const QString &text);
    // Set caption, show and repaint.
    void ShowWithCaption(const QString &caption);

    QLabel *Label1;
};
