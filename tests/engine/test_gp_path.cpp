// Paths and brushes of the imaging layer: even-odd rings, filling without a
// stroke, textures tiled from the origin and prepended brush transforms.

#include "GPPath.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

QImage Fill(const TGPPath& path, const QBrush& brush, int w, int h)
{
    QImage image = NewBitmap(w, h);
    QPainter g(&image);
    FillPath(g, path, brush);
    return image;
}

} // namespace

TEST(GPPathTest, TwoRectanglesUnderTheAlternateRuleFillOnlyTheRing)
{
    TGPPath path;
    path.AddRectangle(TGPRect{0, 0, 20, 10});
    path.AddRectangle(TGPRect{3, 2, 14, 6});
    EXPECT_EQ(path.FigureCount(), 2);
    const QImage image = Fill(path, MakeSolidBrush(Qt::red), 20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 3 && x < 17 && y >= 2 && y < 8;
            EXPECT_EQ(PixelAt(image, x, y), inside ? 0u : qRgb(255, 0, 0)) << x << "," << y;
        }
}

TEST(GPPathTest, FillingStrokesNoOutlineWhateverThePainterPen)
{
    TGPPath path;
    path.AddRectangle(TGPRect{2, 2, 6, 6});
    QImage image = NewBitmap(10, 10);
    {
        QPainter g(&image);
        g.setPen(QPen(Qt::black, 3));
        FillPath(g, path, MakeSolidBrush(Qt::green));
    }
    EXPECT_EQ(AlphaAt(image, 1, 1), 0);
    EXPECT_EQ(AlphaAt(image, 8, 5), 0);
    EXPECT_EQ(PixelAt(image, 2, 2), qRgb(0, 255, 0));
    EXPECT_EQ(PixelAt(image, 7, 7), qRgb(0, 255, 0));
}

TEST(GPPathTest, DegenerateFiguresAddNothing)
{
    TGPPath path;
    path.AddRectangle(TGPRect{5, 5, 0, 4});
    path.AddEllipse(TGPRect{5, 5, 4, -1});
    path.AddPolygon({QPointF(0, 0), QPointF(1, 1)});
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_EQ(TGPPath(TFillMode::Winding).PainterPath().fillRule(), Qt::WindingFill);
    EXPECT_EQ(TGPPath().PainterPath().fillRule(), Qt::OddEvenFill);
}

TEST(GPPathTest, TextureRepeatsFromTheOriginAndAnEmptyOneFillsNothing)
{
    const QImage tile = MakeGradient(3, 2);
    TGPPath path;
    path.AddRectangle(TGPRect{1, 1, 9, 7});
    const QImage image = Fill(path, MakeTextureBrush(tile), 10, 8);
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 10; ++x)
            ASSERT_EQ(PixelAt(image, x, y), PixelAt(tile, x % 3, y % 2)) << x << "," << y;
    EXPECT_EQ(AlphaAt(image, 0, 0), 0);

    EXPECT_EQ(MakeTextureBrush(QImage()).style(), Qt::NoBrush);
    EXPECT_TRUE(SamePixels(Fill(path, MakeTextureBrush(QImage()), 10, 8), NewBitmap(10, 8)));
}

TEST(GPPathTest, BrushStepsArePrependedToItsTransform)
{
    // Rotate first, then move: texel (u, v) of a quarter-turned tile lands at
    // (W - 1 - v, u) once the tile is moved right by its height (pixel
    // centres at x + 0.5 put the column on the far side of the axis).
    const QImage tile = MakeGradient(4, 3);
    QBrush brush = MakeTextureBrush(tile);
    TranslateBrushTransform(brush, 3, 0);
    RotateBrushTransform(brush, 90);
    EXPECT_EQ(brush.transform(), QTransform().translate(3, 0).rotate(90));
    TGPPath path;
    path.AddRectangle(TGPRect{0, 0, 3, 4});
    const QImage image = Fill(path, brush, 3, 4);
    for (int v = 0; v < 3; ++v)
        for (int u = 0; u < 4; ++u)
            EXPECT_EQ(PixelAt(image, 2 - v, u), PixelAt(tile, u, v)) << u << "," << v;

    QBrush scaled = MakeTextureBrush(tile);
    ScaleBrushTransform(scaled, 2, 2);
    TranslateBrushTransform(scaled, 1, 0);
    EXPECT_EQ(scaled.transform().map(QPointF(0, 0)), QPointF(2, 0));
}

TEST(GPPathTest, SolidPenHasTheColourAndWidth)
{
    const QPen pen = MakeSolidPen(QColor(1, 2, 3), 4);
    EXPECT_EQ(pen.color(), QColor(1, 2, 3));
    EXPECT_DOUBLE_EQ(pen.widthF(), 4.0);
    EXPECT_EQ(pen.style(), Qt::SolidLine);
}
