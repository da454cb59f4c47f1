// Status display decorations: frames and captions per size class, and the bevel rule.
#include "display/StatusPaint.h"

#include <gtest/gtest.h>

namespace kpd {
namespace {

TEST(StatusDecorations, FramesAndCaptionsPerSizeClass) {
    const StatusDecorations &small = StatusDecorationsFor(0);
    EXPECT_EQ(small.frames[0], (PaintRect{127, 110, 610, 170}));
    EXPECT_EQ(small.frames[1], (PaintRect{273, 205, 520, 280}));
    EXPECT_EQ(small.frames[2], (PaintRect{273, 312, 520, 435}));
    EXPECT_EQ(small.optimalText, (PaintPoint{605, 310}));
    EXPECT_EQ(small.poorText, (PaintPoint{605, 474}));

    const StatusDecorations &medium = StatusDecorationsFor(1);
    EXPECT_EQ(medium.frames[0], (PaintRect{216, 120, 609, 200}));
    EXPECT_EQ(medium.frames[1], (PaintRect{360, 250, 609, 350}));
    EXPECT_EQ(medium.frames[2], (PaintRect{360, 383, 609, 540}));
    EXPECT_EQ(medium.optimalText, (PaintPoint{775, 410}));
    EXPECT_EQ(medium.poorText, (PaintPoint{775, 565}));

    const StatusDecorations &large = StatusDecorationsFor(2);
    EXPECT_EQ(large.frames[0], (PaintRect{232, 195, 980, 306}));
    EXPECT_EQ(large.frames[1], (PaintRect{376, 360, 738, 510}));
    EXPECT_EQ(large.frames[2], (PaintRect{376, 545, 738, 735}));
    EXPECT_EQ(large.optimalText, (PaintPoint{975, 580}));
    EXPECT_EQ(large.poorText, (PaintPoint{975, 820}));
}

TEST(StatusDecorations, FramesAreWellFormedAndCaptionsBelowOneAnother) {
    for (int c = 0; c < 3; ++c) {
        const StatusDecorations &d = StatusDecorationsFor(c);
        for (const PaintRect &r : d.frames) {
            EXPECT_LT(r.left, r.right);
            EXPECT_LT(r.top, r.bottom);
        }
        EXPECT_EQ(d.optimalText.x, d.poorText.x);
        EXPECT_LT(d.optimalText.y, d.poorText.y);
    }
}

TEST(StatusDecorations, OutOfRangeClassUsesNearest) {
    EXPECT_EQ(&StatusDecorationsFor(-3), &StatusDecorationsFor(0));
    EXPECT_EQ(&StatusDecorationsFor(7), &StatusDecorationsFor(2));
}

TEST(Bevel, SegmentsInDrawingOrder) {
    const auto s = BevelSegments({10, 20, 50, 40}, clWhite, clGray);
    EXPECT_EQ(s[0], (PaintSegment{{10, 40}, {10, 20}, clWhite}));
    EXPECT_EQ(s[1], (PaintSegment{{10, 20}, {50, 20}, clWhite}));
    EXPECT_EQ(s[2], (PaintSegment{{50, 20}, {50, 40}, clGray}));
    EXPECT_EQ(s[3], (PaintSegment{{50, 40}, {10, 40}, clGray}));
    for (std::size_t i = 0; i < s.size(); ++i)
        EXPECT_EQ(s[i].to, s[(i + 1) % s.size()].from) << "the outline is one closed path";
}

TEST(Bevel, AroundAControlStartsOnePixelOutside) {
    // A control at (100, 200) of 75 x 25 pixels: bounds right 175, bottom 225.
    const auto raised = ControlBevel({100, 200, 175, 225});
    EXPECT_EQ(raised[0].from, (PaintPoint{99, 225}));
    EXPECT_EQ(raised[1].from, (PaintPoint{99, 199}));
    EXPECT_EQ(raised[2].from, (PaintPoint{175, 199}));
    EXPECT_EQ(raised[3].from, (PaintPoint{175, 225}));
    EXPECT_EQ(raised[0].colour, clWhite);
    EXPECT_EQ(raised[1].colour, clWhite);
    EXPECT_EQ(raised[2].colour, clGray);
    EXPECT_EQ(raised[3].colour, clGray);

    const auto erased = ControlBevel({100, 200, 175, 225}, false);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(erased[i].from, raised[i].from);
        EXPECT_EQ(erased[i].colour, clBlack);
    }
}

TEST(Rgb, ValueAndHex) {
    EXPECT_EQ(clOlive.Value(), 0x808000u);
    EXPECT_EQ(Rgb::FromValue(0x00FF7F), (Rgb{0, 0xFF, 0x7F}));
    EXPECT_EQ(clAqua.ToHex(), "#00FFFF");
    EXPECT_NE(clGrayText, clGray);
}

} // namespace
} // namespace kpd
