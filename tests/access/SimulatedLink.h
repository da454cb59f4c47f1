// Test fixture: simulated electronics on COM3 of a private port directory, and a ComData for that port.
#pragma once

#include "ComData.h"

#include <kpdsim/Simulator.h>

#include <gtest/gtest.h>

#include <string>

// The port directory shared by all tests of the process ($SENSLINK_PORT_DIR, set before any test runs).
const std::string &testPortDir();

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
