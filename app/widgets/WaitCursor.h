#pragma once
// The hourglass cursor. Like the program's screen cursor it is a setting, not a stack: showing it twice
// and then the default cursor once leaves the default cursor. It is carried out with
// QApplication::setOverrideCursor(Qt::WaitCursor) / restoreOverrideCursor() when a QApplication exists;
// without one only the state is kept. User-interface thread only.

namespace platform {

// Shows the hourglass (true) or the default cursor (false).
void SetHourglass(bool on);
inline void ShowHourglass() {
    SetHourglass(true);
}
inline void ShowDefaultCursor() {
    SetHourglass(false);
}

// Whether the hourglass is shown now.
bool HourglassShown();

// How many times the hourglass was switched on (from off) since the start; lets tests see that an
// operation showed it even when it was switched off again.
int HourglassCount();

// Shows the hourglass for its lifetime and the default cursor afterwards.
class HourglassScope {
public:
    HourglassScope() { SetHourglass(true); }
    ~HourglassScope() { SetHourglass(false); }
    HourglassScope(const HourglassScope &) = delete;
    HourglassScope &operator=(const HourglassScope &) = delete;
};

} // namespace platform
