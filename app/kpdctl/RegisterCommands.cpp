// find, info, read and write: single transactions through the access object.
#include "kpdctl/CtlCommands.h"

#include "kpdctl/CtlConnection.h"
#include "kpdctl/ExitCode.h"

#include "access/RegisterMap.h"
#include "access/RegisterNames.h"
#include "session/EngineeringEntry.h"

namespace kpdctl {

namespace {

std::string Port(int port) {
    return "COM" + std::to_string(port);
}

std::string Padded(const std::string &label, std::size_t width) {
    return label.size() >= width ? label + " " : label + std::string(width - label.size(), ' ');
}

} // namespace

int RunFind(const CtlOptions &options, CtlOutput &out) {
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    const ElectronicsIdentity &id = c.identity;
    QJsonObject o;
    o["type"] = "found";
    o["port"] = id.port;
    o["message"] = QString::fromStdString(c.message);
    o["model"] = QString::fromStdString(id.ModelName());
    o["modelCode"] = id.modelCode;
    o["sensorType"] = id.sensorType;
    o["sensorTypeHex"] = QString::fromStdString(Hex(id.sensorType, 4));
    o["kpdSensor"] = id.KpdSensor();
    o["sensorLabel"] = QString::fromStdString(id.SensorLabel());
    o["interpolation"] = id.interpDepth;
    o["firmwareVersion"] = id.firmwareVersion;
    o["firmwareVersionHex"] = QString::fromStdString(Hex(id.firmwareVersion, 4));
    o["generation"] = id.Generation();
    o["processorVersion"] = id.processorVersion;
    o["processorVersionHex"] =
        QString::fromStdString(Hex(static_cast<unsigned>(id.processorVersion) & 0xFFFFu, 4));
    std::string text = c.message + "\n";
    text += Padded("port", 15) + Port(id.port) + "\n";
    text += Padded("model", 15) + id.ModelName() + " (code " + std::to_string(id.modelCode) + ")\n";
    text += Padded("sensor type", 15) + Hex(id.sensorType, 4) + " (" + id.SensorLabel() + ")\n";
    text += Padded("interpolation", 15) + std::to_string(id.interpDepth) + "X\n";
    text += Padded("firmware", 15) + Hex(id.firmwareVersion, 4) + " (generation " +
            std::to_string(id.Generation()) + ")\n";
    text += Padded("processor", 15) + Hex(static_cast<unsigned>(id.processorVersion) & 0xFFFFu, 4);
    out.Emit(o, text);
    return out.OutputFailed() ? ExitFailure : ExitOk;
}

int RunInfo(const CtlOptions &options, CtlOutput &out) {
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    ElectronicsInfo info;
    if (!c.com->ReadInfo(info)) {
        out.Error("the information command failed on " + Port(c.com->PortNumber()) +
                      " (the electronics did not answer)",
                  ExitFailure);
        return ExitFailure;
    }
    // The fields and captions of KPD's "Electronics Information" window; every accepted model is the
    // alignment tool (model index 0).
    const bool alignmentTool = c.com->ModelIndex() == 0;
    QJsonObject o;
    o["type"] = "info";
    o["alignmentTool"] = alignmentTool;
    o["serialNumber"] = QString::fromStdString(Hex(info.genReg0, 8));
    o["firmwareVersion"] = QString::fromStdString(Hex(info.firmwareVersion, 4));
    o["processorVersion"] =
        QString::fromStdString(Hex(static_cast<unsigned>(info.processorVersion) & 0xFFFFu, 4));
    o["powerOnHours"] = info.powerOnTime;
    o["powerOnCycles"] = info.powerOnCycles;
    o["port"] = c.com->PortNumber();
    o["baudRate"] = c.com->BaudRate();
    std::string text;
    if (alignmentTool) text += "Electronics Type: Alignment Tool\n";
    text += "Sensor Serial Number: " + Hex(info.genReg0, 8) + "\n";
    text += "Sensor Firmware Version: " + Hex(info.firmwareVersion, 4) + "\n";
    text +=
        "Alignment Tool Firmware Version: " + Hex(static_cast<unsigned>(info.processorVersion) & 0xFFFFu, 4) +
        "\n";
    text += "Alignment Tool Power on Time: " + std::to_string(info.powerOnTime) + " hours\n";
    text += "Alignment Tool Power on Cycles: " + std::to_string(info.powerOnCycles) + "\n";
    text += "COM Port: " + Port(c.com->PortNumber()) + "\n";
    text += "Baud Rate: " + std::to_string(c.com->BaudRate());
    out.Emit(o, text);
    return out.OutputFailed() ? ExitFailure : ExitOk;
}

int RunRead(const CtlOptions &options, CtlOutput &out) {
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    for (std::size_t i = 0; i < options.registers.size(); ++i) {
        const uint8_t r = options.registers[i];
        std::string name = reg::RegisterName(r);
        if (name.empty()) name = "Addr" + Hex(r, 2);
        uint16_t value = 0;
        if (!c.com->ReadRegisterChecked(reg::address(r), value)) {
            out.Error("reading " + name + " (0x" + Hex(r, 2) + ") failed on " + Port(c.com->PortNumber()) +
                          " (the electronics did not answer)",
                      ExitFailure);
            return ExitFailure;
        }
        QJsonObject o;
        o["type"] = "register";
        o["name"] = QString::fromStdString(name);
        o["register"] = r;
        o["value"] = value;
        o["hex"] = QString::fromStdString(Hex(value, 4));
        out.Emit(o,
                 Padded(name, 20) + "0x" + Hex(r, 2) + "  " + Hex(value, 4) + "  " + std::to_string(value));
        if (out.OutputFailed()) return ExitFailure;
    }
    return ExitOk;
}

int RunWrite(const CtlOptions &options, CtlOutput &out) {
    // Checked as the engineering display checks its write box, before anything talks to the port.
    const kpd::WriteEntry entry = kpd::CheckWriteEntry(options.word);
    if (entry.check != kpd::WriteEntry::Check::Ok) {
        out.Error(entry.Message(), ExitFailure);
        return ExitFailure;
    }
    const uint32_t word = entry.addressWord;
    if (!options.yes) {
        out.Error("refused: write " + Hex(word, 8) + " would write 0x" + Hex(reg::dataOf(word), 4) +
                      " to register 0x" + Hex(reg::registerOf(word), 2) + "; add --yes to send it",
                  ExitFailure);
        return ExitFailure;
    }
    CtlConnection c;
    if (const int code = Connect(options, out, c); code != ExitOk) return code;
    if (!c.com->WriteRaw(word)) {
        out.Error("writing " + Hex(word, 8) + " failed on " + Port(c.com->PortNumber()) +
                      " (the electronics did not answer)",
                  ExitFailure);
        return ExitFailure;
    }
    std::string name = reg::RegisterName(reg::registerOf(word));
    if (name.empty()) name = "Addr" + Hex(reg::registerOf(word), 2);
    QJsonObject o;
    o["type"] = "written";
    o["word"] = QString::fromStdString(Hex(word, 8));
    o["register"] = reg::registerOf(word);
    o["name"] = QString::fromStdString(name);
    o["data"] = reg::dataOf(word);
    o["modifier"] = reg::modifierOf(word);
    o["port"] = c.com->PortNumber();
    out.Emit(o, "wrote " + Hex(word, 8) + " on " + Port(c.com->PortNumber()) + ": register 0x" +
                    Hex(reg::registerOf(word), 2) + " (" + name + "), data " + Hex(reg::dataOf(word), 4) +
                    ", modifier " + Hex(reg::modifierOf(word), 2));
    return out.OutputFailed() ? ExitFailure : ExitOk;
}

} // namespace kpdctl
