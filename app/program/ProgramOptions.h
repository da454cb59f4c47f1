// Command-line options of the program: a display mode to open after the search, a screenshot of the main
// window, and a timed shutdown without the confirmation box (used by the run script and by tests without
// a display).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kpd {

struct ProgramOptions {
    std::string screenshotFile; // empty: no screenshot
    int quitAfterMs = -1;       // < 0: run until the user closes the window
    int displayMode = 0;        // 1 encoder signal, 2 signal strength, 3 signal plots: opened after the search
    int screenshotAfterMs = 1500;
    std::string error;          // set when the arguments could not be parsed
};

// Parses the arguments after the program name. --mode takes 0..3 or status, encoder, strength, plots;
// --screenshot-after the delay of the screenshot in milliseconds. Unknown options are left to Qt (for example -platform)
// and ignored here; a known option with a missing or bad value sets error.
ProgramOptions ParseProgramOptions(const std::vector<std::string> &args);

} // namespace kpd
