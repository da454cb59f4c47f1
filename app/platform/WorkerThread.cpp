#include "WorkerThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <exception>
#include <thread>

namespace platform {

WorkerThread::WorkerThread(QObject *uiContext)
    : uiContext_(uiContext ? uiContext : QCoreApplication::instance()) {
    // Queued: `finished` is emitted on the worker; Finish() runs on the user-interface thread.
    // The guard skips the handler when the owner deleted the thread object before the call arrived.
    connect(
        this, &QThread::finished, uiContext_ ? uiContext_ : this,
        [self = QPointer<WorkerThread>(this)] {
            if (self) self->Finish();
        },
        Qt::QueuedConnection);
}

WorkerThread::~WorkerThread() {
    // A worker deleted while its body still runs would crash; wait for the body to end. Owners that
    // delete a running worker must have asked it to stop first.
    if (isRunning()) wait();
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
    Execute();
}

void WorkerThread::Finish() {
    // `finished` is emitted just before the thread ends; wait for that last moment so the handler and
    // the deletion see a thread that has completely ended.
    wait();
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
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            try {
                method();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure) std::rethrow_exception(failure);
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

bool WaitUntilCleared(const std::atomic<bool> &flag, std::chrono::milliseconds bound,
                      std::chrono::milliseconds step) {
    return WaitWhile([&flag] { return flag.load(); }, bound, step);
}

} // namespace platform
