// TMainForm as the session's view: progress window, cursor, caption, window states, the status display
// and the values the session shows.
#include "windows/MainForm.h"

#include "windows/PlotDisplay.h"

#include "session/StatusController.h"
#include "widgets/Lamp.h"
#include "widgets/WaitCursor.h"
#include "windows/StatusDisplay.h"
#include "windows/TEngineeringDisplay.h"
#include "windows/TInfoForm.h"
#include "windows/TRadioDialog.h"
#include "windows/TStartup.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

namespace {
const char *const kDemoDisabledItems[] = {"Tessalyversion1", "Savedata1",           "Mainwindow1",
                                          "Lissajous1",      "SignalMonitor1",      "EncoderPositionPlot1",
                                          "Engineering1",    "Resetalarms1",        "Interpolation1",
                                          "Bandwidth1",      "EngineeringDisplay1", "LocateIndex1",
                                          "ResetPosition1",  "Zeroposition1",       "SoftwareSystemReset1",
                                          "Encoder1",        "ResetDataBuffers1"};
} // namespace

void TMainForm::ShowProgress(const std::string &caption, const std::string &text) {
    if (!Startup) return;
    Startup->ShowText(QString::fromStdString(text));
    if (!caption.empty())
        Startup->ShowWithCaption(QString::fromStdString(caption));
    else if (!Startup->isVisible())
        Startup->show();
    Startup->repaint();
}

void TMainForm::HideProgress() {
    if (Startup) Startup->hide();
}

void TMainForm::SetBusy(bool busy) {
    if (busy)
        platform::ShowHourglass();
    else
        platform::ShowDefaultCursor();
}

void TMainForm::SetCaption(const std::string &caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TMainForm::SetMenuItemEnabled(const std::string &item, bool enabled) {
    menu_.SetEnabled(QString::fromStdString(item), enabled);
}

void TMainForm::SetDataControlsEnabled(bool e) {
    platform::ShowDefaultCursor();
    for (QToolButton *b :
         {EncoderSignalButton, SignalStrengthButton, PositionButton, AcquireButton, StopButton, ReviewButton,
          FastButton, SetInterpolationButton, ResetAlarmsButton, AlarmHistoryButton})
        b->setEnabled(e);
    CenterIndexButton->setEnabled(true);
    SetFrequencyButton->setEnabled(true);
    for (const char *item :
         {"Mainwindow1", "Lissajous1", "SignalMonitor1", "EncoderPositionPlot1", "Engineering1"})
        menu_.SetEnabled(item, true);
}

void TMainForm::EnterDemoMode() {
    menu_.SetEnabled("HardwareReset1", true);
    menu_.SetEnabled("SearchForElectronics1", true);
    menu_.SetEnabled("SoftwareSystemReset1", false);
    setWindowTitle("Demo Mode");
    SetDemoControlsEnabled(false);
}

void TMainForm::EnterConnectedMode() {
    menu_.SetEnabled("ResetDataBuffers1", true);
    menu_.SetEnabled("HardwareReset1", false);
    menu_.SetEnabled("SearchForElectronics1", false);
    menu_.SetEnabled("SoftwareSystemReset1", true);
    setWindowTitle(QString());
    SetDemoControlsEnabled(true);
}

void TMainForm::SetDemoControlsEnabled(bool enabled) {
    for (QWidget *w : std::initializer_list<QWidget *>{
             CenterIndexButton, SetInterpolationButton, SetFrequencyButton, EncoderSignalButton,
             SignalStrengthButton, PositionButton, AcquireButton, StopButton, ReviewButton, FastButton,
             ResetAlarmsButton, AlarmHistoryButton, ResetPositionButton, PlotTypeGroup})
        w->setEnabled(enabled);
    for (const char *item : kDemoDisabledItems)
        menu_.SetEnabled(item, enabled);
}

void TMainForm::ShowInterpolationAndFrequency(int interpolationIndex, int frequencyCode) {
    InterpolationBox->setText(QString::number(interpolationIndex + 1));
    static const char *const texts[7] = {" 14.4 MHz", " 7.2 MHz", " 3.6 MHz", " 1.8 MHz",
                                         " 900 kHz",  " 450 kHz", " 225 kHz"};
    const int f = frequencyCode & 7;
    if (f < 7) FrequencyBox->setText(texts[f]);
}

void TMainForm::ShowSensorLabel(const std::string &text) {
    LogoText4->setVisible(true);
    LogoText4->setText(QString::fromStdString(text));
}

void TMainForm::ShowUnits(const std::string &units) {
    UnitsBox->setText(QString::fromStdString(units));
}


void TMainForm::EnableLoadedData(kpd::DisplayMode kind) {
    if (kind == kpd::DisplayMode::EncoderSignal || kind == kpd::DisplayMode::SignalPlots)
        PlotTypeGroup->setEnabled(true);
    for (QToolButton *b : {FastButton, ReviewButton, StopButton})
        b->setEnabled(true);
}

void TMainForm::PlotRunStarted(kpd::DisplayMode mode, const std::shared_ptr<const kpd::StreamProgress> &run) {
    plots_->RunStarted(mode, run);
}

void TMainForm::PlotRunEnded(kpd::DisplayMode mode) {
    plots_->RunEnded(mode);
}

void TMainForm::ShowStoredPlot(kpd::DisplayMode mode) {
    plots_->ShowStored(mode);
}

void TMainForm::PlotTypeChanged(kpd::DisplayMode mode, bool clearPlot) {
    plots_->PlotTypeChanged(mode, clearPlot);
}

void TMainForm::RestartPlot() {
    plots_->Restart();
}

void TMainForm::ShowElectronicsInfo(const InfoFields &fields) {
    if (!InfoForm) return;
    InfoForm->Fill(fields);
    InfoForm->show();
}

void TMainForm::SetInterpolationButtonClick() {
    const kpd::DisplayMode mode = session_->Mode();
    if (mode != kpd::DisplayMode::Status) {
        if (plotSettingsButton) plotSettingsButton(mode);
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
    // Greyed for electronics with interpolation 4, usable again for any other electronics.
    d.RadioGroup3->setEnabled(session_->InterpolationCopy() != 4);
    d.RadioGroup3->setTitle("Index Type");
    d.RadioGroup3->SetItems({"Index Window", "LSB Index"});
    const kpd::OutputSelection pre = kpd::PreselectOutputs(session_->GenReg1Copy());
    d.RadioGroup1->SetItemIndex(pre.polarity);
    d.RadioGroup2->SetItemIndex(pre.enable);
    d.RadioGroup3->SetItemIndex(pre.indexType);
    if (RunModal(&d) == QDialog::Accepted) session_->WriteOutputSettings(); // takes the selection now
}

kpd::OutputSelection TMainForm::OutputChoice() const {
    kpd::OutputSelection sel;
    if (RadioDialog) {
        sel.polarity = RadioDialog->RadioGroup1->ItemIndex();
        sel.enable = RadioDialog->RadioGroup2->ItemIndex();
        sel.indexType = RadioDialog->RadioGroup3->ItemIndex();
    }
    return sel;
}

// ---- The status display ----

bool TMainForm::CalibrationBoxTicked() const {
    return CalGOPCheckBox->isChecked() || CalIndexCheckBox->isChecked() ||
           SetLeftLimitCheckBox->isChecked() || SetRightLimitCheckBox->isChecked();
}

void TMainForm::ShowStatusSample(const std::string &elapsed, const std::string &position) {
    TimeText2->setText(QString::fromStdString(elapsed));
    EncoderPositionText->setText(QString::fromStdString(position));
}

void TMainForm::ShowElapsedTime(const std::string &elapsed) {
    TimeText2->setText(QString::fromStdString(elapsed));
}

void TMainForm::ApplyStatusView(const kpd::StatusView &v) {
    ShowStatusView(*this, v, session_ && session_->Mode() == kpd::DisplayMode::Status);
    const std::array<kpd::ButtonState, 5> buttons{v.StartCalButton, v.StopCalButton, v.StartAlignButton,
                                                  v.StopAlignButton, v.CalSetButton};
    if (!buttonStatesPainted_ || buttons != paintedButtonStates_) {
        paintedButtonStates_ = buttons;
        buttonStatesPainted_ = true;
        update(); // bevels follow the button states
    }
}
