#include "MonitorFixture.h"

#include "platform/WorkerThread.h"

#include <SimulatorPortDir.h>
#include <senslink.h>

#include <QCoreApplication>
#include <QEvent>

#include <filesystem>

kpdsim::SimOptions MonitorFixture::Options() {
    kpdsim::SimOptions options;
    options.pacing = false; // the tests want many samples quickly
    options.speed = 0.0;    // a standing head: positions are exact
    return options;
}

void MonitorFixture::SetUp() {
    ASSERT_TRUE(sim.start(kpdtest::SimulatorPortDir(), kPort)) << sim.lastError();
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
