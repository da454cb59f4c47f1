// ModeController: what differs between the display modes, behind one small interface. The session keeps
// one controller per mode and hands it the mode's part of a command: the layout of the mode, the start and
// stop of its worker for a data state, the extra work of the data buttons, and the mode's data file.
#pragma once

#include "session/DataStates.h"
#include "session/DisplayMode.h"

#include <filesystem>

namespace kpd {

// Texts of the save dialog of a mode's data file.
struct SaveDialogTexts {
    const char *title = "";
    const char *ext = "";
    const char *filter = "";
};

class ModeController {
public:
    virtual ~ModeController() = default;
    virtual DisplayMode Mode() const = 0;

    // Lays out the mode's display (the scheduler's show command of the mode).
    virtual void Layout() = 0;
    // Starts or stops the mode's worker for a data state (ApplyDataState).
    virtual void SetDataControl(DataState state) = 0;
    // True while a worker started by this controller exists.
    virtual bool WorkerActive() const { return false; }

    // Acquire made the mode live from another state.
    virtual void OnAcquire() {}
    // View starts a replay.
    virtual void OnView() {}

    // The mode's data file: whether it has one, the save dialog, the save itself (throws
    // DataFileSaveError when it cannot be written), and the display of a loaded file.
    virtual bool HasDataFile() const { return false; }
    virtual SaveDialogTexts SaveDialog() const { return {}; }
    virtual void Save(const std::filesystem::path &) const {}
    virtual void ShowLoaded() {}
};

} // namespace kpd
