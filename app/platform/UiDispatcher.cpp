#include "platform/UiDispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

std::mutex instanceMutex;
UiDispatcher *instance = nullptr; // guarded by instanceMutex; lives until the process ends

} // namespace

UiDispatcher *UiDispatcher::Instance() {
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) return nullptr;
    {
        std::lock_guard lock(instanceMutex);
        if (instance) return instance;
        if (QThread::currentThread() == app->thread()) {
            instance = new UiDispatcher();
            return instance;
        }
    }
    // First use off the user-interface thread: create it there.
    QMetaObject::invokeMethod(
        app,
        [] {
            std::lock_guard lock(instanceMutex);
            if (!instance) instance = new UiDispatcher();
        },
        Qt::BlockingQueuedConnection);
    std::lock_guard lock(instanceMutex);
    return instance;
}

UiDispatcher::UiDispatcher() {
    fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd_ < 0) qFatal("eventfd failed (errno %d)", errno);
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, SIGNAL(activated(QSocketDescriptor, QSocketNotifier::Type)), this, SLOT(Drain()));
}

UiDispatcher::~UiDispatcher() {
    delete notifier_;
    if (fd_ >= 0) ::close(fd_);
}

void UiDispatcher::Wake() {
    const std::uint64_t one = 1;
    while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void UiDispatcher::Post(const void *owner, std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(Task{owner, std::move(task)});
    }
    Wake();
}

void UiDispatcher::RunAndWait(const std::function<void()> &task) {
    struct State {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        std::exception_ptr error;
    };
    auto state = std::make_shared<State>();
    Post(nullptr, [state, &task] {
        std::exception_ptr error;
        try {
            task();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(state->m);
        state->error = std::move(error); // no reference stays on this thread
        state->done = true;
        state->cv.notify_one();
    });
    std::unique_lock lock(state->m);
    state->cv.wait(lock, [&] { return state->done; });
    // Take the exception out so that it is released on this thread, whichever thread frees the state.
    if (std::exception_ptr error = std::exchange(state->error, nullptr)) std::rethrow_exception(error);
}

void UiDispatcher::Cancel(const void *owner) {
    if (!owner) return;
    std::lock_guard lock(mutex_);
    std::erase_if(tasks_, [owner](const Task &t) { return t.owner == owner; });
}

void UiDispatcher::Drain() {
    std::uint64_t count = 0;
    while (::read(fd_, &count, sizeof count) < 0 && errno == EINTR) {
    }
    // One task at a time: a task may open a modal loop that drains further tasks re-entrantly.
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task.run();
    }
}

} // namespace platform
