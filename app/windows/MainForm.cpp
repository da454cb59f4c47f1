// TMainForm: construction, components and their bindings, painting, activation, hover highlight, close.
#include "windows/MainForm.h"

#include "platform/InstallDirectory.h"
#include "session/StatusController.h"
#include "widgets/Controls.h"
#include "widgets/Lamp.h"
#include "widgets/Logo.h"
#include "widgets/ScreenInfo.h"
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
using platform::MakeButton;
using platform::MakeCheck;
using platform::MakeLabel;
using platform::MakeLamp;

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

    // Plot-mode layout and plot redraw until the plot engine replaces them.
    showPlotLayout = [this](DisplayMode mode) { ShowPlotModeLayout(mode); };
    activatePlot = [this](DisplayMode) { DrawDefaultGrid(); };

    CreateComponents();
    ConnectComponents();
    // The session reads the settings from the install directory (the registry stand-in, else the
    // working directory at start).
    session_ = std::make_unique<kpd::Session>(
        *this, platform::InstallDirectoryOr(QDir::currentPath().toStdString()));
    CreateMenu();

    // Activation and restore of the application redraw the window.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
            if (s == Qt::ApplicationActive && isVisible()) FormActivate();
        });
    }
    UnitsBox->setText(QString::fromStdString(session_->Config().units));
    ApplyLayoutClass();
    session_->Status().Layout();
    session_->UpdateWindowCaption();

    // Rotated canvas font for "Optimal" and "Poor".
    RotatedCanvasFont = QFont("Arial");
    RotatedCanvasFont.setWeight(QFont::DemiBold); // weight 600
    RotatedCanvasFont.setPixelSize(platform::CurrentScreen().width >= 1280 ? 25 : 13);
}

TMainForm::~TMainForm() {
    // The session (and the worker it may still wait for) goes before the controls it shows into.
    session_.reset();
}

std::vector<QToolButton *> TMainForm::SpeedButtons() const {
    return {AcquireButton,       StopButton,          FastButton,
            ReviewButton,        CenterIndexButton,   SetInterpolationButton,
            SetFrequencyButton,  EncoderSignalButton, SignalStrengthButton,
            PositionButton,      ResetAlarmsButton,   AlarmHistoryButton,
            ResetPositionButton, StartCalButton,      StopCalButton,
            CalSetButton,        StartAlignButton,    StopAlignButton};
}

void TMainForm::CreateComponents() {
    GraphBox = new TPaintBox(this);
    GraphBox->setObjectName("GraphBox");
    GraphBox->setMouseTracking(true);
    GraphBox->installEventFilter(this);
    auto panel = [this](const char *name) {
        auto *p = new QFrame(this);
        p->setObjectName(name);
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Sunken);
        return p;
    };
    LeftPanel = panel("LeftPanel");
    RightPanel = panel("RightPanel");
    TopPanel = panel("TopPanel");
    BottomPanel = panel("BottomPanel");
    for (int i = 0; i < 5; ++i)
        XValue[i] = MakeLabel(this, QString("XValue%1").arg(i + 1).toLatin1().constData());
    for (int i = 0; i < 10; ++i)
        YValue[i] = MakeLabel(this, QString("YValue%1").arg(i + 1).toLatin1().constData());
    PlotNameText = MakeLabel(this, "PlotNameText");
    PlotDescriptionText = MakeLabel(this, "PlotDescriptionText");
    XAxisText = MakeLabel(this, "XAxisText");
    YAxisTextTop = MakeLabel(this, "YAxisTextTop");
    YAxisTextBottom = MakeLabel(this, "YAxisTextBottom");
    SetupText = MakeLabel(this, "SetupText", "Data Plots");
    PlotTypeGroup = new TRadioGroup(this);
    PlotTypeGroup->setObjectName("PlotTypeGroup");

    CenterIndexButton = MakeButton(this, "CenterIndexButton", "Encoder Signal");
    SetInterpolationButton = MakeButton(this, "SetInterpolationButton", "Set Interpolation");
    SetFrequencyButton = MakeButton(this, "SetFrequencyButton", "Signal Strength");
    EncoderSignalButton = MakeButton(this, "EncoderSignalButton", "Encoder Signal orig");
    SignalStrengthButton = MakeButton(this, "SignalStrengthButton", "Encoder Position");
    PositionButton = MakeButton(this, "PositionButton", "Encoder Position org");
    AcquireButton = MakeButton(this, "AcquireButton", "Acquire");
    StopButton = MakeButton(this, "StopButton", "Stop");
    ReviewButton = MakeButton(this, "ReviewButton", "Back");
    FastButton = MakeButton(this, "FastButton", "View");
    ResetAlarmsButton = MakeButton(this, "ResetAlarmsButton", "Reset");
    AlarmHistoryButton = MakeButton(this, "AlarmHistoryButton", "History");
    ResetPositionButton = MakeButton(this, "ResetPositionButton", "Reset");
    StartCalButton = MakeButton(this, "StartCalButton", "Start Cal");
    StopCalButton = MakeButton(this, "StopCalButton", "Stop Cal");
    CalSetButton = MakeButton(this, "CalSetButton", "Set");
    StartAlignButton = MakeButton(this, "StartAlignButton", "AGC Off");
    StopAlignButton = MakeButton(this, "StopAlignButton", "AGC On");
    BitBtn1 = MakeButton(this, "BitBtn1", "");
    BitBtn2 = MakeButton(this, "BitBtn2", "");
    BitBtn1->hide();
    BitBtn2->hide();
    for (QToolButton *b : {EncoderSignalButton, SignalStrengthButton, PositionButton, AcquireButton,
                           StopButton, ReviewButton, FastButton, ResetAlarmsButton, AlarmHistoryButton})
        b->hide();
    for (QToolButton *b : SpeedButtons())
        b->installEventFilter(this);

    CalGOPCheckBox = MakeCheck(this, "CalGOPCheckBox", "Gain/Offset");
    CalIndexCheckBox = MakeCheck(this, "CalIndexCheckBox", "Index");
    SetLeftLimitCheckBox = MakeCheck(this, "SetLeftLimitCheckBox", "Left Limit");
    SetRightLimitCheckBox = MakeCheck(this, "SetRightLimitCheckBox", "Right Limit");

    IndexShape = MakeLamp(this, "IndexShape");
    LeftLimitShape = MakeLamp(this, "LeftLimitShape");
    RightLimitShape = MakeLamp(this, "RightLimitShape");
    YellowShape = MakeLamp(this, "YellowShape");
    RedShape = MakeLamp(this, "RedShape");
    OverSignalShape = MakeLamp(this, "OverSignalShape");

    IndexBox = MakeLabel(this, "IndexBox");
    ResolutionBox = MakeLabel(this, "ResolutionBox");
    TimeText2 = MakeLabel(this, "TimeText2", "0.0");
    EncoderPositionText = MakeLabel(this, "EncoderPositionText", "0");
    EncoderPositionText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    UnitsBox = MakeLabel(this, "UnitsBox");
    InterpolationBox = MakeLabel(this, "InterpolationBox");
    FrequencyBox = MakeLabel(this, "FrequencyBox");

    SignalBar = MakeLabel(this, "SignalBar");
    SignalBar->setScaledContents(true);
    auto marker = [this](const char *name, platform::ZoneColor c, platform::MarkerSide s) {
        QLabel *l = MakeLabel(this, name);
        l->setPixmap(QPixmap::fromImage(platform::ZoneMarker(c, s)));
        l->setScaledContents(true);
        return l;
    };
    using platform::MarkerSide;
    using platform::ZoneColor;
    greenleft = marker("greenleft", ZoneColor::Green, MarkerSide::Left);
    greenright = marker("greenright", ZoneColor::Green, MarkerSide::Right);
    yellowleft = marker("yellowleft", ZoneColor::Yellow, MarkerSide::Left);
    yellowright = marker("yellowright", ZoneColor::Yellow, MarkerSide::Right);
    redleft = marker("redleft", ZoneColor::Red, MarkerSide::Left);
    redright = marker("redright", ZoneColor::Red, MarkerSide::Right);
    darkgreenleft = marker("darkgreenleft", ZoneColor::DarkGreen, MarkerSide::Left);
    darkgreenright = marker("darkgreenright", ZoneColor::DarkGreen, MarkerSide::Right);
    for (QLabel *m : {yellowleft, yellowright, redleft, redright, darkgreenleft, darkgreenright})
        m->hide();
    // Shown by the operating states that need them (calibration steps).
    CalSetButton->hide();
    ResolutionBox->hide();

    LogoImage = MakeLabel(this, "LogoImage");
    LogoImage->setPixmap(QPixmap::fromImage(platform::LargeLogo()));
    SmallLogoImage = MakeLabel(this, "SmallLogoImage");
    SmallLogoImage->setPixmap(QPixmap::fromImage(platform::SmallLogo()));
    LogoText1 = MakeLabel(this, "LogoText1", "Tessaly II Alignment Tool");
    LogoText4 = MakeLabel(this, "LogoText4");
    LogoText4->hide();

    PositionCaption = MakeLabel(this, "PositionCaption", "Position:");
    TimeCaption = MakeLabel(this, "TimeCaption", "Elapsed Time (s):");
    InterpolationCaption = MakeLabel(this, "InterpolationCaption", "Interpolation:");
    FrequencyCaption = MakeLabel(this, "FrequencyCaption", "Output Frequency:");
    IndexCaption = MakeLabel(this, "IndexCaption", "Index");
    LeftLimitCaption = MakeLabel(this, "LeftLimitCaption", "Left Limit");
    RightLimitCaption = MakeLabel(this, "RightLimitCaption", "Right Limit");
    SignalCaption = MakeLabel(this, "SignalCaption", "Signal Level");
    SignalCaption->setAlignment(Qt::AlignCenter);
    OverSignalCaption = MakeLabel(this, "OverSignalCaption", "Over Signal");
    YellowCaption = MakeLabel(this, "YellowCaption", "Marginal");
    RedCaption = MakeLabel(this, "RedCaption", "Poor Signal");
    StateCaption = MakeLabel(this, "StateCaption", "Operating State");
    CalibrationCaption = MakeLabel(this, "CalibrationCaption", "Calibration");
    SetupCaption = MakeLabel(this, "SetupCaption", "Setup");
}

void TMainForm::ConnectComponents() {
    // Click bindings (the names are historical; see the menu and mode tables).
    auto click = [this](QToolButton *b, std::function<void()> fn) {
        connect(b, &QToolButton::clicked, this, [fn = std::move(fn)] { fn(); });
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
}

int TMainForm::RunModal(QDialog *dialog) {
    if (execDialog) return execDialog(dialog);
    return dialog->exec();
}

void TMainForm::Resetalarms1Click() {
    if (AlarmHistoryForm) AlarmHistoryForm->show();
}

void TMainForm::EncoderSignalButtonClick() {
    const DisplayMode mode = session_->Mode();
    if (mode == DisplayMode::Status)
        session_->SwitchDisplayMode(DisplayMode::EncoderSignal, kpd::CmdShowEncoderSignal, true);
    else if (kpd::HasDataSet(mode) && PlotSettingsForm)
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
    if (activating_) return;
    activating_ = true;
    const DisplayMode mode = session_->Mode();
    if (mode == DisplayMode::Engineering) {
        if (EngineeringDisplay) EngineeringDisplay->show();
    } else {
        repaint();
        if (mode != DisplayMode::Status && activatePlot) activatePlot(mode);
    }
    activating_ = false;
}

void TMainForm::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !session_->ShuttingDown())
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TMainForm::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (session_ && session_->Mode() == DisplayMode::Status) PaintStatusDecorations(*this, p);
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
    if (!session_->ShuttingDown()) session_->Close();
}

void TMainForm::Terminate() {
    closeAllowed_ = true;
    close();
    QCoreApplication::quit();
}
