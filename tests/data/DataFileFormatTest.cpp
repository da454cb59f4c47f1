// The bytes the four save operations write: header lines, tabs, CR LF line ends, fixed decimals, the
// exponent form, the record order and the oldest record that is left out.
#include "DataTestSupport.h"
#include "data/DataFileSaveError.h"
#include "data/DataSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class DataFileFormat : public ::testing::Test {
protected:
    std::unique_ptr<DataSets> sets = std::make_unique<DataSets>();
    TempDir dir;

    std::string SaveKind(int kind, const std::string &units = "mm", float res = 0.5f,
                         float interp = 4096.0f) {
        const auto file = dir / "out.txt";
        switch (kind) {
        case 0:
            EXPECT_TRUE(sets->SaveSetupStatusFile(file, units, res, interp));
            break;
        case 1:
            EXPECT_TRUE(sets->SaveEncoderSignalFile(file));
            break;
        case 2:
            EXPECT_TRUE(sets->SaveSignalStrengthFile(file, units, res, interp));
            break;
        default:
            EXPECT_TRUE(sets->SavePositionVelocityFile(file, units, res, interp));
            break;
        }
        return ReadText(file);
    }

    static std::size_t Lines(const std::string &text) { return std::count(text.begin(), text.end(), '\n'); }
};

} // namespace

TEST_F(DataFileFormat, SetupStatusBytes) {
    auto &s = sets->SetupStatus();
    // Record 0 is the oldest and is not saved.
    s.position[0] = 1;
    s.xAD[0] = 2;
    s.yAD[0] = 3;
    s.status[0] = 4;
    s.interval[0] = 0.5f;
    s.position[1] = -12345;
    s.xAD[1] = 100;
    s.yAD[1] = -200;
    s.status[1] = 0x80000001u;
    s.interval[1] = 0.125f;
    s.position[2] = 7;
    s.status[2] = 0xFFFF;
    s.interval[2] = 123456.0f;
    s.count = 3;
    EXPECT_EQ(SaveKind(0), "vk2401.1setupandstatus\r\n"
                           "PosUnits=mm\r\n"
                           "PositionResMult=0.5\r\n"
                           "PositionInterpMult=4096\r\n"
                           "Pos\txAD\tyAD\tStatus\tTime\r\n"
                           "-12345\t100\t-200\t-2147483647\t0.1250\r\n"
                           "7\t0\t0\t65535\t1.2346E+05\r\n");
}

TEST_F(DataFileFormat, EncoderSignalBytes) {
    auto &e = sets->EncoderSignal();
    e.w1[1] = 65535;
    e.w2[1] = 0;
    e.w3[1] = 4095;
    e.w4[1] = 1;
    e.interval[1] = 0.001f;
    e.w1[2] = 10;
    e.w2[2] = 20;
    e.w3[2] = 30;
    e.w4[2] = 40;
    e.interval[2] = 100000.0f;
    e.w1[3] = 1;
    e.interval[3] = 12.3456789f; // five significant digits, then five decimals
    e.w1[4] = 2;
    e.interval[4] = 99999.99f; // five significant digits make it 100000: exponent form
    e.count = 5;
    EXPECT_EQ(SaveKind(1), "vk2401.1encodersignal\r\n"
                           "xAD\tyAD\tMag\tAngle\tTime\r\n"
                           "65535\t0\t4095\t1\t0.00100\r\n"
                           "10\t20\t30\t40\t1E+05\r\n"
                           "1\t0\t0\t0\t12.34600\r\n"
                           "2\t0\t0\t0\t1E+05\r\n");
}

TEST_F(DataFileFormat, SignalStrengthBytes) {
    auto &g = sets->SignalStrength();
    g.a[1] = -5;
    g.b[1] = 31000;
    g.c[1] = 0;
    g.interval[1] = 0.25f;
    g.count = 2;
    EXPECT_EQ(SaveKind(2, "um", 0.1f, 1.0f), "vk2401.1signalstrength\r\n"
                                             "PosUnits=um\r\n"
                                             "PositionResMult=0.100000001490116\r\n"
                                             "PositionInterpMult=1\r\n"
                                             "Pos\txAD\tyAD\tTime\r\n"
                                             "-5\t31000\t0\t0.25000\r\n");
}

TEST_F(DataFileFormat, PositionVelocityTabsFollowThePositionWidth) {
    auto &p = sets->PositionVelocity();
    const int32_t positions[] = {0, 12345, -12345, 123456, -1234, 77};
    const float velocities[] = {0.0f, 1.5f, -0.25f, 2e12f, 0.0f, 12345.678f};
    for (int i = 0; i < 6; ++i) {
        p.position[i] = positions[i];
        p.velocity[i] = velocities[i];
        p.interval[i] = 0.00001f;
    }
    p.count = 6;
    EXPECT_EQ(SaveKind(3, "counts", 1.0f, 1.0f), "vk2401.1positionvelocity\r\n"
                                                 "PosUnits=counts\r\n"
                                                 "PositionResMult=1\r\n"
                                                 "PositionInterpMult=1\r\n"
                                                 "Pos\t\t\tVel\t\t\tTime\r\n"
                                                 "12345\t\t\t1.50000000\t\t0.00001\r\n"
                                                 "-12345\t\t-0.25000000\t\t0.00001\r\n"
                                                 "123456\t\t1.99999999181E+12\t\t0.00001\r\n"
                                                 "-1234\t\t\t0.00000000\t\t0.00001\r\n"
                                                 "77\t\t\t12345.67773440\t\t0.00001\r\n");
}

TEST_F(DataFileFormat, EmptyOrSingleRecordSetsWriteHeadersOnly) {
    for (int kind = 0; kind < 4; ++kind) {
        for (int32_t count : {0, 1}) {
            sets->Control(kind).count = count;
            const std::string text = SaveKind(kind);
            EXPECT_EQ(Lines(text), kind == 1 ? 2u : 5u) << "kind " << kind << " count " << count;
            EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        }
    }
}

TEST_F(DataFileFormat, UnwrappedSetSavesRecordsAfterTheOldest) {
    auto &s = sets->SetupStatus();
    for (int i = 0; i < 3; ++i)
        s.position[i] = 100 + i;
    s.count = 3;
    const std::string text = SaveKind(0);
    EXPECT_EQ(Lines(text), 7u);
    EXPECT_EQ(text.find("\r\n100\t"), std::string::npos);
    EXPECT_LT(text.find("\r\n101\t"), text.find("\r\n102\t"));
}

TEST_F(DataFileFormat, WrappedSetsSaveAllButTheOldestInOrder) {
    auto &s = sets->SetupStatus();
    for (int i = 0; i < s.Capacity; ++i)
        s.position[i] = i;
    s.count = 700; // oldest at 700, newest at 699
    s.wrapped = true;
    std::string text = SaveKind(0);
    EXPECT_EQ(Lines(text), 5u + 1999u);
    EXPECT_EQ(text.find("\r\n700\t"), std::string::npos);
    const auto afterHeader = text.find("Time\r\n") + 6;
    EXPECT_EQ(text.compare(afterHeader, 4, "701\t"), 0);
    EXPECT_NE(text.find("\r\n1999\t0\t0\t0\t0.0000\r\n0\t"), std::string::npos); // order runs across the wrap
    EXPECT_TRUE(text.ends_with("\r\n699\t0\t0\t0\t0.0000\r\n"));

    auto &e = sets->EncoderSignal();
    e.count = 0;
    e.wrapped = true;
    text = SaveKind(1);
    EXPECT_EQ(Lines(text), 2u + 19999u);
}

TEST_F(DataFileFormat, UnitsNameIsWrittenAsFarAsAHeaderLineHoldsIt) {
    // "PosUnits=" and 70 characters make the longest header line a file may have (79 characters).
    sets->SetupStatus().count = 3;
    const std::string seventy(70, 'u');
    std::string text = SaveKind(0, seventy + "vwxyz");
    EXPECT_NE(text.find("\r\nPosUnits=" + seventy + "\r\n"), std::string::npos) << text;
    text = SaveKind(0, seventy);
    EXPECT_NE(text.find("\r\nPosUnits=" + seventy + "\r\n"), std::string::npos) << text;
    // A line break would end the header line: the name ends before it.
    text = SaveKind(2, "mm\r\nX");
    EXPECT_NE(text.find("\r\nPosUnits=mm\r\nPositionResMult="), std::string::npos) << text;
    text = SaveKind(3, "in\nch");
    EXPECT_NE(text.find("\r\nPosUnits=in\r\nPositionResMult="), std::string::npos) << text;
}

TEST_F(DataFileFormat, SavingDoesNotChangeTheSet) {
    FillWithPattern(*sets, 5);
    const uint64_t before = Fingerprint(*sets);
    for (int kind = 0; kind < 4; ++kind)
        SaveKind(kind);
    EXPECT_EQ(Fingerprint(*sets), before);
}
