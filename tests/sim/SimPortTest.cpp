// The port link: creation, refusal, side-by-side simulators, removal.
#include "kpdsim/Simulator.h"
#include "senslink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

class SimPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kpdsim-port-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ::setenv("SENSLINK_PORT_DIR", dir.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static kpdsim::SimOptions unpaced() {
        kpdsim::SimOptions o;
        o.pacing = false;
        return o;
    }
    std::string dir;
};

TEST_F(SimPortTest, RefusesBadPlacesAndNumbers) {
    kpdsim::Simulator sim(unpaced());
    EXPECT_FALSE(sim.start(dir + "/missing", 3));
    EXPECT_NE(sim.lastError().find("does not exist"), std::string::npos);
    EXPECT_FALSE(sim.start(dir, 0));
    EXPECT_FALSE(sim.start(dir, 257));
    EXPECT_FALSE(sim.running());
    EXPECT_EQ(sim.com(), 0);
}

TEST_F(SimPortTest, LinkIsCreatedAndRemoved) {
    {
        kpdsim::Simulator sim(unpaced());
        ASSERT_TRUE(sim.start(dir, 7)) << sim.lastError();
        EXPECT_EQ(sim.com(), 7);
        EXPECT_EQ(fs::read_symlink(dir + "/COM7").string(), sim.devicePath());
        sim.stop();
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir + "/COM7")));
        ASSERT_TRUE(sim.start(dir, 7)) << sim.lastError(); // restartable
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir + "/COM7"))); // destructor removes it too
}

TEST_F(SimPortTest, TakenNumberIsRefusedStaleLinkIsReplaced) {
    kpdsim::Simulator a(unpaced()), b(unpaced());
    ASSERT_TRUE(a.start(dir, 4));
    EXPECT_FALSE(b.start(dir, 4));
    EXPECT_NE(b.lastError().find("in use"), std::string::npos);
    EXPECT_EQ(fs::read_symlink(dir + "/COM4").string(), a.devicePath()); // untouched
    fs::create_symlink("/dev/pts/no-such-device", dir + "/COM5");
    ASSERT_TRUE(b.start(dir, 5)) << b.lastError();
    EXPECT_EQ(fs::read_symlink(dir + "/COM5").string(), b.devicePath());
}

TEST_F(SimPortTest, SimulatorsSideBySideAnswerIndependently) {
    kpdsim::Simulator a(unpaced()), b(unpaced());
    a.setModelCode(2);
    b.setModelCode(5);
    ASSERT_TRUE(a.start(dir, 10));
    ASSERT_TRUE(b.start(dir, 11));
    for (int port : {10, 11}) {
        ASSERT_EQ(OpenPort(port), 0);
        ASSERT_EQ(ConfigPort(port, 200, 38400), 0);
        uint16_t v = 0;
        ASSERT_EQ(SyncAndRead(port, 1, 0x200000, &v), 1);
        EXPECT_EQ((v >> 5) & 15, port == 10 ? 2 : 5);
    }
    // Closing and opening again finds the line still answering.
    ClosePort(10);
    ASSERT_EQ(OpenPort(10), 0);
    ASSERT_EQ(ConfigPort(10, 200, 38400), 0);
    EXPECT_EQ(DoSynchronize(10), 1);
    ClosePort(10);
    ClosePort(11);
}

TEST(SimControlTest, ControlLinesAreParsedStrictly) {
    kpdsim::Simulator sim;
    std::string err;
    bool quit = true;
    EXPECT_TRUE(sim.control("align 0.5", &quit, &err));
    EXPECT_FALSE(quit);
    EXPECT_LT(sim.magnitude(), 45);
    EXPECT_TRUE(sim.control("speed 0"));
    EXPECT_TRUE(sim.control("position 5000"));
    EXPECT_EQ(sim.position(), 5000);
    EXPECT_TRUE(sim.control("reg 3e 0123"));
    EXPECT_EQ(sim.reg(0x3E), 0x123);
    EXPECT_TRUE(sim.control("reg 3E release"));
    EXPECT_NE(sim.reg(0x3E), 0x123);
    EXPECT_TRUE(sim.control(""));
    for (const char *bad :
         {"align", "align 1,5", "align x", "corrupt 1.5", "drop -0.1", "silent maybe", "slow -3", "slow 3ms",
          "frobnicate", "reg 100 1", "reg 3e 10000", "position 1e3"}) {
        err.clear();
        EXPECT_FALSE(sim.control(bad, &quit, &err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
    EXPECT_TRUE(sim.control("quit", &quit));
    EXPECT_TRUE(quit);
}

// Found by the control-command fuzzer (tests/fuzz/regressions/FuzzSimControl/align_nan): "nan" passed as
// a number, and no range check refuses a NaN, so "align nan" was taken and the magnitude read 0.
TEST(SimControlTest, NotANumberIsRefusedAndChangesNothing) {
    kpdsim::Simulator sim;
    const uint16_t magnitude = sim.magnitude();
    ASSERT_GT(magnitude, 70); // alignment 1.0: a green signal
    for (const char *bad : {"align nan", "align -nan", "align nan(1)", "speed nan", "corrupt nan", "drop nan",
                            "align inf", "speed -inf", "corrupt infinity"}) {
        std::string err;
        EXPECT_FALSE(sim.control(bad, nullptr, &err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
    EXPECT_EQ(sim.magnitude(), magnitude);
    EXPECT_TRUE(sim.control("align 0.5"));
    EXPECT_LT(sim.magnitude(), magnitude);
}

// Found by the control-command fuzzer (tests/fuzz/regressions/FuzzSimControl/hex_sign_after_prefix):
// "calfault 0x-0" was taken as 0, the sign after the "0x" prefix read as part of the number.
TEST(SimControlTest, HexadecimalNumbersCarryNoSign) {
    kpdsim::Simulator sim;
    const uint16_t before = sim.reg(0x3E);
    for (const char *bad : {"calfault 0x-0", "calfault -0", "reg 0x-0 1", "reg -3e 1", "reg 3e 0x-0",
                            "reg 3e -0", "badread 0x-0", "badread -1"}) {
        std::string err;
        EXPECT_FALSE(sim.control(bad, nullptr, &err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
    EXPECT_EQ(sim.reg(0x3E), before);
    std::string err;
    EXPECT_TRUE(sim.control("reg 0x3e 0X0123", nullptr, &err)) << err;
    EXPECT_EQ(sim.reg(0x3E), 0x0123);
    EXPECT_TRUE(sim.control("calfault 0x80", nullptr, &err)) << err;
    EXPECT_TRUE(sim.control("badread 3E 2", nullptr, &err)) << err;
}
