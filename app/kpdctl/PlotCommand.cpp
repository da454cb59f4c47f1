// plot: a recorded .lis, .str or .pos file drawn through KPD's plot engine without a display, as KPD shows
// it after loading the file, written as PNG.
#include "kpdctl/CtlCommands.h"

#include "kpdctl/ExitCode.h"
#include "kpdctl/RecordingFile.h"

#include "data/DataSets.h"
#include "data/Settings.h"
#include "display/StoredPlotPicture.h"
#include "platform/InstallDirectory.h"

#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace kpdctl {

namespace {

const char *KindTitle(kpd::DisplayMode mode) {
    switch (mode) {
    case kpd::DisplayMode::EncoderSignal:
        return "encoder signal";
    case kpd::DisplayMode::SignalStrength:
        return "signal strength";
    default:
        return "position and velocity";
    }
}

} // namespace

int RunPlot(const CtlOptions &options, CtlOutput &out) {
    DataSets data;
    const std::optional<DataFileLoadResult> loaded = LoadRecordingFile(options.file, data, out);
    if (!loaded) return ExitFailure;
    if (loaded->kind < 1 || loaded->kind > 3) {
        out.Error(options.file +
                      " holds setup and status data, which KPD shows without a plot (plot draws .lis, "
                      ".str and .pos files)",
                  ExitFailure);
        return ExitFailure;
    }
    const auto mode = static_cast<kpd::DisplayMode>(loaded->kind);
    QSize size(options.plotWidth, options.plotHeight);
    if (size.isEmpty()) size = mode == kpd::DisplayMode::EncoderSignal ? QSize(400, 400) : QSize(500, 400);
    if (mode == kpd::DisplayMode::EncoderSignal && size.width() != size.height()) {
        out.Error("the encoder signal plot is square: --size needs NxN for a .lis file", ExitUsage);
        return ExitUsage;
    }

    // KPD's plot settings; a file with header values brings its units, as KPD shows it without electronics.
    Settings settings;
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    settings.LoadSettings(platform::InstallDirectoryOr(ec ? std::string(".") : cwd.string()));
    if (loaded->hasHeader) settings.units = loaded->header.unitsName;

    const QImage picture = kpd::RenderPlotPicture(kpd::StoredPlotContent(data, mode, settings, 0, size));
    QSaveFile file(QString::fromStdString(options.output));
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        out.Error("cannot write " + options.output + ": " + file.errorString().toStdString(), ExitFailure);
        return ExitFailure;
    }
    QJsonObject o;
    o["type"] = "plot";
    o["file"] = QString::fromStdString(options.file);
    o["kind"] = KindTitle(mode);
    o["records"] = loaded->count;
    o["output"] = QString::fromStdString(options.output);
    o["width"] = picture.width();
    o["height"] = picture.height();
    out.Emit(o, std::string("plot of ") + options.file + " (" + KindTitle(mode) + ", " +
                    std::to_string(loaded->count) + " records) written to " + options.output + " (" +
                    std::to_string(picture.width()) + " x " + std::to_string(picture.height()) + " pixels)");
    return ExitOk;
}

} // namespace kpdctl
