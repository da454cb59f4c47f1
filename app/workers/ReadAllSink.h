// ReadAllSink: what the read-all worker of the engineering display tells the session. All calls come on
// the user-interface thread.
#pragma once

namespace kpd {

class ReadAllPass;

class ReadAllSink {
public:
    virtual ~ReadAllSink() = default;
    // A newer pass has been published (several passes may have been published since the last call; the
    // sink shows the newest).
    virtual void PassReady(const ReadAllPass &pass) = 0;
    // Two reads failed with no successful read between them; the worker has ended.
    virtual void ReportLinkFailure() = 0;
};

} // namespace kpd
