// The pixels the plot primitives set. Points are short dotted 2-pixel lines from (x, y); the tests check
// the pixel (x, y) of a point and, for outlines, that the line lies within a pixel of where it belongs,
// not how the rasteriser fills the rest of a wide pen.
#include "display/PlotCanvas.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

namespace {

using namespace kpd;
namespace colour = kpd::plotcolour;

QImage BlackImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

uint32_t At(const QImage &image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

int Count(const QImage &image, uint32_t rgb) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += At(image, x, y) == rgb;
    return n;
}

struct RecordingLabels : PlotLabels {
    std::vector<std::string> elapsed;
    std::vector<std::array<std::string, 5>> x;
    struct Y {
        bool right;
        std::array<std::string, 5> texts;
        uint32_t rgb;
    };
    std::vector<Y> y;
    void ShowElapsedText(const std::string &text) override { elapsed.push_back(text); }
    void SetXTickTexts(const std::array<std::string, 5> &t) override { x.push_back(t); }
    void SetYTickTexts(bool right, const std::array<std::string, 5> &t, uint32_t rgb) override {
        y.push_back({right, t, rgb});
    }
};

PlotLook Look(int generation = 3, int firmware = 0, bool circles = false) {
    PlotLook look;
    look.generation = generation;
    look.firmwareVersion = firmware;
    look.showCircles = circles;
    return look;
}

// ---- Grid ----

void ExpectGrid(int w, int h, const std::array<int, 7> &columns, const std::array<int, 7> &rows) {
    QImage image = BlackImage(w, h);
    PlotCanvas(image, Look()).DrawGrid();
    for (int x : columns) {
        EXPECT_EQ(At(image, x, 0), colour::Olive) << w << "x" << h << " column " << x;
        EXPECT_EQ(At(image, x, h - 1), colour::Olive) << x;
        EXPECT_EQ(At(image, x, 3), colour::Olive) << x;
        EXPECT_EQ(At(image, x + 1, 3), colour::Black) << x;
        EXPECT_EQ(At(image, x - 1, 3), colour::Black) << x;
    }
    for (int y : rows) {
        EXPECT_EQ(At(image, 0, y), colour::Olive) << w << "x" << h << " row " << y;
        EXPECT_EQ(At(image, w - 1, y), colour::Olive) << y;
        EXPECT_EQ(At(image, 3, y + 1), colour::Black) << y;
    }
    // 14 lines of one pixel, crossing at 49 pixels.
    EXPECT_EQ(Count(image, colour::Olive), 7 * h + 7 * w - 49);
}

TEST(PlotGrid, OliveLinesAtTheEighths) {
    ExpectGrid(320, 320, {40, 80, 120, 160, 200, 240, 280}, {40, 80, 120, 160, 200, 240, 280});
    ExpectGrid(400, 400, {50, 100, 150, 200, 250, 300, 350}, {50, 100, 150, 200, 250, 300, 350});
    ExpectGrid(500, 400, {62, 125, 187, 250, 312, 375, 437}, {50, 100, 150, 200, 250, 300, 350});
    ExpectGrid(640, 500, {80, 160, 240, 320, 400, 480, 560}, {62, 125, 187, 250, 312, 375, 437});
}

TEST(PlotGrid, ClearingRemovesEverythingButTheNewGrid) {
    QImage image = BlackImage(400, 400);
    image.fill(Qt::red);
    PlotCanvas canvas(image, Look());
    canvas.ClearPlot();
    EXPECT_EQ(Count(image, colour::Black), 400 * 400);
    image.fill(Qt::red);
    canvas.ClearAndGrid();
    EXPECT_EQ(At(image, 10, 10), colour::Black);
    EXPECT_EQ(At(image, 50, 10), colour::Olive);
    EXPECT_EQ(Count(image, colour::Red), 0);
}

// ---- Indicator circles ----

// The outline of a circle with the given corners crosses the centre row at left and right and the
// centre column at top and bottom: a green pixel within one of each, none three pixels either side.
void ExpectCircle(const QImage &image, const plot::Ellipse &e) {
    const int cx = (e.left + e.right) / 2;
    const int cy = (e.top + e.bottom) / 2;
    const auto greenNear = [&](int x, int y, bool horizontal) {
        for (int d = -1; d <= 1; ++d)
            if (At(image, horizontal ? x + d : x, horizontal ? y : y + d) == colour::Green) return true;
        return false;
    };
    for (int x : {e.left, e.right}) {
        EXPECT_TRUE(greenNear(x, cy, true)) << "column " << x;
        EXPECT_NE(At(image, x - 3, cy), colour::Green) << x;
        EXPECT_NE(At(image, x + 3, cy), colour::Green) << x;
    }
    for (int y : {e.top, e.bottom}) {
        EXPECT_TRUE(greenNear(cx, y, false)) << "row " << y;
        EXPECT_NE(At(image, cx, y - 3), colour::Green) << y;
        EXPECT_NE(At(image, cx, y + 3), colour::Green) << y;
    }
    // Outline only: no fill inside.
    EXPECT_NE(At(image, cx + 3, cy + 3), colour::Green);
}

TEST(LissajousFrame, LaterGenerationCirclesFromTheCircleVolts) {
    QImage image = BlackImage(400, 400);
    PlotCanvas(image, Look(3, 0, true)).ClearAndLissajousFrame();
    // 0.187 V -> 185..215, 0.575 V -> 154..246.
    ExpectCircle(image, {185, 185, 215, 215});
    ExpectCircle(image, {154, 154, 246, 246});
    EXPECT_EQ(At(image, 50, 10), colour::Olive);
}

TEST(LissajousFrame, EarlierGenerationFixedCirclesUpToFirmware1333) {
    QImage image = BlackImage(400, 400);
    PlotCanvas(image, Look(2, 1333, true)).DrawLissajousFrame();
    // a = trunc(400 * 0.356) = 142, b = trunc(400 * 0.031) = 12.
    ExpectCircle(image, {142, 142, 258, 258});
    ExpectCircle(image, {12, 12, 388, 388});
    // Nothing where the settings circles would be.
    EXPECT_NE(At(image, 185, 200), colour::Green);
    EXPECT_NE(At(image, 154, 200), colour::Green);
}

TEST(LissajousFrame, EarlierGenerationScaledCirclesFromFirmware1334) {
    QImage image = BlackImage(400, 400);
    PlotCanvas(image, Look(2, 1334, true)).DrawLissajousFrame();
    // 0.187 * 2.5 = 0.4675 V -> 37.4 -> 37: 163..237; 0.575 * 2.5 = 1.4375 V -> 115: 85..315.
    ExpectCircle(image, {163, 163, 237, 237});
    ExpectCircle(image, {85, 85, 315, 315});
}

TEST(LissajousFrame, ShowCirclesOffDrawsOnlyTheGrid) {
    QImage image = BlackImage(400, 400);
    PlotCanvas(image, Look(3, 0, false)).DrawLissajousFrame();
    EXPECT_EQ(Count(image, colour::Green), 0);
    EXPECT_EQ(Count(image, colour::Olive), 7 * 400 * 2 - 49);
}

// ---- Lissajous points ----

// Point 1 (0x400, 0x400) -> (300, 300); point 2 (0xC00, 0x000) -> (100, 200) on a 400-pixel plot.
const LissajousSample kSample{0x400, 0x400, 0xC00, 0x000};

TEST(LissajousPoints, BothPairsRedThenLime) {
    for (int type : {0, 2}) {
        QImage image = BlackImage(400, 400);
        PlotLook look = Look();
        look.encoderPlotType = type;
        PlotCanvas canvas(image, look);
        canvas.DrawLissajousPoints(false, kSample);
        EXPECT_EQ(At(image, 300, 300), colour::Red) << type;
        EXPECT_EQ(At(image, 100, 200), colour::Lime) << type;
        // Both points on one pixel: the lime one is drawn last.
        canvas.DrawLissajousPoints(false, {0x100, 0x100, 0x100, 0x100});
        const int p = plot::SignalToPixel(0x100, 400);
        EXPECT_EQ(At(image, p, p), colour::Lime) << type;
    }
}

TEST(LissajousPoints, TypeOneDrawsOnlyTheAdjustedPair) {
    QImage image = BlackImage(400, 400);
    PlotLook look = Look();
    look.encoderPlotType = 1;
    PlotCanvas(image, look).DrawLissajousPoints(false, kSample);
    EXPECT_EQ(At(image, 100, 200), colour::Lime);
    EXPECT_EQ(At(image, 300, 300), colour::Black);
    EXPECT_EQ(Count(image, colour::Red), 0);
}

TEST(LissajousPoints, EraseIsBlackForBothPointsWhateverTheType) {
    for (int type : {0, 1, 2}) {
        QImage image = BlackImage(400, 400);
        PlotLook look = Look();
        look.encoderPlotType = 2;
        PlotCanvas canvas(image, look);
        canvas.DrawLissajousPoints(false, kSample);
        look.encoderPlotType = type;
        canvas.SetLook(look);
        canvas.DrawLissajousPoints(true, kSample);
        EXPECT_EQ(Count(image, colour::Red), 0) << type;
        EXPECT_EQ(Count(image, colour::Lime), 0) << type;
    }
}

TEST(LissajousSample, DrawRedrawsTheFrameEraseDoesNot) {
    QImage image = BlackImage(400, 400);
    RecordingLabels labels;
    PlotCanvas canvas(image, Look(3, 0, true), &labels);
    canvas.DrawLissajousSample(true, kSample, 1.0f);
    EXPECT_EQ(Count(image, colour::Olive), 0);
    EXPECT_EQ(Count(image, colour::Green), 0);
    EXPECT_TRUE(labels.elapsed.empty());

    canvas.DrawLissajousSample(false, kSample, 1.54f);
    EXPECT_EQ(At(image, 50, 10), colour::Olive);
    ExpectCircle(image, {185, 185, 215, 215});
    EXPECT_EQ(At(image, 300, 300), colour::Red);
    EXPECT_EQ(At(image, 100, 200), colour::Lime);
    EXPECT_EQ(labels.elapsed, std::vector<std::string>{"1.5"});

    // Erasing crosses the grid line x = 100; the next drawn sample's frame repairs it.
    canvas.DrawLissajousSample(true, kSample, 2.0f);
    EXPECT_EQ(At(image, 100, 200), colour::Black);
    canvas.DrawLissajousSample(false, {0x400, 0x400, 0x400, 0x400}, 2.0f);
    EXPECT_EQ(At(image, 100, 200), colour::Olive);
}

// Five samples 64 steps (6.25 pixels) apart from `base`, point 1 at (base, -base) and point 2 mirrored.
std::array<LissajousSample, 5> Samples(uint16_t base) {
    std::array<LissajousSample, 5> s;
    for (std::size_t i = 0; i < 5; ++i) {
        const auto a = uint16_t(base + 64 * i);
        const auto b = uint16_t((0x1000 - a) & 0xFFF);
        s[i] = {a, b, b, a};
    }
    return s;
}

TEST(LissajousBatch, SameImageAsFiveSingleSamples) {
    // On a 400-pixel plot a step is 0.0977 pixels. Previous: 0x080..0x180 -> 200 +- (12.5..37.5), between
    // the grid lines at 150, 200 and 250; next: 0x4C0..0x5C0 -> 200 +- (118.75..143.75), between 50 and 100
    // or 300 and 350. No point touches a grid line, so redrawing the frame between samples changes none.
    const auto previous = Samples(0x080);
    const auto next = Samples(0x4C0);
    for (bool erase : {false, true}) {
        QImage batch = BlackImage(400, 400);
        QImage single = BlackImage(400, 400);
        PlotCanvas a(batch, Look(), nullptr);
        PlotCanvas b(single, Look(), nullptr);
        for (const auto &s : previous) {
            a.DrawLissajousSample(false, s, 0.0f);
            b.DrawLissajousSample(false, s, 0.0f);
        }
        a.DrawLissajousBatch(erase, previous, next, 1.0f);
        if (erase)
            for (const auto &s : previous)
                b.DrawLissajousSample(true, s, 1.0f);
        for (const auto &s : next)
            b.DrawLissajousSample(false, s, 1.0f);
        EXPECT_TRUE(batch == single) << "erase " << erase;
        EXPECT_GT(Count(batch, colour::Red), 0);
    }
}

TEST(LissajousBatch, EraseCountLimitsTheErase) {
    const auto previous = Samples(0x080);
    const auto next = Samples(0x4C0);
    QImage image = BlackImage(400, 400);
    RecordingLabels labels;
    PlotCanvas canvas(image, Look(), &labels);
    for (const auto &s : previous)
        canvas.DrawLissajousPoints(false, s);
    canvas.DrawLissajousBatch(true, previous, next, 3.0f, 2);
    for (std::size_t i = 0; i < 5; ++i) {
        const int x = plot::SignalToPixel(previous[i].x1, 400);
        const int y = plot::SignalToPixel(previous[i].y1, 400);
        EXPECT_EQ(At(image, x, y), i < 2 ? colour::Black : colour::Red) << i;
    }
    const int x = plot::SignalToPixel(next[4].x2, 400);
    const int y = plot::SignalToPixel(next[4].y2, 400);
    EXPECT_EQ(At(image, x, y), colour::Lime);
    EXPECT_EQ(labels.elapsed, std::vector<std::string>{"3.0"});
}

// ---- Signal strength against position ----

TEST(StrengthPoint, LimePointAtPositionAndHeight) {
    QImage image = BlackImage(500, 400);
    RecordingLabels labels;
    PlotCanvas canvas(image, Look(3), &labels);
    // Position 1000 on [950, 1050] -> x = 250; strength 360 -> 49.889 % -> h = 199, y = 400 - 199.
    EXPECT_EQ(canvas.DrawStrengthPoint(1000, 360, 2.5f, 1050, 950), 199);
    EXPECT_EQ(At(image, 250, 201), colour::Lime);
    EXPECT_EQ(labels.elapsed, std::vector<std::string>{"2.5"});
    // 722 and above: 100 %, the top edge.
    EXPECT_EQ(canvas.DrawStrengthPoint(975, 800, 2.6f, 1050, 950), 400);
    EXPECT_EQ(At(image, 125, 0), colour::Lime);
    // Later generation: no reference lines.
    EXPECT_EQ(Count(image, colour::Green), 0);
}

TEST(StrengthPoint, ReferenceLinesForTheEarlierGenerationOnly) {
    struct Case {
        int layoutClass, w, h, y1, y2;
    };
    for (const Case &c :
         {Case{0, 400, 320, 20, 230}, Case{1, 500, 400, 25, 287}, Case{2, 640, 500, 33, 357}}) {
        for (int generation : {0, 2, 3}) {
            QImage image = BlackImage(c.w, c.h);
            PlotLook look = Look(generation);
            look.layoutClass = c.layoutClass;
            PlotCanvas(image, look).DrawStrengthPoint(0, 0, 0.0f, 100, -100);
            const uint32_t expected = generation <= 2 ? colour::Green : colour::Black;
            for (int x : {0, c.w / 3, c.w - 1}) {
                EXPECT_EQ(At(image, x, c.y1), expected) << c.layoutClass << " " << generation << " " << x;
                EXPECT_EQ(At(image, x, c.y2), expected) << c.layoutClass << " " << generation << " " << x;
            }
        }
    }
}

TEST(StrengthPoint, RedrawUsesTheStoredHeights) {
    QImage image = BlackImage(500, 400);
    PlotCanvas canvas(image, Look(3));
    const std::vector<int32_t> positions{0, 150, 300};
    const std::vector<int> heights{10, 100, 200};
    canvas.RedrawStrengthPoints(positions, heights, 300, 0);
    // k = 500 / 300 as a float: x = 0, 249 (249.99999), 499 (499.99998); y = 400 - height.
    EXPECT_EQ(At(image, 0, 390), colour::Lime);
    EXPECT_EQ(At(image, 249, 300), colour::Lime);
    EXPECT_EQ(At(image, 499, 200), colour::Lime);
    EXPECT_EQ(Count(image, colour::Green), 0);
}

// ---- Tick labels ----

TEST(TickLabels, PositionAndTimeAxes) {
    QImage image = BlackImage(500, 400);
    RecordingLabels labels;
    PlotCanvas canvas(image, Look(), &labels);
    canvas.SetPositionTickLabels(950.7f, 1050.2f);
    canvas.SetTimeTickLabels(8.0f, 16.0f);
    ASSERT_EQ(labels.x.size(), 2u);
    EXPECT_EQ(labels.x[0], (std::array<std::string, 5>{"950", "975", "1000", "1025", "1050"}));
    EXPECT_EQ(labels.x[1], (std::array<std::string, 5>{"8", "10", "12", "14", "16"}));

    PlotCanvas silent(image, Look(), nullptr); // no labels: nothing to set
    silent.SetPositionTickLabels(0.0f, 1.0f);
    silent.SetSignalPlotTickLabels({0, 4}, {0.0f, 1.0f}, {0, 4});
    silent.ShowElapsedTime(1.0f);
}

TEST(TickLabels, SignalPlotsByPositionPlotType) {
    using Texts = std::array<std::string, 5>;
    QImage image = BlackImage(500, 400);
    const plot::IntRange position{950, 1050};
    const plot::FloatRange second{94.6f, 105.4f};
    const plot::IntRange strength{0, 200};
    for (int type : {0, 3}) {
        RecordingLabels labels;
        PlotLook look = Look();
        look.positionPlotType = type;
        PlotCanvas(image, look, &labels).SetSignalPlotTickLabels(position, second, strength);
        ASSERT_EQ(labels.y.size(), 2u) << type;
        EXPECT_FALSE(labels.y[0].right);
        EXPECT_EQ(labels.y[0].texts, (Texts{"950", "975", "1000", "1025", "1050"}));
        EXPECT_EQ(labels.y[0].rgb, colour::Lime);
        EXPECT_TRUE(labels.y[1].right);
        EXPECT_EQ(labels.y[1].texts, (Texts{"95", "97", "100", "103", "105"}));
        EXPECT_EQ(labels.y[1].rgb, colour::Red);
        EXPECT_TRUE(labels.x.empty());
    }
    {
        RecordingLabels labels;
        PlotLook look = Look();
        look.positionPlotType = 1;
        PlotCanvas(image, look, &labels).SetSignalPlotTickLabels(position, second, strength);
        ASSERT_EQ(labels.y.size(), 1u);
        EXPECT_FALSE(labels.y[0].right);
        EXPECT_EQ(labels.y[0].texts, (Texts{"0%", "25%", "50%", "75%", "100%"}));
        EXPECT_EQ(labels.y[0].rgb, colour::Yellow);
        ASSERT_EQ(labels.x.size(), 1u);
        EXPECT_EQ(labels.x[0], (Texts{"950", "975", "1000", "1025", "1050"}));
    }
    {
        RecordingLabels labels;
        PlotLook look = Look();
        look.positionPlotType = 2;
        PlotCanvas(image, look, &labels).SetSignalPlotTickLabels(position, second, strength);
        ASSERT_EQ(labels.y.size(), 1u);
        EXPECT_FALSE(labels.y[0].right);
        EXPECT_EQ(labels.y[0].texts, (Texts{"0", "50", "100", "150", "200"}));
        EXPECT_EQ(labels.y[0].rgb, colour::Yellow);
    }
}

// ---- Signal plots against time ----

// W = 500, H = 400, window 0..8 s: t = 1 -> x 62, t = 2 -> x 125. Position range [950, 1050]: 1000 -> y 200,
// 975 -> y 300.
SignalStep Step() {
    SignalStep s;
    s.position = {975, 1000, {950, 1050}};
    s.second = {1.0f, 0.5f, {0.0f, 2.0f}}; // y 200 from y 300
    s.third = {30, 20, {0, 40}};           // y 100 from y 200
    s.strength = {107, 0, {0, 215}};
    s.previousTime = 1.0f;
    s.time = 2.0f;
    s.windowStart = 0.0f;
    s.span = 8.0f;
    s.elapsed = 2.0f;
    return s;
}

PlotLook PositionLook(int type) {
    PlotLook look = Look();
    look.positionPlotType = type;
    return look;
}

TEST(SignalSample, PositionTraceSegment) {
    QImage image = BlackImage(500, 400);
    RecordingLabels labels;
    PlotCanvas(image, PositionLook(0), &labels).DrawSignalSample(Step());
    EXPECT_EQ(At(image, 62, 200), colour::Lime);
    EXPECT_EQ(At(image, 125, 300), colour::Lime);
    EXPECT_EQ(Count(image, colour::Red), 0);
    EXPECT_EQ(Count(image, colour::Aqua), 0);
    EXPECT_EQ(labels.elapsed, std::vector<std::string>{"2.0"});
}

TEST(SignalSample, FixedRangesDrawOnlyInsideSegments) {
    SignalStep step = Step();
    step.fixedRanges = true;
    {
        QImage image = BlackImage(500, 400);
        PlotCanvas(image, PositionLook(0)).DrawSignalSample(step);
        EXPECT_EQ(At(image, 125, 300), colour::Lime);
    }
    step.position.current = 1060;
    for (int type : {0, 3}) {
        QImage image = BlackImage(500, 400);
        RecordingLabels labels;
        PlotCanvas(image, PositionLook(type), &labels).DrawSignalSample(step);
        EXPECT_EQ(Count(image, colour::Black), 500 * 400) << type;
        EXPECT_EQ(labels.elapsed.size(), 1u);
    }
    // Auto scale: the same step is drawn (above the top edge, clipped).
    step.fixedRanges = false;
    QImage image = BlackImage(500, 400);
    PlotCanvas(image, PositionLook(0)).DrawSignalSample(step);
    EXPECT_EQ(At(image, 62, 200), colour::Lime);
}

TEST(SignalSample, ThreeTraces) {
    QImage image = BlackImage(500, 400);
    PlotCanvas canvas(image, PositionLook(3));
    canvas.DrawSignalSample(Step());
    EXPECT_EQ(At(image, 125, 300), colour::Lime); // position 975
    EXPECT_EQ(At(image, 62, 200), colour::Aqua);  // the three start together; aqua drawn last
    EXPECT_EQ(At(image, 125, 100), colour::Aqua); // third 30 on [0, 40]
    EXPECT_EQ(At(image, 62, 300), colour::Red);   // second 0.5 on [0, 2]
    EXPECT_EQ(At(image, 125, 200), colour::Red);  // second 1.0

    // Fixed ranges with only the third trace outside: nothing drawn.
    QImage fixed = BlackImage(500, 400);
    SignalStep step = Step();
    step.fixedRanges = true;
    step.third.current = 41;
    PlotCanvas(fixed, PositionLook(3)).DrawSignalSample(step);
    EXPECT_EQ(Count(fixed, colour::Black), 500 * 400);
}

TEST(SignalSample, StrengthMarkAgainstPosition) {
    QImage image = BlackImage(500, 400);
    RecordingLabels labels;
    PlotCanvas canvas(image, PositionLook(1), &labels);
    SignalStep step = Step();
    step.position.current = 1000;  // x = 250
    canvas.DrawSignalSample(step); // strength 107: h = 42800 div 215 = 199, y = 201
    EXPECT_EQ(At(image, 250, 201), colour::Yellow);
    step.strength.current = 1000; // above full scale: kept at the top edge
    step.position.current = 975;  // x = 125
    canvas.DrawSignalSample(step);
    EXPECT_EQ(At(image, 125, 0), colour::Yellow);
    EXPECT_EQ(Count(image, colour::Lime), 0);
    EXPECT_EQ(labels.elapsed.back(), "2.0");
}

TEST(SignalSample, OtherTypesOnlyShowTheElapsedTime) {
    QImage image = BlackImage(500, 400);
    RecordingLabels labels;
    PlotCanvas(image, PositionLook(2), &labels).DrawSignalSample(Step());
    EXPECT_EQ(Count(image, colour::Black), 500 * 400);
    EXPECT_EQ(labels.elapsed, std::vector<std::string>{"2.0"});
}

TEST(SignalTraces, RedrawAsOnePolylineFromTheLeftEdge) {
    const std::vector<float> times{1.0f, 2.0f};
    const std::vector<int32_t> values{1000, 975};
    // Points (0, 200), (62, 200), (125, 300).
    QImage solid = BlackImage(500, 400);
    PlotCanvas(solid, PositionLook(0)).RedrawSignalTraces(times, values, {950, 1050}, 0.0f, 8.0f);
    for (int x : {0, 30, 62})
        EXPECT_EQ(At(solid, x, 200), colour::Lime) << x;
    EXPECT_EQ(At(solid, 125, 300), colour::Lime);
    EXPECT_EQ(At(solid, 30, 201), colour::Black);

    // Type 3: dotted, 2 pixels wide: the line starts lime and has gaps.
    QImage dotted = BlackImage(500, 400);
    PlotCanvas(dotted, PositionLook(3)).RedrawSignalTraces(times, values, {950, 1050}, 0.0f, 8.0f);
    EXPECT_EQ(At(dotted, 0, 200), colour::Lime);
    int gaps = 0;
    for (int x = 0; x <= 62; ++x)
        gaps += At(dotted, x, 200) == colour::Black;
    EXPECT_GT(gaps, 10);

    QImage none = BlackImage(500, 400);
    PlotCanvas(none, PositionLook(2)).RedrawSignalTraces(times, values, {950, 1050}, 0.0f, 8.0f);
    EXPECT_EQ(Count(none, colour::Black), 500 * 400);
}

} // namespace
