// Session: the commands of the scheduler, dispatched through a table of the session's handlers.
#include "session/Session.h"

#include "platform/Dialogs.h"
#include "session/EngineeringController.h"
#include "session/PlotController.h"
#include "session/StatusController.h"

#include <QTimer>

#include <exception>
#include <optional>
#include <utility>

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace kpd {

namespace {

const char *const kLoadFilter =
    "All Files (*.*)|*.*|Setup and Status Data (*.man)|*.man|Position/Velocity Data "
    "(*.pos)|*.pos|Signal Strength Data (*.str)|*.str|Encoder Data (*.lis)|*.lis|";

const char *const kLoadedTexts[4] = {
    "Setup and Status Data successfully loaded", "Encoder Signal Data successfully loaded",
    "Signal Strength Data successfully loaded", "Position and Velocity Data successfully loaded"};

} // namespace

// One row of the command table: the session's handler, or one that is told which of its commands runs.
struct Session::CommandEntry {
    void (Session::*run)() = nullptr;
    void (Session::*runCode)(int code) = nullptr;
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
        t[CmdApplyPlotSettings] = {&Session::RunApplyPlotSettings};
        t[CmdShowEngineering] = {&Session::RunShowEngineering};
        t[CmdLeaveEngineering] = {&Session::RunLeaveEngineering};
        t[CmdEngineeringWrite] = {&Session::RunEngineeringWrite};
        t[CmdSaveData] = {&Session::RunSaveData};
        t[CmdStepBack] = {&Session::RunStepBack};
        t[CmdReplay] = {&Session::RunReplay};
        t[CmdLoadData] = {&Session::RunLoadData};
        t[CmdStopData] = {&Session::RunStopData};
        t[CmdClearBuffers] = {&Session::RunClearBuffers};
        for (int c : {CmdStartCalibration, CmdStopCalibration, CmdSetCalibration, CmdStartAlignment,
                      CmdStopAlignment})
            t[static_cast<std::size_t>(c)] = {nullptr, &Session::RunCalibration};
        t[CmdWriteOutputSettings] = {&Session::RunWriteOutputSettings};
        t[CmdEnableMainAgc] = {nullptr, &Session::RunMainAgc};
        t[CmdDisableMainAgc] = {nullptr, &Session::RunMainAgc};
        return t;
    }();
    return table;
}

void Session::ExecuteCommand(int code) {
    if (code < kFirstCommand || code > kLastCommand) return;
    const CommandEntry &entry = Commands()[static_cast<std::size_t>(code)];
    if (entry.run)
        (this->*entry.run)();
    else if (entry.runCode)
        (this->*entry.runCode)(code);
}

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
    view_.RestartPlot();
    if (a) a->ZeroRequest = true;
    if (!demo_ && a) {
        a->SnapshotPosition();
        if (onPositionSnapshot) onPositionSnapshot(a->PositionSnapshot());
    }
    Finish();
}

void Session::RunZeroPosition() {
    if (!access_ || !access_->ZeroPosition()) return LinkFailure();
    view_.RestartPlot();
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

void Session::RunEngineeringWrite() {
    // The address word goes out unchanged: modifier, register and data as the user typed them.
    if (!access_ || !access_->WriteRaw(engineering_->AddressWord())) return LinkFailure();
    ApplyDataState();
}

void Session::RunApplyPlotSettings() {
    if (HasDataSet(mode_) && pendingPlotOptions_.mode == mode_) {
        kpd::ApplyPlotOptions(pendingPlotOptions_, pendingPlotCount_, settings_, scaling_);
        if (states_.Of(mode_) == DataState::Viewing) review_ = false;
        view_.RestartPlot();
        settings_.SaveSettings(installDir_);
    }
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
                if (onDataFile) onDataFile(*file);
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
    const std::optional<std::string> file =
        loadFile_.empty() ? platform::Dialogs::Instance().OpenFile(o) : std::exchange(loadFile_, {});
    if (file) {
        view_.SetBusy(true);
        DataFileLoadResult loaded;
        try {
            loaded = data_.LoadDataFile(std::filesystem::path(*file));
        } catch (const std::exception &) {
            loaded = DataFileLoadResult(); // an unreadable file is an invalid one
        }
        const int kind = loaded.kind;
        if (loaded.ok && kind >= 0 && kind <= 3) {
            // In demo mode a file with header values brings its units: they replace the current units and
            // multipliers, the units box shows them and the position display gets 5 decimals. Outside demo
            // mode the header values are read and not used.
            if (demo_ && loaded.hasHeader) {
                settings_.units = loaded.header.unitsName;
                settings_.resolutionMultiplier = loaded.header.resolutionMultiplier;
                settings_.interpolationMultiplier = loaded.header.interpolationMultiplier;
                view_.ShowUnits(settings_.units);
                settings_.digits = 5;
            }
            view_.ShowElapsedTime("0.0");
            platform::ShowMessage(MessageKind::Information, kLoadedTexts[kind], MessageButtons::Ok);
            mode_ = static_cast<DisplayMode>(kind);
            Controller(mode_).ShowLoaded();
            view_.SetBusy(false);
            Stop();
            view_.EnableLoadedData(mode_);
            if (onDataFile) onDataFile(*file);
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

void Session::RunCalibration(int code) {
    if (ComData *a = access_.get()) {
        switch (code) {
        case CmdStartCalibration:
            (void)a->StartCalibration(startCalibrationMask_);
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
    // The selection taken at OK; the kept bits come from the GenReg1 copy of this moment.
    const OutputWrites w = ComposeOutputWrites(genReg1Copy_, pendingOutputs_);
    if (!access_ || !access_->WriteRaw(w.first)) return LinkFailure();
    if (!access_->WriteRaw(w.second)) return LinkFailure();
    ApplyDataState();
}

void Session::RunMainAgc(int code) {
    const bool ok =
        access_ && (code == CmdEnableMainAgc ? access_->EnableMainAgc() : access_->DisableMainAgc());
    if (!ok) return LinkFailure();
    ApplyDataState();
}

} // namespace kpd
