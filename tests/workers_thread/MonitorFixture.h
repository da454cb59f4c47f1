// Fixture: simulated electronics on COM5 of a private port directory, a connected ComData, a recording
// sink and the status monitor under test.
#pragma once

#include "RecordingSink.h"

#include "access/ComData.h"
#include "workers/StatusMonitor.h"

#include <kpdsim/Simulator.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

class MonitorFixture : public ::testing::Test {
protected:
    static constexpr int kPort = 5;
    // Read time-out of the port in these tests: a failed handshake (13 attempts) costs 13 x this.
    static constexpr int kTestTimeoutMs = 40;

    void SetUp() override;
    void TearDown() override;

    // Runs the event loop until pred holds or the bound passes; returns pred().
    static bool WaitFor(const std::function<bool()> &pred,
                        std::chrono::milliseconds bound = std::chrono::milliseconds(8000));
    // Waits until the sink has at least n samples.
    bool WaitForSamples(std::size_t n, std::chrono::milliseconds bound = std::chrono::milliseconds(8000));
    // Stop and wait until the worker's termination handler has run.
    bool StopAndWait();
    // The monitor's flags back at idle.
    void ExpectIdle();

    SetupStatusDataSet &Ring() { return com.Data.SetupStatus(); }

    kpdsim::Simulator sim{Options()};
    ComData com{kPort};
    RecordingSink sink;
    kpd::StatusMonitor monitor{sink, &com};

private:
    static kpdsim::SimOptions Options();
};
