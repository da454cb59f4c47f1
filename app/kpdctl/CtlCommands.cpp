#include "kpdctl/CtlCommands.h"

#include "kpdctl/ExitCode.h"

#include <cstdio>

namespace kpdctl {

std::string Hex(unsigned long long value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llX", digits, value);
    return text;
}

int RunCommand(const CtlOptions &options, CtlOutput &out) {
    switch (options.command) {
    case CommandKind::Find:
        return RunFind(options, out);
    case CommandKind::Info:
        return RunInfo(options, out);
    case CommandKind::Read:
        return RunRead(options, out);
    case CommandKind::Write:
        return RunWrite(options, out);
    case CommandKind::Status:
        return RunStatus(options, out);
    case CommandKind::Record:
        return RunRecord(options, out);
    case CommandKind::Calibrate:
        return RunCalibrate(options, out);
    case CommandKind::Align:
        return RunAlign(options, out);
    case CommandKind::Ports:
        return RunPorts(options, out);
    case CommandKind::Lissajous:
        return RunLissajous(options, out);
    case CommandKind::Plot:
        return RunPlot(options, out);
    case CommandKind::Help:
        break;
    }
    std::fputs(HelpText().c_str(), stdout);
    return ExitOk;
}

} // namespace kpdctl
