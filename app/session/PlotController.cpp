#include "session/PlotController.h"

#include "platform/NumberFormat.h"
#include "session/Session.h"
#include "session/SessionView.h"
#include "workers/DataControl.h"
#include "workers/StreamAcquisition.h"

namespace kpd {

PlotController::PlotController(DisplayMode mode, Session &session, SessionView &view)
    : mode_(mode), session_(session), view_(view), acquisition_(std::make_unique<StreamAcquisition>(*this)) {}

PlotController::~PlotController() = default;

void PlotController::SetComData(ComData *com) {
    acquisition_->SetComData(com);
}

bool PlotController::WorkerActive() const {
    return acquisition_->WorkerActive();
}

void PlotController::Layout() {
    view_.ShowPlotLayout(mode_);
    view_.Repaint();
    view_.ActivatePlot(mode_);
}

void PlotController::SetDataControl(DataState state) {
    if (control_) {
        control_->SetDataControl(Index(mode_), DataControlCommandOf(state));
        return;
    }
    // Without electronics there is nothing to stream: a live start in demo mode would only end in the
    // link-failure dialog. Stop, step back and replay of recorded data work.
    if (session_.Demo() && state == DataState::Live) return;
    acquisition_->SetDataControl(Index(mode_), DataControlCommandOf(state));
}

SaveDialogTexts PlotController::SaveDialog() const {
    switch (mode_) {
    case DisplayMode::EncoderSignal:
        return {"Save Encoder Signal Data as:", "lis", "Encoder Data (*.lis)|*.lis|All Files (*.*)|*.*"};
    case DisplayMode::SignalStrength:
        return {"Save Signal Strength Data as:", "str",
                "Signal Strength Data (*.str)|*.str|All Files (*.*)|*.*"};
    default:
        return {"Save Position/Velocity Data as:", "pos",
                "Position/Velocity Data (*.pos)|*.pos|All Files (*.*)|*.*"};
    }
}

void PlotController::Save(const std::filesystem::path &file) const {
    const Settings &s = session_.Config();
    const DataSets &data = session_.Data();
    switch (mode_) {
    case DisplayMode::EncoderSignal:
        data.SaveEncoderSignalFile(file);
        break;
    case DisplayMode::SignalStrength:
        data.SaveSignalStrengthFile(file, s.units, s.resolutionMultiplier, s.interpolationMultiplier);
        break;
    default:
        data.SavePositionVelocityFile(file, s.units, s.resolutionMultiplier, s.interpolationMultiplier);
        break;
    }
}

void PlotController::ShowLoaded() {
    Layout();
    view_.ShowStoredPlot(mode_);
}

void PlotController::StreamStarted(const std::shared_ptr<const StreamProgress> &run) {
    view_.PlotRunStarted(mode_, run);
}

void PlotController::StreamEnded(const StreamProgress &) {
    view_.PlotRunEnded(mode_);
}

void PlotController::ShowElapsedTime(float seconds) {
    view_.ShowElapsedTime(platform::FormatFixed(seconds, 1, 6));
}

void PlotController::StopAfterReplay() {
    session_.StopAfterReplay();
}

void PlotController::ReportLinkFailure() {
    session_.LinkFailure();
}

} // namespace kpd
