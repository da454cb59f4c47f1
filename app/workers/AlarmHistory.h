// The alarm history: the list of alarm lines, newest first, and the ".alm" file it is saved to.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace kpd {

class AlarmHistory {
public:
    // Inserts a line at the top of the list.
    void Insert(std::string line) { lines_.push_front(std::move(line)); }
    void Clear() { lines_.clear(); }
    bool Empty() const { return lines_.empty(); }
    std::size_t Count() const { return lines_.size(); }
    const std::string &Line(std::size_t i) const { return lines_.at(i); }
    // A copy of the list, newest first (what the history window shows).
    std::vector<std::string> Snapshot() const { return {lines_.begin(), lines_.end()}; }

    // Writes the whole list as an alarm history file (see SaveAlarmFile).
    bool SaveToFile(const std::filesystem::path &path, std::string *error = nullptr) const;

private:
    std::deque<std::string> lines_;
};

// Writes lines as an ".alm" file: one line per text line in the given order, each ended by CR LF; an empty
// list gives an empty file. The file is replaced as the data files are (FileReplacement): the text goes to
// a temporary file in the same folder that then replaces the target, so a failing save leaves an existing
// file untouched; an existing file's permissions are kept; a symbolic link stays and the file it names is
// replaced; a target that is not a regular file (directory, FIFO, device node, socket) is refused.
// Returns false and, when error is given, a readable reason on failure.
bool SaveAlarmFile(const std::vector<std::string> &lines, const std::filesystem::path &path,
                   std::string *error = nullptr);

} // namespace kpd
