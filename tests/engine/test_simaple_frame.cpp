// The simple frame: band sizes, the three rings drawn pixel for pixel with
// the even-odd rule and no anti-aliasing, ellipse and diamond openings, the
// texture tiled from the origin and the shapes that draw the outer edge only.

#include "SimapleFrameMaker.h"

#include "TestSupport.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <limits>

namespace {

const QRgb kOut = qRgb(0x11, 0x22, 0x33);
const QRgb kBand = qRgb(0x44, 0x55, 0x66);
const QRgb kInner = qRgb(0x77, 0x88, 0x99);

// A worked case: FW 50, FH 20, O 2, I 3 on 400 x 300.
void SetExample(TSimapleFrameMaker& maker, uint8_t shape = TSimapleFrameMaker::shRectangle)
{
    maker.SetFrameWidth(50);
    maker.SetFrameHeight(20);
    maker.SetOutEdge(2);
    maker.SetInnerEdge(3);
    maker.SetOutEdgeColor(MakeColorRef(0x11, 0x22, 0x33));
    maker.SetBackColor(MakeColorRef(0x44, 0x55, 0x66));
    maker.SetInnerEdgeColor(MakeColorRef(0x77, 0x88, 0x99));
    maker.SetShape(shape);
    maker.SetWidth(400);
    maker.SetHeight(300);
}

QImage RenderOf(TSimapleFrameMaker& maker)
{
    QImage bitmap;
    maker.Render(bitmap);
    return bitmap;
}

bool In(const QRect& r, int x, int y)
{
    return r.contains(x, y);
}

void SetTexture(TSimapleFrameMaker& maker, const QImage& texture)
{
    // Through PNG, so the texture's pixels stay exact.
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    texture.save(&stream, "PNG");
    maker.LoadTextureFromStream(stream);
    maker.SetUseTexture(true);
}

} // namespace

TEST(SimapleFrameTest, BandQueriesOfTheExample)
{
    TSimapleFrameMaker maker;
    SetExample(maker);
    EXPECT_EQ(maker.GetLeftBand(), 55);
    EXPECT_EQ(maker.GetTopBand(), 25);
    EXPECT_EQ(maker.GetAddedWidth(), 110);
    EXPECT_EQ(maker.GetAddedHeight(), 50);
}

TEST(SimapleFrameTest, BandQueriesSaturateInsteadOfOverflowing)
{
    TSimapleFrameMaker maker;
    maker.SetOutEdge(std::numeric_limits<int32_t>::max());
    maker.SetInnerEdge(std::numeric_limits<int32_t>::max());
    maker.SetFrameWidth(std::numeric_limits<int32_t>::min());
    maker.SetFrameHeight(5);
    EXPECT_EQ(maker.GetLeftBand(), std::numeric_limits<int32_t>::max() - 1);
    EXPECT_EQ(maker.GetAddedWidth(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(maker.GetTopBand(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(maker.GetAddedHeight(), std::numeric_limits<int32_t>::max());
}

TEST(SimapleFrameTest, RectangularFrameIsExactPixelForPixel)
{
    TSimapleFrameMaker maker;
    SetExample(maker);
    const QImage bitmap = RenderOf(maker);
    ASSERT_EQ(bitmap.size(), QSize(400, 300));
    EXPECT_EQ(bitmap.format(), QImage::Format_ARGB32);
    const QRect inOut(2, 2, 396, 296);     // inside the outer edge
    const QRect inBand(52, 22, 296, 256);  // inside the band
    const QRect opening(55, 25, 290, 250); // inside the inner edge
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            QRgb expected = kOut;
            if (In(opening, x, y))
                expected = 0;
            else if (In(inBand, x, y))
                expected = kInner;
            else if (In(inOut, x, y))
                expected = kBand;
            ASSERT_EQ(PixelAt(bitmap, x, y), expected) << x << "," << y;
        }
}

TEST(SimapleFrameTest, EllipseOpeningLeavesTheCornersToTheBand)
{
    TSimapleFrameMaker maker;
    SetExample(maker, TSimapleFrameMaker::shEllipse);
    const QImage bitmap = RenderOf(maker);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), kOut);
    EXPECT_EQ(PixelAt(bitmap, 52, 22), kBand); // corner of the band's inner box
    EXPECT_EQ(PixelAt(bitmap, 347, 277), kBand);
    EXPECT_EQ(PixelAt(bitmap, 200, 150), 0u);    // centre
    EXPECT_EQ(PixelAt(bitmap, 200, 23), kInner); // ring at the top
    EXPECT_EQ(PixelAt(bitmap, 53, 150), kInner); // ring at the left
    EXPECT_EQ(PixelAt(bitmap, 200, 26), 0u);     // just inside
    EXPECT_EQ(PixelAt(bitmap, 346, 150), kInner);
    EXPECT_EQ(PixelAt(bitmap, 343, 150), 0u);
    // Only the three colours and transparency, no blended edge pixels.
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const QRgb p = PixelAt(bitmap, x, y);
            ASSERT_TRUE(p == 0 || p == kOut || p == kBand || p == kInner) << x << "," << y;
        }
}

TEST(SimapleFrameTest, DiamondVerticesLieOnHalfPixelsForAnOddWidth)
{
    TSimapleFrameMaker maker;
    SetExample(maker, TSimapleFrameMaker::shDiamond);
    maker.SetWidth(401);
    std::unique_ptr<TGPPath> band;
    maker.GetBandPath(band);
    ASSERT_EQ(band->FigureCount(), 2);
    // Figure 2 after the rectangle's 5 elements: left, top, right, bottom.
    const QPainterPath& p = band->PainterPath();
    ASSERT_GE(p.elementCount(), 9);
    EXPECT_EQ(QPointF(p.elementAt(5)), QPointF(52, 150));
    EXPECT_EQ(QPointF(p.elementAt(6)), QPointF(200.5, 22));
    EXPECT_EQ(QPointF(p.elementAt(7)), QPointF(349, 150));
    EXPECT_EQ(QPointF(p.elementAt(8)), QPointF(200.5, 278));

    std::unique_ptr<TGPPath> inner;
    maker.GetInnerEdgePath(inner);
    EXPECT_EQ(inner->FigureCount(), 2);
    EXPECT_EQ(inner->PainterPath().fillRule(), Qt::OddEvenFill);

    const QImage bitmap = RenderOf(maker);
    EXPECT_EQ(PixelAt(bitmap, 200, 150), 0u);
    EXPECT_EQ(PixelAt(bitmap, 60, 30), kBand); // outside the diamond, inside the box
    EXPECT_EQ(PixelAt(bitmap, 200, 23), kInner);
    EXPECT_EQ(PixelAt(bitmap, 53, 150), kInner);
    EXPECT_EQ(PixelAt(bitmap, 60, 150), 0u);
}

TEST(SimapleFrameTest, TextureWithoutAPictureLeavesTheBandTransparent)
{
    TSimapleFrameMaker maker;
    SetExample(maker);
    maker.SetUseTexture(true);
    const QImage bitmap = RenderOf(maker);
    EXPECT_EQ(PixelAt(bitmap, 1, 1), kOut);
    EXPECT_EQ(PixelAt(bitmap, 20, 100), 0u);
    EXPECT_EQ(PixelAt(bitmap, 53, 100), kInner);
    EXPECT_TRUE(maker.GetTexture().isNull());

    // An undecodable texture is the same.
    QBuffer junk;
    junk.setData("junk");
    junk.open(QIODevice::ReadOnly);
    maker.LoadTextureFromStream(junk);
    EXPECT_EQ(PixelAt(RenderOf(maker), 20, 100), 0u);
}

TEST(SimapleFrameTest, UnknownShapeDrawsOnlyTheOuterEdge)
{
    TSimapleFrameMaker maker;
    SetExample(maker, 7);
    std::unique_ptr<TGPPath> band, inner;
    maker.GetBandPath(band);
    maker.GetInnerEdgePath(inner);
    EXPECT_TRUE(band->IsEmpty());
    EXPECT_TRUE(inner->IsEmpty());
    const QImage bitmap = RenderOf(maker);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool edge = x < 2 || y < 2 || x >= 398 || y >= 298;
            ASSERT_EQ(PixelAt(bitmap, x, y), edge ? kOut : 0u) << x << "," << y;
        }
}

TEST(SimapleFrameTest, TextureIsTiledFromTheBitmapOrigin)
{
    TSimapleFrameMaker maker;
    SetExample(maker);
    const QImage tile = MakeGradient(7, 5);
    SetTexture(maker, tile);
    const QImage bitmap = RenderOf(maker);
    for (int y = 2; y < 298; ++y)
        for (int x = 2; x < 398; ++x) {
            if (QRect(52, 22, 296, 256).contains(x, y))
                continue;
            ASSERT_EQ(PixelAt(bitmap, x, y), PixelAt(tile, x % 7, y % 5)) << x << "," << y;
        }
    EXPECT_EQ(PixelAt(bitmap, 0, 0), kOut);

    // A texture larger than the output is not repeated: same coordinates.
    const QImage big = MakeGradient(500, 400);
    SetTexture(maker, big);
    const QImage whole = RenderOf(maker);
    EXPECT_EQ(PixelAt(whole, 2, 2), PixelAt(big, 2, 2));
    EXPECT_EQ(PixelAt(whole, 397, 297), PixelAt(big, 397, 297));
    EXPECT_EQ(PixelAt(whole, 30, 200), PixelAt(big, 30, 200));
}

TEST(SimapleFrameTest, ZeroEdgesPaintNothing)
{
    TSimapleFrameMaker maker;
    SetExample(maker);
    maker.SetOutEdge(0);
    maker.SetInnerEdge(0);
    const QImage bitmap = RenderOf(maker);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), kBand);
    EXPECT_EQ(PixelAt(bitmap, 49, 19), kBand);
    EXPECT_EQ(PixelAt(bitmap, 50, 20), 0u);
    EXPECT_EQ(PixelAt(bitmap, 349, 279), 0u);
    EXPECT_EQ(PixelAt(bitmap, 350, 280), kBand);
}

TEST(SimapleFrameTest, BandsWiderThanTheOutputLeaveNoOpeningAndNoCrash)
{
    TSimapleFrameMaker maker;
    SetExample(maker, TSimapleFrameMaker::shDiamond);
    maker.SetFrameWidth(300);
    const QImage bitmap = RenderOf(maker);
    EXPECT_EQ(PixelAt(bitmap, 200, 150), kBand);
    maker.SetShape(TSimapleFrameMaker::shEllipse);
    EXPECT_EQ(PixelAt(RenderOf(maker), 200, 150), kBand);

    maker.SetWidth(0);
    EXPECT_TRUE(RenderOf(maker).isNull());
    maker.SetWidth(-5);
    QImage kept = MakeSolid(2, 2, Qt::red);
    EXPECT_THROW(maker.Render(kept), EImagingError);
    // Above the pixel limit: the layer's clear error, and the generator stays usable.
    maker.SetWidth(100000);
    maker.SetHeight(100000);
    EXPECT_THROW(maker.Render(kept), EImagingError);
    maker.SetWidth(400);
    maker.SetHeight(300);
    EXPECT_EQ(RenderOf(maker).size(), QSize(400, 300));
}

TEST(SimapleFrameTest, EveryRenderIsANewBitmap)
{
    TSimapleFrameMaker maker;
    SetExample(maker);
    QImage first = RenderOf(maker);
    QImage second = RenderOf(maker);
    first.setPixel(0, 0, 0);
    EXPECT_EQ(PixelAt(second, 0, 0), kOut);
}

TEST(SimapleFrameTest, BrushesAndPensByKind)
{
    TSimapleFrameMaker maker;
    SetExample(maker);
    std::unique_ptr<QBrush> brush;
    maker.MakeBrush(brush, TSimapleFrameMaker::bkOutEdge);
    EXPECT_EQ(brush->color().rgba(), kOut);
    maker.MakeBrush(brush, TSimapleFrameMaker::bkBand);
    EXPECT_EQ(brush->color().rgba(), kBand);
    maker.MakeBrush(brush, TSimapleFrameMaker::bkInnerEdge);
    EXPECT_EQ(brush->color().rgba(), kInner);
    maker.MakeBrush(brush, 3);
    EXPECT_EQ(brush, nullptr);
    SetTexture(maker, MakeGradient(4, 4));
    maker.MakeBrush(brush, TSimapleFrameMaker::bkBand);
    EXPECT_EQ(brush->style(), Qt::TexturePattern);
    EXPECT_TRUE(brush->transform().isIdentity());

    std::unique_ptr<QPen> pen;
    maker.MakePen(pen, TSimapleFrameMaker::pkOutEdge);
    EXPECT_EQ(pen->color().rgba(), kOut);
    EXPECT_DOUBLE_EQ(pen->widthF(), 2.0);
    maker.MakePen(pen, TSimapleFrameMaker::pkInnerEdge);
    EXPECT_EQ(pen->color().rgba(), kInner);
    EXPECT_DOUBLE_EQ(pen->widthF(), 3.0);
    const QPen* before = pen.get();
    maker.MakePen(pen, 2);
    EXPECT_EQ(pen.get(), before);
}

TEST(SimapleFrameTest, ExtremeFieldsFromAFileNeverCrash)
{
    const int32_t values[] = {std::numeric_limits<int32_t>::min(), -1000000, -1, 0, 7, 1000000,
                              std::numeric_limits<int32_t>::max()};
    TSimapleFrameMaker maker;
    maker.SetWidth(50);
    maker.SetHeight(40);
    for (uint8_t shape = 0; shape < 3; ++shape)
        for (int32_t o : values)
            for (int32_t i : values)
                for (int32_t fw : values)
                    for (int32_t fh : {values[0], 0, 7, values[6]}) {
                        maker.SetShape(shape);
                        maker.SetOutEdge(o);
                        maker.SetInnerEdge(i);
                        maker.SetFrameWidth(fw);
                        maker.SetFrameHeight(fh);
                        const QImage bitmap = RenderOf(maker);
                        ASSERT_EQ(bitmap.size(), QSize(50, 40));
                    }
}
