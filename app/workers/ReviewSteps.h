// The steps that the data controls of every data set share: whether a worker may start now, and the stop
// and step-back views of a recorded data set. All on the user-interface thread.
#pragma once

class ComData;

namespace kpd {

// True when a worker for data set `set` may start: none of any mode exists. While one still exists the
// restart-pending flag is set, and the command scheduler applies the data state again once it has ended.
bool MayStartWorker(ComData &com, int set);

// The recorded time at the start of the data set's review window (what Stop shows).
float ReviewWindowStart(const ComData &com, int set);

// One step back over the data set (none while a worker owns the ring): true with the time to show when
// the review window moved (the review-step flag is then set).
bool StepBackReview(ComData &com, int set, float &time);

} // namespace kpd
