#include "windows/StatusDisplay.h"

#include "display/LayoutClass.h"
#include "display/StatusPaint.h"
#include "display/TPaintBox.h"
#include "widgets/Lamp.h"
#include "widgets/Logo.h"
#include "widgets/RotatedText.h"
#include "windows/MainFormControls.h"
#include "windows/TRadioGroup.h"
#include "workers/StatusView.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

QColor ToQColor(kpd::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

void ApplyButton(QToolButton *b, const kpd::ButtonState &s) {
    b->setEnabled(s.enabled);
    b->setVisible(s.visible);
}

QRect Frame(const kpd::PaintRect &r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

} // namespace

namespace kpd {

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

} // namespace kpd

using kpd::ClassMetrics;
using kpd::MetricsFor;

void PlaceStatusControls(MainFormControls &f, const QWidget &window, int sizeClass, int plotSize) {
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
    f.LogoImage->setGeometry(QRect(logo.topLeft(), platform::kLargeLogoSize));
    f.SmallLogoImage->setGeometry(QRect(logo.topLeft(), platform::kSmallLogoSize));
    QFont title = window.font();
    title.setPixelSize(s(22));
    f.LogoText1->setFont(title);
    f.LogoText1->setGeometry(logo.right() + s(24), logo.top() + s(6), s(520), s(30));
    QFont sensor = window.font();
    sensor.setPixelSize(s(15));
    f.LogoText4->setFont(sensor);
    f.LogoText4->setStyleSheet("color: #00FFFF;");
    f.LogoText4->setGeometry(logo.right() + s(24), logo.top() + s(40), s(520), s(24));

    // Left column: the plot and setup buttons.
    const int colX = pad * 2;
    const int colW = A.left() - colX - pad * 2;
    f.SetupText->setGeometry(colX, A.top() + s(4), colW, rowH);
    f.CenterIndexButton->setGeometry(colX, A.top() + s(30), colW, btnH + s(4));
    f.SetFrequencyButton->setGeometry(colX, A.top() + s(72), colW, btnH + s(4));
    f.SetupCaption->setGeometry(colX, B.top() + s(4), colW, rowH);
    f.SetInterpolationButton->setGeometry(colX, B.top() + s(30), colW, btnH + s(4));

    // Frame A: position read-out, units, elapsed time, reset.
    const int aw = A.width();
    const int ah2 = A.height() / 2;
    QFont big = window.font();
    big.setPixelSize(m.positionFontPx);
    f.EncoderPositionText->setFont(big);
    f.EncoderPositionText->setStyleSheet("color: #00FF00;");
    f.PositionCaption->setGeometry(A.left() + pad, A.top() + s(4), int(aw * 0.22), ah2 - s(4));
    f.EncoderPositionText->setGeometry(A.left() + int(aw * 0.24), A.top() + s(3), int(aw * 0.46), ah2 - s(2));
    f.UnitsBox->setGeometry(A.left() + int(aw * 0.72), A.top() + s(4), int(aw * 0.26), ah2 - s(4));
    PlaceStatusElapsedTime(f, sizeClass);
    const int resetW = s(70);
    f.ResetPositionButton->setGeometry(A.right() - pad - resetW, A.top() + ah2 + (ah2 - btnH) / 2, resetW,
                                       btnH);

    // Between A and B: interpolation and output frequency.
    const int midY = A.bottom() + (B.top() - A.bottom() - rowH) / 2;
    f.InterpolationCaption->setGeometry(A.left() + pad, midY, int(aw * 0.22), rowH);
    f.InterpolationBox->setGeometry(A.left() + int(aw * 0.24), midY, int(aw * 0.14), rowH);
    f.FrequencyCaption->setGeometry(A.left() + int(aw * 0.40), midY, int(aw * 0.30), rowH);
    f.FrequencyBox->setGeometry(A.left() + int(aw * 0.72), midY, int(aw * 0.26), rowH);

    // Index and limit lamps in the left column, level with the calibration frame.
    const std::array<std::pair<platform::Lamp *, QLabel *>, 3> lamps = {
        std::pair{f.IndexShape, f.IndexCaption}, std::pair{f.LeftLimitShape, f.LeftLimitCaption},
        std::pair{f.RightLimitShape, f.RightLimitCaption}};
    for (int i = 0; i < 3; ++i) {
        const int y = C.top() + s(6) + i * (lamp + s(14));
        lamps[i].first->setGeometry(colX + pad, y, lamp, lamp);
        lamps[i].second->setGeometry(colX + pad + lamp + pad, y + (lamp - rowH) / 2, colW - lamp - 2 * pad,
                                     rowH);
    }

    // Frame B: operating state texts.
    const int bRow = (B.height() - s(8)) / 3;
    f.StateCaption->setGeometry(B.left() + pad, B.top() + s(4), B.width() - 2 * pad, rowH);
    f.IndexBox->setGeometry(B.left() + pad, B.top() + s(4) + bRow, B.width() - 2 * pad, rowH);
    f.ResolutionBox->setGeometry(B.left() + pad, B.top() + s(4) + 2 * bRow, B.width() - 2 * pad, rowH);
    f.IndexBox->setStyleSheet("color: #00FFFF;");

    // Frame C: calibration check boxes and buttons, alignment buttons.
    const int cRow = (C.height() - s(6)) / 5;
    const int cInner = C.width() - 2 * pad;
    f.CalibrationCaption->setGeometry(C.left() + pad, C.top() + s(3), cInner, rowH);
    const int half = cInner / 2;
    f.CalGOPCheckBox->setGeometry(C.left() + pad, C.top() + s(3) + cRow, half, rowH);
    f.CalIndexCheckBox->setGeometry(C.left() + pad + half, C.top() + s(3) + cRow, half, rowH);
    f.SetLeftLimitCheckBox->setGeometry(C.left() + pad, C.top() + s(3) + 2 * cRow, half, rowH);
    f.SetRightLimitCheckBox->setGeometry(C.left() + pad + half, C.top() + s(3) + 2 * cRow, half, rowH);
    const int third = (cInner - 2 * pad) / 3;
    const int cBtnH = std::min(btnH, cRow - s(8)); // room for the bevels between the two rows
    const int b1y = C.top() + s(3) + 3 * cRow + (cRow - cBtnH) / 2;
    f.StartCalButton->setGeometry(C.left() + pad, b1y, third, cBtnH);
    f.StopCalButton->setGeometry(C.left() + pad + third + pad, b1y, third, cBtnH);
    f.CalSetButton->setGeometry(C.left() + pad + 2 * (third + pad), b1y, third, cBtnH);
    const int b2y = b1y + cRow;
    f.StartAlignButton->setGeometry(C.left() + pad, b2y, third, cBtnH);
    f.StopAlignButton->setGeometry(C.left() + pad + third + pad, b2y, third, cBtnH);

    // Signal bar with its zone markers, right of the words "Optimal" and "Poor".
    const QSize marker(s(12), s(16));
    const int barW = s(24);
    const int leftMarkerX = d.optimalText.x + m.rotatedLineHeight + s(4);
    const int barX = leftMarkerX + marker.width() + s(2);
    const int rightMarkerX = barX + barW + s(2);
    f.SignalBar->setGeometry(barX, m.barTop, barW, m.barHeight);
    f.SignalBar->setPixmap(QPixmap::fromImage(platform::SignalBarImage(QSize(barW, m.barHeight))));
    // The caption stands above both the bar and the rotated word "Optimal".
    QFont rotated("Arial");
    rotated.setWeight(QFont::DemiBold);
    rotated.setPixelSize(m.rotatedLineHeight);
    const int optimalTop = d.optimalText.y - QFontMetrics(rotated).horizontalAdvance("Optimal");
    const int captionY = std::min(m.barTop, optimalTop) - rowH - s(8);
    f.SignalCaption->setGeometry(barX + barW / 2 - s(60), captionY, s(120), rowH);
    auto placeZone = [&](QLabel *l, QLabel *r, double centre) {
        const int y = m.barTop + int(m.barHeight * centre) - marker.height() / 2;
        l->setGeometry(leftMarkerX, y, marker.width(), marker.height());
        r->setGeometry(rightMarkerX, y, marker.width(), marker.height());
    };
    placeZone(f.greenleft, f.greenright, 0.25);
    placeZone(f.darkgreenleft, f.darkgreenright, 0.08);
    placeZone(f.yellowleft, f.yellowright, 0.625);
    placeZone(f.redleft, f.redright, 0.875);

    // Alarm lamps right of the bar.
    const int alarmX = rightMarkerX + marker.width() + s(14);
    const int classWidth = sizeClass == kpd::LayoutSmall ? 800 : sizeClass == kpd::LayoutLarge ? 1280 : 1014;
    const int alarmCapW = std::min(s(110), classWidth - (alarmX + lamp + pad) - 4);
    const std::array<std::pair<platform::Lamp *, QLabel *>, 3> alarms = {
        std::pair{f.OverSignalShape, f.OverSignalCaption}, std::pair{f.YellowShape, f.YellowCaption},
        std::pair{f.RedShape, f.RedCaption}};
    for (int i = 0; i < 3; ++i) {
        const int y = m.barTop + s(10) + i * s(44);
        alarms[i].first->setGeometry(alarmX, y, lamp, lamp);
        alarms[i].second->setGeometry(alarmX + lamp + pad, y + (lamp - rowH) / 2, alarmCapW, rowH);
    }
    f.ResetAlarmsButton->setGeometry(alarmX, m.barTop + s(150), s(70), btnH);
    f.AlarmHistoryButton->setGeometry(alarmX, m.barTop + s(186), s(70), btnH);

    // Plot-mode controls (hidden in the status display) get their places from the plot layouts.
    const int plot = plotSize;
    f.GraphBox->setGeometry(sizeClass == kpd::LayoutSmall   ? 408
                            : sizeClass == kpd::LayoutLarge ? 596
                                                            : 456,
                            148, plot, plot);
    f.GraphBox->ResizeCanvas(plot, plot);
    f.PlotTypeGroup->setGeometry(colX, C.top(), colW, s(100));
    const int dataY = C.bottom() - btnH;
    f.AcquireButton->setGeometry(colX, dataY - 3 * (btnH + s(6)), colW, btnH);
    f.StopButton->setGeometry(colX, dataY - 2 * (btnH + s(6)), colW, btnH);
    f.ReviewButton->setGeometry(colX, dataY - (btnH + s(6)), colW, btnH);
    f.FastButton->setGeometry(colX, dataY, colW, btnH);
}

void PlaceStatusElapsedTime(MainFormControls &f, int sizeClass) {
    const ClassMetrics m = MetricsFor(sizeClass);
    const QRect A = Frame(kpd::StatusDecorationsFor(sizeClass).frames[0]);
    auto s = [&](double v) { return static_cast<int>(std::lround(v * m.scale)); };
    const int aw = A.width();
    const int ah2 = A.height() / 2;
    f.TimeCaption->setGeometry(A.left() + s(8), A.top() + ah2 + s(2), int(aw * 0.28), ah2 - s(4));
    f.TimeText2->setGeometry(A.left() + int(aw * 0.30), A.top() + ah2 + s(2), int(aw * 0.2), ah2 - s(4));
    f.TimeCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    f.TimeText2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void DrawBevel(QPainter &p, QWidget *control, bool raised) {
    const QRect g = control->geometry();
    const kpd::PaintRect bounds{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    for (const kpd::PaintSegment &s : kpd::ControlBevel(bounds, raised)) {
        p.setPen(QPen(QColor(s.colour.r, s.colour.g, s.colour.b), 1, Qt::SolidLine));
        p.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
    }
}

void PaintStatusDecorations(const MainFormControls &f, const QWidget &window, QPainter &p, int layoutClass,
                            const QFont &rotatedFont, const kpd::StatusView &v) {
    const kpd::StatusDecorations &d = kpd::StatusDecorationsFor(layoutClass);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::SolidLine));
    p.setBrush(Qt::NoBrush);
    for (const kpd::PaintRect &r : d.frames)
        p.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)));
    p.setPen(Qt::white);
    p.setFont(rotatedFont);
    platform::DrawRotatedText(p, QPoint(d.optimalText.x, d.optimalText.y), QString::fromLatin1("Optimal"));
    platform::DrawRotatedText(p, QPoint(d.poorText.x, d.poorText.y), QString::fromLatin1("Poor"));
    for (QToolButton *b :
         {f.ResetPositionButton, f.StartCalButton, f.StopCalButton, f.SetInterpolationButton})
        DrawBevel(p, b, b->isVisibleTo(&window));
    // The alignment and Set buttons follow the operating state: a black bevel erases the frame of a
    // button the state has hidden.
    DrawBevel(p, f.StartAlignButton,
              v.StartAlignButton.raisedBevel && f.StartAlignButton->isVisibleTo(&window));
    DrawBevel(p, f.StopAlignButton, v.StopAlignButton.raisedBevel && f.StopAlignButton->isVisibleTo(&window));
    DrawBevel(p, f.CalSetButton, v.CalSetButton.raisedBevel && f.CalSetButton->isVisibleTo(&window));
}

void ShowStatusView(MainFormControls &f, const kpd::StatusView &v, bool statusDisplayShown) {
    f.IndexShape->setBrushColor(ToQColor(v.IndexShape));
    f.LeftLimitShape->setBrushColor(ToQColor(v.LeftLimitShape));
    f.RightLimitShape->setBrushColor(ToQColor(v.RightLimitShape));
    f.YellowShape->setBrushColor(ToQColor(v.YellowShape));
    f.RedShape->setBrushColor(ToQColor(v.RedShape));
    f.OverSignalShape->setBrushColor(ToQColor(v.OverSignalShape));
    f.IndexBox->setText(QString::fromStdString(v.IndexBox));
    f.ResolutionBox->setText(QString::fromStdString(v.ResolutionBox));
    // The font colour goes through the palette: a style sheet changed at run time re-polishes the label
    // and drops the font of the layout class for the application's default font. Only a change is set
    // (samples arrive ~20 times a second).
    const QColor colour = ToQColor(v.ResolutionBoxFont);
    if (f.ResolutionBox->palette().color(QPalette::WindowText) != colour) {
        QPalette p = f.ResolutionBox->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(g, QPalette::WindowText, colour);
        f.ResolutionBox->setPalette(p);
    }
    if (statusDisplayShown) {
        f.ResolutionBox->setVisible(v.ResolutionBoxVisible);
        ApplyButton(f.StartCalButton, v.StartCalButton);
        ApplyButton(f.StopCalButton, v.StopCalButton);
        ApplyButton(f.StartAlignButton, v.StartAlignButton);
        ApplyButton(f.StopAlignButton, v.StopAlignButton);
        ApplyButton(f.CalSetButton, v.CalSetButton);
        f.greenleft->setVisible(v.markers.green);
        f.greenright->setVisible(v.markers.green);
        f.yellowleft->setVisible(v.markers.yellow);
        f.yellowright->setVisible(v.markers.yellow);
        f.redleft->setVisible(v.markers.red);
        f.redright->setVisible(v.markers.red);
        f.darkgreenleft->setVisible(v.markers.darkGreen);
        f.darkgreenright->setVisible(v.markers.darkGreen);
    }
}
