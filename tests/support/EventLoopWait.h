// Waiting in tests while the event loop runs, so that workers' hand-overs and timers are served.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace kpdtest {

// Processes events until the condition holds or the time-out has passed; returns the condition.
inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace kpdtest
