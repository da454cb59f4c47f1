// MainThread: the status monitor worker of the status and setup display (display mode 0).
//
// Live, it polls the electronics without pause. One poll cycle is seven steps (AtStatus, Status, XAdc,
// YAdc, GenReg1, the position halves, Magnitude), each beginning with a receive-buffer purge and a link
// handshake; a completed cycle is one sample, written into the status ring of the access object at the
// ring's count and handed to the window through Synchronize. A failed step ends the cycle; two failed
// steps with no successful step between them end the thread, and its termination handler reports the
// link failure. Replay, it shows the samples of the selected review window at their recorded pace.
//
// Threads: the worker writes the ring slots and the ring's control fields of data set 0; the
// user-interface thread reads the slots only inside UpdateStatus (the worker is blocked in Synchronize)
// and after ThreadDone. A release/acquire pair on handOver_ orders those accesses for the sanitizers as
// well, whatever the toolkit's own locking does. The stop request, the zero request and the position
// offset are the atomic fields of ComData.
//
// Create it on the user-interface thread, configure it, then Resume it (StatusMonitor does all that).
#pragma once

#include "workers/StatusSink.h"

#include "access/PortLink.h"
#include "platform/WorkerThread.h"

#include <atomic>
#include <cstdint>
#include <condition_variable>
#include <memory>
#include <mutex>

class ComData;
struct SetupStatusDataSet;

namespace kpd {

// Counters of one monitor and all its threads, readable from any thread (diagnostics, tests, benches).
struct MainThreadStats {
    std::atomic<uint64_t> samples{0};     // live samples stored in the ring
    std::atomic<uint64_t> replayed{0};    // replayed samples shown
    std::atomic<uint64_t> failedSteps{0}; // poll steps that failed
    std::atomic<uint64_t> threadsDone{0}; // termination handlers that have run
};

class MainThread : public platform::WorkerThread {
public:
    // Steps of one live poll cycle.
    static constexpr int StepCount = 7;

    // Live (replay false): continues the status ring at its count. Replay: shows the ring's review window
    // (review count samples from the review index, starting at the review elapsed time). The thread reads
    // its starting point from the ring here, on the user-interface thread. The termination handler
    // (ThreadDone) is installed here and runs on uiContext's thread.
    MainThread(ComData &com, StatusSink &sink, bool replay, std::shared_ptr<MainThreadStats> stats = {},
               QObject *uiContext = nullptr);
    ~MainThread() override;

    bool Replay() const { return replay_; }
    // True once ThreadDone has run (user-interface thread).
    bool Done() const { return done_; }
    // True when the thread ended because of two failed steps (valid once the thread has ended).
    bool LinkFailed() const { return linkFailed_; }

protected:
    void Execute() override;

private:
    void RunCycle();
    void RunLiveCycle();
    void RunReplayCycle();
    // One poll step; false when it failed.
    bool RunStep(int step);
    // The link's resynchronisation (PortLink::SyncLink).
    bool SyncLink();
    // Reads the register named by the address word into value; false on a failed read.
    bool ReadRegister(uint32_t address, uint16_t &value);
    // A failed step: the first one latches the error, the second one in a row ends the thread.
    void StepFailed();
    // Blocks until the given number of seconds (whole milliseconds of the clock) has passed since the
    // start of the call. Sleeps; returns false early when the stop request is set meanwhile.
    bool WaitSeconds(float seconds);
    // Replay: hands the current sample to the window through Synchronize and waits for it.
    void HandOver();
    // Live: queues the window's update of the current sample and returns, so the next cycle polls while
    // the window shows this sample. The previous update must have run first: the window is at most one
    // sample behind, and no slot is rewritten while the window reads it.
    void HandOverLive();
    // Waits until the last queued update has run; returns early when the stop request is set.
    void WaitUntilShown();
    // User-interface thread: shows the sample in `slot` at the elapsed time given.
    void UpdateStatus(int32_t slot, float elapsed, uint16_t genReg1);
    // Termination handler, user-interface thread.
    void ThreadDone();

    ComData &com_;
    SetupStatusDataSet &ring_;
    StatusSink &sink_;
    std::shared_ptr<MainThreadStats> stats_;
    const PortLink link_;
    const bool replay_;

    // Worker state. count_: live, the ring's count (next slot to write); replay, samples still to show.
    int32_t count_ = 0;
    int32_t slot_ = 0; // slot of the current sample in every buffer of the ring
    uint16_t genReg1_ = 0;
    int64_t lastClock_ = 0;
    bool errorLatch_ = false;
    bool linkFailed_ = false;
    uint16_t readWord_ = 0;

    // Whether the last queued update has run; shared with the queued call, which may outlive a stopped
    // worker's body.
    struct Shown {
        std::mutex m;
        std::condition_variable cv;
        bool done = true;
    };
    const std::shared_ptr<Shown> shown_ = std::make_shared<Shown>();

    // User-interface side state (touched only inside UpdateStatus).
    int evaluationCounter_ = 0;
    bool evaluate_ = false;
    bool done_ = false;

    // Orders the worker's ring writes before the window's reads (and back) across Synchronize and the end
    // of the thread.
    std::atomic<uint32_t> handOver_{0};
};

} // namespace kpd
