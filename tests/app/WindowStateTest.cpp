// Window states and display routines: demo and connected states, data controls, interpolation and
// frequency texts, window caption, the hover highlight.
#include "AppTestSupport.h"
#include "ComData.h"
#include "platform/Lamp.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(WindowState, DemoAndConnectedStatesSwitchTheSameControls) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.SetAccess(std::make_unique<ComData>(256));
    f.Access()->RestartPending = true;
    f.EnterDemoMode();
    EXPECT_TRUE(f.DemoFlag);
    EXPECT_FALSE(f.Access()->RestartPending);
    EXPECT_EQ(f.windowTitle(), "Demo Mode");
    for (QWidget *w :
         {static_cast<QWidget *>(f.CenterIndexButton), static_cast<QWidget *>(f.ResetPositionButton),
          static_cast<QWidget *>(f.AcquireButton), static_cast<QWidget *>(f.PlotTypeGroup)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (const char *item : {"Tessalyversion1", "Savedata1", "Engineering1", "ResetDataBuffers1", "Encoder1"})
        EXPECT_FALSE(f.ItemEnabled(item)) << item;
    EXPECT_TRUE(f.ItemEnabled("HardwareReset1"));
    EXPECT_TRUE(f.ItemEnabled("AboutTessalySoftware1"));

    f.EnterConnectedMode();
    EXPECT_FALSE(f.DemoFlag);
    EXPECT_EQ(f.windowTitle(), "Live Data"); // the status layout ends with the caption of the data state
    for (QWidget *w :
         {static_cast<QWidget *>(f.CenterIndexButton), static_cast<QWidget *>(f.ResetPositionButton),
          static_cast<QWidget *>(f.AcquireButton), static_cast<QWidget *>(f.PlotTypeGroup)})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    for (const char *item : {"Tessalyversion1", "Savedata1", "Engineering1", "ResetDataBuffers1", "Encoder1",
                             "SoftwareSystemReset1"})
        EXPECT_TRUE(f.ItemEnabled(item)) << item;
    EXPECT_FALSE(f.ItemEnabled("HardwareReset1"));
    EXPECT_FALSE(f.ItemEnabled("SearchForElectronics1"));
}

TEST(WindowState, DataControlsFollowTheFlagButTheSideButtonsStayEnabled) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.SetDataControlsEnabled(false);
    EXPECT_FALSE(f.AcquireButton->isEnabled());
    EXPECT_FALSE(f.SetInterpolationButton->isEnabled());
    EXPECT_TRUE(f.CenterIndexButton->isEnabled());
    EXPECT_TRUE(f.SetFrequencyButton->isEnabled());
    EXPECT_TRUE(f.ItemEnabled("Lissajous1"));
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
    f.DisplayMode = 2;
    for (int s = 0; s < 4; ++s) {
        f.DataState[2] = s;
        f.UpdateWindowCaption();
        EXPECT_EQ(f.windowTitle(), captions[s]);
    }
    f.ShowElapsedTime(12.345f);
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
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.SetAccess(std::make_unique<ComData>(256));
    int restarts = 0;
    f.restartStreamingPlots = [&] { ++restarts; };
    for (int mode : {0, 3, 4}) {
        f.DisplayMode = mode;
        f.Access()->ZeroRequest = false;
        f.ResetPositionButtonClick();
        EXPECT_TRUE(f.Access()->ZeroRequest);
    }
    EXPECT_EQ(restarts, 3);
    EXPECT_FALSE(f.ReadWriteTimer->isActive());
}

TEST(WindowState, ResetAlarmsGreysTheAlarmLamps) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.OverSignalShape->setBrushColor(Qt::red);
    f.YellowShape->setBrushColor(Qt::yellow);
    f.ResetAlarmsButtonClick();
    EXPECT_NE(f.OverSignalShape->brushColor(), QColor(Qt::red));
    EXPECT_EQ(f.OverSignalShape->brushColor(), f.YellowShape->brushColor());
    EXPECT_EQ(f.RedShape->brushColor(), f.YellowShape->brushColor());
}
