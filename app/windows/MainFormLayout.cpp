// TMainForm: the layout size class, the status-and-setup layout and the plot-mode layout.
#include "windows/MainForm.h"

#include "windows/PlotDisplay.h"
#include "windows/PlotLayout.h"
#include "windows/StatusDisplay.h"

#include "display/StatusPaint.h"
#include "widgets/Lamp.h"
#include "widgets/Logo.h"
#include "widgets/ScreenInfo.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

void TMainForm::ApplyLayoutClass() {
    const platform::ScreenMetrics screen = platform::CurrentScreen();
    Layout = kpd::ChooseLayout(screen.width, screen.height, screen.pixelsPerInch);
    LayoutClass = Layout.sizeClass;
    const kpd::ClassMetrics m = kpd::MetricsFor(LayoutClass);

    QFont f = font();
    if (LayoutClass == kpd::LayoutLarge) {
        f.setPointSize(15); // raised on the way, the large table ends at 13
        setFont(f);
    }
    if (m.windowFontPt > 0) {
        f.setPointSize(m.windowFontPt);
        WindowFontSize = m.windowFontPt;
    } else {
        f.setPixelSize(12);
        WindowFontSize = 12;
    }
    setFont(f);

    QFont normal("Arial");
    normal.setPixelSize(m.normalFontPx);
    BitBtn1->setFont(normal);
    QFont hover("Arial");
    hover.setPixelSize(m.hoverFontPx);
    hover.setBold(true);
    BitBtn2->setFont(hover);
    for (QToolButton *b : SpeedButtons())
        b->setFont(normal);

    PlotWidth = PlotHeight = Layout.plotSize;
    PlotScale = Layout.plotScale;
    LogoImage->setVisible(LayoutClass != kpd::LayoutSmall);
    SmallLogoImage->setVisible(LayoutClass == kpd::LayoutSmall);
    if (LayoutClass == kpd::LayoutMedium) {
        for (QLabel *l : XValue) {
            QFont tf = l->font();
            tf.setPointSize(Layout.tickLabelFontPx);
            l->setFont(tf);
        }
        for (QLabel *l : YValue) {
            QFont tf = l->font();
            tf.setPointSize(Layout.tickLabelFontPx);
            l->setFont(tf);
        }
    }
    PlaceStatusControls(*this, *this, LayoutClass, Layout.plotSize);
    SignalBarSpan = SignalBar->height() - 19;

    if (Layout.maximised) {
        resize(LayoutClass == kpd::LayoutSmall   ? 800
               : LayoutClass == kpd::LayoutLarge ? 1280
                                                 : 1014,
               m.windowHeight);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        resize(Layout.normalWidth, m.windowHeight);
    }
}

void TMainForm::ShowStatusLayout() {
    SetupText->setText("Data Plots");
    CenterIndexButton->setText("Encoder Signal");
    SetInterpolationButton->setText("Settings");
    SetFrequencyButton->setText("Signal Plots");
    PlotNameText->hide();
    PlotDescriptionText->hide();
    PlotTypeGroup->hide();
    XAxisText->hide();
    YAxisTextTop->hide();
    YAxisTextBottom->hide();
    GraphBox->hide();
    for (QFrame *p : {LeftPanel, RightPanel, TopPanel, BottomPanel})
        p->hide();
    for (QLabel *l : XValue)
        l->hide();
    for (QLabel *l : YValue)
        l->hide();
    for (QToolButton *b : {AcquireButton, StopButton, ReviewButton, FastButton})
        b->hide();

    // The status display itself; the controls whose visibility the status view decides follow it below.
    const std::vector<QWidget *> viewOwned{ResolutionBox, CalSetButton, yellowleft,    yellowright,
                                           redleft,       redright,     darkgreenleft, darkgreenright};
    for (QWidget *w : StatusWidgets())
        if (std::find(viewOwned.begin(), viewOwned.end(), w) == viewOwned.end()) w->show();
    SetupText->show();
    LogoText1->show();
    buttonStatesPainted_ = false;

    menu_.SetEnabled("Resetalarms1", true);
    if (!session_->Demo()) {
        for (const char *item :
             {"Interpolation1", "Bandwidth1", "Encoder1", "LocateIndex1", "ResetPosition1", "Zeroposition1"})
            menu_.SetEnabled(item, true);
    }
    SetInterpolationButton->show();
    PlaceStatusElapsedTime(*this, LayoutClass); // back from the plot modes' side column
    menu_.SetEnabled("SavePlotImage1", false); // no plot to save
    plots_->Deactivate();
    update();
}

void TMainForm::ShowPlotLayout(kpd::DisplayMode mode) {
    if (!kpd::HasDataSet(mode) || mode == kpd::DisplayMode::Status) return;
    const QSize plot = ::ShowPlotLayout(*this, mode, LayoutClass, logicalDpiX(), *session_, menu_);
    PlotWidth = plot.width();
    PlotHeight = plot.height();
    menu_.SetEnabled("SavePlotImage1", true);
    update();
}

void TMainForm::ActivatePlot(kpd::DisplayMode mode) {
    plots_->Activate(mode);
}
