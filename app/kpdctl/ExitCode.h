// The exit codes of kpdctl (listed in its --help).
#pragma once

namespace kpdctl {

enum ExitCode : int {
    ExitOk = 0,       // the command did what it was asked
    ExitFailure = 1,  // the electronics did not answer or failed, a refused request, an interrupted recording
    ExitUsage = 2,    // bad command line
    ExitNotFound = 3, // find: no electronics answered on any port
};

} // namespace kpdctl
