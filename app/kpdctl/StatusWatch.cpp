#include "kpdctl/StatusWatch.h"

#include "access/ComData.h"
#include "session/PositionText.h"

#include <chrono>

namespace kpdctl {

StatusWatch::StatusWatch(ComData &com, const Settings &settings, int processorVersion)
    : com_(com), settings_(settings), monitor_(std::make_unique<kpd::StatusMonitor>(*this, &com)) {
    evaluation_.SetFirmwareVersion(processorVersion);
    evaluation_.ResetForLayout(view_);
}

StatusWatch::~StatusWatch() = default; // the monitor's destructor waits (bounded) for its worker

bool StatusWatch::WorkerActive() const {
    return monitor_->WorkerActive();
}

uint64_t StatusWatch::SamplesRead() const {
    return monitor_->Stats().samples.load();
}

void StatusWatch::Start() {
    stopping_ = false;
    monitor_->StartLive();
}

void StatusWatch::RequestStop() {
    stopping_ = true;
    pending_ = nullptr;
    monitor_->Stop();
}

void StatusWatch::Queue(std::function<void(ComData &)> command) {
    pending_ = std::move(command);
    monitor_->Stop();
    Tick();
}

void StatusWatch::Tick() {
    if (!pending_ || monitor_->WorkerActive() || com_.ThreadRunning.load()) return;
    auto command = std::move(pending_);
    pending_ = nullptr;
    command(com_);
    if (!linkFailed_ && !stopping_) monitor_->StartLive();
}

void StatusWatch::UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t,
                                      float elapsed, bool replay, bool evaluate) {
    const std::string positionText = kpd::PositionText(position, settings_);
    evaluation_.Evaluate(statusWord, magnitude, evaluate, replay, ticked_, positionText, settings_.units,
                         std::chrono::system_clock::now(), view_);
    if (evaluate) evaluatedOnce_ = true;
    // A sample still on its way when a stop was asked for is not shown: after a stop nothing more is
    // printed.
    if (!evaluatedOnce_ || stopping_) return;
    DecodedStatus d = Decode(view_, statusWord, magnitude);
    d.sample = ++shown_;
    d.elapsed = elapsed;
    d.counts = position;
    d.position = kpd::PositionInUnits(position, settings_);
    d.positionText = positionText;
    d.units = settings_.units;
    d.evaluated = evaluate;
    if (onSample) onSample(d);
}

void StatusWatch::ReportLinkFailure() {
    linkFailed_ = true;
    pending_ = nullptr;
    // As KPD's link-failure handling begins: abort any stream the electronics might still be sending.
    com_.StopStreaming();
}

} // namespace kpdctl
