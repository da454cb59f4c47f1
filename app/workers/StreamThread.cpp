#include "workers/StreamThread.h"

#include "access/ComData.h"
#include "data/RingArithmetic.h"
#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace kpd {

namespace {

// Longest sleep of a replay wait between two looks at the stop request.
constexpr int64_t kWaitSliceMs = 20;

void addElapsed(std::atomic<float> &elapsed, float seconds) {
    elapsed.store(elapsed.load() + seconds);
}

} // namespace

StreamThread::StreamThread(ComData &com, int set, bool replay, StreamSink &sink,
                           std::shared_ptr<StreamProgress> run, std::shared_ptr<StreamStats> stats,
                           QObject *uiContext)
    : platform::WorkerThread(uiContext), com_(com), link_(com.PortNumber()),
      stats_(stats ? std::move(stats) : std::make_shared<StreamStats>()), set_(set), replay_(replay),
      sink_(sink), run_(run ? std::move(run) : std::make_shared<StreamProgress>()),
      control_(com.Data.Control(set)), interval_(com.Data.Intervals(set)), capacity_(DataSets::Capacity(set)) {
    run_->set = set_;
    run_->replay = replay_;
    if (replay_) {
        reviewCount_ = std::clamp(control_.reviewCount.load(), 0, capacity_);
        slot_ = RingArithmetic::Wrap(control_.reviewIndex.load(), capacity_);
        run_->replayCount = reviewCount_;
        run_->firstElapsed = control_.reviewElapsed.load();
    } else {
        count_ = RingArithmetic::Wrap(control_.count.load(), capacity_);
        slot_ = count_;
        run_->wrappedAtStart = control_.wrapped.load();
        run_->firstElapsed = control_.elapsed.load();
    }
    run_->firstIndex = slot_;
    SetOnTerminate([this] { ThreadDone(); });
}

StreamThread::~StreamThread() = default;

bool StreamThread::StopRequested() const {
    return com_.StopRequest.load();
}

void StreamThread::Execute() {
    handOver_.load(std::memory_order_acquire); // everything set up on the user-interface thread
    com_.ThreadRunning.store(true);
    com_.Executing[set_].store(true);
    // The stop request was cleared by the starter before Resume: a stop requested since is kept.
    if (!replay_ && !StartSource()) SetLinkFailure();
    lastClock_ = platform::ClockMs();
    while (!StopRequested()) {
        if (replay_)
            RunReplayCycle();
        else
            RunLiveCycle();
    }
    if (!replay_ && !linkFailed_) StopStream();
    handOver_.fetch_add(1, std::memory_order_release); // publishes the final state to ThreadDone
}

void StreamThread::StoreRecord(float minInterval) {
    const int64_t now = platform::ClockMs();
    float interval = static_cast<float>(now - lastClock_) * 0.001f;
    if (interval < minInterval) interval = minInterval;
    lastClock_ = now;
    interval_[static_cast<std::size_t>(slot_)] = interval;
    addElapsed(control_.elapsed, interval);
    ++count_;
    if (count_ >= capacity_) {
        count_ = 0;
        control_.wrapped.store(true);
    }
    slot_ = count_;
    control_.count.store(count_);
    stats_->records.fetch_add(1);
    run_->published.fetch_add(1, std::memory_order_release);
}

void StreamThread::ReadFailed() {
    stats_->failedReads.fetch_add(1);
    if (++failures_ >= ReadFailureLimit) SetLinkFailure();
}

void StreamThread::SetLinkFailure() {
    linkFailed_ = true;
    com_.StopRequest.store(true);
}

void StreamThread::RunReplayCycle() {
    if (reviewCount_ <= count_) { // the whole window has been shown
        com_.StopRequest.store(true);
        return;
    }
    const int64_t stepStart = platform::ClockMs();
    const float interval = interval_[static_cast<std::size_t>(slot_)];
    if (!PaceBeforeReplayRecord(interval)) return; // stopped while waiting
    ++count_;
    stats_->replayed.fetch_add(1);
    run_->published.fetch_add(1, std::memory_order_release);
    slot_ = RingArithmetic::Successor(slot_, capacity_);
    control_.reviewIndex.store(slot_);
    addElapsed(control_.reviewElapsed, interval_[static_cast<std::size_t>(slot_)]);
    PaceAfterReplayRecord(interval, stepStart);
}

bool StreamThread::WaitSeconds(float seconds) {
    const int64_t start = platform::ClockMs();
    for (;;) {
        if (StopRequested()) return false;
        const int64_t passed = platform::ClockMs() - start;
        // Reached when whole milliseconds * 0.001 >= seconds (false for NaN, so a corrupt value ends it).
        if (!(static_cast<double>(passed) * 0.001 < static_cast<double>(seconds))) return true;
        const double remainingMs = static_cast<double>(seconds) * 1000.0 - static_cast<double>(passed);
        const auto slice =
            static_cast<int64_t>(std::clamp(std::ceil(remainingMs), 1.0, static_cast<double>(kWaitSliceMs)));
        std::this_thread::sleep_for(std::chrono::milliseconds(slice));
    }
}

bool StreamThread::WaitClockAdvance(int64_t startMs, double ms) {
    for (;;) {
        if (StopRequested()) return false;
        const int64_t passed = platform::ClockMs() - startMs;
        if (!(static_cast<double>(passed) < ms)) return true;
        const double remaining = ms - static_cast<double>(passed);
        const auto slice =
            static_cast<int64_t>(std::clamp(std::ceil(remaining), 1.0, static_cast<double>(kWaitSliceMs)));
        std::this_thread::sleep_for(std::chrono::milliseconds(slice));
    }
}

void StreamThread::StopStream() {
    // The stream keeps sending until the electronics see the stop burst; a status read that is answered
    // shows that they are listening to commands again.
    for (int attempt = 0; attempt < StopAttempts; ++attempt) {
        stats_->stopAttempts.fetch_add(1);
        link_.EndStream(StopBurstWords());
        link_.PurgeReceive();
        if (link_.SyncLink() && link_.ReadStatusWord()) break;
    }
}

void StreamThread::ThreadDone() {
    handOver_.load(std::memory_order_acquire); // the worker's final state
    if (replay_) {
        control_.reviewCount.store(std::max(0, reviewCount_ - count_)); // records left to replay
    } else {
        control_.reviewIndex.store(count_ - 1); // the newest record (-1 right after a wrap: no window)
        control_.count.store(count_);
    }
    run_->ended.store(true, std::memory_order_release);
    com_.ThreadRunning.store(false);
    com_.Executing[set_].store(false);
    com_.StopRequest.store(false);
    done_ = true;
    stats_->threadsDone.fetch_add(1);
    // The session is told last, with the flags already idle, so that what it starts from here (a Stop, a
    // reconnect) finds no worker in the way.
    sink_.StreamEnded(*run_);
    if (replay_) sink_.StopAfterReplay();
    if (linkFailed_) sink_.ReportLinkFailure();
}

} // namespace kpd
