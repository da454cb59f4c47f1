// The plot modes' own commands through the session: the plot type choice (display modes 1 and 3) and the
// plot settings applied by command 12.
#include "SessionFixture.h"

#include "data/Settings.h"
#include "session/PlotOptions.h"

namespace {

using kpd::DataState;
using kpd::DisplayMode;
using sessiontest::SessionTest;

class PlotCommands : public SessionTest {
protected:
    void SetUp() override { EnterDemo(); }
    Settings Saved() {
        Settings s;
        s.LoadSettings(installDir.path().toStdString());
        return s;
    }
    // Apply of the plot settings dialog, then the scheduler's tick.
    void Apply(DisplayMode mode, bool checked, std::string display, std::string e1, std::string e2) {
        const kpd::PlotOptionsPage page =
            kpd::PreparePlotOptions(mode, S().Config(), S().Scaling(), S().ProcessorVersion());
        kpd::PlotOptionsEntry entry{mode, checked, std::move(display), std::move(e1), std::move(e2)};
        int count = 0;
        ASSERT_TRUE(kpd::ValidatePlotOptions(page, entry, count));
        S().ApplyPlotOptions(entry, count);
        EXPECT_TRUE(S().Review());
        EXPECT_TRUE(S().Access()->StopRequest.load());
        EXPECT_EQ(S().ReadWriteTimer()->interval(), 400);
        S().ReadWriteTimerTimer();
    }
};

TEST_F(PlotCommands, EncoderPlotTypeClearsThePlotOnlyWhenItChanges) {
    EnterPlotMode(DisplayMode::EncoderSignal);
    S().Config().encoderplottype = 2;
    S().PlotTypeGroupClick(2); // the same item again
    S().PlotTypeGroupClick(0);
    using Change = std::pair<DisplayMode, bool>;
    EXPECT_EQ(view.plotTypeChanges,
              (std::vector<Change>{{DisplayMode::EncoderSignal, false}, {DisplayMode::EncoderSignal, true}}));
    EXPECT_EQ(view.plotRestarts, 0);
    EXPECT_EQ(S().Config().encoderplottype, 0);
    EXPECT_EQ(Saved().encoderplottype, 0); // the settings file is written
}

TEST_F(PlotCommands, PositionPlotTypeRestartsTheRunningPlot) {
    EnterPlotMode(DisplayMode::SignalPlots);
    S().Config().positionplottype = 0;
    S().PlotTypeGroupClick(0);
    EXPECT_TRUE(view.plotTypeChanges.empty());
    EXPECT_EQ(view.plotRestarts, 0);
    S().PlotTypeGroupClick(1);
    EXPECT_EQ(view.plotTypeChanges.size(), 1u);
    EXPECT_EQ(view.plotRestarts, 1);
    EXPECT_EQ(Saved().positionplottype, 1);
}

TEST_F(PlotCommands, EncoderSignalSettingsApplyCirclesAndPointCount) {
    EnterPlotMode(DisplayMode::EncoderSignal);
    Apply(DisplayMode::EncoderSignal, false, "150.7", "0.2", "0.6");
    EXPECT_TRUE(S().Config().showcircles);
    EXPECT_FLOAT_EQ(S().Config().minimumcircle, 0.2f);
    EXPECT_FLOAT_EQ(S().Config().maximumcircle, 0.6f);
    EXPECT_EQ(S().Config().lissplot, 150);
    EXPECT_EQ(view.plotRestarts, 1);
    // The worker of the mode starts again with the new values, and the file holds them.
    EXPECT_EQ(dc.calls, (std::vector<std::pair<int, int>>{{1, 1}}));
    const Settings saved = Saved();
    EXPECT_EQ(saved.lissplot, 150);
    EXPECT_TRUE(saved.showcircles);

    // Circles switched off: the radii stay as they were.
    Apply(DisplayMode::EncoderSignal, true, "5", "0.9", "0.95");
    EXPECT_FALSE(S().Config().showcircles);
    EXPECT_FLOAT_EQ(S().Config().minimumcircle, 0.2f);
    EXPECT_EQ(S().Config().lissplot, 5);
}

TEST_F(PlotCommands, StrengthFixedRangeIsKeptInCountsAndAutoScaleReturns) {
    EnterPlotMode(DisplayMode::SignalStrength);
    S().Config().resolutionMultiplier = 0.5f;
    S().Config().interpolationMultiplier = 1.0f;
    Apply(DisplayMode::SignalStrength, false, "1000", "100.0", "300.0");
    EXPECT_FALSE(S().Scaling().strengthAuto);
    EXPECT_EQ(S().Scaling().strengthFixed, (kpd::PlotRange{200, 600}));
    EXPECT_EQ(S().Config().signalplot, 1000);
    Apply(DisplayMode::SignalStrength, true, "100", "", "");
    EXPECT_TRUE(S().Scaling().strengthAuto);
    EXPECT_EQ(Saved().signalplot, 100);
}

TEST_F(PlotCommands, SignalPlotsWindowAndFixedRange) {
    EnterPlotMode(DisplayMode::SignalPlots);
    Apply(DisplayMode::SignalPlots, false, "12.5", "-100", "100");
    EXPECT_FALSE(S().Scaling().signalAuto);
    EXPECT_EQ(S().Scaling().signalFixed, (kpd::PlotRange{-100, 100}));
    EXPECT_FLOAT_EQ(S().Config().positionplot, 12.5f);
    EXPECT_FLOAT_EQ(Saved().positionplot, 12.5f);
}

TEST_F(PlotCommands, ApplyWhileViewingBufferedDataClearsTheReviewFlag) {
    EnterPlotMode(DisplayMode::SignalPlots);
    S().States().Set(DisplayMode::SignalPlots, DataState::Viewing);
    Apply(DisplayMode::SignalPlots, true, "8", "", "");
    EXPECT_FALSE(S().Review());
}

TEST_F(PlotCommands, AnEntryOfAnotherModeIsNotApplied) {
    EnterPlotMode(DisplayMode::SignalPlots);
    const int before = S().Config().lissplot;
    kpd::PlotOptionsEntry entry{DisplayMode::EncoderSignal, false, "999", "0.1", "0.2"};
    S().ApplyPlotOptions(entry, 999); // queued in mode 1, carried out after a switch to mode 3
    S().ReadWriteTimerTimer();
    EXPECT_EQ(S().Config().lissplot, before);
    EXPECT_EQ(view.plotRestarts, 0);
}

} // namespace
