// Error raised by the data-file save operations when a file cannot be written.
//
// The save operations return true when the file has been written and raise this error otherwise; the
// command scheduler catches it and shows "Cannot Save to File.  Verify the file is not being used by any
// other application.". what() carries the technical reason (file name and system error) for diagnostics.
// A failed save leaves an existing file of that name as it was and never changes the data set.
#pragma once

#include <stdexcept>
#include <string>

class DataFileSaveError : public std::runtime_error {
public:
    explicit DataFileSaveError(const std::string &reason) : std::runtime_error(reason) {}
};
