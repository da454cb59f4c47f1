#include "program/ProgramIcon.h"

#include "widgets/Logo.h"

#include <QPainter>
#include <QPainterPath>

namespace kpd {

QImage ProgramIcon(int size) {
    const QImage logo = platform::LargeLogo();
    if (size < 16 || logo.isNull()) return {};
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // The logo without its dark rounded frame, on its own background colour (taken inside the frame).
    constexpr int kFrame = 6;
    const QImage inner = logo.copy(kFrame, kFrame, logo.width() - 2 * kFrame, logo.height() - 2 * kFrame);
    const QColor background = inner.pixelColor(inner.width() / 2, 2);
    const qreal radius = size / 8.0;
    QPainterPath square;
    square.addRoundedRect(QRectF(0, 0, size, size), radius, radius);
    p.fillPath(square, background);
    // The logo across the square with a small margin; its height follows its proportions.
    const int margin = size / 32;
    const QImage scaled = inner.scaledToWidth(size - 2 * margin, Qt::SmoothTransformation);
    p.drawImage(margin, (size - scaled.height()) / 2, scaled);
    p.end();
    return icon;
}

} // namespace kpd
