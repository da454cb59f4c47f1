#include "program/OpenAtStartDialogs.h"

namespace kpd {

std::optional<std::string> OpenAtStartDialogs::OpenFile(const platform::FileDialogOptions &options) {
    if (used_) return next_.OpenFile(options);
    used_ = true;
    return file_;
}

} // namespace kpd
