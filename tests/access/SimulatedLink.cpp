#include "SimulatedLink.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

class PortDirEnvironment : public ::testing::Environment {
public:
    void SetUp() override { dir(); }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir(), ec);
    }
    static const std::string &dir() {
        static const std::string path = [] {
            std::string tmpl = (std::filesystem::temp_directory_path() / "kpd-access-XXXXXX").string();
            if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
            ::setenv("SENSLINK_PORT_DIR", tmpl.c_str(), 1);
            return tmpl;
        }();
        return path;
    }
};

[[maybe_unused]] ::testing::Environment *const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new PortDirEnvironment);

} // namespace

const std::string &testPortDir() {
    return PortDirEnvironment::dir();
}

void SimulatedLink::SetUp() {
    ASSERT_TRUE(sim.start(testPortDir(), kPort)) << sim.lastError();
}

void SimulatedLink::TearDown() {
    com.ClosePortIfOpen();
    sim.stop();
}

void SimulatedLink::connect() {
    std::string message;
    int model = -1;
    ASSERT_TRUE(com.Connect(message, model));
    ASSERT_EQ(model, 0);
}
