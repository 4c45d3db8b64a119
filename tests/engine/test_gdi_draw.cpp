// Drawing helpers of the imaging layer: colour references, regions and clip
// exclusion, the gradient brush with its unscaled angle, pixel-sized fonts.

#include "GdiDraw.h"

#include "TestSupport.h"

#include <QFontInfo>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {


QImage FillWith(const QBrush& brush, int w, int h)
{
    QImage image = MakeSolid(w, h, Qt::white);
    QPainter g(&image);
    g.fillRect(QRect(0, 0, w, h), brush);
    return image;
}

// Near enough for a gradient sampled at pixel centres.
void ExpectNear(QRgb actual, QRgb expected, int tolerance, const char* where)
{
    EXPECT_LE(std::abs(qRed(actual) - qRed(expected)), tolerance) << where;
    EXPECT_LE(std::abs(qGreen(actual) - qGreen(expected)), tolerance) << where;
    EXPECT_LE(std::abs(qBlue(actual) - qBlue(expected)), tolerance) << where;
}

} // namespace

TEST(GdiDrawTest, ColourReferencesAreRedInTheLowByteAndOpaque)
{
    const QColor c = ColorRefToColor(0xAAFF8040u);
    EXPECT_EQ(c.red(), 0x40);
    EXPECT_EQ(c.green(), 0x80);
    EXPECT_EQ(c.blue(), 0xFF);
    EXPECT_EQ(c.alpha(), 255);
    EXPECT_EQ(MakeColorRef(0x40, 0x80, 0xFF), 0x00FF8040u);
}

TEST(GdiDrawTest, RegionStartsUnboundedAndGrowsByUnion)
{
    TGPRegion region;
    EXPECT_TRUE(region.IsInfinite());
    EXPECT_TRUE(region.IsVisible(-100000, 100000));
    region.MakeEmpty();
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_FALSE(region.IsVisible(0, 0));
    region.Union(TGPRect{0, 0, 10, 10});
    region.Union(TGPRect{20, 0, 5, 5});
    region.Union(TGPRect{50, 50, 0, 5}); // empty: adds nothing
    EXPECT_TRUE(region.IsVisible(9, 9));
    EXPECT_FALSE(region.IsVisible(10, 9));
    EXPECT_TRUE(region.IsVisible(24, 4));
    EXPECT_FALSE(region.IsVisible(15, 2));
    EXPECT_FALSE(region.IsVisible(50, 52));
    region.MakeInfinite();
    EXPECT_TRUE(region.IsVisible(15, 2));
}

TEST(GdiDrawTest, ExcludedRegionIsLeftUntouchedByLaterFills)
{
    QImage image = MakeSolid(40, 30, Qt::white);
    TGPRegion region;
    region.MakeEmpty();
    region.Union(TGPRect{5, 5, 10, 10});
    region.Union(TGPRect{20, 5, 3, 3});
    {
        QPainter g(&image);
        ExcludeClipRegion(g, region);
        g.fillRect(QRect(0, 0, 40, 30), Qt::blue);
    }
    EXPECT_EQ(PixelAt(image, 5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(image, 14, 14), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(image, 22, 7), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(image, 15, 14), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(image, 4, 5), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(image, 39, 29), qRgb(0, 0, 255));

    // Set, then exclude inside the set clip: only the rest of the set area.
    QImage second = MakeSolid(40, 30, Qt::white);
    {
        QPainter g(&second);
        TGPRegion clip;
        clip.MakeEmpty();
        clip.Union(TGPRect{0, 0, 20, 30});
        SetClipRegion(g, clip);
        ExcludeClipRegion(g, region);
        g.fillRect(QRect(0, 0, 40, 30), Qt::red);
    }
    EXPECT_EQ(PixelAt(second, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(second, 10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(second, 25, 20), qRgb(255, 255, 255));

    // Excluding an unbounded region leaves nothing to draw on.
    QImage third = MakeSolid(10, 10, Qt::white);
    {
        QPainter g(&third);
        ExcludeClipRegion(g, TGPRegion());
        g.fillRect(QRect(0, 0, 10, 10), Qt::red);
    }
    EXPECT_TRUE(SamePixels(third, MakeSolid(10, 10, Qt::white)));
}

TEST(GdiDrawTest, GradientRunsFromFirstToSecondColourAlongTheAngle)
{
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    const QImage across =
        FillWith(MakeLinearGradientBrush(QRectF(0, 0, 100, 50), red, blue, 0), 100, 50);
    ExpectNear(PixelAt(across, 0, 25), qRgb(255, 0, 0), 4, "left");
    ExpectNear(PixelAt(across, 99, 25), qRgb(0, 0, 255), 4, "right");
    ExpectNear(PixelAt(across, 50, 0), PixelAt(across, 50, 49), 1, "columns are uniform");

    const QImage down =
        FillWith(MakeLinearGradientBrush(QRectF(0, 0, 100, 50), red, blue, 90), 100, 50);
    ExpectNear(PixelAt(down, 50, 0), qRgb(255, 0, 0), 7, "top");
    ExpectNear(PixelAt(down, 50, 49), qRgb(0, 0, 255), 7, "bottom");
    ExpectNear(PixelAt(down, 0, 20), PixelAt(down, 99, 20), 1, "rows are uniform");

    const QImage back =
        FillWith(MakeLinearGradientBrush(QRectF(0, 0, 100, 50), red, blue, 180), 100, 50);
    ExpectNear(PixelAt(back, 0, 25), qRgb(0, 0, 255), 4, "reversed left");
}

TEST(GdiDrawTest, GradientAngleIsNotScaledWithTheRectangle)
{
    // At 45 degrees on a 200 x 50 rectangle the lines of equal colour are
    // perpendicular to the true 45-degree direction (x + y constant), not
    // to the rectangle's diagonal.
    const QImage image = FillWith(
        MakeLinearGradientBrush(QRectF(0, 0, 200, 50), QColor(255, 0, 0), QColor(0, 0, 255), 45),
        200, 50);
    ExpectNear(PixelAt(image, 100, 0), PixelAt(image, 60, 40), 2, "x + y = 100");
    ExpectNear(PixelAt(image, 140, 10), PixelAt(image, 110, 40), 2, "x + y = 150");
    EXPECT_GT(qRed(PixelAt(image, 100, 0)), qRed(PixelAt(image, 140, 10)) + 40);
    // The start and end lines pass through the outer corners.
    ExpectNear(PixelAt(image, 0, 0), qRgb(255, 0, 0), 6, "first corner");
    ExpectNear(PixelAt(image, 199, 49), qRgb(0, 0, 255), 6, "last corner");
}

TEST(GdiDrawTest, FontEmIsInPixelsWithTheStyleSum)
{
    QImage image = MakeSolid(10, 10, Qt::white);
    const QFont f12 = MakePixelFont("DejaVu Sans", 12, FontStyleRegular, &image);
    EXPECT_EQ(QFontInfo(f12).pixelSize(), 12);
    const QFont f30 = MakePixelFont("DejaVu Sans", 30, FontStyleBold | FontStyleUnderline, &image);
    EXPECT_EQ(QFontInfo(f30).pixelSize(), 30);
    EXPECT_TRUE(f30.bold());
    EXPECT_FALSE(f30.italic());
    EXPECT_TRUE(f30.underline());
    EXPECT_FALSE(f30.strikeOut());
    const QFont all = MakePixelFont("DejaVu Sans", 10, 15, nullptr);
    EXPECT_TRUE(all.bold() && all.italic() && all.underline() && all.strikeOut());

    EXPECT_EQ(TrimFamilyName(QString::fromUtf8(" \t Arial Black\r\n\x01")),
              QStringLiteral("Arial Black"));
    EXPECT_EQ(TrimFamilyName(QStringLiteral("   ")), QString());
}

TEST(GdiDrawTest, TextIsClippedToTheLayoutRectangleAndWrapped)
{
    QImage image = MakeSolid(200, 100, Qt::white);
    const QFont font = MakePixelFont("DejaVu Sans", 20, FontStyleBold, &image);
    {
        QPainter g(&image);
        DrawStringInRect(g, QStringLiteral("WWWW WWWW WWWW WWWW"), font, QRectF(10, 10, 60, 50),
                         QBrush(Qt::black));
    }
    int inkOutside = 0;
    int inkInside = 0;
    int inkSecondLine = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool ink = qRed(PixelAt(image, x, y)) < 128;
            const bool inside = x >= 10 && x < 70 && y >= 10 && y < 60;
            inkOutside += ink && !inside ? 1 : 0;
            inkInside += ink && inside ? 1 : 0;
            inkSecondLine += ink && inside && y >= 35 ? 1 : 0;
        }
    }
    EXPECT_EQ(inkOutside, 0);
    EXPECT_GT(inkInside, 100);
    EXPECT_GT(inkSecondLine, 20); // the words wrap onto a second line
}
