// The data state of each display mode 0 to 3 and its transitions, in one place. The data buttons, the
// scheduler's stop, step-back and replay commands, the end of a replay and a switch of display mode change
// the state only through these operations.
#pragma once

#include "session/DisplayMode.h"
#include "workers/DataControl.h"

#include <array>

namespace kpd {

enum class DataState : int {
    Stopped = 0,
    Live = 1,
    SteppingBack = 2, // only while the step-back command runs
    Viewing = 3,      // viewing buffered data
};

// The window caption of a data state: "Data Display Stopped", "Live Data", "Viewing Buffered Data".
const char *CaptionOf(DataState state);

// The command that applying a data state gives the mode's worker control.
constexpr int DataControlCommandOf(DataState state) {
    return static_cast<int>(state); // Stop 0, StartLive 1, StepBack 2, StartReplay 3
}

class DataStates {
public:
    // Every mode starts live.
    DataStates() { ResetAllLive(); }

    // The state of a mode with a data set; Stopped for the engineering display.
    DataState Of(DisplayMode mode) const;
    void Set(DisplayMode mode, DataState state);
    void ResetAllLive() { states_.fill(DataState::Live); }

    // Acquire: live from stopped or stepping back; nothing while viewing. Returns whether the state
    // changed to live from another state (the status display then resets its alarm lamps), and through
    // `applies` whether the live state is to be applied (false only while viewing).
    struct AcquireResult {
        bool applies = false;
        bool wasNotLive = false;
    };
    AcquireResult Acquire(DisplayMode mode);
    // Stop: stopped.
    void Stop(DisplayMode mode);
    // View: from stopped or stepping back to viewing (the replay starts); false and no change while live
    // or already viewing.
    bool View(DisplayMode mode);
    // The step-back command: stepping back while it runs, then stopped.
    void BeginStepBack(DisplayMode mode);
    void EndStepBack(DisplayMode mode);
    // Leaving a mode (display switch, save): viewing becomes stopped.
    void Leave(DisplayMode mode);

private:
    std::array<DataState, 4> states_{};
};

} // namespace kpd
