// The picture, frame and text objects: loading into a box, the frame's hit
// test through its transparent opening, effects with their sizes, scaled
// drawing for export, the end of a resize, and gradient text.

#include "FontOption.h"
#include "FrameClass.h"
#include "GeometricEffects.h"
#include "PicClass.h"
#include "TextClass.h"

#include "TestSupport.h"

#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// Holds objects (not owned), bottom first, and routes presses and releases
// from the top down as the canvas does.
class TTestOwner : public QWidget, public TRectOwner
{
public:
    TTestOwner()
    {
        setMouseTracking(true);
        resize(800, 600);
    }
    void DeselectAll() override
    {
        for (TRectBase* object : Objects)
            object->SetSelected(false);
    }
    std::vector<TRectBase*> Objects;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        for (auto it = Objects.rbegin(); it != Objects.rend(); ++it) {
            if ((*it)->MouseDown(p.x(), p.y()))
                return;
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        for (auto it = Objects.rbegin(); it != Objects.rend(); ++it) {
            if ((*it)->MouseUp(p.x(), p.y()))
                return;
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        for (auto it = Objects.rbegin(); it != Objects.rend(); ++it) {
            if ((*it)->MouseMove(p.x(), p.y()))
                return;
        }
    }
};

class PicObjectsTest : public ::testing::Test
{
protected:
    void SetUp() override { SetAppCursor(Qt::ArrowCursor); }
    void TearDown() override { SetAppCursor(Qt::ArrowCursor); }

    QString WritePng(const QString& name, const QImage& image)
    {
        const QString path = Dir.file(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    // A square picture with an opaque border of Border pixels around a fully
    // transparent opening.
    static QImage FramePicture(int size, int border)
    {
        QImage image = MakeSolid(size, size, QColor(120, 60, 20));
        for (int y = border; y < size - border; ++y) {
            for (int x = border; x < size - border; ++x)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
        return image;
    }

    TTempDir Dir;
};

// Ink pixels of a drawing on white: any channel clearly below white.
struct TInk
{
    int Count = 0;
    int Top = 1 << 30;
    int Bottom = -1;
    long long Red = 0;
    long long Blue = 0;
};

TInk InkIn(const QImage& image, const QRect& area)
{
    TInk ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = PixelAt(image, x, y);
            if (qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200)
                continue;
            ++ink.Count;
            ink.Top = std::min(ink.Top, y);
            ink.Bottom = std::max(ink.Bottom, y);
            ink.Red += qRed(p);
            ink.Blue += qBlue(p);
        }
    }
    return ink;
}

TFontOption MakeOption(double points, TColorRef c1, TColorRef c2, uint16_t angle)
{
    TFontOption option;
    option.Font = QFont(QStringLiteral("DejaVu Sans"));
    option.Font.setPointSizeF(points);
    option.Font.setBold(true);
    option.SetColor1(c1);
    option.SetColor2(c2);
    option.SetAngle(angle);
    return option;
}

} // namespace

// ---------------------------------------------------------------------------
// Loading into a box

TEST_F(PicObjectsTest, PictureIsFittedAndCentredWithHalvesTruncated)
{
    TPicClass pic(nullptr);
    EXPECT_FALSE(pic.Loaded);
    EXPECT_TRUE(pic.KeepAspect);
    pic.LoadFromImage(MakeGradient(1000, 500), 64, 64, TGPRect{100, 100, 401, 300}, false);
    EXPECT_TRUE(pic.Loaded);
    // 100 + (401 - 64) / 2 = 268.5 and 100 + (300 - 32) / 2 = 234.
    EXPECT_EQ(pic.GetRect(), (TGPRect{268, 234, 64, 32}));
    ASSERT_NE(pic.Image->GetDisplayImage(), nullptr);
    EXPECT_EQ(pic.Image->GetDisplayImage()->size(), QSize(64, 32));
    EXPECT_EQ(pic.GetBitmap()->size(), QSize(1000, 500));
    EXPECT_TRUE(pic.GetRegion().IsVisible(268, 234));
    EXPECT_FALSE(pic.GetRegion().IsVisible(267, 234));

    const QString file = WritePng("wide.png", MakeGradient(200, 100));
    pic.LoadFromFile(file, 64, 64, TGPRect{0, 0, 400, 300}, false);
    EXPECT_EQ(pic.GetRect(), (TGPRect{168, 134, 64, 32}));
}

TEST_F(PicObjectsTest, UndecodablePictureFailsBeforeAnythingChanges)
{
    const QString bad = Dir.write("bad.png", QByteArray("not a picture"));
    TPicClass pic(nullptr);
    pic.SetRect(TGPRect{1, 2, 3, 4});
    EXPECT_ANY_THROW(pic.LoadFromFile(bad, 64, 64, TGPRect{0, 0, 400, 300}, false));
    EXPECT_FALSE(pic.Loaded);
    EXPECT_EQ(pic.GetRect(), (TGPRect{1, 2, 3, 4}));
}

TEST_F(PicObjectsTest, FrameIsStretchedToTheBoxAndCentredHalvesToEven)
{
    const QString file = WritePng("frame.png", FramePicture(100, 10));
    TFrameClass frame(nullptr);
    EXPECT_FALSE(frame.KeepAspect);
    frame.LoadFromFile(file, 400, 300, TGPRect{0, 0, 501, 301}, true);
    EXPECT_TRUE(frame.Loaded);
    // 50.5 -> 50 and 0.5 -> 0.
    EXPECT_EQ(frame.GetRect(), (TGPRect{50, 0, 400, 300}));
    ASSERT_NE(frame.Image->GetDisplayImage(), nullptr);
    EXPECT_EQ(frame.Image->GetDisplayImage()->size(), QSize(400, 300));
    // 51.5 -> 52 and 1.5 -> 2.
    frame.LoadFromFile(file, 400, 300, TGPRect{10, 10, 503, 303}, true);
    EXPECT_EQ(frame.GetRect(), (TGPRect{62, 12, 400, 300}));
    // A box smaller than the frame: -0.5 -> 0, -1.5 -> -2.
    frame.LoadFromFile(file, 400, 300, TGPRect{0, 0, 399, 297}, true);
    EXPECT_EQ(frame.GetRect(), (TGPRect{0, -2, 400, 300}));
}

TEST_F(PicObjectsTest, UnreadableFrameGetsItsRectangleWithoutFailing)
{
    const QString bad = Dir.write("bad.png", QByteArray("not a picture"));
    TFrameClass frame(nullptr);
    EXPECT_NO_THROW(frame.LoadFromFile(bad, 400, 300, TGPRect{0, 0, 500, 300}, true));
    EXPECT_TRUE(frame.Loaded);
    EXPECT_EQ(frame.GetRect(), (TGPRect{50, 0, 400, 300}));
    EXPECT_FALSE(frame.HitTest(100, 100)); // nothing opaque to hit
}

// ---------------------------------------------------------------------------
// The frame's hit test

TEST_F(PicObjectsTest, PressesInTheFramesOpeningReachThePhoto)
{
    TTestOwner owner;
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    TPicClass photo(&owner);
    TFrameClass frame(&owner);
    photo.LoadFromImage(MakeGradient(400, 300), 400, 300, TGPRect{0, 0, 800, 600}, true);
    frame.LoadFromFile(WritePng("frame.png", FramePicture(100, 10)), 400, 400,
                       TGPRect{0, 0, 800, 600}, true);
    ASSERT_EQ(photo.GetRect(), (TGPRect{200, 150, 400, 300}));
    ASSERT_EQ(frame.GetRect(), (TGPRect{200, 100, 400, 400}));
    owner.Objects = {&photo, &frame};

    // The opening (border 40 pixels once stretched 4 times).
    EXPECT_FALSE(frame.HitTest(400, 300));
    EXPECT_TRUE(frame.HitTest(210, 300));
    QTest::mouseClick(&owner, Qt::LeftButton, Qt::NoModifier, QPoint(400, 300));
    EXPECT_TRUE(photo.Selected);
    EXPECT_FALSE(frame.Selected);
    QTest::mouseClick(&owner, Qt::LeftButton, Qt::NoModifier, QPoint(210, 300));
    EXPECT_TRUE(frame.Selected);
    EXPECT_FALSE(photo.Selected);
}

TEST_F(PicObjectsTest, HandlesOfTheSelectedFrameAreTakenOverTransparentPixels)
{
    TFrameClass frame(nullptr);
    frame.LoadFromFile(WritePng("clear.png", MakeSolid(20, 20, QColor(0, 0, 0, 0))), 100, 100,
                       TGPRect{0, 0, 100, 100}, false);
    ASSERT_EQ(frame.GetRect(), (TGPRect{0, 0, 100, 100}));
    EXPECT_FALSE(frame.HitTest(99, 99));
    EXPECT_FALSE(frame.HitTest(50, 50));
    frame.SetSelected(true);
    EXPECT_TRUE(frame.HitTest(99, 99));   // handle 7, inside the rectangle
    EXPECT_TRUE(frame.HitTest(101, 101)); // handle 7, outside it
    EXPECT_TRUE(frame.HitTest(50, 1));    // handle 1
    EXPECT_FALSE(frame.HitTest(50, 50));
}

// ---------------------------------------------------------------------------
// Effects and sizes

TEST_F(PicObjectsTest, QuarterTurnTurnsAboutTheTopLeftCornerAndUndoes)
{
    TPicClass pic(nullptr);
    pic.LoadFromImage(MakeGradient(300, 200), 300, 200, TGPRect{10, 20, 300, 200}, false);
    ASSERT_EQ(pic.GetRect(), (TGPRect{10, 20, 300, 200}));
    EXPECT_TRUE(pic.ApplyEffect(std::make_unique<TRotate90>()));
    EXPECT_EQ(pic.GetRect(), (TGPRect{10, 20, 200, 300}));
    pic.Undo();
    EXPECT_EQ(pic.GetRect(), (TGPRect{10, 20, 300, 200}));
    pic.Redo();
    EXPECT_EQ(pic.GetRect(), (TGPRect{10, 20, 200, 300}));
    EXPECT_EQ(pic.Image->GetHistoryCount(), 1);
}

TEST_F(PicObjectsTest, EffectWithoutAPictureIsNotRecorded)
{
    TPicClass pic(nullptr);
    pic.SetRect(TGPRect{0, 0, 300, 200});
    EXPECT_FALSE(pic.ApplyEffect(std::make_unique<TRotate90>()));
    EXPECT_EQ(pic.GetRect(), (TGPRect{0, 0, 300, 200}));
    EXPECT_EQ(pic.Image->GetHistoryCount(), 0);
}

TEST_F(PicObjectsTest, ResizeDragEndsByRebuildingTheDisplayAtTheNewSize)
{
    TTestOwner owner;
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    TPicClass photo(&owner);
    photo.LoadFromImage(MakeGradient(400, 300), 400, 300, TGPRect{0, 0, 400, 300}, false);
    owner.Objects = {&photo};
    QTest::mouseClick(&owner, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    ASSERT_TRUE(photo.Selected);

    QTest::mousePress(&owner, Qt::LeftButton, Qt::NoModifier, QPoint(399, 299));
    QTest::mouseMove(&owner, QPoint(411, 299));
    EXPECT_EQ(photo.GetRect(), (TGPRect{0, 0, 412, 308})); // plain doubles give 309
    EXPECT_EQ(photo.Image->GetDisplayImage()->size(), QSize(400, 300));
    QTest::mouseRelease(&owner, Qt::LeftButton, Qt::NoModifier, QPoint(411, 299));
    EXPECT_EQ(photo.Image->GetDisplayImage()->size(), QSize(412, 308));
}

// ---------------------------------------------------------------------------
// Drawing for export

TEST_F(PicObjectsTest, ScaledDrawingTruncatesTowardZero)
{
    TPicClass pic(nullptr);
    pic.LoadFromImage(MakeSolid(10, 10, Qt::red), 10, 10, TGPRect{95, 100, 10, 10}, false);
    ASSERT_EQ(pic.GetRect(), (TGPRect{95, 100, 10, 10}));

    // Five pixels left of the offsets at 2.5: -12.5 -> -12, width 25.
    QImage out = NewBitmap(50, 50);
    {
        QPainter g(&out);
        pic.DrawScaled(g, 100, 100, 2.5);
    }
    EXPECT_EQ(PixelAt(out, 12, 0), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(out, 12, 24), qRgb(255, 0, 0));
    EXPECT_EQ(AlphaAt(out, 13, 0), 0);
    EXPECT_EQ(AlphaAt(out, 0, 25), 0);

    // A negative scale draws at the original size.
    QImage plain = NewBitmap(50, 50);
    {
        QPainter g(&plain);
        pic.DrawScaled(g, 100, 90, -1);
    }
    EXPECT_EQ(PixelAt(plain, 4, 10), qRgb(255, 0, 0));
    EXPECT_EQ(AlphaAt(plain, 5, 10), 0);
    EXPECT_EQ(AlphaAt(plain, 4, 9), 0);
    EXPECT_EQ(PixelAt(plain, 4, 19), qRgb(255, 0, 0));
    EXPECT_EQ(AlphaAt(plain, 4, 20), 0);
}

// ---------------------------------------------------------------------------
// Text

TEST_F(PicObjectsTest, TextTakesACopyOfItsOption)
{
    TFontOption option = MakeOption(12, MakeColorRef(255, 0, 0), MakeColorRef(0, 0, 255), 30);
    option.Font.setItalic(true);
    option.Font.setStrikeOut(true);
    EXPECT_EQ(option.StyleSum(), 1 + 2 + 8);

    TTextClass text(nullptr);
    EXPECT_FALSE(text.KeepAspect);
    text.SetTextAt(QStringLiteral("Hello"), option, 200, 40, 260, 170);
    EXPECT_EQ(text.GetRect(), (TGPRect{260, 170, 200, 40}));
    EXPECT_EQ(text.GetText(), QStringLiteral("Hello"));

    option.SetColor1(0);
    option.SetAngle(0);
    option.Font.setPointSize(30);
    EXPECT_EQ(text.GetFontOption().Color1, MakeColorRef(255, 0, 0));
    EXPECT_EQ(text.GetFontOption().Color2, MakeColorRef(0, 0, 255));
    EXPECT_EQ(text.GetFontOption().Angle, 30);
    EXPECT_EQ(text.GetFontOption().Font.pointSizeF(), 12.0);
    EXPECT_EQ(text.GetFontOption().StyleSum(), 11);

    // A new text keeps the rectangle it is given.
    text.SetText(QStringLiteral("Bye"), option, 120, 30);
    EXPECT_EQ(text.GetRect(), (TGPRect{260, 170, 120, 30}));
    EXPECT_EQ(text.GetFontOption().Angle, 0);
}

TEST_F(PicObjectsTest, TextGradientRunsAcrossTheRectangle)
{
    TTextClass text(nullptr);
    text.SetTextAt(QStringLiteral("MMMMMMMMMM"),
                   MakeOption(30, MakeColorRef(255, 0, 0), MakeColorRef(0, 0, 255), 0), 200, 40, 0,
                   0);
    QImage image = MakeSolid(200, 40, Qt::white);
    {
        QPainter g(&image);
        text.Draw(g);
    }
    const TInk left = InkIn(image, QRect(0, 0, 40, 40));
    const TInk right = InkIn(image, QRect(160, 0, 40, 40));
    ASSERT_GT(left.Count, 50);
    ASSERT_GT(right.Count, 50);
    EXPECT_GT(left.Red, 3 * left.Blue);
    EXPECT_GT(right.Blue, 3 * right.Red);

    // At 90 degrees the colours change from top to bottom instead.
    text.SetText(QStringLiteral("MMMMMMMMMM"),
                 MakeOption(30, MakeColorRef(255, 0, 0), MakeColorRef(0, 0, 255), 90), 200, 40);
    QImage down = MakeSolid(200, 40, Qt::white);
    {
        QPainter g(&down);
        text.Draw(g);
    }
    const TInk top = InkIn(down, QRect(0, 0, 200, 12));
    const TInk bottom = InkIn(down, QRect(0, 26, 200, 14));
    ASSERT_GT(top.Count, 50);
    ASSERT_GT(bottom.Count, 50);
    EXPECT_GT(top.Red, top.Blue);
    EXPECT_GT(bottom.Blue, bottom.Red);
}

TEST_F(PicObjectsTest, TextExportedAtScaleOneMatchesTheScreen)
{
    TTextClass text(nullptr);
    text.SetTextAt(QStringLiteral("Gradient text"),
                   MakeOption(20, MakeColorRef(200, 30, 0), MakeColorRef(0, 120, 255), 45), 200, 40,
                   30, 20);
    QImage screen = MakeSolid(300, 100, Qt::white);
    {
        QPainter g(&screen);
        text.Draw(g);
    }
    QImage exported = MakeSolid(200, 40, Qt::white);
    {
        QPainter g(&exported);
        text.DrawScaled(g, 30, 20, 1.0);
    }
    ASSERT_GT(InkIn(exported, exported.rect()).Count, 100);
    // The same glyphs and the same colours on them (the gradient is sampled
    // a rounding step apart).
    EXPECT_LE(MaxChannelDifference(screen.copy(30, 20, 200, 40), exported), 2);
}

TEST_F(PicObjectsTest, TextEmIsTheFontSizeInPixelsTimesTheScale)
{
    TTextClass text(nullptr);
    TFontOption option = MakeOption(24, 0, 0, 0);
    option.Font.setBold(false);
    text.SetTextAt(QStringLiteral("HHH"), option, 200, 60, 0, 0);
    QImage screen = MakeSolid(200, 60, Qt::white);
    {
        QPainter g(&screen);
        text.Draw(g);
    }
    QImage doubled = MakeSolid(400, 120, Qt::white);
    {
        QPainter g(&doubled);
        text.DrawScaled(g, 0, 0, 2.0);
    }
    const TInk one = InkIn(screen, screen.rect());
    const TInk two = InkIn(doubled, doubled.rect());
    ASSERT_GT(one.Count, 0);
    ASSERT_GT(two.Count, 0);
    const int h1 = one.Bottom - one.Top + 1;
    const int h2 = two.Bottom - two.Top + 1;
    // A capital of a 24-pixel em is about 17 pixels high; doubled, about 35.
    EXPECT_GE(h1, 15);
    EXPECT_LE(h1, 19);
    EXPECT_NEAR(h2, 2 * h1, 2);
}

TEST_F(PicObjectsTest, TextWithoutASizeDrawsNothing)
{
    TTextClass text(nullptr);
    TFontOption option = MakeOption(10, 0, 0, 0);
    text.SetTextAt(QStringLiteral("x"), option, 50, 20, 0, 0);
    QImage image = MakeSolid(50, 20, Qt::white);
    {
        QPainter g(&image);
        text.DrawScaled(g, 0, 0, 0.0); // scale 0: an em of 0
    }
    EXPECT_TRUE(SamePixels(image, MakeSolid(50, 20, Qt::white)));
}
