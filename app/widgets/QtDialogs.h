#pragma once
// The real dialogs: QMessageBox with the named buttons and plain captions ("Yes", "No", "All", "Retry",
// "Ignore", "OK", "Cancel"), QFileDialog for opening and saving files.

#include "platform/Dialogs.h"

#include <memory>

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace platform {

class QtDialogs : public Dialogs {
public:
    MessageResult Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                          std::string_view caption = {}) override;
    std::optional<std::string> OpenFile(const FileDialogOptions &options) override;
    std::optional<std::string> SaveFile(const FileDialogOptions &options) override;

    // Builds (does not show) the message box used by Message(). Exposed so that tests can check the
    // buttons and captions without a modal loop.
    static std::unique_ptr<QMessageBox> BuildMessageBox(MessageKind kind, std::string_view text,
                                                        MessageButtons buttons, std::string_view caption,
                                                        QWidget *parent = nullptr);
    // The result of a box built by BuildMessageBox once `clicked` was pressed (nullptr or the hidden
    // escape button: Closed).
    static MessageResult ResultOf(const QMessageBox &box, const QAbstractButton *clicked);
};

} // namespace platform
