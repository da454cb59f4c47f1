#include "widgets/Logo.h"

#include "widgets/JpegDecoder.h"

#include <QPainter>
#include <QPolygon>

#include <cstddef>

namespace platform {
namespace embedded {
extern const unsigned char LargeLogo[];
extern const std::size_t LargeLogo_Size;
extern const unsigned char SmallLogo[];
extern const std::size_t SmallLogo_Size;
} // namespace embedded

std::span<const unsigned char> LargeLogoJpeg() {
    return {embedded::LargeLogo, embedded::LargeLogo_Size};
}
std::span<const unsigned char> SmallLogoJpeg() {
    return {embedded::SmallLogo, embedded::SmallLogo_Size};
}

QImage LargeLogo() {
    return DecodeJpeg(LargeLogoJpeg());
}
QImage SmallLogo() {
    return DecodeJpeg(SmallLogoJpeg());
}

QColor ZoneRgb(ZoneColor color) {
    switch (color) {
    case ZoneColor::Green:
        return QColor(0x00, 0xFF, 0x00);
    case ZoneColor::Yellow:
        return QColor(0xFF, 0xFF, 0x00);
    case ZoneColor::Red:
        return QColor(0xFF, 0x00, 0x00);
    case ZoneColor::DarkGreen:
        return QColor(0x00, 0x80, 0x00);
    }
    return QColor(Qt::black);
}

QImage ZoneMarker(ZoneColor color, MarkerSide side, QSize size) {
    if (size.width() <= 0 || size.height() <= 0) return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const int w = size.width() - 1;
    const int h = size.height() - 1;
    // Drawn pointing right; the right-hand marker is its mirror image, so the pair is symmetric.
    QPolygon triangle;
    triangle << QPoint(0, 0) << QPoint(w, h / 2) << QPoint(0, h);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(ZoneRgb(color));
        painter.setBrush(ZoneRgb(color));
        painter.drawPolygon(triangle);
    }
    if (side == MarkerSide::Right) image = image.mirrored(true, false);
    return image;
}

QImage SignalBarImage(QSize size) {
    if (size.width() < 3 || size.height() < 4) return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white); // the outline
    const int w = size.width();
    const int h = size.height();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    const auto band = [&](int top, int bottom, ZoneColor color) {
        const int y0 = std::max(top, 1);
        const int y1 = std::min(bottom, h - 1);
        if (y1 > y0) painter.fillRect(QRect(1, y0, w - 2, y1 - y0), ZoneRgb(color));
    };
    band(0, h / 2, ZoneColor::Green);
    band(h / 2, (3 * h) / 4, ZoneColor::Yellow);
    band((3 * h) / 4, h, ZoneColor::Red);
    return image;
}

} // namespace platform
