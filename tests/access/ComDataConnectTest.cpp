// ComData::Connect against the simulated electronics: identification, model codes, processor versions.
#include "access/RegisterMap.h"
#include "SimulatedLink.h"

#include <senslink.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::array<std::string, 7> kFound = {
    "Brio Electronics Found on COM",
    "Brio Electronics Found on COM",
    "Cato Electronics Found on COM",
    "Dace Electronics Found on COM",
    "Arlo Electronics Found on COM",
    "Elka/Fenn Electronics Found on COM",
    "KPD Digital Sensor Electronics Found on COM",
};

} // namespace

class ConnectModelCode : public SimulatedLink, public ::testing::WithParamInterface<int> {};

TEST_P(ConnectModelCode, AcceptsCodesUpToSix) {
    const int code = GetParam();
    sim.setModelCode(code);
    sim.setInterpDepth(1024);
    std::vector<std::pair<int, int>> handed;
    com.onSettingsRead = [&](int interpolation, int settingsWord) {
        handed.emplace_back(interpolation, settingsWord);
    };
    std::string message = "untouched";
    int model = -1;
    const bool ok = com.Connect(message, model);
    if (code <= 6) {
        ASSERT_TRUE(ok);
        EXPECT_EQ(message, kFound[static_cast<size_t>(code)] + "3");
        EXPECT_EQ(model, 0);
        EXPECT_EQ(com.ModelIndex(), 0);
        EXPECT_EQ(com.BaudRate(), 38400);
        EXPECT_TRUE(com.PortOpen());
        EXPECT_EQ(com.ProcessorVersion(), 0x0105);
        EXPECT_EQ(com.InterpolationSetting(), 1024);
        EXPECT_EQ(com.SettingsWord(), sim.reg(reg::Settings));
        // Once by ReadSettings and once more at the end of Connect.
        const std::vector<std::pair<int, int>> expected(2, {1024, com.SettingsWord()});
        EXPECT_EQ(handed, expected);
        int timeoutMs = 0, baud = 0;
        ASSERT_EQ(GetPortConfig(kPort, &timeoutMs, &baud), 0);
        EXPECT_EQ(timeoutMs, 200);
        EXPECT_EQ(baud, 38400);
    } else {
        EXPECT_FALSE(ok);
        EXPECT_EQ(message, "untouched");
        EXPECT_EQ(model, -1);
        EXPECT_EQ(com.BaudRate(), 9600);
        EXPECT_TRUE(handed.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, ConnectModelCode, ::testing::Range(0, 8));

using Connect = SimulatedLink;

TEST_F(Connect, ModelCodeReadsOnlyBitsFiveToEight) {
    sim.setReg(reg::ElectronicsId, 0xFE1F | (6 << 5)); // bits outside 5..8 set around code 6
    std::string message;
    int model = -1;
    EXPECT_TRUE(com.Connect(message, model));
    EXPECT_EQ(message, kFound[6] + "3");
}

TEST_F(Connect, ElectronicsIdE0IsSkipped) {
    sim.setReg(reg::ElectronicsId, 0x00E0);
    std::string message;
    int model = -1;
    EXPECT_FALSE(com.Connect(message, model));
}

TEST_F(Connect, ProcessorVersionFamilyMustBeOneOrFive) {
    std::string message;
    int model = -1;
    sim.setMspVersion(0x0205);
    EXPECT_FALSE(com.Connect(message, model));
    EXPECT_EQ(com.ProcessorVersion(), 0x0205);
    EXPECT_EQ(com.BaudRate(), 9600);
    EXPECT_TRUE(message.empty());

    sim.setMspVersion(0x0531);
    EXPECT_TRUE(com.Connect(message, model));
    EXPECT_EQ(com.ProcessorVersion(), 0x0531);

    sim.setMspVersion(0x0031);
    EXPECT_FALSE(com.Connect(message, model));
}

TEST_F(Connect, ReconnectOnTheSamePortClosesFirst) {
    connect();
    std::string message;
    int model = -1;
    EXPECT_TRUE(com.Connect(message, model));
    EXPECT_TRUE(com.PortOpen());
    com.ClosePortIfOpen();
    EXPECT_FALSE(com.PortOpen());
    com.ClosePortIfOpen(); // harmless when closed
    EXPECT_FALSE(com.PortOpen());
}

TEST_F(Connect, StopsARunningStreamFirst) {
    ASSERT_EQ(OpenPort(kPort), 0);
    ASSERT_EQ(ConfigPort(kPort, 200, 38400), 0);
    ASSERT_EQ(BeginAsyncVK240(kPort, 4, reg::LissajousStream.data()), 0);
    ASSERT_TRUE(eventually([&] { return sim.streaming(); }));
    connect(); // the port is already open in the library: OpenPort succeeds again
    EXPECT_TRUE(eventually([&] { return !sim.streaming() && sim.streamsStopped() == 1u; }));
}

TEST_F(Connect, PortWithoutDeviceFailsAtOpen) {
    ComData absent(kPort + 1); // no COM4 in the port directory
    std::string message;
    int model = -1;
    EXPECT_FALSE(absent.Connect(message, model));
    EXPECT_FALSE(absent.PortOpen());
    EXPECT_EQ(absent.BaudRate(), 9600);
}

TEST(ComDataFields, InitialValues) {
    ComData c(256);
    EXPECT_EQ(c.PortNumber(), 256);
    EXPECT_EQ(c.BaudRate(), 9600);
    EXPECT_FALSE(c.PortOpen());
    EXPECT_EQ(c.PositionSnapshot(), 0);
    EXPECT_EQ(c.InterpolationSetting(), 0);
    EXPECT_EQ(c.SettingsWord(), 0);
    EXPECT_FALSE(c.StopRequest);
    EXPECT_FALSE(c.ThreadRunning);
    EXPECT_FALSE(c.RestartPending);
    EXPECT_FALSE(c.ReviewStep);
    EXPECT_FALSE(c.ZeroRequest);
    for (const auto &e : c.Executing)
        EXPECT_FALSE(e);
    EXPECT_TRUE(c.ClosePortIfOpen()); // never opened: nothing to do
}

// The messages of the accepted codes are checked through Connect above; codes outside have none.
TEST(ComDataFields, NoFoundMessageOutsideTheAcceptedCodes) {
    EXPECT_EQ(ComData::FoundMessage(7), "");
    EXPECT_EQ(ComData::FoundMessage(15), "");
    EXPECT_EQ(ComData::FoundMessage(-1), "");
}
