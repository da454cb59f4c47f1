// lissajous: the least-squares ellipse fit of the encoder signal's adjusted pair, from records KPD's own
// streaming acquisition reads (live) or from a recording (.lis).
#include "kpdctl/CtlCommands.h"

#include "kpdctl/CtlConnection.h"
#include "kpdctl/CtlStreamSink.h"
#include "kpdctl/ExitCode.h"
#include "kpdctl/Interrupt.h"
#include "kpdctl/RecordingFile.h"

#include "data/DataSets.h"
#include "platform/NumberFormat.h"
#include "workers/LissajousFit.h"
#include "workers/StreamAcquisition.h"

#include <cmath>
#include <memory>

namespace kpdctl {

namespace {

double Rounded(double v, int decimals) {
    const double k = std::pow(10.0, decimals);
    const double r = std::round(v * k) / k;
    return r == 0.0 ? 0.0 : r; // no -0
}

std::string Signed(double v, int decimals) {
    const std::string s = platform::FormatFixed(v, decimals);
    return s.front() == '-' || Rounded(v, decimals) == 0.0 ? s : "+" + s;
}

// Prints a fit; false (and an error) when there is none.
bool Print(const kpd::LissajousFit &fit, CtlOutput &out) {
    if (!fit.ok) {
        out.Error("no fit: " + fit.reason, ExitFailure);
        return false;
    }
    QJsonObject o;
    o["offset_x_pct"] = Rounded(fit.offsetXPct, 4);
    o["offset_y_pct"] = Rounded(fit.offsetYPct, 4);
    o["amplitude_ratio"] = Rounded(fit.amplitudeRatio, 5);
    o["phase_error_deg"] = Rounded(fit.phaseErrorDeg, 4);
    o["radius_v"] = Rounded(fit.radiusV, 5);
    o["ripple_pct"] = Rounded(fit.ripplePct, 4);
    o["records"] = fit.records;
    out.Emit(o, "offset X " + Signed(fit.offsetXPct, 2) + " %, offset Y " + Signed(fit.offsetYPct, 2) +
                    " %, amplitude ratio " + platform::FormatFixed(fit.amplitudeRatio, 4) + ", phase error " +
                    Signed(fit.phaseErrorDeg, 2) + " deg, radius " + platform::FormatFixed(fit.radiusV, 3) +
                    " V, ripple " + platform::FormatFixed(fit.ripplePct, 2) + " %, " +
                    std::to_string(fit.records) + " records");
    return true;
}

int FitFile(const CtlOptions &options, CtlOutput &out) {
    DataSets data;
    const std::optional<DataFileLoadResult> loaded = LoadRecordingFile(options.file, data, out);
    if (!loaded) return ExitFailure;
    if (loaded->kind != EncoderSignalSet) {
        out.Error(options.file + " is not an encoder signal recording (.lis)", ExitFailure);
        return ExitFailure;
    }
    const EncoderSignalDataSet &ring = data.EncoderSignal();
    return Print(kpd::FitLissajousRing(ring.w4, ring.w3, loaded->count - 1,
                                       std::min(loaded->count, options.records)),
                 out)
               ? ExitOk
               : ExitFailure;
}

} // namespace

int RunLissajous(const CtlOptions &options, CtlOutput &out) {
    if (!options.file.empty()) return FitFile(options, out);
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    ComData &com = *c.com;
    CtlStreamSink sink(com);
    kpd::StreamAcquisition acquisition(sink, &com);
    acquisition.StartLive(EncoderSignalSet);

    const EncoderSignalDataSet &ring = com.Data.EncoderSignal();
    const auto records = static_cast<uint64_t>(options.records);
    uint64_t next = records; // the run's record count at which the next fit is due
    int fits = 0, failed = 0;
    bool stopAsked = false;
    RunLoop([&] {
        if (!stopAsked && sink.run) {
            const uint64_t published = sink.run->published.load(std::memory_order_acquire);
            if (published >= next) {
                // The newest N records, read while the worker writes the slots after them.
                const auto newest =
                    static_cast<int32_t>((static_cast<uint64_t>(sink.run->firstIndex) + published - 1) %
                                         static_cast<uint64_t>(EncoderSignalDataSet::Capacity));
                const bool ok = Print(kpd::FitLissajousRing(ring.w4, ring.w3, newest, options.records), out);
                ++fits;
                failed += ok ? 0 : 1;
                next = published + records;
                if (!options.watch || out.OutputFailed()) stopAsked = true;
            }
            if (!stopAsked && !options.watch)
                out.Progress("Reading encoder signal records: " + std::to_string(published) + " of " +
                             std::to_string(records) + "  (Ctrl+C stops)");
        }
        if (!stopAsked && interrupt::Requested()) stopAsked = true;
        if (stopAsked) com.StopRequest.store(true);
        return !acquisition.WorkerActive();
    });
    out.ClearProgress();

    const std::string port = "COM" + std::to_string(com.PortNumber());
    if (sink.linkFailed) {
        out.Error("the electronics stopped answering on " + port + " (link failure)", ExitFailure);
        return ExitFailure;
    }
    if (options.watch) return out.OutputFailed() && !out.OutputClosed() ? ExitFailure : ExitOk;
    if (fits == 0) {
        out.Error("interrupted before " + std::to_string(records) + " records were read", ExitFailure);
        return ExitFailure;
    }
    return failed == 0 && !out.OutputFailed() ? ExitOk : ExitFailure;
}

} // namespace kpdctl
