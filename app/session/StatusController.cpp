#include "session/StatusController.h"

#include "platform/NumberFormat.h"
#include "session/PositionText.h"
#include "session/Session.h"
#include "session/SessionView.h"
#include "workers/StatusMonitor.h"

#include <chrono>

namespace kpd {

StatusController::StatusController(Session &session, SessionView &view)
    : session_(session), view_(view), monitor_(std::make_unique<StatusMonitor>(*this, nullptr)) {}

StatusController::~StatusController() = default;

void StatusController::SetComData(ComData *com) {
    monitor_->SetComData(com);
}

bool StatusController::WorkerActive() const {
    return monitor_->WorkerActive();
}

void StatusController::Layout() {
    view_.ShowStatusLayout();
    evaluation_.ResetForLayout(statusView_);
    ApplyView();
    session_.UpdateWindowCaption();
}

void StatusController::SetDataControl(DataState state) {
    // Without electronics there is nothing to poll: a live start in demo mode would only end in the
    // link-failure dialog. Stop, step back and replay of recorded data still work.
    if (session_.Demo() && state == DataState::Live) return;
    monitor_->SetDataControl(SetupStatusSet, DataControlCommandOf(state));
}

SaveDialogTexts StatusController::SaveDialog() const {
    return {"Save Setup and Status Data as:", "man",
            "Setup and Status Data (*.man)|*.man|All Files (*.*)|*.*"};
}

void StatusController::Save(const std::filesystem::path &file) const {
    const Settings &s = session_.Config();
    session_.Data().SaveSetupStatusFile(file, s.units, s.resolutionMultiplier, s.interpolationMultiplier);
}

void StatusController::ShowLoaded() {
    Layout();
    view_.Repaint();
    session_.Stop();
}

void StatusController::ApplyView() {
    view_.ApplyStatusView(statusView_);
}

void StatusController::ResetAlarms() {
    evaluation_.ResetAlarms(statusView_);
    ApplyView();
}

void StatusController::UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord,
                                           uint16_t genReg1, float elapsed, bool replay, bool evaluate) {
    const Settings &s = session_.Config();
    if (!replay) session_.SetGenReg1Copy(genReg1);
    const std::string positionText = PositionText(position, s);
    view_.ShowStatusSample(platform::FormatFixed(elapsed, 1, 6), positionText);
    evaluation_.Evaluate(statusWord, magnitude, evaluate, replay, view_.CalibrationBoxTicked(), positionText,
                         s.units, std::chrono::system_clock::now(), statusView_);
    ApplyView();
}

void StatusController::ShowElapsedTime(float seconds) {
    view_.ShowElapsedTime(platform::FormatFixed(seconds, 1, 6));
}

void StatusController::StopAfterReplay() {
    session_.StopAfterReplay();
}

void StatusController::ReportLinkFailure() {
    session_.LinkFailure();
}

} // namespace kpd
