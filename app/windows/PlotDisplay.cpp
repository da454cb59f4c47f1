#include "windows/PlotDisplay.h"

#include "display/TPaintBox.h"
#include "session/Session.h"
#include "windows/FitReadoutView.h"
#include "windows/MainFormControls.h"
#include "windows/PlotLayout.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

using kpd::DisplayMode;

PlotDisplay::PlotDisplay(MainFormControls &controls, kpd::Session &session, const int &layoutClass,
                         QObject *parent)
    : QObject(parent), f_(controls), session_(session), layoutClass_(layoutClass),
      canvas_(controls.GraphBox->Canvas(), kpd::PlotLook{}, this),
      lissajous_(session.Data(), canvas_, session.Scaling()), strength_(session.Data(), canvas_, session.Scaling()),
      signal_(session.Data(), canvas_, session.Scaling()), frameTimer_(new QTimer(this)) {
    frameTimer_->setObjectName("PlotFrameTimer");
    frameTimer_->setInterval(FrameIntervalMs);
    connect(frameTimer_, &QTimer::timeout, this, [this] { Frame(); });
    readout_ = std::make_unique<FitReadoutView>(*controls.GraphBox->parentWidget(), lissajous_,
                                                [this] { return Setup().look; });
}

PlotDisplay::~PlotDisplay() = default;

kpd::StreamPlot &PlotDisplay::Plot(DisplayMode mode) {
    switch (mode) {
    case DisplayMode::EncoderSignal:
        return lissajous_;
    case DisplayMode::SignalStrength:
        return strength_;
    default:
        return signal_;
    }
}

kpd::PlotSetup PlotDisplay::Setup() const {
    return kpd::PlotSetupOf(session_.Config(), session_.ProcessorVersion(), layoutClass_);
}

void PlotDisplay::RunStarted(DisplayMode mode, const std::shared_ptr<const kpd::StreamProgress> &run) {
    Plot(mode).Begin(run, Setup());
    f_.GraphBox->update();
    frameTimer_->start();
}

void PlotDisplay::RunEnded(DisplayMode mode) {
    kpd::StreamPlot &plot = Plot(mode);
    if (plot.Following()) {
        plot.End();
        ++framesPainted_;
        f_.GraphBox->update();
    }
    if (!lissajous_.Following() && !strength_.Following() && !signal_.Following()) frameTimer_->stop();
}

void PlotDisplay::ShowStored(DisplayMode mode) {
    Plot(mode).ShowStored(Setup());
    f_.GraphBox->update();
}

void PlotDisplay::Restart() {
    lissajous_.RequestRestart();
    strength_.RequestRestart();
    signal_.RequestRestart();
}

void PlotDisplay::Activate(DisplayMode mode) {
    canvas_.SetLook(Setup().look);
    if (mode == DisplayMode::EncoderSignal)
        canvas_.ClearAndLissajousFrame();
    else
        canvas_.ClearAndGrid();
    f_.GraphBox->update();
    // The readout below the data buttons and the elapsed time under them.
    QRect above = f_.AcquireButton->geometry();
    for (QWidget *w : {static_cast<QWidget *>(f_.StopButton), static_cast<QWidget *>(f_.ReviewButton),
                       static_cast<QWidget *>(f_.FastButton), static_cast<QWidget *>(f_.TimeCaption),
                       static_cast<QWidget *>(f_.TimeText2)})
        above = above.united(w->geometry());
    readout_->Show(mode == DisplayMode::EncoderSignal, above);
}

void PlotDisplay::Deactivate() {
    readout_->Show(false, {});
}

void PlotDisplay::PlotTypeChanged(DisplayMode mode, bool clearPlot) {
    canvas_.SetLook(Setup().look);
    if (mode == DisplayMode::EncoderSignal) {
        if (clearPlot) {
            canvas_.ClearPlot();
            f_.GraphBox->update();
        }
        SetEncoderPlotDescription(f_);
    } else if (mode == DisplayMode::SignalPlots) {
        SetSignalPlotTitles(f_, session_.Config().positionplottype, session_.Config().units);
        // A followed run (live or replay) goes on in the new type; a plot at rest shows its recorded
        // records again in it, so the picture always matches the titles.
        if (signal_.Following())
            signal_.Retype(Setup());
        else
            signal_.ShowStored(Setup());
        f_.GraphBox->update();
    }
}

void PlotDisplay::Frame() {
    bool drawn = false;
    for (kpd::StreamPlot *plot : {static_cast<kpd::StreamPlot *>(&lissajous_),
                                  static_cast<kpd::StreamPlot *>(&strength_), static_cast<kpd::StreamPlot *>(&signal_)})
        if (plot->Following() && plot->Advance()) drawn = true;
    if (!drawn) return;
    ++framesPainted_;
    f_.GraphBox->update();
}

void PlotDisplay::ShowElapsedText(const std::string &text) {
    f_.TimeText2->setText(QString::fromStdString(text));
}

void PlotDisplay::SetXTickTexts(const std::array<std::string, 5> &leftToRight) {
    for (std::size_t i = 0; i < 5; ++i)
        f_.XValue[4 - i]->setText(QString::fromStdString(leftToRight[i]));
    FitTickLabels(f_);
}

void PlotDisplay::SetYTickTexts(bool right, const std::array<std::string, 5> &bottomToTop, uint32_t rgb) {
    const QColor colour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    for (std::size_t i = 0; i < 5; ++i) {
        QLabel *l = f_.YValue[(right ? 9 : 4) - i];
        l->setText(QString::fromStdString(bottomToTop[i]));
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colour);
        l->setPalette(p);
    }
    FitTickLabels(f_);
}
