#include "windows/MainFormControls.h"

#include "display/TPaintBox.h"
#include "widgets/Controls.h"
#include "widgets/Lamp.h"
#include "widgets/Logo.h"
#include "windows/TRadioGroup.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

using platform::MakeButton;
using platform::MakeCheck;
using platform::MakeLabel;
using platform::MakeLamp;

std::vector<QToolButton *> MainFormControls::SpeedButtons() const {
    return {AcquireButton,       StopButton,          FastButton,
            ReviewButton,        CenterIndexButton,   SetInterpolationButton,
            SetFrequencyButton,  EncoderSignalButton, SignalStrengthButton,
            PositionButton,      ResetAlarmsButton,   AlarmHistoryButton,
            ResetPositionButton, StartCalButton,      StopCalButton,
            CalSetButton,        StartAlignButton,    StopAlignButton};
}

void MainFormControls::Create(QWidget *window) {
    GraphBox = new TPaintBox(window);
    GraphBox->setObjectName("GraphBox");
    GraphBox->setMouseTracking(true);
    GraphBox->installEventFilter(window);
    auto panel = [window](const char *name) {
        auto *p = new QFrame(window);
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
        XValue[i] = MakeLabel(window, QString("XValue%1").arg(i + 1).toLatin1().constData());
    for (int i = 0; i < 10; ++i)
        YValue[i] = MakeLabel(window, QString("YValue%1").arg(i + 1).toLatin1().constData());
    PlotNameText = MakeLabel(window, "PlotNameText");
    PlotDescriptionText = MakeLabel(window, "PlotDescriptionText");
    XAxisText = MakeLabel(window, "XAxisText");
    YAxisTextTop = MakeLabel(window, "YAxisTextTop");
    YAxisTextBottom = MakeLabel(window, "YAxisTextBottom");
    SetupText = MakeLabel(window, "SetupText", "Data Plots");
    PlotTypeGroup = new TRadioGroup(window);
    PlotTypeGroup->setObjectName("PlotTypeGroup");

    CenterIndexButton = MakeButton(window, "CenterIndexButton", "Encoder Signal");
    SetInterpolationButton = MakeButton(window, "SetInterpolationButton", "Set Interpolation");
    SetFrequencyButton = MakeButton(window, "SetFrequencyButton", "Signal Strength");
    EncoderSignalButton = MakeButton(window, "EncoderSignalButton", "Encoder Signal orig");
    SignalStrengthButton = MakeButton(window, "SignalStrengthButton", "Encoder Position");
    PositionButton = MakeButton(window, "PositionButton", "Encoder Position org");
    AcquireButton = MakeButton(window, "AcquireButton", "Acquire");
    StopButton = MakeButton(window, "StopButton", "Stop");
    ReviewButton = MakeButton(window, "ReviewButton", "Back");
    FastButton = MakeButton(window, "FastButton", "View");
    ResetAlarmsButton = MakeButton(window, "ResetAlarmsButton", "Reset");
    AlarmHistoryButton = MakeButton(window, "AlarmHistoryButton", "History");
    ResetPositionButton = MakeButton(window, "ResetPositionButton", "Reset");
    StartCalButton = MakeButton(window, "StartCalButton", "Start Cal");
    StopCalButton = MakeButton(window, "StopCalButton", "Stop Cal");
    CalSetButton = MakeButton(window, "CalSetButton", "Set");
    StartAlignButton = MakeButton(window, "StartAlignButton", "AGC Off");
    StopAlignButton = MakeButton(window, "StopAlignButton", "AGC On");
    BitBtn1 = MakeButton(window, "BitBtn1", "");
    BitBtn2 = MakeButton(window, "BitBtn2", "");
    BitBtn1->hide();
    BitBtn2->hide();
    for (QToolButton *b : {EncoderSignalButton, SignalStrengthButton, PositionButton, AcquireButton,
                           StopButton, ReviewButton, FastButton, ResetAlarmsButton, AlarmHistoryButton})
        b->hide();
    for (QToolButton *b : SpeedButtons())
        b->installEventFilter(window);

    // The calibration selection; the boxes start unticked.
    CalGOPCheckBox = MakeCheck(window, "CalGOPCheckBox", "Calibrate GOP");
    CalIndexCheckBox = MakeCheck(window, "CalIndexCheckBox", "Calibrate Index");
    SetLeftLimitCheckBox = MakeCheck(window, "SetLeftLimitCheckBox", "Set Left Limit");
    SetRightLimitCheckBox = MakeCheck(window, "SetRightLimitCheckBox", "Set Right Limit");

    IndexShape = MakeLamp(window, "IndexShape");
    LeftLimitShape = MakeLamp(window, "LeftLimitShape");
    RightLimitShape = MakeLamp(window, "RightLimitShape");
    YellowShape = MakeLamp(window, "YellowShape");
    RedShape = MakeLamp(window, "RedShape");
    OverSignalShape = MakeLamp(window, "OverSignalShape");

    IndexBox = MakeLabel(window, "IndexBox");
    ResolutionBox = MakeLabel(window, "ResolutionBox");
    TimeText2 = MakeLabel(window, "TimeText2", "0.0");
    EncoderPositionText = MakeLabel(window, "EncoderPositionText", "0");
    EncoderPositionText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    UnitsBox = MakeLabel(window, "UnitsBox");
    InterpolationBox = MakeLabel(window, "InterpolationBox");
    FrequencyBox = MakeLabel(window, "FrequencyBox");

    SignalBar = MakeLabel(window, "SignalBar");
    SignalBar->setScaledContents(true);
    auto marker = [window](const char *name, platform::ZoneColor c, platform::MarkerSide s) {
        QLabel *l = MakeLabel(window, name);
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

    LogoImage = MakeLabel(window, "LogoImage");
    LogoImage->setPixmap(QPixmap::fromImage(platform::LargeLogo()));
    SmallLogoImage = MakeLabel(window, "SmallLogoImage");
    SmallLogoImage->setPixmap(QPixmap::fromImage(platform::SmallLogo()));
    LogoText1 = MakeLabel(window, "LogoText1", "Tessaly II Alignment Tool");
    LogoText4 = MakeLabel(window, "LogoText4");
    LogoText4->hide();

    PositionCaption = MakeLabel(window, "PositionCaption", "Position:");
    TimeCaption = MakeLabel(window, "TimeCaption", "Elapsed Time (s):");
    InterpolationCaption = MakeLabel(window, "InterpolationCaption", "Interpolation:");
    FrequencyCaption = MakeLabel(window, "FrequencyCaption", "Output Frequency:");
    IndexCaption = MakeLabel(window, "IndexCaption", "Index");
    LeftLimitCaption = MakeLabel(window, "LeftLimitCaption", "Left Limit");
    RightLimitCaption = MakeLabel(window, "RightLimitCaption", "Right Limit");
    SignalCaption = MakeLabel(window, "SignalCaption", "Signal Level");
    SignalCaption->setAlignment(Qt::AlignCenter);
    OverSignalCaption = MakeLabel(window, "OverSignalCaption", "Over Signal");
    YellowCaption = MakeLabel(window, "YellowCaption", "Marginal");
    RedCaption = MakeLabel(window, "RedCaption", "Poor Signal");
    StateCaption = MakeLabel(window, "StateCaption", "Operating State");
    CalibrationCaption = MakeLabel(window, "CalibrationCaption", "Calibration");
    SetupCaption = MakeLabel(window, "SetupCaption", "Setup");
}

std::vector<QWidget *> MainFormControls::StatusWidgets() const {
    // Read-outs and lamps, calibration controls, captions, zone markers.
    std::vector<QWidget *> w{EncoderPositionText,
                             UnitsBox,
                             TimeText2,
                             ResetPositionButton,
                             InterpolationBox,
                             FrequencyBox,
                             IndexShape,
                             LeftLimitShape,
                             RightLimitShape,
                             YellowShape,
                             RedShape,
                             OverSignalShape,
                             IndexBox,
                             ResolutionBox};
    w.insert(w.end(), {SignalBar,
                       CalGOPCheckBox,
                       CalIndexCheckBox,
                       SetLeftLimitCheckBox,
                       SetRightLimitCheckBox,
                       StartCalButton,
                       StopCalButton,
                       CalSetButton,
                       StartAlignButton,
                       StopAlignButton,
                       PositionCaption,
                       TimeCaption,
                       InterpolationCaption,
                       FrequencyCaption,
                       IndexCaption,
                       LeftLimitCaption,
                       RightLimitCaption,
                       SignalCaption,
                       OverSignalCaption,
                       YellowCaption,
                       RedCaption,
                       StateCaption,
                       CalibrationCaption,
                       SetupCaption,
                       greenleft,
                       greenright,
                       yellowleft,
                       yellowright,
                       redleft,
                       redright,
                       darkgreenleft,
                       darkgreenright});
    return w;
}
