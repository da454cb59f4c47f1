#include "session/EngineeringController.h"

#include "session/SessionView.h"

namespace kpd {

void EngineeringController::Layout() {
    view_.ShowEngineeringDisplay();
    view_.SetBusy(false);
}

void EngineeringController::SetDataControl(DataState) {
    if (startReadAll) startReadAll();
}

} // namespace kpd
