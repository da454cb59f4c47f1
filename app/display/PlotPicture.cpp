#include "display/PlotPicture.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

namespace kpd {

namespace {

constexpr int kFrame = 4;  // the sunken frame around the plot area
constexpr int kTickW = 60; // room of a tick label
constexpr int kTickH = 18;
constexpr int kGap = 6;
constexpr int kTitleH = 22;
constexpr int kReadoutW = 180;
constexpr int kReadoutLineH = 18;

QFont TextFont(int pixels, bool bold) {
    QFont f("Arial");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void Text(QPainter &p, const QRect &r, int flags, const std::string &text, uint32_t rgb) {
    if (text.empty()) return;
    p.setPen(QColor(QRgb(rgb)));
    p.drawText(r, flags, QString::fromStdString(text));
}

} // namespace

QImage RenderPlotPicture(const PlotPictureContent &c) {
    const int w = c.plot.width(), h = c.plot.height();
    const int left = kFrame + kTickW + 2 * kGap;
    const int right = kFrame + kTickW / 2 + kGap; // room for the last X tick label
    const int readout = c.readout.empty() ? 0 : kReadoutW + kGap;
    const int top = 2 * kTitleH + kGap + kFrame;
    const int bottom = kFrame + kGap + kTickH + (c.xTitle.empty() ? 0 : kTitleH) + kGap;
    const int readoutH = int(c.readout.size()) * kReadoutLineH * 2; // room for a wrapped line each
    QImage picture(left + w + right + readout, std::max(top + h + bottom, top + readoutH),
                   QImage::Format_RGB32);
    picture.fill(Qt::black);

    QPainter p(&picture);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // The frame: sunken, dark above and left, light below and right.
    const QRect plot(left, top, w, h);
    p.fillRect(QRect(left - kFrame, top - kFrame, w + 2 * kFrame, h + 2 * kFrame), QColor(0x80, 0x80, 0x80));
    p.fillRect(QRect(left, top + h, w + kFrame, kFrame), Qt::white);
    p.fillRect(QRect(left + w, top, kFrame, h + kFrame), Qt::white);
    p.drawImage(plot.topLeft(), c.plot);

    // Titles: the name, then the description with the trace titles beside it.
    p.setFont(TextFont(16, true));
    Text(p, QRect(left, kGap / 2, w, kTitleH), Qt::AlignCenter, c.name, plotcolour::White);
    p.setFont(TextFont(12, true));
    const QRect line(0, kGap / 2 + kTitleH, picture.width() - readout, kTitleH);
    const int descW =
        std::min(w, p.fontMetrics().horizontalAdvance(QString::fromStdString(c.description)) + 8);
    const int descLeft = left + (w - descW) / 2;
    Text(p, QRect(descLeft, line.top(), descW, line.height()), Qt::AlignCenter, c.description,
         plotcolour::White);
    Text(p, QRect(kGap, line.top(), descLeft - 2 * kGap, line.height()), Qt::AlignLeft | Qt::AlignVCenter,
         c.leftTitle.text, c.leftTitle.rgb);
    Text(
        p,
        QRect(descLeft + descW + kGap, line.top(), line.right() - descLeft - descW - 2 * kGap, line.height()),
        Qt::AlignRight | Qt::AlignVCenter, c.rightTitle.text, c.rightTitle.rgb);

    // Tick labels: along the left edge from the bottom up, along the bottom edge from the left.
    for (int i = 0; i < 5; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const int y = top + h - i * h / 4 - kTickH / 2;
        Text(p, QRect(left - kFrame - kGap - kTickW, y, kTickW, kTickH), Qt::AlignRight | Qt::AlignVCenter,
             c.yLeft[k].text, c.yLeft[k].rgb);
        const int x = left + i * w / 4 - kTickW / 2;
        Text(p, QRect(x, top + h + kFrame + kGap, kTickW, kTickH), Qt::AlignCenter, c.xTicks[k].text,
             c.xTicks[k].rgb);
    }
    Text(p, QRect(left, top + h + kFrame + kGap + kTickH, w, kTitleH), Qt::AlignCenter, c.xTitle,
         plotcolour::White);

    // The fit readout, a line each (a long one wraps).
    int y = top;
    const int x = left + w + right;
    for (const ReadoutLine &l : c.readout) {
        const QRect room(x, y, kReadoutW, 2 * kReadoutLineH);
        const QRect used = p.boundingRect(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                          QString::fromStdString(l.text));
        Text(p, room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, l.text, l.rgb);
        y += std::max(kReadoutLineH, used.height() + 2);
    }
    return picture;
}

} // namespace kpd
