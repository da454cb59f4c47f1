// DataSets: the four recorded data sets of the access object and the operations on them.
//
// The access object (ComData) holds one DataSets for its whole life. The rings are allocated once, here,
// and never resized. Clear, save and load run on the user-interface thread while no worker thread uses the
// set (the command scheduler stops the worker first).
//
// Saving writes the file as a whole: the text is built in memory, written to a temporary file beside the
// target and renamed over it, so a failed save leaves an existing file intact; a target that is not a
// regular file is refused. The save operations return true on success and raise DataFileSaveError when the
// file cannot be written. What is saved always loads back: no value and no units name can fail a save or
// make the file unloadable (see DataFileWriter and DataNumberFormat).
//
// Loading parses the whole file into temporary storage and changes the data set only when the file is
// valid; any rejected file leaves every data set as it was.
#pragma once

#include "data/DataSet.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

// Header values of the setup and status, signal strength and position and velocity files.
struct DataFileHeader {
    std::string unitsName;             // bytes as stored in the file (single-byte text)
    float resolutionMultiplier = 1.0f; // counts to display unit
    float interpolationMultiplier = 1.0f;
};

// Outcome of DataSets::LoadDataFile.
struct DataFileLoadResult {
    bool ok = false;
    int kind = -1;          // data set loaded, 0..3; -1 when the file was rejected
    int count = 0;          // records loaded; 0 when rejected
    bool hasHeader = false; // kinds 0, 2 and 3: header holds the file's units and multipliers
    DataFileHeader header;
    std::string
        reason; // why the file was rejected (for diagnostics; the user sees "Invalid Software File Type")
};

class DataSets {
public:
    DataSets();
    ~DataSets();
    DataSets(const DataSets &) = delete;
    DataSets &operator=(const DataSets &) = delete;

    SetupStatusDataSet &SetupStatus() { return *m_setupStatus; }
    const SetupStatusDataSet &SetupStatus() const { return *m_setupStatus; }
    EncoderSignalDataSet &EncoderSignal() { return *m_encoderSignal; }
    const EncoderSignalDataSet &EncoderSignal() const { return *m_encoderSignal; }
    SignalStrengthDataSet &SignalStrength() { return *m_signalStrength; }
    const SignalStrengthDataSet &SignalStrength() const { return *m_signalStrength; }
    PositionVelocityDataSet &PositionVelocity() { return *m_positionVelocity; }
    const PositionVelocityDataSet &PositionVelocity() const { return *m_positionVelocity; }

    // Control state and interval array of data set 0..3 (throws std::out_of_range for another number).
    DataSetControl &Control(int set);
    const DataSetControl &Control(int set) const;
    std::span<float> Intervals(int set);
    std::span<const float> Intervals(int set) const;
    // Capacity of data set 0..3 (2000 or 20000); 0 for another number.
    static int32_t Capacity(int set);

    // Empties data set 0..3; returns false (and changes nothing) for another number.
    bool ClearDataSet(int set);

    // Save operations: write all buffered records but the oldest, oldest first. Return true; raise
    // DataFileSaveError when the file cannot be written (an existing file is then left unchanged).
    bool SaveSetupStatusFile(const std::filesystem::path &file, const std::string &unitsName,
                             float resolutionMultiplier, float interpolationMultiplier) const;
    bool SaveEncoderSignalFile(const std::filesystem::path &file) const;
    bool SaveSignalStrengthFile(const std::filesystem::path &file, const std::string &unitsName,
                                float resolutionMultiplier, float interpolationMultiplier) const;
    bool SavePositionVelocityFile(const std::filesystem::path &file, const std::string &unitsName,
                                  float resolutionMultiplier, float interpolationMultiplier) const;

    // Loads a data file into the data set its first line names. On success the set holds the file's
    // complete records at indices 0.. (a last record cut short is left out), count = records, not
    // wrapped, elapsed = sum of the intervals, review count = review target = records, review index 0,
    // review elapsed 0, and reset-on-next-live-start set.
    // Rejected (unknown first line, header cut short, header line over 79 characters, header value not a
    // number, more records than the set can hold, a value that is not a number or out of range,
    // unreadable file): ok false, kind -1, count 0, and no data set changes.
    DataFileLoadResult LoadDataFile(const std::filesystem::path &file);
    // The same with out-parameters: true, kind 0..3 and the record count, or false, -1 and 0.
    bool LoadDataFile(const std::filesystem::path &file, int &kind, int &count);

private:
    std::unique_ptr<SetupStatusDataSet> m_setupStatus;
    std::unique_ptr<EncoderSignalDataSet> m_encoderSignal;
    std::unique_ptr<SignalStrengthDataSet> m_signalStrength;
    std::unique_ptr<PositionVelocityDataSet> m_positionVelocity;
};
