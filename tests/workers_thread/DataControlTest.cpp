// SetDataControl for the status ring: refusal while a worker exists, step back, replay at the recorded
// pace and its end, and the commands that must start nothing.
#include "MonitorFixture.h"

#include <chrono>
#include <numeric>

namespace {

class DataControl : public MonitorFixture {
protected:
    // A recorded ring of n samples: positions 10 x i, the given interval each.
    void Record(int32_t n, float interval) {
        float elapsed = 0.0f;
        for (int32_t i = 0; i < n; ++i) {
            Ring().position[static_cast<std::size_t>(i)] = 10 * i;
            Ring().magnitude[static_cast<std::size_t>(i)] = 100 + i;
            Ring().status[static_cast<std::size_t>(i)] = 0x00010000u * static_cast<uint32_t>(i);
            Ring().interval[static_cast<std::size_t>(i)] = interval;
            elapsed += interval;
        }
        Ring().count.store(n);
        Ring().elapsed.store(elapsed);
        Ring().reviewCount.store(0);
        Ring().reviewIndex.store(n - 1); // as a live run leaves it
    }
    // Time of sample i of the recorded ring (the elapsed time when it was taken).
    float TimeAt(int32_t i) const {
        float t = 0.0f;
        for (int32_t k = 0; k <= i; ++k)
            t += com.Data.SetupStatus().interval[static_cast<std::size_t>(k)];
        return t;
    }
};

TEST_F(DataControl, StartingWhileAWorkerWindsDownSetsRestartPendingAndStartsNothing) {
    com.ThreadRunning.store(true); // a worker (here of another display mode) has not finished yet
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    EXPECT_TRUE(com.RestartPending.load());
    EXPECT_FALSE(monitor.WorkerActive());

    Record(20, 0.01f);
    monitor.StepBack();
    com.RestartPending.store(false);
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartReplay);
    EXPECT_TRUE(com.RestartPending.load());
    EXPECT_FALSE(monitor.WorkerActive());

    // Once the other worker is gone, the retried start runs and clears the flag.
    com.ThreadRunning.store(false);
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartLive);
    EXPECT_FALSE(com.RestartPending.load());
    EXPECT_TRUE(monitor.WorkerActive());
    ASSERT_TRUE(WaitForSamples(1));

    // Our own worker still executing: a second start does nothing at all.
    monitor.StartLive();
    com.StopRequest.store(true); // and while it winds down
    monitor.StartLive();
    EXPECT_FALSE(com.RestartPending.load());
    ASSERT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }));
    WaitFor([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(monitor.Stats().threadsDone.load(), 1u); // only one worker ever ran
    ExpectIdle();
}

TEST_F(DataControl, AStopRequestedBeforeTheWorkerRunsIsKept) {
    monitor.StartLive();
    com.StopRequest.store(true); // at once, before the worker's body had a chance to start
    ASSERT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }));
    EXPECT_LE(sink.samples.size(), 1u);
    ExpectIdle();
}

TEST_F(DataControl, OtherDataSetsAndUnknownCommandsStartNothing) {
    for (int set : {1, 2, 3, 4, -1})
        for (int command = 0; command <= 3; ++command)
            monitor.SetDataControl(set, command);
    monitor.SetDataControl(SetupStatusSet, 7);
    EXPECT_FALSE(monitor.WorkerActive());
    EXPECT_FALSE(com.ThreadRunning.load());
    EXPECT_FALSE(com.StopRequest.load());
    EXPECT_TRUE(sink.shownTimes.empty());

    kpd::StatusMonitor detached(sink); // no access object: nothing to start or show
    detached.StartLive();
    detached.Stop();
    detached.StepBack();
    detached.StartReplay();
    EXPECT_FALSE(detached.WorkerActive());
    EXPECT_TRUE(sink.shownTimes.empty());
}

TEST_F(DataControl, StepBackOnLessThanTenSecondsSelectsTheWholeRingThenChangesNothing) {
    Record(50, 0.1f); // 5 s of samples
    monitor.SetDataControl(SetupStatusSet, kpd::DataStepBack);
    EXPECT_EQ(Ring().reviewCount.load(), 50);
    EXPECT_EQ(Ring().reviewIndex.load(), 0);
    EXPECT_TRUE(com.ReviewStep.load());
    ASSERT_EQ(sink.shownTimes.size(), 1u);
    EXPECT_NEAR(sink.shownTimes[0], TimeAt(0), 1e-4f); // the time of the window's first sample
    EXPECT_NEAR(Ring().reviewElapsed.load(), TimeAt(0), 1e-4f);

    com.ReviewStep.store(false); // Back pressed again
    monitor.StepBack();
    EXPECT_EQ(sink.shownTimes.size(), 1u); // the window already covers the ring: nothing shown
    EXPECT_EQ(Ring().reviewCount.load(), 50);

    // Stop shows the time at the start of the window.
    monitor.Stop();
    ASSERT_EQ(sink.shownTimes.size(), 2u);
    EXPECT_NEAR(sink.shownTimes[1], TimeAt(0), 1e-4f);
}

TEST_F(DataControl, StepBackOnALongRecordingMovesTenSecondsPerPress) {
    Record(300, 0.1f); // 30 s
    monitor.StepBack();
    const int32_t first = Ring().reviewCount.load();
    const int32_t start1 = Ring().reviewIndex.load();
    EXPECT_EQ(start1, 300 - first);
    ASSERT_EQ(sink.shownTimes.size(), 1u);
    EXPECT_NEAR(sink.shownTimes[0], TimeAt(start1), 1e-3f);
    const float span1 = Ring().elapsed.load() - TimeAt(start1);
    EXPECT_GE(span1, 10.0f - 1e-3f);
    EXPECT_LT(span1, 10.1f);

    // With the review-step flag still set, Back keeps the window and shows its start again.
    monitor.StepBack();
    EXPECT_EQ(Ring().reviewCount.load(), first);
    ASSERT_EQ(sink.shownTimes.size(), 2u);
    EXPECT_FLOAT_EQ(sink.shownTimes[1], sink.shownTimes[0]);

    com.ReviewStep.store(false);
    monitor.StepBack();
    const int32_t start2 = Ring().reviewIndex.load();
    EXPECT_GT(Ring().reviewCount.load(), first);
    EXPECT_EQ(start2, 300 - Ring().reviewCount.load());
    EXPECT_GE(TimeAt(start1) - TimeAt(start2), 10.0f - 1e-3f);
    EXPECT_LT(TimeAt(start1) - TimeAt(start2), 10.1f);
}

TEST_F(DataControl, StepBackRefusesWhileTheWorkerOwnsTheRing) {
    Record(50, 0.1f);
    com.ThreadRunning.store(true);
    monitor.StepBack();
    monitor.Stop();
    EXPECT_EQ(Ring().reviewCount.load(), 0);
    EXPECT_TRUE(sink.shownTimes.empty());
    EXPECT_TRUE(com.StopRequest.load());
    com.ThreadRunning.store(false);
    com.StopRequest.store(false);
}

TEST_F(DataControl, ReplayWithoutAWindowOnlyShowsTheElapsedTime) {
    monitor.StartLive();
    ASSERT_TRUE(WaitForSamples(3));
    ASSERT_TRUE(StopAndWait());
    const std::size_t shown = sink.samples.size();
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartReplay);
    EXPECT_FALSE(monitor.WorkerActive());
    EXPECT_FALSE(com.ThreadRunning.load());
    ASSERT_EQ(sink.shownTimes.size(), 1u);
    EXPECT_FLOAT_EQ(sink.shownTimes[0], Ring().elapsed.load());
    EXPECT_EQ(sink.samples.size(), shown);
}

TEST_F(DataControl, ReplayShowsTheWindowAtItsPaceAndEndsByItself) {
    constexpr int32_t n = 20;
    constexpr float interval = 0.02f;
    Record(n, interval);
    monitor.StepBack();
    ASSERT_EQ(Ring().reviewCount.load(), n);
    sink.shownTimes.clear();

    const auto started = std::chrono::steady_clock::now();
    monitor.SetDataControl(SetupStatusSet, kpd::DataStartReplay);
    ASSERT_TRUE(monitor.WorkerActive());
    ASSERT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    ASSERT_EQ(sink.samples.size(), static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        const ShownSample &s = sink.samples[static_cast<std::size_t>(i)];
        EXPECT_TRUE(s.replay);
        EXPECT_EQ(s.position, 10 * i);
        EXPECT_EQ(s.magnitude, static_cast<float>(100 + i));
        EXPECT_EQ(s.statusWord, 0x00010000u * static_cast<uint32_t>(i));
        EXPECT_NEAR(s.elapsed, TimeAt(i), 1e-4f); // each sample with its own recorded time
        EXPECT_EQ(s.evaluate, (i + 1) % 4 == 0);
    }
    // Paced: the replay lasts at least the recorded time (it sleeps each recorded interval).
    EXPECT_GE(took, n * interval * 0.9);
    EXPECT_EQ(sink.stopAfterReplay, 1);
    EXPECT_EQ(sink.linkFailures, 0);
    EXPECT_EQ(Ring().reviewCount.load(), 0);
    EXPECT_EQ(Ring().count.load(), n); // replay does not record
    EXPECT_TRUE(sink.shownTimes.empty());
    ExpectIdle();
}

TEST_F(DataControl, AStoppedReplayKeepsTheRestOfItsWindowAndResumesThere) {
    constexpr int32_t n = 40;
    Record(n, 0.02f);
    monitor.StepBack();
    monitor.StartReplay();
    ASSERT_TRUE(WaitForSamples(5));
    monitor.Stop(); // the Stop button while replaying
    ASSERT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }));
    const auto shown = static_cast<int32_t>(sink.samples.size());
    ASSERT_LT(shown, n);
    EXPECT_EQ(Ring().reviewCount.load(), n - shown);
    EXPECT_EQ(Ring().reviewIndex.load(), shown);
    EXPECT_NEAR(Ring().reviewElapsed.load(), TimeAt(shown), 1e-4f);
    EXPECT_EQ(sink.stopAfterReplay, 1);

    monitor.StartReplay();
    ASSERT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }));
    ASSERT_EQ(sink.samples.size(), static_cast<std::size_t>(n)); // every sample shown exactly once
    for (int32_t i = 0; i < n; ++i)
        EXPECT_EQ(sink.samples[static_cast<std::size_t>(i)].position, 10 * i);
    EXPECT_NEAR(sink.samples.back().elapsed, TimeAt(n - 1), 1e-4f);
    EXPECT_EQ(sink.stopAfterReplay, 2);
}

TEST_F(DataControl, AReplayWithAnAbsurdIntervalStillStopsAtOnce) {
    Record(5, 0.02f);
    Ring().interval[0] = 1.0e9f; // a corrupt value, e.g. from a loaded file
    monitor.StepBack();
    monitor.StartReplay();
    WaitFor([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_TRUE(monitor.WorkerActive());
    monitor.Stop();
    EXPECT_TRUE(WaitFor([&] { return !monitor.WorkerActive(); }, std::chrono::milliseconds(1000)));
    EXPECT_TRUE(sink.samples.empty());
    EXPECT_EQ(Ring().reviewCount.load(), 5);
}

} // namespace
