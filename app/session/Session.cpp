#include "session/Session.h"

#include "platform/Dialogs.h"
#include "platform/WorkerThread.h"
#include "session/CalibrationOptions.h"
#include "session/EngineeringController.h"
#include "session/EngineeringEntry.h"
#include "session/PlotController.h"
#include "session/StatusController.h"

#include <QTimer>

#include <algorithm>

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace kpd {

namespace {
constexpr int kPortStepRetryMs = 20;
} // namespace

Session::Session(SessionView &view, std::string installDir)
    : view_(view), installDir_(std::move(installDir)),
      status_(std::make_unique<StatusController>(*this, view)),
      engineering_(std::make_unique<EngineeringController>(*this, view)) {
    for (int m = 1; m <= 3; ++m)
        plots_[static_cast<std::size_t>(m - 1)] =
            std::make_unique<PlotController>(static_cast<DisplayMode>(m), *this, view);
    waitMs = [](int ms) { ComData::WaitMs(ms); };
    auto timer = [this](const char *name, int interval) {
        auto *t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(interval);
        return t;
    };
    genTimer_ = timer("GenTimer", 1400);
    restartTimer_ = timer("RestartTimer", 300);
    readWriteTimer_ = timer("ReadWriteTimer", 100);
    buttonTimer_ = timer("ButtonTimer", 200);
    connect(genTimer_, &QTimer::timeout, this, [this] { GenTimerTimer(); });
    connect(restartTimer_, &QTimer::timeout, this, [this] {
        restartTimer_->stop();
        searchPending_ = false;
        restartSearch_ = true;
        Search();
    });
    connect(readWriteTimer_, &QTimer::timeout, this, [this] { ReadWriteTimerTimer(); });
    connect(buttonTimer_, &QTimer::timeout, this, [this] {
        buttonTimer_->stop();
        view_.SetDataControlsEnabled(true);
    });
    settings_.encoderplottype = 0;
    settings_.positionplottype = 0;
    settings_.LoadSettings(installDir_);
}

Session::~Session() {
    // Nothing new starts while the controllers wait for their workers (they serve events meanwhile).
    shuttingDown_ = true;
    for (QTimer *t : {readWriteTimer_, restartTimer_, buttonTimer_, genTimer_})
        t->stop();
    status_.reset();
    for (auto &p : plots_)
        p.reset();
    engineering_.reset();
}

bool Session::WorkerExists() const {
    if (access_ && access_->ThreadRunning.load()) return true;
    if (status_ && status_->WorkerActive()) return true;
    for (const auto &p : plots_)
        if (p && p->WorkerActive()) return true;
    if (engineering_ && engineering_->WorkerActive()) return true;
    return false;
}

PlotController &Session::Plot(DisplayMode mode) {
    return *plots_[static_cast<std::size_t>(std::clamp(Index(mode), 1, 3) - 1)];
}

ModeController &Session::Controller(DisplayMode mode) {
    switch (mode) {
    case DisplayMode::Status:
        return *status_;
    case DisplayMode::Engineering:
        return *engineering_;
    default:
        return *plots_[static_cast<std::size_t>(Index(mode) - 1)];
    }
}

void Session::SetPlotDataControl(DataControl *control) {
    for (auto &p : plots_)
        p->SetDataControl(control);
}

void Session::SetReadAllStarter(std::function<void()> start) {
    engineering_->startReadAll = std::move(start);
}

void Session::Wait(int ms) {
    if (waitMs) waitMs(ms);
}

// ---- Plots ----

void Session::PlotTypeGroupClick(int item) {
    if (mode_ == DisplayMode::EncoderSignal) {
        const bool changed = item != settings_.encoderplottype;
        settings_.encoderplottype = item;
        view_.PlotTypeChanged(mode_, changed);
    } else if (mode_ == DisplayMode::SignalPlots) {
        if (item != settings_.positionplottype) {
            settings_.positionplottype = item;
            view_.PlotTypeChanged(mode_, false);
            view_.RestartPlot();
        }
    }
    settings_.SaveSettings(installDir_);
}

void Session::ApplyPlotOptions(const PlotOptionsEntry &entry, int pendingCount) {
    pendingPlotOptions_ = entry;
    pendingPlotCount_ = pendingCount;
    QueueCommand(CmdApplyPlotSettings, 400);
}

// ---- Port ownership ----

void Session::RunPortStep(std::function<bool()> step) {
    ++portHold_; // from the request on: no command runs and no worker starts
    TryPortStep(std::make_shared<std::function<bool()>>(std::move(step)));
}

void Session::TryPortStep(std::shared_ptr<std::function<bool()>> step) {
    if (WorkerExists()) {
        if (access_) access_->StopRequest = true;
        QTimer::singleShot(kPortStepRetryMs, this, [this, step] { TryPortStep(step); });
        return;
    }
    const bool apply = (*step)();
    --portHold_;
    if (apply) ApplyDataState();
}

void Session::ReplaceAccess(std::unique_ptr<ComData> access) {
    status_->SetComData(access.get());
    for (auto &p : plots_)
        p->SetComData(access.get());
    engineering_->SetComData(access.get());
    access_ = std::move(access);
    AttachAccess();
}

void Session::AttachAccess() {
    if (!access_) return;
    access_->onSettingsRead = [this](int interpolation, int settingsWord) {
        view_.ShowInterpolationAndFrequency(interpolation, settingsWord);
    };
}

// ---- Scheduler ----

void Session::QueueCommand(int code, int intervalMs, bool setReviewFlag) {
    if (shuttingDown_) return;
    if (setReviewFlag) review_ = true;
    if (access_) access_->StopRequest = true;
    // A command that replaces a pending one also ends the hourglass that one may have raised.
    if (scheduler_.Armed()) view_.SetBusy(false);
    if (!scheduler_.Queue(code, intervalMs)) return;
    readWriteTimer_->setInterval(scheduler_.IntervalMs());
    readWriteTimer_->start();
}

void Session::ReadWriteTimerTimer() {
    // A command waits while a worker exists and while a port step or the link-failure decision runs.
    switch (scheduler_.OnTick(WorkerExists() || PortHeld())) {
    case CommandScheduler::Tick::Idle:
        readWriteTimer_->stop();
        return;
    case CommandScheduler::Tick::Wait:
        // A worker that started after the command was queued is asked to end as well: a port step that
        // held the port then (a search waiting to retry) starts the worker of the mode when it ends, on an
        // access object of its own, and the command would otherwise wait for that worker for ever.
        if (access_ && WorkerExists()) access_->StopRequest = true;
        return;
    case CommandScheduler::Tick::Execute:
        readWriteTimer_->stop();
        ExecuteCommand(scheduler_.Pending());
        return;
    }
}

void Session::ApplyDataState() {
    const DisplayMode mode = mode_;
    const DataState state = states_.Of(mode);
    // No worker starts while the port belongs to the user-interface side or the program is closing.
    const bool starts = !(HasDataSet(mode) && state == DataState::Stopped);
    if (!(starts && (PortHeld() || shuttingDown_))) Controller(mode).SetDataControl(state);
    if (!demo_ && HasDataSet(mode)) {
        if (state == DataState::Viewing) {
            view_.SetMenuItemEnabled("ResetDataBuffers1", false);
            review_ = false;
        } else {
            view_.SetMenuItemEnabled("ResetDataBuffers1", true);
        }
    }
}

void Session::Finish() {
    if (HasDataSet(mode_) && states_.Of(mode_) == DataState::Viewing) review_ = false;
    ApplyDataState();
}

void Session::UpdateWindowCaption() {
    if (HasDataSet(mode_)) view_.SetCaption(CaptionOf(states_.Of(mode_)));
}

// ---- Data buttons ----

void Session::Acquire() {
    review_ = false;
    const DataStates::AcquireResult r = states_.Acquire(mode_);
    if (!r.applies) return;
    if (r.wasNotLive) Controller(mode_).OnAcquire();
    UpdateWindowCaption();
    ApplyDataState();
}

void Session::Stop() {
    review_ = false;
    states_.Stop(mode_);
    QueueCommand(CmdStopData, 200, false);
}

void Session::Back() {
    if (access_) access_->ReviewStep = false;
    QueueCommand(CmdStepBack, 200, true);
}

void Session::View() {
    if (!states_.View(mode_)) return; // live, already viewing, or no data set
    Controller(mode_).OnView();
    if (access_) access_->ReviewStep = false;
    QueueCommand(CmdReplay, 300, false);
    review_ = false;
}

void Session::StopAfterReplay() {
    if (!review_) Stop();
}

// ---- Display modes ----

void Session::SwitchDisplayMode(DisplayMode newMode, int command, bool setReviewStep) {
    if (!demo_) view_.SetDataControlsEnabled(false);
    review_ = true;
    if (access_) {
        access_->StopRequest = true;
        if (setReviewStep) access_->ReviewStep = true;
    }
    states_.Leave(mode_);
    states_.Leave(DisplayMode::Status);
    previousMode_ = mode_;
    mode_ = newMode;
    QueueCommand(command, 500);
}

void Session::ShowPlotMode(DisplayMode mode, int command) {
    if (mode_ == mode) return;
    if (access_) access_->ReviewStep = true;
    QueueCommand(command, 500);
    previousMode_ = mode_;
    mode_ = mode;
    states_.Leave(mode);
}

void Session::ShowEngineering() {
    if (mode_ == DisplayMode::Engineering) return;
    QueueCommand(CmdShowEngineering, 500);
    view_.SetBusy(true);
    previousMode_ = mode_;
    mode_ = DisplayMode::Engineering;
}

void Session::LeaveEngineering() {
    // The remembered mode is current from now on, so that an activation of the main window before the
    // command runs does not show the engineering display again.
    if (mode_ == DisplayMode::Engineering) mode_ = previousMode_;
    QueueCommand(CmdLeaveEngineering, 1000);
}

bool Session::EngineeringWrite(const std::string &entry) {
    const WriteEntry e = CheckWriteEntry(entry);
    if (e.check != WriteEntry::Check::Ok) {
        platform::ShowMessage(MessageKind::Error, e.Message(), MessageButtons::Ok);
        return false;
    }
    engineering_->SetAddressWord(e.addressWord);
    QueueCommand(CmdEngineeringWrite, 800);
    return true;
}

void Session::MainAgc(bool enable) {
    QueueCommand(enable ? CmdEnableMainAgc : CmdDisableMainAgc, 800);
}

// ---- Menu commands ----

void Session::SaveData(DisplayMode kind) {
    if (!demo_) view_.SetDataControlsEnabled(false);
    previousMode_ = mode_;
    mode_ = kind;
    QueueCommand(CmdSaveData, 300);
}

void Session::LoadData() {
    loadFile_.clear();
    QueueCommand(CmdLoadData, 300);
}

void Session::LoadDataFile(const std::string &file) {
    LoadData();
    loadFile_ = file;
}

void Session::ClearBuffers(int selector) {
    bufferSelector_ = selector;
    QueueCommand(CmdClearBuffers, 400, false);
}

void Session::CenterIndex() {
    if (mode_ == DisplayMode::Status) {
        const auto r = platform::ShowMessage(
            MessageKind::Warning,
            "This will center the encoder's index output pulse within the scale's index mark. The index "
            "pulse "
            "will also be aligned with the A-quad-B outputs for maximum repeatability. To proceed, click OK "
            "and move the sensor past the scale's index mark in each direction until the message 'index "
            "centered' appears. To exit without centering the index pulse, click Cancel.",
            MessageButtons::OkCancel);
        if (r == MessageResult::Ok) QueueCommand(CmdCenterIndex, 300);
    } else if (HasDataSet(mode_)) {
        previousMode_ = mode_;
        QueueCommand(CmdSaveData, 300);
    }
}

void Session::ZeroPosition() {
    const auto r = platform::ShowMessage(
        MessageKind::Warning,
        "This will zero the position count in the electronics and should not be performed if operating in "
        "closed loop control.  To continue, click OK and To exit without zeroing the position, click "
        "Cancel. ",
        MessageButtons::OkCancel);
    if (r == MessageResult::Ok) QueueCommand(CmdZeroPosition, 300);
}

void Session::ResetPosition() {
    if (access_) access_->ZeroRequest = true;
    view_.RestartPlot();
}

void Session::SoftwareReset() {
    const auto r = platform::ShowMessage(
        MessageKind::Warning,
        "This will perform a system reset of the electronics.  This command can be helpful if you desire to "
        "clear the contents of the data registers in the electronics.  This function should not be used if "
        "the electronics are currently being used by any device, controller, or other program besides this "
        "software.  To proceed, click OK, to exit without performing a system reset, click Cancel.",
        MessageButtons::OkCancel);
    if (r != MessageResult::Ok) return;
    QueueCommand(CmdSoftwareReset, 600);
    view_.SetBusy(true);
}

void Session::RequestSearch() {
    states_.ResetAllLive();
    QueueCommand(CmdSearch, 500);
}

void Session::WriteOutputSettings() {
    pendingOutputs_ = view_.OutputChoice();
    QueueCommand(CmdWriteOutputSettings, 300);
}

void Session::ShowInfo() {
    QueueCommand(CmdShowInfo, 300);
}

void Session::Calibration(int command) {
    switch (command) {
    case CmdStartCalibration:
        if (mode_ == DisplayMode::Status) startCalibrationMask_ = calibrationOptions_;
        [[fallthrough]];
    case CmdStopCalibration:
    case CmdSetCalibration:
    case CmdStartAlignment:
    case CmdStopAlignment:
        if (mode_ == DisplayMode::Status) QueueCommand(command, 500);
        return;
    default:
        return;
    }
}

void Session::SetCalibrationOption(int bit, bool ticked) {
    bit &= calibration::kAll;
    if (ticked)
        calibrationOptions_ |= bit;
    else
        calibrationOptions_ &= ~bit;
}

void Session::ResetAlarms() {
    status_->ResetAlarms();
}

} // namespace kpd
