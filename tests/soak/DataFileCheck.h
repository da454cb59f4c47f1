// DataFileCheck: what a data file holds, taken from a data set, and the comparison of two such views, for
// checking that a saved file loads back equal and that a load fills the data set with the file's records.
//
// A record is the list of the values its file line holds (DataFileLayout's columns). Integer columns must
// come back exactly; float columns may differ by what the file's number format rounds away (a fixed number
// of decimals and of significant digits) and the float they are read into.
#pragma once

#include "data/DataSets.h"

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

struct FileRecords {
    int kind = -1;
    bool hasHeader = false;
    DataFileHeader header;
    std::vector<std::vector<double>> records;
};

// What saving data set `kind` writes now: every buffered record but the oldest, oldest first, with the
// header a save gets (kinds 0, 2, 3).
FileRecords SavedView(const DataSets &data, int kind, const DataFileHeader &header);

// What a loaded data set `kind` holds: records 0 .. count - 1 (a load never leaves the set wrapped).
// Header values are taken from `load` (the loader's result).
FileRecords LoadedView(const DataSets &data, int kind, const DataFileLoadResult &load);

// Empty when `actual` holds what `expected` does (kind, header, record count, each value within the
// precision of its column); otherwise what differs first.
std::string Compare(const FileRecords &expected, const FileRecords &actual);

// The data set kind of a file extension ("man" 0, "lis" 1, "str" 2, "pos" 3); -1 for another.
int KindOfExtension(const std::string &ext);
const char *ExtensionOfKind(int kind);

} // namespace soak
