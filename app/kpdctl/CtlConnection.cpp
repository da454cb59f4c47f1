#include "kpdctl/CtlConnection.h"

#include "kpdctl/ExitCode.h"
#include "kpdctl/Interrupt.h"

#include "access/ElectronicsSearch.h"
#include "access/SerialPorts.h"
#include "platform/InstallDirectory.h"

#include <QEventLoop>
#include <QTimer>

#include <filesystem>
#include <system_error>

namespace kpdctl {

CtlConnection::CtlConnection() : data(std::make_unique<DataSets>()) {}

CtlConnection::~CtlConnection() {
    if (com) com->ClosePortIfOpen();
}

int Connect(const CtlOptions &options, CtlOutput &out, CtlConnection &c) {
    const bool find = options.command == CommandKind::Find;
    int port = options.port;
    if (!options.device.empty()) {
        port = SerialPorts::PortOfDevice(options.device);
        if (port == 0) {
            out.Error("no port COM1..COM256 reaches the device " + options.device, ExitFailure);
            return ExitFailure;
        }
    }
    if (port != 0) {
        out.Progress("Polling COM" + std::to_string(port) + "...");
        c.com = ElectronicsSearch::ConnectPort(port, *c.data, c.message);
    } else {
        // KPD's search: the ports side by side, the lowest that answers wins; the probes above it are
        // ended and closed before the identification is read.
        ElectronicsSearch search(*c.data);
        search.interrupted = [] { return interrupt::Requested(); };
        c.com = search.Run(ElectronicsSearch::FirstPort, ElectronicsSearch::LastPort, [&out](int n) {
            out.Progress("Polling COM" + std::to_string(n) + "...");
            return true;
        });
        c.message = search.Message();
    }
    out.ClearProgress();
    if (!c.com) {
        if (interrupt::Requested()) {
            out.Error("interrupted", ExitFailure);
            return ExitFailure;
        }
        const int code = find ? ExitNotFound : ExitFailure;
        out.Error(port != 0 ? "no electronics answered on COM" + std::to_string(port)
                            : "no electronics answered on COM1 to COM256 (check the connection and the power "
                              "LED of the electronics)",
                  code);
        return code;
    }
    // Failed identification reads are absorbed as KPD absorbs them (zero values, "unknown").
    ElectronicsIdentity::Read(*c.com, c.identity);

    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    c.settings.LoadSettings(platform::InstallDirectoryOr(ec ? std::string(".") : cwd.string()));
    c.settings.generation = c.identity.Generation();
    c.settings.ComputePositionScale(c.com->InterpolationSetting());
    return ExitOk;
}

void RunLoop(const std::function<bool()> &done, int tickMs) {
    if (done()) return;
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(tickMs);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    tick.start();
    loop.exec();
}

} // namespace kpdctl
