// Test fixture: a simulator on a pseudo-terminal in a private port directory, opened through senslink.
#ifndef KPD_TESTS_SIM_SIMFIXTURE_H
#define KPD_TESTS_SIM_SIMFIXTURE_H

#include "kpdsim/Simulator.h"
#include "senslink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

class SimFixture : public ::testing::Test {
protected:
    static constexpr int kPort = 201;

    void SetUp() override {
        char tmpl[] = "/tmp/kpdsim-test-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ::setenv("SENSLINK_PORT_DIR", dir.c_str(), 1);
        kpdsim::SimOptions o = options();
        sim = std::make_unique<kpdsim::Simulator>(o);
        ASSERT_TRUE(sim->start(dir, kPort)) << sim->lastError();
        ASSERT_EQ(OpenPort(kPort), 0);
        ASSERT_EQ(ConfigPort(kPort, 200, 38400), 0);
    }
    void TearDown() override {
        ClosePort(kPort);
        sim.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    // Unpaced and standing still unless a test asks otherwise.
    virtual kpdsim::SimOptions options() {
        kpdsim::SimOptions o;
        o.pacing = false;
        o.speed = 0;
        return o;
    }

    // Purge, sync and read one register as the application does; -1000 when the sync fails.
    int readReg(uint8_t r, uint8_t modifier = 0) {
        ClearRxBuffer(kPort);
        if (DoSynchronize(kPort) != 1) return -1000;
        uint16_t v = 0;
        const int rc = ReadRegisterVK240(kPort, (uint32_t(modifier) << 24) | (uint32_t(r) << 16), &v);
        return rc == 0 ? v : rc;
    }
    bool writeReg(uint8_t r, uint16_t data, uint8_t modifier = 0) {
        ClearRxBuffer(kPort);
        if (DoSynchronize(kPort) != 1) return false;
        return WriteRegisterVK240(kPort, (uint32_t(modifier) << 24) | (uint32_t(r) << 16) | data) == 0;
    }
    int operatingState() {
        const int s = readReg(0x92);
        return s < 0 ? -1 : (s >> 10) & 63;
    }
    static void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    std::string dir;
    std::unique_ptr<kpdsim::Simulator> sim;
};

#endif
