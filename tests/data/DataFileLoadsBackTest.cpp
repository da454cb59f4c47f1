// Whatever a data set holds and whatever units name the settings carry, a save succeeds and the file it
// writes loads back: non-finite values, values beyond the float range and over-long units names.
#include "DataTestSupport.h"
#include "data/DataSets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kMax = std::numeric_limits<float>::max();

class DataFileLoadsBack : public ::testing::Test {
protected:
    std::unique_ptr<DataSets> source = std::make_unique<DataSets>();
    std::unique_ptr<DataSets> loaded = std::make_unique<DataSets>();
    TempDir dir;

    // Saves data set `kind` of the source, loads the file into `loaded` and returns the load's result.
    DataFileLoadResult SaveAndLoad(int kind, const std::string &units, float res, float interp) {
        const auto file = dir / ("set" + std::to_string(kind));
        bool saved = false;
        switch (kind) {
        case 0:
            saved = source->SaveSetupStatusFile(file, units, res, interp);
            break;
        case 1:
            saved = source->SaveEncoderSignalFile(file);
            break;
        case 2:
            saved = source->SaveSignalStrengthFile(file, units, res, interp);
            break;
        default:
            saved = source->SavePositionVelocityFile(file, units, res, interp);
            break;
        }
        EXPECT_TRUE(saved);
        return loaded->LoadDataFile(file);
    }
};

// The value a non-finite or out-of-range float is written as, read back at the column's precision.
void ExpectStandIn(float written, float read, const char *what) {
    if (std::isnan(written)) {
        EXPECT_EQ(read, 0.0f) << what;
    } else {
        ASSERT_TRUE(std::isinf(written)) << what;
        EXPECT_TRUE(std::isfinite(read)) << what;
        EXPECT_EQ(std::signbit(read), std::signbit(written)) << what;
        EXPECT_GT(std::fabs(read), 3.4e38f) << what;
        EXPECT_LE(std::fabs(read), kMax) << what;
    }
}

} // namespace

TEST_F(DataFileLoadsBack, NonFiniteValuesLoadBackAsTheNearestFiniteValue) {
    const float odd[] = {kNaN, kInf, -kInf, -kNaN};
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        source->Control(kind).count = 5; // records 1 to 4 are saved
        auto intervals = source->Intervals(kind);
        for (int i = 1; i <= 4; ++i)
            intervals[static_cast<std::size_t>(i)] = odd[i - 1];
        if (kind == 3) {
            for (int i = 1; i <= 4; ++i)
                source->PositionVelocity().velocity[static_cast<std::size_t>(i)] = odd[4 - i];
        }
        const auto result = SaveAndLoad(kind, "mm", kInf, kNaN);
        ASSERT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(result.count, 4);
        const auto read = loaded->Intervals(kind);
        for (int i = 0; i < 4; ++i)
            ExpectStandIn(odd[i], read[static_cast<std::size_t>(i)], "interval");
        if (kind == 3) {
            for (int i = 0; i < 4; ++i)
                ExpectStandIn(odd[3 - i], loaded->PositionVelocity().velocity[static_cast<std::size_t>(i)],
                              "velocity");
        }
        if (result.hasHeader) {
            EXPECT_EQ(result.header.resolutionMultiplier, kMax);
            EXPECT_EQ(result.header.interpolationMultiplier, 0.0f);
        }
    }
}

TEST_F(DataFileLoadsBack, FiniteExtremesStayFinite) {
    auto &p = source->PositionVelocity();
    p.count = 3;
    p.velocity[1] = kMax;
    p.velocity[2] = -std::numeric_limits<float>::denorm_min();
    p.interval[1] = kMax;
    p.interval[2] = std::numeric_limits<float>::min();
    const auto result = SaveAndLoad(3, "counts", -kMax, std::numeric_limits<float>::denorm_min());
    ASSERT_TRUE(result.ok) << result.reason;
    const auto &q = loaded->PositionVelocity();
    EXPECT_TRUE(std::isfinite(q.velocity[0]));
    EXPECT_GT(q.velocity[0], 3.4e38f);
    EXPECT_EQ(q.velocity[1], 0.0f);
    EXPECT_GT(q.interval[0], 3.4e38f);
    EXPECT_EQ(q.interval[1], 0.0f);
    EXPECT_EQ(result.header.resolutionMultiplier, -kMax);
    EXPECT_EQ(result.header.interpolationMultiplier, std::numeric_limits<float>::denorm_min());
}

TEST_F(DataFileLoadsBack, LongUnitsNamesSaveAndLoadBackCut) {
    const std::string seventy = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.:;,!?";
    ASSERT_EQ(seventy.size(), 70u);
    for (int kind : {0, 2, 3}) {
        SCOPED_TRACE(kind);
        source->Control(kind).count = 3;
        for (const std::string &units : {seventy + "+", seventy + std::string(500, 'x')}) {
            const auto result = SaveAndLoad(kind, units, 0.25f, 4.0f);
            ASSERT_TRUE(result.ok) << result.reason;
            EXPECT_EQ(result.count, 2);
            EXPECT_EQ(result.header.unitsName, seventy);
            EXPECT_EQ(result.header.resolutionMultiplier, 0.25f);
        }
        const auto result = SaveAndLoad(kind, "mi\rcrons", 1.0f, 1.0f);
        ASSERT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(result.header.unitsName, "mi");
    }
}
