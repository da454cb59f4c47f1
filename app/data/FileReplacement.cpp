#include "data/FileReplacement.h"

#include "data/DataFileSaveError.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReplacement {

namespace {

std::string SystemError(const std::string &what, const std::filesystem::path &file, int error) {
    return what + " " + file.string() + ": " + std::strerror(error);
}

// The file a save writes: the target itself, or the file a symbolic link names, so that the link stays.
std::filesystem::path ResolvedTarget(const std::filesystem::path &target) {
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
        auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) return resolved;
    }
    return target;
}

bool WriteAll(int fd, std::string_view contents) {
    const char *data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

void ReplaceFile(const std::filesystem::path &requested, std::string_view contents) {
    if (requested.empty()) throw DataFileSaveError("no file name given");
    const std::filesystem::path target = ResolvedTarget(requested);
    // Only a regular file is ever replaced: a directory, FIFO, device node or socket of that name stays.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        throw DataFileSaveError("cannot save over " + target.string() + ": not a regular file");
    const std::filesystem::path directory =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");

    // A fresh name beside the target; O_EXCL makes sure no existing file is ever reused.
    static std::atomic<unsigned> serial{0};
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = directory / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                                 std::to_string(serial.fetch_add(1)) + ".tmp");
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw DataFileSaveError(SystemError("cannot create a file in", directory, errno));

    // An existing target keeps its permissions.
    if (exists) (void)::fchmod(fd, existing.st_mode & 07777);

    int error = 0;
    if (!WriteAll(fd, contents)) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw DataFileSaveError(SystemError("cannot write", target, error));
    }
}

} // namespace FileReplacement
