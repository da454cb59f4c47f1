#include "platform/WorkerThread.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::WorkerThread;

// A worker whose body is a lambda.
class LambdaThread : public WorkerThread {
public:
    explicit LambdaThread(std::function<void(LambdaThread &)> body) : body_(std::move(body)) {}

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(LambdaThread &)> body_;
};

// Event log shared by the threads of one test.
class Log {
public:
    void Add(std::string e) {
        std::lock_guard lock(m_);
        events_.push_back(std::move(e));
    }
    std::vector<std::string> Events() const {
        std::lock_guard lock(m_);
        return events_;
    }

private:
    mutable std::mutex m_;
    std::vector<std::string> events_;
};

bool OnUi() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

TEST(WorkerThread, CreatedSuspendedUntilResumed) {
    std::atomic<bool> ran{false};
    LambdaThread t([&](LambdaThread &) { ran = true; });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(ran.load());
    EXPECT_FALSE(t.isRunning());
    EXPECT_FALSE(t.Resumed());
    EXPECT_TRUE(t.Resume(QThread::HighestPriority));
    EXPECT_FALSE(t.Resume()); // a second resume does nothing
    EXPECT_TRUE(t.WaitForEnd(5000));
    EXPECT_TRUE(ran.load());
}

TEST(WorkerThread, RunsWithTheRequestedPriority) {
    std::atomic<int> seen{-1};
    LambdaThread t([&](LambdaThread &self) { seen = static_cast<int>(self.priority()); });
    t.Resume(QThread::HighestPriority);
    ASSERT_TRUE(t.WaitForEnd(5000));
    EXPECT_EQ(seen.load(), static_cast<int>(QThread::HighestPriority));
}

TEST(WorkerThread, TerminationHandlerRunsOnTheUiThreadAfterTheBody) {
    Log log;
    std::atomic<bool> handlerDone{false};
    bool handlerOnUi = false;
    bool threadFinishedInHandler = false;
    LambdaThread t([&](LambdaThread &) { log.Add(OnUi() ? "body on ui" : "body on worker"); });
    t.SetOnTerminate([&] {
        handlerOnUi = OnUi();
        threadFinishedInHandler = t.isFinished();
        log.Add("handler");
        handlerDone = true;
    });
    t.Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlerDone.load(); }, 5000));
    EXPECT_TRUE(handlerOnUi);
    EXPECT_TRUE(threadFinishedInHandler);
    EXPECT_EQ(log.Events(), (std::vector<std::string>{"body on worker", "handler"}));
}

TEST(WorkerThread, SynchronizeRunsOnTheUiThreadWhileTheWorkerWaits) {
    Log log;
    std::atomic<bool> done{false};
    bool methodOnUi = false;
    LambdaThread t([&](LambdaThread &) {
        log.Add("before");
        WorkerThread::Synchronize([&] {
            methodOnUi = OnUi();
            log.Add("method start");
            std::this_thread::sleep_for(30ms); // the worker must still be waiting afterwards
            log.Add("method end");
        });
        log.Add("after");
        done = true;
    });
    t.Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
    ASSERT_TRUE(t.WaitForEnd(5000));
    EXPECT_TRUE(methodOnUi);
    EXPECT_EQ(log.Events(), (std::vector<std::string>{"before", "method start", "method end", "after"}));
}

TEST(WorkerThread, SynchronizeOnTheUiThreadRunsDirectly) {
    bool ran = false;
    WorkerThread::Synchronize([&] { ran = OnUi(); });
    EXPECT_TRUE(ran);
    WorkerThread::Synchronize({}); // an empty method is ignored
}

TEST(WorkerThread, SynchronizeCarriesExceptionsBack) {
    std::atomic<bool> caught{false};
    LambdaThread t([&](LambdaThread &) {
        try {
            WorkerThread::Synchronize([] { throw std::runtime_error("window update failed"); });
        } catch (const std::runtime_error &e) {
            caught = std::string(e.what()) == "window update failed";
        }
    });
    t.Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.isFinished(); }, 5000));
    EXPECT_TRUE(caught.load());
}

TEST(WorkerThread, FreeOnTerminateDeletesAfterTheHandler) {
    std::atomic<bool> handlerRan{false};
    auto *t = new LambdaThread([](LambdaThread &) {});
    QPointer<WorkerThread> guard(t);
    t->SetFreeOnTerminate(true);
    EXPECT_TRUE(t->FreeOnTerminate());
    t->SetOnTerminate([&] {
        // The object still exists while its handler runs.
        handlerRan = !guard.isNull();
    });
    t->Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }, 5000));
    EXPECT_TRUE(handlerRan.load());
}

TEST(WorkerThread, WithoutFreeOnTerminateTheOwnerKeepsIt) {
    std::atomic<bool> handlerRan{false};
    auto t = std::make_unique<LambdaThread>([](LambdaThread &) {});
    QPointer<WorkerThread> guard(t.get());
    t->SetOnTerminate([&] { handlerRan = true; });
    t->Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlerRan.load(); }, 5000));
    QTest::qWait(20); // deferred deletions would run here
    EXPECT_FALSE(guard.isNull());
}

TEST(WorkerThread, DeletedBeforeTheHandlerArrivesSkipsIt) {
    bool handlerRan = false;
    auto t = std::make_unique<LambdaThread>([](LambdaThread &) {});
    t->SetOnTerminate([&] { handlerRan = true; });
    t->Resume();
    ASSERT_TRUE(t->WaitForEnd(5000));
    t.reset(); // the queued call is still pending
    QTest::qWait(20);
    EXPECT_FALSE(handlerRan);
}

TEST(WorkerThread, TerminateRequestEndsAPollingBody) {
    std::atomic<int> cycles{0};
    std::atomic<bool> handlerRan{false};
    auto *t = new LambdaThread([&](LambdaThread &self) {
        while (!self.Terminated()) {
            ++cycles;
            std::this_thread::sleep_for(1ms);
        }
    });
    t->SetFreeOnTerminate(true);
    t->SetOnTerminate([&] { handlerRan = true; });
    t->Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cycles.load() > 3; }, 5000));
    EXPECT_FALSE(t->Terminated());
    t->Terminate();
    EXPECT_TRUE(t->Terminated());
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlerRan.load(); }, 5000));
}

// The program's pattern: a ThreadRunning flag set at resume and cleared by the termination handler.
TEST(BoundedWait, GivesUpWhileTheWorkerIsBlocked) {
    std::atomic<bool> running{true};
    std::atomic<bool> release{false};
    auto *t = new LambdaThread([&](LambdaThread &) {
        while (!release.load())
            std::this_thread::sleep_for(1ms);
    });
    t->SetFreeOnTerminate(true);
    t->SetOnTerminate([&] { running = false; });
    t->Resume();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(platform::WaitUntilCleared(running, 100ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_TRUE(running.load());

    release = true;
    EXPECT_TRUE(platform::WaitUntilCleared(running, 5000ms));
    EXPECT_FALSE(running.load());
}

TEST(BoundedWait, ServesAWorkerInsideSynchronize) {
    // The user-interface thread waits for the worker while the worker needs the user-interface thread:
    // the bounded wait processes events, so the hand-over completes and the flag clears.
    std::atomic<bool> running{true};
    std::atomic<int> delivered{0};
    int shown = 0; // user-interface thread only
    auto *t = new LambdaThread([&](LambdaThread &) {
        for (int i = 0; i < 5; ++i) {
            WorkerThread::Synchronize([&] { ++shown; });
            ++delivered;
        }
    });
    t->SetFreeOnTerminate(true);
    t->SetOnTerminate([&] { running = false; });
    t->Resume();
    EXPECT_TRUE(platform::WaitUntilCleared(running, 5000ms));
    EXPECT_EQ(delivered.load(), 5);
    EXPECT_EQ(shown, 5);
}

TEST(BoundedWait, ConditionAlreadyClearReturnsAtOnce) {
    std::atomic<bool> flag{false};
    EXPECT_TRUE(platform::WaitUntilCleared(flag, 0ms));
    int calls = 0;
    EXPECT_TRUE(platform::WaitWhile([&] { return ++calls < 3; }, 5000ms, 1ms));
    EXPECT_GE(calls, 3);
    EXPECT_FALSE(platform::WaitWhile([] { return true; }, 0ms));
}

} // namespace
