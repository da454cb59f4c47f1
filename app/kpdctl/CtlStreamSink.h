// The streaming acquisition's sink in kpdctl: no plot follows the run. It keeps the run (for the records
// it publishes) and notes a link failure, which aborts the stream with a stop burst as KPD's link-failure
// handling begins.
#pragma once

#include "access/ComData.h"
#include "workers/StreamSink.h"

#include <memory>

namespace kpdctl {

class CtlStreamSink : public kpd::StreamSink {
public:
    explicit CtlStreamSink(ComData &com) : com_(com) {}
    void StreamStarted(const std::shared_ptr<const kpd::StreamProgress> &started) override { run = started; }
    void StreamEnded(const kpd::StreamProgress &) override {}
    void ShowElapsedTime(float) override {}
    void StopAfterReplay() override {}
    void ReportLinkFailure() override {
        linkFailed = true;
        com_.StopStreaming();
    }

    std::shared_ptr<const kpd::StreamProgress> run;
    bool linkFailed = false;

private:
    ComData &com_;
};

} // namespace kpdctl
