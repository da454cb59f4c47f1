#include "workers/MainThread.h"

#include "platform/Clock.h"
#include "access/ComData.h"
#include "access/RegisterMap.h"
#include "data/RingArithmetic.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kpd {

namespace {

constexpr int32_t kCapacity = SetupStatusDataSet::Capacity;
// Longest sleep of a replay wait between two looks at the stop request.
constexpr int64_t kWaitSliceMs = 20;
constexpr int kEvaluateEvery = 4;

// a - b on the 32-bit position counter, wrapping like the counter itself.
int32_t subtractWrapping(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

void addElapsed(std::atomic<float> &elapsed, float seconds) {
    elapsed.store(elapsed.load() + seconds);
}

} // namespace

MainThread::MainThread(ComData &com, StatusSink &sink, bool replay, std::shared_ptr<MainThreadStats> stats,
                       QObject *uiContext)
    : platform::WorkerThread(uiContext), com_(com), ring_(com.Data.SetupStatus()), sink_(sink),
      stats_(stats ? std::move(stats) : std::make_shared<MainThreadStats>()), link_(com.PortNumber()),
      replay_(replay) {
    if (replay_) {
        count_ = std::clamp(ring_.reviewCount.load(), 0, kCapacity);
        slot_ = RingArithmetic::Wrap(ring_.reviewIndex.load(), kCapacity);
    } else {
        count_ = RingArithmetic::Wrap(ring_.count.load(), kCapacity);
        slot_ = count_;
    }
    SetOnTerminate([this] { ThreadDone(); });
}

MainThread::~MainThread() = default;

void MainThread::Execute() {
    handOver_.load(std::memory_order_acquire); // everything set up on the user-interface thread
    lastClock_ = platform::ClockMs();
    com_.ThreadRunning.store(true);
    com_.Executing[SetupStatusSet].store(true);
    // The stop request is cleared by the starter before Resume, not here: a stop requested between the
    // start and this point must not be lost.
    while (!com_.StopRequest.load())
        RunCycle();
    handOver_.fetch_add(1, std::memory_order_release); // publishes the final state to ThreadDone
}

void MainThread::RunCycle() {
    if (replay_)
        RunReplayCycle();
    else
        RunLiveCycle();
}

bool MainThread::SyncLink() {
    return link_.SyncLink();
}

bool MainThread::ReadRegister(uint32_t address, uint16_t &value) {
    return link_.ReadRegister(address, value);
}

bool MainThread::RunStep(int step) {
    link_.PurgeReceive();
    if (!SyncLink()) return false;
    const auto slot = static_cast<std::size_t>(slot_);
    switch (step) {
    case 0:
        if (!ReadRegister(reg::address(reg::AtStatus), readWord_)) return false;
        ring_.status[slot] = readWord_; // the high half is cleared
        return true;
    case 1:
        if (!ReadRegister(reg::address(reg::Status), readWord_)) return false;
        ring_.status[slot] |= uint32_t{readWord_} << 16;
        return true;
    case 2:
        if (!ReadRegister(reg::address(reg::XAdc), readWord_)) return false;
        ring_.xAD[slot] = readWord_;
        return true;
    case 3:
        if (!ReadRegister(reg::address(reg::YAdc), readWord_)) return false;
        ring_.yAD[slot] = readWord_;
        return true;
    case 4:
        if (!ReadRegister(reg::address(reg::GenReg1), readWord_)) return false;
        genReg1_ = readWord_;
        return true;
    case 5: {
        // The halves are read with the position-read modifier (the first one latches the counter);
        // the release read frees the latch and is sent even when a half failed. A failed half fails the
        // step, so no made-up position is stored.
        uint16_t low = 0;
        uint16_t high = 0;
        bool halves = ReadRegister(reg::address(reg::PositionLow, 0, reg::ModPositionRead), low);
        if (!SyncLink()) return false;
        halves = ReadRegister(reg::address(reg::PositionHigh, 0, reg::ModPositionRead), high) && halves;
        if (!SyncLink()) return false;
        if (!ReadRegister(reg::address(reg::PositionRelease), readWord_)) return false;
        if (!halves) return false;
        const int32_t position = reg::position32(low, high);
        if (com_.ZeroRequest.exchange(false)) com_.PositionOffset.store(position);
        ring_.position[slot] = subtractWrapping(position, com_.PositionOffset.load());
        return true;
    }
    case 6:
        if (!ReadRegister(reg::address(reg::Magnitude), readWord_)) return false;
        ring_.magnitude[slot] = readWord_;
        return true;
    default:
        return false;
    }
}

void MainThread::StepFailed() {
    stats_->failedSteps.fetch_add(1);
    if (!errorLatch_) {
        errorLatch_ = true;
        return;
    }
    linkFailed_ = true;
    com_.StopRequest.store(true);
}

void MainThread::RunLiveCycle() {
    for (int step = 0; step < StepCount; ++step) {
        if (!RunStep(step)) {
            StepFailed();
            return; // the next cycle starts again at step 0; this sample is not stored
        }
        errorLatch_ = false;
    }

    const int64_t now = platform::ClockMs();
    const float interval = static_cast<float>(now - lastClock_) * 0.001f;
    ring_.interval[static_cast<std::size_t>(slot_)] = interval;
    lastClock_ = now;
    ++count_;
    addElapsed(ring_.elapsed, interval);
    stats_->samples.fetch_add(1);

    HandOverLive(); // the slot still names the new sample

    if (count_ < kCapacity) {
        ++slot_;
    } else {
        count_ = 0;
        slot_ = 0;
        ring_.wrapped.store(true);
    }
    ring_.count.store(count_);
}

void MainThread::RunReplayCycle() {
    if (count_ <= 0) { // an empty window: nothing to show
        ring_.reviewCount.store(0);
        com_.StopRequest.store(true);
        return;
    }
    if (!WaitSeconds(ring_.interval[static_cast<std::size_t>(slot_)])) return; // stopped while waiting

    HandOver();
    stats_->replayed.fetch_add(1);

    --count_;
    if (count_ <= 0) {
        ring_.reviewCount.store(0);
        com_.StopRequest.store(true);
        return;
    }
    // Move to the next sample; the elapsed time becomes the time of that sample.
    slot_ = RingArithmetic::Successor(slot_, kCapacity);
    ring_.reviewIndex.store(slot_);
    addElapsed(ring_.reviewElapsed, ring_.interval[static_cast<std::size_t>(slot_)]);
}

bool MainThread::WaitSeconds(float seconds) {
    const int64_t start = platform::ClockMs();
    for (;;) {
        if (com_.StopRequest.load()) return false;
        const int64_t passed = platform::ClockMs() - start;
        // Reached when whole milliseconds * 0.001 >= seconds (false for NaN, so a corrupt value ends it).
        if (!(static_cast<double>(passed) * 0.001 < static_cast<double>(seconds))) return true;
        const double remainingMs = static_cast<double>(seconds) * 1000.0 - static_cast<double>(passed);
        const auto slice =
            static_cast<int64_t>(std::clamp(remainingMs, 1.0, static_cast<double>(kWaitSliceMs)));
        std::this_thread::sleep_for(std::chrono::milliseconds(slice));
    }
}

void MainThread::HandOver() {
    handOver_.fetch_add(1, std::memory_order_release);
    Synchronize([this] {
        handOver_.load(std::memory_order_acquire);
        UpdateStatus(slot_, ring_.reviewElapsed.load(), 0);
        handOver_.fetch_add(1, std::memory_order_release);
    });
    handOver_.load(std::memory_order_acquire);
}

void MainThread::HandOverLive() {
    WaitUntilShown();
    {
        std::lock_guard lock(shown_->m);
        shown_->done = false;
    }
    // The queued call reads only what is captured here and the sample's own slot, which the next cycle
    // leaves alone.
    const int32_t slot = slot_;
    const float elapsed = ring_.elapsed.load();
    const uint16_t genReg1 = genReg1_;
    Queue([this, shown = shown_, slot, elapsed, genReg1] {
        UpdateStatus(slot, elapsed, genReg1);
        std::lock_guard lock(shown->m);
        shown->done = true;
        shown->cv.notify_one();
    });
}

void MainThread::WaitUntilShown() {
    std::unique_lock lock(shown_->m);
    while (!shown_->done && !com_.StopRequest.load())
        shown_->cv.wait_for(lock, std::chrono::milliseconds(kWaitSliceMs));
}

void MainThread::UpdateStatus(int32_t slot, float elapsed, uint16_t genReg1) {
    ++evaluationCounter_;
    if (evaluationCounter_ >= kEvaluateEvery) {
        evaluate_ = true;
        evaluationCounter_ = 0;
    } else {
        evaluate_ = false;
    }
    const auto i = static_cast<std::size_t>(slot);
    sink_.UpdateStatusDisplay(ring_.position[i], static_cast<float>(ring_.magnitude[i]), ring_.status[i],
                              genReg1, elapsed, replay_, evaluate_);
}

void MainThread::ThreadDone() {
    handOver_.load(std::memory_order_acquire); // the worker's final state
    if (replay_) {
        ring_.reviewCount.store(count_); // samples left
    } else {
        ring_.reviewIndex.store(count_ - 1); // the newest sample (-1 right after a wrap: no window)
        ring_.count.store(count_);
    }
    com_.ThreadRunning.store(false);
    com_.Executing[SetupStatusSet].store(false);
    com_.StopRequest.store(false);
    done_ = true;
    stats_->threadsDone.fetch_add(1);
    // The window is told last, with the flags already idle, so that what it starts from here (a Stop, a
    // reconnect) finds no worker in the way.
    if (replay_) sink_.StopAfterReplay();
    if (linkFailed_) sink_.ReportLinkFailure();
}

} // namespace kpd
