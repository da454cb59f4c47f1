// ElectronicsIdentity: what identifies connected electronics: the model code and its name, the sensor
// type, the interpolation depth, the firmware version and the processor version. Read with the access
// object's register reads only (nothing is written), after a successful Connect.
#pragma once

#include <cstdint>
#include <string>

class ComData;

struct ElectronicsIdentity {
    int port = 0;
    int modelCode = -1;           // ElectronicsId bits 5..8; -1 when it could not be read
    uint16_t sensorType = 0;      // 0 when it could not be read
    uint16_t interpDepth = 0;     // 0 when it could not be read
    uint16_t firmwareVersion = 0; // 0 when it could not be read
    int processorVersion = 0;     // the processor version read by Connect

    // The model's name ("KPD Digital Sensor"; "" for an unknown code): the found message without its
    // " Electronics Found on COM" ending.
    std::string ModelName() const;
    bool KpdSensor() const;
    // The sensor label of the main window: "for KPD Digital Sensor 4096X", or "unknown".
    std::string SensorLabel() const;
    // Bits 5..7 of the firmware version.
    int Generation() const;

    // Reads the identification registers through com (each read purges, syncs and reads). Returns false
    // when any read failed; the fields read so far are kept and the others keep their defaults.
    static bool Read(ComData &com, ElectronicsIdentity &identity);
};
