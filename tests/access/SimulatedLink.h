// Test fixture: simulated electronics on COM3 of a private port directory, and a ComData for that port.
#pragma once

#include "access/ComData.h"

#include <kpdsim/Simulator.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

// The port directory shared by all tests of the process ($SENSLINK_PORT_DIR, set before any test runs).
const std::string &testPortDir();

// The simulator counts a request after its answer is on the wire, so its counters may lag the caller by
// a moment: read them once they have stopped changing.
struct Traffic {
    uint64_t syncs;
    uint64_t requests;
    uint64_t bytesIn;
    bool operator==(const Traffic &) const = default;
};
Traffic settledTraffic(const kpdsim::Simulator &sim);

// Polls pred until it holds or timeoutMs have passed; returns its last value.
template <class Pred> bool eventually(Pred pred, int timeoutMs = 1000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return pred();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class SimulatedLink : public ::testing::Test {
protected:
    static constexpr int kPort = 3;

    void SetUp() override;
    void TearDown() override;

    // Connect with the outputs checked for success.
    void connect();

    kpdsim::Simulator sim;
    ComData com{kPort};
};
