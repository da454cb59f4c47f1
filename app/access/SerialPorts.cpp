#include "access/SerialPorts.h"

#include "access/ComData.h"

#include <senslink.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 256;

// The file the library opens for the port; empty when it does not exist.
std::string ExistingPath(int port) {
    char path[4096] = {};
    return GetPortDevice(port, path, sizeof path) == 1 ? std::string(path) : std::string();
}

std::string Resolved(const std::string &path) {
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    return ec ? std::string() : real.string();
}

std::string ByIdName(const std::string &device, const std::string &folder) {
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(folder, ec))
        if (entry.is_symlink(ec) && Resolved(entry.path().string()) == device) return entry.path().string();
    return {};
}

} // namespace

std::vector<SerialPortInfo> SerialPorts::List(const std::string &byIdFolder) {
    std::vector<SerialPortInfo> ports;
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        SerialPortInfo info;
        info.port = port;
        info.path = ExistingPath(port);
        if (info.path.empty()) continue;
        int timeoutMs = 0;
        int baud = 0;
        const bool held = GetPortConfig(port, &timeoutMs, &baud) == 0; // open in this process already
        if (!held) {
            if (OpenPort(port) == 0) {
                ClosePort(port);
            } else {
                const PortOpenFailure failure = ComData::OpenFailureOf(port);
                if (failure.reason == PortOpenFailure::Reason::NoDevice) continue;
                info.access = failure.reason;
                info.group = failure.group;
            }
        }
        info.device = Resolved(info.path);
        info.byId = ByIdName(info.device, byIdFolder);
        ports.push_back(std::move(info));
    }
    return ports;
}

int SerialPorts::PortOfDevice(const std::string &path) {
    const std::string device = Resolved(path);
    if (device.empty()) return 0;
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        const std::string file = ExistingPath(port);
        if (!file.empty() && Resolved(file) == device) return port;
    }
    return 0;
}
