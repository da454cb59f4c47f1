// ReadAllPass: the newest complete read-all pass, shared between the read-all worker and the engineering
// display.
//
// The worker reads the 42 slots of a pass into its own array and, once the pass is complete, publishes it
// here (a short copy under the mutex) and counts it. The user-interface thread takes the newest pass at
// its own pace; a pass that the window had no time to show is simply replaced by the next one, so the
// worker never waits for the window. A pass that failed part-way is never published.
#pragma once

#include "workers/ReadAllSlots.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace kpd {

class ReadAllPass {
public:
    using Values = std::array<uint32_t, readall::SlotCount>;

    // Worker: a complete pass.
    void Publish(const Values &values) {
        std::lock_guard<std::mutex> lock(mutex_);
        values_ = values;
        number_ = passes.load(std::memory_order_relaxed) + 1;
        passes.store(number_, std::memory_order_release);
    }

    // Copies the newest pass into `values` and returns its number (1 for the first pass of the display's
    // life); 0 when no pass has been published yet (values untouched).
    uint64_t Newest(Values &values) const {
        std::lock_guard<std::mutex> lock(mutex_);
        if (number_ != 0) values = values_;
        return number_;
    }

    // Passes published so far.
    std::atomic<uint64_t> passes{0};
    // Set by the worker when it has asked the user-interface thread to show the newest pass, cleared there
    // before the pass is taken: at most one request is queued however slow the window is.
    std::atomic<bool> showRequested{false};

private:
    mutable std::mutex mutex_;
    Values values_{};     // guarded by mutex_
    uint64_t number_ = 0; // guarded by mutex_
};

} // namespace kpd
