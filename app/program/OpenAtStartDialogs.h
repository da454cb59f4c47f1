// OpenAtStartDialogs: a data file named on the command line is loaded the way File > Load loads one. The
// session's load command asks the file open dialog for a file; these dialogs answer that first question
// with the named file, so the file is read, checked and shown in its display mode exactly as after a
// load from the menu (its message box included). Every other question, and every later open dialog, goes
// to the dialogs that were in use when these were made.
#pragma once

#include "platform/Dialogs.h"

#include <string>

namespace kpd {

class OpenAtStartDialogs : public platform::Dialogs {
public:
    OpenAtStartDialogs(std::string file, platform::Dialogs &next) : file_(std::move(file)), next_(next) {}

    platform::MessageResult Message(platform::MessageKind kind, std::string_view text,
                                    platform::MessageButtons buttons, std::string_view caption = {}) override {
        return next_.Message(kind, text, buttons, caption);
    }
    std::optional<std::string> OpenFile(const platform::FileDialogOptions &options) override;
    std::optional<std::string> SaveFile(const platform::FileDialogOptions &options) override {
        return next_.SaveFile(options);
    }

    // Whether the file has been handed out.
    bool Used() const { return used_; }

private:
    std::string file_;
    platform::Dialogs &next_;
    bool used_ = false;
};

} // namespace kpd
