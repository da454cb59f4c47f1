// UnattendedDialogs: the dialog answerer of an unattended run (command line --quit-after). Nobody is there
// to answer a modal box, and a box that waits for a click would keep the program from ending: every
// message box gets its cancel-like button at once (the "Cannot Detect Electronics" box: Ignore, so the
// program continues in demo mode; the link-failure box: No, demo mode; confirmations: No or Cancel), and
// every file dialog is cancelled. Each answered question is written to the log stream, so the run's output
// shows what was asked.
#pragma once

#include "platform/Dialogs.h"

#include <cstdio>

namespace kpd {

class UnattendedDialogs : public platform::Dialogs {
public:
    // log: where the answered questions are written (nullptr: nowhere).
    explicit UnattendedDialogs(std::FILE *log = stderr) : log_(log) {}

    platform::MessageResult Message(platform::MessageKind kind, std::string_view text,
                                    platform::MessageButtons buttons, std::string_view caption = {}) override;
    std::optional<std::string> OpenFile(const platform::FileDialogOptions &options) override;
    std::optional<std::string> SaveFile(const platform::FileDialogOptions &options) override;

    // Number of questions answered so far.
    int Answered() const { return answered_; }

private:
    std::FILE *log_;
    int answered_ = 0;
};

} // namespace kpd
