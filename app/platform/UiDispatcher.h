#pragma once
// Runs tasks on the user-interface thread on behalf of other threads. Used by WorkerThread for
// Synchronize and for the termination handler.
//
// Tasks pass through a std::mutex-protected queue; the user-interface thread is woken through an
// eventfd watched by a QSocketNotifier, so a worker hands over nothing but its task. (Cross-thread Qt
// events would do the same job, but their hand-over inside Qt is invisible to ThreadSanitizer.)

#include <QObject>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

class QSocketNotifier;

namespace platform {

class UiDispatcher : public QObject {
    Q_OBJECT
public:
    // The process-wide dispatcher, living on the application's thread. Create it there first
    // (WorkerThread's constructor does); nullptr without an application object.
    static UiDispatcher *Instance();

    // Queues `task` for the user-interface thread and returns. `owner` tags it for Cancel().
    void Post(const void *owner, std::function<void()> task);
    // Runs `task` on the user-interface thread and waits until it has run; an exception thrown by the
    // task is rethrown here. Must not be called on the user-interface thread.
    void RunAndWait(const std::function<void()> &task);
    // Drops the queued tasks of `owner` (user-interface thread).
    void Cancel(const void *owner);

    ~UiDispatcher() override;

private slots:
    void Drain();

private:
    UiDispatcher();
    struct Task {
        const void *owner;
        std::function<void()> run;
    };
    void Wake();

    int fd_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    std::mutex mutex_;
    std::deque<Task> tasks_; // guarded by mutex_
};

} // namespace platform
