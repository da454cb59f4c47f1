// TMainForm: the main window, a view of the session. It creates and places the controls, shows what the
// session tells it (SessionView) and hands every user action to the session; the session decides. Worker
// threads reach it only through the session's status controller, on the user-interface thread.
#pragma once

#include "display/LayoutClass.h"
#include "display/TPaintBox.h"
#include "session/Session.h"
#include "session/SessionView.h"
#include "windows/MainFormControls.h"
#include "windows/MainMenu.h"
#include "windows/TRadioGroup.h"

#include <QFont>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QDialog;
class QFrame;
class QLabel;
class QMouseEvent;
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
class PlotDisplay;
class MenuOnDemand;
class RecentFilesMenu;
class THelpForm;
namespace platform {
class Lamp;
}

class TMainForm : public QWidget, public kpd::SessionView, public MainFormControls {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    kpd::Session &session() { return *session_; }
    const kpd::Session &session() const { return *session_; }

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
    THelpForm *HelpForm = nullptr;

    // ---- Window state ----
    int LayoutClass = kpd::LayoutMedium;
    kpd::LayoutChoice Layout;
    int SignalBarSpan = 0;
    int PlotWidth = 400;
    int PlotHeight = 400;
    float PlotScale = 300.0f;
    int WindowFontSize = 12;
    QFont RotatedCanvasFont;

    // ---- Seams for the parts that plug in later, and for tests ----
    // Runs a dialog modally and returns its result (default QDialog::exec; tests answer instead).
    std::function<int(QDialog *)> execDialog;
    // "Engineering Display Setup..." (Ctrl+Alt+S).
    std::function<void()> engineeringDisplaySetup;
    // SetInterpolationButton in the plot modes ("Plot Settings 1").
    std::function<void(kpd::DisplayMode)> plotSettingsButton;

    // ---- Handlers ----
    void EncoderSignalButtonClick();
    void SetFrequencyButtonClick();
    void SignalStrengthButtonClick();
    void PositionButtonClick();
    void SetInterpolationButtonClick();
    void Resetalarms1Click();
    void FormActivate();
    // "Engineering Display Setup...": the engineering write lock in the shared choice dialog.
    void EngineeringDisplay1Click();
    void GenericMouseMove(QWidget *control);
    int RunModal(QDialog *dialog);
    MainMenu &Menu() { return menu_; }
    const MainMenu &Menu() const { return menu_; }
    // F10, Alt alone and the right-click that open the menus; File > Recent Files.
    MenuOnDemand &OnDemandMenu() { return *menuOnDemand_; }
    RecentFilesMenu &RecentFiles() { return *recentFiles_; }

    // ---- kpd::SessionView ----
    void ShowProgress(const std::string &caption, const std::string &text) override;
    void HideProgress() override;
    void SetBusy(bool busy) override;
    void SetCaption(const std::string &caption) override;
    void EnterDemoMode() override;
    void EnterConnectedMode() override;
    void SetDataControlsEnabled(bool enabled) override;
    void SetMenuItemEnabled(const std::string &item, bool enabled) override;
    void ShowInterpolationAndFrequency(int interpolationIndex, int frequencyCode) override;
    void ShowSensorLabel(const std::string &text) override;
    void ShowUnits(const std::string &units) override;
    void ShowStatusLayout() override;
    void ShowPlotLayout(kpd::DisplayMode mode) override;
    void ActivatePlot(kpd::DisplayMode mode) override;
    void ShowEngineeringDisplay() override;
    void ShowEngineeringValues(const std::array<std::string, kpd::readall::SlotCount> &texts) override;
    void Repaint() override { repaint(); }
    void Activate() override { FormActivate(); }
    void EnableLoadedData(kpd::DisplayMode kind) override;
    void PlotRunStarted(kpd::DisplayMode mode, const std::shared_ptr<const kpd::StreamProgress> &run) override;
    void PlotRunEnded(kpd::DisplayMode mode) override;
    void ShowStoredPlot(kpd::DisplayMode mode) override;
    void PlotTypeChanged(kpd::DisplayMode mode, bool clearPlot) override;
    void RestartPlot() override;
    void ShowStatusSample(const std::string &elapsed, const std::string &position) override;
    void ShowElapsedTime(const std::string &elapsed) override;
    void ApplyStatusView(const kpd::StatusView &view) override;
    bool CalibrationBoxTicked() const override;
    void ShowElectronicsInfo(const InfoFields &fields) override;
    kpd::OutputSelection OutputChoice() const override;
    void Terminate() override;

    // The live plot of the plot modes.
    PlotDisplay &Plots() { return *plots_; }
    // "Plot Options" in the plot modes: the plot settings dialog for the current mode.
    void ShowPlotOptions();

    QWidget *hoveredControl = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void EngineeringDisplayClosed();
    void EngineeringWriteRequested(const QString &entry);
    void EngineeringAgcRequested(bool enable);
    // The menus File, View, Settings and Tools while the engineering display is shown: disabled, and
    // restored to their earlier states when it closes.
    void DisableMenusForEngineering();
    void RestoreMenusAfterEngineering();
    // The controls and menu items that demo mode disables.
    void SetDemoControlsEnabled(bool enabled);
    void ConnectComponents();
    void CreateMenu();
    void ApplyLayoutClass();

    MainMenu menu_;
    MenuOnDemand *menuOnDemand_ = nullptr;  // a child of the window
    RecentFilesMenu *recentFiles_ = nullptr; // a child of the window
    std::unique_ptr<kpd::Session> session_;
    std::unique_ptr<PlotDisplay> plots_;
    // Button states last drawn with their bevels; the window is repainted only when they change.
    std::array<kpd::ButtonState, 5> paintedButtonStates_{};
    bool buttonStatesPainted_ = false;
    bool closeAllowed_ = false;
    bool activating_ = false;
    std::vector<std::pair<QString, bool>> menusBeforeEngineering_; // empty while not disabled
};
