#include "widgets/Lamp.h"

#include <QPaintEvent>
#include <QPainter>

namespace platform {

Lamp::Lamp(QWidget *parent, QColor brush) : QWidget(parent), brush_(brush) {}

void Lamp::setBrushColor(const QColor &color) {
    if (color == brush_) return;
    brush_ = color;
    update();
}

void Lamp::setPenColor(const QColor &color) {
    if (color == pen_) return;
    pen_ = color;
    update();
}

void Lamp::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(pen_, 1));
    painter.setBrush(brush_);
    painter.drawEllipse(rect().adjusted(0, 0, -1, -1));
}

} // namespace platform
