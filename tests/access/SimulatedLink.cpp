#include "SimulatedLink.h"

#include <senslink.h>

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

Traffic settledTraffic(const kpdsim::Simulator &sim) {
    const auto read = [&] {
        return Traffic{sim.syncsAnswered(), sim.requestsAnswered(), sim.bytesReceived()};
    };
    Traffic last = read();
    for (int i = 0; i < 50; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const Traffic now = read();
        if (now == last) return now;
        last = now;
    }
    return last;
}

const std::string &testPortDir() {
    return PortDirEnvironment::dir();
}

void SimulatedLink::SetUp() {
    ASSERT_TRUE(sim.start(testPortDir(), kPort)) << sim.lastError();
}

void SimulatedLink::TearDown() {
    com.ClosePortIfOpen();
    ClosePort(kPort); // also when a test opened the port itself, so the next test starts clean
    sim.stop();
}

void SimulatedLink::connect() {
    std::string message;
    int model = -1;
    ASSERT_TRUE(com.Connect(message, model));
    ASSERT_EQ(model, 0);
}
