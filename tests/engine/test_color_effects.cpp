// Colour effects: the ramp, composition and saturation tables with their
// exact values, the passes over 32-bit and other bitmaps, and undo/redo.

#include "ColorEffects.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TLUT Identity()
{
    TLUT t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<uint8_t>(i);
    return t;
}

QImage OnePixel(int r, int g, int b, int a = 255)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(r, g, b, a));
    return image;
}

TLUT RedTableFor(int offset)
{
    TRGBAdjust effect;
    effect.SetRed(offset);
    QImage image = OnePixel(0, 0, 0);
    effect.Apply(image);
    return effect.RedTable;
}

TLUT CompositeFor(int brightness, int contrast, double gamma)
{
    TColorAdjust effect;
    effect.SetBrightness(brightness);
    effect.SetContrast(contrast);
    effect.SetGamma(gamma);
    QImage image = OnePixel(0, 0, 0);
    effect.Apply(image);
    return effect.CompositeTable;
}

QRgb Saturated(int s, int r, int g, int b)
{
    TSaturation effect;
    effect.SetSaturation(s);
    QImage image = OnePixel(r, g, b);
    effect.Apply(image);
    return image.pixel(0, 0);
}

} // namespace

TEST(RampLUTTest, WritesOnlyItsRangeAndNothingWhenEmpty)
{
    TLUT t;
    t.fill(7);
    RampLUT(t, 10, 0, 10, 255);
    EXPECT_EQ(t[10], 7);
    RampLUT(t, 20, 0, 10, 255);
    for (auto v : t)
        EXPECT_EQ(v, 7);

    RampLUT(t, 100, 0, 110, 100);
    EXPECT_EQ(t[99], 7);
    EXPECT_EQ(t[100], 0);
    EXPECT_EQ(t[111], 7);
}

TEST(RampLUTTest, BothFullLinesGiveTheIdentity)
{
    TLUT a{};
    TLUT b{};
    RampLUT(a, 0, 0, 255, 255); // slope 65793, clipped at 255
    RampLUT(b, 0, 0, 255, 254); // slope 65536
    EXPECT_EQ(a, Identity());
    EXPECT_EQ(b, Identity());
}

TEST(ComposeLUTsTest, FirstTableIsAppliedFirst)
{
    TLUT add{};
    TLUT half{};
    for (int i = 0; i < 256; ++i) {
        add[i] = static_cast<uint8_t>(std::min(255, i + 10));
        half[i] = static_cast<uint8_t>(i / 2);
    }
    TLUT out{};
    ComposeLUTs({&add, &half}, out);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[100], 55);
    ComposeLUTs({&half, &add}, out);
    EXPECT_EQ(out[0], 10);
    EXPECT_EQ(out[100], 60);
}

TEST(RGBAdjustTest, OffsetTablesHaveTheirExactValues)
{
    const TLUT up = RedTableFor(100);
    EXPECT_EQ(up[0], 100);
    EXPECT_EQ(up[64], 139);
    EXPECT_EQ(up[128], 178);
    EXPECT_EQ(up[255], 255);

    const TLUT down = RedTableFor(-100);
    EXPECT_EQ(down[0], 0);
    EXPECT_EQ(down[64], 39);
    EXPECT_EQ(down[128], 78);
    EXPECT_EQ(down[255], 155);

    for (auto v : RedTableFor(255))
        EXPECT_EQ(v, 255);
    for (auto v : RedTableFor(-255))
        EXPECT_EQ(v, 0);
    EXPECT_EQ(RedTableFor(0), Identity());
    EXPECT_EQ(RedTableFor(-1), Identity());
}

TEST(RGBAdjustTest, OffsetsAboveTheRangeAreClampedAndStored)
{
    TRGBAdjust effect;
    effect.SetRed(300);
    effect.SetGreen(256);
    effect.SetBlue(-20);
    QImage image = MakeGradient(16, 16);
    effect.Apply(image);
    EXPECT_EQ(effect.Red, 255);
    EXPECT_EQ(effect.Green, 255);
    EXPECT_EQ(effect.Blue, -20);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(qRed(image.pixel(x, y)), 255);
            EXPECT_EQ(qGreen(image.pixel(x, y)), 255);
        }
}

TEST(RGBAdjustTest, ChangesEachChannelOnItsOwnAndKeepsAlpha)
{
    TRGBAdjust effect;
    effect.SetRed(100);
    QImage image = OnePixel(10, 20, 30, 128);
    effect.Apply(image);
    EXPECT_EQ(image.pixel(0, 0), qRgba(106, 20, 30, 128));

    TRGBAdjust blue;
    blue.SetBlue(-100);
    QImage other = OnePixel(64, 64, 64);
    blue.Apply(other);
    EXPECT_EQ(other.pixel(0, 0), qRgba(64, 64, 39, 255));
}

TEST(ColorAdjustTest, ContrastTablesHaveTheirExactValues)
{
    const TLUT up = CompositeFor(0, 50, 1.0);
    for (int i = 0; i <= 50; ++i)
        EXPECT_EQ(up[i], 0) << i;
    EXPECT_EQ(up[64], 23);
    EXPECT_EQ(up[128], 128);
    for (int i = 205; i <= 255; ++i)
        EXPECT_EQ(up[i], 255) << i;

    const TLUT down = CompositeFor(0, -50, 1.0);
    EXPECT_EQ(down[0], 50);
    EXPECT_EQ(down[128], 128);
    EXPECT_EQ(down[255], 205);

    const TLUT threshold = CompositeFor(0, 127, 1.0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(threshold[i], i <= 127 ? 0 : 255) << i;

    for (auto v : CompositeFor(0, -128, 1.0))
        EXPECT_EQ(v, 128);
}

TEST(ColorAdjustTest, GammaTablesHaveTheirExactValues)
{
    EXPECT_EQ(CompositeFor(0, 0, 1.0), Identity());

    const TLUT bright = CompositeFor(0, 0, 2.0);
    EXPECT_EQ(bright[0], 0);
    EXPECT_EQ(bright[1], 16);
    EXPECT_EQ(bright[64], 128);
    EXPECT_EQ(bright[128], 181);
    EXPECT_EQ(bright[255], 255);

    const TLUT dark = CompositeFor(0, 0, 0.5);
    EXPECT_EQ(dark[1], 0);
    EXPECT_EQ(dark[64], 16);
    EXPECT_EQ(dark[128], 64);
    EXPECT_EQ(dark[255], 255);

    for (auto v : CompositeFor(0, 0, 0.0))
        EXPECT_EQ(v, 0);
}

TEST(ColorAdjustTest, BrightnessComesBeforeContrastAndGamma)
{
    // Brightness 100 lifts 0 to 100; contrast 50 then maps 100 to
    // (50 x 108240) >> 16 = 82; gamma 1 keeps it.
    const TLUT t = CompositeFor(100, 50, 1.0);
    EXPECT_EQ(t[0], 82);

    TColorAdjust clamped;
    clamped.SetBrightness(400);
    clamped.SetContrast(300);
    QImage image = OnePixel(1, 2, 3);
    clamped.Apply(image);
    EXPECT_EQ(clamped.Brightness, 255);
    EXPECT_EQ(clamped.Contrast, 255);
}

TEST(SaturationTest, MovesChannelsTowardOrAwayFromGrey)
{
    EXPECT_EQ(Saturated(256, 200, 100, 30), qRgb(200, 100, 30));
    EXPECT_EQ(Saturated(0, 200, 100, 30), qRgb(110, 110, 110));
    EXPECT_EQ(Saturated(512, 200, 100, 30), qRgb(255, 90, 0));
    for (int s : {0, 100, 256, 400, 512}) {
        EXPECT_EQ(Saturated(s, 0, 0, 0), qRgb(0, 0, 0)) << s;
        EXPECT_EQ(Saturated(s, 255, 255, 255), qRgb(255, 255, 255)) << s;
    }
}

TEST(SaturationTest, TablesFollowTheScaleRule)
{
    TSaturation effect;
    effect.SetSaturation(300);
    QImage image = OnePixel(1, 2, 3);
    effect.Apply(image);
    EXPECT_EQ(effect.ScaleTable[255], (255 * 300) >> 8);
    EXPECT_EQ(effect.ScaleTable[10], 11);
    for (int s = 0; s < 768; ++s) {
        const int m = s / 3;
        EXPECT_EQ(effect.GreyTable[s], m - effect.ScaleTable[m]) << s;
    }
}

TEST(ColorEffectUndoTest, UndoRestoresExactlyAndRedoRepeatsApply)
{
    TColorAdjust effect;
    effect.SetBrightness(40);
    effect.SetContrast(-30);
    effect.SetGamma(1.6);
    const QImage before = MakeGradient(40, 30);
    QImage image = before;
    double w = 40, h = 30;
    effect.Execute(image, w, h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 30);
    const QImage applied = image;
    EXPECT_FALSE(SamePixels(applied, before));
    EXPECT_TRUE(SamePixels(effect.SavedImage(), before));

    for (int round = 0; round < 2; ++round) {
        effect.Undo(image);
        EXPECT_TRUE(SamePixels(image, before));
        effect.Redo(image);
        EXPECT_TRUE(SamePixels(image, applied));
    }
}

TEST(ColorEffectUndoTest, NeverExecutedEffectHoldsNoCopy)
{
    TSaturation effect;
    EXPECT_TRUE(effect.SavedImage().isNull());
}

TEST(ColorPassTest, OtherPixelFormatsArePassedAndKeepTheirFormat)
{
    TRGBAdjust effect;
    effect.SetGreen(100);
    QImage rgb = MakeSolid(3, 2, QColor(10, 64, 30), QImage::Format_RGB888);
    effect.Apply(rgb);
    EXPECT_EQ(rgb.format(), QImage::Format_RGB888);
    EXPECT_EQ(PixelAt(rgb, 2, 1), qRgb(10, 139, 30));

    QImage premultiplied = MakeSolid(2, 2, QColor(10, 64, 30), QImage::Format_ARGB32_Premultiplied);
    TSaturation grey;
    grey.SetSaturation(0);
    grey.Apply(premultiplied);
    EXPECT_EQ(premultiplied.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(PixelAt(premultiplied, 1, 1), qRgb(34, 34, 34));
}

TEST(ColorPassTest, LargePicturesAreMappedEverywhere)
{
    // Large enough to be shared among several threads.
    QImage image = MakeGradient(2100, 1500);
    const QImage before = image;
    TSaturation effect;
    effect.SetSaturation(0);
    effect.Apply(image);
    for (int y = 0; y < 1500; y += 37) {
        for (int x = 0; x < 2100; x += 41) {
            const QRgb p = before.pixel(x, y);
            const int m = (qRed(p) + qGreen(p) + qBlue(p)) / 3;
            ASSERT_EQ(image.pixel(x, y), qRgb(m, m, m)) << x << "," << y;
        }
    }
    const QRgb last = before.pixel(2099, 1499);
    const int m = (qRed(last) + qGreen(last) + qBlue(last)) / 3;
    EXPECT_EQ(image.pixel(2099, 1499), qRgb(m, m, m));
}
