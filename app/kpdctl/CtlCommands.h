// The commands of kpdctl. Each returns its exit code (ExitCode) after printing its results and errors.
#pragma once

#include "kpdctl/CtlOptions.h"
#include "kpdctl/CtlOutput.h"

#include <string>

namespace kpdctl {

int RunCommand(const CtlOptions &options, CtlOutput &out);

int RunFind(const CtlOptions &options, CtlOutput &out);
int RunInfo(const CtlOptions &options, CtlOutput &out);
int RunRead(const CtlOptions &options, CtlOutput &out);
int RunWrite(const CtlOptions &options, CtlOutput &out);
int RunStatus(const CtlOptions &options, CtlOutput &out);
int RunRecord(const CtlOptions &options, CtlOutput &out);
int RunCalibrate(const CtlOptions &options, CtlOutput &out);
int RunAlign(const CtlOptions &options, CtlOutput &out);
int RunPorts(const CtlOptions &options, CtlOutput &out);
int RunLissajous(const CtlOptions &options, CtlOutput &out);
int RunPlot(const CtlOptions &options, CtlOutput &out);

// Upper-case hexadecimal with at least `digits` digits.
std::string Hex(unsigned long long value, int digits);

} // namespace kpdctl
