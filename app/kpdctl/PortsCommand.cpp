// ports: the serial ports whose device exists, and whether they can be opened.
#include "kpdctl/CtlCommands.h"

#include "kpdctl/ExitCode.h"

#include "access/SerialPorts.h"

namespace kpdctl {

namespace {

// The reason's word in JSON and its text.
std::pair<const char *, std::string> Access(const SerialPortInfo &p) {
    using Reason = PortOpenFailure::Reason;
    switch (p.access) {
    case Reason::None:
    case Reason::NoDevice: // not listed
        return {"ok", "can be opened"};
    case Reason::Permission:
        return {"permission", "cannot be opened: no permission (the user must be a member of the group \"" +
                                  p.group + "\", then log in again)"};
    case Reason::Busy:
        return {"busy", "cannot be opened: held by another program"};
    case Reason::NotSerial:
        return {"notSerial", "cannot be opened: not a serial device"};
    case Reason::Other:
        break;
    }
    return {"failed", "cannot be opened"};
}

} // namespace

int RunPorts(const CtlOptions &, CtlOutput &out) {
    const std::vector<SerialPortInfo> ports = SerialPorts::List();
    for (const SerialPortInfo &p : ports) {
        const auto [word, text] = Access(p);
        QJsonObject o;
        o["type"] = "port";
        o["port"] = p.port;
        o["path"] = QString::fromStdString(p.path);
        o["device"] = QString::fromStdString(p.device);
        o["byId"] = p.byId.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(p.byId));
        o["open"] = p.access == PortOpenFailure::Reason::None;
        o["access"] = word;
        if (!p.group.empty()) o["group"] = QString::fromStdString(p.group);
        std::string line = "COM" + std::to_string(p.port) + "  " + p.path;
        if (p.device != p.path) line += " -> " + p.device;
        if (!p.byId.empty()) line += "  " + p.byId;
        out.Emit(o, line + "  " + text);
    }
    if (ports.empty()) out.Note("no serial device exists for COM1..COM256");
    return out.OutputFailed() ? ExitFailure : ExitOk;
}

} // namespace kpdctl
