#include "program/UnattendedDialogs.h"

#include <string>

namespace kpd {

platform::MessageResult UnattendedDialogs::Message(platform::MessageKind kind, std::string_view text,
                                                   platform::MessageButtons buttons, std::string_view) {
    const platform::MessageResult answer = platform::CancelLikeButton(buttons);
    ++answered_;
    if (log_) {
        std::fprintf(log_, "KPD: %s box answered %s: %.*s\n", platform::ToString(kind).c_str(),
                     platform::ToString(answer).c_str(), static_cast<int>(text.size()), text.data());
        std::fflush(log_);
    }
    return answer;
}

std::optional<std::string> UnattendedDialogs::OpenFile(const platform::FileDialogOptions &options) {
    ++answered_;
    if (log_) std::fprintf(log_, "KPD: open dialog cancelled: %s\n", options.title.c_str());
    return std::nullopt;
}

std::optional<std::string> UnattendedDialogs::SaveFile(const platform::FileDialogOptions &options) {
    ++answered_;
    if (log_) std::fprintf(log_, "KPD: save dialog cancelled: %s\n", options.title.c_str());
    return std::nullopt;
}

} // namespace kpd
