// Shared helpers of the data tests: temporary directories, file text, and a fingerprint of all data sets.
#pragma once

#include "DataFingerprint.h"
#include "data/DataSets.h"

#include <cstdint>
#include <filesystem>
#include <string>

// A fresh directory removed again at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::filesystem::path &Path() const { return m_path; }
    std::filesystem::path operator/(const std::string &name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::string ReadText(const std::filesystem::path &file);
void WriteText(const std::filesystem::path &file, const std::string &text);

// Fills every slot of every set with varied values and gives each set some control state.
void FillWithPattern(DataSets &sets, uint32_t seed);
