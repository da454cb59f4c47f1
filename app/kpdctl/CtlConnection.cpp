#include "kpdctl/CtlConnection.h"

#include "kpdctl/ExitCode.h"
#include "kpdctl/Interrupt.h"

#include "access/ElectronicsSearch.h"
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
    if (options.port != 0) {
        out.Progress("Polling COM" + std::to_string(options.port) + "...");
        c.com = ElectronicsSearch::ConnectPort(options.port, *c.data, c.message);
        out.ClearProgress();
        if (!c.com) {
            if (interrupt::Requested()) {
                out.Error("interrupted", ExitFailure);
                return ExitFailure;
            }
            const int code = find ? ExitNotFound : ExitFailure;
            out.Error("no electronics answered on COM" + std::to_string(options.port), code);
            return code;
        }
    } else {
        c.com = ElectronicsSearch::Search(ElectronicsSearch::FirstPort, ElectronicsSearch::LastPort, *c.data,
                                          c.message, [&out](int port) {
                                              if (interrupt::Requested()) return false;
                                              out.Progress("Polling COM" + std::to_string(port) + "...");
                                              return true;
                                          });
        out.ClearProgress();
        if (!c.com) {
            if (interrupt::Requested()) {
                out.Error("interrupted", ExitFailure);
                return ExitFailure;
            }
            const int code = find ? ExitNotFound : ExitFailure;
            out.Error("no electronics answered on COM1 to COM256 (check the connection and the power LED of "
                      "the electronics)",
                      code);
            return code;
        }
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
