// calibrate and align: command-register writes sent as KPD's scheduler sends them (the status monitor
// stops, the command goes out, monitoring restarts), with the operating-state texts of KPD's evaluation.
#include "kpdctl/CtlCommands.h"

#include "kpdctl/CalibrationProcedure.h"
#include "kpdctl/CtlConnection.h"
#include "kpdctl/ExitCode.h"
#include "kpdctl/Interrupt.h"
#include "kpdctl/StatusWatch.h"

#include "platform/NumberFormat.h"

#include <QSocketNotifier>

#include <chrono>
#include <memory>
#include <unistd.h>

namespace kpdctl {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kStartWaitSeconds = 5.0; // for the electronics to report calibration mode after Start Cal
constexpr double kAlignWaitSeconds = 5.0; // default wait for the new mode after an align command

double Since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

QJsonObject StateJson(const DecodedStatus &d) {
    QJsonObject o;
    o["type"] = "state";
    o["state"] = d.state;
    o["text"] = QString::fromStdString(StateLine(d));
    o["stateText"] = QString::fromStdString(d.stateText);
    o["calibrationText"] = QString::fromStdString(d.calibrationText);
    o["error"] = d.calibrationError;
    o["setRequested"] = d.setRequested;
    return o;
}

void PrintState(CtlOutput &out, const DecodedStatus &d) {
    out.Emit(StateJson(d), StateLine(d) + (d.calibrationError ? " (error)" : ""));
}

// Presses of Enter on standard input (a terminal, or lines from a pipe).
class EnterKey {
public:
    EnterKey() : terminal_(::isatty(STDIN_FILENO) == 1) {
        notifier_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Read(); });
    }
    bool Terminal() const { return terminal_; }
    bool Closed() const { return closed_; }
    // Takes one press; on a terminal only presses made while `waiting` count.
    bool Take() {
        if (presses_ == 0) return false;
        --presses_;
        return true;
    }
    bool waiting = false;

private:
    void Read() {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            closed_ = true;
            notifier_->setEnabled(false);
            return;
        }
        for (ssize_t i = 0; i < n; ++i)
            if (buf[i] == '\n' && (waiting || !terminal_)) ++presses_;
    }
    bool terminal_;
    bool closed_ = false;
    int presses_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

int RunCalibrate(const CtlOptions &options, CtlOutput &out) {
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    const std::string port = "COM" + std::to_string(c.com->PortNumber());
    StatusWatch watch(*c.com, c.settings, c.identity.processorVersion);
    watch.SetTicked(options.calibrationMask != 0);

    enum class Phase { First, Starting, Running, Stopping, Last, Done } phase = Phase::First;
    CalibrationProcedure procedure;
    std::string failure;
    int exitCode = ExitOk;
    bool setDue = false;
    Clock::time_point setAt{};
    Clock::time_point phaseStart = Clock::now();
    const Clock::time_point begin = Clock::now();
    std::unique_ptr<EnterKey> enter;
    if (!options.calibrationStop && options.setAfter < 0) enter = std::make_unique<EnterKey>();
    bool stopCalDone = false;
    Clock::time_point lastStart = Clock::now();

    const auto fail = [&](const std::string &why) {
        if (failure.empty()) failure = why;
        exitCode = ExitFailure;
    };
    // Ends the run with Stop Cal and shows the state the electronics return to.
    const auto stopCalibration = [&] {
        phase = Phase::Stopping;
        setDue = false;
        watch.Queue([&](ComData &com) {
            (void)com.StopCalibration(); // as in KPD, a lost link shows in the restarted monitor
            stopCalDone = true;
        });
    };
    const auto sendSet = [&] {
        procedure.SetSent();
        setDue = false;
        if (enter) enter->waiting = false;
        QJsonObject o;
        o["type"] = "set";
        out.Emit(o, "Set");
        watch.Queue([](ComData &com) { (void)com.SetCalibration(); });
    };

    watch.onSample = [&](const DecodedStatus &d) {
        switch (phase) {
        case Phase::First:
            PrintState(out, d);
            if (options.calibrationStop) {
                stopCalibration();
                break;
            }
            if (d.state != 0 && d.state != 1) {
                fail("refused: the electronics are not in operational or alignment mode (state " +
                     std::to_string(d.state) + "); kpdctl calibrate --stop ends a calibration left running");
                phase = Phase::Done;
                watch.RequestStop();
                break;
            }
            phase = Phase::Starting;
            phaseStart = Clock::now();
            procedure.OnSample(d); // the text already shown
            watch.Queue([mask = options.calibrationMask](ComData &com) { (void)com.StartCalibration(mask); });
            break;
        case Phase::Starting:
        case Phase::Running: {
            const CalibrationProcedure::Step step = procedure.OnSample(d);
            if (step.textChanged) PrintState(out, d);
            if (procedure.Started()) phase = Phase::Running;
            if (step.setWanted) {
                if (options.setAfter >= 0) {
                    setDue = true;
                    setAt = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>(options.setAfter));
                } else if (enter) {
                    enter->waiting = true;
                    QJsonObject o;
                    o["type"] = "setRequest";
                    o["text"] = QString::fromStdString(d.calibrationText);
                    out.Emit(o, "Press Enter to send Set (Ctrl+C stops the calibration)");
                }
            }
            if (step.finished) {
                if (procedure.Failed()) fail("calibration failed: " + procedure.Failure());
                stopCalibration();
            }
            break;
        }
        case Phase::Stopping:
            if (!stopCalDone) break;
            phase = Phase::Last;
            lastStart = Clock::now();
            [[fallthrough]];
        case Phase::Last:
            if (d.state == 0 || d.state == 1 || options.calibrationStop) {
                PrintState(out, d);
                phase = Phase::Done;
                watch.RequestStop();
            }
            break;
        case Phase::Done:
            break;
        }
    };

    watch.Start();
    bool interruptHandled = false;
    RunLoop([&] {
        watch.Tick();
        if (interrupt::Requested() && !interruptHandled) {
            interruptHandled = true;
            if (phase == Phase::Starting || phase == Phase::Running) {
                fail("calibration stopped (Ctrl+C)");
                stopCalibration();
            } else if (phase != Phase::Stopping && phase != Phase::Last) {
                fail("interrupted");
                phase = Phase::Done;
                watch.RequestStop();
            }
        }
        if (phase == Phase::Starting && !watch.CommandQueued() && Since(phaseStart) > kStartWaitSeconds) {
            fail("the electronics did not enter calibration mode");
            stopCalibration();
        }
        if (phase == Phase::Running && options.timeout > 0 && Since(begin) > options.timeout) {
            fail("the calibration did not end within " + platform::FormatGeneral(options.timeout) + " s");
            stopCalibration();
        }
        if (phase == Phase::Running && procedure.SetPending()) {
            if (setDue && Clock::now() >= setAt) {
                sendSet();
            } else if (enter && enter->Take()) {
                sendSet();
            } else if (enter && enter->Closed() && options.setAfter < 0) {
                fail("the calibration asks for Set and standard input is closed (use --set-after S)");
                stopCalibration();
            }
        }
        if (phase == Phase::Last && Since(lastStart) > kStartWaitSeconds) {
            phase = Phase::Done; // the electronics stay where they are; what they show was printed
            watch.RequestStop();
        }
        return !watch.WorkerActive() && !watch.CommandQueued();
    });

    if (watch.LinkFailed()) {
        out.Error("the electronics stopped answering on " + port + " (link failure)", ExitFailure);
        return ExitFailure;
    }
    if (!options.calibrationStop) {
        QJsonObject o;
        o["type"] = "calibrated";
        o["ok"] = exitCode == ExitOk;
        o["mask"] = options.calibrationMask;
        o["result"] = QString::fromStdString(failure.empty() ? "Calibration Complete" : failure);
        if (exitCode == ExitOk)
            out.Emit(o, "calibration complete");
        else if (out.Json())
            out.Emit(o, {});
    }
    if (!failure.empty()) out.Error(failure, exitCode);
    return exitCode;
}

int RunAlign(const CtlOptions &options, CtlOutput &out) {
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    const std::string port = "COM" + std::to_string(c.com->PortNumber());
    StatusWatch watch(*c.com, c.settings, c.identity.processorVersion);
    const int target = options.alignOn ? 1 : 0;
    const double wait = options.timeout > 0 ? options.timeout : kAlignWaitSeconds;

    enum class Phase { First, Sent, Done } phase = Phase::First;
    bool commandDone = false;
    std::string failure;
    std::string lastText;
    Clock::time_point sentAt = Clock::now();
    watch.onSample = [&](const DecodedStatus &d) {
        const std::string text = StateLine(d);
        if (text != lastText) {
            PrintState(out, d);
            lastText = text;
        }
        if (phase == Phase::First) {
            if (d.state != 0 && d.state != 1) {
                failure = "refused: the electronics are in calibration mode (state " +
                          std::to_string(d.state) +
                          "); the alignment buttons work in operational and alignment mode only";
                phase = Phase::Done;
                watch.RequestStop();
                return;
            }
            phase = Phase::Sent;
            sentAt = Clock::now();
            watch.Queue([&](ComData &com) {
                (void)(options.alignOn ? com.StartAlignment() : com.StopAlignment());
                commandDone = true;
            });
            return;
        }
        if (phase == Phase::Sent && commandDone && d.state == target) {
            phase = Phase::Done;
            watch.RequestStop();
        }
    };
    watch.Start();
    bool interruptHandled = false;
    RunLoop([&] {
        watch.Tick();
        if (interrupt::Requested() && !interruptHandled) {
            interruptHandled = true;
            if (phase != Phase::Done) failure = "interrupted";
            phase = Phase::Done;
            watch.RequestStop();
        }
        if (phase == Phase::Sent && Since(sentAt) > wait) {
            failure = std::string("the electronics did not report ") +
                      (options.alignOn ? "alignment mode" : "operational mode") + " within " +
                      platform::FormatGeneral(wait) + " s";
            phase = Phase::Done;
            watch.RequestStop();
        }
        return !watch.WorkerActive() && !watch.CommandQueued();
    });
    if (watch.LinkFailed()) {
        out.Error("the electronics stopped answering on " + port + " (link failure)", ExitFailure);
        return ExitFailure;
    }
    if (!failure.empty()) {
        out.Error(failure, ExitFailure);
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace kpdctl
