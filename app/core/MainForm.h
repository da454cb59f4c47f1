// TMainForm: the main window and the owner of the shared application state (display mode, data states,
// pending command, review and demo flags, settings, the one access object). It never talks to the
// electronics outside the command scheduler's tick and the electronics search; worker threads deliver
// their data to it on the user-interface thread.
#pragma once

#include "CommandCodes.h"
#include "CommandScheduler.h"
#include "DataControl.h"
#include "LayoutClass.h"
#include "Settings.h"
#include "SignalEvaluation.h"
#include "StatusSink.h"
#include "StatusView.h"
#include "TRadioGroup.h"

#include <QFont>
#include <QMap>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class ComData;
class QAction;
class QDialog;
class QMouseEvent;
class QCheckBox;
class QFrame;
class QLabel;
class QTimer;
class QToolButton;

class TStartup;
class TRadioDialog;
class TInfoForm;
class TAboutBoxForm;
class TEngineeringDisplay;
class TAlarmHistoryForm;
class TEncoderSetupForm;
class TPlotSettingsForm;
class TEditDialogForm;
namespace platform {
class Lamp;
}

// The plot area: a widget that owns an image. Drawing goes into the image, and the paint event blits
// it, so incremental drawing persists between paints.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget *parent = nullptr);
    QImage &Canvas() { return canvas_; }
    void ResizeCanvas(int w, int h);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage canvas_;
};

namespace kpd {
class StatusMonitor;
}

class TMainForm : public QWidget, public kpd::StatusSink {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // ---- Windows created by the program entry after this one (may be null until created) ----
    TStartup *Startup = nullptr;
    TAboutBoxForm *AboutBoxForm = nullptr;
    TRadioDialog *RadioDialog = nullptr;
    TEncoderSetupForm *EncoderSetupForm = nullptr;
    TAlarmHistoryForm *AlarmHistoryForm = nullptr;
    TEditDialogForm *EditDialogForm = nullptr;
    TInfoForm *InfoForm = nullptr;
    TPlotSettingsForm *PlotSettingsForm = nullptr;
    TEngineeringDisplay *EngineeringDisplay = nullptr;

    // ---- Shared application state ----
    int DisplayMode = 0; // 0 status, 1 encoder signal, 2 signal strength, 3 signal plots, 4 engineering
    int PreviousDisplayMode = 0; // mode to return to after a save, a load or the engineering display
    std::array<int, 4> DataState{1, 1, 1, 1}; // 0 stopped, 1 live, 2 stepping back, 3 viewing buffered data
    int LayoutClass = kpd::LayoutMedium;
    kpd::LayoutChoice Layout;
    int ElectronicsType = 0; // 0: the alignment-tool electronics
    bool DemoFlag = false;
    bool ReviewFlag = false;
    bool RestartSearchFlag = false;
    int BufferSelector = 0;
    std::string InstallDir;
    uint16_t GenReg1Copy = 0;
    uint16_t InterpolationCopy = 0;
    int CalibrationOptions = 0;
    int SignalBarSpan = 0;
    int PlotWidth = 400;
    int PlotHeight = 400;
    float PlotScale = 300.0f;
    int ModelIndex = 0;
    int ProcessorVersion = 0; // controller firmware version (ReadMSPVersion)
    uint16_t SensorTypeValue = 0;
    uint16_t InterpDepthValue = 0;
    bool SignalPlotsAutoScale = true;
    bool DataProcessing = false;
    QString UnitLabelCounts, UnitLabelRate, UnitLabelTime;
    QFont RotatedCanvasFont;
    int WindowFontSize = 12;
    Settings settings;

    // The current access object (null before the first search).
    ComData *Access() const { return access_.get(); }
    // Replaces the access object (the old one is discarded without closing its port).
    void SetAccess(std::unique_ptr<ComData> access);

    // ---- Hooks for work that other parts of the program complete ----
    // Worker start/stop of display modes 0..3. Not owned. When empty, display mode 0 uses the window's own
    // status monitor and the plot modes start nothing.
    kpd::DataControl *dataControl = nullptr;
    // The status monitor of display mode 0 (owned).
    kpd::StatusMonitor *StatusMonitorControl() const { return statusMonitor_.get(); }
    // Starts the read-all worker of the engineering display (display mode 4).
    std::function<void()> startReadAll;
    // Scheduler commands carried out elsewhere (plot layouts, plot settings, engineering write, data files,
    // data buttons, calibration and alignment, main AGC). An empty entry runs the default placeholder.
    std::array<std::function<void()>, kpd::kLastCommand + 1> commandHooks;
    // Link-failure dialog; empty: the default of ReportLinkFailure below.
    std::function<void()> reportLinkFailureHook;
    // Runs a dialog modally and returns its result (default QDialog::exec; tests answer instead).
    std::function<int(QDialog *)> execDialog;
    // Click handlers of buttons whose actions other parts of the program provide (Acquire, Stop, Back,
    // View, and the calibration buttons beyond their default of queuing their command), by objectName.
    std::map<QString, std::function<void()>> clickHooks;
    // "Engineering Display Setup..." (Ctrl+Alt+S).
    std::function<void()> engineeringDisplaySetup;
    // Activation redraw of a plot mode (1..3): clear the plot and draw its frame or grid.
    std::function<void(int mode)> activatePlot;
    // Layout routine of a plot mode (1..3), for the connected state and the plot commands.
    std::function<void(int mode)> showPlotLayout;
    // Receives the position taken after a software reset (the status monitor's position offset).
    std::function<void(int32_t position)> onPositionSnapshot;
    // SetInterpolationButton in the plot modes ("Plot Settings 1").
    std::function<void(int mode)> plotSettingsButton;
    // Asks the streaming plots to restart (zero and reset commands).
    std::function<void()> restartStreamingPlots;
    // The blocking pauses of the search and the scheduler (tests record them instead of waiting).
    std::function<void(int ms)> waitMs;
    // Hands the plot point counts (lissplot, signalplot, positionplot) to the access object.
    std::function<void()> passPlotPointCounts;
    // Called by GenTimer at the end of shutdown, after the settings are saved (default: quit the
    // application's event loop).
    std::function<void()> terminateApplication;

    // ---- Command scheduler ----
    void QueueCommand(int code, int intervalMs, bool setReviewFlag = true);
    void ReadWriteTimerTimer();
    void ExecuteCommand(int code);
    void ApplyDataState();
    void Finish();
    void LinkFailure();
    const kpd::CommandScheduler &Scheduler() const { return scheduler_; }
    int PendingCommand() const { return scheduler_.Pending(); }

    // ---- Discovery and connection ----
    void Search();
    void HardwareReset1Click();
    void SoftwareSystemReset1Click();
    void SearchForElectronics1Click();
    // The link-failure dialog: the hook when set, else DefaultReportLinkFailure.
    void ReportLinkFailure() override;
    void DefaultReportLinkFailure();

    // ---- Window states ----
    void EnterDemoMode();
    void EnterConnectedMode();
    void SetDataControlsEnabled(bool enabled);
    void ShowInterpolationAndFrequency(int interpolationIndex, int frequencyCode);
    void UpdateWindowCaption();
    void ShowStatusLayout();
    // The plot modes' layout (1 encoder signal, 2 signal strength, 3 signal plots) used until the plot
    // engine provides showPlotLayout: captions, plot box with its frame and tick labels, data buttons.
    void ShowPlotModeLayout(int mode);
    // An empty plot with its 8 x 8 grid, used until the plot engine provides activatePlot.
    void DrawDefaultGrid();
    // The controls of the status display (hidden in the plot modes).
    std::vector<QWidget *> StatusWidgets() const;
    void ShowElapsedTime(float seconds) override;
    // ---- Status display (the status monitor's sink) ----
    void UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t genReg1,
                             float elapsed, bool replay, bool evaluate) override;
    void StopAfterReplay() override;
    // The Stop button action (its click handler, or the hook that replaces it).
    void StopButtonAction();
    // ---- Data buttons (data state of the current display mode) ----
    // Acquire: live, applied at once (from stopped or stepping back; viewing buffered data is kept).
    void AcquireButtonClick();
    // Stop: stopped, through command 20 (200 ms).
    void StopButtonClick();
    // Back: moves the review window back, through command 17 (200 ms).
    void ReviewButtonClick();
    // View: replays the review window, through command 18 (300 ms); nothing while live or viewing.
    void FastButtonClick();
    // Runs the click hook registered for the button's objectName, else the fallback.
    void RunClickHandler(const QString &button, const std::function<void()> &fallback);
    // Applies the status view model to the lamps, texts, buttons and zone markers.
    void ApplyStatusView();
    kpd::SignalEvaluation Evaluation;
    kpd::StatusView View;
    // Button states last drawn with their bevels; the window is repainted only when they change.
    std::array<kpd::ButtonState, 5> PaintedButtonStates{};
    bool ButtonStatesPainted = false;
    void FormActivate();
    void GenericMouseMove(QWidget *control);

    // ---- Electronics settings commands ----
    void SetInterpolationButtonClick();
    void CenterIndexButtonClick();
    void Zeroposition1Click();
    void ResetPositionButtonClick();
    void ShowElectronicsInfo(bool &ok);

    // ---- Data-file commands (16, 19, 21) ----
    void SaveDataCommand();
    void LoadDataCommand();
    void ClearBuffersCommand();

    // ---- Display-mode switching and other button handlers ----
    void EncoderSignalButtonClick();
    void SetFrequencyButtonClick();
    void SignalStrengthButtonClick();
    void PositionButtonClick();
    void ResetAlarmsButtonClick();
    void Resetalarms1Click();
    // The common preparation of a switch, then the command that lays out the new mode.
    void SwitchDisplayMode(int newMode, int command, bool setReviewStep);
    int RunModal(QDialog *dialog);

    // ---- Shutdown ----
    // Asks "Close Program?"; Yes starts the 1400 ms shutdown. Returns whether shutdown started.
    bool CloseAll();
    // Closes without the question and saves as a normal shutdown would (command line --quit-after).
    void ShutDownNow();
    bool ShuttingDown() const { return shuttingDown_; }

    // ---- Menu ----
    QAction *MenuItem(const QString &name) const { return menuItems_.value(name, nullptr); }
    // The item's own enabled state, and its effective state (the item and all parent menus enabled).
    void SetItemEnabled(const QString &name, bool enabled);
    bool ItemEnabled(const QString &name) const;
    bool ItemReachable(const QString &name) const;

    // ---- Components (objectName = member name) ----
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
    QTimer *GenTimer, *RestartTimer, *ReadWriteTimer, *ButtonTimer;
    QWidget *hoveredControl = nullptr;

    // All 18 speed buttons in the hover order.
    std::vector<QToolButton *> SpeedButtons() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void CreateComponents();
    void CreateMenu();
    void CreateTimers();
    void ApplyLayoutClass();
    void PlaceStatusControls(int sizeClass);
    void DrawBevel(QPainter &p, QWidget *control, bool raised);
    void WaitFor(int ms);
    void DefaultCommandPlaceholder(int code);
    void RunOutputSettingsCommand();
    void GenTimerTimer();
    void RestartTimerTimer();
    void ButtonTimerTimer();
    void AttachAccess();
    void RefreshMenuEnabled();
    QAction *AddMenu(const QString &name, const QString &caption, const QString &parent = {});
    QAction *AddItem(const QString &name, const QString &caption, const QString &parent,
                     const QKeySequence &shortcut = {});

    std::unique_ptr<ComData> access_;
    // Declared after access_: destroyed first, it waits for its worker before the flags go away.
    std::unique_ptr<kpd::StatusMonitor> statusMonitor_;
    kpd::CommandScheduler scheduler_;
    QMap<QString, QAction *> menuItems_;
    QMap<QString, QString> menuParent_;
    QMap<QString, bool> menuOwnEnabled_;
    bool shuttingDown_ = false;
    bool closeAllowed_ = false;
    bool activating_ = false;
};
