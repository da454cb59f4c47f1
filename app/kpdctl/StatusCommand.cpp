// status: KPD's status monitor and evaluation, one line (or JSON object) per sample.
#include "kpdctl/CtlCommands.h"

#include "kpdctl/CtlConnection.h"
#include "kpdctl/ExitCode.h"
#include "kpdctl/Interrupt.h"
#include "kpdctl/StatusWatch.h"

namespace kpdctl {

int RunStatus(const CtlOptions &options, CtlOutput &out) {
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;

    const long long limit = options.count > 0 ? options.count : (options.watch ? 0 : 1);
    StatusWatch watch(*c.com, c.settings, c.identity.processorVersion);
    watch.onSample = [&](const DecodedStatus &d) {
        out.Emit(StatusJson(d), StatusText(d));
        if ((limit > 0 && d.sample >= limit) || out.OutputFailed()) watch.RequestStop();
    };
    watch.Start();
    bool stopAsked = false;
    RunLoop([&] {
        if (interrupt::Requested() && !stopAsked) {
            stopAsked = true;
            watch.RequestStop();
        }
        return !watch.WorkerActive();
    });

    const std::string port = "COM" + std::to_string(c.com->PortNumber());
    if (watch.LinkFailed()) {
        out.Error("the electronics stopped answering on " + port + " (link failure)", ExitFailure);
        return ExitFailure;
    }
    // A watch read by a program that has seen enough (`| head`) ends as a Ctrl+C ends it.
    if (out.OutputFailed()) return options.watch && out.OutputClosed() ? ExitOk : ExitFailure;
    if (limit > 0 && watch.SamplesShown() < limit) {
        // Only a Ctrl+C ends the monitor early without a link failure.
        if (options.watch) return ExitOk;
        out.Error("interrupted after " + std::to_string(watch.SamplesShown()) + " of " +
                      std::to_string(limit) + " samples",
                  ExitFailure);
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace kpdctl
