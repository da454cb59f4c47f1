// The plot modes' layouts in the three size classes: the plot area's size and place, the frame panels
// around it, the tick labels along its edges with their texts and fonts, the plot type choice, and nothing
// visible outside the window or on top of another control.
#include "AppTestSupport.h"
#include "display/TPaintBox.h"
#include "windows/PlotDisplay.h"
#include "windows/PlotLayout.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstdlib>

using kpd::DisplayMode;

namespace {

struct PlotCase {
    platform::ScreenMetrics screen;
    int sizeClass;
    DisplayMode mode;
    QRect plot; // left, top, width, height of the plot area
};

class PlotModeLayout : public ::testing::TestWithParam<PlotCase> {};

} // namespace

TEST_P(PlotModeLayout, PlotAreaFrameAndLabels) {
    const PlotCase pc = GetParam();
    apptest::ClearInstallDir();
    apptest::Harness h(pc.screen);
    TMainForm &f = *h.form;
    apptest::SearchNothingIgnore(f);
    ASSERT_EQ(f.LayoutClass, pc.sizeClass);
    f.session().ShowPlotMode(pc.mode, kpd::CmdShowEncoderSignal + kpd::Index(pc.mode) - 1);
    f.session().ReadWriteTimerTimer();
    ASSERT_EQ(f.session().Mode(), pc.mode);

    EXPECT_EQ(f.GraphBox->geometry(), pc.plot);
    EXPECT_EQ(f.GraphBox->Canvas().size(), pc.plot.size());
    EXPECT_EQ(f.PlotWidth, pc.plot.width());
    EXPECT_EQ(f.PlotHeight, pc.plot.height());
    // The frame panels close around the box.
    EXPECT_EQ(f.LeftPanel->geometry().right() + 1, pc.plot.left());
    EXPECT_EQ(f.RightPanel->geometry().left(), pc.plot.right() + 1);
    EXPECT_EQ(f.LeftPanel->geometry().top(), pc.plot.top());
    EXPECT_EQ(f.LeftPanel->height(), pc.plot.height());
    EXPECT_EQ(f.TopPanel->geometry().bottom() + 1, pc.plot.top());
    EXPECT_EQ(f.TopPanel->geometry().left(), f.LeftPanel->geometry().left());
    EXPECT_EQ(f.TopPanel->geometry().right(), f.RightPanel->geometry().right());
    EXPECT_EQ(f.BottomPanel->geometry().top(), pc.plot.bottom() + 1);
    EXPECT_EQ(f.BottomPanel->width(), f.TopPanel->width());

    // Tick labels: YValue1 at the top ... YValue5 at the bottom on the left; XValue5 left ... XValue1 right.
    for (int i = 0; i < 4; ++i) {
        EXPECT_LT(f.YValue[static_cast<std::size_t>(i)]->geometry().center().y(),
                  f.YValue[static_cast<std::size_t>(i + 1)]->geometry().center().y());
        EXPECT_GT(f.XValue[static_cast<std::size_t>(i)]->geometry().center().x(),
                  f.XValue[static_cast<std::size_t>(i + 1)]->geometry().center().x());
    }
    EXPECT_LE(std::abs(f.XValue[4]->geometry().center().x() - pc.plot.left()), 1);
    EXPECT_LE(std::abs(f.XValue[0]->geometry().center().x() - (pc.plot.right() + 1)), 1);
    EXPECT_LE(std::abs(f.YValue[0]->geometry().center().y() - pc.plot.top()), 1);

    const bool mode1 = pc.mode == DisplayMode::EncoderSignal;
    if (mode1) {
        EXPECT_EQ(f.YValue[0]->text(), "100%");
        EXPECT_EQ(f.YValue[2]->text(), "0%");
        EXPECT_EQ(f.XValue[4]->text(), "100%");
        if (pc.sizeClass == kpd::LayoutSmall) {
            EXPECT_EQ(f.XValue[0]->font().pointSize(), 7);
        } else if (pc.sizeClass == kpd::LayoutLarge) {
            EXPECT_EQ(f.XValue[0]->font().pointSize(), 14);
        }
        EXPECT_EQ(f.PlotDescriptionText->text(), "sine/cosine in %");
    }
    EXPECT_EQ(f.PlotTypeGroup->isVisibleTo(&f), pc.mode == DisplayMode::SignalPlots);
    EXPECT_EQ(f.CenterIndexButton->text(), "Plot Options");
    EXPECT_EQ(f.SetFrequencyButton->text(), "Back To Main");
    EXPECT_EQ(f.PlotNameText->text(),
              pc.mode == DisplayMode::SignalStrength ? " Encoder Signal Strength Graph" : " Encoder Signal Graph");

    // The elapsed time shows in the side column under the data buttons.
    EXPECT_TRUE(f.TimeText2->isVisibleTo(&f));
    EXPECT_GT(f.TimeCaption->y(), f.FastButton->geometry().bottom());
    // Long tick texts (positions on a long scale) are shown whole, each label still on its tick.
    f.Plots().SetXTickTexts({"-1.234568e+07", "-164659.2", "37789.5", "164659.2", "1.234568e+07"});
    f.Plots().SetYTickTexts(false, {"-12345678", "-164659", "37789", "164659", "12345678"}, 0xFFFFFF);
    for (QLabel *l : f.XValue)
        EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->text().toStdString();
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_GE(f.YValue[i]->width(), f.YValue[i]->fontMetrics().horizontalAdvance(f.YValue[i]->text()));
    EXPECT_LE(std::abs(f.XValue[4]->geometry().center().x() - pc.plot.left()), 1);
    EXPECT_LE(std::abs(f.XValue[0]->geometry().center().x() - (pc.plot.right() + 1)), 1);
    EXPECT_LT(f.YValue[0]->geometry().right(), f.LeftPanel->geometry().left());

    // Every visible control lies inside the window; none but the titles above the plot touches another.
    const QRect window(0, 0, f.width(), f.height());
    std::vector<QWidget *> shown;
    for (QWidget *w : f.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(&f) && !w->isWindow()) shown.push_back(w);
    for (QWidget *w : shown)
        EXPECT_TRUE(window.contains(w->geometry())) << w->objectName().toStdString();
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << shown[i]->objectName().toStdString() << " overlaps " << shown[j]->objectName().toStdString();

    if (const char *dir = std::getenv("KPD_SHOTS_DIR")) {
        QDir().mkpath(dir);
        f.grab().save(QString("%1/plot-mode-%2-class-%3.png").arg(dir).arg(kpd::Index(pc.mode)).arg(pc.sizeClass));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Classes, PlotModeLayout,
    ::testing::Values(PlotCase{{800, 600, 96}, 0, DisplayMode::EncoderSignal, QRect(408, 148, 320, 320)},
                      PlotCase{{1024, 768, 96}, 1, DisplayMode::EncoderSignal, QRect(456, 148, 400, 400)},
                      PlotCase{{1280, 1024, 96}, 2, DisplayMode::EncoderSignal, QRect(596, 148, 500, 500)},
                      PlotCase{{800, 600, 96}, 0, DisplayMode::SignalStrength, QRect(368, 148, 400, 320)},
                      PlotCase{{1024, 768, 96}, 1, DisplayMode::SignalStrength, QRect(406, 148, 500, 400)},
                      PlotCase{{1280, 1024, 96}, 2, DisplayMode::SignalStrength, QRect(526, 148, 640, 500)},
                      PlotCase{{800, 600, 96}, 0, DisplayMode::SignalPlots, QRect(368, 148, 400, 320)},
                      PlotCase{{1024, 768, 96}, 1, DisplayMode::SignalPlots, QRect(406, 148, 500, 400)},
                      PlotCase{{1280, 1024, 96}, 2, DisplayMode::SignalPlots, QRect(526, 148, 640, 500)}));

TEST(PlotModeFonts, HighResolutionScreensGetSmallerTimeLabels) {
    apptest::ClearInstallDir();
    apptest::Harness h({800, 600, 96});
    TMainForm &f = *h.form;
    apptest::SearchNothingIgnore(f);
    ShowPlotLayout(f, DisplayMode::SignalPlots, kpd::LayoutSmall, 120.0, f.session(), f.Menu());
    EXPECT_EQ(f.XValue[0]->font().pointSize(), 6);
    ShowPlotLayout(f, DisplayMode::SignalPlots, kpd::LayoutLarge, 120.0, f.session(), f.Menu());
    EXPECT_EQ(f.XValue[0]->font().pointSize(), 11);
}

TEST(PlotModeLayout, TheEncoderSignalHasNoTimeAxisAndTheStatusDisplayGetsItsElapsedTimeBack) {
    apptest::ClearInstallDir();
    apptest::Harness h({1024, 768, 96});
    TMainForm &f = *h.form;
    apptest::SearchNothingIgnore(f);
    const QRect statusPlace = f.TimeText2->geometry();
    ShowPlotLayout(f, DisplayMode::SignalPlots, kpd::LayoutMedium, 96.0, f.session(), f.Menu());
    EXPECT_EQ(f.XAxisText->text(), "Time in seconds");
    EXPECT_NE(f.TimeText2->geometry(), statusPlace);
    ShowPlotLayout(f, DisplayMode::EncoderSignal, kpd::LayoutMedium, 96.0, f.session(), f.Menu()); // F3
    EXPECT_FALSE(f.XAxisText->isVisibleTo(&f));
    f.ShowStatusLayout();
    EXPECT_EQ(f.TimeText2->geometry(), statusPlace);
    EXPECT_TRUE(f.TimeText2->isVisibleTo(&f));
}
