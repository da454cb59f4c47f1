// TMainForm: the command scheduler (queueing, the timer tick, the commands), ApplyDataState, the
// electronics settings commands and the display-mode switching handlers.
#include "MainForm.h"

#include "ComData.h"
#include "OutputSettings.h"
#include "RegisterMap.h"
#include "StatusMonitor.h"
#include "TEngineeringDisplay.h"
#include "TInfoForm.h"
#include "TPlotSettingsForm.h"
#include "TRadioDialog.h"
#include "platform/Dialogs.h"
#include "platform/WaitCursor.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

// ---- Scheduler ----

void TMainForm::QueueCommand(int code, int intervalMs, bool setReviewFlag) {
    if (shuttingDown_) return;
    if (setReviewFlag) ReviewFlag = true;
    if (access_) access_->StopRequest = true;
    if (!scheduler_.Queue(code, intervalMs)) return;
    ReadWriteTimer->setInterval(scheduler_.IntervalMs());
    ReadWriteTimer->start();
}

void TMainForm::ReadWriteTimerTimer() {
    const bool running = access_ && access_->ThreadRunning;
    switch (scheduler_.OnTick(running)) {
    case kpd::CommandScheduler::Tick::Idle:
        ReadWriteTimer->stop();
        return;
    case kpd::CommandScheduler::Tick::Wait:
        return; // the timer stays enabled with the same interval
    case kpd::CommandScheduler::Tick::Execute:
        ReadWriteTimer->stop();
        ExecuteCommand(scheduler_.Pending());
        return;
    }
}

void TMainForm::ApplyDataState() {
    const int mode = DisplayMode;
    if (mode >= 0 && mode <= 3) {
        if (dataControl)
            dataControl->SetDataControl(mode, DataState[mode]);
        else if (mode == 0 && statusMonitor_ && !(DemoFlag && DataState[0] == kpd::DataStartLive))
            // Without electronics there is nothing to poll: a live start in demo mode would only end in
            // the link-failure dialog. Stop, step back and replay of recorded data still work.
            statusMonitor_->SetDataControl(0, DataState[0]);
    } else if (mode == 4) {
        if (startReadAll) startReadAll();
    }
    if (!DemoFlag && mode >= 0 && mode <= 3) {
        if (DataState[mode] == 3) {
            SetItemEnabled("ResetDataBuffers1", false);
            ReviewFlag = false;
        } else {
            SetItemEnabled("ResetDataBuffers1", true);
        }
    }
}

void TMainForm::Finish() {
    if (DisplayMode >= 0 && DisplayMode <= 3 && DataState[DisplayMode] == 3) ReviewFlag = false;
    ApplyDataState();
}

void TMainForm::LinkFailure() {
    ReportLinkFailure();
}

void TMainForm::ReportLinkFailure() {
    if (reportLinkFailureHook)
        reportLinkFailureHook();
    else
        DefaultReportLinkFailure();
}

void TMainForm::DefaultCommandPlaceholder(int code) {
    // Commands whose own steps are carried out by other parts of the program once they provide a hook.
    // Until then the command only restarts (or keeps stopped) the worker of the current display mode, so
    // monitoring is never left stopped by a command that did nothing.
    switch (code) {
    case kpd::CmdShowEncoderSignal:
    case kpd::CmdShowSignalStrength:
    case kpd::CmdShowSignalPlots:
        if (showPlotLayout) showPlotLayout(DisplayMode);
        repaint();
        if (activatePlot) activatePlot(DisplayMode);
        ApplyDataState();
        if (!DemoFlag) ButtonTimer->start();
        return;
    default:
        ApplyDataState();
        return;
    }
}

void TMainForm::ExecuteCommand(int code) {
    if (code < 0 || code > kpd::kLastCommand) return;
    if (commandHooks[code]) {
        commandHooks[code]();
        return;
    }
    ComData *a = access_.get();
    switch (code) {
    case kpd::CmdCenterIndex:
        if (!a || !a->CenterIndex()) return LinkFailure();
        Evaluation.SetIndexHoldCounter(0);
        Finish();
        return;
    case kpd::CmdShowInfo: {
        bool ok = false;
        ShowElectronicsInfo(ok);
        if (!ok) return LinkFailure();
        Finish();
        return;
    }
    case kpd::CmdSearch:
        Search();
        return;
    case kpd::CmdSoftwareReset:
        if (a) a->SoftwareReset();
        platform::ShowDefaultCursor();
        if (restartStreamingPlots) restartStreamingPlots();
        if (a) a->ZeroRequest = true;
        if (!DemoFlag && a) {
            a->SnapshotPosition();
            if (onPositionSnapshot) onPositionSnapshot(a->PositionSnapshot());
        }
        Finish();
        return;
    case kpd::CmdZeroPosition:
        if (!a || !a->ZeroPosition()) return LinkFailure();
        if (restartStreamingPlots) restartStreamingPlots();
        a->ZeroRequest = true;
        Finish();
        return;
    case kpd::CmdShowStatus:
        if (!DemoFlag) {
            DisplayMode = 0;
            ApplyDataState();
            if (a && a->RestartPending && DataState[0] != 0) {
                // The status monitor could not start: give up the switch.
                DisplayMode = PreviousDisplayMode;
                ApplyDataState();
                WaitFor(200);
                SetDataControlsEnabled(true);
                return;
            }
        }
        ShowStatusLayout();
        repaint();
        ApplyDataState();
        if (DemoFlag) return;
        if (DataState[0] == 1) RunClickHandler("AcquireButton", [this] { AcquireButtonClick(); });
        SetDataControlsEnabled(true);
        SetFrequencyButton->setEnabled(true);
        return;
    case kpd::CmdShowEngineering:
        if (EngineeringDisplay) EngineeringDisplay->show();
        platform::ShowDefaultCursor();
        ApplyDataState();
        return;
    case kpd::CmdLeaveEngineering:
        DisplayMode = PreviousDisplayMode;
        if (DemoFlag) return;
        if (a) {
            (void)a->ReadSettings();
            ShowInterpolationAndFrequency(a->InterpolationSetting(), a->SettingsWord());
        }
        ApplyDataState();
        return;
    case kpd::CmdStepBack:
        if (DisplayMode >= 0 && DisplayMode <= 3) {
            DataState[DisplayMode] = 2;
            UpdateWindowCaption();
            ApplyDataState();
            DataState[DisplayMode] = 0;
        }
        return;
    case kpd::CmdReplay:
        FastButton->setEnabled(true);
        UpdateWindowCaption();
        ApplyDataState();
        return;
    case kpd::CmdStopData:
        UpdateWindowCaption();
        ApplyDataState();
        return;
    case kpd::CmdStartCalibration:
        if (a) (void)a->StartCalibration(CalibrationOptions);
        ApplyDataState();
        return;
    case kpd::CmdStopCalibration:
        if (a) (void)a->StopCalibration();
        ApplyDataState();
        return;
    case kpd::CmdSetCalibration:
        if (a) (void)a->SetCalibration();
        ApplyDataState();
        return;
    case kpd::CmdWriteOutputSettings:
        RunOutputSettingsCommand();
        return;
    case kpd::CmdEnableMainAgc:
        if (!a || !a->EnableMainAgc()) return LinkFailure();
        ApplyDataState();
        return;
    case kpd::CmdDisableMainAgc:
        if (!a || !a->DisableMainAgc()) return LinkFailure();
        ApplyDataState();
        return;
    case kpd::CmdStartAlignment:
        if (a) (void)a->StartAlignment();
        ApplyDataState();
        return;
    case kpd::CmdStopAlignment:
        if (a) (void)a->StopAlignment();
        ApplyDataState();
        return;
    case kpd::CmdSaveData:
        SaveDataCommand();
        return;
    case kpd::CmdLoadData:
        LoadDataCommand();
        return;
    case kpd::CmdClearBuffers:
        ClearBuffersCommand();
        return;
    case kpd::CmdShowEncoderSignal:
    case kpd::CmdShowSignalStrength:
    case kpd::CmdShowSignalPlots:
    case kpd::CmdApplyPlotSettings:
    case kpd::CmdEngineeringWrite:
        DefaultCommandPlaceholder(code);
        return;
    default:
        return; // codes 0..2 and unknown codes do nothing
    }
}

// ---- Information command ----

void TMainForm::ShowElectronicsInfo(bool &ok) {
    ok = false;
    if (!access_) return;
    ElectronicsInfo info;
    if (!access_->ReadInfo(info)) return;
    ProcessorVersion = info.processorVersion;
    Evaluation.SetFirmwareVersion(ProcessorVersion);
    InfoFields f;
    f.alignmentTool = ElectronicsType == 0;
    f.serialNumber = info.genReg0;
    f.firmwareVersion = info.firmwareVersion;
    f.processorVersion = info.processorVersion;
    f.powerOnTime = info.powerOnTime;
    f.powerOnCycles = info.powerOnCycles;
    f.port = access_->PortNumber();
    f.baudRate = access_->BaudRate();
    if (InfoForm) {
        InfoForm->Fill(f);
        InfoForm->show();
    }
    ok = true;
}

// ---- Electronics settings commands ----

void TMainForm::SetInterpolationButtonClick() {
    if (DisplayMode != 0) {
        if (plotSettingsButton) plotSettingsButton(DisplayMode);
        return;
    }
    if (!RadioDialog) return;
    TRadioDialog &d = *RadioDialog;
    d.warning->setText(QString());
    d.setWindowTitle("Settings");
    d.RadioGroup1->ClearItems();
    d.RadioGroup1->setTitle("Limits Polarity");
    d.RadioGroup1->SetItems({"Active Low", "Active High"});
    d.RadioGroup2->setVisible(true);
    d.RadioGroup2->ClearItems();
    d.RadioGroup2->setTitle("Limits Enable/Disable");
    d.RadioGroup2->SetItems({"Enabled", "Disabled"});
    d.RadioGroup3->setVisible(true);
    d.RadioGroup3->ClearItems();
    if (InterpolationCopy == 4) d.RadioGroup3->setEnabled(false);
    d.RadioGroup3->setTitle("Index Type");
    d.RadioGroup3->SetItems({"Index Window", "LSB Index"});
    const kpd::OutputSelection pre = kpd::PreselectOutputs(GenReg1Copy);
    d.RadioGroup1->SetItemIndex(pre.polarity);
    d.RadioGroup2->SetItemIndex(pre.enable);
    d.RadioGroup3->SetItemIndex(pre.indexType);
    if (RunModal(&d) == QDialog::Accepted) QueueCommand(kpd::CmdWriteOutputSettings, 300);
}

void TMainForm::RunOutputSettingsCommand() {
    // The selections are read now, on the tick; the modal dialog has not changed since OK.
    kpd::OutputSelection sel;
    if (RadioDialog) {
        sel.polarity = RadioDialog->RadioGroup1->ItemIndex();
        sel.enable = RadioDialog->RadioGroup2->ItemIndex();
        sel.indexType = RadioDialog->RadioGroup3->ItemIndex();
    }
    const kpd::OutputWrites w = kpd::ComposeOutputWrites(GenReg1Copy, sel);
    if (!access_ || !access_->WriteRaw(w.first)) return LinkFailure();
    if (!access_->WriteRaw(w.second)) return LinkFailure();
    ApplyDataState();
}

void TMainForm::CenterIndexButtonClick() {
    if (DisplayMode == 0) {
        const auto r = platform::ShowMessage(
            MessageKind::Warning,
            "This will center the encoder's index output pulse within the scale's index mark. The index "
            "pulse "
            "will also be aligned with the A-quad-B outputs for maximum repeatability. To proceed, click OK "
            "and move the sensor past the scale's index mark in each direction until the message 'index "
            "centered' appears. To exit without centering the index pulse, click Cancel.",
            MessageButtons::OkCancel);
        if (r == MessageResult::Ok) QueueCommand(kpd::CmdCenterIndex, 300);
    } else if (DisplayMode >= 1 && DisplayMode <= 3) {
        PreviousDisplayMode = DisplayMode;
        QueueCommand(kpd::CmdSaveData, 300);
    }
}

void TMainForm::Zeroposition1Click() {
    const auto r = platform::ShowMessage(
        MessageKind::Warning,
        "This will zero the position count in the electronics and should not be performed if operating in "
        "closed loop control.  To continue, click OK and To exit without zeroing the position, click "
        "Cancel. ",
        MessageButtons::OkCancel);
    if (r == MessageResult::Ok) QueueCommand(kpd::CmdZeroPosition, 300);
}

void TMainForm::ResetPositionButtonClick() {
    if (access_) access_->ZeroRequest = true;
    if (restartStreamingPlots) restartStreamingPlots();
}

// ---- Display-mode switching ----

void TMainForm::SwitchDisplayMode(int newMode, int command, bool setReviewStep) {
    if (!DemoFlag) SetDataControlsEnabled(false);
    ReviewFlag = true;
    if (access_) {
        access_->StopRequest = true;
        if (setReviewStep) access_->ReviewStep = true;
    }
    if (DisplayMode >= 0 && DisplayMode <= 3 && DataState[DisplayMode] == 3) DataState[DisplayMode] = 0;
    if (DataState[0] == 3) DataState[0] = 0;
    PreviousDisplayMode = DisplayMode;
    DisplayMode = newMode;
    QueueCommand(command, 500);
}

void TMainForm::EncoderSignalButtonClick() {
    if (DisplayMode == 0)
        SwitchDisplayMode(1, kpd::CmdShowEncoderSignal, true);
    else if (DisplayMode >= 1 && DisplayMode <= 3 && PlotSettingsForm)
        RunModal(PlotSettingsForm);
}

void TMainForm::SetFrequencyButtonClick() {
    if (DisplayMode == 0)
        SwitchDisplayMode(3, kpd::CmdShowSignalPlots, false);
    else if (DisplayMode >= 1 && DisplayMode <= 3)
        SwitchDisplayMode(0, kpd::CmdShowStatus, true);
}

void TMainForm::SignalStrengthButtonClick() {
    if (DisplayMode == 0) SwitchDisplayMode(2, kpd::CmdShowSignalStrength, true);
}

void TMainForm::PositionButtonClick() {
    SwitchDisplayMode(3, kpd::CmdShowSignalPlots, true);
}
