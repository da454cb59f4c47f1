// TMainForm: the data buttons Acquire, Stop, Back and View. They change the data state of the current
// display mode (0 stopped, 1 live, 2 stepping back, 3 viewing buffered data) and hand the work to the
// command scheduler (Stop 20, Back 17, View 18), except Acquire, which applies the live state at once.
// The handlers are generic over display modes 0 to 3; the alarm lamps are reset only for the status display.
#include "MainForm.h"

#include "ComData.h"

namespace {
constexpr int kStopIntervalMs = 200;
constexpr int kBackIntervalMs = 200;
constexpr int kViewIntervalMs = 300;

bool HasDataState(int mode) {
    return mode >= 0 && mode <= 3;
}
} // namespace

void TMainForm::AcquireButtonClick() {
    ReviewFlag = false;
    if (!HasDataState(DisplayMode)) return;
    int &state = DataState[DisplayMode];
    if (state == 3) return; // viewing buffered data: Stop first
    if (DisplayMode == 0 && state != 1) ResetAlarmsButtonClick();
    state = 1;
    UpdateWindowCaption();
    ApplyDataState();
}

void TMainForm::StopButtonClick() {
    ReviewFlag = false;
    if (HasDataState(DisplayMode)) DataState[DisplayMode] = 0;
    QueueCommand(kpd::CmdStopData, kStopIntervalMs, false);
}

void TMainForm::ReviewButtonClick() {
    if (access_) access_->ReviewStep = false;
    QueueCommand(kpd::CmdStepBack, kBackIntervalMs, true);
}

void TMainForm::FastButtonClick() {
    if (!HasDataState(DisplayMode)) return;
    int &state = DataState[DisplayMode];
    if (state == 1 || state == 3) return; // live or already viewing
    if (DisplayMode == 0) ResetAlarmsButtonClick();
    if (access_) access_->ReviewStep = false;
    QueueCommand(kpd::CmdReplay, kViewIntervalMs, false);
    state = 3;
    ReviewFlag = false;
}

void TMainForm::RunClickHandler(const QString &button, const std::function<void()> &fallback) {
    auto it = clickHooks.find(button);
    if (it != clickHooks.end() && it->second)
        it->second();
    else if (fallback)
        fallback();
}
