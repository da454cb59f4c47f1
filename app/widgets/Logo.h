#pragma once
// The program's images: the two logos (our own artwork, JPEG files in app/platform/images/, embedded
// into the program and decoded with libjpeg at run time), and the images drawn in code: the zone
// markers beside the signal bar and the signal bar itself.

#include <QColor>
#include <QImage>
#include <QSize>

#include <span>

namespace platform {

inline constexpr QSize kLargeLogoSize{240, 80};
inline constexpr QSize kSmallLogoSize{160, 54};

// The embedded JPEG data.
std::span<const unsigned char> LargeLogoJpeg();
std::span<const unsigned char> SmallLogoJpeg();

// The decoded logos (240 x 80 and 160 x 54); a null image if the embedded data could not be decoded.
QImage LargeLogo();
QImage SmallLogo();

// Zone marker colours: the pairs greenleft/greenright, yellowleft/yellowright, redleft/redright and
// darkgreenleft/darkgreenright.
enum class ZoneColor { Green, Yellow, Red, DarkGreen };
// Left markers stand left of the bar and point right, at the bar; right markers point left.
enum class MarkerSide { Left, Right };

QColor ZoneRgb(ZoneColor color); // Green #00FF00, Yellow #FFFF00, Red #FF0000, DarkGreen #008000

inline constexpr QSize kZoneMarkerSize{12, 16};

// A filled triangle of the zone colour on black, pointing towards the bar.
QImage ZoneMarker(ZoneColor color, MarkerSide side, QSize size = kZoneMarkerSize);

inline constexpr QSize kSignalBarSize{24, 260};

// The signal bar `SignalBar`: a vertical bar with a white outline, green in its upper half (Optimal
// and Good), yellow below (Marginal) and red in its lowest quarter (Poor): green rows [0, h/2), yellow
// [h/2, 3h/4), red [3h/4, h) inside the outline.
QImage SignalBarImage(QSize size = kSignalBarSize);

} // namespace platform
