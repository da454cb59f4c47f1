// StatusSink: the window side of the status monitor. The main window implements it; the status monitor
// thread and its control call it, always on the user-interface thread.
#pragma once

#include <cstdint>

namespace kpd {

class StatusSink {
public:
    virtual ~StatusSink() = default;

    // One sample of the status display: the position relative to the zero offset (counts), the signal
    // magnitude, the status word (AtStatus in the low half, Status in the high half), the last GenReg1
    // value, the elapsed recording time in seconds, whether the sample is replayed and whether the signal
    // evaluation runs for it (every fourth sample). A replayed sample carries no fresh GenReg1 value
    // (genReg1 is 0 then): the window keeps its GenReg1 copy when replay is true.
    virtual void UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t genReg1,
                                     float elapsed, bool replay, bool evaluate) = 0;
    // The time display alone (stop, step back, replay without a window).
    virtual void ShowElapsedTime(float seconds) = 0;
    // A replay ran to its end; unless a step-back review is in progress the window performs its Stop action.
    virtual void StopAfterReplay() = 0;
    // The live monitor ended because the link failed; the window asks the user how to continue.
    virtual void ReportLinkFailure() = 0;
};

} // namespace kpd
