// A recording named on kpdctl's command line, loaded as KPD's File > Load loads it.
#pragma once

#include "data/DataSets.h"
#include "kpdctl/CtlOutput.h"

#include <optional>
#include <string>

namespace kpdctl {

// Loads `file` into `data`; a file KPD would refuse is reported on `out` (exit 1) and gives nothing.
std::optional<DataFileLoadResult> LoadRecordingFile(const std::string &file, DataSets &data, CtlOutput &out);

} // namespace kpdctl
