// PlotArithmetic: the numbers behind every plot of the main window, as plain functions. The drawing
// primitives (PlotCanvas) and the plots that feed them (the feeds) use these, and tests call them without a
// window. 32-bit float steps are kept where the plots compute in 32-bit float, so the pixels come out the
// same on every machine.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kpd::plot {

// ---- Encoder signal (Lissajous) ----

// Volts per ADC step of the 12-bit encoder-signal samples: 2.5 V / 2048.
constexpr float VoltsPerStep = 0.0012207031f;

// Pixel of one 12-bit two's-complement sample (low 12 bits of the word) on a square plot of the given
// height: 0x000 is the centre (height div 2), 0x7FF is one past the last row for even heights, 0x800 is 0.
// The vertical axis is not inverted (positive values go down). 16-bit unsigned arithmetic.
uint16_t SignalToPixel(uint16_t sample, int height);
// Steps 3 and 4 of SignalToPixel applied to a voltage.
uint16_t VoltsToPixel(float volts, int height);

// Grid line i (1..7) of the 8 x 8 grid on an axis of `extent` pixels: (i * extent * 10 + 5) div 80.
int GridLine(int i, int extent);

// Corners of an ellipse (here always a circle) as drawn by the plot.
struct Ellipse {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Ellipse &) const = default;
};

// The two indicator circles of a plot of the given height for the electronics: generation 3 or above,
// the circle radii in volts; generation 0..2 with a controller firmware version above 1333, the radii
// times 2.5; generation 0..2 with version 1333 or below, the fixed circles. Circle 1 first.
std::array<Ellipse, 2> IndicatorCircles(int height, int generation, int firmwareVersion, float minimumCircle,
                                        float maximumCircle);

// ---- Signal strength against position ----

// Strength as a percentage of the full scale 721.6, in 32-bit float, clamped at 100.
float StrengthPercent(int32_t strength);
// Height in pixels of a strength point: truncate(floor(0.01 * (height * percent))).
int StrengthHeight(int32_t strength, int height);
// Horizontal pixel of a position on [minimum, maximum]: truncate((position - minimum) / (maximum -
// minimum) * width). The caller passes a non-empty range.
int StrengthX(int32_t position, int32_t minimum, int32_t maximum, int width);
// The same as RedrawStrengthPoints computes it: k = width / (maximum - minimum) in 32-bit float, then
// truncate((position - minimum) * k).
int StrengthRedrawX(int32_t position, int32_t minimum, int32_t maximum, int width);

// The two reference lines drawn for electronics of generation 0..2, per layout size class (0 small,
// 1 medium, 2 large): at y1 and y2, from x = 0 to x = length.
struct ReferenceLines {
    int y1 = 0, y2 = 0, length = 0;
};
ReferenceLines StrengthReferenceLines(int layoutClass);

// Signal-strength mark of the signal plots (position plot type 1): full scale 215, kept inside the plot
// (heights above the plot height are clamped to it, negative strengths to 0).
int SignalStrengthMarkHeight(int32_t strength, int height);

// ---- Ranges ----

struct IntRange {
    int32_t lo = 0, hi = 0;
    bool operator==(const IntRange &) const = default;
};
struct FloatRange {
    float lo = 0.0f, hi = 0.0f;
    bool operator==(const FloatRange &) const = default;
};

// Range of the signal-plot traces, auto scale. Start around the first value p of a run: p >= 1:
// [truncate(0.95 p), truncate(1.05 p)]; p = 0: [-1, 1]; p < 0: [truncate(1.05 p), truncate(0.95 p)]; and
// at least 4 counts wide (hi = lo + 4). (For 0 < p < 1, impossible for an integer, the p < 0 branch's
// mirror is not needed.)
IntRange StartTraceRange(int32_t p);
// A value outside the range widens it 5 % past the value (above hi: hi = truncate(1.05 p) if p >= 1,
// else truncate(0.95 p); below lo: lo = truncate(0.95 p) if p >= 0, else truncate(1.05 p)). Returns true
// when the range changed.
bool GrowTraceRange(IntRange &range, int32_t p);
// The float trace: starts at [0.95 q, 1.05 q] (ordered by sign) and widens by 1.05/0.95 by sign.
FloatRange StartTraceRange(float q);
bool GrowTraceRange(FloatRange &range, float q);

// Position range of the strength plot, auto scale. Restart around p (truncating toward zero): p > 0:
// [p - 0.05 p, p + 0.05 p]; p < 0: [p + 0.05 p, p - 0.05 p]; p = 0: [-1, 1].
IntRange StartPositionRange(int32_t p);
// Above the maximum: maximum = truncate(1.05 p) (0.95 p when p <= 0); below the minimum: minimum =
// truncate(1.05 p) (0.95 p when p >= 0). Returns true when the range changed.
bool GrowPositionRange(IntRange &range, int32_t p);

// An empty range widened before mapping: hi = lo + 1 (integer) or hi = lo + 0.1 (float).
IntRange WidenEmpty(IntRange range);
FloatRange WidenEmpty(FloatRange range);

// ---- Signal plots against time ----

// x = truncate(floor(width * (t - t0) / span)).
int TimeToX(float t, float t0, float span, int width);
// y = truncate(height - height / (hi - lo) * (v - lo)) after widening an empty range.
int TraceToY(int32_t v, IntRange range, int height);
int TraceToY(float v, FloatRange range, int height);

// ---- Tick labels ----

// The five tick values at 0, 25, 50, 75 and 100 % of [lo, hi]; the first is lo and the last hi exactly.
std::array<double, 5> TickValues(double lo, double hi);
// The five texts of XValue5 (index 0, left) ... XValue1 (index 4, right) of the strength plot:
// lo = floor(minimum), hi = floor(maximum), general format with up to 7 significant digits.
std::array<std::string, 5> PositionTickTexts(float minimum, float maximum);
// The signal plots' time axis: fixed-point, no decimals; index 0 = start (left).
std::array<std::string, 5> TimeTickTexts(float start, float end);
// Fixed-point, no decimals; index 0 = lo (bottom), 4 = hi (top).
std::array<std::string, 5> RangeTickTexts(double lo, double hi);

// ---- Texts ----

// Elapsed seconds with one decimal, as TimeText2 shows them.
std::string ElapsedText(float seconds);

} // namespace kpd::plot
