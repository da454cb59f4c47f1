// kpdctl find and info against the simulator: the search of COM1..COM256, what it prints, --json, and a
// simulator that does not answer.
#include "CtlFixture.h"

#include <QJsonObject>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using ctltest::CtlFixture;
using ctltest::RunCtl;

class FindInfoTest : public CtlFixture {};

TEST_F(FindInfoTest, FindSearchesThePortsAndPrintsTheIdentification) {
    kpdsim::SimOptions o = FastOptions();
    o.interpDepth = 2048;
    o.firmwareVersion = 0x0042; // generation 2
    o.mspVersion = 0x0507;
    StartSimulator(9, o);
    const auto r = RunCtl({"find"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("KPD Digital Sensor Electronics Found on COM9"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("COM9"), std::string::npos);
    EXPECT_NE(r.out.find("KPD Digital Sensor (code 6)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1723 (for KPD Digital Sensor 2048X)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2048X"), std::string::npos);
    EXPECT_NE(r.out.find("0042 (generation 2)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0507"), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(FindInfoTest, FindAsJson) {
    kpdsim::SimOptions o = FastOptions();
    o.modelCode = 3;
    o.sensorType = 0x1623;
    StartSimulator(12, o);
    const auto r = RunCtl({"find", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.json.size(), 1u) << r.out;
    const QJsonObject &f = r.json.front();
    EXPECT_EQ(f["type"].toString(), "found");
    EXPECT_EQ(f["port"].toInt(), 12);
    EXPECT_EQ(f["model"].toString(), "Dace");
    EXPECT_EQ(f["modelCode"].toInt(), 3);
    EXPECT_EQ(f["message"].toString(), "Dace Electronics Found on COM12");
    EXPECT_EQ(f["sensorType"].toInt(), 0x1623);
    EXPECT_FALSE(f["kpdSensor"].toBool());
    EXPECT_EQ(f["sensorLabel"].toString(), "unknown");
    EXPECT_EQ(f["interpolation"].toInt(), 4096);
    EXPECT_EQ(f["processorVersion"].toInt(), 0x0105);
    EXPECT_EQ(f["processorVersionHex"].toString(), "0105");
    EXPECT_EQ(f["firmwareVersionHex"].toString(), "0062");
    EXPECT_EQ(f["generation"].toInt(), 3);
}

TEST_F(FindInfoTest, FindWritesNothingToTheElectronics) {
    kpdsim::SimOptions o = FastOptions();
    o.requestLog = true;
    StartSimulator(5, o);
    const auto r = RunCtl({"find", "--port", "5"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const kpdsim::LogEntry &e : Sim().requestLog())
        EXPECT_FALSE(e.isRegisterWrite()) << kpdsim::describe(e);
    EXPECT_EQ(Sim().reg(0x82) & 1, 0) << "Config was written";
}

TEST_F(FindInfoTest, NothingAnsweringIsExitThree) {
    const auto r = RunCtl({"find"});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("no electronics answered on COM1 to COM256"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST_F(FindInfoTest, SilentSimulatorIsNotFoundWithAClearError) {
    StartSimulator(4);
    Sim().setSilent(true);
    const auto t0 = std::chrono::steady_clock::now();
    const auto r = RunCtl({"find", "--json"});
    EXPECT_EQ(r.code, 3) << r.out << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    const auto errors = ctltest::ParseJsonLines(r.err);
    ASSERT_EQ(errors.size(), 1u) << r.err;
    EXPECT_EQ(errors[0]["type"].toString(), "error");
    EXPECT_EQ(errors[0]["exit"].toInt(), 3);
    EXPECT_TRUE(errors[0]["message"].toString().contains("no electronics answered"));
    // The silent port cost its 13 handshakes (at the search's 50 ms): it was tried, not skipped.
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(13 * 50));
}

TEST_F(FindInfoTest, PortsListsTheDevicesAndFindAndDeviceReachTheElectronics) {
    StartSimulator(3);
    kpdsim::Simulator silent(FastOptions()), held(FastOptions()); // unplugged below it; held by another program
    ASSERT_TRUE(silent.start(kpdtest::SimulatorPortDir(), 1) && held.start(kpdtest::SimulatorPortDir(), 5));
    silent.setSilent(true);
    const int fd = ::open(held.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

    const auto ports = RunCtl({"ports", "--json"});
    ASSERT_EQ(ports.json.size(), 3u) << ports.out << ports.err;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(ports.json[i]["port"].toInt(), int(2 * i + 1));
        EXPECT_EQ(ports.json[i]["access"].toString(), i < 2 ? "ok" : "busy");
    }
    // The search passes the silent port and the held one; --device names a port by its device.
    for (const auto &args : std::vector<std::vector<std::string>>{{"find", "--json"},
                                                                  {"find", "--json", "--device", Sim().devicePath()}})
        EXPECT_EQ(RunCtl(args).json.at(0)["port"].toInt(), 3);
    const auto nowhere = RunCtl({"info", "--device", "/nonexistent/ttyUSB9"});
    EXPECT_EQ(nowhere.code, 1);
    EXPECT_NE(nowhere.err.find("no port COM1..COM256 reaches the device /nonexistent/ttyUSB9"), std::string::npos);
    ::close(fd);
}

TEST_F(FindInfoTest, OtherCommandsOnASilentPortFailWithExitOne) {
    StartSimulator(6);
    Sim().setSilent(true);
    for (const auto &args : std::vector<std::vector<std::string>>{
             {"info", "--port", "6"}, {"status", "--port", "6"}, {"read", "Status", "--port", "6"}}) {
        const auto r = RunCtl(args);
        EXPECT_EQ(r.code, 1) << args[0] << ": " << r.err;
        EXPECT_NE(r.err.find("kpdctl: no electronics answered on COM6"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST_F(FindInfoTest, InfoShowsTheInformationWindowsFields) {
    kpdsim::SimOptions o = FastOptions();
    o.powerOnHours = 4321;
    o.powerOnCycles = 99;
    o.requestLog = true;
    StartSimulator(7, o);
    const auto r = RunCtl({"info", "--port", "7"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Electronics Type: Alignment Tool"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Sensor Firmware Version: 0062"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Alignment Tool Firmware Version: 0105"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Alignment Tool Power on Time: 4321 hours"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Alignment Tool Power on Cycles: 99"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("COM Port: COM7"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Baud Rate: 38400"), std::string::npos) << r.out;
    // As KPD's information command: Config bit 0 is set when it was clear.
    EXPECT_EQ(Sim().reg(0x82) & 1, 1);

    const auto j = RunCtl({"info", "--port", "7", "--json"});
    ASSERT_EQ(j.code, 0) << j.err;
    ASSERT_EQ(j.json.size(), 1u);
    const QJsonObject &i = j.json.front();
    EXPECT_EQ(i["type"].toString(), "info");
    EXPECT_EQ(i["powerOnHours"].toInt(), 4321);
    EXPECT_EQ(i["powerOnCycles"].toInt(), 99);
    EXPECT_EQ(
        i["serialNumber"].toString().toStdString(), "0000" + [&] {
            char t[8];
            std::snprintf(t, sizeof t, "%04X", Sim().reg(0x00));
            return std::string(t);
        }());
    EXPECT_EQ(i["port"].toInt(), 7);
    EXPECT_EQ(i["baudRate"].toInt(), 38400);
}

} // namespace
