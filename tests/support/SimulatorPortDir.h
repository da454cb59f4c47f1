// The port directory that the tests of one program share: a temporary directory, created when the
// program starts and named in SENSLINK_PORT_DIR (so senslink finds the simulators' COMn links there and
// never reaches the machine's own devices), removed when the program ends.
#pragma once

#include <string>

namespace kpdtest {

const std::string &SimulatorPortDir();

} // namespace kpdtest
