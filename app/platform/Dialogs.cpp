#include "platform/Dialogs.h"

#include <vector>

namespace platform {
namespace {

Dialogs *installed = nullptr;   // user-interface thread only
Dialogs *defaultOnes = nullptr; // the program's real dialogs, set once at start

// Used when the program has set no default: answers every box with its cancel-like button and cancels
// every file dialog, so that nothing can block on a window that does not exist.
class UnansweredDialogs : public Dialogs {
public:
    MessageResult Message(MessageKind, std::string_view, MessageButtons buttons, std::string_view) override {
        return CancelLikeButton(buttons);
    }
    std::optional<std::string> OpenFile(const FileDialogOptions &) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogOptions &) override { return std::nullopt; }
};

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto pos = s.find(sep, start);
        if (pos == std::string_view::npos) {
            parts.push_back(s.substr(start));
            return parts;
        }
        parts.push_back(s.substr(start, pos - start));
        start = pos + 1;
    }
}

// Qt filter entries of a Windows filter, in order.
std::vector<std::string> FilterEntries(std::string_view windowsFilter) {
    std::vector<std::string> entries;
    if (TrimView(windowsFilter).empty()) return entries;
    const auto parts = Split(windowsFilter, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        std::string desc(TrimView(parts[i]));
        std::string patterns;
        if (i + 1 < parts.size()) {
            for (auto pattern : Split(parts[i + 1], ';')) {
                pattern = TrimView(pattern);
                if (pattern.empty()) continue;
                if (!patterns.empty()) patterns += ' ';
                patterns += pattern;
            }
        }
        if (desc.empty() && patterns.empty()) continue;
        if (patterns.empty()) patterns = "*";
        if (desc.empty()) desc = patterns;
        entries.push_back(desc + " (" + patterns + ")");
    }
    return entries;
}

} // namespace

bool IsButtonOf(MessageResult result, MessageButtons buttons) {
    using R = MessageResult;
    switch (buttons) {
    case MessageButtons::Ok:
        return result == R::Ok;
    case MessageButtons::OkCancel:
        return result == R::Ok || result == R::Cancel;
    case MessageButtons::YesNo:
        return result == R::Yes || result == R::No;
    case MessageButtons::RetryIgnore:
        return result == R::Retry || result == R::Ignore;
    case MessageButtons::YesNoAll:
        return result == R::Yes || result == R::No || result == R::All;
    }
    return false;
}

MessageResult CancelLikeButton(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageResult::Ok;
    case MessageButtons::OkCancel:
        return MessageResult::Cancel;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoAll:
        return MessageResult::No;
    case MessageButtons::RetryIgnore:
        return MessageResult::Ignore;
    }
    return MessageResult::Ok;
}

std::string DefaultCaption(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return "Warning";
    case MessageKind::Information:
        return "Information";
    case MessageKind::Error:
        return "Error";
    case MessageKind::Confirmation:
        return "Confirm";
    }
    return {};
}

std::string ToString(MessageResult result) {
    switch (result) {
    case MessageResult::Ok:
        return "OK";
    case MessageResult::Cancel:
        return "Cancel";
    case MessageResult::Yes:
        return "Yes";
    case MessageResult::No:
        return "No";
    case MessageResult::Retry:
        return "Retry";
    case MessageResult::Ignore:
        return "Ignore";
    case MessageResult::All:
        return "All";
    case MessageResult::Closed:
        return "Closed";
    }
    return "?";
}

std::string ToString(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return "Ok";
    case MessageButtons::OkCancel:
        return "OkCancel";
    case MessageButtons::YesNo:
        return "YesNo";
    case MessageButtons::RetryIgnore:
        return "RetryIgnore";
    case MessageButtons::YesNoAll:
        return "YesNoAll";
    }
    return "?";
}

std::string ToString(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return "Warning";
    case MessageKind::Information:
        return "Information";
    case MessageKind::Error:
        return "Error";
    case MessageKind::Confirmation:
        return "Confirmation";
    }
    return "?";
}

std::string ConvertFilter(std::string_view windowsFilter) {
    std::string out;
    for (const auto &entry : FilterEntries(windowsFilter)) {
        if (!out.empty()) out += ";;";
        out += entry;
    }
    return out;
}

std::string SelectedFilter(std::string_view windowsFilter, int index) {
    const auto entries = FilterEntries(windowsFilter);
    if (index < 1 || static_cast<std::size_t>(index) > entries.size()) return {};
    return entries[static_cast<std::size_t>(index) - 1];
}

std::string ApplyDefaultExtension(const std::string &path, std::string_view defaultExt) {
    while (!defaultExt.empty() && defaultExt.front() == '.')
        defaultExt.remove_prefix(1);
    if (defaultExt.empty() || path.empty()) return path;
    const auto slash = path.find_last_of('/');
    const std::string_view name =
        slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    if (name.empty()) return path;
    const auto dot = name.rfind('.');
    // A leading dot (".profile") is part of the name, not an extension; a trailing dot asks for none.
    if (dot != std::string_view::npos && dot > 0) return path;
    return path + "." + std::string(defaultExt);
}

Dialogs &Dialogs::Instance() {
    if (installed) return *installed;
    if (defaultOnes) return *defaultOnes;
    static UnansweredDialogs unanswered;
    return unanswered;
}

void Dialogs::SetDefault(Dialogs *dialogs) {
    defaultOnes = dialogs;
}

Dialogs *Dialogs::Install(Dialogs *dialogs) {
    Dialogs *previous = installed;
    installed = dialogs;
    return previous;
}

MessageResult ShowMessage(MessageKind kind, std::string_view text, MessageButtons buttons,
                          std::string_view caption) {
    return Dialogs::Instance().Message(kind, text, buttons, caption);
}

} // namespace platform
