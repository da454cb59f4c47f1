#include "windows/PlotModeLayout.h"

#include "display/LayoutClass.h"
#include "display/TPaintBox.h"
#include "session/Session.h"
#include "windows/MainFormControls.h"
#include "windows/MainMenu.h"
#include "windows/TRadioGroup.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

QSize ShowPlotModeLayout(MainFormControls &f, kpd::DisplayMode displayMode, int layoutClass,
                         kpd::Session &session, MainMenu &menu) {
    const int mode = kpd::Index(displayMode);
    if (mode < 1 || mode > 3) return {};
    for (QWidget *w : f.StatusWidgets())
        w->hide();
    f.SetupText->setText("Options");
    f.CenterIndexButton->setText("Plot Options");
    f.SetInterpolationButton->setText("Plot Settings 1");
    f.SetFrequencyButton->setText("Back To Main");
    if (!session.Demo()) {
        f.SetInterpolationButton->hide();
        f.SetInterpolationButton->setEnabled(false);
    }
    for (const char *item : {"Resetalarms1", "Interpolation1", "Bandwidth1", "Encoder1", "LocateIndex1",
                             "ResetPosition1", "Zeroposition1"})
        menu.SetEnabled(item, false);

    // Plot box and frame.
    const int cls = layoutClass;
    const bool square = mode == 1;
    const int h = cls == kpd::LayoutSmall ? 320 : cls == kpd::LayoutLarge ? 500 : 400;
    const int w = square ? h : (cls == kpd::LayoutSmall ? 400 : cls == kpd::LayoutLarge ? 640 : 500);
    const int left = square ? (cls == kpd::LayoutSmall   ? 408
                               : cls == kpd::LayoutLarge ? 596
                                                         : 456)
                            : (cls == kpd::LayoutSmall   ? 368
                               : cls == kpd::LayoutLarge ? 526
                                                         : 406);
    const int top = 148;
    f.GraphBox->setGeometry(left, top, w, h);
    f.GraphBox->ResizeCanvas(w, h);
    const int t = 4; // frame thickness
    f.LeftPanel->setGeometry(left - t, top, t, h);
    f.RightPanel->setGeometry(left + w, top, t, h);
    f.TopPanel->setGeometry(left - t, top - t, w + 2 * t, t);
    f.BottomPanel->setGeometry(left - t, top + h, w + 2 * t, t);
    for (QWidget *p : {static_cast<QWidget *>(f.GraphBox), static_cast<QWidget *>(f.LeftPanel),
                       static_cast<QWidget *>(f.RightPanel), static_cast<QWidget *>(f.TopPanel),
                       static_cast<QWidget *>(f.BottomPanel)})
        p->show();

    // Tick labels spaced evenly along the box edges.
    const int labelW = 56, labelH = 18;
    for (int i = 0; i < 5; ++i) {
        const int y = top + i * h / 4 - labelH / 2;
        f.YValue[i]->setGeometry(left - t - labelW - 4, y, labelW, labelH);
        f.YValue[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f.YValue[i + 5]->setGeometry(left + w + t + 4, y, labelW, labelH);
        // XValue5 at the left edge ... XValue1 at the right edge.
        f.XValue[4 - i]->setGeometry(left + i * w / 4 - labelW / 2, top + h + t + 4, labelW, labelH);
        f.XValue[4 - i]->setAlignment(Qt::AlignCenter);
    }
    static const char *const percent[5] = {"100%", "50%", "0%", "50%", "100%"};
    static const char *const volts0[5] = {"0.8V", "0.6V", "0.4V", "0.2V", "0.0V"};
    static const char *const volts3[5] = {"1.6V", "1.2V", "0.8V", "0.4V", "0.0V"};
    static const char *const fraction[5] = {"1.00", "0.75", "0.50", "0.25", "0"};
    static const char *const seconds[5] = {"1.0", "0.7", "0.5", "0.2", "0"};
    for (int i = 0; i < 5; ++i) {
        if (mode == 1) {
            f.YValue[i]->setText(percent[i]);
            f.XValue[i]->setText(percent[i]);
        } else if (mode == 2) {
            f.YValue[i]->setText(session.Config().generation <= 2 ? volts0[i] : volts3[i]);
            f.XValue[i]->setText(volts3[i]);
        } else {
            f.YValue[i]->setText(fraction[i]);
            f.YValue[i + 5]->setText(fraction[i]);
            if (session.StateOf(kpd::DisplayMode::SignalPlots) != kpd::DataState::Live)
                f.XValue[i]->setText(seconds[i]);
        }
        f.YValue[i]->show();
        f.XValue[i]->show();
        f.YValue[i + 5]->hide();
    }

    f.PlotNameText->setGeometry(left, top - t - 2 * labelH - 12, w, labelH + 4);
    f.PlotDescriptionText->setGeometry(left, top - t - labelH - 6, w, labelH);
    f.XAxisText->setGeometry(left, top + h + t + labelH + 8, w, labelH);
    for (QLabel *l : {f.PlotNameText, f.PlotDescriptionText, f.XAxisText})
        l->setAlignment(Qt::AlignCenter);
    f.PlotNameText->setText(mode == 2 ? " Encoder Signal Strength Graph" : " Encoder Signal Graph");
    f.PlotNameText->show();
    f.PlotDescriptionText->show();
    const QString units = QString::fromStdString(session.Config().units);
    if (mode == 1) {
        f.PlotDescriptionText->setText("sine/cosine in %");
        f.PlotTypeGroup->setTitle("Signals to Display");
        f.PlotTypeGroup->SetItems({"sine/cosine", "sine/cosine", "both"});
        f.PlotTypeGroup->SetItemIndex(session.Config().encoderplottype);
        f.PlotTypeGroup->hide();
    } else if (mode == 2) {
        f.PlotDescriptionText->setText("encoder signal strength vs. position");
        f.PlotTypeGroup->hide();
        f.XAxisText->setText("Position in " + units);
        f.XAxisText->show();
    } else {
        f.PlotDescriptionText->setText("Encoder Signal vs. Time");
        f.PlotTypeGroup->setTitle("Plots to Display");
        f.PlotTypeGroup->SetItems({"Position", "Signal Strength"});
        f.PlotTypeGroup->SetItemIndex(session.Config().positionplottype);
        f.PlotTypeGroup->show();
        f.XAxisText->setText("Time in " + QString("seconds"));
        f.XAxisText->show();
    }
    for (QToolButton *b : {f.AcquireButton, f.StopButton, f.ReviewButton, f.FastButton})
        b->show();
    session.UpdateWindowCaption();
    return QSize(w, h);
}

void DrawDefaultGrid(TPaintBox &box) {
    QImage &img = box.Canvas();
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0x80, 0x80, 0x00), 1, Qt::SolidLine));
    const int W = img.width(), H = img.height();
    for (int i = 1; i <= 7; ++i) {
        const int x = (i * W * 10 + 5) / 80;
        p.drawLine(x, 0, x, H - 1);
        const int y = (i * H * 10 + 5) / 80;
        p.drawLine(0, y, W - 1, y);
    }
    box.update();
}
