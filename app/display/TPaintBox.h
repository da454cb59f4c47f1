#pragma once

#include <QImage>
#include <QWidget>

// The plot area: a widget that owns an image. Drawing goes into the image, and the paint event blits
// it, so incremental drawing persists between paints.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget *parent = nullptr);
    QImage &Canvas() { return canvas_; }
    void ResizeCanvas(int w, int h);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage canvas_;
};
