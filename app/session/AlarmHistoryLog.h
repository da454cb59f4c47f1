// AlarmHistoryLog: what the alarm history window ("Alarm History Log...") shows and does. The window shows a
// copy of the status display's alarm history (newest first), taken when it is shown and on Refresh; lines
// added meanwhile appear only with the next copy. Clear History empties the history and the copy, greys the
// alarm lamps and sets the over-signal counter to 0. Save writes the copy as an ".alm" file chosen in the
// save dialog; a failed save leaves an existing file as it was and says so in an error box.
//
// The window never adds lines itself. User-interface thread only (the history is filled there too).
#pragma once

#include "platform/Dialogs.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kpd {

class StatusController;

class AlarmHistoryLog {
public:
    enum class SaveResult { Saved, Cancelled, Failed };

    // The error box of a failed save.
    static constexpr const char *kSaveFailedText =
        "Cannot Save to File.  Verify the file is not being used by any other application.";

    // status: the status display whose alarm history is shown; must outlive this object.
    explicit AlarmHistoryLog(StatusController &status);

    StatusController &Status() const { return status_; }

    // On show and on Refresh: the copy becomes the history as it is now.
    void Refresh();
    // Clear History.
    void ClearHistory();
    // Save to File: asks for the file (default extension "alm", the overwrite prompt) through the dialogs
    // seam and writes the copy; cancelling writes nothing.
    SaveResult Save();
    // Writes the copy to `file`, replacing it; on failure shows the error box and returns false.
    bool SaveTo(const std::filesystem::path &file);

    // The lines the window shows.
    const std::vector<std::string> &Lines() const { return lines_; }

    static platform::FileDialogOptions SaveDialogOptions();

private:
    StatusController &status_;
    std::vector<std::string> lines_;
};

} // namespace kpd
