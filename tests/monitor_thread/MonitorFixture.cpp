#include "MonitorFixture.h"

#include <WorkerThread.h>

#include <senslink.h>

#include <QCoreApplication>
#include <QEvent>

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
            std::string tmpl = (std::filesystem::temp_directory_path() / "kpd-monitor-XXXXXX").string();
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

kpdsim::SimOptions MonitorFixture::Options() {
    kpdsim::SimOptions options;
    options.pacing = false; // the tests want many samples quickly
    options.speed = 0.0;    // a standing head: positions are exact
    return options;
}

void MonitorFixture::SetUp() {
    ASSERT_TRUE(sim.start(PortDirEnvironment::dir(), kPort)) << sim.lastError();
    std::string message;
    int model = -1;
    ASSERT_TRUE(com.Connect(message, model));
    ASSERT_EQ(ConfigPort(kPort, kTestTimeoutMs, ComData::LinkBaudRate), 0);
}

void MonitorFixture::TearDown() {
    EXPECT_TRUE(StopAndWait());
    // The finished worker deleted itself with deleteLater; let that happen before the next test.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    com.ClosePortIfOpen();
    sim.stop();
}

bool MonitorFixture::WaitFor(const std::function<bool()> &pred, std::chrono::milliseconds bound) {
    platform::WaitWhile([&] { return !pred(); }, bound, std::chrono::milliseconds(2));
    return pred();
}

bool MonitorFixture::WaitForSamples(std::size_t n, std::chrono::milliseconds bound) {
    return WaitFor([&] { return sink.samples.size() >= n; }, bound);
}

bool MonitorFixture::StopAndWait() {
    if (monitor.WorkerActive()) com.StopRequest.store(true);
    return WaitFor([&] { return !monitor.WorkerActive(); });
}

void MonitorFixture::ExpectIdle() {
    EXPECT_FALSE(com.ThreadRunning.load());
    EXPECT_FALSE(com.Executing[SetupStatusSet].load());
    EXPECT_FALSE(com.StopRequest.load());
    EXPECT_FALSE(monitor.WorkerActive());
}
