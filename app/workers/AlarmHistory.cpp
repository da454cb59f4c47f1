#include "workers/AlarmHistory.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kpd {

namespace {

void SetError(std::string *error, const std::string &what, int err) {
    if (error) *error = what + ": " + std::strerror(err);
}

bool WriteAll(int fd, const std::string &data) {
    const char *p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= std::size_t(n);
    }
    return true;
}

} // namespace

bool AlarmHistory::SaveToFile(const std::filesystem::path &path, std::string *error) const {
    return SaveAlarmFile(Snapshot(), path, error);
}

bool SaveAlarmFile(const std::vector<std::string> &lines, const std::filesystem::path &path,
                   std::string *error) {
    if (path.empty() || !path.has_filename()) {
        if (error) *error = "no file name given";
        return false;
    }
    std::string text;
    for (const std::string &line : lines) {
        text += line;
        text += "\r\n";
    }

    // A unique temporary name next to the target, so the final rename stays on one file system.
    static std::atomic<unsigned> serial{0};
    const std::filesystem::path dir = path.parent_path();
    std::filesystem::path tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = dir / ("." + path.filename().string() + ".tmp" + std::to_string(::getpid()) + "_" +
                     std::to_string(serial.fetch_add(1)));
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        SetError(error, "cannot create a file in \"" + (dir.empty() ? std::string(".") : dir.string()) + "\"",
                 errno);
        return false;
    }

    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) {
            ::close(fd);
            ::unlink(tmp.c_str());
            if (error) *error = "\"" + path.string() + "\" is not a regular file";
            return false;
        }
        (void)::fchmod(fd, existing.st_mode & 07777);
    }

    if (!WriteAll(fd, text) || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        SetError(error, "cannot write \"" + path.string() + "\"", err);
        return false;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        SetError(error, "cannot write \"" + path.string() + "\"", err);
        return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        SetError(error, "cannot replace \"" + path.string() + "\"", err);
        return false;
    }
    return true;
}

} // namespace kpd
