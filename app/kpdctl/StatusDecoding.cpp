#include "kpdctl/StatusDecoding.h"

#include "platform/NumberFormat.h"
#include "workers/SignalEvaluation.h"

#include <cmath>

namespace kpdctl {

std::string Trimmed(const std::string &text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

DecodedStatus Decode(const kpd::StatusView &view, uint32_t statusWord, float magnitude) {
    DecodedStatus d;
    d.statusWord = statusWord;
    d.state = kpd::status_bits::OperatingState(statusWord);
    d.stateText = Trimmed(view.IndexBox);
    if (view.ResolutionBoxVisible) d.calibrationText = Trimmed(view.ResolutionBox);
    d.calibrationError =
        view.ResolutionBoxVisible && !d.calibrationText.empty() && view.ResolutionBoxFont == kpd::clRed;
    d.setRequested = view.CalSetButton.visible;
    d.index = view.IndexShape == kpd::clLime;
    d.leftLimit = view.LeftLimitShape == kpd::clBlue;
    d.rightLimit = view.RightLimitShape == kpd::clRed;
    d.magnitude = magnitude;
    if (view.markers.green)
        d.zone = Zone::Green;
    else if (view.markers.yellow)
        d.zone = Zone::Yellow;
    else if (view.markers.red)
        d.zone = Zone::Red;
    d.overSignal = view.OverSignalShape == kpd::clRed;
    return d;
}

const char *ZoneName(Zone zone) {
    switch (zone) {
    case Zone::Green:
        return "green";
    case Zone::Yellow:
        return "yellow";
    case Zone::Red:
        return "red";
    default:
        return "none";
    }
}

std::string StateLine(const DecodedStatus &d) {
    if (d.calibrationText.empty()) return d.stateText;
    return d.stateText + ": " + d.calibrationText;
}

std::string StatusText(const DecodedStatus &d) {
    const auto onOff = [](bool b) { return b ? "on" : "off"; };
    std::string line = platform::FormatFixed(d.elapsed, 1, 6) + " s  position " + d.positionText + " " +
                       d.units + "  " + StateLine(d);
    if (d.calibrationError) line += " (error)";
    line += "  index " + std::string(onOff(d.index));
    line += "  left limit " + std::string(onOff(d.leftLimit));
    line += "  right limit " + std::string(onOff(d.rightLimit));
    line += "  magnitude " + platform::FormatGeneral(d.magnitude, 6);
    line += "  zone " + std::string(ZoneName(d.zone));
    line += "  over-signal " + std::string(onOff(d.overSignal));
    return line;
}

QJsonObject StatusJson(const DecodedStatus &d) {
    QJsonObject o;
    o["type"] = "status";
    o["sample"] = static_cast<double>(d.sample);
    o["elapsed"] = std::round(static_cast<double>(d.elapsed) * 1000.0) / 1000.0;
    o["counts"] = d.counts;
    o["position"] = d.position;
    o["positionText"] = QString::fromStdString(d.positionText);
    o["units"] = QString::fromStdString(d.units);
    o["statusWord"] = static_cast<double>(d.statusWord);
    o["state"] = d.state;
    o["stateText"] = QString::fromStdString(d.stateText);
    o["calibrationText"] = QString::fromStdString(d.calibrationText);
    o["calibrationError"] = d.calibrationError;
    o["setRequested"] = d.setRequested;
    o["index"] = d.index;
    o["leftLimit"] = d.leftLimit;
    o["rightLimit"] = d.rightLimit;
    o["magnitude"] = static_cast<double>(d.magnitude);
    o["zone"] = ZoneName(d.zone);
    o["overSignal"] = d.overSignal;
    o["evaluated"] = d.evaluated;
    return o;
}

} // namespace kpdctl
