#include "session/Session.h"

#include "access/PortLink.h"
#include "access/RegisterMap.h"
#include "platform/Dialogs.h"
#include "platform/WorkerThread.h"
#include "session/EngineeringController.h"
#include "session/PlotController.h"
#include "session/StatusController.h"

#include <QTimer>

#include <exception>

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace kpd {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 256;
constexpr int kReadInfoAttempts = 5;
constexpr int kPortStepRetryMs = 20;

const char *const kNotFoundText =
    "Cannot Detect Electronics. Please verify that electronics are connected to the computer and the power "
    "LED for the electronics is on.  Click 'retry' to atempt to connect to electronics or 'ignore' to start "
    "Demo Mode.";

const char *const kLinkFailureText =
    "Error communicating with Electronics. Please check connections and click 'Yes' to try reconnecting on "
    "current COM port, click 'All' to restart data collection and search all COM ports, or 'NO' to resume "
    "using the program in Demo Mode";

const char *const kLoadFilter =
    "All Files (*.*)|*.*|Setup and Status Data (*.man)|*.man|Position/Velocity Data "
    "(*.pos)|*.pos|Signal Strength Data (*.str)|*.str|Encoder Data (*.lis)|*.lis|";

const char *const kLoadedTexts[4] = {
    "Setup and Status Data successfully loaded", "Encoder Signal Data successfully loaded",
    "Signal Strength Data successfully loaded", "Position and Velocity Data successfully loaded"};

} // namespace

// One row of the command table: the session's own handler, or the current mode's layout.
struct Session::CommandEntry {
    void (Session::*run)() = nullptr;
};

const std::array<Session::CommandEntry, kLastCommand + 1> &Session::Commands() {
    static const std::array<CommandEntry, kLastCommand + 1> table = [] {
        std::array<CommandEntry, kLastCommand + 1> t{}; // 0..2: nothing
        t[CmdCenterIndex] = {&Session::RunCenterIndex};
        t[CmdShowInfo] = {&Session::RunShowInfo};
        t[CmdSearch] = {&Session::RunSearch};
        t[CmdSoftwareReset] = {&Session::RunSoftwareReset};
        t[CmdZeroPosition] = {&Session::RunZeroPosition};
        t[CmdShowEncoderSignal] = {&Session::RunShowMode};
        t[CmdShowSignalStrength] = {&Session::RunShowMode};
        t[CmdShowSignalPlots] = {&Session::RunShowMode};
        t[CmdShowStatus] = {&Session::RunShowStatus};
        t[CmdApplyPlotSettings] = {&Session::RunApplyOnly};
        t[CmdShowEngineering] = {&Session::RunShowEngineering};
        t[CmdLeaveEngineering] = {&Session::RunLeaveEngineering};
        t[CmdEngineeringWrite] = {&Session::RunApplyOnly};
        t[CmdSaveData] = {&Session::RunSaveData};
        t[CmdStepBack] = {&Session::RunStepBack};
        t[CmdReplay] = {&Session::RunReplay};
        t[CmdLoadData] = {&Session::RunLoadData};
        t[CmdStopData] = {&Session::RunStopData};
        t[CmdClearBuffers] = {&Session::RunClearBuffers};
        for (int c : {CmdStartCalibration, CmdStopCalibration, CmdSetCalibration, CmdStartAlignment,
                      CmdStopAlignment})
            t[static_cast<std::size_t>(c)] = {&Session::RunCalibration};
        t[CmdWriteOutputSettings] = {&Session::RunWriteOutputSettings};
        t[CmdEnableMainAgc] = {&Session::RunMainAgc};
        t[CmdDisableMainAgc] = {&Session::RunMainAgc};
        return t;
    }();
    return table;
}

Session::Session(SessionView &view, std::string installDir)
    : view_(view), installDir_(std::move(installDir)),
      status_(std::make_unique<StatusController>(*this, view)),
      engineering_(std::make_unique<EngineeringController>(view)) {
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
    // The status monitor waits for its worker before the access object and the data sets go.
    status_.reset();
}

bool Session::WorkerExists() const {
    return (access_ && access_->ThreadRunning.load()) || status_->WorkerActive();
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
        return;
    case CommandScheduler::Tick::Execute:
        readWriteTimer_->stop();
        ExecuteCommand(scheduler_.Pending());
        return;
    }
}

void Session::ExecuteCommand(int code) {
    if (code < kFirstCommand || code > kLastCommand) return;
    const CommandEntry &entry = Commands()[static_cast<std::size_t>(code)];
    if (!entry.run) return;
    executing_ = code;
    (this->*entry.run)();
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

// ---- Commands ----

void Session::RunCenterIndex() {
    if (!access_ || !access_->CenterIndex()) return LinkFailure();
    status_->Evaluation().SetIndexHoldCounter(0);
    Finish();
}

void Session::RunShowInfo() {
    ElectronicsInfo info;
    if (!access_ || !access_->ReadInfo(info)) return LinkFailure();
    processorVersion_ = info.processorVersion;
    status_->Evaluation().SetFirmwareVersion(processorVersion_);
    InfoFields f;
    f.alignmentTool = modelIndex_ == 0;
    f.serialNumber = info.genReg0;
    f.firmwareVersion = info.firmwareVersion;
    f.processorVersion = info.processorVersion;
    f.powerOnTime = info.powerOnTime;
    f.powerOnCycles = info.powerOnCycles;
    f.port = access_->PortNumber();
    f.baudRate = access_->BaudRate();
    view_.ShowElectronicsInfo(f);
    Finish();
}

void Session::RunSearch() {
    Search();
}

void Session::RunSoftwareReset() {
    ComData *a = access_.get();
    if (a) a->SoftwareReset();
    view_.SetBusy(false);
    if (restartStreamingPlots) restartStreamingPlots();
    if (a) a->ZeroRequest = true;
    if (!demo_ && a) {
        a->SnapshotPosition();
        if (onPositionSnapshot) onPositionSnapshot(a->PositionSnapshot());
    }
    Finish();
}

void Session::RunZeroPosition() {
    if (!access_ || !access_->ZeroPosition()) return LinkFailure();
    if (restartStreamingPlots) restartStreamingPlots();
    access_->ZeroRequest = true;
    Finish();
}

void Session::RunShowMode() {
    Controller(mode_).Layout();
    ApplyDataState();
    if (!demo_) buttonTimer_->start();
}

void Session::RunShowStatus() {
    if (!demo_) {
        mode_ = DisplayMode::Status;
        ApplyDataState();
        if (access_ && access_->RestartPending && states_.Of(DisplayMode::Status) != DataState::Stopped) {
            // The status monitor could not start: give up the switch.
            mode_ = previousMode_;
            ApplyDataState();
            Wait(200);
            view_.SetDataControlsEnabled(true);
            return;
        }
    }
    status_->Layout();
    view_.Repaint();
    ApplyDataState();
    if (demo_) return;
    if (states_.Of(DisplayMode::Status) == DataState::Live) Acquire();
    view_.SetDataControlsEnabled(true);
}

void Session::RunShowEngineering() {
    engineering_->Layout();
    ApplyDataState();
}

void Session::RunLeaveEngineering() {
    mode_ = previousMode_;
    if (demo_) return;
    if (access_) {
        (void)access_->ReadSettings();
        view_.ShowInterpolationAndFrequency(access_->InterpolationSetting(), access_->SettingsWord());
    }
    ApplyDataState();
}

void Session::RunApplyOnly() {
    // Plot settings and engineering writes are carried out by their windows; the command restarts (or
    // keeps stopped) the worker of the current mode.
    ApplyDataState();
}

void Session::RunSaveData() {
    ModeController &c = Controller(mode_);
    if (c.HasDataFile()) {
        const SaveDialogTexts t = c.SaveDialog();
        platform::FileDialogOptions o;
        o.title = t.title;
        o.defaultExt = t.ext;
        o.filter = t.filter;
        o.overwritePrompt = true;
        if (const auto file = platform::Dialogs::Instance().SaveFile(o)) {
            view_.SetBusy(true);
            try {
                c.Save(std::filesystem::path(*file));
            } catch (const std::exception &) {
                view_.SetBusy(false);
                platform::ShowMessage(
                    MessageKind::Error,
                    "Cannot Save to File.  Verify the file is not being used by any other application.",
                    MessageButtons::Ok);
            }
        }
    }
    // Common end, also after a cancelled dialog or a failed save.
    if (!demo_) view_.SetDataControlsEnabled(true);
    view_.SetBusy(false);
    mode_ = previousMode_;
    view_.Activate();
    ApplyDataState();
}

void Session::RunStepBack() {
    if (!HasDataSet(mode_)) return;
    states_.BeginStepBack(mode_);
    UpdateWindowCaption();
    ApplyDataState();
    states_.EndStepBack(mode_);
}

void Session::RunReplay() {
    UpdateWindowCaption();
    ApplyDataState();
}

void Session::RunLoadData() {
    platform::FileDialogOptions o;
    o.title = "Choose Data File to Open";
    o.filter = kLoadFilter;
    o.overwritePrompt = false;
    if (const auto file = platform::Dialogs::Instance().OpenFile(o)) {
        view_.SetBusy(true);
        int kind = -1;
        int count = 0;
        bool ok = false;
        try {
            ok = data_.LoadDataFile(std::filesystem::path(*file), kind, count);
        } catch (const std::exception &) {
            ok = false; // an unreadable file is an invalid one
        }
        if (ok && kind >= 0 && kind <= 3) {
            view_.ShowElapsedTime("0.0");
            platform::ShowMessage(MessageKind::Information, kLoadedTexts[kind], MessageButtons::Ok);
            mode_ = static_cast<DisplayMode>(kind);
            Controller(mode_).ShowLoaded();
            view_.SetBusy(false);
            Stop();
            view_.EnableLoadedData(mode_);
        } else {
            view_.SetBusy(false);
            platform::ShowMessage(MessageKind::Error, "Invalid Software File Type", MessageButtons::Ok);
        }
    }
    view_.SetBusy(false);
    if (!demo_) {
        UpdateWindowCaption();
        ApplyDataState();
    }
}

void Session::RunStopData() {
    UpdateWindowCaption();
    ApplyDataState();
}

void Session::RunClearBuffers() {
    const int sel = bufferSelector_;
    if (sel >= 0 && sel <= 3) {
        data_.ClearDataSet(sel);
        if (Index(mode_) == sel) view_.ShowElapsedTime("0.0");
    } else if (sel == 4) {
        for (int set : {0, 1, 3, 2})
            data_.ClearDataSet(set);
        view_.ShowElapsedTime("0.0");
    }
    UpdateWindowCaption();
    ApplyDataState();
}

void Session::RunCalibration() {
    if (ComData *a = access_.get()) {
        switch (executing_) {
        case CmdStartCalibration:
            (void)a->StartCalibration(calibrationOptions_);
            break;
        case CmdStopCalibration:
            (void)a->StopCalibration();
            break;
        case CmdSetCalibration:
            (void)a->SetCalibration();
            break;
        case CmdStartAlignment:
            (void)a->StartAlignment();
            break;
        default:
            (void)a->StopAlignment();
            break;
        }
    }
    ApplyDataState();
}

void Session::RunWriteOutputSettings() {
    // The selections are read now, on the tick; the modal dialog has not changed since OK.
    const OutputWrites w = ComposeOutputWrites(genReg1Copy_, view_.OutputChoice());
    if (!access_ || !access_->WriteRaw(w.first)) return LinkFailure();
    if (!access_->WriteRaw(w.second)) return LinkFailure();
    ApplyDataState();
}

void Session::RunMainAgc() {
    const bool ok =
        access_ && (executing_ == CmdEnableMainAgc ? access_->EnableMainAgc() : access_->DisableMainAgc());
    if (!ok) return LinkFailure();
    ApplyDataState();
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
    const DataState before = states_.Of(mode_);
    if (!HasDataSet(mode_) || before == DataState::Live || before == DataState::Viewing) return;
    Controller(mode_).OnView();
    if (access_) access_->ReviewStep = false;
    QueueCommand(CmdReplay, 300, false);
    states_.View(mode_);
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
    QueueCommand(CmdLeaveEngineering, 1000);
}

// ---- Menu commands ----

void Session::SaveData(DisplayMode kind) {
    if (!demo_) view_.SetDataControlsEnabled(false);
    previousMode_ = mode_;
    mode_ = kind;
    QueueCommand(CmdSaveData, 300);
}

void Session::LoadData() {
    QueueCommand(CmdLoadData, 300);
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
    if (restartStreamingPlots) restartStreamingPlots();
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

void Session::HardwareReset() {
    const auto r = platform::ShowMessage(
        MessageKind::Warning,
        "This will perform a hardware reset on both COM1 and COM2.  This is used to reset any electronics "
        "that may be connected to either Com port.  This command can be helpful if the software cannot find "
        "the electronics at startup and/or the power LED for the electronics is not on.  This function "
        "should not be used if the electronics are currently being used by any device, controller, or other "
        "program besides this software.  To proceed, click OK, to exit without performing a hardware reset, "
        "click Cancel.",
        MessageButtons::OkCancel);
    if (r != MessageResult::Ok) return;
    RunPortStep([this] {
        view_.ShowProgress("Performing Hardware Reset...", "");
        for (int port : {1, 2}) {
            PortLink::OpenAndPulseReset(port);
            Wait(800);
            PortLink::Close(port);
        }
        view_.HideProgress();
        return false;
    });
}

void Session::RequestSearch() {
    states_.ResetAllLive();
    QueueCommand(CmdSearch, 500);
}

void Session::WriteOutputSettings() {
    QueueCommand(CmdWriteOutputSettings, 300);
}

void Session::ShowInfo() {
    QueueCommand(CmdShowInfo, 300);
}

void Session::Calibration(int command) {
    if (mode_ == DisplayMode::Status) QueueCommand(command, 500);
}

void Session::ResetAlarms() {
    status_->ResetAlarms();
}

// ---- Connection ----

void Session::Search() {
    RunPortStep([this] { return SearchNow(); });
}

bool Session::SearchNow() {
    // The old object goes without closing its port; the library keeps that port open and a later
    // OpenPort on it succeeds. The data sets stay.
    ReplaceAccess(nullptr);
    status_->Evaluation().History().Clear();
    view_.ShowProgress("Searching for Electronics...", "");

    std::string message;
    bool found = false;
    for (int n = kFirstPort; n <= kLastPort && !found; ++n) {
        view_.ShowProgress("", "Polling COM" + std::to_string(n) + "...");
        ReplaceAccess(std::make_unique<ComData>(n, data_));
        int modelIndex = 0;
        if (access_->Connect(message, modelIndex)) {
            modelIndex_ = modelIndex;
            found = true;
        } else {
            access_->ClosePortIfOpen();
            ReplaceAccess(nullptr);
        }
    }

    if (!found) {
        status_->Evaluation().History().Clear();
        ReplaceAccess(std::make_unique<ComData>(kLastPort, data_)); // never opened
        view_.HideProgress();
        const auto r =
            platform::ShowMessage(MessageKind::Warning, kNotFoundText, MessageButtons::RetryIgnore);
        if (r == MessageResult::Retry && !shuttingDown_) {
            searchPending_ = true;
            restartTimer_->start();
        } else {
            restartSearch_ = false;
            EnterDemoMode();
        }
        return false;
    }

    view_.ShowProgress("", message);
    Wait(1000);
    view_.HideProgress();
    EnterConnectedMode();
    if (passPlotPointCounts) passPlotPointCounts();
    UpdateWindowCaption();
    restartSearch_ = false;
    ReadIdentification();
    return true; // the worker of the current mode starts once the port step has ended
}

void Session::ReadIdentification() {
    // These reads run before the worker of the display mode is started: the link library allows one
    // caller per port at a time, and the worker talks to the port without pause.
    ElectronicsInfo info;
    bool infoRead = false;
    for (int attempt = 0; attempt < kReadInfoAttempts && !infoRead; ++attempt) {
        Wait(1000);
        infoRead = access_->ReadInfo(info);
    }
    if (infoRead)
        processorVersion_ = info.processorVersion;
    else if (access_->ProcessorVersion() > 0)
        processorVersion_ = access_->ProcessorVersion();
    status_->Evaluation().SetFirmwareVersion(processorVersion_);
    uint16_t value = 0;
    sensorType_ = access_->ReadRegisterChecked(reg::address(reg::SensorType), value) ? value : 0;
    value = 0;
    interpDepth_ = access_->ReadRegisterChecked(reg::address(reg::InterpDepth), value) ? value : 0;
    interpolationCopy_ = interpDepth_;
    if (reg::isKpdSensor(sensorType_))
        view_.ShowSensorLabel("for KPD Digital Sensor " + std::to_string(interpDepth_) + "X");
    else
        view_.ShowSensorLabel("unknown");
    settings_.generation = infoRead ? reg::firmwareGeneration(info.firmwareVersion) : 0;
    settings_.ComputePositionScale(access_->InterpolationSetting());
    view_.ShowInterpolationAndFrequency(access_->InterpolationSetting(), access_->SettingsWord());
}

void Session::EnterDemoMode() {
    if (access_) access_->RestartPending = false;
    demo_ = true;
    view_.EnterDemoMode();
    if (passPlotPointCounts) passPlotPointCounts();
}

void Session::EnterConnectedMode() {
    demo_ = false;
    view_.EnterConnectedMode();
    if (mode_ == DisplayMode::Status)
        status_->Layout();
    else if (HasDataSet(mode_))
        view_.ShowPlotLayout(mode_);
    settings_.LoadSettings(installDir_);
    view_.ShowUnits(settings_.units);
}

void Session::LinkFailure() {
    // Never during shutdown, and once per failure: the decision runs after the worker's termination
    // handler has returned, as a port step, so nothing else reaches the port until it is taken.
    if (shuttingDown_ || linkDecisionOpen_ || !access_) return;
    linkDecisionOpen_ = true;
    QTimer::singleShot(0, this, [this] {
        RunPortStep([this] {
            const bool reconnected = DecideLinkFailure();
            linkDecisionOpen_ = false;
            return reconnected;
        });
    });
}

bool Session::DecideLinkFailure() {
    for (;;) {
        if (shuttingDown_ || !access_) return false;
        access_->StopStreaming();
        auto r = platform::ShowMessage(MessageKind::Warning, kLinkFailureText, MessageButtons::YesNoAll);
        while (r == MessageResult::Closed)
            r = platform::ShowMessage(MessageKind::Warning, kLinkFailureText, MessageButtons::YesNoAll);
        if (shuttingDown_) return false;
        if (r == MessageResult::Yes) {
            if (Reconnect()) return true;
            continue; // ask again
        }
        if (r == MessageResult::All) {
            access_->ClosePortIfOpen();
            searchPending_ = true;
            restartTimer_->start();
            return false;
        }
        // No (and any other answer): demo mode.
        EnterDemoMode();
        access_->ClosePortIfOpen();
        return false;
    }
}

bool Session::Reconnect() {
    view_.ShowProgress("", "Trying to Communicate with Electronics...");
    std::string message;
    int modelIndex = 0;
    if (!access_->Connect(message, modelIndex)) {
        view_.HideProgress();
        return false;
    }
    EnterConnectedMode();
    view_.ShowProgress("", message);
    Wait(1000);
    view_.HideProgress();
    UpdateWindowCaption();
    return true;
}

// ---- Shutdown ----

bool Session::Close() {
    const auto r = platform::ShowMessage(MessageKind::Confirmation, "Close Program?", MessageButtons::YesNo);
    if (r != MessageResult::Yes) {
        view_.Activate();
        return false;
    }
    ShutDownNow();
    return true;
}

void Session::ShutDownNow() {
    if (shuttingDown_) return;
    shuttingDown_ = true;
    scheduler_.Disarm();
    readWriteTimer_->stop();
    restartTimer_->stop();
    searchPending_ = false;
    if (!demo_ && access_) access_->StopRequest = true;
    view_.SetBusy(true);
    view_.ShowProgress("Please Wait...", "Shutting Down Program...");
    genTimer_->start();
}

void Session::GenTimerTimer() {
    genTimer_->stop();
    if (!demo_) settings_.SaveSettings(installDir_);
    view_.SetBusy(false);
    settings_.gratingDescriptions.clear();
    if (!demo_ && access_) CloseAccessAtShutdown();
    view_.HideProgress();
    view_.Terminate();
}

void Session::CloseAccessAtShutdown() {
    // The worker normally ends well within the 1400 ms; one that is still inside a long link step keeps
    // the access object alive until it has ended, so its flags are never freed under it.
    access_->StopRequest = true;
    if (WorkerExists() && !platform::WaitWhile([this] { return WorkerExists(); }, ShutdownWorkerWait)) {
        status_->SetComData(nullptr);
        (void)access_.release(); // still in use by a worker that does not end: leave it alone
        return;
    }
    access_->ClosePortIfOpen();
    ReplaceAccess(nullptr);
}

} // namespace kpd
