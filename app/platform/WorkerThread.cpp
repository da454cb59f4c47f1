#include "platform/WorkerThread.h"

#include "platform/UiDispatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <sys/prctl.h>

#include <thread>

namespace platform {

WorkerThread::WorkerThread(QObject *uiContext)
    : uiContext_(uiContext ? uiContext : QCoreApplication::instance()) {
    // The dispatcher must exist on the user-interface thread before the worker needs it.
    UiDispatcher::Instance();
    // The thread object itself belongs to the user-interface thread (deleteLater runs there).
    if (uiContext_ && thread() != uiContext_->thread()) moveToThread(uiContext_->thread());
}

WorkerThread::~WorkerThread() {
    // A worker deleted while its body still runs would crash; wait for the body to end. Owners that
    // delete a running worker must have asked it to stop first.
    if (isRunning()) WaitForEnd();
    // A termination call still queued for this object must not arrive after it is gone.
    if (UiDispatcher *d = UiDispatcher::Instance()) d->Cancel(this);
}

void WorkerThread::SetOnTerminate(std::function<void()> handler) {
    onTerminate_ = std::move(handler);
}

bool WorkerThread::Resume(QThread::Priority priority) {
    bool expected = false;
    if (!resumed_.compare_exchange_strong(expected, true)) return false;
    start(priority);
    return true;
}

void WorkerThread::run() {
    // The default timer slack lets a sleeping thread wake up to 50 microseconds late; a worker's waits
    // are part of a transaction's timing on the line, so they end on time.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    Execute();
    // The termination handler runs on the user-interface thread once the body has ended.
    if (UiDispatcher *d = UiDispatcher::Instance()) d->Post(this, [this] { Finish(); });
    ended_.store(true, std::memory_order_release);
}

bool WorkerThread::WaitForEnd(unsigned long ms) {
    if (!wait(ms)) return false;
    return !resumed_.load() || ended_.load(std::memory_order_acquire);
}

void WorkerThread::Finish() {
    // The worker posted this as its last act; wait for the thread to end completely so the handler and
    // the deletion see a finished thread.
    WaitForEnd();
    if (onTerminate_) onTerminate_();
    if (freeOnTerminate_) deleteLater();
}

bool WorkerThread::OnUiThread() {
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void WorkerThread::Synchronize(const std::function<void()> &method) {
    if (!method) return;
    if (OnUiThread()) {
        method();
        return;
    }
    UiDispatcher *dispatcher = UiDispatcher::Instance();
    if (!dispatcher) {
        method();
        return;
    }
    dispatcher->RunAndWait(method);
}

void WorkerThread::Queue(std::function<void()> method) {
    if (!method) return;
    UiDispatcher *dispatcher = UiDispatcher::Instance();
    if (!dispatcher || OnUiThread()) {
        method();
        return;
    }
    dispatcher->Post(this, std::move(method));
}

bool WaitWhile(const std::function<bool()> &condition, std::chrono::milliseconds bound,
               std::chrono::milliseconds step) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    if (step <= std::chrono::milliseconds(0)) step = std::chrono::milliseconds(1);
    while (condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!condition()) break;
        std::this_thread::sleep_for(
            std::min<std::chrono::milliseconds>(step, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                          deadline - std::chrono::steady_clock::now()) +
                                                          std::chrono::milliseconds(1)));
    }
    return true;
}

void RunEventsFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitUntilCleared(const std::atomic<bool> &flag, std::chrono::milliseconds bound,
                      std::chrono::milliseconds step) {
    return WaitWhile([&flag] { return flag.load(); }, bound, step);
}

} // namespace platform
