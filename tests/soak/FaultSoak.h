// FaultSoak: one run of the fault soak. It builds the program's windows as the program entry does, against
// simulated electronics on a pseudo-terminal paced like the real line, and for the given time switches the
// electronics' faults at random (FaultSchedule) while a random user works the window (ActionDriver) and
// every dialog is answered at random but validly (SoakDialogs, ModalDialogs). A watchdog aborts on a hang of
// the user-interface thread.
//
// What it checks on the way: every saved file loads back equal (SoakDialogs); every load fills the data set
// with the file's records; the records the encoder signal and signal plot recordings kept are, in order,
// records the electronics sent (RecordCheck); and that the tool gets going again once the faults have
// stopped (a queued command runs, a live display acquires, a link failure is recovered from). A failure
// prints what went wrong, the seed and the figures, and ends the process with status 1.
#pragma once

#include "ActionDriver.h"
#include "FaultSchedule.h"
#include "ModalDialogs.h"
#include "RecordCheck.h"
#include "SoakDialogs.h"
#include "SoakFigures.h"
#include "Watchdog.h"

#include "kpdsim/Simulator.h"
#include "platform/Dialogs.h"

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

class QTimer;
class TMainForm;

namespace soak {

struct SoakOptions {
    double seconds = 60;
    uint64_t seed = 0;
    bool verbose = false; // print each action and fault switch
};

class FaultSoak : public QObject {
public:
    FaultSoak(const SoakOptions &options, std::string portDir, std::filesystem::path folder);
    ~FaultSoak() override;

    // Starts the electronics, builds the windows (the first search runs here, as at program start), and
    // arms the soak's timers. False (with a message on stderr) when the electronics cannot start.
    bool Start();
    // After the event loop has returned: the windows go, the figures are printed. Returns the exit status.
    int Finish();

    [[noreturn]] void Fail(const std::string &what);

private:
    void Tick();
    void DrainRecords();
    void CheckRecords(int set);
    void TrackProgress(int64_t nowMs);
    void Act(int64_t nowMs);
    void EndStep(int64_t nowMs);
    // Ends a live recording of the current plot mode (its Stop button, else the button's entry point).
    void StopRecording();
    uint64_t Progress() const;
    // The counters the figures take from the tool and the electronics.
    void CollectCounters();
    bool StreamWorkerExists() const;
    std::string State() const;
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    SoakOptions options_;
    std::string portDir_;
    std::filesystem::path folder_;
    std::mt19937_64 rng_;
    SoakFigures figures_;
    std::unique_ptr<kpdsim::Simulator> sim_;
    std::unique_ptr<SoakDialogs> dialogs_;
    std::unique_ptr<platform::ScopedDialogs> dialogScope_;
    std::unique_ptr<ModalDialogs> modal_;
    std::unique_ptr<FaultSchedule> faults_;
    std::unique_ptr<Watchdog> watchdog_;
    std::unique_ptr<ActionDriver> driver_;
    RecordCheck encoderCheck_;
    RecordCheck positionCheck_;
    uint64_t checkedTotal_[4] = {};
    TMainForm *form_ = nullptr;
    QTimer *heartbeat_ = nullptr;
    QTimer *tick_ = nullptr;
    QElapsedTimer clock_;
    int64_t nextActionMs_ = 3000;
    std::string lastAction_ = "start-up";
    uint64_t actionsDone_ = 0;
    bool inTick_ = false;

    // Progress and recovery.
    uint64_t lastProgress_ = 0;
    int64_t lastProgressMs_ = 0;
    bool linkFailureOpen_ = false;
    uint64_t progressAtFailure_ = 0;
    int64_t demoSinceMs_ = -1;
    int64_t liveSinceMs_ = -1; // a plot mode recording live
    int liveMode_ = -1;
    int64_t armedSinceMs_ = -1; // a command has waited since

    // Ending.
    bool ending_ = false;
    int64_t endingSinceMs_ = 0;
    int endingStage_ = 0;
    bool shutdownAsked_ = false;
};

} // namespace soak
