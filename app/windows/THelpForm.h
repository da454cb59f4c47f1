// The help window: the manual of KPD (docs/manual.md, built into the program) rendered from its Markdown.
// Links between its sections go to the section's heading; Alt+Left and Alt+Right go back and forward;
// links to web pages open in the desktop's browser. Never modal; Escape hides it.
#pragma once

#include <QWidget>

class QTextBrowser;

class THelpForm : public QWidget {
    Q_OBJECT
public:
    explicit THelpForm(QWidget *parent = nullptr);

    // Shows the window (the manual is read on the first showing) and brings it to the front.
    void ShowManual();
    // The manual's Markdown text as built into the program.
    static QString ManualText();

    QTextBrowser *ManualBrowser;

private:
    bool loaded_ = false;
};
