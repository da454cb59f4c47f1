#include "platform/InstallDirectory.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#ifndef KPD_BUILD_BIN_DIR
#define KPD_BUILD_BIN_DIR ""
#endif

namespace platform {
namespace {

namespace fs = std::filesystem;

std::mutex registryMutex;
std::string registryFileOverride; // guarded by registryMutex

std::string_view Trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string FullName(std::string_view key, std::string_view value) {
    std::string name(Trim(key));
    while (!name.empty() && name.back() == '\\')
        name.pop_back();
    name += '\\';
    name += Trim(value);
    return name;
}

std::optional<std::string> ReadFromFile(const std::string &path, std::string_view wanted) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    while (std::getline(in, line)) {
        const auto parsed = ParseRegistryLine(line);
        if (parsed && EqualsNoCase(parsed->first, wanted)) return parsed->second;
    }
    return std::nullopt;
}

} // namespace

std::string RegistryFile() {
    {
        std::lock_guard lock(registryMutex);
        if (!registryFileOverride.empty()) return registryFileOverride;
    }
    const char *env = std::getenv(kRegistryFileEnv);
    if (env && *env) return env;
    return kDefaultRegistryFile;
}

void SetRegistryFile(std::string path) {
    std::lock_guard lock(registryMutex);
    registryFileOverride = std::move(path);
}

std::optional<std::pair<std::string, std::string>> ParseRegistryLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#' || line.front() == ';') return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view name = Trim(line.substr(0, eq));
    const auto slash = name.rfind('\\');
    // A name needs a key and a value part: "Key\Value".
    if (slash == std::string_view::npos || slash == 0 || slash + 1 >= name.size()) return std::nullopt;
    return std::make_pair(FullName(name.substr(0, slash), name.substr(slash + 1)),
                          std::string(Trim(line.substr(eq + 1))));
}

std::optional<std::string> ReadRegistryString(std::string_view key, std::string_view value) {
    if (EqualsNoCase(Trim(key), kInstallKey) && EqualsNoCase(Trim(value), kInstallValue)) {
        const char *env = std::getenv(kInstallDirEnv);
        if (env && *env) return std::string(env);
    }
    return ReadFromFile(RegistryFile(), FullName(key, value));
}

std::optional<std::string> InstallDirectory() {
    return ReadRegistryString(kInstallKey, kInstallValue);
}

std::string ChooseInstallDirectory(const std::optional<std::string> &configured, bool buildTreeRun,
                                   const std::string &fallback, const std::string &perUser) {
    if (configured && !configured->empty()) return *configured;
    return buildTreeRun ? fallback : perUser;
}

std::string PerUserSettingsDirectory() {
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    // The base directory rules: a relative path in the variable is invalid and is ignored.
    if (xdg && xdg[0] == '/') return (fs::path(xdg) / "KPD").string();
    std::string home;
    if (const char *h = std::getenv("HOME"); h && *h) {
        home = h;
    } else {
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buf(static_cast<std::size_t>(size > 0 ? size : 16384));
        passwd entry{};
        passwd *found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
            home = found->pw_dir;
    }
    if (home.empty()) home = "/tmp";
    return (fs::path(home) / ".config" / "KPD").string();
}

bool RunFromBuildTree() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return false;
    const fs::path buildBin = fs::weakly_canonical(fs::path(KPD_BUILD_BIN_DIR), ec);
    if (ec) return false;
    return fs::weakly_canonical(program.parent_path(), ec) == buildBin && !ec;
}

std::string InstallDirectoryOr(const std::string &fallback) {
    const auto configured = InstallDirectory();
    const std::string perUser = PerUserSettingsDirectory();
    const std::string dir = ChooseInstallDirectory(configured, RunFromBuildTree(), fallback, perUser);
    if (dir == perUser && !(configured && !configured->empty())) {
        std::error_code ec;
        fs::create_directories(dir, ec); // a folder that cannot be made shows up when the settings are saved
    }
    return dir;
}

} // namespace platform
