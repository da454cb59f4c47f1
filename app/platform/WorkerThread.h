#pragma once
// Base class of the program's worker threads (status monitor, streaming threads, read-all thread).
//
// Life of a worker, as the program uses it:
//   auto *t = new MyThread(...);              // created suspended: nothing runs yet
//   t->SetOnTerminate([...] { ... });         // optional termination handler (user-interface thread)
//   t->SetFreeOnTerminate(true);              // the object deletes itself after the handler ran
//   t->Resume(QThread::HighestPriority);      // "highest normal" priority; Execute() starts
//   ... the user-interface side sets a std::atomic<bool> stop flag (or calls Terminate()) ...
//
// When Execute() returns, the termination handler runs on the user-interface thread (queued to it by
// the worker as its last act; QThread's `finished` signal is emitted as usual too), then, with
// free-on-terminate, the thread object is deleted with deleteLater(). Do not keep plain pointers to a
// free-on-terminate worker; use QPointer.
//
// Synchronize(fn) runs fn on the user-interface thread and blocks the calling worker until fn has
// returned (called on the user-interface thread itself, it runs fn directly). An exception thrown by fn
// is carried back and rethrown in the caller.
//
// THE RULE that keeps this deadlock-free: the user-interface thread never blocks waiting for a worker
// that may be inside its Synchronize call. Where the user-interface side must wait for a worker to end
// (for ThreadRunning to clear), it uses WaitWhile/WaitUntilCleared below, which keep processing events
// (so a pending Synchronize call is served) and give up after a bound; or it does the remaining work
// from the termination handler.

#include <QObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <climits>
#include <functional>

namespace platform {

class WorkerThread : public QThread {
    Q_OBJECT
public:
    // Create worker objects on the user-interface thread. `uiContext`: an object living on that thread
    // (nullptr: the application object); a worker object created elsewhere is moved to its thread.
    explicit WorkerThread(QObject *uiContext = nullptr);
    ~WorkerThread() override;

    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Settings made before Resume().
    void SetFreeOnTerminate(bool on) { freeOnTerminate_ = on; }
    bool FreeOnTerminate() const { return freeOnTerminate_; }
    void SetOnTerminate(std::function<void()> handler);

    // Starts the suspended thread with the given priority. A second call does nothing; returns whether
    // this call started it.
    bool Resume(QThread::Priority priority = QThread::HighestPriority);
    bool Resumed() const { return resumed_.load(); }

    // The Terminate request flag: set by Terminate(), polled by Execute() through Terminated().
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

    // Blocks until the thread body has ended (or ms have passed); true when it has. Unlike a plain
    // QThread::wait, it also publishes everything the body did to the caller in a way that thread
    // checkers can see (a release/acquire pair on a flag the body sets last).
    bool WaitForEnd(unsigned long ms = ULONG_MAX);

    // Runs `method` on the user-interface thread and waits for it (see the rule above).
    static void Synchronize(const std::function<void()> &method);

    // True when called on the user-interface (application) thread.
    static bool OnUiThread();

protected:
    // Queues `method` for the user-interface thread and returns at once; queued calls run in order, and
    // before the termination handler. Calls still queued when the thread object is deleted are dropped.
    // Without a user-interface thread (no application object) the method runs at once.
    void Queue(std::function<void()> method);

    // The thread body.
    virtual void Execute() = 0;

private:
    void run() final;
    void Finish();

    QObject *uiContext_;
    std::function<void()> onTerminate_;
    bool freeOnTerminate_ = false;
    std::atomic<bool> resumed_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> ended_{false}; // set by the body's thread as its last act
};

// Bounded wait for the user-interface thread: while `condition` holds, process pending events, then
// sleep `step`; give up after `bound`. Returns true when the condition cleared within the bound.
bool WaitWhile(const std::function<bool()> &condition, std::chrono::milliseconds bound,
               std::chrono::milliseconds step = std::chrono::milliseconds(5));

// Runs the user-interface thread's event loop for `duration`, as the running program does: hand-overs
// from workers are served the moment they arrive (WaitWhile serves them only between its sleeps).
void RunEventsFor(std::chrono::milliseconds duration);

// WaitWhile(flag is set): waits for a flag such as ThreadRunning to clear. True when it cleared.
bool WaitUntilCleared(const std::atomic<bool> &flag, std::chrono::milliseconds bound,
                      std::chrono::milliseconds step = std::chrono::milliseconds(5));

} // namespace platform
