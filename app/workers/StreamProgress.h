// StreamProgress: what one run of a streaming worker (live or replay, data sets 1 to 3) has done so far,
// shared between the worker and the window that draws it.
//
// The worker writes a record into its ring (live) or paces through the ring (replay) and then publishes
// the number of records of this run with a release store. The window reads that number with an acquire
// load at its own pace (at most at the screen's rate) and draws the records it has not drawn yet, reading
// the ring slots of those records only. So acquisition never waits for painting: a busy window costs no
// record, it only draws later. The ring index of record k of the run is (firstIndex + k) modulo the ring
// capacity.
//
// The fixed fields are set on the user-interface thread before the worker starts.
#pragma once

#include <atomic>
#include <cstdint>

namespace kpd {

struct StreamProgress {
    int set = 0;                 // data set 1..3 (the display mode)
    bool replay = false;         // false: live recording; true: replay of the review window
    int32_t firstIndex = 0;      // ring index of the run's first record
    bool wrappedAtStart = false; // live: the ring had wrapped before the run
    float firstElapsed = 0.0f;   // elapsed time before the run's first record (seconds)
    int32_t replayCount = 0;     // replay: records in the review window

    std::atomic<uint64_t> published{0}; // records of this run written (live) or due to be shown (replay)
    std::atomic<bool> ended{false};     // the worker has ended; published is final
};

} // namespace kpd
