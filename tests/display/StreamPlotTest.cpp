// The three plots of the plot display modes, driven the way the window drives them: a data set filled
// here in place of a worker, a run whose published count is raised here, and Advance called as the
// screen's frames would. The tests check the pixels of points and the texts given to the labels.
#include "display/LissajousPlot.h"
#include "display/PlotCanvas.h"
#include "display/SignalPlot.h"
#include "display/StrengthPlot.h"

#include "data/DataSets.h"
#include "session/PlotScaling.h"
#include "workers/StreamProgress.h"

#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace kpd;
namespace colour = kpd::plotcolour;
using Texts = std::array<std::string, 5>;

// Ranges compared as (lo, hi) pairs, which failure messages print readably.
using IntEnds = std::pair<int32_t, int32_t>;
IntEnds Ends(plot::IntRange r) {
    return {r.lo, r.hi};
}
IntEnds Ends(PlotRange r) {
    return {r.lo, r.hi};
}
IntEnds Ends(int32_t lo, int32_t hi) {
    return {lo, hi};
}
std::pair<float, float> Ends(plot::FloatRange r) {
    return {r.lo, r.hi};
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
    struct Y {
        bool right;
        Texts texts;
        uint32_t rgb;
    };
    std::vector<std::string> elapsed;
    std::vector<Texts> x;
    std::vector<Y> y;
    void ShowElapsedText(const std::string &text) override { elapsed.push_back(text); }
    void SetXTickTexts(const Texts &t) override { x.push_back(t); }
    void SetYTickTexts(bool right, const Texts &t, uint32_t rgb) override { y.push_back({right, t, rgb}); }

    const Y *LastY(bool right) const {
        for (auto it = y.rbegin(); it != y.rend(); ++it)
            if (it->right == right) return &*it;
        return nullptr;
    }
};

// The data, the image with its primitives and labels, and the scaling a plot works with.
struct Rig {
    Rig(int w, int h) : image(w, h, QImage::Format_RGB32), canvas(image, PlotLook{}, &labels) {
        image.fill(Qt::black);
    }
    DataSets data;
    QImage image;
    RecordingLabels labels;
    PlotCanvas canvas;
    PlotScaling scaling;
};

PlotSetup SetupOf(int lissplot = 150, int signalplot = 500, float positionplot = 8.0f,
                  int positionPlotType = 0) {
    PlotSetup s;
    s.lissplot = lissplot;
    s.signalplot = signalplot;
    s.positionplot = positionplot;
    s.look.generation = 3; // no reference lines on the strength plot
    s.look.showCircles = false;
    s.look.encoderPlotType = 2;
    s.look.positionPlotType = positionPlotType;
    s.look.layoutClass = 1;
    return s;
}

std::shared_ptr<StreamProgress> StartRun(int set, int32_t firstIndex, bool wrappedAtStart = false,
                                         float firstElapsed = 0.0f, bool replay = false) {
    auto run = std::make_shared<StreamProgress>();
    run->set = set;
    run->firstIndex = firstIndex;
    run->wrappedAtStart = wrappedAtStart;
    run->firstElapsed = firstElapsed;
    run->replay = replay;
    return run;
}

void Publish(StreamProgress &run, uint64_t records) {
    run.published.store(records, std::memory_order_release);
}

// ---- Encoder signal ----

constexpr int kLissajousSize = 400;
constexpr int32_t kCapacity = EncoderSignalDataSet::Capacity;

int Pixel(uint16_t word) {
    return plot::SignalToPixel(word, kLissajousSize);
}

// The sample word that lands on `pixel` of a 400-pixel plot (10.24 steps per pixel).
uint16_t WordAt(int pixel) {
    const auto n = static_cast<int>(std::lround((pixel - kLissajousSize / 2) * 10.24));
    return static_cast<uint16_t>(n & 0xFFF);
}

// Record k of a run: point 1 somewhere in 10..45 x 10..45, point 2 in 210..245 x 260..295, so that 64
// records have distinct places 5 pixels apart, none on a grid line (multiples of 50).
LissajousSample Pattern(uint64_t k) {
    const int col = static_cast<int>(k % 8);
    const int row = static_cast<int>(k / 8 % 8);
    return {WordAt(10 + 5 * col), WordAt(10 + 5 * row), WordAt(210 + 5 * col), WordAt(260 + 5 * row)};
}

// The ring holds YAdc, XAdc, YAdcAdj, XAdcAdj.
void PutLissajous(DataSets &data, int32_t index, const LissajousSample &s, float interval) {
    EncoderSignalDataSet &ring = data.EncoderSignal();
    const auto i = static_cast<std::size_t>(index);
    ring.w1[i] = s.y1;
    ring.w2[i] = s.x1;
    ring.w3[i] = s.y2;
    ring.w4[i] = s.x2;
    ring.interval[i] = interval;
}

// Records 0..n-1 of a run starting at ring index `first`, record k with Pattern(k).
void FillLissajous(DataSets &data, int32_t first, int n, float interval) {
    for (int k = 0; k < n; ++k)
        PutLissajous(data, (first + k) % kCapacity, Pattern(static_cast<uint64_t>(k)), interval);
}

bool Shown(const QImage &image, uint64_t k) {
    const LissajousSample s = Pattern(k);
    return At(image, Pixel(s.x1), Pixel(s.y1)) == colour::Red &&
           At(image, Pixel(s.x2), Pixel(s.y2)) == colour::Lime;
}

bool Erased(const QImage &image, uint64_t k) {
    const LissajousSample s = Pattern(k);
    return At(image, Pixel(s.x1), Pixel(s.y1)) == colour::Black &&
           At(image, Pixel(s.x2), Pixel(s.y2)) == colour::Black;
}

// Records [0, shownFrom) are gone, [shownFrom, end) are on the plot.
void ExpectTrail(const QImage &image, uint64_t shownFrom, uint64_t end, const std::string &what) {
    for (uint64_t k = 0; k < end; ++k) {
        if (k < shownFrom)
            EXPECT_TRUE(Erased(image, k)) << what << ": record " << k << " should be erased";
        else
            EXPECT_TRUE(Shown(image, k)) << what << ": record " << k << " should be shown";
    }
}

TEST(LissajousPlotLive, DrawsOnlyCompleteBatchesOfFive) {
    Rig rig(kLissajousSize, kLissajousSize);
    FillLissajous(rig.data, 0, 12, 0.01f);
    LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(EncoderSignalSet, 0);
    plot.Begin(run, SetupOf());
    EXPECT_TRUE(plot.Following());
    EXPECT_FALSE(plot.Advance()); // nothing published yet

    Publish(*run, 4);
    EXPECT_FALSE(plot.Advance());
    EXPECT_EQ(plot.Drawn(), 0u);
    EXPECT_TRUE(Erased(rig.image, 0));

    Publish(*run, 7);
    EXPECT_TRUE(plot.Advance());
    EXPECT_EQ(plot.Drawn(), 5u);
    ExpectTrail(rig.image, 0, 5, "published 7");
    EXPECT_TRUE(Erased(rig.image, 5));
    EXPECT_TRUE(Erased(rig.image, 6));
    EXPECT_EQ(rig.labels.elapsed.size(), 1u); // one elapsed text per batch

    Publish(*run, 10);
    EXPECT_TRUE(plot.Advance());
    EXPECT_EQ(plot.Drawn(), 10u);
    ExpectTrail(rig.image, 0, 10, "published 10");
    EXPECT_EQ(rig.labels.elapsed.size(), 2u);

    // The end of the run draws what makes a batch; a partial batch is never drawn.
    Publish(*run, 12);
    plot.End();
    EXPECT_FALSE(plot.Following());
    EXPECT_EQ(plot.Drawn(), 10u);
    EXPECT_TRUE(Erased(rig.image, 10));
}

TEST(LissajousPlotLive, ElapsedTextIsTheSumOfTheIntervals) {
    Rig rig(kLissajousSize, kLissajousSize);
    FillLissajous(rig.data, 0, 10, 0.0f);
    // Intervals 0.02, 0.04, ..., 0.20: 0.3 s after five records, 1.1 s after ten.
    for (int k = 0; k < 10; ++k)
        rig.data.EncoderSignal().interval[static_cast<std::size_t>(k)] = 0.02f * static_cast<float>(k + 1);
    LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(EncoderSignalSet, 0, false, 2.0f);
    plot.Begin(run, SetupOf());
    Publish(*run, 5);
    plot.Advance();
    Publish(*run, 10);
    plot.Advance();
    EXPECT_EQ(rig.labels.elapsed, (std::vector<std::string>{"2.3", "3.1"}));
}

TEST(LissajousPlotLive, PointOneIsTheRawPairPointTwoTheAdjustedPair) {
    Rig rig(kLissajousSize, kLissajousSize);
    // Words as the stream delivers them: YAdc, XAdc, YAdcAdj, XAdcAdj.
    const uint16_t yAdc = WordAt(30), xAdc = WordAt(120), yAdcAdj = WordAt(330), xAdcAdj = WordAt(270);
    EncoderSignalDataSet &ring = rig.data.EncoderSignal();
    for (std::size_t i = 0; i < 5; ++i) {
        ring.w1[i] = yAdc;
        ring.w2[i] = xAdc;
        ring.w3[i] = yAdcAdj;
        ring.w4[i] = xAdcAdj;
    }
    LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
    EXPECT_EQ(plot.SampleAt(0), (LissajousSample{xAdc, yAdc, xAdcAdj, yAdcAdj}));
    auto run = StartRun(EncoderSignalSet, 0);
    plot.Begin(run, SetupOf());
    Publish(*run, 5);
    plot.Advance();
    EXPECT_EQ(At(rig.image, Pixel(xAdc), Pixel(yAdc)), colour::Red);
    EXPECT_EQ(At(rig.image, Pixel(xAdcAdj), Pixel(yAdcAdj)), colour::Lime);
    // Not the pairs the other way round.
    EXPECT_EQ(At(rig.image, Pixel(yAdc), Pixel(xAdc)), colour::Black);
    EXPECT_EQ(At(rig.image, Pixel(yAdcAdj), Pixel(xAdcAdj)), colour::Black);
}

TEST(LissajousPlotLive, RecordByRecordGivesTheImageOfOneLargeStep) {
    Rig stepwise(kLissajousSize, kLissajousSize);
    Rig atOnce(kLissajousSize, kLissajousSize);
    for (Rig *rig : {&stepwise, &atOnce})
        FillLissajous(rig->data, 0, 37, 0.05f);
    LissajousPlot a(stepwise.data, stepwise.canvas, stepwise.scaling);
    LissajousPlot b(atOnce.data, atOnce.canvas, atOnce.scaling);
    auto runA = StartRun(EncoderSignalSet, 0);
    auto runB = StartRun(EncoderSignalSet, 0);
    a.Begin(runA, SetupOf(10));
    b.Begin(runB, SetupOf(10));
    for (uint64_t n = 1; n <= 37; ++n) {
        Publish(*runA, n);
        a.Advance();
    }
    Publish(*runB, 37);
    EXPECT_TRUE(b.Advance());
    EXPECT_EQ(a.Drawn(), 35u);
    EXPECT_EQ(b.Drawn(), 35u);
    EXPECT_TRUE(stepwise.image == atOnce.image);
    EXPECT_EQ(stepwise.labels.elapsed, atOnce.labels.elapsed);
    ExpectTrail(atOnce.image, 25, 35, "37 at once");
}

TEST(LissajousPlotLive, TrailErasesTheRecordLissplotPlacesBack) {
    Rig rig(kLissajousSize, kLissajousSize);
    FillLissajous(rig.data, 0, 30, 0.01f);
    LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(EncoderSignalSet, 0);
    plot.Begin(run, SetupOf(10));
    Publish(*run, 10);
    plot.Advance();
    ExpectTrail(rig.image, 0, 10, "trail just full");
    Publish(*run, 15);
    plot.Advance();
    ExpectTrail(rig.image, 5, 15, "15 records");
    Publish(*run, 30);
    plot.Advance();
    ExpectTrail(rig.image, 20, 30, "30 records");
    // The grid the erasing crossed is whole again.
    EXPECT_EQ(At(rig.image, 50, 10), colour::Olive);
}

TEST(LissajousPlotLive, TrailKeepsErasingAcrossTheWrapOfTheRing) {
    struct Case {
        int32_t first;
        bool wrappedAtStart;
    };
    // The wrap between batches, the wrap inside a batch, and a run in a ring that had wrapped before.
    for (const Case c : {Case{kCapacity - 10, false}, Case{kCapacity - 13, false}, Case{5, true},
                         Case{kCapacity - 3, true}}) {
        Rig rig(kLissajousSize, kLissajousSize);
        FillLissajous(rig.data, c.first, 30, 0.01f);
        LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
        auto run = StartRun(EncoderSignalSet, c.first, c.wrappedAtStart);
        plot.Begin(run, SetupOf(10));
        const std::string what = "first " + std::to_string(c.first) + (c.wrappedAtStart ? " wrapped" : "");
        for (uint64_t n = 5; n <= 30; n += 5) {
            Publish(*run, n);
            plot.Advance();
            ExpectTrail(rig.image, n > 10 ? n - 10 : 0, n, what + ", " + std::to_string(n) + " records");
        }
        EXPECT_EQ(plot.Drawn(), 30u);
    }
}

TEST(LissajousPlotReplay, DrawsEachRecordAndErasesTheOldestShown) {
    Rig rig(kLissajousSize, kLissajousSize);
    FillLissajous(rig.data, kCapacity - 4, 15, 0.5f); // the review window crosses the wrap
    LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(EncoderSignalSet, kCapacity - 4, false, 1.0f, true);
    run->replayCount = 15;
    plot.Begin(run, SetupOf(10));
    for (uint64_t n = 1; n <= 15; ++n) {
        Publish(*run, n);
        EXPECT_TRUE(plot.Advance());
        EXPECT_EQ(plot.Drawn(), n);
        ExpectTrail(rig.image, n > 10 ? n - 10 : 0, n, "replayed " + std::to_string(n));
    }
    // One elapsed text per record: 1.5, 2.0, ... 8.5.
    ASSERT_EQ(rig.labels.elapsed.size(), 15u);
    EXPECT_EQ(rig.labels.elapsed.front(), "1.5");
    EXPECT_EQ(rig.labels.elapsed.back(), "8.5");
}

TEST(LissajousPlotLive, AWindowFarBehindJumpsToTheNewestRecords) {
    Rig rig(kLissajousSize, kLissajousSize);
    constexpr int n = 15008; // 15003 published after the first batch: more than MaximumLag behind
    static_assert(n - 5 > StreamPlot::MaximumLag);
    float total = 0.0f;
    for (int k = 0; k < n; ++k) {
        PutLissajous(rig.data, k, Pattern(static_cast<uint64_t>(k % 64)), 0.002f);
        total += 0.002f;
    }
    LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(EncoderSignalSet, 0);
    plot.Begin(run, SetupOf(10));
    Publish(*run, 5);
    plot.Advance();
    Publish(*run, n);
    EXPECT_TRUE(plot.Advance());
    EXPECT_EQ(plot.Drawn(), static_cast<uint64_t>(n));
    EXPECT_FALSE(rig.image.isNull());
    EXPECT_EQ(rig.image.size(), QSize(kLissajousSize, kLissajousSize));
    EXPECT_EQ(At(rig.image, 50, 10), colour::Olive);
    // The newest ten records are on the plot (record k has the places of k % 64), the older ones gone.
    for (int k = n - 10; k < n; ++k)
        EXPECT_TRUE(Shown(rig.image, static_cast<uint64_t>(k % 64))) << k;
    EXPECT_TRUE(Erased(rig.image, static_cast<uint64_t>((n - 11) % 64)));
    EXPECT_TRUE(Erased(rig.image, static_cast<uint64_t>((n - 30) % 64)));
    // The skipped records were not drawn, but their time passed: the elapsed text is the whole sum.
    EXPECT_EQ(rig.labels.elapsed.back(), plot::ElapsedText(total));
    EXPECT_EQ(rig.labels.elapsed.back(), "30.0");
}

TEST(LissajousPlotStored, ShowsTheLastLissplotRecords) {
    {
        Rig rig(kLissajousSize, kLissajousSize);
        FillLissajous(rig.data, 0, 40, 0.25f);
        rig.data.EncoderSignal().count = 40;
        rig.data.EncoderSignal().wrapped = false;
        rig.data.EncoderSignal().elapsed = 10.0f;
        LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
        plot.ShowStored(SetupOf(10));
        EXPECT_FALSE(plot.Following());
        EXPECT_EQ(plot.Drawn(), 10u);
        ExpectTrail(rig.image, 30, 40, "stored 40");
        EXPECT_EQ(rig.labels.elapsed.back(), "10.0");
        // A longer trail shows more of the set: the trail of this call counts, not that of the last one.
        plot.ShowStored(SetupOf(25));
        EXPECT_EQ(plot.Drawn(), 25u);
        ExpectTrail(rig.image, 15, 40, "stored 40, trail 25");
        EXPECT_EQ(rig.labels.elapsed.back(), "10.0");
    }
    {
        // A wrapped set: the newest records run over the end of the ring to the write index 5.
        Rig rig(kLissajousSize, kLissajousSize);
        FillLissajous(rig.data, kCapacity - 10, 15, 0.25f);
        rig.data.EncoderSignal().count = 5;
        rig.data.EncoderSignal().wrapped = true;
        rig.data.EncoderSignal().elapsed = 100.0f;
        LissajousPlot plot(rig.data, rig.canvas, rig.scaling);
        plot.ShowStored(SetupOf(10));
        EXPECT_EQ(plot.Drawn(), 10u);
        ExpectTrail(rig.image, 5, 15, "stored wrapped");
        EXPECT_EQ(rig.labels.elapsed.back(), "100.0");
    }
}

// ---- Signal strength against position ----

constexpr int kStrengthWidth = 500, kStrengthHeight = 400;
// Strength 360 is 49.9 % of the full scale: 199 pixels high on a 400-pixel plot, at y = 201; strength 500
// is 69.3 %: 277 pixels, at y = 123.
constexpr int kY360 = 201, kY500 = 123;

void PutStrength(DataSets &data, int32_t index, int32_t position, int32_t strength, float interval = 0.5f) {
    SignalStrengthDataSet &ring = data.SignalStrength();
    const auto i = static_cast<std::size_t>(index);
    ring.a[i] = position;
    ring.b[i] = strength;
    ring.c[i] = 0;
    ring.interval[i] = interval;
}

TEST(StrengthPlot, TheFirstRecordSetsTheRangeAroundItsPosition) {
    Rig rig(kStrengthWidth, kStrengthHeight);
    PutStrength(rig.data, 0, 1000, 360);
    StrengthPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(SignalStrengthSet, 0);
    plot.Begin(run, SetupOf());
    Publish(*run, 1);
    EXPECT_TRUE(plot.Advance());
    EXPECT_EQ(Ends(plot.Range()), Ends(950, 1050));
    ASSERT_FALSE(rig.labels.x.empty());
    EXPECT_EQ(rig.labels.x.back(), (Texts{"950", "975", "1000", "1025", "1050"}));
    EXPECT_EQ(Ends(rig.scaling.strengthCurrent), Ends(950, 1050));
    EXPECT_EQ(At(rig.image, 250, kY360), colour::Lime); // the middle of the range
    EXPECT_EQ(rig.labels.elapsed.back(), "0.5");
}

TEST(StrengthPlot, APositionOutsideTheRangeWidensItAndRedrawsThePoints) {
    Rig rig(kStrengthWidth, kStrengthHeight);
    PutStrength(rig.data, 0, 1000, 360);
    PutStrength(rig.data, 1, 1100, 500);
    PutStrength(rig.data, 2, 900, 360);
    StrengthPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(SignalStrengthSet, 0);
    plot.Begin(run, SetupOf());
    Publish(*run, 1);
    plot.Advance();
    ASSERT_EQ(At(rig.image, 250, kY360), colour::Lime);

    // 1100 above [950, 1050]: the maximum becomes 1.05 * 1100 = 1155.
    Publish(*run, 2);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(950, 1155));
    EXPECT_EQ(rig.labels.x.back(), (Texts{"950", "1001.25", "1052.5", "1103.75", "1155"}));
    EXPECT_EQ(Ends(rig.scaling.strengthCurrent), Ends(950, 1155));
    // 1000 on [950, 1155]: 50 * (500 / 205) = 121.9; 1100: 150 / 205 * 500 = 365.9.
    EXPECT_EQ(At(rig.image, 250, kY360), colour::Black);
    EXPECT_EQ(At(rig.image, 121, kY360), colour::Lime);
    EXPECT_EQ(At(rig.image, 365, kY500), colour::Lime);

    // 900 below: the minimum becomes 0.95 * 900 = 855; every point moves again.
    Publish(*run, 3);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(855, 1155));
    EXPECT_EQ(rig.labels.x.back(), (Texts{"855", "930", "1005", "1080", "1155"}));
    EXPECT_EQ(Ends(rig.scaling.strengthCurrent), Ends(855, 1155));
    // On [855, 1155] (300 wide): 1000 -> 241.7, 1100 -> 408.3, 900 -> 75.
    EXPECT_EQ(At(rig.image, 121, kY360), colour::Black);
    EXPECT_EQ(At(rig.image, 365, kY500), colour::Black);
    EXPECT_EQ(At(rig.image, 241, kY360), colour::Lime);
    EXPECT_EQ(At(rig.image, 408, kY500), colour::Lime);
    EXPECT_EQ(At(rig.image, 75, kY360), colour::Lime);
}

TEST(StrengthPlot, RestartsAfterSignalplotPoints) {
    Rig rig(kStrengthWidth, kStrengthHeight);
    const int32_t positions[] = {1000, 1010, 1020, 2000, 2010, 2020, 2030};
    for (int32_t i = 0; i < 7; ++i)
        PutStrength(rig.data, i, positions[i], i == 3 ? 500 : 360);
    StrengthPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(SignalStrengthSet, 0);
    plot.Begin(run, SetupOf(150, 3));
    Publish(*run, 3);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(950, 1050));
    EXPECT_EQ(At(rig.image, 250, kY360), colour::Lime);
    EXPECT_EQ(At(rig.image, 300, kY360), colour::Lime); // 1010
    const std::size_t labelled = rig.labels.x.size();

    // The fourth point starts a new plot around 2000, on a cleared image.
    Publish(*run, 4);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(1900, 2100));
    EXPECT_EQ(rig.labels.x.size(), labelled + 1);
    EXPECT_EQ(rig.labels.x.back(), (Texts{"1900", "1950", "2000", "2050", "2100"}));
    EXPECT_EQ(Ends(rig.scaling.strengthCurrent), Ends(1900, 2100));
    EXPECT_EQ(At(rig.image, 250, kY360), colour::Black);
    EXPECT_EQ(At(rig.image, 300, kY360), colour::Black);
    EXPECT_EQ(At(rig.image, 250, kY500), colour::Lime);
    // Nothing but the new point: the image of that point alone on a black plot.
    QImage alone(kStrengthWidth, kStrengthHeight, QImage::Format_RGB32);
    alone.fill(Qt::black);
    PlotCanvas(alone, SetupOf().look).DrawStrengthPoint(2000, 500, 0.0f, 2100, 1900);
    EXPECT_TRUE(rig.image == alone);

    // Three points per plot: the seventh starts the next one, around 2030: [1928, 2131].
    Publish(*run, 6);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(1900, 2100));
    Publish(*run, 7);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(1928, 2131));
    EXPECT_EQ(At(rig.image, 250, kY500), colour::Black);
}

TEST(StrengthPlot, RequestRestartStartsOverAtTheNextRecord) {
    Rig rig(kStrengthWidth, kStrengthHeight);
    PutStrength(rig.data, 0, 1000, 360);
    PutStrength(rig.data, 1, 1020, 500);
    StrengthPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(SignalStrengthSet, 0);
    plot.Begin(run, SetupOf());
    Publish(*run, 1);
    plot.Advance();
    EXPECT_FALSE(plot.RestartRequested());
    plot.RequestRestart();
    EXPECT_TRUE(plot.RestartRequested());
    // 1020 lies inside [950, 1050], yet the plot starts over around it: [969, 1071].
    Publish(*run, 2);
    plot.Advance();
    EXPECT_FALSE(plot.RestartRequested());
    EXPECT_EQ(Ends(plot.Range()), Ends(969, 1071));
    EXPECT_EQ(Ends(rig.scaling.strengthCurrent), Ends(969, 1071));
    EXPECT_EQ(At(rig.image, 250, kY360), colour::Black);
    EXPECT_EQ(At(rig.image, 250, kY500), colour::Lime); // 51 / 102 of the width
}

TEST(StrengthPlot, WithAutoScaleOffTheFixedRangeIsKept) {
    Rig rig(kStrengthWidth, kStrengthHeight);
    rig.scaling.strengthAuto = false;
    rig.scaling.strengthFixed = {0, 2000};
    PutStrength(rig.data, 0, 1000, 360);
    PutStrength(rig.data, 1, 3000, 360);
    PutStrength(rig.data, 2, -500, 360);
    PutStrength(rig.data, 3, 500, 500);
    StrengthPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(SignalStrengthSet, 0);
    plot.Begin(run, SetupOf());
    Publish(*run, 1);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(0, 2000));
    EXPECT_EQ(rig.labels.x.back(), (Texts{"0", "500", "1000", "1500", "2000"}));
    EXPECT_EQ(Ends(rig.scaling.strengthCurrent), Ends(0, 2000));
    EXPECT_EQ(At(rig.image, 250, kY360), colour::Lime);
    const std::size_t labelled = rig.labels.x.size();

    Publish(*run, 4);
    plot.Advance();
    EXPECT_EQ(Ends(plot.Range()), Ends(0, 2000));
    EXPECT_EQ(rig.labels.x.size(), labelled); // never relabelled
    EXPECT_EQ(Ends(rig.scaling.strengthCurrent), Ends(0, 2000));
    EXPECT_EQ(At(rig.image, 250, kY360), colour::Lime); // not cleared
    EXPECT_EQ(At(rig.image, 125, kY500), colour::Lime); // 500 on the fixed scale
}

TEST(StrengthPlotStored, DrawsTheStoredRecords) {
    Rig rig(kStrengthWidth, kStrengthHeight);
    PutStrength(rig.data, 0, 1000, 360, 0.5f);
    PutStrength(rig.data, 1, 1100, 500, 0.5f);
    PutStrength(rig.data, 2, 900, 360, 0.5f);
    rig.data.SignalStrength().count = 3;
    rig.data.SignalStrength().elapsed = 1.5f;
    StrengthPlot plot(rig.data, rig.canvas, rig.scaling);
    plot.ShowStored(SetupOf());
    EXPECT_FALSE(plot.Following());
    EXPECT_EQ(plot.Drawn(), 3u);
    EXPECT_EQ(Ends(plot.Range()), Ends(855, 1155));
    EXPECT_EQ(At(rig.image, 241, kY360), colour::Lime);
    EXPECT_EQ(At(rig.image, 408, kY500), colour::Lime);
    EXPECT_EQ(At(rig.image, 75, kY360), colour::Lime);
    EXPECT_EQ(rig.labels.elapsed.back(), "1.5");
}

// ---- Signal plots against time ----

constexpr int kSignalWidth = 500, kSignalHeight = 400;

// One record of data set 3. The other traces stay constant unless given: second 2.0 ([1.9, 2.1]), third
// 500 ([475, 525]), strength 100 ([95, 105]).
void PutSignal(DataSets &data, int32_t index, int32_t position, float interval = 1.0f,
               int32_t magnitude = 100) {
    PositionVelocityDataSet &ring = data.PositionVelocity();
    const auto i = static_cast<std::size_t>(index);
    ring.position[i] = position;
    ring.velocity[i] = 2.0f;
    ring.position64[i] = 500;
    ring.magnitude[i] = magnitude;
    ring.interval[i] = interval;
}

// A run of records with the given positions, one second apart from time 0: record k at time k + 1.
struct SignalRig : Rig {
    explicit SignalRig(const std::vector<int32_t> &positions) : Rig(kSignalWidth, kSignalHeight) {
        for (std::size_t k = 0; k < positions.size(); ++k)
            PutSignal(data, static_cast<int32_t>(k), positions[k]);
    }
};

void AdvanceTo(StreamPlot &plot, StreamProgress &run, uint64_t records) {
    Publish(run, records);
    plot.Advance();
}

TEST(SignalPlot, TheFirstRecordStartsTheRangesAndTheWindow) {
    SignalRig rig({1000});
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf());
    AdvanceTo(plot, *run, 1);
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(950, 1050));
    EXPECT_EQ(Ends(plot.StrengthRange()), Ends(95, 105));
    EXPECT_EQ(Ends(plot.ThirdRange()), Ends(475, 525));
    EXPECT_EQ(Ends(plot.SecondRange()), (std::pair<float, float>{1.9f, 2.1f}));
    EXPECT_FLOAT_EQ(plot.WindowStart(), 1.0f);
    EXPECT_EQ(rig.labels.x.back(), (Texts{"1", "3", "5", "7", "9"}));
    const auto *left = rig.labels.LastY(false);
    const auto *right = rig.labels.LastY(true);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->texts, (Texts{"950", "975", "1000", "1025", "1050"}));
    EXPECT_EQ(left->rgb, colour::Lime);
    EXPECT_EQ(right->texts, (Texts{"2", "2", "2", "2", "2"}));
    EXPECT_EQ(right->rgb, colour::Red);
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(950, 1050));
    EXPECT_EQ(At(rig.image, 0, 200), colour::Lime); // the middle of the range at the window's start
    EXPECT_EQ(rig.labels.elapsed.back(), "1.0");
}

TEST(SignalPlot, AValueAboveTheRangeWidensItAndRedrawsTheWindow) {
    SignalRig rig({1000, 1000, 1000, 1160});
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf());
    AdvanceTo(plot, *run, 3);
    // The trace at y = 200 (on the grid row) from x = 0 to x = 125.
    EXPECT_EQ(At(rig.image, 30, 200), colour::Lime);
    const std::size_t labelled = rig.labels.y.size();

    // 1160: the maximum becomes 1.05 * 1160 = 1218.
    AdvanceTo(plot, *run, 4);
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(950, 1218));
    EXPECT_GT(rig.labels.y.size(), labelled);
    EXPECT_EQ(rig.labels.LastY(false)->texts, (Texts{"950", "1017", "1084", "1151", "1218"}));
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(950, 1218));
    // The window drawn again on the new scale: 1000 on [950, 1218] is at y = 400 - 400 * 50 / 268 = 325.
    EXPECT_EQ(At(rig.image, 30, 200), colour::Olive);
    EXPECT_EQ(At(rig.image, 30, 325), colour::Lime);
    EXPECT_EQ(At(rig.image, 100, 325), colour::Lime);
    // The new point: t = 4 is x = 500 * 3 / 8 = 187, 1160 is y = 400 - 400 * 210 / 268 = 86.
    EXPECT_EQ(At(rig.image, 187, 86), colour::Lime);
    EXPECT_FLOAT_EQ(plot.WindowStart(), 1.0f); // the window goes on
}

TEST(SignalPlot, AValueBelowTheRangeWidensIt) {
    SignalRig rig({1000, 800});
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf());
    AdvanceTo(plot, *run, 2);
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(760, 1050)); // 0.95 * 800
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(760, 1050));
}

TEST(SignalPlot, ARecordPastTheWindowStartsANewWindow) {
    SignalRig rig({1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000});
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf(150, 500, 8.0f));
    // Times 1..8 lie in the window [1, 9).
    AdvanceTo(plot, *run, 8);
    EXPECT_FLOAT_EQ(plot.WindowStart(), 1.0f);
    EXPECT_EQ(rig.labels.x.back(), (Texts{"1", "3", "5", "7", "9"}));
    EXPECT_GT(Count(rig.image, colour::Lime), 300);
    const std::size_t labelled = rig.labels.x.size();

    // Time 9 reaches the window's end: a new window [9, 17], cleared, with only the new point.
    AdvanceTo(plot, *run, 9);
    EXPECT_FLOAT_EQ(plot.WindowStart(), 9.0f);
    EXPECT_EQ(rig.labels.x.size(), labelled + 1);
    EXPECT_EQ(rig.labels.x.back(), (Texts{"9", "11", "13", "15", "17"}));
    EXPECT_LE(Count(rig.image, colour::Lime), 2);
    EXPECT_EQ(At(rig.image, 0, 200), colour::Lime);
    EXPECT_EQ(At(rig.image, 30, 200), colour::Olive);
    // The ranges carry over into the new window.
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(950, 1050));

    AdvanceTo(plot, *run, 10);
    EXPECT_EQ(At(rig.image, 30, 200), colour::Lime); // t = 10 at x = 62
}

TEST(SignalPlot, TheRecordThatOpensANewWindowAlsoWidensTheRange) {
    // Times 1..8 at 1000, then 1400 at time 9 (a new window), then 1000 again.
    SignalRig rig({1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1400, 1000});
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf());
    AdvanceTo(plot, *run, 9);
    EXPECT_FLOAT_EQ(plot.WindowStart(), 9.0f);
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(950, 1470)); // 1.05 * 1400
    EXPECT_EQ(rig.labels.LastY(false)->texts, (Texts{"950", "1080", "1210", "1340", "1470"}));
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(950, 1470));
    // 1400 on [950, 1470]: y = 400 - 400 * 450 / 520 = 53.8.
    EXPECT_EQ(At(rig.image, 0, 53), colour::Lime);
    AdvanceTo(plot, *run, 10);
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(950, 1470));
}

TEST(SignalPlot, WithAutoScaleOffEveryTraceHasTheFixedRange) {
    SignalRig rig({1000, 5000, 2000});
    rig.scaling.signalAuto = false;
    rig.scaling.signalFixed = {0, 4000};
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf());
    AdvanceTo(plot, *run, 1);
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(0, 4000));
    EXPECT_EQ(Ends(plot.ThirdRange()), Ends(0, 4000));
    EXPECT_EQ(Ends(plot.StrengthRange()), Ends(0, 4000));
    EXPECT_EQ(Ends(plot.SecondRange()), (std::pair<float, float>{0.0f, 4000.0f}));
    EXPECT_EQ(rig.labels.LastY(false)->texts, (Texts{"0", "1000", "2000", "3000", "4000"}));
    EXPECT_EQ(rig.labels.LastY(true)->texts, (Texts{"0", "1000", "2000", "3000", "4000"}));
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(0, 4000));
    EXPECT_EQ(At(rig.image, 0, 300), colour::Lime); // 1000 of 4000
    const std::size_t labelled = rig.labels.y.size();

    // 5000 lies outside: no widening, no relabel, no clear, and its step is not drawn.
    const int lime = Count(rig.image, colour::Lime);
    AdvanceTo(plot, *run, 2);
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(0, 4000));
    EXPECT_EQ(rig.labels.y.size(), labelled);
    EXPECT_EQ(Count(rig.image, colour::Lime), lime);
    EXPECT_EQ(At(rig.image, 0, 300), colour::Lime);

    // 2000 inside again: its step is drawn, to x = 125, y = 200.
    AdvanceTo(plot, *run, 3);
    EXPECT_EQ(At(rig.image, 125, 200), colour::Lime);
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(0, 4000));
}

TEST(SignalPlot, RequestRestartStartsOverAtTheNextRecord) {
    SignalRig rig({1000, 1000, 1000, 2000});
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf());
    AdvanceTo(plot, *run, 3);
    EXPECT_FALSE(plot.RestartRequested());
    plot.RequestRestart();
    EXPECT_TRUE(plot.RestartRequested());
    AdvanceTo(plot, *run, 4);
    EXPECT_FALSE(plot.RestartRequested());
    // New ranges around 2000 (not widened from [950, 1050]) and a new window at time 4.
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(1900, 2100));
    EXPECT_EQ(rig.labels.LastY(false)->texts, (Texts{"1900", "1950", "2000", "2050", "2100"}));
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(1900, 2100));
    EXPECT_FLOAT_EQ(plot.WindowStart(), 4.0f);
    EXPECT_EQ(rig.labels.x.back(), (Texts{"4", "6", "8", "10", "12"}));
    EXPECT_LE(Count(rig.image, colour::Lime), 2);
}

TEST(SignalPlot, StrengthAgainstPositionReportsTheStrengthRange) {
    SignalRig rig({1000, 1000});
    PutSignal(rig.data, 1, 1000, 1.0f, 200);
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf(150, 500, 8.0f, 1));
    AdvanceTo(plot, *run, 1);
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(95, 105));
    EXPECT_EQ(rig.labels.LastY(false)->texts, (Texts{"0%", "25%", "50%", "75%", "100%"}));
    EXPECT_EQ(rig.labels.LastY(false)->rgb, colour::Yellow);
    // The X labels show the position range.
    EXPECT_EQ(rig.labels.x.back(), (Texts{"950", "975", "1000", "1025", "1050"}));
    // Strength 200 widens the strength range to 1.05 * 200 = 210.
    AdvanceTo(plot, *run, 2);
    EXPECT_EQ(Ends(plot.StrengthRange()), Ends(95, 210));
    EXPECT_EQ(Ends(rig.scaling.signalCurrent), Ends(95, 210));
    // Position 1000 in the middle of [950, 1050], strength 200 of 215: h = 400 * 200 / 215 = 372.
    EXPECT_EQ(At(rig.image, 250, 400 - 372), colour::Yellow);
}

TEST(SignalPlot, StrengthAgainstPositionKeepsPositionLabelsAcrossTimeWindows) {
    SignalRig rig({1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000});
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    auto run = StartRun(PositionVelocitySet, 0);
    plot.Begin(run, SetupOf(150, 500, 8.0f, 1));
    AdvanceTo(plot, *run, 10); // time 9 opens a new window
    EXPECT_FLOAT_EQ(plot.WindowStart(), 9.0f);
    // The X axis is the position: no time labels replace the position range.
    EXPECT_EQ(rig.labels.x.back(), (Texts{"950", "975", "1000", "1025", "1050"}));
}

TEST(SignalPlotStored, DrawsTheStoredRecordsAtTheirTimes) {
    SignalRig rig({1000, 1000, 1160});
    rig.data.PositionVelocity().count = 3;
    rig.data.PositionVelocity().elapsed = 3.0f;
    SignalPlot plot(rig.data, rig.canvas, rig.scaling);
    plot.ShowStored(SetupOf());
    EXPECT_FALSE(plot.Following());
    EXPECT_EQ(plot.Drawn(), 3u);
    // Times 1, 2, 3: the window starts at the first record.
    EXPECT_FLOAT_EQ(plot.WindowStart(), 1.0f);
    EXPECT_EQ(rig.labels.x.back(), (Texts{"1", "3", "5", "7", "9"}));
    EXPECT_EQ(Ends(plot.PositionRange()), Ends(950, 1218));
    EXPECT_EQ(At(rig.image, 30, 325), colour::Lime);
    EXPECT_EQ(rig.labels.elapsed.back(), "3.0");
}

} // namespace
