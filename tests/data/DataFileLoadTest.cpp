// Loading data files: round trips of all four kinds, the older header generation, the state a load sets,
// and rejected files that must leave every data set untouched.
#include "DataTestSupport.h"
#include "data/DataSets.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DataFileLoad : public ::testing::Test {
protected:
    std::unique_ptr<DataSets> sets = std::make_unique<DataSets>();
    TempDir dir;

    // Writes `text` to a file and loads it; the result of the load.
    DataFileLoadResult LoadText(const std::string &text) {
        const auto file = dir / "in.dat";
        WriteText(file, text);
        return sets->LoadDataFile(file);
    }

    // Expects `text` to be rejected without any data set changing.
    void ExpectRejected(const std::string &text, const char *what) {
        FillWithPattern(*sets, 99);
        const uint64_t before = Fingerprint(*sets);
        const auto result = LoadText(text);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_EQ(result.kind, -1) << what;
        EXPECT_EQ(result.count, 0) << what;
        EXPECT_FALSE(result.reason.empty()) << what;
        EXPECT_EQ(Fingerprint(*sets), before) << what;
    }

    static std::string StatusHeader(const std::string &first = "vk2401.1setupandstatus") {
        return first + "\r\nPosUnits=mm\r\nPositionResMult=0.5\r\nPositionInterpMult="
                       "2\r\nPos\txAD\tyAD\tStatus\tTime\r\n";
    }
    static std::string StatusRecords(int n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += std::to_string(i) + "\t1\t2\t3\t0.0010\r\n";
        return text;
    }
};

void ExpectSavedRecordsLoaded(const SetupStatusDataSet &from, const SetupStatusDataSet &to, int32_t first,
                              int32_t n) {
    for (int32_t j = 0; j < n; ++j) {
        const auto i = static_cast<std::size_t>((first + j) % from.Capacity);
        const auto k = static_cast<std::size_t>(j);
        ASSERT_EQ(to.position[k], from.position[i]) << j;
        ASSERT_EQ(to.xAD[k], from.xAD[i]) << j;
        ASSERT_EQ(to.yAD[k], from.yAD[i]) << j;
        ASSERT_EQ(to.status[k], from.status[i]) << j;
        ASSERT_EQ(to.interval[k], from.interval[i]) << j;
    }
}

} // namespace

TEST_F(DataFileLoad, RoundTripOfAllFourKinds) {
    DataSets source;
    FillWithPattern(source, 1);
    // Setup and status unwrapped, the three others wrapped at different places.
    source.SetupStatus().count = 1500;
    source.SetupStatus().wrapped = false;
    source.EncoderSignal().count = 137;
    source.EncoderSignal().wrapped = true;
    source.SignalStrength().count = 0;
    source.SignalStrength().wrapped = true;
    source.PositionVelocity().count = 19999;
    source.PositionVelocity().wrapped = true;
    ASSERT_TRUE(source.SaveSetupStatusFile(dir / "a.man", "inch", 0.25f, 8.0f));
    ASSERT_TRUE(source.SaveEncoderSignalFile(dir / "a.lis"));
    ASSERT_TRUE(source.SaveSignalStrengthFile(dir / "a.str", "mm", 0.1f, 1.0f));
    ASSERT_TRUE(source.SavePositionVelocityFile(dir / "a.pos", "counts", 1.0f, 1.0f));

    auto result = sets->LoadDataFile(dir / "a.man");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.kind, 0);
    EXPECT_EQ(result.count, 1499);
    EXPECT_TRUE(result.hasHeader);
    EXPECT_EQ(result.header.unitsName, "inch");
    EXPECT_EQ(result.header.resolutionMultiplier, 0.25f);
    EXPECT_EQ(result.header.interpolationMultiplier, 8.0f);
    ExpectSavedRecordsLoaded(source.SetupStatus(), sets->SetupStatus(), 1, 1499);

    result = sets->LoadDataFile(dir / "a.lis");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.kind, 1);
    EXPECT_EQ(result.count, 19999);
    EXPECT_FALSE(result.hasHeader);
    for (int32_t j = 0; j < 19999; ++j) {
        const auto i = static_cast<std::size_t>((138 + j) % 20000);
        const auto k = static_cast<std::size_t>(j);
        const auto &from = source.EncoderSignal();
        const auto &to = sets->EncoderSignal();
        ASSERT_EQ(to.w1[k], from.w1[i]) << j;
        ASSERT_EQ(to.w2[k], from.w2[i]) << j;
        ASSERT_EQ(to.w3[k], from.w3[i]) << j;
        ASSERT_EQ(to.w4[k], from.w4[i]) << j;
        ASSERT_EQ(to.interval[k], from.interval[i]) << j;
    }

    result = sets->LoadDataFile(dir / "a.str");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.kind, 2);
    EXPECT_EQ(result.count, 19999);
    EXPECT_EQ(result.header.resolutionMultiplier, 0.1f);
    for (int32_t j = 0; j < 19999; ++j) {
        const auto i = static_cast<std::size_t>(1 + j);
        const auto k = static_cast<std::size_t>(j);
        ASSERT_EQ(sets->SignalStrength().a[k], source.SignalStrength().a[i]) << j;
        ASSERT_EQ(sets->SignalStrength().b[k], source.SignalStrength().b[i]) << j;
        ASSERT_EQ(sets->SignalStrength().c[k], source.SignalStrength().c[i]) << j;
        ASSERT_EQ(sets->SignalStrength().interval[k], source.SignalStrength().interval[i]) << j;
    }

    result = sets->LoadDataFile(dir / "a.pos");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.kind, 3);
    EXPECT_EQ(result.count, 19999);
    EXPECT_EQ(result.header.unitsName, "counts");
    for (int32_t j = 0; j < 19999; ++j) {
        const auto i = static_cast<std::size_t>(j); // oldest at 19999 is left out; 0 follows
        const auto k = static_cast<std::size_t>(j);
        ASSERT_EQ(sets->PositionVelocity().position[k], source.PositionVelocity().position[i]) << j;
        ASSERT_EQ(sets->PositionVelocity().velocity[k], source.PositionVelocity().velocity[i]) << j;
        ASSERT_EQ(sets->PositionVelocity().interval[k], source.PositionVelocity().interval[i]) << j;
    }

    // A loaded set saves back to the same file minus its own oldest record.
    ASSERT_TRUE(sets->SaveEncoderSignalFile(dir / "b.lis"));
    const std::string original = ReadText(dir / "a.lis");
    const std::string again = ReadText(dir / "b.lis");
    const auto firstRecord = original.find("Time\r\n") + 6;
    const auto secondRecord = original.find("\r\n", firstRecord) + 2;
    EXPECT_EQ(again, original.substr(0, firstRecord) + original.substr(secondRecord));
}

TEST_F(DataFileLoad, LoadSetsTheControlStateOfTheSet) {
    FillWithPattern(*sets, 3);
    auto &s = sets->SetupStatus();
    s.wrapped = true;
    const std::string text =
        StatusHeader() + "1\t2\t3\t4\t0.5000\r\n-5\t6\t7\t-1\t0.2500\r\n8\t9\t10\t11\t1.1250\r\n";
    const auto result = LoadText(text);
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 3);
    EXPECT_EQ(s.count.load(), 3);
    EXPECT_FALSE(s.wrapped.load());
    EXPECT_EQ(s.elapsed.load(), 0.5f + 0.25f + 1.125f);
    EXPECT_EQ(s.reviewCount.load(), 3);
    EXPECT_EQ(s.reviewTarget.load(), 3);
    EXPECT_EQ(s.reviewIndex.load(), 0);
    EXPECT_EQ(s.reviewElapsed.load(), 0.0f);
    EXPECT_TRUE(s.resetOnNextLiveStart.load());
    EXPECT_EQ(s.position[1], -5);
    EXPECT_EQ(s.status[1], 0xFFFFFFFFu);
    EXPECT_EQ(s.yAD[2], 10);
    // Values a file does not carry are 0 for loaded records, not left over from the earlier recording.
    EXPECT_EQ(s.magnitude[0], 0);
    EXPECT_EQ(s.magnitude[2], 0);
    EXPECT_NE(s.magnitude[3], 0);

    // Clearing empties the set and drops the pending reset.
    EXPECT_TRUE(sets->ClearDataSet(0));
    EXPECT_EQ(s.count.load(), 0);
    EXPECT_EQ(s.elapsed.load(), 0.0f);
    EXPECT_EQ(s.reviewCount.load(), 0);
    EXPECT_FALSE(s.wrapped.load());
    EXPECT_FALSE(s.resetOnNextLiveStart.load());
    EXPECT_EQ(s.position[1], -5); // slot contents stay
    EXPECT_FALSE(sets->ClearDataSet(4));
}

TEST_F(DataFileLoad, OlderHeaderGenerationLoadsAlike) {
    const std::string records = "1\t2\t3\t4\t0.12500\r\n65535\t0\t7\t8\t1E+05\r\n";
    const auto newer = LoadText("vk2401.1encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n" + records);
    ASSERT_TRUE(newer.ok);
    const uint64_t afterNewer = Fingerprint(*sets);
    sets->ClearDataSet(1);
    const auto older = LoadText("vk240encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n" + records);
    ASSERT_TRUE(older.ok);
    EXPECT_EQ(older.kind, 1);
    EXPECT_EQ(older.count, 2);
    EXPECT_EQ(Fingerprint(*sets), afterNewer);
    EXPECT_EQ(sets->EncoderSignal().w1[1], 65535);
    EXPECT_EQ(sets->EncoderSignal().interval[1], 100000.0f);

    for (const char *first : {"vk240setupandstatus", "vk240signalstrength", "vk240positionvelocity"}) {
        std::string text =
            std::string(first) + "\r\nPosUnits=mm\r\nPositionResMult=1\r\nPositionInterpMult=1\r\nx\r\n";
        const auto result = LoadText(text);
        EXPECT_TRUE(result.ok) << first;
        EXPECT_EQ(result.count, 0) << first;
    }
}

TEST_F(DataFileLoad, LineEndsAndSeparatorsAreFlexible) {
    FillWithPattern(*sets, 4);
    // LF only, CR only, and records spread over lines: values are whitespace-separated tokens.
    auto result =
        LoadText("vk2401.1signalstrength\nPosUnits=mm\nPositionResMult=1\nPositionInterpMult=1\nPos\n"
                 "1 2 3 0.5\n4\t5\n6 0.25\n\n");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 2);
    EXPECT_EQ(sets->SignalStrength().c[1], 6);
    result = LoadText("vk2401.1positionvelocity\rPosUnits=\rPositionResMult=1\rPositionInterpMult=1\rPos\r"
                      "12345\t\t\t1.5\t\t0.00001\r");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(sets->PositionVelocity().velocity[0], 1.5f);
    EXPECT_EQ(sets->PositionVelocity().position64[0], 0);
    EXPECT_EQ(sets->PositionVelocity().magnitude[0], 0);
    EXPECT_EQ(result.header.unitsName, "");
}

TEST_F(DataFileLoad, HeaderPrefixesAreRemovedByLength) {
    const auto result = LoadText("vk2401.1setupandstatus\r\nUnitsXXX:micron\r\nResolutionXXXXX:0.25\r\n"
                                 "InterpolationXXXXX: 16 \r\nanything\r\n");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.header.unitsName, "micron");
    EXPECT_EQ(result.header.resolutionMultiplier, 0.25f);
    EXPECT_EQ(result.header.interpolationMultiplier, 16.0f);
    EXPECT_EQ(LoadText("vk2401.1setupandstatus\r\nmm\r\nPositionResMult=1\r\nPositionInterpMult=1\r\nx\r\n")
                  .header.unitsName,
              "");
}

TEST_F(DataFileLoad, CapacityLimitsTheRecordCount) {
    // A set takes at most capacity - 1 loaded records (what a save of a full ring writes).
    auto result = LoadText(StatusHeader() + StatusRecords(1999));
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 1999);
    EXPECT_EQ(sets->SetupStatus().position[1998], 1998);
    ExpectRejected(StatusHeader() + StatusRecords(2000), "2000 status records");

    std::string lis = "vk2401.1encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n";
    for (int i = 0; i < 20000; ++i)
        lis += "1\t2\t3\t4\t0.00100\r\n";
    ExpectRejected(lis, "20000 encoder records");
}

TEST_F(DataFileLoad, UnknownFirstLinesAreRejected) {
    ExpectRejected("", "empty file");
    ExpectRejected(StatusHeader("vk2401.1setupandstatus ") + StatusRecords(2), "trailing space");
    ExpectRejected(StatusHeader("VK2401.1setupandstatus") + StatusRecords(2), "different case");
    ExpectRejected(StatusHeader("vk2401.1setupandstatusX") + StatusRecords(2), "extra character");
    ExpectRejected(StatusHeader("vk2401.1alarmhistory") + StatusRecords(2), "unknown kind");
    ExpectRejected(std::string("\0\x01\x02binary", 9), "binary data");
}

TEST_F(DataFileLoad, BadHeadersAreRejected) {
    ExpectRejected(
        "vk2401.1setupandstatus\r\nPosUnits=mm\r\nPositionResMult=abc\r\nPositionInterpMult=1\r\nPos\r\n",
        "resolution not a number");
    ExpectRejected(
        "vk2401.1setupandstatus\r\nPosUnits=mm\r\nPositionResMult=1\r\nPositionInterpMult=\r\nPos\r\n",
        "interpolation empty");
    ExpectRejected(
        "vk2401.1setupandstatus\r\nPosUnits=mm\r\nPositionResMult=1,5\r\nPositionInterpMult=1\r\nPos\r\n",
        "comma decimal");
    ExpectRejected("vk2401.1signalstrength\r\nPosUnits=" + std::string(71, 'u') +
                       "\r\nPositionResMult=1\r\nPositionInterpMult=1\r\nPos\r\n",
                   "80-character units line");
    ExpectRejected("vk2401.1encodersignal\r\n" + std::string(80, 'x') + "\r\n1\t2\t3\t4\t0.1\r\n",
                   "80-character column line");
    // 79 characters are fine.
    const auto result = LoadText("vk2401.1signalstrength\r\nPosUnits=" + std::string(70, 'u') +
                                 "\r\nPositionResMult=1\r\nPositionInterpMult=1\r\nPos\r\n");
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.header.unitsName.size(), 70u);
}

TEST_F(DataFileLoad, ALastRecordCutShortIsLeftOut) {
    // Only complete records count: the ones before the cut load.
    FillWithPattern(*sets, 8);
    auto result = LoadText(StatusHeader() + "1\t2\t3\t4\t0.5000\r\n-5\t6\t7\t-1\t0.2500\r\n8\t9\t10");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.kind, 0);
    EXPECT_EQ(result.count, 2);
    const auto &s = sets->SetupStatus();
    EXPECT_EQ(s.count.load(), 2);
    EXPECT_EQ(s.reviewCount.load(), 2);
    EXPECT_EQ(s.elapsed.load(), 0.75f);
    EXPECT_EQ(s.position[1], -5);
    EXPECT_EQ(s.magnitude[1], 0);

    // Cut after the last value but one, inside a value, or right after the first: each kind alike.
    result = LoadText("vk2401.1encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n1\t2\t3\t4\t0.12500\r\n"
                      "5\t6\t7\t8\r\n");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(sets->EncoderSignal().elapsed.load(), 0.125f);
    result = LoadText("vk2401.1signalstrength\r\nPosUnits=mm\r\nPositionResMult=1\r\nPositionInterpMult=1\r\n"
                      "Pos\txAD\tyAD\tTime\r\n1\t2\t3\t0.25000\r\n4\t5\t6\t0.2");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 2); // "0.2" is a complete number: the record is whole
    result =
        LoadText("vk2401.1positionvelocity\r\nPosUnits=mm\r\nPositionResMult=1\r\nPositionInterpMult=1\r\n"
                 "Pos\t\t\tVel\t\t\tTime\r\n12\t\t\t1.50000000\t\t0.00001\r\n13\t\t\t");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(sets->PositionVelocity().position[0], 12);

    // Nothing but a cut record: an empty set.
    result = LoadText(StatusHeader() + "1\t2");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(sets->SetupStatus().count.load(), 0);
    EXPECT_TRUE(sets->SetupStatus().resetOnNextLiveStart.load());

    // A cut record after as many records as the set takes is not one too many.
    result = LoadText(StatusHeader() + StatusRecords(1999) + "7\t7");
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.count, 1999);
}

TEST_F(DataFileLoad, TruncatedAndMalformedFilesAreRejected) {
    ExpectRejected("vk2401.1setupandstatus\r\nPosUnits=mm\r\nPositionResMult=1\r\n", "header cut short");
    ExpectRejected("vk2401.1encodersignal", "first line only");
    ExpectRejected(StatusHeader() + StatusRecords(3) + "5\t6\tx", "cut short with a value not a number");
    ExpectRejected(StatusHeader() + "1\t2\tx\t4\t0.5\r\n", "value not a number");
    ExpectRejected(StatusHeader() + "1\t2\t3\t4\t0,5\r\n", "comma decimal in a record");
    ExpectRejected(StatusHeader() + "1\t2\t3\t4\tnan\r\n", "interval not finite");
    ExpectRejected(StatusHeader() + "2147483648\t2\t3\t4\t0.5\r\n", "position out of range");
    ExpectRejected("vk2401.1encodersignal\r\nx\r\n65536\t0\t0\t0\t0.1\r\n", "word above 65535");
    ExpectRejected("vk2401.1encodersignal\r\nx\r\n-1\t0\t0\t0\t0.1\r\n", "negative word");
    ExpectRejected("vk2401.1positionvelocity\r\nPosUnits=mm\r\nPositionResMult=1\r\nPositionInterpMult=1\r\n"
                   "Pos\r\n1\t\t\t1.5.0\t\t0.1\r\n",
                   "velocity not a number");

    FillWithPattern(*sets, 7);
    const uint64_t before = Fingerprint(*sets);
    int kind = 5, count = 5;
    EXPECT_FALSE(sets->LoadDataFile(dir / "missing.man", kind, count));
    EXPECT_EQ(kind, -1);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(sets->LoadDataFile(dir.Path(), kind, count)); // a directory
    EXPECT_EQ(Fingerprint(*sets), before);
}

TEST_F(DataFileLoad, OutParameterFormReportsKindAndCount) {
    WriteText(dir / "x.str",
              "vk2401.1signalstrength\r\nPosUnits=mm\r\nPositionResMult=1\r\nPositionInterpMult=1\r\n"
              "Pos\r\n1\t2\t0\t0.5\r\n3\t4\t0\t0.5\r\n");
    int kind = -1, count = 0;
    EXPECT_TRUE(sets->LoadDataFile(dir / "x.str", kind, count));
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(sets->SignalStrength().elapsed.load(), 1.0f);
}
