#include "kpdctl/RecordingFile.h"

#include "kpdctl/ExitCode.h"

#include <exception>
#include <filesystem>

namespace kpdctl {

std::optional<DataFileLoadResult> LoadRecordingFile(const std::string &file, DataSets &data, CtlOutput &out) {
    DataFileLoadResult loaded;
    try {
        loaded = data.LoadDataFile(std::filesystem::path(file));
    } catch (const std::exception &e) {
        loaded.reason = e.what();
    }
    if (!loaded.ok) {
        out.Error("cannot read " + file + ": not a data file KPD loads", ExitFailure);
        return std::nullopt;
    }
    return loaded;
}

} // namespace kpdctl
