#include "access/ElectronicsIdentity.h"

#include "access/ComData.h"
#include "access/RegisterMap.h"

namespace {
constexpr std::string_view kFoundEnding = " Electronics Found on COM";
}

std::string ElectronicsIdentity::ModelName() const {
    std::string message = ComData::FoundMessage(modelCode);
    if (message.size() >= kFoundEnding.size() &&
        message.compare(message.size() - kFoundEnding.size(), kFoundEnding.size(), kFoundEnding) == 0)
        message.resize(message.size() - kFoundEnding.size());
    return message;
}

bool ElectronicsIdentity::KpdSensor() const {
    return reg::isKpdSensor(sensorType);
}

std::string ElectronicsIdentity::SensorLabel() const {
    if (!KpdSensor()) return "unknown";
    return "for KPD Digital Sensor " + std::to_string(interpDepth) + "X";
}

int ElectronicsIdentity::Generation() const {
    return reg::firmwareGeneration(firmwareVersion);
}

bool ElectronicsIdentity::Read(ComData &com, ElectronicsIdentity &identity) {
    identity.port = com.PortNumber();
    identity.processorVersion = com.ProcessorVersion();
    uint16_t value = 0;
    bool all = true;
    if (com.ReadRegisterChecked(reg::address(reg::ElectronicsId), value))
        identity.modelCode = reg::modelCode(value);
    else
        all = false;
    if (com.ReadRegisterChecked(reg::address(reg::SensorType), value))
        identity.sensorType = value;
    else
        all = false;
    if (com.ReadRegisterChecked(reg::address(reg::InterpDepth), value))
        identity.interpDepth = value;
    else
        all = false;
    if (com.ReadRegisterChecked(reg::address(reg::FirmwareVersion), value))
        identity.firmwareVersion = value;
    else
        all = false;
    return all;
}
