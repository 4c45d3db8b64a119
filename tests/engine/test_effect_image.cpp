// The picture with its effect history: fitting, which bitmap each effect
// changes, cutting the redo tail, quarter turns with their sizes, rebuilds
// that keep the history on screen, drawing with the inset, and loads.

#include "EffectImage.h"

#include "ColorEffects.h"
#include "GeometricEffects.h"
#include "TestSupport.h"

#include <QImageWriter>

#include <gtest/gtest.h>

namespace {

// A flip that counts how many of its kind are alive.
class TCountedFlip : public TFlipX
{
public:
    explicit TCountedFlip(int& alive) : m_alive(alive) { ++m_alive; }
    ~TCountedFlip() override { --m_alive; }

private:
    int& m_alive;
};

QImage Mirrored(const QImage& image, bool horizontal)
{
    return image.mirrored(horizontal, !horizontal);
}

QImage TurnedClockwise(const QImage& image)
{
    return image.transformed(QTransform().rotate(90));
}

// A picture shown at its own size, so the display is an exact copy.
void LoadExact(TEffectImage& picture, const QImage& image)
{
    picture.SetBitmap(image, image.width(), image.height(), false);
}

QImage Drawn(const TEffectImage& picture, int w, int h, bool preview = false)
{
    QImage target = MakeSolid(w, h, Qt::white);
    QPainter g(&target);
    SetInterpolationMode(g, TInterpolation::NearestNeighbor);
    if (preview)
        picture.DrawPreview(g, TGPRect{0, 0, w, h});
    else
        picture.Draw(g, TGPRect{0, 0, w, h});
    return target;
}

struct TFit
{
    int W;
    int H;
    double Scale;
};

TFit Fit(int pictureW, int pictureH, int boxW, int boxH)
{
    TEffectImage picture;
    int w = boxW;
    int h = boxH;
    picture.SetImageFit(MakeSolid(pictureW, pictureH, Qt::red), w, h, false);
    return TFit{w, h, picture.GetSourceScale()};
}

} // namespace

TEST(EffectImageFitTest, FitsIntoTheBoxKeepingTheAspectRatio)
{
    const TFit wide = Fit(4000, 3000, 400, 400);
    EXPECT_EQ(wide.W, 400);
    EXPECT_EQ(wide.H, 300);
    EXPECT_EQ(wide.Scale, 10.0);

    const TFit tall = Fit(300, 600, 400, 400);
    EXPECT_EQ(tall.W, 200);
    EXPECT_EQ(tall.H, 400);

    const TFit enlarged = Fit(300, 200, 400, 400);
    EXPECT_EQ(enlarged.W, 400);
    EXPECT_EQ(enlarged.H, 267);

    // 5 x 0.5 = 2.5 rounds half to even.
    const TFit thin = Fit(400, 5, 200, 200);
    EXPECT_EQ(thin.W, 200);
    EXPECT_EQ(thin.H, 2);
}

TEST(EffectImageFitTest, DisplayAndSourceHaveTheirSizesAndFormat)
{
    TEffectImage picture;
    int w = 400;
    int h = 400;
    picture.SetImageFit(MakeSolid(800, 600, QColor(20, 40, 60), QImage::Format_RGB32), w, h, false);
    ASSERT_NE(picture.GetSourceBitmap(), nullptr);
    EXPECT_EQ(picture.GetSourceBitmap()->size(), QSize(800, 600));
    EXPECT_EQ(picture.GetSourceBitmap()->format(), QImage::Format_RGB32);
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(400, 300));
    EXPECT_EQ(picture.GetDisplayImage()->format(), QImage::Format_RGB32);
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 0, 0), qRgb(20, 40, 60));
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 399, 299), qRgb(20, 40, 60));
    EXPECT_EQ(picture.GetSourceScale(), 2.0);
}

TEST(EffectImageFitTest, SourceSharesThePicturesPixelsUntilAnEffectChangesThem)
{
    TEffectImage picture;
    int w = 400;
    int h = 400;
    const QImage decoded = MakeGradient(800, 600);
    picture.SetImageFit(decoded, w, h, false);
    EXPECT_EQ(picture.GetSourceBitmap()->constBits(), decoded.constBits());

    double dw = w, dh = h;
    picture.AddEffect(std::make_unique<TFlipX>(), dw, dh);
    picture.AddEffect(std::make_unique<TRotate90>(), dw, dh);
    EXPECT_TRUE(SamePixels(decoded, MakeGradient(800, 600)));
    EXPECT_EQ(picture.GetSourceBitmap()->size(), QSize(600, 800));
}

TEST(EffectImageFitTest, ZeroWideDisplayGivesScaleOne)
{
    const TFit needle = Fit(1, 2000, 400, 400);
    EXPECT_EQ(needle.W, 0);
    EXPECT_EQ(needle.H, 400);
    EXPECT_EQ(needle.Scale, 1.0);
    EXPECT_EQ(TEffectImage().GetSourceScale(), 1.0);
}

TEST(EffectImageFitTest, PaletteImageBecomesThirtyTwoBit)
{
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    indexed.fill(1);
    TEffectImage picture;
    LoadExact(picture, indexed);
    const QImage::Format format = picture.GetSourceBitmap()->format();
    EXPECT_TRUE(format == QImage::Format_RGB32 || format == QImage::Format_ARGB32);
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 3, 3), qRgb(0, 0, 255));
}

TEST(EffectImageLoadTest, SetBitmapStretchesToTheRequestedSize)
{
    TEffectImage picture;
    picture.SetBitmap(MakeSolid(100, 100, Qt::green), 300, 50, true);
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(300, 50));
    EXPECT_EQ(picture.GetSourceBitmap()->size(), QSize(100, 100));
    EXPECT_TRUE(picture.GetInsetSource());
}

TEST(EffectImageLoadTest, LoadFromFileStretchesAndFitLoadKeepsAspect)
{
    TTempDir dir;
    const QString file = dir.file("photo.png");
    ASSERT_TRUE(MakeGradient(60, 30).save(file, "PNG"));

    TEffectImage stretched;
    stretched.LoadFromFile(file, 50, 50, false);
    EXPECT_EQ(stretched.GetDisplayImage()->size(), QSize(50, 50));

    TEffectImage fitted;
    int w = 50;
    int h = 50;
    fitted.LoadFromFileFit(file, w, h, false);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 25);
    EXPECT_TRUE(SamePixels(*fitted.GetSourceBitmap(), MakeGradient(60, 30)));
}

TEST(EffectImageLoadTest, UndecodableFileRaisesAndChangesNothing)
{
    TTempDir dir;
    const QString bad = dir.write("broken.jpg", "not a picture");
    TEffectImage picture;
    LoadExact(picture, MakeGradient(20, 10));
    double w = 20, h = 10;
    picture.AddEffect(std::make_unique<TFlipX>(), w, h);
    const QImage display = *picture.GetDisplayImage();

    int boxW = 100;
    int boxH = 100;
    try {
        picture.LoadFromFileFit(bad, boxW, boxH, true);
        FAIL() << "no error raised";
    } catch (const EImagingError& e) {
        EXPECT_NE(QString::fromStdString(e.what()).indexOf(bad), -1) << e.what();
    }
    EXPECT_EQ(boxW, 100);
    EXPECT_EQ(boxH, 100);
    EXPECT_FALSE(picture.GetInsetSource());
    EXPECT_TRUE(SamePixels(*picture.GetSourceBitmap(), MakeGradient(20, 10)));
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), display));
    EXPECT_EQ(picture.GetHistoryCount(), 1);

    EXPECT_THROW(picture.SetImageFit(QImage(), boxW, boxH, true), EImagingError);
    EXPECT_FALSE(picture.GetInsetSource());
}

TEST(EffectImageLoadTest, NewPictureStartsAFreshHistory)
{
    TEffectImage picture;
    LoadExact(picture, MakeGradient(20, 10));
    double w = 20, h = 10;
    picture.AddEffect(std::make_unique<TFlipY>(), w, h);
    TSaturation grey;
    grey.SetSaturation(0);
    picture.PreviewEffect(grey, w, h);
    ASSERT_NE(picture.GetPreviewBitmap(), nullptr);

    int boxW = 40;
    int boxH = 40;
    picture.SetImageFit(MakeSolid(10, 10, Qt::blue), boxW, boxH, false);
    EXPECT_EQ(picture.GetHistoryCount(), 0);
    EXPECT_EQ(picture.GetHistoryIndex(), -1);
    EXPECT_EQ(picture.GetPreviewBitmap(), nullptr);
    picture.Undo(w, h);
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 5, 5), qRgb(0, 0, 255));
}

TEST(EffectImageHistoryTest, EmptyHistoryUndoAndRedoChangeNothing)
{
    TEffectImage picture;
    double w = 123, h = 45;
    picture.Undo(w, h);
    picture.Redo(w, h);
    EXPECT_EQ(w, 123);
    EXPECT_EQ(h, 45);

    LoadExact(picture, MakeGradient(8, 8));
    const QImage display = *picture.GetDisplayImage();
    picture.Undo(w, h);
    picture.Redo(w, h);
    EXPECT_EQ(w, 123);
    EXPECT_EQ(h, 45);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), display));
}

TEST(EffectImageHistoryTest, NewEffectCutsTheUndoneTail)
{
    int alive = 0;
    {
        TEffectImage picture;
        LoadExact(picture, MakeGradient(8, 8));
        double w = 8, h = 8;
        auto first = std::make_unique<TCountedFlip>(alive);
        TEffectBase* firstPtr = first.get();
        EXPECT_TRUE(picture.AddEffect(std::move(first), w, h));
        EXPECT_TRUE(picture.AddEffect(std::make_unique<TCountedFlip>(alive), w, h));
        EXPECT_TRUE(picture.AddEffect(std::make_unique<TCountedFlip>(alive), w, h));
        EXPECT_EQ(picture.GetHistoryIndex(), 2);
        picture.Undo(w, h);
        picture.Undo(w, h);
        EXPECT_EQ(picture.GetHistoryIndex(), 0);
        EXPECT_EQ(alive, 3);

        auto last = std::make_unique<TCountedFlip>(alive);
        TEffectBase* lastPtr = last.get();
        picture.AddEffect(std::move(last), w, h);
        EXPECT_EQ(alive, 2);
        EXPECT_EQ(picture.GetHistoryCount(), 2);
        EXPECT_EQ(picture.GetHistoryIndex(), 1);
        EXPECT_EQ(picture.GetHistoryItem(0), firstPtr);
        EXPECT_EQ(picture.GetHistoryItem(1), lastPtr);
        // Two flips applied: the picture is as loaded.
        EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), MakeGradient(8, 8)));
    }
    EXPECT_EQ(alive, 0);
}

TEST(EffectImageHistoryTest, DisplayEffectsChangeTheDisplayOnly)
{
    TEffectImage picture;
    int w0 = 20;
    int h0 = 20;
    picture.SetImageFit(MakeGradient(40, 40), w0, h0, false);
    double w = 20, h = 20;
    const QImage display = *picture.GetDisplayImage();
    picture.AddEffect(std::make_unique<TFlipX>(), w, h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 20);
    EXPECT_TRUE(SamePixels(*picture.GetSourceBitmap(), MakeGradient(40, 40)));
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), Mirrored(display, true)));
    picture.Undo(w, h);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), display));
    picture.Redo(w, h);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), Mirrored(display, true)));
}

TEST(EffectImageHistoryTest, QuarterTurnTurnsTheSourceAndRebuildsTheDisplay)
{
    TEffectImage picture;
    int boxW = 400;
    int boxH = 400;
    picture.SetImageFit(MakeGradient(800, 600), boxW, boxH, false);
    double w = 400, h = 300;
    picture.AddEffect(std::make_unique<TRotate90>(), w, h);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 400);
    EXPECT_EQ(picture.GetSourceBitmap()->size(), QSize(600, 800));
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(300, 400));

    picture.Undo(w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    EXPECT_TRUE(SamePixels(*picture.GetSourceBitmap(), MakeGradient(800, 600)));
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(400, 300));

    picture.Redo(w, h);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 400);
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(300, 400));
}

TEST(EffectImageHistoryTest, RebuiltDisplayTruncatesTheReturnedSize)
{
    TEffectImage picture;
    LoadExact(picture, MakeGradient(40, 30));
    double w = 400.7, h = 300.9;
    picture.AddEffect(std::make_unique<TRotateF90>(), w, h);
    EXPECT_EQ(w, 300.9);
    EXPECT_EQ(h, 400.7);
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(300, 400));
    picture.Undo(w, h);
    EXPECT_EQ(w, 400.7);
    EXPECT_EQ(h, 300.9);
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(400, 300));
}

TEST(EffectImageHistoryTest, FlipBeforeQuarterTurnShowsInOrder)
{
    const QImage original = MakeGradient(40, 30);
    const QImage expected = TurnedClockwise(Mirrored(original, true));
    TEffectImage picture;
    LoadExact(picture, original);
    double w = 40, h = 30;
    picture.AddEffect(std::make_unique<TFlipX>(), w, h);
    picture.AddEffect(std::make_unique<TRotate90>(), w, h);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), expected));

    picture.ResizeDisplay(15, 20);
    picture.ResizeDisplay(30, 40);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), expected));

    picture.Undo(w, h);
    picture.Undo(w, h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 30);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), original));

    picture.Redo(w, h);
    picture.Redo(w, h);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), expected));
}

TEST(EffectImageHistoryTest, FlipYBetweenTwoTurnsStaysAFlipY)
{
    const QImage original = MakeGradient(12, 8);
    const QImage expected =
        TurnedClockwise(TurnedClockwise(Mirrored(TurnedClockwise(original), false)));
    TEffectImage picture;
    LoadExact(picture, original);
    double w = 12, h = 8;
    picture.AddEffect(std::make_unique<TRotate90>(), w, h);
    picture.AddEffect(std::make_unique<TFlipY>(), w, h);
    picture.AddEffect(std::make_unique<TRotate90>(), w, h);
    picture.AddEffect(std::make_unique<TRotate90>(), w, h);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), expected));
}

TEST(EffectImageHistoryTest, ColourStepSurvivesAQuarterTurnAndResize)
{
    const QImage original = MakeGradient(20, 10);
    TEffectImage picture;
    LoadExact(picture, original);
    double w = 20, h = 10;
    auto grey = std::make_unique<TSaturation>();
    grey->SetSaturation(0);
    picture.AddEffect(std::move(grey), w, h);
    picture.AddEffect(std::make_unique<TRotateF90>(), w, h);
    const QImage shown = *picture.GetDisplayImage();
    EXPECT_EQ(shown.size(), QSize(10, 20));
    const QRgb p = PixelAt(shown, 3, 4);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));

    picture.Undo(w, h);
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 4, 6), PixelAt(shown, 6, 15));
    picture.Undo(w, h);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), original));
}

TEST(EffectImageHistoryTest, ResizeKeepsAFlipAndTheFollowingUndoUnflips)
{
    const QImage original = MakeGradient(30, 30);
    TEffectImage picture;
    LoadExact(picture, original);
    double w = 30, h = 30;
    picture.AddEffect(std::make_unique<TFlipX>(), w, h);
    picture.ResizeDisplay(60, 60);
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(60, 60));
    picture.ResizeDisplay(30, 30);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), Mirrored(original, true)));
    picture.Undo(w, h);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), original));
}

TEST(EffectImageHistoryTest, ResizeToNoSizeLeavesAnEmptyDisplay)
{
    TEffectImage picture;
    LoadExact(picture, MakeGradient(10, 10));
    picture.ResizeDisplay(-5, 10);
    ASSERT_NE(picture.GetDisplayImage(), nullptr);
    EXPECT_TRUE(picture.GetDisplayImage()->isNull());
    EXPECT_EQ(picture.GetSourceScale(), 1.0);
    picture.ResizeDisplay(10, 10);
    EXPECT_TRUE(SamePixels(*picture.GetDisplayImage(), MakeGradient(10, 10)));
}

TEST(EffectImageHistoryTest, ColourUndoAfterResizeKeepsThePresentSize)
{
    TEffectImage picture;
    LoadExact(picture, MakeSolid(30, 30, QColor(200, 100, 30)));
    double w = 30, h = 30;
    auto shift = std::make_unique<TRGBAdjust>();
    shift->SetRed(-100);
    picture.AddEffect(std::move(shift), w, h);
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 0, 0), qRgb(122, 100, 30));
    picture.ResizeDisplay(50, 40);
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 49, 39), qRgb(122, 100, 30));
    picture.Undo(w, h);
    EXPECT_EQ(picture.GetDisplayImage()->size(), QSize(50, 40));
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 49, 39), qRgb(200, 100, 30));
    picture.Redo(w, h);
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 0, 0), qRgb(122, 100, 30));
}

TEST(EffectImageHistoryTest, NoPictureRecordsNothingAndFreesTheEffect)
{
    int alive = 0;
    TEffectImage picture;
    double w = 10, h = 10;
    EXPECT_FALSE(picture.AddEffect(std::make_unique<TCountedFlip>(alive), w, h));
    EXPECT_FALSE(picture.AddEffect(std::make_unique<TRotate90>(), w, h));
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(picture.GetHistoryCount(), 0);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 10);

    TRGBAdjust shift;
    picture.PreviewEffect(shift, w, h);
    EXPECT_EQ(picture.GetPreviewBitmap(), nullptr);
    EXPECT_TRUE(shift.SavedImage().isNull());

    // A frame whose file could not be read: an empty source.
    picture.SetBitmap(QImage(), 10, 10, false);
    EXPECT_FALSE(picture.AddEffect(std::make_unique<TFlipX>(), w, h));
    EXPECT_EQ(picture.GetHistoryCount(), 0);
}

TEST(EffectImagePreviewTest, PreviewChangesACopyOnly)
{
    TEffectImage picture;
    LoadExact(picture, MakeSolid(10, 10, QColor(200, 100, 30)));
    double w = 10, h = 10;
    TSaturation grey;
    grey.SetSaturation(0);
    picture.PreviewEffect(grey, w, h);
    EXPECT_EQ(PixelAt(*picture.GetPreviewBitmap(), 0, 0), qRgb(110, 110, 110));
    EXPECT_EQ(PixelAt(*picture.GetDisplayImage(), 0, 0), qRgb(200, 100, 30));
    EXPECT_EQ(picture.GetHistoryCount(), 0);
    EXPECT_EQ(PixelAt(Drawn(picture, 10, 10, true), 9, 9), qRgb(110, 110, 110));
    EXPECT_EQ(PixelAt(Drawn(picture, 10, 10), 9, 9), qRgb(200, 100, 30));
}

TEST(EffectImageDrawTest, InsetDrawsFromTheRectangleOnePixelIn)
{
    const QImage gradient = MakeGradient(100, 80);
    TEffectImage picture;
    picture.SetBitmap(gradient, 100, 80, true);
    EXPECT_TRUE(SamePixels(Drawn(picture, 98, 78), gradient.copy(1, 1, 98, 78)));
    picture.SetBitmap(gradient, 100, 80, false);
    EXPECT_TRUE(SamePixels(Drawn(picture, 100, 80), gradient));
}

TEST(EffectImageDrawTest, TheCallersInterpolationApplies)
{
    // A black and a white pixel stretched to 20: nearest neighbour keeps the
    // two colours, smoothing adds greys between them.
    QImage pair = MakeSolid(2, 1, Qt::black);
    pair.setPixel(1, 0, qRgb(255, 255, 255));
    TEffectImage picture;
    picture.SetBitmap(pair, 2, 1, false);
    for (const bool smooth : {false, true}) {
        QImage target = MakeSolid(20, 1, Qt::red);
        {
            QPainter g(&target);
            g.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
            picture.Draw(g, TGPRect{0, 0, 20, 1});
            EXPECT_EQ(g.testRenderHint(QPainter::SmoothPixmapTransform), smooth);
        }
        bool grey = false;
        for (int x = 0; x < 20; ++x) {
            const QRgb p = PixelAt(target, x, 0) & 0xFFFFFF;
            grey = grey || (p != 0u && p != 0xFFFFFFu);
        }
        EXPECT_EQ(grey, smooth) << "smoothing " << smooth;
    }
}

TEST(EffectImageDrawTest, EmptyPictureAndTinyInsetDrawNothing)
{
    const QImage white = MakeSolid(5, 5, Qt::white);
    TEffectImage picture;
    EXPECT_TRUE(SamePixels(Drawn(picture, 5, 5), white));
    EXPECT_TRUE(SamePixels(Drawn(picture, 5, 5, true), white));
    picture.SetBitmap(MakeSolid(10, 10, Qt::black), 2, 2, true);
    EXPECT_TRUE(SamePixels(Drawn(picture, 5, 5), white));
    EXPECT_TRUE(SamePixels(Drawn(picture, 5, 5, true), white));
}
