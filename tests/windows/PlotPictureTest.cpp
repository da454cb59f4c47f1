// "Save Plot Image..." (Ctrl+Shift+S) and kpdctl plot: a recorded file loaded into the window saves, pixel
// for pixel, the picture kpdctl draws from the same file (with the fit readout beside the encoder signal).
#include "AppTestSupport.h"
#include "windows/FitReadoutView.h"
#include "windows/PlotDisplay.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using platform::MessageResult;

namespace {

// Recorded files of the three plot modes: a distorted encoder signal, a strength profile, a position ramp.
void WriteFiles(const QString &dir) {
    std::ofstream lis((dir + "/e.lis").toStdString()), str((dir + "/s.str").toStdString()),
        pos((dir + "/p.pos").toStdString());
    lis << "vk2401.1encodersignal\r\nxAD\tyAD\tMag\tAngle\tTime\r\n";
    const char *units = "PosUnits=mm\r\nPositionResMult=0.5\r\nPositionInterpMult=1\r\n";
    str << "vk2401.1signalstrength\r\n" << units << "Pos\txAD\tyAD\tTime\r\n";
    pos << "vk2401.1positionvelocity\r\n" << units << "Pos\t\t\tVel\t\t\tTime\r\n";
    for (int i = 0; i < 800; ++i) {
        const double t = i * 0.09;
        const auto x = uint16_t(std::lround(61 + 330 * std::cos(t))) & 0x0FFF;
        const auto y = uint16_t(std::lround(-123 + 330 * std::sin(t + 0.02))) & 0x0FFF;
        lis << y << '\t' << x << '\t' << y << '\t' << x << "\t0.00286\r\n";
        str << 1000 + 7 * i << '\t' << 400 + (i % 90) << "\t0\t0.00500\r\n";
        pos << 5000 + 40 * i << "\t\t\t0.00000000\t\t0.00286\r\n";
    }
}

} // namespace

TEST(PlotPicture, TheWindowSavesThePictureKpdctlDrawsFromTheSameFile) {
    apptest::ClearInstallDir();
    QTemporaryDir dir;
    WriteFiles(dir.path());
    apptest::Harness h;
    TMainForm &f = *h.form;
    apptest::SearchNothingIgnore(f);
    f.show();
    QApplication::setActiveWindow(&f);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    EXPECT_FALSE(f.Menu().Reachable("SavePlotImage1")); // the status display has no plot

    for (const char *name : {"e.lis", "s.str", "p.pos"}) {
        SCOPED_TRACE(name);
        const QString file = dir.filePath(name), saved = file + ".kpd.png", drawn = file + ".ctl.png";
        platform::ScriptedDialogs d;
        platform::ScopedDialogs scope(d);
        d.AnswerFile(file.toStdString()).Answer(MessageResult::Ok).AnswerFile(saved.toStdString());
        f.session().LoadData();
        ASSERT_TRUE(apptest::WaitUntil([&] { return !f.session().Scheduler().Armed(); }, 5000));
        const bool encoder = f.session().Mode() == kpd::DisplayMode::EncoderSignal;
        if (encoder) { // the readout fits what the plot drew within its interval
            ASSERT_TRUE(apptest::WaitUntil([&] { return f.Plots().Readout().Lines().size() == 7; }, 2000));
        }
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(d.Done()) << d.Errors().size();
        ASSERT_TRUE(QFile::exists(saved));

        QProcess ctl;
        ctl.start(KPDCTL_PROGRAM, {"plot", file, "-o", drawn, "--size",
                                   QString("%1x%2").arg(f.GraphBox->width()).arg(f.GraphBox->height())});
        ASSERT_TRUE(ctl.waitForFinished(30000));
        ASSERT_EQ(ctl.exitCode(), 0) << ctl.readAllStandardError().toStdString();
        const QImage kpd = QImage(saved).convertToFormat(QImage::Format_RGB32);
        const QImage kpdctl = QImage(drawn).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(kpd.isNull());
        EXPECT_EQ(kpd.size(), kpdctl.size());
        EXPECT_TRUE(kpd == kpdctl);
        // The plot area is in the picture as the window shows it (inside the tick labels and titles).
        EXPECT_EQ(kpd.copy(QRect(QPoint(76, 54), f.GraphBox->Canvas().size())), f.GraphBox->Canvas());
        if (encoder) {
            EXPECT_EQ(f.Plots().Readout().Lines()[1].text, "Offset X  +2.98 %");
        }
    }
}
