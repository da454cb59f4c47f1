// ReadAllThread: the worker of the engineering display (display mode 4). It reads every register slot of
// the display, one pass after the other, while no stop is requested.
//
// One pass reads the 42 slots in order; each read is preceded by a receive-buffer purge and the link's
// resynchronisation. A complete pass is published (ReadAllPass) and the user-interface thread is asked,
// without waiting, to show the newest pass; so the worker never waits for the window. A failed
// resynchronisation or read ends the pass and the next one starts again at slot 0; a second failure with
// no successful read between them ends the thread, and its termination handler reports the link failure.
// A stop request is looked at before every slot, so a scheduler command waits at most one slot.
//
// Threads: the worker owns its pass array; the published pass is guarded by its mutex; the flags are
// ComData's atomics. Create it on the user-interface thread (ReadAllAcquisition does), then Resume it.
#pragma once

#include "access/PortLink.h"
#include "platform/WorkerThread.h"
#include "workers/ReadAllPass.h"
#include "workers/ReadAllSink.h"

#include <atomic>
#include <cstdint>
#include <memory>

class ComData;

namespace kpd {

// Counters of the read-all workers, readable from any thread (tests, benchmarks).
struct ReadAllStats {
    std::atomic<uint64_t> passes{0};       // complete passes published
    std::atomic<uint64_t> failedReads{0};  // slots whose resynchronisation or read failed
    std::atomic<uint64_t> linkFailures{0}; // threads ended by two failures in a row
    std::atomic<uint64_t> threadsDone{0};  // termination handlers that have run
};

class ReadAllThread : public platform::WorkerThread {
public:
    // The executing flag of ComData that this worker sets (display mode 4).
    static constexpr int ExecutingIndex = 4;

    ReadAllThread(ComData &com, ReadAllSink &sink, std::shared_ptr<ReadAllPass> pass,
                  std::shared_ptr<ReadAllStats> stats, QObject *uiContext);
    ~ReadAllThread() override;

    // True once the termination handler has run (user-interface thread).
    bool Done() const { return done_; }
    // True when the thread ended because of two failed reads in a row (valid once it has ended).
    bool LinkFailed() const { return linkFailed_; }

protected:
    void Execute() override;

private:
    void RunPass();
    // Purge, resynchronisation and the slot's read; false when any of them failed.
    bool ReadSlot(int slot, uint32_t &value);
    // A failed slot: the first one sets the error flag, the second one in a row ends the thread.
    void SlotFailed();
    // Publishes the pass and asks the user-interface thread to show it (never waits).
    void Publish();
    // Termination handler, user-interface thread.
    void ThreadDone();

    ComData &com_;
    ReadAllSink &sink_;
    std::shared_ptr<ReadAllPass> pass_;
    std::shared_ptr<ReadAllStats> stats_;
    const PortLink link_;

    // Worker state.
    ReadAllPass::Values values_{};
    bool errorFlag_ = false;
    bool linkFailed_ = false;

    bool done_ = false; // user-interface thread
    // Orders the worker's final state before the termination handler's reads.
    std::atomic<uint32_t> handOver_{0};
};

} // namespace kpd
