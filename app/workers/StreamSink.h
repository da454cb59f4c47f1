// StreamSink: what the streaming acquisition of display modes 1 to 3 tells the session. All calls come on
// the user-interface thread.
#pragma once

#include "workers/StreamProgress.h"

#include <memory>

namespace kpd {

class StreamSink {
public:
    virtual ~StreamSink() = default;
    // A worker is about to run (live or replay): the plot prepares itself and then follows `run`.
    virtual void StreamStarted(const std::shared_ptr<const StreamProgress> &run) = 0;
    // The worker of `run` has ended (its final count is published); called before the two below.
    virtual void StreamEnded(const StreamProgress &run) = 0;
    // Stop and step back show the recorded time of the review window's start.
    virtual void ShowElapsedTime(float seconds) = 0;
    // A replay has ended.
    virtual void StopAfterReplay() = 0;
    // The link failed; the worker has ended.
    virtual void ReportLinkFailure() = 0;
};

} // namespace kpd
