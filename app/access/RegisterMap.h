// Register map of the KPD Digital Sensor electronics (VK240 family).
//
// This header is the one place where register numbers, the address-word layout, the access modifiers,
// the codes of the command register and the two stream subscriptions are defined. Every other part of
// the program uses these names; no register number is written anywhere else.
#pragma once

#include <array>
#include <cstdint>

namespace reg {

// ---- Register numbers --------------------------------------------------------------------------------

inline constexpr uint8_t GenReg0 = 0x00; // general register 0 (information, engineering display)
inline constexpr uint8_t GenReg1 = 0x02; // general settings word (status cycle, output settings)
inline constexpr uint8_t Gain = 0x04;
inline constexpr uint8_t XOffset = 0x06;
inline constexpr uint8_t YOffset = 0x08;
inline constexpr uint8_t Phase = 0x0A;
inline constexpr uint8_t IndexAngle = 0x0C;
inline constexpr uint8_t WTrim = 0x0E;
inline constexpr uint8_t XTrim = 0x10;
inline constexpr uint8_t YTrim = 0x12;
inline constexpr uint8_t ZTrim = 0x14;
inline constexpr uint8_t IndexTrSumTarget = 0x16;
inline constexpr uint8_t MainVcselLimit = 0x18;
inline constexpr uint8_t IndexVcselStatic = 0x1A;
inline constexpr uint8_t MainVcselStatic = 0x1C;
inline constexpr uint8_t InterpDepth = 0x1E;   // interpolation depth
inline constexpr uint8_t ElectronicsId = 0x20; // bits 5..8: model code
inline constexpr uint8_t MainVcselUpper = 0x22;
inline constexpr uint8_t MainVcselLower = 0x24;
inline constexpr uint8_t PolledPositionExtra = 0x26; // signal strength of a polled sample
inline constexpr uint8_t PolledPositionCheck = 0x28; // read after the polled position halves
inline constexpr uint8_t FirmwareVersion = 0x30;     // bits 5..7: electronics generation
inline constexpr uint8_t XAdc = 0x32;
inline constexpr uint8_t YAdc = 0x34;
inline constexpr uint8_t XAdcAdj = 0x36;
inline constexpr uint8_t YAdcAdj = 0x38;
inline constexpr uint8_t Tr3SumA = 0x3A;
inline constexpr uint8_t Tr3SumB = 0x3C;
inline constexpr uint8_t Magnitude = 0x3E;
inline constexpr uint8_t Position64 = 0x40;
inline constexpr uint8_t Status = 0x42; // high half of the status word
inline constexpr uint8_t MainDrive = 0x44;
inline constexpr uint8_t IndexDrive = 0x46;
inline constexpr uint8_t IndexPosEdge = 0x48;
inline constexpr uint8_t IndexNegEdge = 0x4A;
inline constexpr uint8_t Position = 0x4C; // first read of the position snapshot
inline constexpr uint8_t FringeCount = 0x4E;
inline constexpr uint8_t Spare1 = 0x50;
inline constexpr uint8_t PolledPositionLow = 0x69;
inline constexpr uint8_t PolledPositionHigh = 0x6A;
inline constexpr uint8_t Command = 0x80;         // command register (written)
inline constexpr uint8_t Config = 0x82;          // configuration (written by the information command)
inline constexpr uint8_t PositionRelease = 0x84; // read after the two position halves
inline constexpr uint8_t PositionLow = 0x85;
inline constexpr uint8_t PositionHigh = 0x86;
inline constexpr uint8_t IndexWidth = 0x90;
inline constexpr uint8_t SensorType = 0x91; // high byte 0x17: KPD Digital Sensor
inline constexpr uint8_t AtStatus = 0x92;   // low half of the status word
inline constexpr uint8_t IndexLowLimit = 0x93;
inline constexpr uint8_t Settings = 0x94; // bits 0..2 output frequency, bit 4 adaptive correction

// ---- Address word ------------------------------------------------------------------------------------
// bits 0-15 data (0 for a read), bits 16-23 register number, bits 24-31 access modifier.

inline constexpr uint8_t ModNone = 0x00;         // ordinary access
inline constexpr uint8_t ModPositionRead = 0x02; // position halves read by the status monitor
inline constexpr uint8_t ModSecondWrite = 0x10;  // second of the two GenReg1 writes

constexpr uint32_t address(uint8_t reg, uint16_t data = 0, uint8_t modifier = ModNone) {
    return (uint32_t{modifier} << 24) | (uint32_t{reg} << 16) | uint32_t{data};
}

constexpr uint8_t registerOf(uint32_t addressWord) {
    return static_cast<uint8_t>((addressWord >> 16) & 0xFF);
}
constexpr uint16_t dataOf(uint32_t addressWord) {
    return static_cast<uint16_t>(addressWord & 0xFFFF);
}
constexpr uint8_t modifierOf(uint32_t addressWord) {
    return static_cast<uint8_t>(addressWord >> 24);
}

// ---- Command register codes (data of a write to reg::Command) ----------------------------------------

inline constexpr uint16_t CmdZero1 = 0x0002; // zero position, first write
inline constexpr uint16_t CmdZero2 = 0x0004; // zero position, second write
inline constexpr uint16_t CmdCenterIndex = 0x0014;
inline constexpr uint16_t CmdStartCalibration = 0x0040; // plus (parameter << 8), parameter below 256
inline constexpr uint16_t CmdStopCalibration = 0x0041;
inline constexpr uint16_t CmdSetCalibration = 0x0042;
inline constexpr uint16_t CmdStartAlignment = 0x0043;
inline constexpr uint16_t CmdStopAlignment = 0x0044;
inline constexpr uint16_t CmdMainAgcDisable = 0x0045;
inline constexpr uint16_t CmdMainAgcEnable = 0x0046;

// Start-calibration code with its parameter in the high byte of the data field.
constexpr uint16_t startCalibrationCode(uint8_t parameter) {
    return static_cast<uint16_t>(CmdStartCalibration + (uint16_t{parameter} << 8));
}

// ---- Processor value commands (ReadValueNXRA) ----------------------------------------------------------

inline constexpr int ValueMspVersion = 0xA1;     // processor firmware version
inline constexpr int ValueMspVersionLength = 2;  // reply data bytes

// ---- Stream subscriptions (payload of BeginAsyncVK240; record words in this order) -------------------

inline constexpr std::array<uint8_t, 4> LissajousStream{YAdc, XAdc, YAdcAdj, XAdcAdj};
inline constexpr std::array<uint8_t, 4> PositionStream{PositionLow, PositionHigh, Position64, Magnitude};

// ---- Multi-register values and bit fields ------------------------------------------------------------

// Status word: AtStatus in bits 0-15, Status in bits 16-31.
constexpr uint32_t statusWord(uint16_t atStatus, uint16_t status) {
    return uint32_t{atStatus} | (uint32_t{status} << 16);
}

// 32-bit position from its halves: low + 65536 x high (wraps like the 32-bit counter of the electronics).
constexpr int32_t position32(uint16_t low, uint16_t high) {
    return static_cast<int32_t>(uint32_t{low} | (uint32_t{high} << 16));
}

// Model code of an ElectronicsId value; codes 0..MaxModelCode are accepted.
inline constexpr int MaxModelCode = 6;
constexpr int modelCode(uint16_t electronicsId) {
    return (electronicsId >> 5) & 15;
}

// Generation of the electronics from a FirmwareVersion value.
constexpr int firmwareGeneration(uint16_t firmwareVersion) {
    return (firmwareVersion >> 5) & 7;
}

// Processor firmware accepted when bits 8..11 of the ReadMSPVersion result are 1 or 5.
constexpr bool processorVersionAccepted(int mspVersion) {
    if (mspVersion < 0) return false;
    const int family = (mspVersion >> 8) & 15;
    return family == 1 || family == 5;
}

// SensorType high byte that identifies the KPD Digital Sensor.
inline constexpr uint8_t SensorTypeKpd = 0x17;
constexpr bool isKpdSensor(uint16_t sensorType) {
    return (sensorType >> 8) == SensorTypeKpd;
}

// Config bit set by the information command when it is found clear.
inline constexpr uint16_t ConfigInfoBit = 0x0001;

} // namespace reg
