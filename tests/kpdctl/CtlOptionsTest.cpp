// kpdctl's command line: every command with its options, and what is refused as bad usage.
#include "kpdctl/CtlOptions.h"

#include "access/RegisterMap.h"
#include "access/RegisterNames.h"
#include "session/CalibrationOptions.h"

#include <gtest/gtest.h>

namespace {

using kpdctl::CommandKind;
using kpdctl::ParseArguments;
using kpdctl::RecordKind;

kpdctl::CtlOptions Parsed(const std::vector<std::string> &args) {
    const auto r = ParseArguments(args);
    EXPECT_TRUE(r.ok) << r.error;
    return r.options;
}

std::string Refused(const std::vector<std::string> &args) {
    const auto r = ParseArguments(args);
    EXPECT_FALSE(r.ok);
    return r.error;
}

TEST(CtlOptionsTest, CommandsAndCommonOptions) {
    EXPECT_EQ(Parsed({"find"}).command, CommandKind::Find);
    EXPECT_EQ(Parsed({"find"}).port, 0);
    const auto info = Parsed({"--json", "info", "--port", "17"});
    EXPECT_EQ(info.command, CommandKind::Info);
    EXPECT_TRUE(info.json);
    EXPECT_EQ(info.port, 17);
    EXPECT_EQ(Parsed({"info", "--port=256"}).port, 256);
    EXPECT_EQ(Parsed({"--help"}).command, CommandKind::Help);
    EXPECT_EQ(Parsed({"status", "-h"}).command, CommandKind::Help);
}

TEST(CtlOptionsTest, PortsAndDevice) {
    EXPECT_EQ(Parsed({"ports", "--json"}).command, CommandKind::Ports);
    EXPECT_EQ(Parsed({"find", "--device=/dev/ttyUSB0"}).device, "/dev/ttyUSB0");
    EXPECT_NE(Refused({"info", "--port", "3", "--device", "/dev/ttyUSB0"}).find("give one"), std::string::npos);
    EXPECT_NE(Refused({"ports", "--port", "3"}).find("do not apply"), std::string::npos);
}

TEST(CtlOptionsTest, ReadTakesNamesAndNumbers) {
    const auto o = Parsed({"read", "Magnitude", "status", "0x92", "Addr3e", "30"});
    EXPECT_EQ(o.registers,
              (std::vector<uint8_t>{reg::Magnitude, reg::Status, reg::AtStatus, reg::Magnitude, 30}));
    EXPECT_EQ(o.registerArgs.size(), 5u);
    EXPECT_NE(Refused({"read"}).find("at least one register"), std::string::npos);
    EXPECT_NE(Refused({"read", "Bogus"}).find("unknown register \"Bogus\""), std::string::npos);
    Refused({"read", "0x1FF"});
    Refused({"read", "256"});
    Refused({"read", "-5"});
    Refused({"read", "0x"});
}

TEST(CtlOptionsTest, WriteKeepsTheWordForTheEntryCheck) {
    const auto o = Parsed({"write", "00800043", "--yes"});
    EXPECT_EQ(o.word, "00800043");
    EXPECT_TRUE(o.yes);
    EXPECT_FALSE(Parsed({"write", "zz"}).yes); // checked (and refused) by the command, not here
    Refused({"write"});
    Refused({"write", "00800043", "00800044"});
    EXPECT_NE(Refused({"read", "Status", "--yes"}).find("--yes does not apply to read"), std::string::npos);
}

TEST(CtlOptionsTest, StatusOptions) {
    const auto one = Parsed({"status"});
    EXPECT_FALSE(one.watch);
    EXPECT_EQ(one.count, 0);
    const auto watch = Parsed({"status", "--watch", "--count", "12"});
    EXPECT_TRUE(watch.watch);
    EXPECT_EQ(watch.count, 12);
    Refused({"status", "--count", "0"});
    Refused({"status", "--count", "x"});
    Refused({"status", "--count"});
    Refused({"status", "extra"});
    Refused({"status", "--seconds", "3"});
}

TEST(CtlOptionsTest, RecordNeedsKindSecondsAndFile) {
    const auto o = Parsed({"record", "strength", "--seconds", "2.5", "-o", "out.str"});
    EXPECT_EQ(o.command, CommandKind::Record);
    EXPECT_EQ(o.recordKind, RecordKind::Strength);
    EXPECT_DOUBLE_EQ(o.seconds, 2.5);
    EXPECT_EQ(o.output, "out.str");
    EXPECT_EQ(Parsed({"record", "encoder", "--seconds=1", "--output=a.lis"}).recordKind, RecordKind::Encoder);
    EXPECT_EQ(Parsed({"record", "plots", "--seconds", "1", "-o", "a"}).recordKind, RecordKind::Plots);
    EXPECT_EQ(Parsed({"record", "status", "--seconds", "1", "-o", "a"}).recordKind, RecordKind::Status);
    EXPECT_NE(Refused({"record", "status", "-o", "a"}).find("--seconds"), std::string::npos);
    EXPECT_NE(Refused({"record", "status", "--seconds", "1"}).find("-o FILE"), std::string::npos);
    Refused({"record", "lissajous", "--seconds", "1", "-o", "a"});
    Refused({"record", "--seconds", "1", "-o", "a"});
    Refused({"record", "status", "--seconds", "0", "-o", "a"});
    Refused({"record", "status", "--seconds", "-1", "-o", "a"});
    Refused({"record", "status", "--seconds", "nan", "-o", "a"});
    Refused({"record", "status", "--seconds", "1,5", "-o", "a"});
}

TEST(CtlOptionsTest, CalibrateSelection) {
    namespace cal = kpd::calibration;
    EXPECT_EQ(Parsed({"calibrate", "--limits"}).calibrationMask, cal::kLeftLimit | cal::kRightLimit);
    EXPECT_EQ(Parsed({"calibrate", "--index", "--gop"}).calibrationMask, cal::kIndex | cal::kGop);
    EXPECT_EQ(Parsed({"calibrate", "--left-limit"}).calibrationMask, cal::kLeftLimit);
    EXPECT_EQ(Parsed({"calibrate", "--limits", "--index", "--gop"}).calibrationMask, cal::kAll);
    const auto timed = Parsed({"calibrate", "--index", "--set-after", "0", "--timeout", "60"});
    EXPECT_DOUBLE_EQ(timed.setAfter, 0.0);
    EXPECT_DOUBLE_EQ(timed.timeout, 60.0);
    EXPECT_LT(Parsed({"calibrate", "--index"}).setAfter, 0.0);
    EXPECT_TRUE(Parsed({"calibrate", "--stop"}).calibrationStop);
    EXPECT_NE(Refused({"calibrate"}).find("at least one of"), std::string::npos);
    Refused({"calibrate", "--stop", "--index"});
    Refused({"calibrate", "--index", "--set-after", "-1"});
    Refused({"calibrate", "--index", "--timeout", "0"});
}

TEST(CtlOptionsTest, AlignOnOrOff) {
    EXPECT_TRUE(Parsed({"align", "on"}).alignOn);
    EXPECT_FALSE(Parsed({"align", "off"}).alignOn);
    Refused({"align"});
    Refused({"align", "maybe"});
    Refused({"align", "on", "off"});
}

TEST(CtlOptionsTest, BadUsage) {
    EXPECT_NE(Refused({}).find("no command"), std::string::npos);
    EXPECT_NE(Refused({"frobnicate"}).find("unknown command"), std::string::npos);
    EXPECT_NE(Refused({"find", "--bogus"}).find("unknown option --bogus"), std::string::npos);
    Refused({"find", "--port", "0"});
    Refused({"find", "--port", "257"});
    Refused({"find", "--port", "COM3"});
    Refused({"find", "--port"});
    Refused({"find", "extra"});
    Refused({"find", "--json=yes"});
}

TEST(CtlOptionsTest, HelpNamesEveryCommandAndExitCode) {
    const std::string help = kpdctl::HelpText();
    for (const char *word : {"find", "info", "read REG", "write WORD --yes", "status [--watch] [--count N]",
                             "record encoder|strength|plots|status --seconds S -o FILE", "calibrate",
                             "--set-after", "align on|off", "--port N", "--json", "Exit codes:"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    for (const char *code : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  "})
        EXPECT_NE(help.find(code), std::string::npos) << code;
}

TEST(RegisterNamesTest, EveryNameFindsItsRegisterInAnyCase) {
    for (int r = 0; r < 256; ++r) {
        const std::string name = reg::RegisterName(static_cast<uint8_t>(r));
        if (name.empty()) continue;
        EXPECT_EQ(reg::RegisterByName(name), static_cast<uint8_t>(r)) << name;
        std::string upper = name;
        for (char &c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(reg::RegisterByName(upper), static_cast<uint8_t>(r)) << upper;
    }
    EXPECT_EQ(reg::RegisterName(reg::Command), "Command");
    EXPECT_EQ(reg::RegisterName(reg::AtStatus), "AtStatus");
    EXPECT_EQ(reg::RegisterName(0x70), "");
    EXPECT_FALSE(reg::RegisterByName("Magnitud").has_value());
}

} // namespace

TEST(CtlOptionsTest, LissajousAndPlotOptions) {
    const auto live = Parsed({"lissajous", "--records", "500", "--watch"});
    EXPECT_EQ(live.command, CommandKind::Lissajous);
    EXPECT_EQ(live.records, 500);
    EXPECT_TRUE(live.watch);
    EXPECT_TRUE(live.file.empty());
    EXPECT_EQ(Parsed({"lissajous", "run.lis"}).file, "run.lis");
    EXPECT_EQ(Parsed({"lissajous"}).records, 2000);
    const auto plot = Parsed({"plot", "run.pos", "-o", "run.png", "--size", "640x500"});
    EXPECT_EQ(plot.command, CommandKind::Plot);
    EXPECT_EQ(plot.file, "run.pos");
    EXPECT_EQ(plot.output, "run.png");
    EXPECT_EQ(plot.plotWidth, 640);
    EXPECT_EQ(plot.plotHeight, 500);
    for (const std::vector<std::string> &bad : {std::vector<std::string>{"lissajous", "--records", "49"},
                                                {"lissajous", "--records", "10001"},
                                                {"lissajous", "run.lis", "--watch"},
                                                {"lissajous", "a.lis", "b.lis"},
                                                {"plot", "run.lis"},
                                                {"plot", "-o", "x.png"},
                                                {"plot", "run.lis", "-o", "x.png", "--size", "400"},
                                                {"plot", "run.lis", "-o", "x.png", "--size", "8x8"},
                                                {"lissajous", "--size", "400x400"}})
        Refused(bad);
}
