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

// Throw DataFileSaveError when the header cannot be written as a loadable file (units name with a line
// break, or a header line longer than the loader accepts).
std::string SetupStatusText(const SetupStatusDataSet &set, const DataFileHeader &header);
std::string EncoderSignalText(const EncoderSignalDataSet &set);
std::string SignalStrengthText(const SignalStrengthDataSet &set, const DataFileHeader &header);
std::string PositionVelocityText(const PositionVelocityDataSet &set, const DataFileHeader &header);

} // namespace DataFileWriter
