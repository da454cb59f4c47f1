#pragma once
// Registry stand-in: the program reads one string value, "Install Directory" under the key
// "Software\HalviAT". On Linux the value comes from, in this order:
//   1. the environment variable KPD_INSTALL_DIR (for that one value only; an empty variable counts as unset),
//   2. the system configuration file (default /etc/kpd/registry.conf, or the file named by the
//      environment variable KPD_REGISTRY_FILE, or the path set with SetRegistryFile), which holds lines
//      `Key\Value=data`, e.g. `Software\HalviAT\Install Directory=/opt/kpd`. Blank lines and lines
//      starting with '#' or ';' are ignored; key and value names compare case-insensitively, like the
//      Windows registry; spaces around the name and the data are dropped; the first matching line wins,
//   3. otherwise the value is missing.
// A missing or unreadable file means "missing"; nothing is reported.
//
// When the value is missing, where the settings files go depends on how the program runs. A program run
// from its build tree (its file lies in the build's bin folder) uses the caller's fallback, the working
// directory at start. An installed program (anywhere else, e.g. /usr/bin) never writes next to its own
// file: it uses the per-user folder $XDG_CONFIG_HOME/KPD, or ~/.config/KPD when XDG_CONFIG_HOME is unset
// or not an absolute path, and creates that folder when it is missing.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kInstallKey = "Software\\HalviAT";
inline constexpr std::string_view kInstallValue = "Install Directory";
inline constexpr const char *kInstallDirEnv = "KPD_INSTALL_DIR";
inline constexpr const char *kRegistryFileEnv = "KPD_REGISTRY_FILE";
inline constexpr const char *kDefaultRegistryFile = "/etc/kpd/registry.conf";

// Path of the configuration file consulted now: the path set with SetRegistryFile, else
// $KPD_REGISTRY_FILE, else /etc/kpd/registry.conf.
std::string RegistryFile();
// Overrides the configuration file path (tests); an empty string returns to the default rule.
void SetRegistryFile(std::string path);

// Reads the string `value` of `key` from the stand-in. Only KPD_INSTALL_DIR maps to an environment
// variable; every key/value pair may appear in the file.
std::optional<std::string> ReadRegistryString(std::string_view key, std::string_view value);

// The value "Install Directory" of "Software\HalviAT", or nothing.
std::optional<std::string> InstallDirectory();

// The install directory; when it is missing, `fallback` (normally the working directory at start) for a
// program run from its build tree, else the per-user settings folder (created when missing).
std::string InstallDirectoryOr(const std::string &fallback);

// The per-user settings folder of an installed program: $XDG_CONFIG_HOME/KPD, else $HOME/.config/KPD
// (the home folder of the user's account entry when HOME is unset). Not created here.
std::string PerUserSettingsDirectory();

// Whether the running program's file lies in the build tree's bin folder (the folder the build wrote it
// to), i.e. it was not installed.
bool RunFromBuildTree();

// The rule above as a plain decision: the configured directory when present and not empty; else
// `fallback` for a build-tree run; else `perUser`.
std::string ChooseInstallDirectory(const std::optional<std::string> &configured, bool buildTreeRun,
                                   const std::string &fallback, const std::string &perUser);

// Parses one line of the configuration file; returns the full name (`Key\Value`) and the data, or
// nothing for blank, comment and malformed lines. Exposed for tests.
std::optional<std::pair<std::string, std::string>> ParseRegistryLine(std::string_view line);

} // namespace platform
