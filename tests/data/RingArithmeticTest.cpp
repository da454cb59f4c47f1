// Ring arithmetic of the data sets: wrapping indices, the records a save writes, and the step-back walk
// that selects the review window (fewer than 10 s, repeated steps, wrap at the capacity).
#include "data/RingArithmetic.h"
#include "data/DataSets.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace RingArithmetic;

TEST(DataRingIndex, WrapsAtBothEnds) {
    EXPECT_EQ(Predecessor(0, 2000), 1999);
    EXPECT_EQ(Predecessor(1999, 2000), 1998);
    EXPECT_EQ(Successor(1999, 2000), 0);
    EXPECT_EQ(Successor(19999, 20000), 0);
    EXPECT_EQ(Wrap(-1, 20000), 19999);
    EXPECT_EQ(Wrap(40001, 20000), 1);
    EXPECT_EQ(NewestIndex(0, 2000), 1999);
    EXPECT_EQ(NewestIndex(7, 2000), 6);
    EXPECT_EQ(OldestIndex(7, false), 0);
    EXPECT_EQ(OldestIndex(7, true), 7);
    EXPECT_EQ(RecordCount(7, true, 2000), 2000);
    EXPECT_EQ(RecordCount(7, false, 2000), 7);
    EXPECT_EQ(StepBackLimit(7, true, 20000), 19999);
    EXPECT_EQ(StepBackLimit(7, false, 20000), 7);
}

TEST(DataRingIndex, SavedRecordsLeaveOutTheOldest) {
    EXPECT_EQ(SavedRecords(0, false, 2000).size, 0);
    EXPECT_EQ(SavedRecords(1, false, 2000).size, 0);
    const auto three = SavedRecords(3, false, 2000);
    EXPECT_EQ(three.first, 1);
    EXPECT_EQ(three.size, 2);
    const auto wrapped = SavedRecords(137, true, 20000);
    EXPECT_EQ(wrapped.first, 138);
    EXPECT_EQ(wrapped.size, 19999);
    EXPECT_EQ(SavedRecords(0, true, 2000).first, 1);
    EXPECT_EQ(SavedRecords(1999, true, 2000).first, 0);
    EXPECT_EQ(SavedRecords(1999, true, 2000).size, 1999);
}

namespace {

// A ring of `capacity` intervals of `step` seconds each, `count` records recorded.
struct Ring {
    std::vector<float> interval;
    int32_t count;
    bool wrapped;
    float elapsed = 0.0f;
    int32_t reviewCount = 0;
    int32_t reviewIndex = 0;

    Ring(int32_t capacity, int32_t records, float step, bool isWrapped)
        : interval(static_cast<std::size_t>(capacity), 0.0f), count(records), wrapped(isWrapped) {
        const int32_t held = isWrapped ? capacity : records;
        for (int32_t k = 0; k < held; ++k) {
            interval[static_cast<std::size_t>(Wrap(records - 1 - k, capacity))] = step;
            elapsed += step;
        }
    }
    StepBackResult Back(bool reviewStepFlag = false) {
        const auto r =
            StepBackWalk(interval, count, wrapped, elapsed, reviewCount, reviewIndex, reviewStepFlag);
        if (r.show) {
            reviewCount = r.reviewCount;
            reviewIndex = r.reviewIndex;
        }
        return r;
    }
};

} // namespace

TEST(DataStepBack, FewerThanTenSecondsSelectsTheWholeRing) {
    Ring ring(2000, 50, 0.125f, false); // 6.25 s recorded
    const auto r = ring.Back();
    ASSERT_TRUE(r.show);
    EXPECT_EQ(r.reviewCount, 50);
    EXPECT_EQ(r.reviewIndex, 0);
    EXPECT_FLOAT_EQ(r.time, 0.125f); // time of record 0, the first of the window

    // Again with the window already covering the ring: nothing changes, nothing is shown.
    const auto again = ring.Back();
    EXPECT_FALSE(again.show);
    EXPECT_EQ(ring.reviewCount, 50);
    EXPECT_EQ(ring.reviewIndex, 0);
}

TEST(DataStepBack, RepeatedStepsGrowTheWindowByTenSeconds) {
    Ring ring(20000, 300, 0.5f, false); // 150 s recorded
    auto r = ring.Back();
    ASSERT_TRUE(r.show);
    EXPECT_EQ(r.reviewCount, 21); // 20 intervals of 0.5 s between the first and last record of the window
    EXPECT_EQ(r.reviewIndex, 279);
    EXPECT_FLOAT_EQ(r.time, 140.0f);

    r = ring.Back();
    EXPECT_EQ(r.reviewCount, 41);
    EXPECT_EQ(r.reviewIndex, 259);
    EXPECT_FLOAT_EQ(r.time, 130.0f);

    // With the review-step flag set the window stays and only its start time is shown.
    r = ring.Back(true);
    ASSERT_TRUE(r.show);
    EXPECT_EQ(r.reviewCount, 41);
    EXPECT_EQ(r.reviewIndex, 259);
    EXPECT_FLOAT_EQ(r.time, 130.0f);
    EXPECT_FLOAT_EQ(WindowStartTime(ring.interval, ring.count, ring.elapsed, 41), 130.0f);
}

TEST(DataStepBack, WalkWrapsAtTheCapacityAndStopsBeforeTheOldest) {
    Ring ring(2000, 5, 1.0f, true); // 2000 s recorded, newest at 4, oldest at 5
    int steps = 0;
    int32_t firstIndex = -1;
    while (ring.Back().show) {
        ASSERT_GE(ring.reviewIndex, 0);
        ASSERT_LT(ring.reviewIndex, 2000);
        if (firstIndex < 0) firstIndex = ring.reviewIndex;
        ASSERT_LT(++steps, 400);
    }
    EXPECT_EQ(firstIndex, 1994); // 11 records back from the newest (4) cross slot 0
    EXPECT_EQ(ring.reviewCount, 1999);
    EXPECT_EQ(ring.reviewIndex, 6); // the oldest record (5) is not reviewed
    EXPECT_EQ(steps, 200); // 11 records for the first 10 s, then 10 per step: 1 + 198 + last partial step
    EXPECT_FLOAT_EQ(WindowStartTime(ring.interval, ring.count, ring.elapsed, 1999), 2000.0f - 1998.0f);
}

TEST(DataStepBack, StaleSlotAtTheWriteIndexDoesNotCount) {
    // After a clear or a load the slot at the write index can hold an interval of an earlier recording.
    Ring ring(2000, 10, 0.5f, false);
    ring.interval[10] = 1000.0f;
    const auto r = ring.Back();
    ASSERT_TRUE(r.show);
    EXPECT_EQ(r.reviewCount, 10);
    EXPECT_FLOAT_EQ(r.time, 0.5f);
    EXPECT_FLOAT_EQ(WindowStartTime(ring.interval, ring.count, ring.elapsed, 10), 0.5f);
}

TEST(DataStepBack, EmptyRingShowsNothing) {
    Ring ring(20000, 0, 0.5f, false);
    EXPECT_FALSE(ring.Back().show);
    EXPECT_EQ(WindowStartTime(ring.interval, 0, 0.0f, 0), 0.0f);
}

TEST(DataStepBack, AppliedToALoadedDataSet) {
    auto sets = std::make_unique<DataSets>();
    auto &g = sets->SignalStrength();
    for (int i = 0; i < 40; ++i)
        g.interval[static_cast<std::size_t>(i)] = 0.5f;
    g.count = 40;
    g.elapsed = 20.0f;
    const auto r = StepBack(g, sets->Intervals(SignalStrengthSet), false);
    ASSERT_TRUE(r.show);
    EXPECT_EQ(g.reviewCount.load(), 21);
    EXPECT_EQ(g.reviewIndex.load(), 19);
    EXPECT_FLOAT_EQ(g.reviewElapsed.load(), 10.0f);
    EXPECT_TRUE(HasReviewWindow(g.count, 20000, g.reviewIndex, g.reviewCount));
}

TEST(DataReviewWindow, NoWindowAfterALiveRun) {
    EXPECT_FALSE(HasReviewWindow(10, 2000, 9, 5));    // the index a live run leaves: count - 1
    EXPECT_FALSE(HasReviewWindow(0, 2000, -1, 5));    // after a wrap: count - 1 is -1
    EXPECT_FALSE(HasReviewWindow(10, 2000, 3, 0));    // empty window
    EXPECT_FALSE(HasReviewWindow(10, 2000, 2000, 5)); // not a slot
    EXPECT_TRUE(HasReviewWindow(10, 2000, 3, 7));
    EXPECT_TRUE(HasReviewWindow(0, 2000, 1999, 1)); // one record just before the wrap point
}
