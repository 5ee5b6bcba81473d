#include "toolkit/Glyph.h"

#include <QColor>

#include <gtest/gtest.h>

namespace {

// Two 4x3 images side by side on olive; a red pixel in the first, a grey one in the second.
QImage TwoImages() {
    QImage Picture(8, 3, QImage::Format_RGB32);
    Picture.fill(QColor(128, 128, 0));
    Picture.setPixelColor(1, 1, Qt::red);
    Picture.setPixelColor(6, 0, Qt::gray);
    return Picture;
}

} // namespace

TEST(Glyph, SplitsThePictureAndMakesTheBottomLeftColourTransparent) {
    const QImage Normal = GlyphImage(TwoImages(), 2, 0);
    ASSERT_EQ(Normal.size(), QSize(4, 3));
    EXPECT_EQ(Normal.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(Normal.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(Normal.pixelColor(3, 2).alpha(), 0);

    const QImage Disabled = GlyphImage(TwoImages(), 2, 1);
    ASSERT_EQ(Disabled.size(), QSize(4, 3));
    EXPECT_EQ(Disabled.pixelColor(2, 0), QColor(Qt::gray));
    EXPECT_EQ(Disabled.pixelColor(1, 1).alpha(), 0);
}

TEST(Glyph, BadRequestsGiveNoImage) {
    EXPECT_TRUE(GlyphImage(TwoImages(), 2, 2).isNull());
    EXPECT_TRUE(GlyphImage(TwoImages(), 0, 0).isNull());
    EXPECT_TRUE(GlyphImage(QImage(), 2, 0).isNull());
}
