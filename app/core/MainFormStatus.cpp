// TMainForm: the status display of display mode 0 as the status monitor's sink: time, GenReg1 copy,
// position, then the signal evaluation's lamps, texts, buttons and zone markers.
#include "MainForm.h"

#include "platform/Lamp.h"
#include "platform/NumberFormat.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

#include <chrono>

namespace {
QColor ToQColor(kpd::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

void ApplyButton(QToolButton *b, const kpd::ButtonState &s) {
    b->setEnabled(s.enabled);
    b->setVisible(s.visible);
}
} // namespace

void TMainForm::UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t genReg1,
                                    float elapsed, bool replay, bool evaluate) {
    const bool ticked = CalGOPCheckBox->isChecked() || CalIndexCheckBox->isChecked() ||
                        SetLeftLimitCheckBox->isChecked() || SetRightLimitCheckBox->isChecked();
    TimeText2->setText(QString::fromStdString(platform::FormatFixed(elapsed, 1, 6)));
    if (!replay) GenReg1Copy = genReg1;
    const double shown = double(position) * double(settings.resolutionMultiplier);
    EncoderPositionText->setText(QString::fromStdString(platform::FormatNumber(shown, settings.digits, 20)));
    Evaluation.Evaluate(statusWord, magnitude, evaluate, replay, ticked,
                        EncoderPositionText->text().toStdString(), UnitsBox->text().toStdString(),
                        std::chrono::system_clock::now(), View);
    ApplyStatusView();
}

void TMainForm::ApplyStatusView() {
    IndexShape->setBrushColor(ToQColor(View.IndexShape));
    LeftLimitShape->setBrushColor(ToQColor(View.LeftLimitShape));
    RightLimitShape->setBrushColor(ToQColor(View.RightLimitShape));
    YellowShape->setBrushColor(ToQColor(View.YellowShape));
    RedShape->setBrushColor(ToQColor(View.RedShape));
    OverSignalShape->setBrushColor(ToQColor(View.OverSignalShape));
    IndexBox->setText(QString::fromStdString(View.IndexBox));
    ResolutionBox->setText(QString::fromStdString(View.ResolutionBox));
    // Restyling re-polishes the widget: do it only when the colour changes (samples arrive ~20 times a
    // second).
    const QString style = "color: " + QString::fromStdString(View.ResolutionBoxFont.ToHex()) + ";";
    if (ResolutionBox->styleSheet() != style) ResolutionBox->setStyleSheet(style);
    if (DisplayMode == 0) {
        ResolutionBox->setVisible(View.ResolutionBoxVisible);
        ApplyButton(StartCalButton, View.StartCalButton);
        ApplyButton(StopCalButton, View.StopCalButton);
        ApplyButton(StartAlignButton, View.StartAlignButton);
        ApplyButton(StopAlignButton, View.StopAlignButton);
        ApplyButton(CalSetButton, View.CalSetButton);
        greenleft->setVisible(View.markers.green);
        greenright->setVisible(View.markers.green);
        yellowleft->setVisible(View.markers.yellow);
        yellowright->setVisible(View.markers.yellow);
        redleft->setVisible(View.markers.red);
        redright->setVisible(View.markers.red);
        darkgreenleft->setVisible(View.markers.darkGreen);
        darkgreenright->setVisible(View.markers.darkGreen);
    }
    const std::array<kpd::ButtonState, 5> buttons{View.StartCalButton, View.StopCalButton,
                                                  View.StartAlignButton, View.StopAlignButton,
                                                  View.CalSetButton};
    if (!ButtonStatesPainted || buttons != PaintedButtonStates) {
        PaintedButtonStates = buttons;
        ButtonStatesPainted = true;
        update(); // bevels follow the button states
    }
}

void TMainForm::StopAfterReplay() {
    if (!ReviewFlag) StopButtonAction();
}

void TMainForm::StopButtonAction() {
    RunClickHandler("StopButton", [this] { StopButtonClick(); });
}
