// Static decorations of the status display: the three grey frames, the words "Optimal" and "Poor", and
// the two-colour bevel drawn around buttons. Shared by the main window's paint code and its tests.
#pragma once

#include "workers/Rgb.h"

#include <array>
#include <string_view>

namespace kpd {

struct PaintPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PaintPoint &, const PaintPoint &) = default;
};

// A rectangle as (left, top)-(right, bottom).
struct PaintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PaintRect &, const PaintRect &) = default;
};

struct PaintSegment {
    PaintPoint from;
    PaintPoint to;
    Rgb colour;
    friend bool operator==(const PaintSegment &, const PaintSegment &) = default;
};

// Decorations of one layout size class (0 small, 1 medium, 2 large).
struct StatusDecorations {
    std::array<PaintRect, 3> frames; // 1-pixel clGray lines
    PaintPoint optimalText;          // where "Optimal" is written
    PaintPoint poorText;             // where "Poor" is written
};

inline constexpr Rgb kFrameColour = clGray;
inline constexpr std::string_view kOptimalText = "Optimal";
inline constexpr std::string_view kPoorText = "Poor";

// The decorations of a size class; a class outside 0..2 is taken as the nearest valid one.
const StatusDecorations &StatusDecorationsFor(int sizeClass);

// Bevel colours: raised (white top and left, grey bottom and right) and erased (black on the black window).
inline constexpr Rgb kBevelLight = clWhite;
inline constexpr Rgb kBevelShadow = clGray;

// The four segments of a bevel around rectangle r, drawn with a solid 1-pixel pen: (left, bottom) up to
// (left, top) and across to (right, top) in `first`, then down to (right, bottom) and back to
// (left, bottom) in `second`.
std::array<PaintSegment, 4> BevelSegments(const PaintRect &r, Rgb first, Rgb second);

// A bevel around a control whose bounds are r (right and bottom exclusive, as left + width, top + height):
// the rectangle left - 1, top - 1, right, bottom. raised = false draws it black.
std::array<PaintSegment, 4> ControlBevel(const PaintRect &controlBounds, bool raised = true);

// Buttons bevelled by the paint event while the status display is shown, and in every display mode.
inline constexpr std::array<std::string_view, 6> kStatusBevelledButtons = {
    "ResetPositionButton", "StartCalButton",  "StopCalButton",
    "StartAlignButton",    "StopAlignButton", "SetInterpolationButton"};
inline constexpr std::array<std::string_view, 2> kAlwaysBevelledButtons = {"CenterIndexButton",
                                                                           "SetFrequencyButton"};

} // namespace kpd
