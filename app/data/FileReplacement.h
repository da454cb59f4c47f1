// Replacing a file's contents without ever leaving it half written.
#pragma once

#include <filesystem>
#include <string_view>

namespace FileReplacement {

// Writes `contents` to a new temporary file in the target's directory, flushes it to disk and renames it
// over `target` (following a symbolic link to the file it names). An existing target keeps its
// permissions; a target that exists but is not a regular file (directory, FIFO, device node, socket) is
// refused before anything is written. On any failure the temporary file is removed, the target is left as
// it was, and DataFileSaveError is raised with the reason.
void ReplaceFile(const std::filesystem::path &target, std::string_view contents);

} // namespace FileReplacement
