// Common set-up for tests that talk to a fake electronics through the shared library.
#ifndef SENSLINK_TESTS_LINKFIXTURE_H
#define SENSLINK_TESTS_LINKFIXTURE_H

#include "FakeElectronics.h"
#include "PtyPeer.h"
#include "senslink.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>

class LinkTest : public ::testing::Test {
protected:
    static constexpr int kPort = 7;

    void SetUp() override {
        peer = std::make_unique<PtyPeer>(kPort);
        peer->setHandler(device.handler());
        ASSERT_EQ(OpenPort(kPort), 0);
        ASSERT_EQ(ConfigPort(kPort, 200, 38400), 0);
    }
    void TearDown() override {
        ClosePort(kPort);
        peer.reset();
    }
    // Waits until the peer has seen count bytes, then returns them.
    Bytes wire(size_t count) {
        peer->waitReceived(count, 1000);
        return peer->received();
    }
    static long long msSince(std::chrono::steady_clock::time_point t0) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    }

    FakeElectronics device;
    std::unique_ptr<PtyPeer> peer;
};

#endif
