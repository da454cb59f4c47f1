// Parsing of the four data file formats into temporary storage, checked in full before anything is stored.
#pragma once

#include "data/DataSets.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace DataFileReader {

// A parsed file: its kind, its header values (kinds 0, 2, 3) and its records column by column.
// Integer columns hold the exact integer; float columns hold the float value.
struct ParsedFile {
    bool ok = false;
    int kind = -1;
    DataFileHeader header;
    std::vector<std::vector<double>> columns; // one per value of a record, in file order
    int32_t records = 0;
    std::string reason; // why the file was rejected
};

// Data set named by a first line (whole, case-sensitive, either generation); -1 when none.
int KindOfFirstLine(std::string_view line);

// Parses the text of a data file. At most `maxRecords[kind]` records are accepted; more reject the file.
// Only complete records count: a last record cut short at the end of the text is left out, provided the
// values it has are numbers.
ParsedFile Parse(std::string_view text, const int32_t (&maxRecords)[4]);

// Reads and parses a file (rejected when it cannot be read).
ParsedFile ParseFile(const std::filesystem::path &file, const int32_t (&maxRecords)[4]);

} // namespace DataFileReader
