#include "workers/AlarmHistory.h"

#include "data/DataFileSaveError.h"
#include "data/FileReplacement.h"

namespace kpd {

bool AlarmHistory::SaveToFile(const std::filesystem::path &path, std::string *error) const {
    return SaveAlarmFile(Snapshot(), path, error);
}

bool SaveAlarmFile(const std::vector<std::string> &lines, const std::filesystem::path &path,
                   std::string *error) {
    if (path.empty() || !path.has_filename()) {
        if (error) *error = "no file name given";
        return false;
    }
    std::string text;
    for (const std::string &line : lines) {
        text += line;
        text += "\r\n";
    }
    // Replaced like a data file: never half written, and never over anything but a regular file.
    try {
        FileReplacement::ReplaceFile(path, text);
    } catch (const DataFileSaveError &e) {
        if (error) *error = e.what();
        return false;
    }
    return true;
}

} // namespace kpd
