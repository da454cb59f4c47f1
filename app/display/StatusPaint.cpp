#include "display/StatusPaint.h"

namespace kpd {

namespace {

const std::array<StatusDecorations, 3> kDecorations = {{
    {{{{127, 110, 610, 170}, {273, 205, 520, 280}, {273, 312, 520, 435}}}, {605, 310}, {605, 474}},
    {{{{216, 120, 609, 200}, {360, 250, 609, 350}, {360, 383, 609, 540}}}, {775, 410}, {775, 565}},
    {{{{232, 195, 980, 306}, {376, 360, 738, 510}, {376, 545, 738, 735}}}, {975, 580}, {975, 820}},
}};

} // namespace

const StatusDecorations &StatusDecorationsFor(int sizeClass) {
    if (sizeClass < 0) sizeClass = 0;
    if (sizeClass > 2) sizeClass = 2;
    return kDecorations[std::size_t(sizeClass)];
}

std::array<PaintSegment, 4> BevelSegments(const PaintRect &r, Rgb first, Rgb second) {
    const PaintPoint leftBottom{r.left, r.bottom};
    const PaintPoint leftTop{r.left, r.top};
    const PaintPoint rightTop{r.right, r.top};
    const PaintPoint rightBottom{r.right, r.bottom};
    return {{{leftBottom, leftTop, first},
             {leftTop, rightTop, first},
             {rightTop, rightBottom, second},
             {rightBottom, leftBottom, second}}};
}

std::array<PaintSegment, 4> ControlBevel(const PaintRect &controlBounds, bool raised) {
    const PaintRect r{controlBounds.left - 1, controlBounds.top - 1, controlBounds.right,
                      controlBounds.bottom};
    return raised ? BevelSegments(r, kBevelLight, kBevelShadow) : BevelSegments(r, clBlack, clBlack);
}

} // namespace kpd
