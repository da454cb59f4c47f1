// The soak's file check: a saved data set and its file loaded back compare equal within the precision of
// the file's columns, and any real difference is found.
#include "DataFileCheck.h"
#include "DataFingerprint.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

class DataFileCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kpd-soak-check-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    void Fill() {
        auto &e = source->EncoderSignal();
        auto &p = source->PositionVelocity();
        for (int i = 0; i < 300; ++i) {
            const auto s = static_cast<std::size_t>(i);
            e.w1[s] = static_cast<uint16_t>(i);
            e.w2[s] = static_cast<uint16_t>(4095 - i);
            e.w3[s] = static_cast<uint16_t>(i * 7 % 4096);
            e.w4[s] = static_cast<uint16_t>(i * 13 % 4096);
            e.interval[s] = 0.0028645f + static_cast<float>(i) * 1e-7f;
            p.position[s] = 65530 + i * 3 - 600;
            p.velocity[s] = static_cast<float>(static_cast<int16_t>(static_cast<uint32_t>(p.position[s]) >> 16));
            p.interval[s] = 0.0123457f;
        }
        e.count = 300;
        p.count = 300;
    }
    std::filesystem::path dir;
    std::unique_ptr<DataSets> source = std::make_unique<DataSets>();
    std::unique_ptr<DataSets> loaded = std::make_unique<DataSets>();
};

} // namespace

TEST_F(DataFileCheckTest, ASavedFileComparesEqualToWhatWasSaved) {
    Fill();
    const DataFileHeader header{"mm", 0.001f, 4.0f};
    ASSERT_TRUE(source->SaveEncoderSignalFile(dir / "a.lis"));
    ASSERT_TRUE(source->SavePositionVelocityFile(dir / "a.pos", header.unitsName, header.resolutionMultiplier,
                                                 header.interpolationMultiplier));
    for (const auto &[kind, name] : {std::pair{1, "a.lis"}, std::pair{3, "a.pos"}}) {
        const soak::FileRecords saved = soak::SavedView(*source, kind, header);
        EXPECT_EQ(saved.records.size(), 299u); // all but the oldest
        const DataFileLoadResult r = loaded->LoadDataFile(dir / name);
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_EQ(soak::Compare(saved, soak::LoadedView(*loaded, kind, r)), "") << name;
    }
}

TEST_F(DataFileCheckTest, ADifferenceIsFound) {
    Fill();
    const DataFileHeader header{"mm", 0.001f, 4.0f};
    ASSERT_TRUE(source->SavePositionVelocityFile(dir / "a.pos", "mm", 0.001f, 4.0f));
    const soak::FileRecords saved = soak::SavedView(*source, 3, header);
    DataFileLoadResult r = loaded->LoadDataFile(dir / "a.pos");
    ASSERT_TRUE(r.ok);
    loaded->PositionVelocity().position[17] += 1;
    EXPECT_NE(soak::Compare(saved, soak::LoadedView(*loaded, 3, r)).find("record 18 of 299, value 1"),
              std::string::npos);
    loaded->PositionVelocity().position[17] -= 1;
    loaded->PositionVelocity().interval[5] += 1e-4f; // beyond the five decimals of the column
    EXPECT_NE(soak::Compare(saved, soak::LoadedView(*loaded, 3, r)), "");
    loaded->PositionVelocity().interval[5] -= 1e-4f;
    loaded->PositionVelocity().count = 298;
    EXPECT_NE(soak::Compare(saved, soak::LoadedView(*loaded, 3, r)).find("298 records, expected 299"),
              std::string::npos);
    loaded->PositionVelocity().count = 299;
    r.header.unitsName = "in";
    EXPECT_NE(soak::Compare(saved, soak::LoadedView(*loaded, 3, r)).find("units"), std::string::npos);
    EXPECT_NE(soak::Compare(saved, soak::SavedView(*source, 1, header)), "");
}

TEST_F(DataFileCheckTest, TheDigestSeesEveryChange) {
    Fill();
    const uint64_t d = Fingerprint(*source);
    EXPECT_EQ(Fingerprint(*source), d);
    source->SignalStrength().c[19999] = 1;
    EXPECT_NE(Fingerprint(*source), d);
    source->SignalStrength().c[19999] = 0;
    EXPECT_EQ(Fingerprint(*source), d);
    source->SetupStatus().resetOnNextLiveStart = true;
    EXPECT_NE(Fingerprint(*source), d);
}
