// TMainForm: construction, components, menu, timers, painting, activation, hover highlight, shutdown.
#include "MainForm.h"

#include "ComData.h"
#include "StatusMonitor.h"
#include "StatusPaint.h"
#include "TAboutBoxForm.h"
#include "TAlarmHistoryForm.h"
#include "TEncoderSetupForm.h"
#include "TEngineeringDisplay.h"
#include "TRadioDialog.h"
#include "TStartup.h"
#include "platform/Dialogs.h"
#include "platform/InstallDirectory.h"
#include "platform/Lamp.h"
#include "platform/Logo.h"
#include "platform/RotatedText.h"
#include "platform/ScreenInfo.h"
#include "platform/WaitCursor.h"
#include "platform/WorkerThread.h"

#include <QAction>
#include <QApplication>
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

TPaintBox::TPaintBox(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    ResizeCanvas(400, 400);
}

void TPaintBox::ResizeCanvas(int w, int h) {
    if (w <= 0 || h <= 0) return;
    if (canvas_.size() == QSize(w, h)) return;
    canvas_ = QImage(w, h, QImage::Format_RGB32);
    canvas_.fill(Qt::black);
}

void TPaintBox::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, canvas_);
}

namespace {

QToolButton *MakeButton(QWidget *parent, const char *name, const char *caption) {
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setAutoRaise(true); // flat speed button
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMouseTracking(true);
    return b;
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text = {}) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QCheckBox *MakeCheck(QWidget *parent, const char *name, const char *caption) {
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    // A white box with a black tick, readable on the black window.
    QPalette pal = c->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    c->setPalette(pal);
    return c;
}

platform::Lamp *MakeLamp(QWidget *parent, const char *name) {
    auto *l = new platform::Lamp(parent, QColor(0x80, 0x80, 0x80));
    l->setObjectName(name);
    return l;
}

} // namespace

TMainForm::TMainForm(QWidget *parent) : QWidget(parent) {
    // Step 1: the designed form. Every number the program formats or parses uses a point.
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
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x60, 0x60, 0x60));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x60, 0x60, 0x60));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(0x60, 0x60, 0x60));
    setPalette(pal);
    QFont f("Arial");
    f.setPixelSize(12);
    f.setBold(true);
    setFont(f);
    setWindowTitle("Live Data");
    setMouseTracking(true);
    RestartSearchFlag = false;

    waitMs = [](int ms) { ComData::WaitMs(ms); };
    // Plot-mode layout and plot redraw until the plot engine replaces them.
    showPlotLayout = [this](int mode) { ShowPlotModeLayout(mode); };
    activatePlot = [this](int) { DrawDefaultGrid(); };
    terminateApplication = [this] {
        closeAllowed_ = true;
        close();
        QCoreApplication::quit();
    };

    CreateComponents();
    CreateMenu();
    CreateTimers();
    statusMonitor_ = std::make_unique<kpd::StatusMonitor>(*this, nullptr);

    // Step 2: activation and restore of the application redraw the window.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
            if (s == Qt::ApplicationActive && isVisible()) FormActivate();
        });
    }

    // Step 3: install directory from the registry stand-in, else the working directory at start.
    InstallDir = platform::InstallDirectoryOr(QDir::currentPath().toStdString());

    // Step 4: unit label strings; plot types.
    settings.encoderplottype = 0;
    settings.positionplottype = 0;
    UnitLabelCounts = "counts";
    UnitLabelRate = "counts/sec";
    UnitLabelTime = "seconds";

    // Step 5: settings.
    settings.LoadSettings(InstallDir);
    UnitsBox->setText(QString::fromStdString(settings.units));

    // Step 6.
    PlotScale = 300.0f;
    DataState = {1, 1, 1, 1};
    SignalPlotsAutoScale = true;

    // Step 7: layout size class from the screen.
    ApplyLayoutClass();

    // Step 8-9.
    ShowStatusLayout();
    // Step 9: the evaluation starts with its latch, hold counter and over-signal counter cleared.

    // Step 10.
    DemoFlag = false;
    DataProcessing = false;

    // Step 11.
    UpdateWindowCaption();

    // Step 12: rotated canvas font for "Optimal" and "Poor".
    RotatedCanvasFont = QFont("Arial");
    RotatedCanvasFont.setWeight(QFont::DemiBold); // weight 600
    RotatedCanvasFont.setPixelSize(platform::CurrentScreen().width >= 1280 ? 25 : 13);
}

TMainForm::~TMainForm() = default;

void TMainForm::SetAccess(std::unique_ptr<ComData> access) {
    if (statusMonitor_) statusMonitor_->SetComData(access.get());
    access_ = std::move(access);
    AttachAccess();
}

void TMainForm::AttachAccess() {
    if (!access_) return;
    access_->onSettingsRead = [this](int interpolation, int settingsWord) {
        ShowInterpolationAndFrequency(interpolation, settingsWord);
    };
}

void TMainForm::WaitFor(int ms) {
    if (waitMs) waitMs(ms);
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

    // Click bindings (the names are historical; see the menu and mode tables).
    connect(CenterIndexButton, &QToolButton::clicked, this, [this] { EncoderSignalButtonClick(); });
    connect(EncoderSignalButton, &QToolButton::clicked, this, [this] { EncoderSignalButtonClick(); });
    connect(SetInterpolationButton, &QToolButton::clicked, this, [this] { SetInterpolationButtonClick(); });
    connect(SetFrequencyButton, &QToolButton::clicked, this, [this] { SetFrequencyButtonClick(); });
    connect(SignalStrengthButton, &QToolButton::clicked, this, [this] { SignalStrengthButtonClick(); });
    connect(PositionButton, &QToolButton::clicked, this, [this] { PositionButtonClick(); });
    connect(ResetPositionButton, &QToolButton::clicked, this, [this] { ResetPositionButtonClick(); });
    connect(ResetAlarmsButton, &QToolButton::clicked, this, [this] { ResetAlarmsButtonClick(); });
    connect(AlarmHistoryButton, &QToolButton::clicked, this, [this] { Resetalarms1Click(); });
    auto hooked = [this](QToolButton *b, std::function<void()> fallback) {
        connect(b, &QToolButton::clicked, this,
                [this, b, fallback] { RunClickHandler(b->objectName(), fallback); });
    };
    hooked(AcquireButton, [this] { AcquireButtonClick(); });
    hooked(StopButton, [this] { StopButtonClick(); });
    hooked(ReviewButton, [this] { ReviewButtonClick(); });
    hooked(FastButton, [this] { FastButtonClick(); });
    hooked(StartCalButton, [this] {
        if (DisplayMode == 0) QueueCommand(kpd::CmdStartCalibration, 500);
    });
    hooked(StopCalButton, [this] {
        if (DisplayMode == 0) QueueCommand(kpd::CmdStopCalibration, 500);
    });
    hooked(CalSetButton, [this] {
        if (DisplayMode == 0) QueueCommand(kpd::CmdSetCalibration, 500);
    });
    hooked(StartAlignButton, [this] {
        if (DisplayMode == 0) QueueCommand(kpd::CmdStartAlignment, 500);
    });
    hooked(StopAlignButton, [this] {
        if (DisplayMode == 0) QueueCommand(kpd::CmdStopAlignment, 500);
    });
}

QAction *TMainForm::AddMenu(const QString &name, const QString &caption, const QString &parentName) {
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    menuItems_.insert(name, a);
    menuParent_.insert(name, parentName);
    menuOwnEnabled_.insert(name, true);
    return a;
}

QAction *TMainForm::AddItem(const QString &name, const QString &caption, const QString &parentName,
                            const QKeySequence &shortcut) {
    QAction *a = AddMenu(name, caption, parentName);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    // Added to the window, not to a visible menu bar: the shortcut works while the item is enabled.
    addAction(a);
    return a;
}

void TMainForm::CreateMenu() {
    // MainMenu1: five hidden top-level menus; Tools is disabled as designed.
    AddMenu("File1", "&File");
    AddMenu("View1", "&View");
    AddMenu("Settings1", "&Settings");
    AddMenu("Tools1", "&Tools");
    AddMenu("Help1", "&Help");
    auto on = [this](QAction *a, std::function<void()> fn) {
        connect(a, &QAction::triggered, this, [fn] { fn(); });
    };

    on(AddItem("Loaddata1", "&Load...", "File1"), [this] { QueueCommand(kpd::CmdLoadData, 300); });
    AddMenu("Savedata1", "&Save", "File1");
    const char *saveItems[4][2] = {{"StatusandSetup1", "&Status and Setup Data"},
                                   {"EncoderSignal1", "&Encoder Signal Data"},
                                   {"SignalStrengthData1", "Signal S&trength Data"},
                                   {"PositionandVelocityData1", "&Position and Velocity Data"}};
    for (int kind = 0; kind < 4; ++kind) {
        on(AddItem(saveItems[kind][0], saveItems[kind][1], "Savedata1"), [this, kind] {
            if (!DemoFlag) SetDataControlsEnabled(false);
            PreviousDisplayMode = DisplayMode;
            DisplayMode = kind;
            QueueCommand(kpd::CmdSaveData, 300);
        });
    }
    on(AddItem("Exit1", "E&xit", "File1"), [this] { close(); });

    on(AddItem("Mainwindow1", "&Status and Setup", "View1", QKeySequence(Qt::Key_F2)), [this] {
        if (DisplayMode >= 1 && DisplayMode <= 3) SwitchDisplayMode(0, kpd::CmdShowStatus, true);
    });
    on(AddItem("Lissajous1", "&Encoder Signal Plot", "View1", QKeySequence(Qt::Key_F3)), [this] {
        if (DisplayMode == 1) return;
        if (access_) access_->ReviewStep = true;
        QueueCommand(kpd::CmdShowEncoderSignal, 500);
        PreviousDisplayMode = DisplayMode;
        DisplayMode = 1;
        if (DataState[1] == 3) DataState[1] = 0;
    });
    on(AddItem("SignalMonitor1", "Signal Strength &Plot", "View1"), [this] {
        if (DisplayMode == 2) return;
        if (access_) access_->ReviewStep = true;
        QueueCommand(kpd::CmdShowSignalStrength, 500);
        PreviousDisplayMode = DisplayMode;
        DisplayMode = 2;
        if (DataState[2] == 3) DataState[2] = 0;
    });
    on(AddItem("EncoderPositionPlot1", "Encoder Position Plot", "View1", QKeySequence(Qt::Key_F5)), [this] {
        if (DisplayMode != 3) PositionButtonClick();
    });
    on(AddItem("Engineering1", "Engineering &Display", "View1", QKeySequence(Qt::Key_F6)), [this] {
        if (DisplayMode == 4) return;
        QueueCommand(kpd::CmdShowEngineering, 500);
        platform::ShowHourglass();
        PreviousDisplayMode = DisplayMode;
        DisplayMode = 4;
    });
    on(AddItem("Resetalarms1", "&Alarm History Log...", "View1"), [this] { Resetalarms1Click(); });
    on(AddItem("Tessalyversion1", "Electronics &Info...", "View1", QKeySequence(Qt::Key_F7)),
       [this] { QueueCommand(kpd::CmdShowInfo, 300); });

    on(AddItem("Interpolation1", "&Interpolation...", "Settings1"),
       [this] { SetInterpolationButtonClick(); });
    on(AddItem("Bandwidth1", "Output &Frequency...", "Settings1"), [this] { SetFrequencyButtonClick(); });
    on(AddItem("Encoder1", "&Units...", "Settings1"), [this] {
        if (EncoderSetupForm) EncoderSetupForm->show();
    });
    on(AddItem("EngineeringDisplay1", "&Engineering Display Setup...", "Settings1",
               QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S)),
       [this] {
           if (engineeringDisplaySetup) engineeringDisplaySetup();
       });
    AddItem("DataProcessingForSetupandStatus1", "&Data Processing For Setup and Status...", "Settings1");
    menuOwnEnabled_["DataProcessingForSetupandStatus1"] = false;

    AddMenu("ResetDataBuffers1", "Clear Data Buffers", "Tools1");
    const char *clearItems[5][2] = {{"SetupandStatus1", "&Setup and Status"},
                                    {"EncoderSignal2", "&Encoder Signal"},
                                    {"SignalStrength1", "&Signal Strength"},
                                    {"EncoderPositionandVelocity1", "Encoder &Position and Velocity"},
                                    {"All1", "&All Buffers"}};
    for (int sel = 0; sel < 5; ++sel) {
        on(AddItem(clearItems[sel][0], clearItems[sel][1], "ResetDataBuffers1"), [this, sel] {
            BufferSelector = sel;
            QueueCommand(kpd::CmdClearBuffers, 400, false);
        });
    }
    on(AddItem("LocateIndex1", "&Center Index", "Tools1"), [this] { CenterIndexButtonClick(); });
    on(AddItem("ResetPosition1", "&Reset Position", "Tools1"), [this] { ResetPositionButtonClick(); });
    on(AddItem("Zeroposition1", "&Zero Hardware Position Counter", "Tools1"),
       [this] { Zeroposition1Click(); });
    on(AddItem("SoftwareSystemReset1", "Software System &Reset - Active Com Port", "Tools1"),
       [this] { SoftwareSystemReset1Click(); });
    on(AddItem("HardwareReset1", "&Hardware System Reset - All Com Ports", "Tools1"),
       [this] { HardwareReset1Click(); });
    on(AddItem("SearchForElectronics1", "&Search For Electronics", "Tools1"),
       [this] { SearchForElectronics1Click(); });

    AddItem("Encoderinstallationwizard1", "Encoder &Installation Wizard", "Help1");
    AddItem("Tessalysoftwarehelp1", "&Help", "Help1", QKeySequence(Qt::Key_F1));
    on(AddItem("AboutTessalySoftware1", "&About...", "Help1", QKeySequence(Qt::SHIFT | Qt::Key_F1)), [this] {
        if (AboutBoxForm) RunModal(AboutBoxForm);
    });

    menuOwnEnabled_["Tools1"] = false; // designed disabled
    RefreshMenuEnabled();
}

void TMainForm::SetItemEnabled(const QString &name, bool enabled) {
    if (!menuOwnEnabled_.contains(name)) return;
    menuOwnEnabled_[name] = enabled;
    RefreshMenuEnabled();
}

bool TMainForm::ItemEnabled(const QString &name) const {
    return menuOwnEnabled_.value(name, false);
}

bool TMainForm::ItemReachable(const QString &name) const {
    if (!menuOwnEnabled_.contains(name)) return false;
    for (QString n = name; !n.isEmpty(); n = menuParent_.value(n)) {
        if (!menuOwnEnabled_.value(n, false)) return false;
    }
    return true;
}

void TMainForm::RefreshMenuEnabled() {
    for (auto it = menuItems_.constBegin(); it != menuItems_.constEnd(); ++it)
        it.value()->setEnabled(ItemReachable(it.key()));
}

void TMainForm::CreateTimers() {
    auto timer = [this](const char *name, int interval) {
        auto *t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(interval);
        return t;
    };
    GenTimer = timer("GenTimer", 1400);
    RestartTimer = timer("RestartTimer", 300);
    ReadWriteTimer = timer("ReadWriteTimer", 100);
    ButtonTimer = timer("ButtonTimer", 200);
    connect(GenTimer, &QTimer::timeout, this, [this] { GenTimerTimer(); });
    connect(RestartTimer, &QTimer::timeout, this, [this] { RestartTimerTimer(); });
    connect(ReadWriteTimer, &QTimer::timeout, this, [this] { ReadWriteTimerTimer(); });
    connect(ButtonTimer, &QTimer::timeout, this, [this] { ButtonTimerTimer(); });
}

void TMainForm::RestartTimerTimer() {
    RestartTimer->stop();
    RestartSearchFlag = true;
    Search();
}

void TMainForm::ButtonTimerTimer() {
    ButtonTimer->stop();
    SetDataControlsEnabled(true);
}

int TMainForm::RunModal(QDialog *dialog) {
    if (execDialog) return execDialog(dialog);
    return dialog->exec();
}

void TMainForm::Resetalarms1Click() {
    if (AlarmHistoryForm) AlarmHistoryForm->show();
}

void TMainForm::ResetAlarmsButtonClick() {
    Evaluation.ResetAlarms(View);
    ApplyStatusView();
}

// ---- Activation, painting, hover ----

void TMainForm::FormActivate() {
    if (activating_) return;
    activating_ = true;
    switch (DisplayMode) {
    case 0:
        repaint();
        break;
    case 1:
    case 2:
    case 3:
        repaint();
        if (activatePlot) activatePlot(DisplayMode);
        break;
    case 4:
        if (EngineeringDisplay) EngineeringDisplay->show();
        break;
    default:
        break;
    }
    activating_ = false;
}

void TMainForm::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !shuttingDown_)
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TMainForm::DrawBevel(QPainter &p, QWidget *control, bool raised) {
    const QRect g = control->geometry();
    const kpd::PaintRect bounds{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    for (const kpd::PaintSegment &s : kpd::ControlBevel(bounds, raised)) {
        p.setPen(QPen(QColor(s.colour.r, s.colour.g, s.colour.b), 1, Qt::SolidLine));
        p.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
    }
}

void TMainForm::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (DisplayMode == 0) {
        const kpd::StatusDecorations &d = kpd::StatusDecorationsFor(LayoutClass);
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::SolidLine));
        p.setBrush(Qt::NoBrush);
        for (const kpd::PaintRect &r : d.frames)
            p.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)));
        p.setPen(Qt::white);
        p.setFont(RotatedCanvasFont);
        platform::DrawRotatedText(p, QPoint(d.optimalText.x, d.optimalText.y),
                                  QString::fromLatin1("Optimal"));
        platform::DrawRotatedText(p, QPoint(d.poorText.x, d.poorText.y), QString::fromLatin1("Poor"));
        for (QToolButton *b : {ResetPositionButton, StartCalButton, StopCalButton, SetInterpolationButton})
            DrawBevel(p, b, b->isVisibleTo(this));
        // The alignment and Set buttons follow the operating state: a black bevel erases the frame of a
        // button the state has hidden.
        DrawBevel(p, StartAlignButton,
                  View.StartAlignButton.raisedBevel && StartAlignButton->isVisibleTo(this));
        DrawBevel(p, StopAlignButton, View.StopAlignButton.raisedBevel && StopAlignButton->isVisibleTo(this));
        DrawBevel(p, CalSetButton, View.CalSetButton.raisedBevel && CalSetButton->isVisibleTo(this));
    }
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

// ---- Shutdown ----

bool TMainForm::CloseAll() {
    const auto r = platform::ShowMessage(platform::MessageKind::Confirmation, "Close Program?",
                                         platform::MessageButtons::YesNo);
    if (r != platform::MessageResult::Yes) {
        FormActivate();
        return false;
    }
    ShutDownNow();
    return true;
}

void TMainForm::ShutDownNow() {
    if (shuttingDown_) return;
    shuttingDown_ = true;
    scheduler_.Disarm();
    ReadWriteTimer->stop();
    RestartTimer->stop();
    if (!DemoFlag && access_) access_->StopRequest = true;
    platform::ShowHourglass();
    if (Startup) {
        Startup->Label1->setText("Shutting Down Program...");
        Startup->ShowWithCaption("Please Wait...");
    }
    GenTimer->start();
}

void TMainForm::GenTimerTimer() {
    GenTimer->stop();
    if (!DemoFlag) settings.SaveSettings(InstallDir);
    platform::ShowDefaultCursor();
    settings.gratingDescriptions.clear();
    if (!DemoFlag && access_) {
        // The worker normally ends well within the 1400 ms; one that is still inside a long link step keeps
        // the access object alive until it has ended, so its flags are never freed under it.
        if (access_->ThreadRunning &&
            !platform::WaitUntilCleared(access_->ThreadRunning, std::chrono::milliseconds(5000))) {
            (void)access_.release(); // still in use by a worker that does not end: leave it alone
        } else {
            access_->ClosePortIfOpen();
            SetAccess(nullptr);
        }
    }
    if (Startup) Startup->hide();
    if (terminateApplication) terminateApplication();
}

void TMainForm::closeEvent(QCloseEvent *event) {
    if (closeAllowed_) {
        event->accept();
        return;
    }
    event->ignore();
    if (!shuttingDown_) CloseAll();
}
