// PlotCanvas: the drawing primitives of the plot area. They draw into the image the plot area shows, so
// what was drawn stays until it is erased or cleared; the widget only copies the image when it paints.
// Every primitive reads the current width W and height H of the image and paints without antialiasing
// with a painter of its own, so no pen or brush carries over from one call to the next. Text outputs
// (elapsed time, tick labels) go to a PlotLabels (may be null: no texts).
//
// User-interface thread only (the image belongs to the plot widget).
#pragma once

#include "display/PlotArithmetic.h"
#include "display/PlotLabels.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <span>

namespace kpd {

// Colours of the plots (0xRRGGBB).
namespace plotcolour {
constexpr uint32_t Black = 0x000000, Olive = 0x808000, Green = 0x008000, Lime = 0x00FF00, Red = 0xFF0000,
                   Yellow = 0xFFFF00, Aqua = 0x00FFFF, White = 0xFFFFFF;
}

// What the primitives draw depends on: the electronics and the user's plot settings.
struct PlotLook {
    int generation = 3;        // electronics generation 0..7 (0..2: the earlier generation)
    int firmwareVersion = 0;   // controller firmware version (ReadMSPVersion at connection)
    bool showCircles = false;  // draw the indicator circles
    float minimumCircle = 0.187f;
    float maximumCircle = 0.575f;
    int encoderPlotType = 2;   // 0 and 2: both pairs; 1: the adjusted pair only
    int positionPlotType = 0;  // 0 position, 1 strength against position, 3 three traces
    int layoutClass = 1;       // 0 small, 1 medium, 2 large (reference lines of the strength plot)
};

// One encoder-signal sample as the primitives take it: point 1 = (x1, y1), point 2 = (x2, y2), each a
// 12-bit sample word. The plots pass point 1 = (XAdc, YAdc) and point 2 = (XAdcAdj, YAdcAdj).
struct LissajousSample {
    uint16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const LissajousSample &) const = default;
};

// One trace of a signal-plot step: current and previous value and the trace's range.
struct IntTraceStep {
    int32_t current = 0, previous = 0;
    plot::IntRange range;
};
struct FloatTraceStep {
    float current = 0.0f, previous = 0.0f;
    plot::FloatRange range;
};

// One step of the signal plots: the position trace, the second (float) trace, the third trace and the
// strength, the current and previous time, the window start and span, the fixed-range flag and the elapsed
// time shown.
struct SignalStep {
    IntTraceStep position;
    FloatTraceStep second;
    IntTraceStep third;
    IntTraceStep strength;
    float time = 0.0f, previousTime = 0.0f;
    float windowStart = 0.0f, span = 8.0f;
    bool fixedRanges = false;
    float elapsed = 0.0f;
};

class PlotCanvas {
public:
    PlotCanvas(QImage &image, const PlotLook &look, PlotLabels *labels = nullptr);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const PlotLook &Look() const { return look_; }
    void SetLook(const PlotLook &look) { look_ = look; }

    // ---- Plot background ----
    void DrawGrid();                // 8 x 8 grid, olive
    void DrawLissajousFrame();      // grid, then the indicator circles when show circles is on
    void ClearPlot();               // black fill
    void ClearAndGrid();            // black fill, grid
    void ClearAndLissajousFrame();  // black fill, frame

    // ---- Encoder signal ----
    // Two points, each a 2-pixel dotted line from (x, y) to (x + 1, y + 1): erase, both black; otherwise,
    // by the encoder plot type, point 1 red then point 2 lime (types 0 and 2) or point 2 lime only (1).
    void DrawLissajousPoints(bool erase, const LissajousSample &s);
    // Erase clear: frame, points, elapsed time. Erase set: only the points, black.
    void DrawLissajousSample(bool erase, const LissajousSample &s, float elapsed);
    // With erase set the five previous samples are erased in order; then the frame, the five new samples
    // and the elapsed time. `eraseCount` (0..5) limits the erase to the first eraseCount previous samples
    // (5 once the trail is full; fewer only while it fills).
    void DrawLissajousBatch(bool erase, const std::array<LissajousSample, 5> &previous,
                            const std::array<LissajousSample, 5> &next, float elapsed, int eraseCount = 5);

    // ---- Signal strength against position ----
    // Reference lines (generation 0..2), then a lime point at the position's x and the strength's height;
    // elapsed time shown. Returns the height for the caller to store.
    int DrawStrengthPoint(int32_t position, int32_t strength, float elapsed, int32_t maximum, int32_t minimum);
    // All stored points (positions and heights of the same length).
    void RedrawStrengthPoints(std::span<const int32_t> positions, std::span<const int> heights, int32_t maximum,
                              int32_t minimum);

    // ---- Tick labels ----
    void SetPositionTickLabels(float minimum, float maximum);
    void SetTimeTickLabels(float start, float end);
    // By position plot type: 0 left lime position range and right red second-trace range; 1 left yellow
    // "0%".."100%" and the X labels from the position range; 2 left yellow from the strength range; 3 (three
    // traces) as 0.
    void SetSignalPlotTickLabels(plot::IntRange position, plot::FloatRange second, plot::IntRange strength);

    // ---- Signal plots against time ----
    // The elapsed time, then by position plot type: 0 the position segment, solid lime; 1 a yellow
    // strength mark at the position's column; 3 the position, second and third segments (lime, red, aqua).
    // With fixed ranges a step is drawn only when its current values lie inside their ranges. Other types
    // draw nothing.
    void DrawSignalSample(const SignalStep &step);
    // All stored points of the window as one polyline (entry 0 at x = 0 and the first value's height): type
    // 0 solid lime, type 3 dotted lime 2 pixels wide, other types nothing. times and values have the same
    // length.
    void RedrawSignalTraces(std::span<const float> times, std::span<const int32_t> values, plot::IntRange range,
                            float windowStart, float span);

    void ShowElapsedTime(float seconds);

private:
    QImage &image_;
    PlotLook look_;
    PlotLabels *labels_;
};

} // namespace kpd
