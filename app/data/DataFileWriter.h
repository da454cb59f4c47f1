// Text of the four data files, built from a data set in memory.
//
// A file holds all buffered records except the oldest one, oldest first: count - 1 records while the ring
// has not wrapped, capacity - 1 once it has. An empty set, or one with a single record, gives the header
// lines only.
#pragma once

#include "data/DataSet.h"
#include "data/DataSets.h"

#include <string>

namespace DataFileWriter {

// Every text loads back. The units name is free text from the settings; the header line holds at most
// 70 characters of it, so a longer name is cut to its first 70 characters, and a name with a line break
// ends before the break (neither can fail a save). Numbers follow DataNumberFormat: a non-finite value is
// written as the nearest finite float.
std::string SetupStatusText(const SetupStatusDataSet &set, const DataFileHeader &header);
std::string EncoderSignalText(const EncoderSignalDataSet &set);
std::string SignalStrengthText(const SignalStrengthDataSet &set, const DataFileHeader &header);
std::string PositionVelocityText(const PositionVelocityDataSet &set, const DataFileHeader &header);

} // namespace DataFileWriter
