#include "widgets/Lamp.h"
#include "widgets/RotatedText.h"
#include "widgets/ScreenInfo.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

TEST(Lamp, BrushColourIsPainted) {
    platform::Lamp lamp;
    lamp.setObjectName("IndexShape");
    lamp.resize(21, 21);
    EXPECT_EQ(lamp.brushColor(), QColor(0x80, 0x80, 0x80));
    lamp.setBrushColor(QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(lamp.brushColor(), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(lamp.property("brushColor").value<QColor>(), QColor(0x00, 0xFF, 0x00));

    QImage img = lamp.grab().toImage();
    ASSERT_FALSE(img.isNull());
    const QPoint centre(img.width() / 2, img.height() / 2);
    EXPECT_EQ(img.pixelColor(centre), QColor(0x00, 0xFF, 0x00));
    // An ellipse, not a rectangle: the corner is not filled.
    EXPECT_NE(img.pixelColor(0, 0), QColor(0x00, 0xFF, 0x00));

    lamp.setBrushColor(Qt::red);
    img = lamp.grab().toImage();
    EXPECT_EQ(img.pixelColor(centre), QColor(Qt::red));
    lamp.setPenColor(Qt::white);
    EXPECT_EQ(lamp.penColor(), QColor(Qt::white));
    EXPECT_EQ(lamp.objectName(), "IndexShape");
}

TEST(RotatedText, ReadsUpwardsFromTheOrigin) {
    QImage img(300, 300, QImage::Format_RGB32);
    img.fill(Qt::black);
    QFont font("Arial");
    font.setPixelSize(20);
    const QPoint origin(100, 250);
    const QString text = "Optimal";
    {
        QPainter p(&img);
        p.setFont(font);
        p.setPen(Qt::white);
        platform::DrawRotatedText(p, origin, text);
    }
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qRed(img.pixel(x, y)) > 128) box |= QRect(x, y, 1, 1);
    ASSERT_FALSE(box.isEmpty());
    const QFontMetrics fm(font);
    // To the right of the origin within one line height, above the origin within the text width.
    EXPECT_GE(box.left(), origin.x());
    EXPECT_LE(box.right(), origin.x() + fm.height());
    EXPECT_LE(box.bottom(), origin.y());
    EXPECT_GE(box.top(), origin.y() - fm.horizontalAdvance(text) - 2);
    // Tall rather than wide.
    EXPECT_GT(box.height(), 2 * box.width());
    // The painter state is restored: unrotated text lands where expected.
    {
        QPainter p(&img);
        p.setFont(font);
        p.setPen(Qt::white);
        platform::DrawRotatedText(p, QPoint(10, 50), "x");
        EXPECT_TRUE(p.transform().isIdentity());
    }
}

TEST(ScreenInfo, OverrideAndRestore) {
    const platform::ScreenMetrics real = platform::CurrentScreen();
    EXPECT_GT(real.width, 0);
    EXPECT_GT(real.height, 0);
    EXPECT_GT(real.pixelsPerInch, 0);
    {
        platform::ScopedScreenOverride a({800, 600, 96});
        EXPECT_EQ(platform::CurrentScreen(), (platform::ScreenMetrics{800, 600, 96}));
        {
            platform::ScopedScreenOverride b({1280, 1024, 120});
            EXPECT_EQ(platform::CurrentScreen(), (platform::ScreenMetrics{1280, 1024, 120}));
        }
        EXPECT_EQ(platform::CurrentScreen(), (platform::ScreenMetrics{800, 600, 96}));
    }
    EXPECT_EQ(platform::CurrentScreen(), real);
    platform::SetScreenOverride(platform::ScreenMetrics{1152, 864, 96});
    EXPECT_EQ(platform::CurrentScreen().width, 1152);
    platform::SetScreenOverride(std::nullopt);
    EXPECT_EQ(platform::CurrentScreen(), real);
}

} // namespace
