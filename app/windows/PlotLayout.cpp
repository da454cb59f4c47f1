#include "windows/PlotLayout.h"

#include "display/LayoutClass.h"
#include "display/PlotTexts.h"
#include "display/TPaintBox.h"
#include "session/Session.h"
#include "windows/MainFormControls.h"
#include "windows/MainMenu.h"
#include "windows/TRadioGroup.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kPlotTop = 148;
constexpr int kFrame = 4; // thickness of the frame panels
constexpr int kLabelW = 56;
constexpr int kLabelH = 18;

void SetColour(QLabel *l, QColor c) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
}

void SetPointSize(QLabel *l, int points) {
    QFont font = l->font();
    font.setPointSize(points);
    l->setFont(font);
}

// The elapsed time under the data buttons of the side column: its caption, then the seconds.
void PlaceElapsedTime(MainFormControls &f) {
    const QRect last = f.FastButton->geometry();
    const int rowH = std::max(kLabelH, f.TimeText2->fontMetrics().height() + 2);
    f.TimeCaption->setGeometry(last.left(), last.bottom() + 10, last.width(), rowH);
    f.TimeText2->setGeometry(last.left(), last.bottom() + 10 + rowH, last.width(), rowH);
    f.TimeCaption->show();
    f.TimeText2->show();
}

} // namespace

void FitTickLabels(MainFormControls &f) {
    for (std::size_t i = 0; i < f.XValue.size() + f.YValue.size(); ++i) {
        QLabel *l = i < 5 ? f.XValue[i] : f.YValue[i - 5];
        const QRect g = l->geometry();
        const int w = std::max(kLabelW, l->fontMetrics().horizontalAdvance(l->text()) + 6);
        if (w == g.width()) continue;
        if (i < 5)
            l->setGeometry(g.center().x() + 1 - w / 2, g.top(), w, g.height());
        else if (i < 10)
            l->setGeometry(g.right() + 1 - w, g.top(), w, g.height());
        else
            l->setGeometry(g.left(), g.top(), w, g.height());
    }
}

PlotGeometry PlotGeometryOf(kpd::DisplayMode mode, int cls) {
    const int h = cls == kpd::LayoutSmall ? 320 : cls == kpd::LayoutLarge ? 500 : 400;
    if (mode == kpd::DisplayMode::EncoderSignal)
        return {cls == kpd::LayoutSmall ? 408 : cls == kpd::LayoutLarge ? 596 : 456, kPlotTop, h, h};
    const int w = cls == kpd::LayoutSmall ? 400 : cls == kpd::LayoutLarge ? 640 : 500;
    return {cls == kpd::LayoutSmall ? 368 : cls == kpd::LayoutLarge ? 526 : 406, kPlotTop, w, h};
}

void SetEncoderPlotDescription(MainFormControls &f) {
    f.PlotDescriptionText->setText(QString::fromStdString(
        kpd::PlotModeTextsFor(kpd::DisplayMode::EncoderSignal, 0, {}).description));
}

// The description above the plot as wide as its text, centred; the trace titles beside it, left and
// right, in what is left of the line.
static void FitTitleLine(MainFormControls &f) {
    const QRect plot = f.GraphBox->geometry();
    const QRect line = f.PlotDescriptionText->geometry();
    const int textW = f.PlotDescriptionText->fontMetrics().horizontalAdvance(f.PlotDescriptionText->text()) + 8;
    const int descW = std::min(textW, plot.width());
    const int descLeft = plot.left() + (plot.width() - descW) / 2;
    f.PlotDescriptionText->setGeometry(descLeft, line.top(), descW, line.height());
    const int leftStart = plot.left() - kFrame - kLabelW - 4;
    f.YAxisTextTop->setGeometry(leftStart, line.top(), std::max(0, descLeft - 4 - leftStart), line.height());
    const int rightEnd = plot.right() + kFrame + kLabelW + 4;
    const int rightStart = descLeft + descW + 4;
    f.YAxisTextBottom->setGeometry(rightStart, line.top(), std::max(0, rightEnd - rightStart), line.height());
    f.YAxisTextBottom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void SetSignalPlotTitles(MainFormControls &f, int type, const std::string &units) {
    const kpd::SignalPlotTitles t = kpd::SignalPlotTitlesFor(type, units);
    f.PlotDescriptionText->setText(QString::fromStdString(t.description));
    for (const auto &[label, title] : {std::pair{f.YAxisTextTop, t.top}, std::pair{f.YAxisTextBottom, t.bottom}}) {
        SetColour(label, QColor::fromRgb(title.rgb));
        label->setText(QString::fromStdString(title.text));
        label->setVisible(title.shown);
    }
    if (t.xTitle) f.XAxisText->setText(QString::fromStdString(*t.xTitle));
    for (int i = 0; i < 5; ++i) {
        f.XValue[static_cast<std::size_t>(i)]->show();
        f.YValue[static_cast<std::size_t>(i)]->show();
        f.YValue[static_cast<std::size_t>(i + 5)]->hide();
    }
    FitTitleLine(f);
}

QSize ShowPlotLayout(MainFormControls &f, kpd::DisplayMode displayMode, int cls, double dpi, kpd::Session &session,
                     MainMenu &menu) {
    const int mode = kpd::Index(displayMode);
    if (mode < 1 || mode > 3) return {};
    for (QWidget *w : f.StatusWidgets())
        w->hide();
    f.SetupText->setText("Options");
    f.SetupText->show();
    f.CenterIndexButton->setText("Plot Options");
    f.SetInterpolationButton->setText("Plot Settings 1");
    f.SetFrequencyButton->setText("Back To Main");
    for (QToolButton *b : {f.CenterIndexButton, f.SetInterpolationButton, f.SetFrequencyButton})
        b->show();
    if (!session.Demo()) {
        f.SetInterpolationButton->hide();
        f.SetInterpolationButton->setEnabled(false);
    }
    for (const char *item : {"Resetalarms1", "Interpolation1", "Bandwidth1", "Encoder1", "LocateIndex1",
                             "ResetPosition1", "Zeroposition1"})
        menu.SetEnabled(item, false);

    // Plot box and frame.
    const PlotGeometry g = PlotGeometryOf(displayMode, cls);
    const int left = g.left, top = g.top, w = g.width, h = g.height;
    f.GraphBox->setGeometry(left, top, w, h);
    f.GraphBox->ResizeCanvas(w, h);
    f.LeftPanel->setGeometry(left - kFrame, top, kFrame, h);
    f.RightPanel->setGeometry(left + w, top, kFrame, h);
    f.TopPanel->setGeometry(left - kFrame, top - kFrame, w + 2 * kFrame, kFrame);
    f.BottomPanel->setGeometry(left - kFrame, top + h, w + 2 * kFrame, kFrame);
    for (QWidget *p : {static_cast<QWidget *>(f.GraphBox), static_cast<QWidget *>(f.LeftPanel),
                       static_cast<QWidget *>(f.RightPanel), static_cast<QWidget *>(f.TopPanel),
                       static_cast<QWidget *>(f.BottomPanel)})
        p->show();

    // Tick labels spaced evenly along the box edges.
    for (int i = 0; i < 5; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const int y = top + i * h / 4 - kLabelH / 2;
        f.YValue[k]->setGeometry(left - kFrame - kLabelW - 4, y, kLabelW, kLabelH);
        f.YValue[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f.YValue[k + 5]->setGeometry(left + w + kFrame + 4, y, kLabelW, kLabelH);
        f.YValue[k + 5]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // XValue5 at the left edge ... XValue1 at the right edge.
        f.XValue[4 - k]->setGeometry(left + i * w / 4 - kLabelW / 2, top + h + kFrame + 8, kLabelW, kLabelH);
        f.XValue[4 - k]->setAlignment(Qt::AlignCenter);
    }
    for (QLabel *l : f.XValue)
        SetColour(l, Qt::white);
    for (QLabel *l : f.YValue)
        SetColour(l, Qt::white);
    if (mode == 1) {
        if (cls == kpd::LayoutSmall)
            for (QLabel *l : f.XValue)
                SetPointSize(l, 7);
        else if (cls == kpd::LayoutLarge)
            for (QLabel *l : f.XValue)
                SetPointSize(l, 14);
    } else if (dpi > 96.0) {
        if (cls == kpd::LayoutSmall)
            for (QLabel *l : f.XValue)
                SetPointSize(l, 6);
        else if (cls == kpd::LayoutLarge)
            for (QLabel *l : f.XValue)
                SetPointSize(l, 11);
    }
    const Settings &s = session.Config();
    const kpd::PlotModeTexts texts = kpd::PlotModeTextsFor(displayMode, s.generation, s.units);
    // The signal plots' time labels stay while a run writes them.
    const bool xTexts = mode != 3 || session.StateOf(kpd::DisplayMode::SignalPlots) != kpd::DataState::Live;
    for (std::size_t i = 0; i < 5; ++i) {
        f.YValue[i]->setText(QString::fromStdString(texts.yLeft[i]));
        f.YValue[i + 5]->setText(QString::fromStdString(texts.yRight[i]));
        if (xTexts) f.XValue[i]->setText(QString::fromStdString(texts.x[i]));
        f.YValue[i]->show();
        f.XValue[i]->show();
        f.YValue[i + 5]->hide();
    }

    // Titles.
    f.PlotNameText->setGeometry(left, top - kFrame - 2 * kLabelH - 12, w, kLabelH + 4);
    f.PlotDescriptionText->setGeometry(left, top - kFrame - kLabelH - 6, w, kLabelH);
    f.XAxisText->setGeometry(left, top + h + kFrame + kLabelH + 12, w, kLabelH);
    for (QLabel *l : {f.PlotNameText, f.PlotDescriptionText, f.XAxisText})
        l->setAlignment(Qt::AlignCenter);
    f.PlotNameText->setText(QString::fromStdString(texts.name));
    f.PlotNameText->show();
    f.PlotDescriptionText->show();
    f.YAxisTextTop->hide();
    f.YAxisTextBottom->hide();
    if (texts.xTitle) f.XAxisText->setText(QString::fromStdString(*texts.xTitle));
    if (mode == 1) {
        SetEncoderPlotDescription(f);
        f.XAxisText->hide(); // the Lissajous figure has no axis title
        f.PlotTypeGroup->setTitle("Signals to Display");
        f.PlotTypeGroup->SetItems({"sine/cosine", "sine/cosine", "both"});
        f.PlotTypeGroup->SetItemIndex(s.encoderplottype);
        f.PlotTypeGroup->hide();
    } else if (mode == 2) {
        f.PlotDescriptionText->setText(QString::fromStdString(texts.description));
        f.PlotTypeGroup->hide();
        f.XAxisText->show();
    } else {
        f.PlotTypeGroup->setTitle("Plots to Display");
        f.PlotTypeGroup->SetItems({"Position", "Signal Strength"});
        f.PlotTypeGroup->SetItemIndex(s.positionplottype);
        // In the side column, between the option buttons and the data buttons.
        QRect above = f.SetFrequencyButton->geometry();
        if (f.SetInterpolationButton->isVisibleTo(f.SetInterpolationButton->parentWidget()))
            above = above.united(f.SetInterpolationButton->geometry());
        const int below = f.AcquireButton->geometry().top();
        const int height = std::min(100, std::max(60, below - above.bottom() - 40));
        const int width = std::max(above.width(), f.PlotTypeGroup->sizeHint().width());
        f.PlotTypeGroup->setGeometry(above.left(), above.bottom() + 20, width, height);
        f.PlotTypeGroup->show();
        f.XAxisText->show();
        SetSignalPlotTitles(f, s.positionplottype, s.units);
    }
    for (QToolButton *b : {f.AcquireButton, f.StopButton, f.ReviewButton, f.FastButton})
        b->show();
    PlaceElapsedTime(f);
    FitTickLabels(f);
    session.UpdateWindowCaption();
    return QSize(w, h);
}
