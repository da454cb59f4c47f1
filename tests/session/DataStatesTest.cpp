// The data state of each display mode and its transitions: Acquire, Stop, the step back, View, the
// end of a replay and leaving a mode.
#include "session/DataStates.h"

#include <gtest/gtest.h>

using kpd::DataState;
using kpd::DataStates;
using kpd::DisplayMode;

namespace {

constexpr DisplayMode kDataModes[] = {DisplayMode::Status, DisplayMode::EncoderSignal,
                                      DisplayMode::SignalStrength, DisplayMode::SignalPlots};

} // namespace

TEST(DataStates, EveryModeStartsLiveAndTheEngineeringDisplayHasNoState) {
    DataStates s;
    for (DisplayMode m : kDataModes)
        EXPECT_EQ(s.Of(m), DataState::Live);
    EXPECT_EQ(s.Of(DisplayMode::Engineering), DataState::Stopped);
    s.Set(DisplayMode::Engineering, DataState::Viewing);
    EXPECT_EQ(s.Of(DisplayMode::Engineering), DataState::Stopped);
}

TEST(DataStates, AcquireFromStoppedOrSteppingBackGoesLive) {
    for (DataState from : {DataState::Stopped, DataState::SteppingBack}) {
        SCOPED_TRACE(static_cast<int>(from));
        DataStates s;
        s.Set(DisplayMode::SignalStrength, from);
        const auto r = s.Acquire(DisplayMode::SignalStrength);
        EXPECT_TRUE(r.applies);
        EXPECT_TRUE(r.wasNotLive);
        EXPECT_EQ(s.Of(DisplayMode::SignalStrength), DataState::Live);
    }
}

TEST(DataStates, AcquireWhileLiveAppliesWithoutAChange) {
    DataStates s;
    const auto r = s.Acquire(DisplayMode::Status);
    EXPECT_TRUE(r.applies);
    EXPECT_FALSE(r.wasNotLive);
    EXPECT_EQ(s.Of(DisplayMode::Status), DataState::Live);
}

TEST(DataStates, AcquireWhileViewingChangesNothing) {
    DataStates s;
    s.Set(DisplayMode::Status, DataState::Viewing);
    const auto r = s.Acquire(DisplayMode::Status);
    EXPECT_FALSE(r.applies);
    EXPECT_FALSE(r.wasNotLive);
    EXPECT_EQ(s.Of(DisplayMode::Status), DataState::Viewing);
    EXPECT_FALSE(s.Acquire(DisplayMode::Engineering).applies);
}

TEST(DataStates, StopStopsOnlyTheGivenMode) {
    for (DataState from : {DataState::Live, DataState::SteppingBack, DataState::Viewing}) {
        SCOPED_TRACE(static_cast<int>(from));
        DataStates s;
        s.Set(DisplayMode::EncoderSignal, from);
        s.Stop(DisplayMode::EncoderSignal);
        EXPECT_EQ(s.Of(DisplayMode::EncoderSignal), DataState::Stopped);
        EXPECT_EQ(s.Of(DisplayMode::Status), DataState::Live);
    }
}

TEST(DataStates, BackIsSteppingBackWhileItRunsThenStopped) {
    DataStates s;
    s.BeginStepBack(DisplayMode::SignalPlots);
    EXPECT_EQ(s.Of(DisplayMode::SignalPlots), DataState::SteppingBack);
    s.EndStepBack(DisplayMode::SignalPlots);
    EXPECT_EQ(s.Of(DisplayMode::SignalPlots), DataState::Stopped);
}

TEST(DataStates, ViewFromStoppedOrSteppingBackStartsViewing) {
    for (DataState from : {DataState::Stopped, DataState::SteppingBack}) {
        SCOPED_TRACE(static_cast<int>(from));
        DataStates s;
        s.Set(DisplayMode::EncoderSignal, from);
        EXPECT_TRUE(s.View(DisplayMode::EncoderSignal));
        EXPECT_EQ(s.Of(DisplayMode::EncoderSignal), DataState::Viewing);
    }
}

TEST(DataStates, ViewWhileLiveOrViewingChangesNothing) {
    for (DataState from : {DataState::Live, DataState::Viewing}) {
        SCOPED_TRACE(static_cast<int>(from));
        DataStates s;
        s.Set(DisplayMode::EncoderSignal, from);
        EXPECT_FALSE(s.View(DisplayMode::EncoderSignal));
        EXPECT_EQ(s.Of(DisplayMode::EncoderSignal), from);
    }
    DataStates s;
    EXPECT_FALSE(s.View(DisplayMode::Engineering));
}

TEST(DataStates, LeavingAModeTurnsViewingIntoStoppedAndKeepsTheOtherStates) {
    for (DataState from :
         {DataState::Stopped, DataState::Live, DataState::SteppingBack, DataState::Viewing}) {
        SCOPED_TRACE(static_cast<int>(from));
        DataStates s;
        s.Set(DisplayMode::SignalStrength, from);
        s.Leave(DisplayMode::SignalStrength);
        EXPECT_EQ(s.Of(DisplayMode::SignalStrength), from == DataState::Viewing ? DataState::Stopped : from);
    }
}

TEST(DataStates, ResetAllLiveMakesEveryModeLive) {
    DataStates s;
    s.Set(DisplayMode::Status, DataState::Stopped);
    s.Set(DisplayMode::EncoderSignal, DataState::Viewing);
    s.Set(DisplayMode::SignalPlots, DataState::SteppingBack);
    s.ResetAllLive();
    for (DisplayMode m : kDataModes)
        EXPECT_EQ(s.Of(m), DataState::Live);
}

TEST(DataStates, CaptionAndWorkerCommandOfEachState) {
    EXPECT_STREQ(kpd::CaptionOf(DataState::Stopped), "Data Display Stopped");
    EXPECT_STREQ(kpd::CaptionOf(DataState::SteppingBack), "Data Display Stopped");
    EXPECT_STREQ(kpd::CaptionOf(DataState::Live), "Live Data");
    EXPECT_STREQ(kpd::CaptionOf(DataState::Viewing), "Viewing Buffered Data");
    EXPECT_EQ(kpd::DataControlCommandOf(DataState::Stopped), kpd::DataStop);
    EXPECT_EQ(kpd::DataControlCommandOf(DataState::Live), kpd::DataStartLive);
    EXPECT_EQ(kpd::DataControlCommandOf(DataState::SteppingBack), kpd::DataStepBack);
    EXPECT_EQ(kpd::DataControlCommandOf(DataState::Viewing), kpd::DataStartReplay);
}
