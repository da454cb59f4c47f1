// The controls of the main window, by component name (objectName = member name). Create makes them on the
// window with their designed captions; the status display and the plot-mode layout place them.
#pragma once

#include <array>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QToolButton;
class QWidget;
class TPaintBox;
class TRadioGroup;
namespace platform {
class Lamp;
}

struct MainFormControls {
    // Makes every control on `window`, which also watches the plot area and the speed buttons for the
    // hover highlight.
    void Create(QWidget *window);
    // The controls of the status display (hidden in the plot modes).
    std::vector<QWidget *> StatusWidgets() const;
    // All 18 speed buttons in the hover order.
    std::vector<QToolButton *> SpeedButtons() const;

    TPaintBox *GraphBox;
    QFrame *LeftPanel, *RightPanel, *TopPanel, *BottomPanel;
    std::array<QLabel *, 5> XValue;  // XValue1..XValue5 at index 0..4
    std::array<QLabel *, 10> YValue; // YValue1..YValue10
    QLabel *PlotNameText, *PlotDescriptionText, *XAxisText, *YAxisTextTop, *YAxisTextBottom, *SetupText;
    TRadioGroup *PlotTypeGroup;
    QToolButton *CenterIndexButton, *SetInterpolationButton, *SetFrequencyButton, *EncoderSignalButton,
        *SignalStrengthButton, *PositionButton, *AcquireButton, *StopButton, *ReviewButton, *FastButton,
        *ResetAlarmsButton, *AlarmHistoryButton, *ResetPositionButton, *StartCalButton, *StopCalButton,
        *CalSetButton, *StartAlignButton, *StopAlignButton;
    QToolButton *BitBtn1, *BitBtn2; // hidden: their fonts are the normal and the hover fonts
    QCheckBox *CalGOPCheckBox, *CalIndexCheckBox, *SetLeftLimitCheckBox, *SetRightLimitCheckBox;
    platform::Lamp *IndexShape, *LeftLimitShape, *RightLimitShape, *YellowShape, *RedShape, *OverSignalShape;
    QLabel *IndexBox, *ResolutionBox, *TimeText2, *EncoderPositionText, *UnitsBox, *InterpolationBox,
        *FrequencyBox;
    QLabel *SignalBar;
    QLabel *greenleft, *greenright, *yellowleft, *yellowright, *redleft, *redright, *darkgreenleft,
        *darkgreenright;
    QLabel *LogoImage, *SmallLogoImage, *LogoText1, *LogoText4;
    // Captions of the status display.
    QLabel *PositionCaption, *TimeCaption, *InterpolationCaption, *FrequencyCaption, *IndexCaption,
        *LeftLimitCaption, *RightLimitCaption, *SignalCaption, *OverSignalCaption, *YellowCaption,
        *RedCaption, *StateCaption, *CalibrationCaption, *SetupCaption;
};
