#pragma once
// Text drawn rotated by 90 degrees counter-clockwise (a font with escapement 900): it reads upwards.
// `origin` is the text's top-left corner as for unrotated text, so the text occupies the columns
// [origin.x, origin.x + line height) and the rows (origin.y - text width, origin.y].

#include <QPoint>
#include <QString>

class QPainter;

namespace platform {

void DrawRotatedText(QPainter &painter, QPoint origin, const QString &text);

} // namespace platform
