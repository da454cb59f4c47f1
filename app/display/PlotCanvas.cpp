#include "display/PlotCanvas.h"

#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRectF>

#include <algorithm>

namespace kpd {

namespace {

// A painter on the plot image without antialiasing. Each primitive paints with a painter of its own, so no
// pen or brush carries over from one call to the next.
class PlotPainter : public QPainter {
public:
    explicit PlotPainter(QImage &image) : QPainter(&image) {
        if (isActive()) setRenderHint(QPainter::Antialiasing, false);
    }
};

QColor Colour(uint32_t rgb) {
    return QColor(QRgb(rgb));
}

QPen SolidPen(uint32_t rgb, int width) {
    return QPen(QBrush(Colour(rgb)), width, Qt::SolidLine);
}

QPen DottedPen(uint32_t rgb) {
    return QPen(QBrush(Colour(rgb)), 2, Qt::DotLine);
}

// A point of the plots: a dotted 2-pixel line from (x, y) to (x + 1, y + dy).
void PaintPoint(QPainter &p, uint32_t rgb, int x, int y, int dy = 1) {
    p.setPen(DottedPen(rgb));
    p.drawLine(QPoint(x, y), QPoint(x + 1, y + dy));
}

void PaintGrid(QPainter &p, int w, int h) {
    p.setPen(SolidPen(plotcolour::Olive, 1));
    for (int i = 1; i <= 7; ++i) {
        const int x = plot::GridLine(i, w);
        p.drawLine(QPoint(x, 0), QPoint(x, h - 1));
    }
    for (int j = 1; j <= 7; ++j) {
        const int y = plot::GridLine(j, h);
        p.drawLine(QPoint(0, y), QPoint(w - 1, y));
    }
}

// The grid and, when shown, the indicator circles. The buttons beside the plot draw their own frames, so
// the frame of the plot is only what lies inside the image.
void PaintLissajousFrame(QPainter &p, const PlotLook &look, int w, int h) {
    PaintGrid(p, w, h);
    if (!look.showCircles) return;
    p.setPen(SolidPen(plotcolour::Green, 2));
    p.setBrush(Qt::NoBrush);
    const auto circles = plot::IndicatorCircles(h, look.generation, look.firmwareVersion, look.minimumCircle,
                                                look.maximumCircle);
    for (const plot::Ellipse &e : circles) {
        // The outline passes through the corner columns and rows: left and right, top and bottom are
        // both on the circle (diameter right - left), not one past it as with a QRect.
        p.drawEllipse(QRectF(QPointF(e.left, e.top), QPointF(e.right, e.bottom)));
    }
}

// The two points of a sample. Both axes use the height: the encoder-signal plot is square.
void PaintLissajousPoints(QPainter &p, const PlotLook &look, int h, bool erase, const LissajousSample &s) {
    const int x1 = plot::SignalToPixel(s.x1, h);
    const int y1 = plot::SignalToPixel(s.y1, h);
    const int x2 = plot::SignalToPixel(s.x2, h);
    const int y2 = plot::SignalToPixel(s.y2, h);
    if (erase) {
        PaintPoint(p, plotcolour::Black, x1, y1);
        PaintPoint(p, plotcolour::Black, x2, y2);
        return;
    }
    if (look.encoderPlotType != 1) PaintPoint(p, plotcolour::Red, x1, y1);
    PaintPoint(p, plotcolour::Lime, x2, y2);
}

void PaintSegment(QPainter &p, uint32_t rgb, int x0, int y0, int x1, int y1) {
    p.setPen(SolidPen(rgb, 1));
    p.drawLine(QPoint(x0, y0), QPoint(x1, y1));
}

bool Inside(int32_t v, plot::IntRange r) {
    return v >= r.lo && v <= r.hi;
}
bool Inside(float v, plot::FloatRange r) {
    return v >= r.lo && v <= r.hi;
}

} // namespace

PlotCanvas::PlotCanvas(QImage &image, const PlotLook &look, PlotLabels *labels)
    : image_(image), look_(look), labels_(labels) {}

// ---- Plot background ----

void PlotCanvas::DrawGrid() {
    PlotPainter p(image_);
    if (!p.isActive()) return;
    PaintGrid(p, Width(), Height());
}

void PlotCanvas::DrawLissajousFrame() {
    PlotPainter p(image_);
    if (!p.isActive()) return;
    PaintLissajousFrame(p, look_, Width(), Height());
}

void PlotCanvas::ClearPlot() {
    if (image_.isNull()) return;
    image_.fill(Colour(plotcolour::Black));
}

void PlotCanvas::ClearAndGrid() {
    ClearPlot();
    DrawGrid();
}

void PlotCanvas::ClearAndLissajousFrame() {
    ClearPlot();
    DrawLissajousFrame();
}

// ---- Encoder signal ----

void PlotCanvas::DrawLissajousPoints(bool erase, const LissajousSample &s) {
    PlotPainter p(image_);
    if (!p.isActive()) return;
    PaintLissajousPoints(p, look_, Height(), erase, s);
}

void PlotCanvas::DrawLissajousSample(bool erase, const LissajousSample &s, float elapsed) {
    if (erase) {
        DrawLissajousPoints(true, s);
        return;
    }
    {
        PlotPainter p(image_);
        if (p.isActive()) {
            PaintLissajousFrame(p, look_, Width(), Height());
            PaintLissajousPoints(p, look_, Height(), false, s);
        }
    }
    ShowElapsedTime(elapsed);
}

void PlotCanvas::DrawLissajousBatch(bool erase, const std::array<LissajousSample, 5> &previous,
                                    const std::array<LissajousSample, 5> &next, float elapsed,
                                    int eraseCount) {
    {
        PlotPainter p(image_);
        if (p.isActive()) {
            if (erase) {
                const auto count = std::size_t(std::clamp(eraseCount, 0, 5));
                for (std::size_t i = 0; i < count; ++i)
                    PaintLissajousPoints(p, look_, Height(), true, previous[i]);
            }
            PaintLissajousFrame(p, look_, Width(), Height());
            for (const LissajousSample &s : next)
                PaintLissajousPoints(p, look_, Height(), false, s);
        }
    }
    ShowElapsedTime(elapsed);
}

// ---- Signal strength against position ----

int PlotCanvas::DrawStrengthPoint(int32_t position, int32_t strength, float elapsed, int32_t maximum,
                                  int32_t minimum) {
    const int w = Width();
    const int h = Height();
    const int height = plot::StrengthHeight(strength, h);
    const int x = plot::StrengthX(position, minimum, maximum, w);
    {
        PlotPainter p(image_);
        if (p.isActive()) {
            if (look_.generation <= 2) {
                const plot::ReferenceLines lines = plot::StrengthReferenceLines(look_.layoutClass);
                p.setPen(SolidPen(plotcolour::Green, 2));
                p.drawLine(QPoint(0, lines.y1), QPoint(lines.length, lines.y1));
                p.drawLine(QPoint(0, lines.y2), QPoint(lines.length, lines.y2));
            }
            PaintPoint(p, plotcolour::Lime, x, h - height, -1);
        }
    }
    ShowElapsedTime(elapsed);
    return height;
}

void PlotCanvas::RedrawStrengthPoints(std::span<const int32_t> positions, std::span<const int> heights,
                                      int32_t maximum, int32_t minimum) {
    PlotPainter p(image_);
    if (!p.isActive()) return;
    const int w = Width();
    const int h = Height();
    const std::size_t n = std::min(positions.size(), heights.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = plot::StrengthRedrawX(positions[i], minimum, maximum, w);
        PaintPoint(p, plotcolour::Lime, x, h - heights[i]);
    }
}

// ---- Tick labels ----

void PlotCanvas::SetPositionTickLabels(float minimum, float maximum) {
    if (labels_) labels_->SetXTickTexts(plot::PositionTickTexts(minimum, maximum));
}

void PlotCanvas::SetTimeTickLabels(float start, float end) {
    if (labels_) labels_->SetXTickTexts(plot::TimeTickTexts(start, end));
}

void PlotCanvas::SetSignalPlotTickLabels(plot::IntRange position, plot::FloatRange second,
                                         plot::IntRange strength) {
    if (!labels_) return;
    switch (look_.positionPlotType) {
    case 0:
    case 3:
        labels_->SetYTickTexts(false, plot::RangeTickTexts(position.lo, position.hi), plotcolour::Lime);
        labels_->SetYTickTexts(true, plot::RangeTickTexts(second.lo, second.hi), plotcolour::Red);
        break;
    case 1:
        labels_->SetYTickTexts(false, {"0%", "25%", "50%", "75%", "100%"}, plotcolour::Yellow);
        SetPositionTickLabels(float(position.lo), float(position.hi));
        break;
    case 2:
        labels_->SetYTickTexts(false, plot::RangeTickTexts(strength.lo, strength.hi), plotcolour::Yellow);
        break;
    default:
        break;
    }
}

// ---- Signal plots against time ----

void PlotCanvas::DrawSignalSample(const SignalStep &step) {
    const int w = Width();
    const int h = Height();
    ShowElapsedTime(step.elapsed);
    const int x = plot::TimeToX(step.time, step.windowStart, step.span, w);
    const int xPrevious = plot::TimeToX(step.previousTime, step.windowStart, step.span, w);

    switch (look_.positionPlotType) {
    case 0: {
        if (step.fixedRanges && !Inside(step.position.current, step.position.range)) return;
        PlotPainter p(image_);
        if (!p.isActive()) return;
        PaintSegment(p, plotcolour::Lime, xPrevious,
                     plot::TraceToY(step.position.previous, step.position.range, h), x,
                     plot::TraceToY(step.position.current, step.position.range, h));
        break;
    }
    case 1: {
        // Strength against position: the position gives the column, the strength the height of the mark.
        const plot::IntRange range = plot::WidenEmpty(step.position.range);
        const int column = plot::StrengthX(step.position.current, range.lo, range.hi, w);
        const int mark = plot::SignalStrengthMarkHeight(step.strength.current, h);
        ShowElapsedTime(step.elapsed);
        PlotPainter p(image_);
        if (!p.isActive()) return;
        PaintPoint(p, plotcolour::Yellow, column, h - mark);
        break;
    }
    case 3: {
        if (step.fixedRanges &&
            !(Inside(step.position.current, step.position.range) &&
              Inside(step.second.current, step.second.range) && Inside(step.third.current, step.third.range)))
            return;
        PlotPainter p(image_);
        if (!p.isActive()) return;
        PaintSegment(p, plotcolour::Lime, xPrevious,
                     plot::TraceToY(step.position.previous, step.position.range, h), x,
                     plot::TraceToY(step.position.current, step.position.range, h));
        PaintSegment(p, plotcolour::Red, xPrevious,
                     plot::TraceToY(step.second.previous, step.second.range, h), x,
                     plot::TraceToY(step.second.current, step.second.range, h));
        PaintSegment(p, plotcolour::Aqua, xPrevious, plot::TraceToY(step.third.previous, step.third.range, h),
                     x, plot::TraceToY(step.third.current, step.third.range, h));
        break;
    }
    default:
        break;
    }
}

void PlotCanvas::RedrawSignalTraces(std::span<const float> times, std::span<const int32_t> values,
                                    plot::IntRange range, float windowStart, float span) {
    const int type = look_.positionPlotType;
    if (type != 0 && type != 3) return;
    const std::size_t n = std::min(times.size(), values.size());
    if (n == 0) return;
    const int w = Width();
    const int h = Height();
    // Entry 0 starts the line at the left edge, at the height of the first stored value.
    QPolygon points(int(n + 1));
    points[0] = QPoint(0, plot::TraceToY(values[0], range, h));
    for (std::size_t i = 0; i < n; ++i)
        points[int(i + 1)] =
            QPoint(plot::TimeToX(times[i], windowStart, span, w), plot::TraceToY(values[i], range, h));

    PlotPainter p(image_);
    if (!p.isActive()) return;
    p.setPen(type == 0 ? SolidPen(plotcolour::Lime, 1) : DottedPen(plotcolour::Lime));
    p.drawPolyline(points);
}

void PlotCanvas::ShowElapsedTime(float seconds) {
    if (labels_) labels_->ShowElapsedText(plot::ElapsedText(seconds));
}

} // namespace kpd
