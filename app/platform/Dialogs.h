#pragma once
// The one seam for the program's modal dialogs: message boxes with chosen buttons, and the file open and
// save dialogs. The program uses Dialogs::Instance(); the program entry sets the real dialogs (QtDialogs:
// QMessageBox, QFileDialog) as the default. Tests and the program's self-test install a ScriptedDialogs
// (ScriptedDialogs.h), which answers from a queue and records every question, and never blocks.
//
// All calls belong to the user-interface thread.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class MessageKind { Warning, Information, Error, Confirmation };

enum class MessageButtons {
    Ok,          // "OK"
    OkCancel,    // "OK", "Cancel"
    YesNo,       // "Yes", "No"
    RetryIgnore, // "Retry", "Ignore"
    YesNoAll,    // "Yes", "No", "All"
};

enum class MessageResult {
    Ok,
    Cancel, // the Cancel button (boxes with OK and Cancel; Escape presses it there)
    Yes,
    No,
    Retry,
    Ignore,
    All,
    Closed, // dismissed without choosing a button (Escape, window close) where there is no Cancel
            // button; callers that must have an answer ask again
};

// Whether `result` is one of the buttons of `buttons` (Closed never is).
bool IsButtonOf(MessageResult result, MessageButtons buttons);

// The box's cancel-like button: Cancel, No, Ignore or OK. A scripted answerer with an empty script uses
// it so that callers which re-ask after Closed cannot loop forever.
MessageResult CancelLikeButton(MessageButtons buttons);

// Caption used when the caller gives none: "Warning", "Information", "Error", "Confirm".
std::string DefaultCaption(MessageKind kind);

// Names for messages and test output: "Yes", "All", "Closed", "YesNoAll", "Warning", ...
std::string ToString(MessageResult result);
std::string ToString(MessageButtons buttons);
std::string ToString(MessageKind kind);

struct FileDialogOptions {
    std::string title;
    std::string defaultExt;      // without the dot, e.g. "lis"; appended to a chosen name without extension
    std::string filter;          // Windows form "Desc|*.ext|Desc|*.a;*.b"
    int filterIndex = 1;         // 1-based index of the filter selected at first
    std::string initialDir;      // empty: the dialog's own choice
    std::string fileName;        // proposed file name
    bool overwritePrompt = true; // save only: ask before replacing an existing file
};

// "Desc|*.ext|Desc2|*.a;*.b" -> "Desc (*.ext);;Desc2 (*.a *.b)". A description without a pattern gets
// "*"; empty parts are dropped.
std::string ConvertFilter(std::string_view windowsFilter);

// The Qt filter string of entry `index` (1-based) of a Windows filter, or "" when out of range.
std::string SelectedFilter(std::string_view windowsFilter, int index);

// Appends "." + defaultExt when the file name part of `path` has no extension and defaultExt is not
// empty.
std::string ApplyDefaultExtension(const std::string &path, std::string_view defaultExt);

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The dialogs in use: the installed ones, else the default, else answerers that pick each box's
    // cancel-like button and cancel every file dialog (nothing may block without a real default).
    static Dialogs &Instance();
    // Installs `dialogs` (not owned) and returns the previous installation (nullptr = the default).
    // Install(nullptr) returns to the default.
    static Dialogs *Install(Dialogs *dialogs);
    // The default dialogs (not owned; the program entry sets the real ones once at start).
    static void SetDefault(Dialogs *dialogs);

    // A modal message box. An empty caption gives DefaultCaption(kind).
    virtual MessageResult Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                  std::string_view caption = {}) = 0;
    // File open dialog; nothing when cancelled.
    virtual std::optional<std::string> OpenFile(const FileDialogOptions &options) = 0;
    // File save dialog with the default extension applied and, when asked for, the overwrite prompt;
    // nothing when cancelled.
    virtual std::optional<std::string> SaveFile(const FileDialogOptions &options) = 0;
};

// Installs dialogs for the lifetime of this object and restores the previous ones afterwards.
class ScopedDialogs {
public:
    explicit ScopedDialogs(Dialogs &dialogs) : previous_(Dialogs::Install(&dialogs)) {}
    ~ScopedDialogs() { Dialogs::Install(previous_); }
    ScopedDialogs(const ScopedDialogs &) = delete;
    ScopedDialogs &operator=(const ScopedDialogs &) = delete;

private:
    Dialogs *previous_;
};

// Shorthand for Dialogs::Instance().Message(...).
MessageResult ShowMessage(MessageKind kind, std::string_view text, MessageButtons buttons,
                          std::string_view caption = {});

} // namespace platform
