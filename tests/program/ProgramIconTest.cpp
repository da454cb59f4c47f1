// The program's icon: square, rounded corners transparent, the logo's background and its white lettering
// inside.
#include "program/ProgramIcon.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramIcon, SquareWithTransparentCornersAndTheLogoInside) {
    for (int size : {48, 128, 256}) {
        const QImage icon = kpd::ProgramIcon(size);
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0) << size;
        EXPECT_EQ(icon.pixelColor(size - 1, size - 1).alpha(), 0) << size;
        // Opaque blue above and below the logo (the logo's own background).
        for (QPoint p : {QPoint(size / 2, size / 10), QPoint(size / 2, size - size / 10)}) {
            const QColor c = icon.pixelColor(p);
            EXPECT_EQ(c.alpha(), 255) << size;
            EXPECT_GT(c.blue(), 100) << size;
            EXPECT_LT(c.red(), 60) << size;
        }
        // The logo's white lettering appears somewhere on its middle band.
        int white = 0;
        for (int y = size / 3; y < size * 2 / 3; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor c = icon.pixelColor(x, y);
                if (c.red() > 200 && c.green() > 200 && c.blue() > 200) ++white;
            }
        EXPECT_GT(white, size / 2) << size;
    }
    EXPECT_TRUE(kpd::ProgramIcon(8).isNull());
}

} // namespace
