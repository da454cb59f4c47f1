// TMainForm: layout size classes, the status-and-setup layout, window caption and the window states
// (connected, demo, data controls).
#include "MainForm.h"

#include "ComData.h"
#include "StatusPaint.h"
#include "TRadioDialog.h"
#include "platform/Lamp.h"
#include "platform/Logo.h"
#include "platform/NumberFormat.h"
#include "platform/ScreenInfo.h"
#include "platform/WaitCursor.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

// Per-class sizes of the status display. The anchors are the three frames and the two rotated words
// that the paint handler draws for the class; every control of the status display is placed inside or
// beside them, so the frames always enclose their controls.
struct ClassMetrics {
    double scale;       // size of buttons, lamps and rows relative to the designed (medium) form
    int windowFontPt;   // 0: designed 12 pixels
    int normalFontPx;   // BitBtn1: normal button font
    int hoverFontPx;    // BitBtn2: hover font (bold)
    int positionFontPx; // large position read-out
    int windowHeight;   // height when the window is not maximised
    int barTop;         // signal bar
    int barHeight;
    int rotatedLineHeight;
};

ClassMetrics MetricsFor(int sizeClass) {
    switch (sizeClass) {
    case kpd::LayoutSmall:
        return {0.75, 7, 10, 12, 20, 560, 250, 240, 13};
    case kpd::LayoutLarge:
        return {1.35, 13, 17, 20, 36, 990, 505, 340, 25};
    default:
        return {1.0, 0, 12, 15, 28, 738, 340, 240, 13};
    }
}

QRect Frame(const kpd::PaintRect &r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

} // namespace

void TMainForm::ApplyLayoutClass() {
    const platform::ScreenMetrics screen = platform::CurrentScreen();
    Layout = kpd::ChooseLayout(screen.width, screen.height, screen.pixelsPerInch);
    LayoutClass = Layout.sizeClass;
    const ClassMetrics m = MetricsFor(LayoutClass);

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
    PlaceStatusControls(LayoutClass);
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

void TMainForm::PlaceStatusControls(int sizeClass) {
    const ClassMetrics m = MetricsFor(sizeClass);
    const kpd::StatusDecorations &d = kpd::StatusDecorationsFor(sizeClass);
    const QRect A = Frame(d.frames[0]); // position and elapsed time
    const QRect B = Frame(d.frames[1]); // operating state
    const QRect C = Frame(d.frames[2]); // calibration and alignment
    auto s = [&](double v) { return static_cast<int>(std::lround(v * m.scale)); };
    const int rowH = s(20);
    const int btnH = s(26);
    const int lamp = s(22);
    const int pad = s(8);

    // Logo, product title and sensor label above the frames.
    const QSize logoSize =
        sizeClass == kpd::LayoutSmall ? platform::kSmallLogoSize : platform::kLargeLogoSize;
    const QRect logo(pad, pad, logoSize.width(), logoSize.height());
    LogoImage->setGeometry(QRect(logo.topLeft(), platform::kLargeLogoSize));
    SmallLogoImage->setGeometry(QRect(logo.topLeft(), platform::kSmallLogoSize));
    QFont title = font();
    title.setPixelSize(s(22));
    LogoText1->setFont(title);
    LogoText1->setGeometry(logo.right() + s(24), logo.top() + s(6), s(520), s(30));
    QFont sensor = font();
    sensor.setPixelSize(s(15));
    LogoText4->setFont(sensor);
    LogoText4->setStyleSheet("color: #00FFFF;");
    LogoText4->setGeometry(logo.right() + s(24), logo.top() + s(40), s(520), s(24));

    // Left column: the plot and setup buttons.
    const int colX = pad * 2;
    const int colW = A.left() - colX - pad * 2;
    SetupText->setGeometry(colX, A.top() + s(4), colW, rowH);
    CenterIndexButton->setGeometry(colX, A.top() + s(30), colW, btnH + s(4));
    SetFrequencyButton->setGeometry(colX, A.top() + s(72), colW, btnH + s(4));
    SetupCaption->setGeometry(colX, B.top() + s(4), colW, rowH);
    SetInterpolationButton->setGeometry(colX, B.top() + s(30), colW, btnH + s(4));

    // Frame A: position read-out, units, elapsed time, reset.
    const int aw = A.width();
    const int ah2 = A.height() / 2;
    QFont big = font();
    big.setPixelSize(m.positionFontPx);
    EncoderPositionText->setFont(big);
    EncoderPositionText->setStyleSheet("color: #00FF00;");
    PositionCaption->setGeometry(A.left() + pad, A.top() + s(4), int(aw * 0.22), ah2 - s(4));
    EncoderPositionText->setGeometry(A.left() + int(aw * 0.24), A.top() + s(3), int(aw * 0.46), ah2 - s(2));
    UnitsBox->setGeometry(A.left() + int(aw * 0.72), A.top() + s(4), int(aw * 0.26), ah2 - s(4));
    TimeCaption->setGeometry(A.left() + pad, A.top() + ah2 + s(2), int(aw * 0.28), ah2 - s(4));
    TimeText2->setGeometry(A.left() + int(aw * 0.30), A.top() + ah2 + s(2), int(aw * 0.2), ah2 - s(4));
    const int resetW = s(70);
    ResetPositionButton->setGeometry(A.right() - pad - resetW, A.top() + ah2 + (ah2 - btnH) / 2, resetW,
                                     btnH);

    // Between A and B: interpolation and output frequency.
    const int midY = A.bottom() + (B.top() - A.bottom() - rowH) / 2;
    InterpolationCaption->setGeometry(A.left() + pad, midY, int(aw * 0.22), rowH);
    InterpolationBox->setGeometry(A.left() + int(aw * 0.24), midY, int(aw * 0.14), rowH);
    FrequencyCaption->setGeometry(A.left() + int(aw * 0.40), midY, int(aw * 0.30), rowH);
    FrequencyBox->setGeometry(A.left() + int(aw * 0.72), midY, int(aw * 0.26), rowH);

    // Index and limit lamps in the left column, level with the calibration frame.
    const std::array<std::pair<platform::Lamp *, QLabel *>, 3> lamps = {
        std::pair{IndexShape, IndexCaption}, std::pair{LeftLimitShape, LeftLimitCaption},
        std::pair{RightLimitShape, RightLimitCaption}};
    for (int i = 0; i < 3; ++i) {
        const int y = C.top() + s(6) + i * (lamp + s(14));
        lamps[i].first->setGeometry(colX + pad, y, lamp, lamp);
        lamps[i].second->setGeometry(colX + pad + lamp + pad, y + (lamp - rowH) / 2, colW - lamp - 2 * pad,
                                     rowH);
    }

    // Frame B: operating state texts.
    const int bRow = (B.height() - s(8)) / 3;
    StateCaption->setGeometry(B.left() + pad, B.top() + s(4), B.width() - 2 * pad, rowH);
    IndexBox->setGeometry(B.left() + pad, B.top() + s(4) + bRow, B.width() - 2 * pad, rowH);
    ResolutionBox->setGeometry(B.left() + pad, B.top() + s(4) + 2 * bRow, B.width() - 2 * pad, rowH);
    IndexBox->setStyleSheet("color: #00FFFF;");

    // Frame C: calibration check boxes and buttons, alignment buttons.
    const int cRow = (C.height() - s(6)) / 5;
    const int cInner = C.width() - 2 * pad;
    CalibrationCaption->setGeometry(C.left() + pad, C.top() + s(3), cInner, rowH);
    const int half = cInner / 2;
    CalGOPCheckBox->setGeometry(C.left() + pad, C.top() + s(3) + cRow, half, rowH);
    CalIndexCheckBox->setGeometry(C.left() + pad + half, C.top() + s(3) + cRow, half, rowH);
    SetLeftLimitCheckBox->setGeometry(C.left() + pad, C.top() + s(3) + 2 * cRow, half, rowH);
    SetRightLimitCheckBox->setGeometry(C.left() + pad + half, C.top() + s(3) + 2 * cRow, half, rowH);
    const int third = (cInner - 2 * pad) / 3;
    const int cBtnH = std::min(btnH, cRow - s(8)); // room for the bevels between the two rows
    const int b1y = C.top() + s(3) + 3 * cRow + (cRow - cBtnH) / 2;
    StartCalButton->setGeometry(C.left() + pad, b1y, third, cBtnH);
    StopCalButton->setGeometry(C.left() + pad + third + pad, b1y, third, cBtnH);
    CalSetButton->setGeometry(C.left() + pad + 2 * (third + pad), b1y, third, cBtnH);
    const int b2y = b1y + cRow;
    StartAlignButton->setGeometry(C.left() + pad, b2y, third, cBtnH);
    StopAlignButton->setGeometry(C.left() + pad + third + pad, b2y, third, cBtnH);

    // Signal bar with its zone markers, right of the words "Optimal" and "Poor".
    const QSize marker(s(12), s(16));
    const int barW = s(24);
    const int leftMarkerX = d.optimalText.x + m.rotatedLineHeight + s(4);
    const int barX = leftMarkerX + marker.width() + s(2);
    const int rightMarkerX = barX + barW + s(2);
    SignalBar->setGeometry(barX, m.barTop, barW, m.barHeight);
    SignalBar->setPixmap(QPixmap::fromImage(platform::SignalBarImage(QSize(barW, m.barHeight))));
    // The caption stands above both the bar and the rotated word "Optimal".
    QFont rotated("Arial");
    rotated.setWeight(QFont::DemiBold);
    rotated.setPixelSize(m.rotatedLineHeight);
    const int optimalTop = d.optimalText.y - QFontMetrics(rotated).horizontalAdvance("Optimal");
    const int captionY = std::min(m.barTop, optimalTop) - rowH - s(8);
    SignalCaption->setGeometry(barX + barW / 2 - s(60), captionY, s(120), rowH);
    auto placeZone = [&](QLabel *l, QLabel *r, double centre) {
        const int y = m.barTop + int(m.barHeight * centre) - marker.height() / 2;
        l->setGeometry(leftMarkerX, y, marker.width(), marker.height());
        r->setGeometry(rightMarkerX, y, marker.width(), marker.height());
    };
    placeZone(greenleft, greenright, 0.25);
    placeZone(darkgreenleft, darkgreenright, 0.08);
    placeZone(yellowleft, yellowright, 0.625);
    placeZone(redleft, redright, 0.875);

    // Alarm lamps right of the bar.
    const int alarmX = rightMarkerX + marker.width() + s(14);
    const int classWidth = sizeClass == kpd::LayoutSmall ? 800 : sizeClass == kpd::LayoutLarge ? 1280 : 1014;
    const int alarmCapW = std::min(s(110), classWidth - (alarmX + lamp + pad) - 4);
    const std::array<std::pair<platform::Lamp *, QLabel *>, 3> alarms = {
        std::pair{OverSignalShape, OverSignalCaption}, std::pair{YellowShape, YellowCaption},
        std::pair{RedShape, RedCaption}};
    for (int i = 0; i < 3; ++i) {
        const int y = m.barTop + s(10) + i * s(44);
        alarms[i].first->setGeometry(alarmX, y, lamp, lamp);
        alarms[i].second->setGeometry(alarmX + lamp + pad, y + (lamp - rowH) / 2, alarmCapW, rowH);
    }
    ResetAlarmsButton->setGeometry(alarmX, m.barTop + s(150), s(70), btnH);
    AlarmHistoryButton->setGeometry(alarmX, m.barTop + s(186), s(70), btnH);

    // Plot-mode controls (hidden in the status display) get their places from the plot layouts.
    const int plot = Layout.plotSize;
    GraphBox->setGeometry(sizeClass == kpd::LayoutSmall   ? 408
                          : sizeClass == kpd::LayoutLarge ? 596
                                                          : 456,
                          148, plot, plot);
    GraphBox->ResizeCanvas(plot, plot);
    PlotTypeGroup->setGeometry(colX, C.top(), colW, s(100));
    const int dataY = C.bottom() - btnH;
    AcquireButton->setGeometry(colX, dataY - 3 * (btnH + s(6)), colW, btnH);
    StopButton->setGeometry(colX, dataY - 2 * (btnH + s(6)), colW, btnH);
    ReviewButton->setGeometry(colX, dataY - (btnH + s(6)), colW, btnH);
    FastButton->setGeometry(colX, dataY, colW, btnH);
}

void TMainForm::UpdateWindowCaption() {
    if (DisplayMode < 0 || DisplayMode > 3) return;
    static const char *const captions[4] = {"Data Display Stopped", "Live Data", "Data Display Stopped",
                                            "Viewing Buffered Data"};
    const int state = DataState[DisplayMode];
    if (state >= 0 && state <= 3) setWindowTitle(captions[state]);
}

void TMainForm::ShowStatusLayout() {
    ButtonStatesPainted = false;
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
    Evaluation.ResetForLayout(View);
    ApplyStatusView();

    SetItemEnabled("Resetalarms1", true);
    if (!DemoFlag) {
        for (const char *item :
             {"Interpolation1", "Bandwidth1", "Encoder1", "LocateIndex1", "ResetPosition1", "Zeroposition1"})
            SetItemEnabled(item, true);
    }
    SetInterpolationButton->show();
    UpdateWindowCaption();
    update();
}

void TMainForm::ShowElapsedTime(float seconds) {
    TimeText2->setText(QString::fromStdString(platform::FormatFixed(seconds, 1, 6)));
}

void TMainForm::ShowInterpolationAndFrequency(int interpolationIndex, int frequencyCode) {
    InterpolationBox->setText(QString::number(interpolationIndex + 1));
    static const char *const texts[7] = {" 14.4 MHz", " 7.2 MHz", " 3.6 MHz", " 1.8 MHz",
                                         " 900 kHz",  " 450 kHz", " 225 kHz"};
    const int f = frequencyCode & 7;
    if (f < 7) FrequencyBox->setText(texts[f]);
}

void TMainForm::SetDataControlsEnabled(bool e) {
    platform::ShowDefaultCursor();
    for (QToolButton *b :
         {EncoderSignalButton, SignalStrengthButton, PositionButton, AcquireButton, StopButton, ReviewButton,
          FastButton, SetInterpolationButton, ResetAlarmsButton, AlarmHistoryButton})
        b->setEnabled(e);
    CenterIndexButton->setEnabled(true);
    SetFrequencyButton->setEnabled(true);
    for (const char *item :
         {"Mainwindow1", "Lissajous1", "SignalMonitor1", "EncoderPositionPlot1", "Engineering1"})
        SetItemEnabled(item, true);
}

namespace {
const char *const kDemoDisabledItems[] = {"Tessalyversion1", "Savedata1",           "Mainwindow1",
                                          "Lissajous1",      "SignalMonitor1",      "EncoderPositionPlot1",
                                          "Engineering1",    "Resetalarms1",        "Interpolation1",
                                          "Bandwidth1",      "EngineeringDisplay1", "LocateIndex1",
                                          "ResetPosition1",  "Zeroposition1",       "SoftwareSystemReset1",
                                          "Encoder1",        "ResetDataBuffers1"};
} // namespace

static std::vector<QWidget *> DemoDisabledControls(TMainForm &f) {
    return {f.CenterIndexButton,    f.SetInterpolationButton,
            f.SetFrequencyButton,   f.EncoderSignalButton,
            f.SignalStrengthButton, f.PositionButton,
            f.AcquireButton,        f.StopButton,
            f.ReviewButton,         f.FastButton,
            f.ResetAlarmsButton,    f.AlarmHistoryButton,
            f.ResetPositionButton,  f.PlotTypeGroup};
}

void TMainForm::EnterDemoMode() {
    if (access_) access_->RestartPending = false;
    SetItemEnabled("HardwareReset1", true);
    SetItemEnabled("SearchForElectronics1", true);
    SetItemEnabled("SoftwareSystemReset1", false);
    DemoFlag = true;
    setWindowTitle("Demo Mode");
    for (QWidget *w : DemoDisabledControls(*this))
        w->setEnabled(false);
    for (const char *item : kDemoDisabledItems)
        SetItemEnabled(item, false);
    if (passPlotPointCounts) passPlotPointCounts();
}

void TMainForm::EnterConnectedMode() {
    SetItemEnabled("ResetDataBuffers1", true);
    SetItemEnabled("HardwareReset1", false);
    SetItemEnabled("SearchForElectronics1", false);
    SetItemEnabled("SoftwareSystemReset1", true);
    DemoFlag = false;
    setWindowTitle(QString());
    for (QWidget *w : DemoDisabledControls(*this))
        w->setEnabled(true);
    for (const char *item : kDemoDisabledItems)
        SetItemEnabled(item, true);
    if (DisplayMode == 0)
        ShowStatusLayout();
    else if (DisplayMode >= 1 && DisplayMode <= 3 && showPlotLayout)
        showPlotLayout(DisplayMode);
    settings.LoadSettings(InstallDir);
    UnitsBox->setText(QString::fromStdString(settings.units));
}

std::vector<QWidget *> TMainForm::StatusWidgets() const {
    return {EncoderPositionText,
            UnitsBox,
            TimeText2,
            ResetPositionButton,
            InterpolationBox,
            FrequencyBox,
            IndexShape,
            LeftLimitShape,
            RightLimitShape,
            YellowShape,
            RedShape,
            OverSignalShape,
            IndexBox,
            ResolutionBox,
            SignalBar,
            CalGOPCheckBox,
            CalIndexCheckBox,
            SetLeftLimitCheckBox,
            SetRightLimitCheckBox,
            StartCalButton,
            StopCalButton,
            CalSetButton,
            StartAlignButton,
            StopAlignButton,
            PositionCaption,
            TimeCaption,
            InterpolationCaption,
            FrequencyCaption,
            IndexCaption,
            LeftLimitCaption,
            RightLimitCaption,
            SignalCaption,
            OverSignalCaption,
            YellowCaption,
            RedCaption,
            StateCaption,
            CalibrationCaption,
            SetupCaption,
            greenleft,
            greenright,
            yellowleft,
            yellowright,
            redleft,
            redright,
            darkgreenleft,
            darkgreenright};
}

void TMainForm::ShowPlotModeLayout(int mode) {
    if (mode < 1 || mode > 3) return;
    for (QWidget *w : StatusWidgets())
        w->hide();
    SetupText->setText("Options");
    CenterIndexButton->setText("Plot Options");
    SetInterpolationButton->setText("Plot Settings 1");
    SetFrequencyButton->setText("Back To Main");
    if (!DemoFlag) {
        SetInterpolationButton->hide();
        SetInterpolationButton->setEnabled(false);
    }
    for (const char *item : {"Resetalarms1", "Interpolation1", "Bandwidth1", "Encoder1", "LocateIndex1",
                             "ResetPosition1", "Zeroposition1"})
        SetItemEnabled(item, false);

    // Plot box and frame.
    const int cls = LayoutClass;
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
    PlotWidth = w;
    PlotHeight = h;
    GraphBox->setGeometry(left, top, w, h);
    GraphBox->ResizeCanvas(w, h);
    const int t = 4; // frame thickness
    LeftPanel->setGeometry(left - t, top, t, h);
    RightPanel->setGeometry(left + w, top, t, h);
    TopPanel->setGeometry(left - t, top - t, w + 2 * t, t);
    BottomPanel->setGeometry(left - t, top + h, w + 2 * t, t);
    for (QWidget *p : {static_cast<QWidget *>(GraphBox), static_cast<QWidget *>(LeftPanel),
                       static_cast<QWidget *>(RightPanel), static_cast<QWidget *>(TopPanel),
                       static_cast<QWidget *>(BottomPanel)})
        p->show();

    // Tick labels spaced evenly along the box edges.
    const int labelW = 56, labelH = 18;
    for (int i = 0; i < 5; ++i) {
        const int y = top + i * h / 4 - labelH / 2;
        YValue[i]->setGeometry(left - t - labelW - 4, y, labelW, labelH);
        YValue[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        YValue[i + 5]->setGeometry(left + w + t + 4, y, labelW, labelH);
        // XValue5 at the left edge ... XValue1 at the right edge.
        XValue[4 - i]->setGeometry(left + i * w / 4 - labelW / 2, top + h + t + 4, labelW, labelH);
        XValue[4 - i]->setAlignment(Qt::AlignCenter);
    }
    static const char *const percent[5] = {"100%", "50%", "0%", "50%", "100%"};
    static const char *const volts0[5] = {"0.8V", "0.6V", "0.4V", "0.2V", "0.0V"};
    static const char *const volts3[5] = {"1.6V", "1.2V", "0.8V", "0.4V", "0.0V"};
    static const char *const fraction[5] = {"1.00", "0.75", "0.50", "0.25", "0"};
    static const char *const seconds[5] = {"1.0", "0.7", "0.5", "0.2", "0"};
    for (int i = 0; i < 5; ++i) {
        if (mode == 1) {
            YValue[i]->setText(percent[i]);
            XValue[i]->setText(percent[i]);
        } else if (mode == 2) {
            YValue[i]->setText(settings.generation <= 2 ? volts0[i] : volts3[i]);
            XValue[i]->setText(volts3[i]);
        } else {
            YValue[i]->setText(fraction[i]);
            YValue[i + 5]->setText(fraction[i]);
            if (DataState[3] != 1) XValue[i]->setText(seconds[i]);
        }
        YValue[i]->show();
        XValue[i]->show();
        YValue[i + 5]->hide();
    }

    PlotNameText->setGeometry(left, top - t - 2 * labelH - 12, w, labelH + 4);
    PlotDescriptionText->setGeometry(left, top - t - labelH - 6, w, labelH);
    XAxisText->setGeometry(left, top + h + t + labelH + 8, w, labelH);
    for (QLabel *l : {PlotNameText, PlotDescriptionText, XAxisText})
        l->setAlignment(Qt::AlignCenter);
    PlotNameText->setText(mode == 2 ? " Encoder Signal Strength Graph" : " Encoder Signal Graph");
    PlotNameText->show();
    PlotDescriptionText->show();
    const QString units = QString::fromStdString(settings.units);
    if (mode == 1) {
        PlotDescriptionText->setText("sine/cosine in %");
        PlotTypeGroup->setTitle("Signals to Display");
        PlotTypeGroup->SetItems({"sine/cosine", "sine/cosine", "both"});
        PlotTypeGroup->SetItemIndex(settings.encoderplottype);
        PlotTypeGroup->hide();
    } else if (mode == 2) {
        PlotDescriptionText->setText("encoder signal strength vs. position");
        PlotTypeGroup->hide();
        XAxisText->setText("Position in " + units);
        XAxisText->show();
    } else {
        PlotDescriptionText->setText("Encoder Signal vs. Time");
        PlotTypeGroup->setTitle("Plots to Display");
        PlotTypeGroup->SetItems({"Position", "Signal Strength"});
        PlotTypeGroup->SetItemIndex(settings.positionplottype);
        PlotTypeGroup->show();
        XAxisText->setText("Time in " + UnitLabelTime);
        XAxisText->show();
    }
    for (QToolButton *b : {AcquireButton, StopButton, ReviewButton, FastButton})
        b->show();
    UpdateWindowCaption();
    update();
}

void TMainForm::DrawDefaultGrid() {
    QImage &img = GraphBox->Canvas();
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
    GraphBox->update();
}
