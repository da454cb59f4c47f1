// The start and stop of the worker that belongs to a display mode. The main window's ApplyDataState
// calls SetDataControl for display modes 0 to 3 with the mode's data state as the command; the status
// monitor and the streaming acquisition implement it. Without an implementation no worker runs, and
// applying a data state starts nothing.
#pragma once

namespace kpd {

enum DataControlCommand : int { DataStop = 0, DataStartLive = 1, DataStepBack = 2, DataStartReplay = 3 };

class DataControl {
public:
    virtual ~DataControl() = default;
    // set: data set 0..3 (same numbers as the display modes); command: DataControlCommand.
    virtual void SetDataControl(int set, int command) = 0;
};

} // namespace kpd
