// Layout size classes: the choice from the screen, and the placement of the status display in each class.
#include "AppTestSupport.h"
#include "display/LayoutClass.h"
#include "display/StatusPaint.h"
#include "widgets/Lamp.h"

#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

using kpd::ChooseLayout;

TEST(LayoutClass, ScreenSizesOfTheDesign) {
    auto c = ChooseLayout(800, 600, 96);
    EXPECT_EQ(c.sizeClass, kpd::LayoutSmall);
    EXPECT_TRUE(c.maximised); // not wider than 800
    EXPECT_EQ(c.windowFontPx, 7);

    c = ChooseLayout(1024, 600, 96);
    EXPECT_EQ(c.sizeClass, kpd::LayoutSmall);
    EXPECT_FALSE(c.maximised);
    EXPECT_EQ(c.normalWidth, 800);

    c = ChooseLayout(1024, 768, 96);
    EXPECT_EQ(c.sizeClass, kpd::LayoutMedium);
    EXPECT_TRUE(c.maximised);

    c = ChooseLayout(1152, 864, 96);
    EXPECT_EQ(c.sizeClass, kpd::LayoutMedium);
    EXPECT_FALSE(c.maximised);
    EXPECT_EQ(c.normalWidth, 1280);

    c = ChooseLayout(1280, 1024, 96);
    EXPECT_EQ(c.sizeClass, kpd::LayoutLarge);
    EXPECT_TRUE(c.maximised);
    EXPECT_EQ(c.windowFontPx, 13);
    EXPECT_EQ(c.plotSize, 500);
    EXPECT_FLOAT_EQ(c.plotScale, 450.0f);

    c = ChooseLayout(1600, 1200, 96);
    EXPECT_EQ(c.sizeClass, kpd::LayoutLarge);
    EXPECT_FALSE(c.maximised);
    EXPECT_EQ(c.normalWidth, 1280);
}

TEST(LayoutClass, BoundariesAndTickLabelFonts) {
    EXPECT_EQ(ChooseLayout(1024, 767, 96).sizeClass, kpd::LayoutSmall);
    EXPECT_EQ(ChooseLayout(1024, 1023, 96).sizeClass, kpd::LayoutMedium);
    EXPECT_EQ(ChooseLayout(1024, 1024, 96).sizeClass, kpd::LayoutLarge);
    EXPECT_EQ(ChooseLayout(1024, 768, 96).tickLabelFontPx, 12);
    EXPECT_EQ(ChooseLayout(1024, 768, 120).tickLabelFontPx, 8);
    EXPECT_FLOAT_EQ(ChooseLayout(800, 600, 96).plotScale, 300.0f);
    EXPECT_EQ(ChooseLayout(800, 600, 96).plotSize, 320);
}

namespace {

QRect FrameRect(const kpd::PaintRect &r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

struct ClassCase {
    platform::ScreenMetrics screen;
    int sizeClass;
    int windowFont;
    int rotatedFontPx;
};

class MainWindowLayout : public ::testing::TestWithParam<ClassCase> {};

} // namespace

TEST_P(MainWindowLayout, StatusDisplayFitsItsFramesAndTheWindow) {
    const ClassCase cc = GetParam();
    apptest::Harness h(cc.screen);
    TMainForm &f = *h.form;
    EXPECT_EQ(f.LayoutClass, cc.sizeClass);
    EXPECT_EQ(f.WindowFontSize, cc.windowFont);
    EXPECT_EQ(f.RotatedCanvasFont.pixelSize(), cc.rotatedFontPx);
    EXPECT_EQ(f.SignalBarSpan, f.SignalBar->height() - 19);
    EXPECT_GT(f.SignalBarSpan, 0);
    EXPECT_EQ(f.windowTitle(), "Live Data");

    const kpd::StatusDecorations &d = kpd::StatusDecorationsFor(cc.sizeClass);
    const QRect A = FrameRect(d.frames[0]), B = FrameRect(d.frames[1]), C = FrameRect(d.frames[2]);
    for (QWidget *w : {static_cast<QWidget *>(f.EncoderPositionText), static_cast<QWidget *>(f.UnitsBox),
                       static_cast<QWidget *>(f.TimeText2), static_cast<QWidget *>(f.ResetPositionButton)})
        EXPECT_TRUE(A.contains(w->geometry())) << w->objectName().toStdString();
    for (QWidget *w : {static_cast<QWidget *>(f.IndexBox), static_cast<QWidget *>(f.ResolutionBox)})
        EXPECT_TRUE(B.contains(w->geometry())) << w->objectName().toStdString();
    for (QWidget *w :
         {static_cast<QWidget *>(f.CalGOPCheckBox), static_cast<QWidget *>(f.SetRightLimitCheckBox),
          static_cast<QWidget *>(f.StartCalButton), static_cast<QWidget *>(f.CalSetButton),
          static_cast<QWidget *>(f.StopAlignButton)})
        EXPECT_TRUE(C.contains(w->geometry())) << w->objectName().toStdString();

    // The words "Optimal" and "Poor" stand left of the bar, within its height.
    EXPECT_LT(d.optimalText.x, f.SignalBar->x());
    EXPECT_GE(d.optimalText.y, f.SignalBar->y());
    EXPECT_LE(d.poorText.y, f.SignalBar->geometry().bottom() + 1);

    // Every visible control of the status display lies inside the window, and none overlaps another.
    const QRect window(0, 0, f.width(), f.height());
    std::vector<QWidget *> shown;
    for (QWidget *w : f.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w->isVisibleTo(&f) && !w->isWindow()) shown.push_back(w);
    }
    ASSERT_GT(shown.size(), 30u);
    for (QWidget *w : shown)
        EXPECT_TRUE(window.contains(w->geometry()))
            << w->objectName().toStdString() << " outside " << f.width() << "x" << f.height();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << shown[i]->objectName().toStdString() << " overlaps "
                << shown[j]->objectName().toStdString();
        }
    }

    // The painted captions "Optimal" and "Poor" cross no control (such as "Signal Level" above the bar).
    const QFontMetrics rotated(f.RotatedCanvasFont);
    for (const auto &[at, text] : {std::pair{d.optimalText, "Optimal"}, std::pair{d.poorText, "Poor"}}) {
        const int length = rotated.horizontalAdvance(text);
        const QRect painted(at.x, at.y - length, rotated.height(), length);
        for (QWidget *w : shown)
            EXPECT_FALSE(painted.intersects(w->geometry())) << text << " over " << w->objectName().toStdString();
    }

    // Screenshots for a look at the window (only when asked for).
    if (const char *dir = std::getenv("KPD_SHOTS_DIR")) {
        f.LogoText4->setText("for KPD Digital Sensor 4096X");
        f.LogoText4->show();
        f.ShowInterpolationAndFrequency(3, 2);
        QDir().mkpath(dir);
        f.grab().save(QString("%1/layout-class-%2.png").arg(dir).arg(cc.sizeClass));
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, MainWindowLayout,
                         ::testing::Values(ClassCase{{800, 600, 96}, 0, 7, 13},
                                           ClassCase{{1024, 768, 96}, 1, 12, 13},
                                           ClassCase{{1366, 768, 96}, 1, 12, 13},
                                           ClassCase{{1280, 800, 96}, 1, 12, 13},
                                           ClassCase{{1280, 1024, 96}, 2, 13, 25}));
