#include "widgets/JpegDecoder.h"
#include "widgets/Logo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

using platform::DecodeJpeg;

int ColorDistance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

std::vector<unsigned char> Bytes(std::span<const unsigned char> s) {
    return {s.begin(), s.end()};
}

TEST(Logos, EmbeddedLogosDecodeAtTheirSizes) {
    const QImage large = platform::LargeLogo();
    const QImage small = platform::SmallLogo();
    ASSERT_FALSE(large.isNull());
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(large.size(), platform::kLargeLogoSize);
    EXPECT_EQ(small.size(), platform::kSmallLogoSize);
    // Small enough to embed.
    EXPECT_LT(platform::LargeLogoJpeg().size(), 30u * 1024);
    EXPECT_LT(platform::SmallLogoJpeg().size(), 30u * 1024);
}

TEST(Logos, DecodedPixelsMatchTheArtwork) {
    // The artwork: a dark blue rounded panel on black, a yellow triangle on the left, white "KPD".
    const QImage large = platform::LargeLogo();
    ASSERT_FALSE(large.isNull());
    EXPECT_LT(ColorDistance(large.pixel(0, 0), qRgb(0, 0, 0)), 60);            // black corner
    EXPECT_LT(ColorDistance(large.pixel(120, 6), qRgb(0x0a, 0x3d, 0x8f)), 60); // blue panel
    EXPECT_LT(ColorDistance(large.pixel(40, 58), qRgb(0xf0, 0xc0, 0x20)), 90); // triangle base
    // Some pixels of the white lettering exist in the "KPD" area.
    int white = 0;
    for (int y = 20; y < 55; ++y)
        for (int x = 76; x < 180; ++x)
            white += ColorDistance(large.pixel(x, y), qRgb(255, 255, 255)) < 60;
    EXPECT_GT(white, 200);
}

TEST(JpegDecoder, FileDecodesLikeMemory) {
    const auto dir = std::filesystem::temp_directory_path() / ("kpd-jpeg-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "logo.jpg").string();
    {
        const auto data = Bytes(platform::SmallLogoJpeg());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
    }
    EXPECT_EQ(platform::DecodeJpegFile(path), platform::SmallLogo());
    EXPECT_TRUE(platform::DecodeJpegFile((dir / "missing.jpg").string()).isNull());
    EXPECT_TRUE(platform::DecodeJpegFile(dir.string()).isNull()); // a directory
    std::filesystem::remove_all(dir);
}

TEST(JpegDecoder, CorruptDataGivesNullImage) {
    const auto good = Bytes(platform::LargeLogoJpeg());
    EXPECT_TRUE(DecodeJpeg({}).isNull());
    // Truncated at several points: in the header, in the scan data, just before the end marker.
    for (std::size_t cut :
         {std::size_t{2}, std::size_t{20}, good.size() / 3, good.size() / 2, good.size() - 2}) {
        const std::vector<unsigned char> part(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_TRUE(DecodeJpeg(part).isNull()) << "cut at " << cut;
    }
    // Not a JPEG at all.
    std::vector<unsigned char> noise(4000);
    std::mt19937 rng(42);
    for (auto &b : noise)
        b = static_cast<unsigned char>(rng());
    EXPECT_TRUE(DecodeJpeg(noise).isNull());
    // A JPEG start marker followed by noise.
    noise[0] = 0xFF;
    noise[1] = 0xD8;
    EXPECT_TRUE(DecodeJpeg(noise).isNull());
    // Header of a valid image with the scan data overwritten: must not crash (null or an image).
    auto damaged = good;
    for (std::size_t i = good.size() / 2; i < good.size() / 2 + 200; ++i)
        damaged[i] = 0xFF;
    const QImage img = DecodeJpeg(damaged);
    EXPECT_TRUE(img.isNull() || img.size() == platform::kLargeLogoSize);
    // The good data still decodes after all this.
    EXPECT_FALSE(DecodeJpeg(good).isNull());
}

TEST(ZoneMarkers, TrianglesInTheirZoneColourPointAtTheBar) {
    const QSize s = platform::kZoneMarkerSize;
    const int midY = (s.height() - 1) / 2;
    // Each zone's marker is painted in its colour: green, yellow, red and dark green.
    const struct {
        platform::ZoneColor zone;
        QRgb rgb;
    } zones[] = {{platform::ZoneColor::Green, qRgb(0x00, 0xFF, 0x00)},
                 {platform::ZoneColor::Yellow, qRgb(0xFF, 0xFF, 0x00)},
                 {platform::ZoneColor::Red, qRgb(0xFF, 0x00, 0x00)},
                 {platform::ZoneColor::DarkGreen, qRgb(0x00, 0x80, 0x00)}};
    for (const auto &z : zones) {
        SCOPED_TRACE(static_cast<int>(z.zone));
        const QImage left = platform::ZoneMarker(z.zone, platform::MarkerSide::Left);
        const QImage right = platform::ZoneMarker(z.zone, platform::MarkerSide::Right);
        ASSERT_EQ(left.size(), s);
        ASSERT_EQ(right.size(), s);
        // Left marker: base on the left edge, tip at the right edge's middle.
        EXPECT_EQ(left.pixel(0, midY), z.rgb);
        EXPECT_EQ(left.pixel(s.width() / 2, midY), z.rgb);
        EXPECT_EQ(left.pixel(s.width() - 1, midY), z.rgb);
        EXPECT_EQ(left.pixel(s.width() - 1, 0), qRgb(0, 0, 0));
        // Right marker is the mirror image.
        EXPECT_EQ(right.pixel(s.width() - 1, midY), z.rgb);
        EXPECT_EQ(right.pixel(0, midY), z.rgb);
        EXPECT_EQ(right.pixel(0, 0), qRgb(0, 0, 0));
        EXPECT_EQ(right, left.mirrored(true, false));
    }
    EXPECT_TRUE(
        platform::ZoneMarker(platform::ZoneColor::Red, platform::MarkerSide::Left, QSize(0, 5)).isNull());
}

TEST(SignalBar, BandsFromTopToBottom) {
    const QSize s(20, 200);
    const QImage bar = platform::SignalBarImage(s);
    ASSERT_EQ(bar.size(), s);
    const int x = s.width() / 2;
    EXPECT_EQ(bar.pixel(x, 0), qRgb(255, 255, 255)); // outline
    EXPECT_EQ(bar.pixel(0, 100), qRgb(255, 255, 255));
    EXPECT_EQ(bar.pixel(x, 1), qRgb(0, 255, 0));
    EXPECT_EQ(bar.pixel(x, 99), qRgb(0, 255, 0));
    EXPECT_EQ(bar.pixel(x, 100), qRgb(255, 255, 0));
    EXPECT_EQ(bar.pixel(x, 149), qRgb(255, 255, 0));
    EXPECT_EQ(bar.pixel(x, 150), qRgb(255, 0, 0));
    EXPECT_EQ(bar.pixel(x, 198), qRgb(255, 0, 0));
    EXPECT_EQ(bar.pixel(x, 199), qRgb(255, 255, 255));
    EXPECT_EQ(platform::SignalBarImage().size(), platform::kSignalBarSize);
    EXPECT_TRUE(platform::SignalBarImage(QSize(2, 2)).isNull());
}

} // namespace
