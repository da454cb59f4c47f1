// Command-line options of the program: a screenshot of the main window after the search, and a timed
// shutdown without the confirmation box (used by the run script and by tests without a display).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kpd {

struct ProgramOptions {
    std::string screenshotFile; // empty: no screenshot
    int quitAfterMs = -1;       // < 0: run until the user closes the window
    std::string error;          // set when the arguments could not be parsed
};

// Parses the arguments after the program name. Unknown options are left to Qt (for example -platform)
// and ignored here; a known option with a missing or bad value sets error.
ProgramOptions ParseProgramOptions(const std::vector<std::string> &args);

} // namespace kpd
