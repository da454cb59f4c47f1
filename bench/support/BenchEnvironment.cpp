#include "BenchEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace kpdbench {

std::string PrivateProgramDir(const char *prefix) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string dir = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!::mkdtemp(dir.data())) {
        std::perror("mkdtemp");
        return {};
    }
    setenv("SENSLINK_PORT_DIR", dir.c_str(), 1);
    setenv("KPD_INSTALL_DIR", dir.c_str(), 1);
    return dir;
}

} // namespace kpdbench
