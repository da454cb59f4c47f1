// A scratch directory for the harnesses that go through files: inside $KPD_FUZZ_SCRATCH when that is set
// (scripts/fuzz.sh points it at a folder it removes afterwards, also after a crash), else in memory
// (/dev/shm) where the machine has it, so that the loaders' reads, writes and flushes stay cheap. Removed
// when the process ends normally.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace fuzz {

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::error_code ec;
        const char *chosen = std::getenv("KPD_FUZZ_SCRATCH");
        std::string base = chosen != nullptr && *chosen != '\0' ? chosen : "/dev/shm";
        if (!std::filesystem::is_directory(base, ec) || ::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path().string();
        std::string tmpl = base + "/kpd-fuzz-XXXXXX";
        if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
        m_path = tmpl;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

inline const std::string &ScratchDir() {
    static const ScratchDirectory dir;
    return dir.path();
}

inline void WriteWhole(const std::string &path, std::string_view text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

inline std::string ReadWhole(const std::string &path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return text;
}

} // namespace fuzz
