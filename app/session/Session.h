// Session: what the tool is, apart from how it is shown. It owns the connection (the access object), the
// four recorded data sets (they outlive a search or a reconnect), the command scheduler with its timers,
// the display mode and the data state of each mode, the demo and review flags, the settings and one
// controller per display mode. The main window shows it through SessionView and asks it to act.
//
// The serial port has one owner at a time. While a worker exists it alone talks to the port; the session
// talks to it only when no worker exists: in the scheduler's commands (a tick waits for the worker) and in
// port steps (the search, the link-failure decision with its reconnect, the hardware reset), which hold
// the port from their request until they have run. While the port is held no command runs and no worker
// starts. The access object is replaced only by the search, a port step, and freed only at shutdown once
// its worker has ended.
//
// All calls belong to the user-interface thread.
#pragma once

#include "access/ComData.h"
#include "data/DataSets.h"
#include "data/Settings.h"
#include "session/CommandCodes.h"
#include "session/CommandScheduler.h"
#include "session/DataStates.h"
#include "session/DisplayMode.h"
#include "session/ModeController.h"
#include "session/PlotOptions.h"
#include "session/PlotScaling.h"
#include "session/SessionView.h"

#include <QObject>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace kpd {

class DataControl;
class EngineeringController;
class PlotController;
class StatusController;

class Session : public QObject {
public:
    // installDir: where "KPD.ini" and "grating2.ini" live; the settings are read from it at once.
    Session(SessionView &view, std::string installDir);
    ~Session() override;
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // ---- State ----
    DisplayMode Mode() const { return mode_; }
    DisplayMode PreviousMode() const { return previousMode_; }
    DataStates &States() { return states_; }
    const DataStates &States() const { return states_; }
    DataState StateOf(DisplayMode mode) const { return states_.Of(mode); }
    bool Demo() const { return demo_; }
    bool Review() const { return review_; }
    void SetReview(bool review) { review_ = review; }
    bool RestartSearch() const { return restartSearch_; }
    bool ShuttingDown() const { return shuttingDown_; }
    // True while a search (also one waiting on RestartTimer), a reconnect, a reset of the ports or the
    // link-failure decision holds the port.
    bool PortHeld() const { return portHold_ > 0 || linkDecisionOpen_ || searchPending_; }
    // True while a worker thread exists (the access object's flag, or one of the controllers' workers).
    bool WorkerExists() const;

    ComData *Access() const { return access_.get(); }
    DataSets &Data() { return data_; }
    Settings &Config() { return settings_; }
    const std::string &InstallDir() const { return installDir_; }
    const CommandScheduler &Scheduler() const { return scheduler_; }
    int PendingCommand() const { return scheduler_.Pending(); }

    ModeController &Controller(DisplayMode mode);
    StatusController &Status() { return *status_; }
    PlotController &Plot(DisplayMode mode);
    EngineeringController &Engineering() { return *engineering_; }
    // Auto scale and ranges of the strength and signal plots (not kept in the settings file).
    PlotScaling &Scaling() { return scaling_; }

    // Electronics identification of the last search.
    int ProcessorVersion() const { return processorVersion_; }
    uint16_t SensorTypeValue() const { return sensorType_; }
    uint16_t InterpolationCopy() const { return interpolationCopy_; }
    // Last GenReg1 value read by the status monitor (kept while replaying).
    uint16_t GenReg1Copy() const { return genReg1Copy_; }
    void SetGenReg1Copy(uint16_t value) { genReg1Copy_ = value; }

    // The scheduler's timers (objectNames ReadWriteTimer, RestartTimer, ButtonTimer, GenTimer).
    QTimer *ReadWriteTimer() const { return readWriteTimer_; }
    QTimer *RestartTimer() const { return restartTimer_; }
    QTimer *ButtonTimer() const { return buttonTimer_; }
    QTimer *GenTimer() const { return genTimer_; }

    // ---- Seams for the parts of the program that plug in later, and for tests ----
    // The blocking pauses of the search, the resets and the reconnect (default: ComData::WaitMs).
    std::function<void(int ms)> waitMs;
    // Receives the position taken after a software reset.
    std::function<void(int32_t position)> onPositionSnapshot;
    // Told of every data file saved or loaded successfully.
    std::function<void(const std::string &file)> onDataFile;
    // The worker control of the plot modes 1 to 3 (not owned; none: no worker starts in those modes).
    void SetPlotDataControl(DataControl *control);
    // Starts the read-all worker of the engineering display.
    void SetReadAllStarter(std::function<void()> start);

    // ---- Command scheduler ----
    // Sets the review flag (when asked) and the stop request, and arms ReadWriteTimer with the command.
    void QueueCommand(int code, int intervalMs, bool setReviewFlag = true);
    void ReadWriteTimerTimer();
    void ExecuteCommand(int code);
    // Starts (or keeps stopped) the worker of the current mode for its data state.
    void ApplyDataState();
    void UpdateWindowCaption();

    // ---- Data buttons of the current mode ----
    void Acquire();
    void Stop();
    void Back();
    void View();
    // A replay ended; unless a step back is in progress the mode stops.
    void StopAfterReplay();

    // ---- Plots ----
    // PlotTypeGroup's selection changed to `item` (display modes 1 and 3); the settings file is written.
    void PlotTypeGroupClick(int item);
    // The plot settings dialog's Apply was accepted: the entry is applied by command 12.
    void ApplyPlotOptions(const PlotOptionsEntry &entry, int pendingCount);

    // ---- Display modes ----
    // The common preparation of a switch (data controls off, review flag, stop request, a viewing state
    // of the mode left and of the status display becomes stopped), then the command of the new mode.
    void SwitchDisplayMode(DisplayMode newMode, int command, bool setReviewStep);
    // The menu's direct switches to a plot mode (the view items) and to the engineering display.
    void ShowPlotMode(DisplayMode mode, int command);
    void ShowEngineering();
    // The engineering display was closed: the mode shown before becomes current again at once.
    void LeaveEngineering();
    // The engineering display's Write button with the write box's text: an entry of exactly 8 hex digits
    // is kept as the address word and written by command 15; any other entry gets its message and
    // nothing is sent. Returns whether the write was queued.
    bool EngineeringWrite(const std::string &entry);
    // The engineering display's main-track AGC buttons (commands 26 and 27).
    void MainAgc(bool enable);

    // ---- Menu commands ----
    void SaveData(DisplayMode kind);
    void LoadData();
    // File > Load with the file already chosen (a dropped or a recent file): the same command loads it
    // without asking the open dialog.
    void LoadDataFile(const std::string &file);
    void ClearBuffers(int selector); // 0..3 one data set, 4 all
    void CenterIndex();
    void ZeroPosition();
    void ResetPosition();
    void SoftwareReset();
    void HardwareReset();
    void RequestSearch();
    // OK in the output settings dialog: the dialog's selection is taken now and written by command 25 on
    // its tick (with the GenReg1 copy of that moment), whatever the dialog shows by then.
    void WriteOutputSettings();
    void ShowInfo();
    // The calibration and alignment buttons of the status display (display mode 0 only): 22 Start Cal,
    // 23 Stop Cal, 24 Set, 28 AGC Off (alignment mode), 29 AGC On. Each stops the status monitor; the
    // command word is written once it has ended, and monitoring restarts after it. Other codes do nothing.
    void Calibration(int command);
    // A calibration check box was ticked or unticked: its bit (calibration::kIndex, ...) follows the box.
    // Start Cal sends the mask as it was when its button was clicked.
    void SetCalibrationOption(int bit, bool ticked);
    int CalibrationOptions() const { return calibrationOptions_; }
    void ResetAlarms();

    // ---- Connection ----
    // Polls COM1..COM256 for the electronics, side by side (the lowest port that answers wins); with a
    // port (1..256) that port alone. A port step.
    void Search(int port = 0);
    // The link failed (the worker has ended): asks the user, once the worker's handler has returned.
    void LinkFailure();

    // ---- Shutdown ----
    // Asks "Close Program?"; Yes starts the 1400 ms shutdown. Returns whether shutdown started.
    bool Close();
    // Starts the shutdown without asking.
    void ShutDownNow();

    // A worker that outlives this bound at shutdown is left alone with its access object.
    static constexpr std::chrono::milliseconds ShutdownWorkerWait{5000};

private:
    struct CommandEntry;
    static const std::array<CommandEntry, kLastCommand + 1> &Commands();

    void Finish();
    void Wait(int ms);
    // Runs `step` once no worker exists, holding the port from now until it has run; asks a running
    // worker to stop and tries again every 20 ms until then. When the step returns true the data state of
    // the current mode is applied after the port is released.
    void RunPortStep(std::function<bool()> step);
    void TryPortStep(std::shared_ptr<std::function<bool()>> step);
    void ReplaceAccess(std::unique_ptr<ComData> access);
    void AttachAccess();
    bool SearchNow(int port);
    void ReadIdentification();
    bool DecideLinkFailure();
    bool Reconnect();
    void EnterDemoMode();
    void EnterConnectedMode();
    void GenTimerTimer();
    void CloseAccessAtShutdown();

    // Commands of the scheduler that the session carries out itself.
    void RunCenterIndex();
    void RunShowInfo();
    void RunSearch();
    void RunSoftwareReset();
    void RunZeroPosition();
    void RunShowMode();
    void RunShowStatus();
    void RunShowEngineering();
    void RunLeaveEngineering();
    void RunEngineeringWrite();
    void RunApplyPlotSettings();
    void RunSaveData();
    void RunStepBack();
    void RunReplay();
    void RunLoadData();
    void RunStopData();
    void RunClearBuffers();
    void RunCalibration(int code);
    void RunWriteOutputSettings();
    void RunMainAgc(int code);

    SessionView &view_;
    std::string installDir_;
    Settings settings_;
    DataSets data_;
    std::unique_ptr<ComData> access_;
    std::unique_ptr<StatusController> status_;
    std::array<std::unique_ptr<PlotController>, 3> plots_;
    std::unique_ptr<EngineeringController> engineering_;
    CommandScheduler scheduler_;
    QTimer *readWriteTimer_;
    QTimer *restartTimer_;
    QTimer *buttonTimer_;
    QTimer *genTimer_;

    DisplayMode mode_ = DisplayMode::Status;
    DisplayMode previousMode_ = DisplayMode::Status;
    DataStates states_;
    PlotScaling scaling_;
    PlotOptionsEntry pendingPlotOptions_;
    int pendingPlotCount_ = 0;
    bool demo_ = false;
    bool review_ = false;
    bool restartSearch_ = false;
    bool shuttingDown_ = false;
    int portHold_ = 0;
    bool linkDecisionOpen_ = false;
    bool searchPending_ = false;
    int bufferSelector_ = 0;
    std::string loadFile_; // the file of LoadDataFile; empty: the load asks the open dialog
    int modelIndex_ = 0;
    int processorVersion_ = 0;
    uint16_t sensorType_ = 0;
    uint16_t interpDepth_ = 0;
    uint16_t interpolationCopy_ = 0;
    uint16_t genReg1Copy_ = 0;
    int calibrationOptions_ = 0;
    // What the queued commands 22 and 25 write, taken when the user asked for them.
    int startCalibrationMask_ = 0;
    OutputSelection pendingOutputs_;
};

} // namespace kpd
