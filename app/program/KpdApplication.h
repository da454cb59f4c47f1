// KpdApplication: the program's application object. An exception that leaves an event handler does not
// end the program: it is shown in the standard error box with its message, and the program goes on.
#pragma once

#include <QApplication>

class KpdApplication : public QApplication {
public:
    KpdApplication(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
};
