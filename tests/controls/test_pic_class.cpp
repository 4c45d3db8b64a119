// The picture, frame and text objects: fitting and centring on load, the
// frame's transparent pixels, effects turning a picture about its corner,
// scaled drawing and the pixel-sized gradient text.

#include "FontOption.h"
#include "FrameClass.h"
#include "GdiDraw.h"
#include "GeometricEffects.h"
#include "PicClass.h"
#include "TextClass.h"

#include "TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

TFontOption MakeOption()
{
    TFontOption option;
    option.Font.setFamily("DejaVu Sans");
    option.Font.setPointSize(12);
    option.Font.setBold(true);
    option.SetColor1(MakeColorRef(255, 0, 0));
    option.SetColor2(MakeColorRef(0, 0, 255));
    option.SetAngle(30);
    return option;
}

} // namespace

// ---------------------------------------------------------------------------
// Pictures

TEST(PicClassTest, LoadFitsIntoTheBoxAndTruncatesTheCentring)
{
    TTempDir dir;
    const QString file = dir.file("wide.png");
    ASSERT_TRUE(MakeSolid(1000, 500, QColor(0, 0, 255)).save(file));
    TPicClass picture(nullptr);
    picture.LoadFromFile(file, 64, 64, TGPRect{100, 100, 401, 300}, false);
    EXPECT_EQ(picture.GetRect(), (TGPRect{268, 234, 64, 32}));
    EXPECT_TRUE(picture.Loaded);
    EXPECT_EQ(picture.GetBitmap()->size(), QSize(1000, 500));
    // The region is the rectangle (not selected: no handles).
    EXPECT_TRUE(picture.GetRegion().IsVisible(268, 234));
    EXPECT_FALSE(picture.GetRegion().IsVisible(267, 234));

    TPicClass fromImage(nullptr);
    fromImage.LoadFromImage(MakeSolid(1000, 500, QColor(0, 0, 255)), 64, 64,
                            TGPRect{100, 100, 401, 300}, false);
    EXPECT_EQ(fromImage.GetRect(), (TGPRect{268, 234, 64, 32}));
    EXPECT_TRUE(fromImage.Loaded);
}

TEST(PicClassTest, UndecodableFileLeavesThePictureAsItWas)
{
    TTempDir dir;
    const QString good = dir.file("good.png");
    ASSERT_TRUE(MakeSolid(100, 50, QColor(0, 0, 255)).save(good));
    const QString bad = dir.write("bad.png", "no picture here");

    TPicClass empty(nullptr);
    EXPECT_ANY_THROW(empty.LoadFromFile(bad, 64, 64, TGPRect{0, 0, 64, 64}, false));
    EXPECT_FALSE(empty.Loaded);
    EXPECT_EQ(empty.GetRect(), (TGPRect{0, 0, 1, 1}));

    TPicClass picture(nullptr);
    picture.LoadFromFile(good, 100, 50, TGPRect{0, 0, 100, 50}, false);
    EXPECT_ANY_THROW(picture.LoadFromFile(bad, 64, 64, TGPRect{0, 0, 64, 64}, false));
    EXPECT_EQ(picture.GetRect(), (TGPRect{0, 0, 100, 50}));
    EXPECT_EQ(picture.GetBitmap()->size(), QSize(100, 50));
}

TEST(PicClassTest, QuarterTurnTurnsAboutTheTopLeftCorner)
{
    TPicClass picture(nullptr);
    picture.LoadFromImage(MakeGradient(300, 200), 300, 200, TGPRect{10, 20, 300, 200}, false);
    ASSERT_EQ(picture.GetRect(), (TGPRect{10, 20, 300, 200}));
    EXPECT_TRUE(picture.ApplyEffect(std::make_unique<TRotate90>()));
    EXPECT_EQ(picture.GetRect(), (TGPRect{10, 20, 200, 300}));
    picture.Undo();
    EXPECT_EQ(picture.GetRect(), (TGPRect{10, 20, 300, 200}));
    picture.Redo();
    EXPECT_EQ(picture.GetRect(), (TGPRect{10, 20, 200, 300}));

    // Nothing to change on an empty picture: nothing recorded.
    TPicClass empty(nullptr);
    EXPECT_FALSE(empty.ApplyEffect(std::make_unique<TFlipX>()));
    EXPECT_EQ(empty.Image->GetHistoryCount(), 0);
}

TEST(PicClassTest, NewPictureStartsWithAnEmptyHistory)
{
    TPicClass picture(nullptr);
    picture.LoadFromImage(MakeGradient(40, 30), 40, 30, TGPRect{0, 0, 40, 30}, false);
    picture.ApplyEffect(std::make_unique<TFlipX>());
    ASSERT_EQ(picture.Image->GetHistoryCount(), 1);
    picture.LoadFromImage(MakeSolid(40, 30, QColor(0, 255, 0)), 40, 30, TGPRect{0, 0, 40, 30},
                          false);
    EXPECT_EQ(picture.Image->GetHistoryCount(), 0);
    EXPECT_EQ(picture.Image->GetHistoryIndex(), -1);
    // An undo has nothing to step back.
    picture.Undo();
    EXPECT_EQ(PixelAt(*picture.Image->GetDisplayImage(), 0, 0), qRgb(0, 255, 0));
}

TEST(PicClassTest, DrawScaledTruncatesTowardZero)
{
    TPicClass picture(nullptr);
    picture.LoadFromImage(MakeSolid(10, 10, QColor(0, 0, 255)), 10, 10, TGPRect{0, 0, 10, 10},
                          false);
    picture.X = 95;
    picture.Y = 100;
    QImage target = Blank(60, 60);
    {
        QPainter g(&target);
        // (95 - 100) x 2.5 = -12.5 -> -12; 10 x 2.5 = 25: columns -12 .. 12.
        picture.DrawScaled(g, 100, 100, 2.5);
    }
    EXPECT_EQ(PixelAt(target, 12, 5), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(target, 13, 5), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(target, 5, 24), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(target, 5, 25), qRgb(255, 255, 255));

    // A negative scale draws at the object's own size.
    QImage plain = Blank(60, 60);
    {
        QPainter g(&plain);
        picture.DrawScaled(g, 90, 90, -1);
    }
    EXPECT_EQ(PixelAt(plain, 5, 10), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(plain, 14, 19), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(plain, 15, 19), qRgb(255, 255, 255));
}

// ---------------------------------------------------------------------------
// The frame

TEST(FrameClassTest, LoadStretchesAndRoundsTheCentringToEven)
{
    TTempDir dir;
    const QString file = dir.file("frame.png");
    ASSERT_TRUE(MakeSolid(50, 80, QColor(255, 0, 0)).save(file));
    TFrameClass frame(nullptr);
    EXPECT_FALSE(frame.KeepAspect);
    frame.LoadFromFile(file, 400, 300, TGPRect{0, 0, 501, 300}, true);
    EXPECT_EQ(frame.GetRect(), (TGPRect{50, 0, 400, 300}));
    EXPECT_EQ(frame.Image->GetDisplayImage()->size(), QSize(400, 300));
    frame.LoadFromFile(file, 400, 300, TGPRect{0, 0, 503, 300}, true);
    EXPECT_EQ(frame.GetRect(), (TGPRect{52, 0, 400, 300}));

    // A file that cannot be decoded: the requested rectangle, an empty picture.
    const QString bad = dir.write("bad.png", "nothing");
    frame.LoadFromFile(bad, 200, 100, TGPRect{0, 0, 200, 100}, true);
    EXPECT_TRUE(frame.Loaded);
    EXPECT_EQ(frame.GetRect(), (TGPRect{0, 0, 200, 100}));
    EXPECT_FALSE(frame.HitTest(10, 10));
}

TEST(FrameClassTest, TransparentPixelsAreNotTakenHandlesAre)
{
    QImage picture = MakeSolid(100, 100, QColor(255, 0, 0));
    for (int y = 10; y < 90; ++y) {
        for (int x = 10; x < 90; ++x)
            picture.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
    TFrameClass frame(nullptr);
    frame.LoadFromImage(picture, 100, 100, TGPRect{20, 20, 100, 100}, false);
    ASSERT_EQ(frame.GetRect(), (TGPRect{20, 20, 100, 100}));
    EXPECT_TRUE(frame.HitTest(25, 25));
    EXPECT_FALSE(frame.HitTest(70, 70));
    EXPECT_FALSE(frame.HitTest(120, 70));
    // While selected, the parts of handles 4 (centred on (119, 70)) and 6
    // (on (70, 119)) outside the rectangle are taken too; the opening is not.
    EXPECT_FALSE(frame.HitTest(121, 70));
    frame.SetSelected(true);
    EXPECT_TRUE(frame.HitTest(121, 70));
    EXPECT_TRUE(frame.HitTest(70, 121));
    EXPECT_FALSE(frame.HitTest(70, 70));
}

// ---------------------------------------------------------------------------
// Text

TEST(TextClassTest, SetTextCopiesTheOptionAndKeepsTheRectangleGiven)
{
    TFontOption option = MakeOption();
    TTextClass text(nullptr);
    EXPECT_FALSE(text.KeepAspect);
    text.SetTextAt("Hi", option, 200, 40, 7, 9);
    option.SetColor1(MakeColorRef(1, 2, 3));
    option.Font.setItalic(true);
    EXPECT_EQ(text.GetText(), "Hi");
    EXPECT_EQ(text.GetRect(), (TGPRect{7, 9, 200, 40}));
    EXPECT_EQ(text.GetFontOption().Color1, MakeColorRef(255, 0, 0));
    EXPECT_EQ(text.GetFontOption().Color2, MakeColorRef(0, 0, 255));
    EXPECT_EQ(text.GetFontOption().Angle, 30);
    EXPECT_EQ(text.GetFontOption().StyleSum(), FontStyleBold);

    text.SetText("Other", option, 120, 30);
    EXPECT_EQ(text.GetRect(), (TGPRect{7, 9, 120, 30}));
    EXPECT_EQ(text.GetFontOption().StyleSum(), FontStyleBold + FontStyleItalic);
}

TEST(TextClassTest, PointSizeIsAnEmInPixelsAndScalesWithTheExport)
{
    const TFontOption option = MakeOption();
    TTextClass text(nullptr);
    text.SetTextAt("Framed text", option, 150, 40, 30, 20);

    QImage drawn = Blank(200, 100);
    {
        QPainter g(&drawn);
        text.Paint(g);
    }
    QImage expected = Blank(200, 100);
    {
        QPainter g(&expected);
        const QRectF layout(30, 20, 150, 40);
        DrawStringInRect(g, "Framed text",
                         MakePixelFont("DejaVu Sans", 12, FontStyleBold, &expected), layout,
                         MakeLinearGradientBrush(layout, QColor(255, 0, 0), QColor(0, 0, 255), 30));
    }
    EXPECT_TRUE(SamePixels(drawn, expected));
    EXPECT_NE(MaxChannelDifference(drawn, Blank(200, 100)), 0);

    // Exported at scale 1 with the offsets of a frame at (10, 10): the same
    // pixels, moved by the offset.
    QImage exported = Blank(200, 100);
    {
        QPainter g(&exported);
        text.DrawScaled(g, 10, 10, 1.0);
    }
    EXPECT_TRUE(SamePixels(exported.copy(0, 0, 180, 90), drawn.copy(10, 10, 180, 90)));

    // At scale 2: a 24-pixel em in the doubled layout rectangle.
    QImage twice = Blank(400, 200);
    {
        QPainter g(&twice);
        text.DrawScaled(g, 10, 10, 2.0);
    }
    QImage twiceExpected = Blank(400, 200);
    {
        QPainter g(&twiceExpected);
        const QRectF layout(40, 20, 300, 80);
        DrawStringInRect(g, "Framed text",
                         MakePixelFont("DejaVu Sans", 24, FontStyleBold, &twiceExpected), layout,
                         MakeLinearGradientBrush(layout, QColor(255, 0, 0), QColor(0, 0, 255), 30));
    }
    EXPECT_TRUE(SamePixels(twice, twiceExpected));
}
