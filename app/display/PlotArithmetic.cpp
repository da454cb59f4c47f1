#include "display/PlotArithmetic.h"

#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kpd::plot {

namespace {

// Truncation toward zero into an int, saturating at the int range (NaN gives 0). The products below are
// formed in double: a float times a float or an int32 is exact there, so the truncation sees the exact
// value the plots compute, and 1.05 p and 0.95 p truncate to the integer part of the exact product.
int TruncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(value);
}

int32_t Percent105(int32_t p) {
    return TruncToInt(1.05 * double(p));
}
int32_t Percent95(int32_t p) {
    return TruncToInt(0.95 * double(p));
}

// Full scale of the strength plot: percent = strength * 0.0013858093 * 100 (strength 721.6 is 100 %).
constexpr double StrengthPerCount = 0.0013858093;

// Full scale of the signal plots' strength marks.
constexpr int64_t SignalStrengthFullScale = 215;

} // namespace

uint16_t SignalToPixel(uint16_t sample, int height) {
    // 16-bit arithmetic: 0x000 -> 0, 0x7FF -> 2047, 0x800 -> -2048, 0xFFF -> -1. Only the low 12 bits
    // carry the sample.
    const auto n = int16_t(uint16_t(((sample & 0x0FFFu) ^ 0x0800u) - 2048u));
    const float v = float(n) * VoltsPerStep;
    return VoltsToPixel(v, height);
}

uint16_t VoltsToPixel(float volts, int height) {
    const auto half = uint16_t(height / 2);
    const auto scale = float(double(half) * 0.4);
    const double scaled = double(volts) * double(scale) + (volts >= 0.0f ? 0.5 : -0.5);
    return uint16_t(uint16_t(TruncToInt(scaled)) + half);
}

int GridLine(int i, int extent) {
    return (i * extent * 10 + 5) / 80;
}

std::array<Ellipse, 2> IndicatorCircles(int height, int generation, int firmwareVersion, float minimumCircle,
                                        float maximumCircle) {
    const auto circle = [height](float radius) {
        const int lo = VoltsToPixel(-radius, height);
        const int hi = VoltsToPixel(radius, height);
        return Ellipse{lo, lo, hi, hi};
    };
    if (generation >= 3) return {circle(minimumCircle), circle(maximumCircle)};
    if (firmwareVersion > 1333) return {circle(minimumCircle * 2.5f), circle(maximumCircle * 2.5f)};
    // Earlier controller firmware: fixed circles at 35.6 % and 3.1 % of the height from the edges.
    const int a = TruncToInt(double(height) * 0.356);
    const int b = TruncToInt(double(height) * 0.031);
    return {Ellipse{a, a, height - a, height - a}, Ellipse{b, b, height - b, height - b}};
}

float StrengthPercent(int32_t strength) {
    const auto percent = float(double(strength) * StrengthPerCount * 100.0);
    return percent > 100.0f ? 100.0f : percent;
}

int StrengthHeight(int32_t strength, int height) {
    const float percent = StrengthPercent(strength);
    return TruncToInt(std::floor(0.01 * (double(height) * double(percent))));
}

int StrengthX(int32_t position, int32_t minimum, int32_t maximum, int width) {
    const double offset = double(position) - double(minimum);
    const double extent = double(maximum) - double(minimum);
    return TruncToInt(offset / extent * double(width));
}

int StrengthRedrawX(int32_t position, int32_t minimum, int32_t maximum, int width) {
    const auto k = float(double(width) / (double(maximum) - double(minimum)));
    return TruncToInt((double(position) - double(minimum)) * double(k));
}

ReferenceLines StrengthReferenceLines(int layoutClass) {
    switch (std::clamp(layoutClass, 0, 2)) {
    case 0:
        return {20, 230, 400};
    case 1:
        return {25, 287, 500};
    default:
        return {33, 357, 640};
    }
}

int SignalStrengthMarkHeight(int32_t strength, int height) {
    const int64_t h = int64_t(height) * int64_t(strength) / SignalStrengthFullScale;
    return int(std::clamp<int64_t>(h, 0, std::max(height, 0)));
}

IntRange StartTraceRange(int32_t p) {
    IntRange r;
    if (p >= 1) {
        r = {Percent95(p), Percent105(p)};
    } else if (p == 0) {
        r = {-1, 1};
    } else {
        r = {Percent105(p), Percent95(p)};
    }
    if (int64_t(r.hi) - int64_t(r.lo) < 4) r.hi = TruncToInt(double(r.lo) + 4.0);
    return r;
}

bool GrowTraceRange(IntRange &range, int32_t p) {
    const IntRange before = range;
    if (p > range.hi) range.hi = p >= 1 ? Percent105(p) : Percent95(p);
    if (p < range.lo) range.lo = p >= 0 ? Percent95(p) : Percent105(p);
    return range != before;
}

FloatRange StartTraceRange(float q) {
    const auto low = float(0.95 * double(q));
    const auto high = float(1.05 * double(q));
    return q >= 0.0f ? FloatRange{low, high} : FloatRange{high, low};
}

bool GrowTraceRange(FloatRange &range, float q) {
    const FloatRange before = range;
    if (q > range.hi) range.hi = float((q > 0.0f ? 1.05 : 0.95) * double(q));
    if (q < range.lo) range.lo = float((q >= 0.0f ? 0.95 : 1.05) * double(q));
    return range != before;
}

IntRange StartPositionRange(int32_t p) {
    if (p > 0) return {Percent95(p), Percent105(p)};
    if (p < 0) return {Percent105(p), Percent95(p)};
    return {-1, 1};
}

bool GrowPositionRange(IntRange &range, int32_t p) {
    const IntRange before = range;
    if (p > range.hi) range.hi = p > 0 ? Percent105(p) : Percent95(p);
    if (p < range.lo) range.lo = p < 0 ? Percent105(p) : Percent95(p);
    return range != before;
}

IntRange WidenEmpty(IntRange range) {
    if (range.hi == range.lo) range.hi = TruncToInt(double(range.lo) + 1.0);
    return range;
}

FloatRange WidenEmpty(FloatRange range) {
    if (range.hi == range.lo) range.hi = range.lo + 0.1f;
    return range;
}

int TimeToX(float t, float t0, float span, int width) {
    return TruncToInt(std::floor(double(width) * (double(t) - double(t0)) / double(span)));
}

int TraceToY(int32_t v, IntRange range, int height) {
    range = WidenEmpty(range);
    const double h = double(height);
    return TruncToInt(h - h / (double(range.hi) - double(range.lo)) * (double(v) - double(range.lo)));
}

int TraceToY(float v, FloatRange range, int height) {
    range = WidenEmpty(range);
    const double h = double(height);
    return TruncToInt(h - h / (double(range.hi) - double(range.lo)) * (double(v) - double(range.lo)));
}

std::array<double, 5> TickValues(double lo, double hi) {
    std::array<double, 5> values{};
    for (int k = 0; k < 5; ++k)
        values[std::size_t(k)] = lo + (hi - lo) * (k / 4.0);
    values[0] = lo;
    values[4] = hi;
    return values;
}

std::array<std::string, 5> PositionTickTexts(float minimum, float maximum) {
    const auto values = TickValues(std::floor(double(minimum)), std::floor(double(maximum)));
    std::array<std::string, 5> texts;
    for (std::size_t k = 0; k < 5; ++k)
        texts[k] = platform::FormatGeneral(values[k], 7);
    return texts;
}

std::array<std::string, 5> TimeTickTexts(float start, float end) {
    return RangeTickTexts(start, end);
}

std::array<std::string, 5> RangeTickTexts(double lo, double hi) {
    const auto values = TickValues(lo, hi);
    std::array<std::string, 5> texts;
    for (std::size_t k = 0; k < 5; ++k)
        texts[k] = platform::FormatFixed(values[k], 0);
    return texts;
}

std::string ElapsedText(float seconds) {
    return platform::FormatFixed(seconds, 1);
}

} // namespace kpd::plot
