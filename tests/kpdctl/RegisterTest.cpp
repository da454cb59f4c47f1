// kpdctl read and write against the simulator: names and numbers, the write refusals of the engineering
// display and --yes.
#include "CtlFixture.h"

#include "session/EngineeringEntry.h"

#include <QJsonObject>

namespace {

using ctltest::CtlFixture;
using ctltest::RunCtl;

class RegisterTest : public CtlFixture {};

TEST_F(RegisterTest, ReadsRegistersByNameAndNumber) {
    kpdsim::SimOptions o = FastOptions();
    o.interpDepth = 1024;
    o.sensorType = 0x1731;
    StartSimulator(8, o);
    const auto r =
        RunCtl({"read", "interpdepth", "SensorType", "0x30", "Addr20", "130", "--port", "8", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.json.size(), 5u) << r.out;
    EXPECT_EQ(r.json[0]["name"].toString(), "InterpDepth");
    EXPECT_EQ(r.json[0]["register"].toInt(), 0x1E);
    EXPECT_EQ(r.json[0]["value"].toInt(), 1024);
    EXPECT_EQ(r.json[0]["hex"].toString(), "0400");
    EXPECT_EQ(r.json[1]["name"].toString(), "SensorType");
    EXPECT_EQ(r.json[1]["value"].toInt(), 0x1731);
    EXPECT_EQ(r.json[2]["name"].toString(), "FirmwareVersion");
    EXPECT_EQ(r.json[2]["value"].toInt(), Sim().reg(0x30));
    EXPECT_EQ(r.json[3]["name"].toString(), "ElectronicsId");
    EXPECT_EQ(r.json[3]["value"].toInt(), Sim().reg(0x20));
    EXPECT_EQ(r.json[4]["name"].toString(), "Config"); // 130 = 0x82
    EXPECT_EQ(r.json[4]["register"].toInt(), 0x82);

    const auto t = RunCtl({"read", "InterpDepth", "--port", "8"});
    ASSERT_EQ(t.code, 0) << t.err;
    EXPECT_NE(t.out.find("InterpDepth"), std::string::npos);
    EXPECT_NE(t.out.find("0x1E  0400  1024"), std::string::npos) << t.out;
}

TEST_F(RegisterTest, UnknownRegisterIsBadUsage) {
    StartSimulator(8);
    for (const char *bad : {"NoSuchRegister", "0x100", "256", "Addr1G", ""}) {
        const auto r = RunCtl({"read", bad, "--port", "8"});
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_NE(r.err.find("unknown register"), std::string::npos) << r.err;
    }
}

TEST_F(RegisterTest, WriteRefusedWithoutYesAndNothingIsSent) {
    kpdsim::SimOptions o = FastOptions();
    o.requestLog = true;
    StartSimulator(10, o);
    const auto r = RunCtl({"write", "00800043", "--port", "10"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("refused"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    EXPECT_TRUE(Sim().requestLog().empty()) << kpdsim::formatLog(Sim().requestLog());
    EXPECT_EQ(Sim().operatingState(), 0);
}

TEST_F(RegisterTest, WriteRefusesWhatTheEngineeringDisplayRefuses) {
    kpdsim::SimOptions o = FastOptions();
    o.requestLog = true;
    StartSimulator(10, o);
    const auto shortWord = RunCtl({"write", "800043", "--yes", "--port", "10"});
    EXPECT_EQ(shortWord.code, 1);
    EXPECT_NE(shortWord.err.find(kpd::kInvalidAddressLengthText), std::string::npos) << shortWord.err;
    const auto notHex = RunCtl({"write", "0080004G", "--yes", "--port", "10"});
    EXPECT_EQ(notHex.code, 1);
    EXPECT_NE(notHex.err.find(kpd::kInvalidAddressDigitsText), std::string::npos) << notHex.err;
    const auto json = RunCtl({"write", "0x800043", "--yes", "--port", "10", "--json"});
    EXPECT_EQ(json.code, 1);
    const auto errors = ctltest::ParseJsonLines(json.err);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]["message"].toString().toStdString(), kpd::kInvalidAddressDigitsText);
    EXPECT_TRUE(Sim().requestLog().empty()) << kpdsim::formatLog(Sim().requestLog());
}

TEST_F(RegisterTest, WriteWithYesSendsTheWordUnchanged) {
    kpdsim::SimOptions o = FastOptions();
    o.requestLog = true;
    StartSimulator(11, o);
    const auto r = RunCtl({"write", "00800043", "--yes", "--port", "11", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.json.size(), 1u);
    EXPECT_EQ(r.json[0]["type"].toString(), "written");
    EXPECT_EQ(r.json[0]["register"].toInt(), 0x80);
    EXPECT_EQ(r.json[0]["name"].toString(), "Command");
    EXPECT_EQ(r.json[0]["data"].toInt(), 0x43);
    // Start Alignment: the electronics are now in alignment mode.
    EXPECT_EQ(Sim().operatingState(), 1);
    int writes = 0;
    for (const kpdsim::LogEntry &e : Sim().requestLog())
        if (e.isRegisterWrite()) {
            ++writes;
            EXPECT_EQ(e.address, 0x00800043u) << kpdsim::describe(e);
        }
    EXPECT_EQ(writes, 1);

    const auto gain = RunCtl({"write", "000412ab", "--yes", "--port", "11"});
    ASSERT_EQ(gain.code, 0) << gain.err;
    EXPECT_NE(gain.out.find("wrote 000412AB on COM11"), std::string::npos) << gain.out;
    EXPECT_EQ(Sim().reg(0x04), 0x12AB);
}

} // namespace
