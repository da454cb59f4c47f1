#include "display/TPaintBox.h"

#include <QPainter>

TPaintBox::TPaintBox(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    ResizeCanvas(400, 400);
}

void TPaintBox::ResizeCanvas(int w, int h) {
    if (w <= 0 || h <= 0) return;
    if (canvas_.size() == QSize(w, h)) return;
    canvas_ = QImage(w, h, QImage::Format_RGB32);
    canvas_.fill(Qt::black);
}

void TPaintBox::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, canvas_);
}
