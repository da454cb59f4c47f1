#include "access/ComData.h"

#include "access/PortLink.h"
#include "access/RegisterMap.h"
#include "access/WaitMs.h"

#include <senslink.h>

#include <array>

namespace {

// Found messages by model code; the port number in decimal is appended.
constexpr std::array<const char *, reg::MaxModelCode + 1> kFoundMessages{
    "Brio Electronics Found on COM",
    "Brio Electronics Found on COM",
    "Cato Electronics Found on COM",
    "Dace Electronics Found on COM",
    "Arlo Electronics Found on COM",
    "Elka/Fenn Electronics Found on COM",
    "KPD Digital Sensor Electronics Found on COM",
};

constexpr int kStopBurstWords = 10;  // stop burst long enough for any stream of the program
constexpr int kStopSettleMs = 20;    // pause after the stop burst
constexpr int kReopenPauseMs = 50;   // pause after closing a port before reopening it
constexpr int kResetSettleMs = 2000; // pause after a software reset

} // namespace

ComData::ComData(int portNumber)
    : m_ownData(std::make_unique<DataSets>()), Data(*m_ownData), m_portNumber(portNumber) {}

ComData::ComData(int portNumber, DataSets &data) : Data(data), m_portNumber(portNumber) {}

void ComData::WaitMs(int ms) {
    ::WaitMs(ms);
}

std::string ComData::FoundMessage(int modelCode) {
    if (modelCode < 0 || modelCode > reg::MaxModelCode) return {};
    return kFoundMessages[static_cast<size_t>(modelCode)];
}

bool ComData::SyncLink() {
    return PortLink(m_portNumber).SyncLink(m_abandon);
}

bool ComData::readRegister(uint8_t r, uint16_t &value) {
    return ReadRegisterVK240(m_portNumber, reg::address(r), &value) == 0;
}

bool ComData::syncAndWriteCommand(uint16_t code) {
    if (!SyncLink()) return false;
    return WriteRegisterVK240(m_portNumber, reg::address(reg::Command, code)) == 0;
}

void ComData::handOverSettings() {
    if (onSettingsRead) onSettingsRead(m_interpolationSetting, m_settingsWord);
}

bool ComData::Connect(std::string &message, int &modelIndex, const ConnectProbe &probe) {
    m_abandon = probe.abandon;
    const bool connected = connectSteps(message, modelIndex, probe.handshakeTimeoutMs);
    m_abandon = nullptr;
    return connected;
}

bool ComData::connectSteps(std::string &message, int &modelIndex, int handshakeTimeoutMs) {
    if (m_abandon && m_abandon->load()) return false;
    if (m_portOpen) {
        ClosePortIfOpen();
        WaitMs(kReopenPauseMs);
    }
    if (OpenPort(m_portNumber) != 0) return false;
    m_portOpen = true;
    if (ConfigPort(m_portNumber, LinkTimeoutMs, LinkBaudRate) != 0) return false;

    // The electronics may still be streaming from an earlier run.
    StopStreaming();
    const bool synced = handshakeTimeoutMs > 0
                            ? PortLink(m_portNumber).SyncLinkWithTimeout(handshakeTimeoutMs, m_abandon)
                            : SyncLink();
    if (!synced) return false;

    const int msp = ReadMSPVersion(m_portNumber);
    if (msp < 0) return false;
    m_processorVersion = msp;
    if (!reg::processorVersionAccepted(msp)) return false;

    if (!SyncLink()) return false;
    if (!readRegister(reg::ElectronicsId, m_readBuffer)) return false;
    const int code = reg::modelCode(m_readBuffer);
    if (code > reg::MaxModelCode) return false;

    message = FoundMessage(code) + std::to_string(m_portNumber);
    m_modelIndex = 0; // every accepted model uses the same index
    modelIndex = m_modelIndex;

    if (!ReadSettings()) return false;
    handOverSettings();
    m_baudRate = LinkBaudRate;
    return true;
}

bool ComData::ClosePortIfOpen() {
    if (m_portOpen) {
        ClosePort(m_portNumber);
        m_portOpen = false;
    }
    return true;
}

PortOpenFailure ComData::OpenFailure() const {
    return OpenFailureOf(m_portNumber);
}

PortOpenFailure ComData::OpenFailureOf(int port) {
    PortOpenFailure f;
    f.port = port;
    char device[512] = {};
    char group[256] = {};
    switch (GetOpenFailure(port, device, sizeof device, group, sizeof group)) {
    case SENSLINK_OPEN_OK:
        f.reason = PortOpenFailure::Reason::None;
        break;
    case SENSLINK_OPEN_NO_DEVICE:
    case -1: // a port number without a device
        f.reason = PortOpenFailure::Reason::NoDevice;
        break;
    case SENSLINK_OPEN_PERMISSION:
        f.reason = PortOpenFailure::Reason::Permission;
        break;
    case SENSLINK_OPEN_BUSY:
        f.reason = PortOpenFailure::Reason::Busy;
        break;
    case SENSLINK_OPEN_NOT_SERIAL:
        f.reason = PortOpenFailure::Reason::NotSerial;
        break;
    default:
        f.reason = PortOpenFailure::Reason::Other;
        break;
    }
    f.device = device;
    f.group = group;
    return f;
}

bool ComData::StopStreaming() {
    EndAsync(m_portNumber, kStopBurstWords);
    WaitMs(kStopSettleMs);
    ClearRxBuffer(m_portNumber);
    return true;
}

bool ComData::ReadSettings() {
    ClearRxBuffer(m_portNumber);
    if (!SyncLink()) return false;
    // The fields take the read buffer even when the read fails (it then keeps its previous content).
    const bool depthRead = readRegister(reg::InterpDepth, m_readBuffer);
    m_interpolationSetting = m_readBuffer;
    if (!depthRead) return false;
    if (!SyncLink()) return false;
    const bool settingsRead = readRegister(reg::Settings, m_readBuffer);
    m_settingsWord = m_readBuffer;
    if (!settingsRead) return false;
    handOverSettings();
    return true;
}

bool ComData::ReadInfo(ElectronicsInfo &info) {
    ClearRxBuffer(m_portNumber);
    if (!SyncLink()) return false;
    const int msp = ReadMSPVersion(m_portNumber);
    if (msp < 0) return false;
    info.processorVersion = msp;

    if (!SyncLink() || !readRegister(reg::GenReg0, m_readBuffer)) return false;
    info.genReg0 = m_readBuffer;

    if (!SyncLink()) return false;
    const int hours = ReadPowerOnTime(m_portNumber);
    if (hours < 0) return false;
    info.powerOnTime = hours;

    if (!SyncLink()) return false;
    const int cycles = ReadPowerOnCycles(m_portNumber);
    if (cycles < 0) return false;
    info.powerOnCycles = cycles;

    if (!SyncLink() || !readRegister(reg::FirmwareVersion, m_readBuffer)) return false;
    info.firmwareVersion = m_readBuffer;

    if (!SyncLink() || !readRegister(reg::Config, m_readBuffer)) return false;
    if (m_readBuffer & reg::ConfigInfoBit) return true;
    if (!SyncLink()) return false;
    const auto config = static_cast<uint16_t>(m_readBuffer | reg::ConfigInfoBit);
    return WriteRegisterVK240(m_portNumber, reg::address(reg::Config, config)) == 0;
}

bool ComData::ReadRegisterChecked(uint32_t address, uint16_t &value) {
    ClearRxBuffer(m_portNumber);
    if (!SyncLink()) return false;
    return ReadRegisterVK240(m_portNumber, address, &value) == 0;
}

bool ComData::WriteRaw(uint32_t address) {
    ClearRxBuffer(m_portNumber);
    if (!SyncLink()) return false;
    return WriteRegisterVK240(m_portNumber, address) == 0;
}

bool ComData::CenterIndex() {
    ClearTxBuffer(m_portNumber);
    ClearRxBuffer(m_portNumber);
    return syncAndWriteCommand(reg::CmdCenterIndex);
}

bool ComData::ZeroPosition() {
    if (!syncAndWriteCommand(reg::CmdZero1)) return false;
    return syncAndWriteCommand(reg::CmdZero2);
}

bool ComData::StartCalibration(int parameter) {
    // The parameter sits in the high byte of the data field; anything wider would spill into the register
    // number, so it is refused before anything is sent.
    if (parameter < 0 || parameter > 255) return false;
    return syncAndWriteCommand(reg::startCalibrationCode(static_cast<uint8_t>(parameter)));
}

bool ComData::StopCalibration() {
    return syncAndWriteCommand(reg::CmdStopCalibration);
}
bool ComData::SetCalibration() {
    return syncAndWriteCommand(reg::CmdSetCalibration);
}
bool ComData::StartAlignment() {
    return syncAndWriteCommand(reg::CmdStartAlignment);
}
bool ComData::StopAlignment() {
    return syncAndWriteCommand(reg::CmdStopAlignment);
}
bool ComData::DisableMainAgc() {
    return syncAndWriteCommand(reg::CmdMainAgcDisable);
}
bool ComData::EnableMainAgc() {
    return syncAndWriteCommand(reg::CmdMainAgcEnable);
}

void ComData::SoftwareReset() {
    if (!SyncLink()) return;
    SoftwareSystemReset(m_portNumber);
    WaitMs(kResetSettleMs);
}

void ComData::SnapshotPosition() {
    if (!SyncLink()) return;
    if (!readRegister(reg::Position, m_readBuffer)) return;
    if (!readRegister(reg::PositionLow, m_readBuffer)) return;
    m_positionSnapshot = m_readBuffer;
    if (!SyncLink()) return;
    if (!readRegister(reg::PositionHigh, m_readBuffer)) return;
    m_positionSnapshot = reg::position32(static_cast<uint16_t>(m_positionSnapshot), m_readBuffer);
    if (!SyncLink()) return;
    readRegister(reg::PositionRelease, m_readBuffer);
}
