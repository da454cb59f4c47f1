#include "widgets/RotatedText.h"

#include <QFontMetrics>
#include <QPainter>

namespace platform {

void DrawRotatedText(QPainter &painter, QPoint origin, const QString &text) {
    painter.save();
    painter.translate(origin);
    painter.rotate(-90.0);
    // In the rotated frame x runs upwards and y to the right; the text's top edge lies on the origin.
    painter.drawText(QPoint(0, painter.fontMetrics().ascent()), text);
    painter.restore();
}

} // namespace platform
