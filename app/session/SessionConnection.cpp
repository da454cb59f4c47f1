// Session: the connection to the electronics: the search, the hardware reset of the ports, the link-failure
// decision and its reconnect, the demo and connected states, and shutdown.
#include "session/Session.h"

#include "session/PlotController.h"
#include "session/PortAccessNote.h"

#include "access/ElectronicsSearch.h"
#include "access/PortLink.h"
#include "access/RegisterMap.h"
#include "platform/Dialogs.h"
#include "platform/WorkerThread.h"
#include "session/StatusController.h"

#include <QTimer>

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace kpd {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 256;
constexpr int kReadInfoAttempts = 5;

// The "not found" message in two parts; a sentence about ports that could not be opened goes between.
const char *const kNotFoundText =
    "Cannot Detect Electronics. Please verify that electronics are connected to the computer and the power "
    "LED for the electronics is on.";
const char *const kNotFoundChoiceText =
    "Click 'retry' to atempt to connect to electronics or 'ignore' to start Demo Mode.";

std::string NotFoundMessage(const PortAccessNote &note) {
    std::string text = kNotFoundText;
    if (!note.Empty()) text += "  " + note.Sentence();
    return text + "  " + kNotFoundChoiceText;
}

const char *const kLinkFailureText =
    "Error communicating with Electronics. Please check connections and click 'Yes' to try reconnecting on "
    "current COM port, click 'All' to restart data collection and search all COM ports, or 'NO' to resume "
    "using the program in Demo Mode";

} // namespace

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

void Session::Search(int port) {
    RunPortStep([this, port] { return SearchNow(port); });
}

bool Session::SearchNow(int port) {
    // The old object goes without closing its port; the library keeps that port open and a later
    // OpenPort on it succeeds. The data sets stay.
    ReplaceAccess(nullptr);
    status_->Evaluation().History().Clear();
    view_.ShowProgress("Searching for Electronics...", "");

    // The ports are probed side by side; the label names the lowest port still being polled.
    ElectronicsSearch search(data_);
    std::unique_ptr<ComData> connected =
        search.Run(port > 0 ? port : kFirstPort, port > 0 ? port : kLastPort, [this](int n) {
            view_.ShowProgress("", "Polling COM" + std::to_string(n) + "...");
            return true;
        });
    PortAccessNote note; // devices that exist but could not be opened
    for (const PortOpenFailure &failure : search.OpenFailures())
        note.Add(failure);
    const bool found = connected != nullptr;
    if (found) {
        ReplaceAccess(std::move(connected));
        modelIndex_ = access_->ModelIndex();
        // What the connection read of the settings, as the window shows it.
        view_.ShowInterpolationAndFrequency(access_->InterpolationSetting(), access_->SettingsWord());
    }
    const std::string message = search.Message();

    if (!found) {
        status_->Evaluation().History().Clear();
        ReplaceAccess(std::make_unique<ComData>(kLastPort, data_)); // never opened
        view_.HideProgress();
        const auto r =
            platform::ShowMessage(MessageKind::Warning, NotFoundMessage(note), MessageButtons::RetryIgnore);
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
        for (auto &p : plots_)
            p->SetComData(nullptr);
        (void)access_.release(); // still in use by a worker that does not end: leave it alone
        return;
    }
    access_->ClosePortIfOpen();
    ReplaceAccess(nullptr);
}

} // namespace kpd
