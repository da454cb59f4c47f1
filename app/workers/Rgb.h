// Colour value used by the status display's view model: brush and font colours as plain RGB triples.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace kpd {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    // 0xRRGGBB
    constexpr std::uint32_t Value() const { return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b; }
    static constexpr Rgb FromValue(std::uint32_t v) {
        return Rgb{std::uint8_t((v >> 16) & 0xFF), std::uint8_t((v >> 8) & 0xFF), std::uint8_t(v & 0xFF)};
    }
    // "#RRGGBB"
    std::string ToHex() const {
        static const char digits[] = "0123456789ABCDEF";
        std::string s = "#";
        for (std::uint8_t c : {r, g, b}) {
            s += digits[c >> 4];
            s += digits[c & 0xF];
        }
        return s;
    }
    friend constexpr bool operator==(const Rgb &, const Rgb &) = default;
    friend std::ostream &operator<<(std::ostream &os, const Rgb &c) { return os << c.ToHex(); }
};

// The standard colour names of the window designs.
inline constexpr Rgb clBlack{0x00, 0x00, 0x00};
inline constexpr Rgb clWhite{0xFF, 0xFF, 0xFF};
inline constexpr Rgb clGray{0x80, 0x80, 0x80};
inline constexpr Rgb clRed{0xFF, 0x00, 0x00};
inline constexpr Rgb clLime{0x00, 0xFF, 0x00};
inline constexpr Rgb clBlue{0x00, 0x00, 0xFF};
inline constexpr Rgb clYellow{0xFF, 0xFF, 0x00};
inline constexpr Rgb clAqua{0x00, 0xFF, 0xFF};
inline constexpr Rgb clGreen{0x00, 0x80, 0x00};
inline constexpr Rgb clOlive{0x80, 0x80, 0x00};
// The system colour for disabled text: the "reset" look of the alarm lamps. Deliberately different from
// clGray (an index or limit lamp that is merely off) so the two states stay distinguishable.
inline constexpr Rgb clGrayText{0x6D, 0x6D, 0x6D};

} // namespace kpd
