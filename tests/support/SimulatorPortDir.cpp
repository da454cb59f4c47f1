#include "SimulatorPortDir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace kpdtest {

namespace {

struct PortDir {
    std::string path;
    PortDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kpd-ports-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot create the test port directory");
        ::setenv("SENSLINK_PORT_DIR", tmpl.c_str(), 1);
        path = tmpl;
    }
    ~PortDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

} // namespace

const std::string &SimulatorPortDir() {
    static const PortDir dir;
    return dir.path;
}

// Created at start-up, before any test opens a port: no test may ever reach the machine's own devices.
[[maybe_unused]] const std::string &kCreatedAtStart = SimulatorPortDir();

} // namespace kpdtest
