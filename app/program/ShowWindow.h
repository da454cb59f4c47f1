// Opens one of the windows a user opens from the main window, by the name the command line gives it
// (--show), the way the user's click or key would open it.
#pragma once

#include <string>

class TMainForm;

namespace kpd {

// name: one of ShowableWindows(); another name opens nothing.
void ShowWindow(TMainForm &form, const std::string &name);

} // namespace kpd
