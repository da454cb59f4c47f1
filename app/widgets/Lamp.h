#pragma once
// A lamp: a small widget painting a filled ellipse over its whole area with a brush colour and a thin
// outline (the shapes of the designed windows: index, limit and signal lamps). The creator sets the
// objectName (e.g. "IndexShape").

#include <QColor>
#include <QWidget>

namespace platform {

class Lamp : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor brushColor READ brushColor WRITE setBrushColor)
public:
    explicit Lamp(QWidget *parent = nullptr, QColor brush = QColor(0x80, 0x80, 0x80));

    QColor brushColor() const { return brush_; }
    void setBrushColor(const QColor &color); // repaints when the colour changes

    QColor penColor() const { return pen_; }
    void setPenColor(const QColor &color);

    QSize sizeHint() const override { return QSize(20, 20); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor brush_;
    QColor pen_{Qt::black};
};

} // namespace platform
