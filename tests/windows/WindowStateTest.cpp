// Window states and display routines: demo and connected states, data controls, interpolation and
// frequency texts, window caption, the hover highlight.
#include "AppTestSupport.h"
#include "access/ComData.h"
#include "widgets/Lamp.h"
#include "windows/PlotDisplay.h"
#include "workers/StatusMonitor.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

TEST(WindowState, DemoAndConnectedStatesSwitchTheSameControls) {
    apptest::ClearInstallDir();
    apptest::SimulatedElectronics sim;
    ASSERT_TRUE(sim.Started()) << sim.Error();
    apptest::Harness h;
    TMainForm &f = *h.form;
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);

    // Connected: a search finds the electronics; the status display is live.
    f.session().Search();
    ASSERT_TRUE(f.session().Access() && f.session().Access()->PortOpen());
    EXPECT_FALSE(f.session().Demo());
    EXPECT_EQ(f.windowTitle(), "Live Data"); // the status layout ends with the caption of the data state
    for (QWidget *w :
         {static_cast<QWidget *>(f.CenterIndexButton), static_cast<QWidget *>(f.ResetPositionButton),
          static_cast<QWidget *>(f.AcquireButton), static_cast<QWidget *>(f.PlotTypeGroup)})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    for (const char *item : {"Tessalyversion1", "Savedata1", "Engineering1", "ResetDataBuffers1", "Encoder1",
                             "SoftwareSystemReset1"})
        EXPECT_TRUE(f.Menu().Enabled(item)) << item;
    EXPECT_FALSE(f.Menu().Enabled("HardwareReset1"));
    EXPECT_FALSE(f.Menu().Enabled("SearchForElectronics1"));

    // Demo: the link fails and the user answers No. A refused worker start is forgotten.
    f.session().Access()->RestartPending = true;
    dialogs.Answer(platform::MessageResult::No);
    f.session().LinkFailure();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.session().Demo() && !f.session().PortHeld(); }, 5000));
    EXPECT_FALSE(f.session().Access()->RestartPending);
    EXPECT_FALSE(f.session().WorkerExists());
    EXPECT_EQ(f.windowTitle(), "Demo Mode");
    for (QWidget *w :
         {static_cast<QWidget *>(f.CenterIndexButton), static_cast<QWidget *>(f.ResetPositionButton),
          static_cast<QWidget *>(f.AcquireButton), static_cast<QWidget *>(f.PlotTypeGroup)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (const char *item : {"Tessalyversion1", "Savedata1", "Engineering1", "ResetDataBuffers1", "Encoder1"})
        EXPECT_FALSE(f.Menu().Enabled(item)) << item;
    EXPECT_TRUE(f.Menu().Enabled("HardwareReset1"));
    EXPECT_TRUE(f.Menu().Enabled("AboutTessalySoftware1"));
    apptest::Disconnect(f);
}

TEST(WindowState, DataControlsFollowTheFlagButTheSideButtonsStayEnabled) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.SetDataControlsEnabled(false);
    EXPECT_FALSE(f.AcquireButton->isEnabled());
    EXPECT_FALSE(f.SetInterpolationButton->isEnabled());
    EXPECT_TRUE(f.CenterIndexButton->isEnabled());
    EXPECT_TRUE(f.SetFrequencyButton->isEnabled());
    EXPECT_TRUE(f.Menu().Enabled("Lissajous1"));
    f.SetDataControlsEnabled(true);
    EXPECT_TRUE(f.AcquireButton->isEnabled());
    EXPECT_TRUE(f.SetInterpolationButton->isEnabled());
}

TEST(WindowState, InterpolationAndFrequencyTexts) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    const char *texts[] = {" 14.4 MHz", " 7.2 MHz", " 3.6 MHz", " 1.8 MHz",
                           " 900 kHz",  " 450 kHz", " 225 kHz"};
    for (int code = 0; code < 7; ++code) {
        f.ShowInterpolationAndFrequency(code, 0xF8 | code);
        EXPECT_EQ(f.FrequencyBox->text(), texts[code]);
        EXPECT_EQ(f.InterpolationBox->text(), QString::number(code + 1));
    }
    f.ShowInterpolationAndFrequency(9, 7); // code 7 leaves the text unchanged
    EXPECT_EQ(f.FrequencyBox->text(), " 225 kHz");
    EXPECT_EQ(f.InterpolationBox->text(), "10");
}

TEST(WindowState, CaptionFollowsTheDataStateOfTheCurrentMode) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    const char *captions[] = {"Data Display Stopped", "Live Data", "Data Display Stopped",
                              "Viewing Buffered Data"};
    f.Menu().Item("SignalMonitor1")->trigger(); // display mode 2
    ASSERT_EQ(f.session().Mode(), kpd::DisplayMode::SignalStrength);
    f.session().ReadWriteTimer()->stop();
    for (int s = 0; s < 4; ++s) {
        f.session().States().Set(kpd::DisplayMode::SignalStrength, static_cast<kpd::DataState>(s));
        f.session().UpdateWindowCaption();
        EXPECT_EQ(f.windowTitle(), captions[s]);
    }
    f.session().Status().ShowElapsedTime(12.345f);
    EXPECT_EQ(f.TimeText2->text(), "12.3");
}

TEST(WindowState, HoverHighlightsOnlyTheButtonUnderTheMouse) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.GenericMouseMove(f.StartCalButton);
    EXPECT_EQ(f.StartCalButton->font(), f.BitBtn2->font());
    EXPECT_EQ(f.StopCalButton->font(), f.BitBtn1->font());
    EXPECT_TRUE(f.BitBtn2->font().bold());
    f.GenericMouseMove(&f);
    EXPECT_EQ(f.StartCalButton->font(), f.BitBtn1->font());
    EXPECT_EQ(f.hoveredControl, &f);
}

TEST(WindowState, SoftwarePositionResetOnlyRaisesTheZeroRequest) {
    apptest::ClearInstallDir();
    apptest::Harness h;
    TMainForm &f = *h.form;
    apptest::SearchNothingIgnore(f); // the never-opened object of a failed search
    ASSERT_NE(f.session().Access(), nullptr);
    using kpd::DisplayMode;
    for (DisplayMode m : {DisplayMode::EncoderSignal, DisplayMode::SignalStrength, DisplayMode::SignalPlots})
        ASSERT_FALSE(f.Plots().Plot(m).RestartRequested());
    // In the status display, a plot mode and the engineering display.
    const std::function<void()> enter[] = {
        [] {}, [&] { f.session().ShowPlotMode(kpd::DisplayMode::SignalPlots, kpd::CmdShowSignalPlots); },
        [&] { f.session().ShowEngineering(); }};
    const kpd::DisplayMode modes[] = {kpd::DisplayMode::Status, kpd::DisplayMode::SignalPlots,
                                      kpd::DisplayMode::Engineering};
    for (int i = 0; i < 3; ++i) {
        enter[i]();
        f.session().ReadWriteTimer()->stop();
        ASSERT_EQ(f.session().Mode(), modes[i]);
        f.session().Access()->ZeroRequest = false;
        f.session().ResetPosition(); // "Reset Position" button and menu item
        EXPECT_TRUE(f.session().Access()->ZeroRequest);
    }
    // The running plot starts over with the new zero.
    for (DisplayMode m : {DisplayMode::EncoderSignal, DisplayMode::SignalStrength, DisplayMode::SignalPlots})
        EXPECT_TRUE(f.Plots().Plot(m).RestartRequested());
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
    f.SetBusy(false); // the engineering display's command, which ends the hourglass, never ran
}

TEST(WindowState, ResetAlarmsGreysTheAlarmLamps) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.OverSignalShape->setBrushColor(Qt::red);
    f.YellowShape->setBrushColor(Qt::yellow);
    f.ResetAlarmsButton->click();
    EXPECT_NE(f.OverSignalShape->brushColor(), QColor(Qt::red));
    EXPECT_EQ(f.OverSignalShape->brushColor(), f.YellowShape->brushColor());
    EXPECT_EQ(f.RedShape->brushColor(), f.YellowShape->brushColor());
}

TEST(WindowState, PlotModeLayoutAndBackToTheStatusDisplay) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    struct Quiet : kpd::DataControl {
        void SetDataControl(int, int) override {}
    } quiet;
    f.session().SetPlotDataControl(&quiet);
    f.EncoderSignalButtonClick(); // "Encoder Signal" in the status display
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::EncoderSignal);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowEncoderSignal);
    EXPECT_FALSE(f.AcquireButton->isEnabled()); // data controls off during the switch
    f.session().ExecuteCommand(kpd::CmdShowEncoderSignal);
    EXPECT_TRUE(f.session().ButtonTimer()->isActive()); // re-enables the data controls 200 ms later
    EXPECT_EQ(f.GraphBox->geometry(), QRect(456, 148, 400, 400));
    EXPECT_FALSE(f.GraphBox->isHidden());
    EXPECT_TRUE(f.EncoderPositionText->isHidden());
    EXPECT_TRUE(f.SignalBar->isHidden());
    EXPECT_EQ(f.CenterIndexButton->text(), "Plot Options");
    EXPECT_EQ(f.SetFrequencyButton->text(), "Back To Main");
    EXPECT_EQ(f.PlotNameText->text(), " Encoder Signal Graph");
    EXPECT_EQ(f.YValue[0]->text(), "100%");
    EXPECT_EQ(f.XValue[2]->text(), "0%");
    EXPECT_FALSE(f.Menu().Enabled("Zeroposition1"));
    // The frame panels touch the box.
    EXPECT_EQ(f.LeftPanel->geometry().right() + 1, f.GraphBox->x());
    EXPECT_EQ(f.RightPanel->x(), f.GraphBox->geometry().right() + 1);
    // The grid: olive lines at 50, 100, ... 350 for a 400-pixel plot.
    const QImage &img = f.GraphBox->Canvas();
    EXPECT_EQ(img.pixelColor(50, 10), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(img.pixelColor(51, 11), QColor(Qt::black));

    if (const char *dir = std::getenv("KPD_SHOTS_DIR")) f.grab().save(QString("%1/plot-mode-1.png").arg(dir));

    f.SetFrequencyButtonClick(); // "Back To Main"
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::Status);
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdShowStatus);
    f.session().ExecuteCommand(kpd::CmdShowStatus);
    EXPECT_TRUE(f.GraphBox->isHidden());
    EXPECT_FALSE(f.EncoderPositionText->isHidden());
    EXPECT_EQ(f.CenterIndexButton->text(), "Encoder Signal");
    EXPECT_TRUE(f.Menu().Enabled("Zeroposition1"));
    EXPECT_TRUE(f.AcquireButton->isEnabled());
    EXPECT_TRUE(f.AcquireButton->isHidden());
}

TEST(WindowState, DemoModeNeverStartsLivePollingOfTheStatusDisplay) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    apptest::ClearInstallDir();
    apptest::SearchNothingIgnore(f); // demo mode with the placeholder object of a failed search
    ASSERT_TRUE(f.session().Demo());
    ASSERT_NE(f.session().Access(), nullptr);
    ASSERT_EQ(f.session().Mode(), kpd::DisplayMode::Status);
    f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Live);
    f.session().ApplyDataState();
    EXPECT_FALSE(f.session().Access()->ThreadRunning);
    EXPECT_EQ(f.session().Status().Monitor().Stats().threadsDone.load(), 0u);
    EXPECT_FALSE(f.session().Status().Monitor().WorkerActive());
}
