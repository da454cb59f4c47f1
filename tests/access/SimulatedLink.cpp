#include "SimulatedLink.h"

#include <SimulatorPortDir.h>
#include <senslink.h>

#include <filesystem>

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
    return kpdtest::SimulatorPortDir();
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
