// record: a display mode's data recorded by KPD's own worker (the status monitor or the streaming
// acquisition) into the data set of that mode, then written with KPD's data-file writer.
#include "kpdctl/CtlCommands.h"

#include "kpdctl/CtlConnection.h"
#include "kpdctl/CtlStreamSink.h"
#include "kpdctl/ExitCode.h"
#include "kpdctl/Interrupt.h"

#include "data/DataFileSaveError.h"
#include "platform/NumberFormat.h"
#include "workers/StatusMonitor.h"
#include "workers/StatusSink.h"
#include "workers/StreamAcquisition.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace kpdctl {

namespace {

const char *KindName(RecordKind kind) {
    switch (kind) {
    case RecordKind::Encoder:
        return "encoder";
    case RecordKind::Strength:
        return "strength";
    case RecordKind::Plots:
        return "plots";
    default:
        return "status";
    }
}

const char *KindTitle(RecordKind kind) {
    switch (kind) {
    case RecordKind::Encoder:
        return "encoder signal";
    case RecordKind::Strength:
        return "signal strength";
    case RecordKind::Plots:
        return "position and signal plots";
    default:
        return "setup and status";
    }
}

// The status monitor's sink while recording: the samples go into the ring only.
class RecordingStatusSink : public kpd::StatusSink {
public:
    explicit RecordingStatusSink(ComData &com) : com_(com) {}
    void UpdateStatusDisplay(int32_t, float, uint32_t, uint16_t, float, bool, bool) override {}
    void ShowElapsedTime(float) override {}
    void StopAfterReplay() override {}
    void ReportLinkFailure() override {
        linkFailed = true;
        com_.StopStreaming();
    }
    bool linkFailed = false;

private:
    ComData &com_;
};

// Records written to a file: all buffered records but the oldest (see DataFileWriter).
int32_t RecordsInFile(const DataSetControl &set, int32_t capacity) {
    if (set.wrapped.load()) return capacity - 1;
    return std::max(0, set.count.load() - 1);
}

} // namespace

int RunRecord(const CtlOptions &options, CtlOutput &out) {
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    ComData &com = *c.com;
    const int set = static_cast<int>(options.recordKind);
    const std::string port = "COM" + std::to_string(com.PortNumber());

    RecordingStatusSink statusSink(com);
    CtlStreamSink streamSink(com);
    std::unique_ptr<kpd::StatusMonitor> monitor;
    std::unique_ptr<kpd::StreamAcquisition> acquisition;
    if (set == SetupStatusSet) {
        monitor = std::make_unique<kpd::StatusMonitor>(statusSink, &com);
        monitor->StartLive();
    } else {
        acquisition = std::make_unique<kpd::StreamAcquisition>(streamSink, &com);
        acquisition->StartLive(set);
    }
    const auto active = [&] { return monitor ? monitor->WorkerActive() : acquisition->WorkerActive(); };
    const DataSetControl &control = com.Data.Control(set);
    const int32_t capacity = DataSets::Capacity(set);

    const auto start = std::chrono::steady_clock::now();
    auto lastProgress = start - std::chrono::seconds(1);
    bool stopAsked = false;
    bool interrupted = false;
    RunLoop([&] {
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - start).count();
        if (!stopAsked && (seconds >= options.seconds || interrupt::Requested())) {
            stopAsked = true;
            interrupted = interrupt::Requested();
            com.StopRequest.store(true);
        }
        if (now - lastProgress >= std::chrono::milliseconds(200) && !stopAsked) {
            lastProgress = now;
            const long long records = control.wrapped.load() ? capacity : control.count.load();
            out.Progress(std::string("Recording ") + KindTitle(options.recordKind) + " on " + port + ": " +
                         platform::FormatFixed(std::min(seconds, options.seconds), 1) + " s of " +
                         platform::FormatFixed(options.seconds, 1) + " s, " + std::to_string(records) +
                         " records  (Ctrl+C stops, nothing is written)");
        }
        return !active();
    });
    out.ClearProgress();
    const double recorded = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (statusSink.linkFailed || streamSink.linkFailed) {
        out.Error("the electronics stopped answering on " + port + " (link failure); " + options.output +
                      " was not written",
                  ExitFailure);
        return ExitFailure;
    }
    if (interrupted) {
        out.Error("recording interrupted; " + options.output + " was not written", ExitFailure);
        return ExitFailure;
    }
    if (!stopAsked) {
        out.Error("the recording ended early on " + port + "; " + options.output + " was not written",
                  ExitFailure);
        return ExitFailure;
    }

    const Settings &s = c.settings;
    try {
        switch (options.recordKind) {
        case RecordKind::Status:
            com.Data.SaveSetupStatusFile(options.output, s.units, s.resolutionMultiplier,
                                         s.interpolationMultiplier);
            break;
        case RecordKind::Encoder:
            com.Data.SaveEncoderSignalFile(options.output);
            break;
        case RecordKind::Strength:
            com.Data.SaveSignalStrengthFile(options.output, s.units, s.resolutionMultiplier,
                                            s.interpolationMultiplier);
            break;
        case RecordKind::Plots:
            com.Data.SavePositionVelocityFile(options.output, s.units, s.resolutionMultiplier,
                                              s.interpolationMultiplier);
            break;
        }
    } catch (const DataFileSaveError &e) {
        out.Error("cannot write " + options.output + ": " + e.what(), ExitFailure);
        return ExitFailure;
    }

    const int32_t records = RecordsInFile(control, capacity);
    QJsonObject o;
    o["type"] = "recorded";
    o["kind"] = KindName(options.recordKind);
    o["file"] = QString::fromStdString(options.output);
    o["records"] = records;
    o["wrapped"] = control.wrapped.load();
    o["seconds"] = std::round(recorded * 1000.0) / 1000.0;
    o["elapsed"] = std::round(static_cast<double>(control.elapsed.load()) * 1000.0) / 1000.0;
    o["port"] = com.PortNumber();
    std::string text = std::string("recorded ") + platform::FormatFixed(recorded, 1) + " s of " +
                       KindTitle(options.recordKind) + " on " + port + ": " + std::to_string(records) +
                       " records written to " + options.output;
    if (control.wrapped.load()) text += " (the recording filled its buffer: the newest records are kept)";
    out.Emit(o, text);
    return ExitOk;
}

} // namespace kpdctl
