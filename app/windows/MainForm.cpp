// TMainForm: construction, components and their bindings, painting, activation, hover highlight, close.
#include "windows/MainForm.h"

#include "platform/InstallDirectory.h"
#include "session/CalibrationOptions.h"
#include "session/StatusController.h"
#include "widgets/ScreenInfo.h"
#include "windows/PlotDisplay.h"
#include "windows/StatusDisplay.h"
#include "windows/TAlarmHistoryForm.h"
#include "windows/TEngineeringDisplay.h"
#include "windows/TPlotSettingsForm.h"
#include "windows/TStartup.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

#include <clocale>

using kpd::DisplayMode;

TMainForm::TMainForm(QWidget *parent) : QWidget(parent), menu_(*this) {
    // The designed form. Every number the program formats or parses uses a point.
    setObjectName("MainForm");
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    resize(1014, 738);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Text, Qt::white);
    pal.setColor(QPalette::ButtonText, Qt::white);
    pal.setColor(QPalette::Button, Qt::black);
    pal.setColor(QPalette::Base, Qt::black);
    for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text})
        pal.setColor(QPalette::Disabled, role, QColor(0x60, 0x60, 0x60));
    setPalette(pal);
    QFont f("Arial");
    f.setPixelSize(12);
    f.setBold(true);
    setFont(f);
    setWindowTitle("Live Data");
    setMouseTracking(true);

    Create(this);
    ConnectComponents();
    // The session reads the settings from the install directory (the registry stand-in, else the
    // working directory at start).
    session_ = std::make_unique<kpd::Session>(
        *this, platform::InstallDirectoryOr(QDir::currentPath().toStdString()));
    plots_ = std::make_unique<PlotDisplay>(*this, *session_, LayoutClass, this);
    connect(PlotTypeGroup, &TRadioGroup::ItemClicked, this, [this](int item) {
        if (session_) session_->PlotTypeGroupClick(item);
    });
    CreateMenu();

    // Activation and restore of the application redraw the window.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
            if (s == Qt::ApplicationActive && isVisible()) FormActivate();
        });
    }
    ShowUnits(session_->Config().units);
    ApplyLayoutClass();
    session_->Status().Layout();

    // Rotated canvas font for "Optimal" and "Poor".
    RotatedCanvasFont = QFont("Arial");
    RotatedCanvasFont.setWeight(QFont::DemiBold); // weight 600
    // 25 pixels only where the large layout leaves room for it beside "Signal Level"; a wide but low
    // screen (1366 x 768) has the medium layout.
    RotatedCanvasFont.setPixelSize(kpd::MetricsFor(LayoutClass).rotatedLineHeight);
}

TMainForm::~TMainForm() {
    // The session (and the worker it may still wait for) goes before the controls it shows into.
    session_.reset();
    plots_.reset();
}

void TMainForm::ConnectComponents() {
    // Click bindings (the names are historical; see the menu and mode tables).
    auto click = [this](QToolButton *b, std::function<void()> fn) {
        connect(b, &QToolButton::clicked, this, [this, fn = std::move(fn)] {
            if (session_) fn();
        });
    };
    click(CenterIndexButton, [this] { EncoderSignalButtonClick(); });
    click(EncoderSignalButton, [this] { EncoderSignalButtonClick(); });
    click(SetInterpolationButton, [this] { SetInterpolationButtonClick(); });
    click(SetFrequencyButton, [this] { SetFrequencyButtonClick(); });
    click(SignalStrengthButton, [this] { SignalStrengthButtonClick(); });
    click(PositionButton, [this] { PositionButtonClick(); });
    click(ResetPositionButton, [this] { session_->ResetPosition(); });
    click(ResetAlarmsButton, [this] { session_->ResetAlarms(); });
    click(AlarmHistoryButton, [this] { Resetalarms1Click(); });
    click(AcquireButton, [this] { session_->Acquire(); });
    click(StopButton, [this] { session_->Stop(); });
    click(ReviewButton, [this] { session_->Back(); });
    click(FastButton, [this] { session_->View(); });
    click(StartCalButton, [this] { session_->Calibration(kpd::CmdStartCalibration); });
    click(StopCalButton, [this] { session_->Calibration(kpd::CmdStopCalibration); });
    click(CalSetButton, [this] { session_->Calibration(kpd::CmdSetCalibration); });
    click(StartAlignButton, [this] { session_->Calibration(kpd::CmdStartAlignment); });
    click(StopAlignButton, [this] { session_->Calibration(kpd::CmdStopAlignment); });
    // Each calibration box's bit follows its tick.
    const std::pair<QCheckBox *, int> boxes[] = {{CalIndexCheckBox, kpd::calibration::kIndex},
                                                 {SetLeftLimitCheckBox, kpd::calibration::kLeftLimit},
                                                 {SetRightLimitCheckBox, kpd::calibration::kRightLimit},
                                                 {CalGOPCheckBox, kpd::calibration::kGop}};
    for (const auto &[box, bit] : boxes)
        connect(box, &QCheckBox::toggled, this, [this, bit = bit](bool ticked) {
            if (session_) session_->SetCalibrationOption(bit, ticked);
        });
}

int TMainForm::RunModal(QDialog *dialog) {
    if (execDialog) return execDialog(dialog);
    return dialog->exec();
}

void TMainForm::Resetalarms1Click() {
    // Only shows the window; it copies the status display's history when it becomes visible.
    if (!AlarmHistoryForm) return;
    AlarmHistoryForm->Attach(session_->Status());
    if (AlarmHistoryForm->isVisible()) {
        AlarmHistoryForm->raise();
        AlarmHistoryForm->activateWindow();
    } else {
        AlarmHistoryForm->show();
    }
}

void TMainForm::EncoderSignalButtonClick() {
    const DisplayMode mode = session_->Mode();
    if (mode == DisplayMode::Status)
        session_->SwitchDisplayMode(DisplayMode::EncoderSignal, kpd::CmdShowEncoderSignal, true);
    else if (kpd::HasDataSet(mode))
        ShowPlotOptions();
}

void TMainForm::ShowPlotOptions() {
    if (!PlotSettingsForm) return;
    PlotSettingsForm->SetPageProvider([this] {
        return kpd::PreparePlotOptions(session_->Mode(), session_->Config(), session_->Scaling(),
                                       session_->ProcessorVersion());
    });
    PlotSettingsForm->SetOnApply([this](const kpd::PlotOptionsEntry &entry, int pendingCount) {
        session_->ApplyPlotOptions(entry, pendingCount);
    });
    RunModal(PlotSettingsForm);
}

void TMainForm::SetFrequencyButtonClick() {
    const DisplayMode mode = session_->Mode();
    if (mode == DisplayMode::Status)
        session_->SwitchDisplayMode(DisplayMode::SignalPlots, kpd::CmdShowSignalPlots, false);
    else if (kpd::HasDataSet(mode))
        session_->SwitchDisplayMode(DisplayMode::Status, kpd::CmdShowStatus, true);
}

void TMainForm::SignalStrengthButtonClick() {
    if (session_->Mode() == DisplayMode::Status)
        session_->SwitchDisplayMode(DisplayMode::SignalStrength, kpd::CmdShowSignalStrength, true);
}

void TMainForm::PositionButtonClick() {
    session_->SwitchDisplayMode(DisplayMode::SignalPlots, kpd::CmdShowSignalPlots, true);
}

// ---- Activation, painting, hover ----

void TMainForm::FormActivate() {
    if (activating_ || !session_) return;
    activating_ = true;
    const DisplayMode mode = session_->Mode();
    if (mode == DisplayMode::Engineering) {
        ShowEngineeringDisplay();
    } else {
        // The plot area keeps its image: a repaint shows the plot as it was drawn (a stopped plot is not
        // erased by switching to another program and back).
        repaint();
    }
    activating_ = false;
}

void TMainForm::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && session_ &&
        !session_->ShuttingDown())
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TMainForm::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (session_ && session_->Mode() == DisplayMode::Status)
        PaintStatusDecorations(*this, *this, p, LayoutClass, RotatedCanvasFont, session_->Status().View());
    DrawBevel(p, CenterIndexButton, true);
    DrawBevel(p, SetFrequencyButton, true);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (auto *w = qobject_cast<QWidget *>(watched)) GenericMouseMove(w);
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::mouseMoveEvent(QMouseEvent *event) {
    GenericMouseMove(this);
    QWidget::mouseMoveEvent(event);
}

void TMainForm::GenericMouseMove(QWidget *control) {
    if (control == hoveredControl) return;
    hoveredControl = control;
    for (QToolButton *b : SpeedButtons())
        b->setFont(b == control ? BitBtn2->font() : BitBtn1->font());
}

// ---- Close ----

void TMainForm::closeEvent(QCloseEvent *event) {
    if (closeAllowed_) {
        event->accept();
        return;
    }
    event->ignore();
    if (session_ && !session_->ShuttingDown()) session_->Close();
}

void TMainForm::Terminate() {
    closeAllowed_ = true;
    close();
    QCoreApplication::quit();
}
