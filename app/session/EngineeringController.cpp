#include "session/EngineeringController.h"

#include "session/Session.h"
#include "session/SessionView.h"
#include "workers/ReadAllAcquisition.h"
#include "workers/ReadAllSlots.h"

namespace kpd {

EngineeringController::EngineeringController(Session &session, SessionView &view)
    : session_(session), view_(view), acquisition_(std::make_unique<ReadAllAcquisition>(*this)) {}

EngineeringController::~EngineeringController() = default;

void EngineeringController::SetComData(ComData *com) {
    acquisition_->SetComData(com);
}

bool EngineeringController::WorkerActive() const {
    return acquisition_->WorkerActive();
}

void EngineeringController::Layout() {
    // Values of an earlier visit are not shown as if they were current.
    view_.ShowEngineeringValues({});
    shownPass_ = acquisition_->Pass().passes.load();
    view_.ShowEngineeringDisplay();
    view_.SetBusy(false);
}

void EngineeringController::SetDataControl(DataState) {
    if (startReadAll) {
        startReadAll();
        return;
    }
    // Without electronics there is nothing to read: a start would only end in the link-failure dialog.
    if (session_.Demo()) return;
    acquisition_->Start();
}

void EngineeringController::PassReady(const ReadAllPass &pass) {
    ReadAllPass::Values values{};
    const uint64_t number = pass.Newest(values);
    if (number == 0 || number == shownPass_) return;
    shownPass_ = number;
    view_.ShowEngineeringValues(readall::FormatPass(values));
}

void EngineeringController::ReportLinkFailure() {
    session_.LinkFailure();
}

} // namespace kpd
