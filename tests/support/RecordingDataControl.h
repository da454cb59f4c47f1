// A data control that records every SetDataControl call (set, command) instead of starting workers.
#pragma once

#include "workers/DataControl.h"

#include <utility>
#include <vector>

namespace kpdtest {

struct RecordingDataControl : kpd::DataControl {
    std::vector<std::pair<int, int>> calls;
    void SetDataControl(int set, int command) override { calls.emplace_back(set, command); }
};

} // namespace kpdtest
