// TMainForm: the electronics search over COM1..COM256, the reset menu commands and the default
// link-failure dialog.
#include "MainForm.h"

#include "ComData.h"
#include "RegisterMap.h"
#include "TStartup.h"
#include "platform/Dialogs.h"
#include "platform/WaitCursor.h"
#include "senslink.h"

#include <QLabel>
#include <QTimer>

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace {
constexpr int kFirstPort = 1;
constexpr int kLastPort = 256;
constexpr int kReadInfoAttempts = 5;

const char *const kNotFoundText =
    "Cannot Detect Electronics. Please verify that electronics are connected to the computer and the power "
    "LED for the electronics is on.  Click 'retry' to atempt to connect to electronics or 'ignore' to start "
    "Demo Mode.";
} // namespace

void TMainForm::Search() {
    // The old object is discarded without closing its port; the library keeps that port open and a later
    // OpenPort on it succeeds.
    SetAccess(nullptr);
    Evaluation.History().Clear();
    if (Startup) {
        Startup->Label1->setText(QString());
        Startup->ShowWithCaption("Searching for Electronics...");
    }

    std::string message;
    bool found = false;
    for (int n = kFirstPort; n <= kLastPort && !found; ++n) {
        if (Startup) Startup->ShowText("Polling COM" + QString::number(n) + "...");
        SetAccess(std::make_unique<ComData>(n));
        int modelIndex = 0;
        if (access_->Connect(message, modelIndex)) {
            ModelIndex = modelIndex;
            ElectronicsType = modelIndex;
            found = true;
        } else {
            access_->ClosePortIfOpen();
            SetAccess(nullptr);
        }
    }

    if (!found) {
        Evaluation.History().Clear();
        SetAccess(std::make_unique<ComData>(kLastPort)); // never opened
        if (Startup) Startup->hide();
        const auto r =
            platform::ShowMessage(MessageKind::Warning, kNotFoundText, MessageButtons::RetryIgnore);
        if (r == MessageResult::Retry) {
            RestartTimer->start();
        } else {
            RestartSearchFlag = false;
            EnterDemoMode();
            DemoFlag = true;
        }
        return;
    }

    if (Startup) Startup->ShowText(QString::fromStdString(message));
    WaitFor(1000);
    if (Startup) Startup->hide();
    EnterConnectedMode();
    if (passPlotPointCounts) passPlotPointCounts();
    UpdateWindowCaption();
    RestartSearchFlag = false;

    // Identification reads. They run before the worker of the display mode is started: the link library
    // allows one caller per port at a time, and the worker talks to the port without pause.
    ElectronicsInfo info;
    bool infoRead = false;
    for (int attempt = 0; attempt < kReadInfoAttempts && !infoRead; ++attempt) {
        WaitFor(1000);
        infoRead = access_->ReadInfo(info);
    }
    if (infoRead)
        ProcessorVersion = info.processorVersion;
    else if (access_->ProcessorVersion() > 0)
        ProcessorVersion = access_->ProcessorVersion();
    Evaluation.SetFirmwareVersion(ProcessorVersion);
    uint16_t value = 0;
    SensorTypeValue = access_->ReadRegisterChecked(reg::address(reg::SensorType), value) ? value : 0;
    value = 0;
    InterpDepthValue = access_->ReadRegisterChecked(reg::address(reg::InterpDepth), value) ? value : 0;
    InterpolationCopy = InterpDepthValue;
    LogoText4->setVisible(true);
    if (reg::isKpdSensor(SensorTypeValue))
        LogoText4->setText("for KPD Digital Sensor " + QString::number(InterpDepthValue) + "X");
    else
        LogoText4->setText("unknown");
    settings.generation = infoRead ? reg::firmwareGeneration(info.firmwareVersion) : 0;
    settings.ComputePositionScale(access_->InterpolationSetting());
    ShowInterpolationAndFrequency(access_->InterpolationSetting(), access_->SettingsWord());

    ApplyDataState();
}

void TMainForm::HardwareReset1Click() {
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
    if (Startup) Startup->ShowWithCaption("Performing Hardware Reset...");
    for (int port : {1, 2}) {
        OpenPort(port);
        SystemReset(port);
        WaitFor(800);
        ClosePort(port);
    }
    if (Startup) Startup->close();
}

void TMainForm::SoftwareSystemReset1Click() {
    const auto r = platform::ShowMessage(
        MessageKind::Warning,
        "This will perform a system reset of the electronics.  This command can be helpful if you desire to "
        "clear the contents of the data registers in the electronics.  This function should not be used if "
        "the electronics are currently being used by any device, controller, or other program besides this "
        "software.  To proceed, click OK, to exit without performing a system reset, click Cancel.",
        MessageButtons::OkCancel);
    if (r != MessageResult::Ok) return;
    QueueCommand(kpd::CmdSoftwareReset, 600);
    platform::ShowHourglass();
}

void TMainForm::SearchForElectronics1Click() {
    DataState = {1, 1, 1, 1};
    QueueCommand(kpd::CmdSearch, 500);
}

void TMainForm::DefaultReportLinkFailure() {
    if (!access_) return;
    for (;;) {
        access_->StopStreaming();
        auto r = platform::ShowMessage(
            MessageKind::Warning,
            "Error communicating with Electronics. Please check connections and click 'Yes' to try "
            "reconnecting on current COM port, click 'All' to restart data collection and search all COM "
            "ports, or 'NO' to resume using the program in Demo Mode",
            MessageButtons::YesNoAll);
        while (r == MessageResult::Closed) {
            r = platform::ShowMessage(
                MessageKind::Warning,
                "Error communicating with Electronics. Please check connections and click 'Yes' to try "
                "reconnecting on current COM port, click 'All' to restart data collection and search all COM "
                "ports, or 'NO' to resume using the program in Demo Mode",
                MessageButtons::YesNoAll);
        }
        if (r == MessageResult::Yes) {
            if (Startup) {
                Startup->ShowText("Trying to Communicate with Electronics...");
                Startup->show();
                Startup->repaint();
            }
            std::string message;
            int modelIndex = 0;
            if (access_->Connect(message, modelIndex)) {
                EnterConnectedMode();
                if (Startup) {
                    Startup->ShowText(QString::fromStdString(message));
                    WaitFor(1000);
                    Startup->hide();
                }
                UpdateWindowCaption();
                ApplyDataState();
                return;
            }
            if (Startup) Startup->hide();
            continue; // ask again
        }
        if (r == MessageResult::All) {
            access_->ClosePortIfOpen();
            RestartTimer->start();
            return;
        }
        // No (and any other answer): demo mode.
        DemoFlag = true;
        EnterDemoMode();
        access_->ClosePortIfOpen();
        return;
    }
}
