// Ctrl+C (SIGINT) and SIGTERM for kpdctl: the first one only sets a flag, which the commands look at
// between link steps and in their event loop, so a stream is stopped the way KPD stops it and nothing is
// left half written. A second one ends the program at once. Standard output closed under a pipe is
// reported through the write (SIGPIPE is ignored).
#pragma once

namespace kpdctl::interrupt {

void Install();
bool Requested();

} // namespace kpdctl::interrupt
