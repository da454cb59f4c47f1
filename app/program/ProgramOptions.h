// Command-line options of the program, in the usual form (Qt's command-line parser): --help and --version,
// the port of the electronics (instead of the search), a display mode to open after the search, a screenshot of the main window, a timed shutdown without the
// confirmation box (used by the run script and by tests without a display), and a data file to show at
// start (a file manager opens recordings this way). Qt's own options (-platform NAME, -style NAME, ...)
// are accepted and left to Qt.
#pragma once

#include <string>
#include <vector>

namespace kpd {

struct ProgramOptions {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;   // Help and Version print their text and end the program at once
    std::string screenshotFile;    // empty: no screenshot
    int quitAfterMs = -1;          // < 0: run until the user closes the window
    int displayMode = 0;           // 1 encoder signal, 2 signal strength, 3 signal plots: opened after the search
    int port = 0;                  // --port N: connect to COM N (1..256) without searching; 0: search
    int screenshotAfterMs = 1500;
    std::string dataFile;          // a recorded .man, .lis, .str or .pos file loaded after the search; empty: none
    std::string showWindow;        // a window opened after the search and the mode (ShowableWindows); empty: none
    std::string error;             // set when the arguments could not be parsed (the program ends with code 2)
};

// Parses the arguments after the program name. --mode takes 0..3 or status, encoder, strength, plots;
// --port a port number 1..256;
// --screenshot-after and --quit-after a number of milliseconds. An unknown option, a missing or bad
// value, more than one file, a file that cannot be read, or --mode together with a file (the file chooses
// its display mode) sets error.
ProgramOptions ParseProgramOptions(const std::vector<std::string> &args);

// The names --show takes: the windows a user opens from the main window, in the order --help lists them.
const std::vector<std::string> &ShowableWindows();

// The text --help prints: usage line, description, options and the file argument.
std::string ProgramHelpText();
// The text --version prints: "KPD " and the program's file version, then the product name.
std::string ProgramVersionText();

} // namespace kpd
