#include "session/PlotController.h"

#include "session/Session.h"
#include "session/SessionView.h"
#include "workers/DataControl.h"

namespace kpd {

PlotController::PlotController(DisplayMode mode, Session &session, SessionView &view)
    : mode_(mode), session_(session), view_(view) {}

void PlotController::Layout() {
    view_.ShowPlotLayout(mode_);
    view_.Repaint();
    view_.ActivatePlot(mode_);
}

void PlotController::SetDataControl(DataState state) {
    if (control_) control_->SetDataControl(Index(mode_), DataControlCommandOf(state));
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
}

} // namespace kpd
