// The private surroundings of a benchmark that runs the program: an offscreen platform and a temporary
// directory that is both the port directory (the search reaches only the simulator there) and the install
// directory.
#pragma once

#include <string>

namespace kpdbench {

// Creates the directory (its name starting with `prefix`) and points the environment at it; must run
// before the first port is opened. Empty (with a message on standard error) when it cannot be created.
std::string PrivateProgramDir(const char *prefix);

} // namespace kpdbench
