// Index and time arithmetic over a data set ring, shared by the workers (live recording, replay), the
// step-back review and the file writer.
//
// A ring of `capacity` slots has its next write index at `count` (0..capacity-1). The newest record is at
// count - 1 (the predecessor of 0 is capacity - 1); the oldest at 0 while not wrapped, at count once the
// ring has wrapped. The review window is the reviewCount records starting at reviewIndex; it always ends
// with the newest record.
#pragma once

#include "data/DataSet.h"

#include <cstdint>
#include <span>

namespace RingArithmetic {

// Review windows grow by this much recorded time per step back, seconds.
constexpr float StepBackSeconds = 10.0f;

// Index i brought into 0..capacity-1 (any integer; capacity > 0).
int32_t Wrap(int32_t index, int32_t capacity);
int32_t Predecessor(int32_t index, int32_t capacity);
int32_t Successor(int32_t index, int32_t capacity);
// Index of the newest record (count - 1, wrapping to capacity - 1).
int32_t NewestIndex(int32_t count, int32_t capacity);
// Index of the oldest record: count when wrapped, else 0.
int32_t OldestIndex(int32_t count, bool wrapped);
// Number of records the ring holds: capacity when wrapped, else count.
int32_t RecordCount(int32_t count, bool wrapped, int32_t capacity);
// Largest review window: capacity - 1 when wrapped (the oldest record is not reviewed), else count.
int32_t StepBackLimit(int32_t count, bool wrapped, int32_t capacity);

// Records that a saved file holds: all but the oldest, in chronological order starting at `first`.
struct SavedRange {
    int32_t first = 0; // index of the first (oldest) saved record
    int32_t size = 0;  // number of saved records: capacity - 1 when wrapped, else count - 1 (at least 0)
};
SavedRange SavedRecords(int32_t count, bool wrapped, int32_t capacity);

// Recorded time at the first record of a review window of reviewCount records ending with the newest one:
// elapsed minus the intervals of the window's later records. This is the time that Stop shows.
float WindowStartTime(std::span<const float> interval, int32_t count, float elapsed, int32_t reviewCount);

// Outcome of one step back.
struct StepBackResult {
    bool show = false; // false: the window already covered the ring; nothing changed, nothing shown
    float time = 0.0f; // time at the start of the new window (the review elapsed time to show)
    int32_t reviewCount = 0;
    int32_t reviewIndex = 0;
};

// One step back. Without the review-step flag the window grows towards older records until it spans
// another StepBackSeconds of recorded time or reaches StepBackLimit. With the flag set the window is kept
// and only its start time is computed. reviewIndex is the incoming review index (kept when nothing moves).
StepBackResult StepBackWalk(std::span<const float> interval, int32_t count, bool wrapped, float elapsed,
                            int32_t reviewCount, int32_t reviewIndex, bool reviewStepFlag);

// StepBackWalk applied to a data set: on `show` stores review count, review index and review elapsed in
// the set. The caller then sets the review-step flag and shows result.time.
StepBackResult StepBack(DataSetControl &set, std::span<const float> interval, bool reviewStepFlag);

// True when a replay window is selected: reviewCount > 0, reviewIndex a valid slot, and reviewIndex not
// the value a live run leaves behind (count - 1).
bool HasReviewWindow(int32_t count, int32_t capacity, int32_t reviewIndex, int32_t reviewCount);

} // namespace RingArithmetic
