// What the "Electronics Information" window shows: identification and usage counters read by the
// information command, with the serial port in use.
#pragma once

#include <cstdint>

struct InfoFields {
    bool alignmentTool = true; // electronics type 0
    uint32_t serialNumber = 0; // GenReg0
    uint16_t firmwareVersion = 0;
    int processorVersion = 0;
    long long powerOnTime = 0;
    long long powerOnCycles = 0;
    int port = 0;
    int baudRate = 0;
};
