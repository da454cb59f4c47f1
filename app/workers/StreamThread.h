// StreamThread: the common part of the three acquisition workers of display modes 1 to 3 (LissajousThread,
// SignalStrengthThread, PositionThread).
//
// Live, a worker starts its data source, then reads one record per cycle into its ring at the ring's
// count, stamps it with the time since the previous record, and publishes the new count (the ring's count
// and the run's StreamProgress). It never waits for the window: the window draws published records at its
// own pace. Three failed reads in a row (or a failed start) are a link failure. Replay, it paces through
// the ring's review window and publishes how far it has come; the window draws those records.
//
// When the loop ends, the live worker stops the electronics' stream itself (up to 20 times: stop burst,
// purge, handshake, status read) while it still owns the port, so the user-interface thread never blocks
// on the link for it. The termination handler (ThreadDone, user-interface thread) then updates the
// ring's review state, clears the worker flags and tells the sink.
//
// Threads: ring slots are written only by the worker; the window reads a slot only after the count that
// covers it was published (release/acquire on StreamProgress::published). Flags are ComData's atomics.
#pragma once

#include "access/PortLink.h"
#include "platform/WorkerThread.h"
#include "workers/StreamProgress.h"
#include "workers/StreamSink.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

class ComData;
struct DataSetControl;

namespace kpd {

// Counters of the streaming workers, readable from any thread (tests, benchmarks).
struct StreamStats {
    std::atomic<uint64_t> records{0};        // live records stored
    std::atomic<uint64_t> discarded{0};      // live records dropped (a word out of range)
    std::atomic<uint64_t> failedReads{0};    // failed record reads or poll steps
    std::atomic<uint64_t> replayed{0};       // records replayed
    std::atomic<uint64_t> stopAttempts{0};   // stop bursts sent when a stream ended
    std::atomic<uint64_t> threadsDone{0};    // termination handlers that have run
};

class StreamThread : public platform::WorkerThread {
public:
    // Reads its starting point from the ring (user-interface thread) and fills `run` accordingly.
    StreamThread(ComData &com, int set, bool replay, StreamSink &sink, std::shared_ptr<StreamProgress> run,
                 std::shared_ptr<StreamStats> stats, QObject *uiContext);
    ~StreamThread() override;

    int Set() const { return set_; }
    bool Replay() const { return replay_; }
    bool Done() const { return done_; }
    bool LinkFailed() const { return linkFailed_; }
    const std::shared_ptr<StreamProgress> &Run() const { return run_; }

    // Consecutive failed reads that make a link failure.
    static constexpr int ReadFailureLimit = 3;
    // Stop bursts sent at most when a live stream ends.
    static constexpr int StopAttempts = 20;

protected:
    void Execute() final;

    // Live: starts the data source; false is a link failure. Default: nothing to start.
    virtual bool StartSource() { return true; }
    // Live: one cycle; calls StoreRecord after a valid record, ReadFailed after a failed read.
    virtual void RunLiveCycle() = 0;
    // Replay pace: a wait before a record is published (false: stopped meanwhile) and one after it.
    virtual bool PaceBeforeReplayRecord(float /*interval*/) { return true; }
    virtual void PaceAfterReplayRecord(float /*interval*/, int64_t /*stepStartMs*/) {}
    // Words of the stop burst.
    virtual int StopBurstWords() const = 0;

    // The common live bookkeeping after a valid record in slot Slot(): interval (at least minInterval),
    // elapsed, count with the wrap at the ring's end, publication.
    void StoreRecord(float minInterval = 0.0f);
    // A failed read: the third one in a row is a link failure.
    void ReadFailed();
    void ReadSucceeded() { failures_ = 0; }
    void SetLinkFailure();

    // Slot of the record being written (live) or replayed.
    int32_t Slot() const { return slot_; }
    bool StopRequested() const;
    // Sleeps until `seconds` have passed (whole milliseconds of the clock); false when stopped meanwhile.
    bool WaitSeconds(float seconds);
    // Sleeps until the millisecond clock has advanced by `ms` (a fraction: the next whole millisecond at
    // least) since startMs; false when stopped meanwhile.
    bool WaitClockAdvance(int64_t startMs, double ms);

    ComData &com_;
    const PortLink link_;
    std::shared_ptr<StreamStats> stats_;

private:
    void RunReplayCycle();
    void StopStream();
    void ThreadDone();

    const int set_;
    const bool replay_;
    StreamSink &sink_;
    std::shared_ptr<StreamProgress> run_;
    DataSetControl &control_;
    std::span<float> interval_;
    const int32_t capacity_;

    int32_t count_ = 0; // live: the ring's count; replay: records replayed
    int32_t slot_ = 0;
    int32_t reviewCount_ = 0;
    int64_t lastClock_ = 0;
    int failures_ = 0;
    bool linkFailed_ = false;
    bool done_ = false;
    std::atomic<uint32_t> handOver_{0};
};

} // namespace kpd
