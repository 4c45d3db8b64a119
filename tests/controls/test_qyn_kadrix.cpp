// The composition canvas: layers, painting, mouse routing, composing, saving,
// effects and the canvas-wide undo list.

#include "QynKadrix.h"

#include "ColorEffects.h"
#include "FrameMakerBase.h"
#include "GeometricEffects.h"
#include "RectTools.h"
#include "UniFuncs.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

const TColorRef White = MakeColorRef(255, 255, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 255, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb WhitePixel = qRgb(255, 255, 255);

// A frame picture: an opaque red band of Band pixels around a transparent
// opening.
QImage MakeFramePicture(int w, int h, int band)
{
    QImage image = MakeSolid(w, h, QColor(255, 0, 0));
    for (int y = band; y < h - band; ++y) {
        for (int x = band; x < w - band; ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
    return image;
}

// Renders a solid picture of a fixed size, whatever size it was asked for.
class TFixedMaker : public TFrameMakerBase
{
public:
    TFixedMaker(int w, int h) : m_w(w), m_h(h) {}
    int32_t GetAddedWidth() const override { return 0; }
    int32_t GetAddedHeight() const override { return 0; }
    int32_t GetTopBand() const override { return 0; }
    int32_t GetLeftBand() const override { return 0; }
    void Render(QImage& bitmap) override { bitmap = MakeFramePicture(m_w, m_h, 20); }
    void LoadFromFile(const QString&) override {}
    void SaveToFile(const QString&) override {}

private:
    int m_w;
    int m_h;
};

// The quantisation values of every table in a JPEG file.
std::vector<int> QuantisationValues(const QByteArray& jpeg)
{
    std::vector<int> values;
    int i = 2;
    while (i + 4 <= jpeg.size()) {
        if (uchar(jpeg[i]) != 0xFF)
            break;
        const uchar marker = uchar(jpeg[i + 1]);
        const int length = (uchar(jpeg[i + 2]) << 8) | uchar(jpeg[i + 3]);
        if (marker == 0xDA)
            break;
        if (marker == 0xDB) {
            int p = i + 4;
            const int end = i + 2 + length;
            while (p < end) {
                const bool wide = (uchar(jpeg[p]) >> 4) != 0;
                ++p;
                for (int k = 0; k < 64; ++k) {
                    values.push_back(wide ? (uchar(jpeg[p]) << 8) | uchar(jpeg[p + 1])
                                          : uchar(jpeg[p]));
                    p += wide ? 2 : 1;
                }
            }
        }
        i += 2 + length;
    }
    return values;
}

// A brightness change (contrast 0, gamma 1).
std::unique_ptr<TColorAdjust> Brightness(int value)
{
    auto effect = std::make_unique<TColorAdjust>();
    effect->SetBrightness(value);
    effect->SetGamma(1.0);
    return effect;
}

class QynKadrixTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetAppCursor(Qt::ArrowCursor);
        Canvas = std::make_unique<TQynKadrix>();
        Canvas->SetBKColor(White);
        Canvas->resize(800, 600);
        Canvas->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Canvas.get()));
        ASSERT_EQ(Canvas->DefaultBoxWidth, 640);
        ASSERT_EQ(Canvas->DefaultBoxHeight, 480);
    }
    void TearDown() override
    {
        Canvas.reset();
        SetAppCursor(Qt::ArrowCursor);
    }

    QString SavePicture(const QString& name, const QImage& image)
    {
        const QString path = Dir.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    // Frame (80, 60, 640, 480) with a 64 x 48 red band; a green photo at the
    // same rectangle.
    void LoadScene()
    {
        Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
        Canvas->OpenPhoto(SavePicture("photo.png", MakeSolid(800, 600, QColor(0, 255, 0))));
        ASSERT_EQ(Canvas->GetFrameRect(), (TGPRect{80, 60, 640, 480}));
        ASSERT_EQ(Canvas->Photo->GetRect(), (TGPRect{80, 60, 640, 480}));
    }
    TPicClass* AddClipArt(const QImage& picture)
    {
        Canvas->AddClipArt(SavePicture(QStringLiteral("clip%1.png").arg(++ClipArtCount), picture));
        return dynamic_cast<TPicClass*>(Canvas->Overlays.back().get());
    }
    QImage Screen() { return Canvas->grab().toImage().convertToFormat(QImage::Format_ARGB32); }
    // What a canvas built afresh shows with LoadScene's photo, the frame
    // picture stretched to Rect and selected, and whatever More adds.
    QImage FreshScreen(const QString& framePicture, const TGPRect& rect,
                       const std::function<void(TQynKadrix&)>& more = {})
    {
        TQynKadrix fresh;
        fresh.SetBKColor(White);
        fresh.resize(800, 600);
        fresh.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&fresh));
        fresh.OpenPhoto(Dir.file("photo.png"));
        fresh.Frame->LoadFromFile(framePicture, rect.Width, rect.Height, rect, true);
        fresh.Frame->SetSelected(true);
        if (more)
            more(fresh);
        return fresh.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    // The user's way to a turned frame: shrink the frame by its lower-right
    // handle to 440 x 180, load a PNG frame into it, click its band and turn
    // it right, with the canvas painted before the turn. Returns the turned
    // frame picture, saved, for a fresh canvas to load.
    QString TurnAShrunkFrame()
    {
        LoadScene();
        Click({85, 300});
        EXPECT_TRUE(Canvas->Frame->Selected);
        Move({719, 539});
        Press({719, 539});
        Move({519, 239});
        Release({519, 239});
        EXPECT_EQ(Canvas->GetFrameRect(), (TGPRect{80, 60, 440, 180}));
        // A band with a blue corner, so that the turn shows.
        QImage picture = MakeFramePicture(100, 60, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 30; ++x)
                picture.setPixel(x, y, Blue);
        Canvas->LoadFrame(SavePicture("turn.png", picture));
        Click({85, 100});
        EXPECT_TRUE(Canvas->Frame->Selected);
        Screen();
        Canvas->ApplyEffect(std::make_unique<TRotate90>());
        EXPECT_EQ(Canvas->GetFrameRect(), (TGPRect{80, 60, 180, 440}));
        return SavePicture("turned.png", picture.transformed(QTransform().rotate(90)));
    }

    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(Canvas.get(), b, Qt::NoModifier, p);
    }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(Canvas.get(), b, Qt::NoModifier, p);
    }
    void Click(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        Press(p, b);
        Release(p, b);
    }
    void Move(QPoint p) { QTest::mouseMove(Canvas.get(), p); }
    void DoubleClick(QPoint p)
    {
        QTest::mouseClick(Canvas.get(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseDClick(Canvas.get(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(Canvas.get(), Qt::LeftButton, Qt::NoModifier, p);
    }

    TTempDir Dir;
    std::unique_ptr<TQynKadrix> Canvas;
    int ClipArtCount = 0;
};

struct TEventRecord
{
    TRectBase* Sender = nullptr;
    int X = 0;
    int Y = 0;
    int Count = 0;
};

auto Recorder(TEventRecord& record)
{
    return [&record](TRectBase* sender, int x, int y) {
        record.Sender = sender;
        record.X = x;
        record.Y = y;
        ++record.Count;
    };
}

} // namespace

// ---------------------------------------------------------------------------
// Creation and size

TEST_F(QynKadrixTest, NewCanvasHoldsEmptyLayers)
{
    TQynKadrix fresh;
    EXPECT_EQ(fresh.DefaultBoxWidth, 500);
    EXPECT_EQ(fresh.DefaultBoxHeight, 300);
    EXPECT_FALSE(fresh.Frame->Loaded);
    EXPECT_FALSE(fresh.Photo->Loaded);
    EXPECT_TRUE(fresh.Photo->KeepAspect);
    EXPECT_FALSE(fresh.Frame->KeepAspect);
    EXPECT_EQ(fresh.UndoIndex, -1);
    EXPECT_FALSE(fresh.CanUndo());
    EXPECT_FALSE(fresh.CanRedo());
    EXPECT_FALSE(fresh.PreviewMode);
    EXPECT_TRUE(fresh.hasMouseTracking());
}

TEST_F(QynKadrixTest, ResizingSetsTheDefaultBoxTruncated)
{
    Canvas->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(Canvas->DefaultBoxWidth, 800);
    EXPECT_EQ(Canvas->DefaultBoxHeight, 560);
    Canvas->resize(333, 333);
    QApplication::processEvents();
    EXPECT_EQ(Canvas->DefaultBoxWidth, 266);
    EXPECT_EQ(Canvas->DefaultBoxHeight, 266);
}

// ---------------------------------------------------------------------------
// Painting

TEST_F(QynKadrixTest, OnlyTheBackgroundShowsUntilAFrameIsLoaded)
{
    Canvas->OpenPhoto(SavePicture("photo.png", MakeSolid(800, 600, QColor(0, 255, 0))));
    const QImage screen = Screen();
    EXPECT_TRUE(SamePixels(screen, MakeSolid(800, 600, QColor(255, 255, 255))));
}

TEST_F(QynKadrixTest, SceneIsClippedToTheFrame)
{
    LoadScene();
    // A photo larger than the frame shows only inside the frame rectangle.
    Canvas->Photo->SetRect(TGPRect{0, 0, 800, 600});
    Canvas->Photo->UpdateRegion();
    const QImage screen = Screen();
    EXPECT_EQ(PixelAt(screen, 40, 30), WhitePixel);
    EXPECT_EQ(PixelAt(screen, 79, 300), WhitePixel);
    EXPECT_EQ(PixelAt(screen, 720, 300), WhitePixel);
    EXPECT_EQ(PixelAt(screen, 400, 540), WhitePixel);
    // The frame's band, and the photo through its opening.
    EXPECT_EQ(PixelAt(screen, 90, 300), Red);
    EXPECT_EQ(PixelAt(screen, 400, 300), Green);
}

TEST_F(QynKadrixTest, SelectedFrameShowsItsMarksInTheMargin)
{
    LoadScene();
    Canvas->Frame->SetSelected(true);
    const QImage screen = Screen();
    // Handle 0 of the frame is centred on (80, 60): its square reaches (78, 58).
    EXPECT_EQ(PixelAt(screen, 78, 58), qRgb(0, 0, 0));
    EXPECT_EQ(PixelAt(screen, 77, 58), WhitePixel);
    // Handle 7 is centred on (719, 539) and reaches (721, 541).
    EXPECT_EQ(PixelAt(screen, 721, 541), qRgb(0, 0, 0));
}

TEST_F(QynKadrixTest, PreviewModeShowsOnlyThePhoto)
{
    Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
    // A tall photo: fitted to 320 x 480 at (240, 60).
    Canvas->OpenPhoto(SavePicture("photo.png", MakeSolid(200, 300, QColor(0, 255, 0))));
    ASSERT_EQ(Canvas->Photo->GetRect(), (TGPRect{240, 60, 320, 480}));
    AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));

    QImage screen = Screen();
    EXPECT_EQ(PixelAt(screen, 100, 300), Red);
    EXPECT_EQ(PixelAt(screen, 400, 300), Blue);

    Canvas->SetPreviewMode(true);
    const auto darker = Brightness(-255);
    Canvas->PreviewPhotoEffect(*darker);
    screen = Screen();
    EXPECT_EQ(PixelAt(screen, 100, 300), WhitePixel);
    EXPECT_EQ(PixelAt(screen, 239, 300), WhitePixel);
    EXPECT_EQ(PixelAt(screen, 560, 300), WhitePixel);
    // The photo's preview where the overlay was.
    EXPECT_EQ(PixelAt(screen, 400, 300), PixelAt(*Canvas->Photo->Image->GetPreviewBitmap(), 0, 0));
    EXPECT_NE(PixelAt(screen, 400, 300), Green);
    // Nothing was recorded.
    EXPECT_FALSE(Canvas->CanUndo());

    Canvas->SetPreviewMode(false);
    screen = Screen();
    EXPECT_EQ(PixelAt(screen, 100, 300), Red);
    EXPECT_EQ(PixelAt(screen, 300, 300), Green);
}

TEST_F(QynKadrixTest, PreviewModeWithoutAPhotoShowsTheBackground)
{
    Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
    Canvas->SetPreviewMode(true);
    EXPECT_TRUE(SamePixels(Screen(), MakeSolid(800, 600, QColor(255, 255, 255))));
}

TEST_F(QynKadrixTest, TurnedFrameRepaintsLikeAFreshCanvas)
{
    const QString turned = TurnAShrunkFrame();
    EXPECT_TRUE(SamePixels(Screen(), FreshScreen(turned, {80, 60, 180, 440})));
    Canvas->Undo();
    EXPECT_TRUE(SamePixels(Screen(), FreshScreen(Dir.file("turn.png"), {80, 60, 440, 180})));
    Canvas->Redo();
    EXPECT_TRUE(SamePixels(Screen(), FreshScreen(turned, {80, 60, 180, 440})));
}

TEST_F(QynKadrixTest, TextAppliedAfterAnUndoWithAClipArtSelectedIsPainted)
{
    TurnAShrunkFrame();
    const QString clipFile = SavePicture("clip.png", MakeSolid(64, 64, QColor(0, 0, 255)));
    Canvas->AddClipArt(clipFile);
    Click({170, 280});
    ASSERT_TRUE(Canvas->Overlays.back()->Selected);
    // The undo turns the frame back while the clip-art stays selected; the
    // text then lands at the centre of the frame, where the turned frame was
    // not.
    Canvas->Undo();
    TFontOption option;
    option.SetColor1(MakeColorRef(0, 0, 0));
    const QString text = QStringLiteral("\u00c4pfel \u5149");
    ASSERT_FALSE(Canvas->UpdateSelectedText(text, option));
    Canvas->AddText(text, option);
    const QImage fresh =
        FreshScreen(Dir.file("turn.png"), {80, 60, 440, 180}, [&](TQynKadrix& canvas) {
            canvas.AddClipArt(clipFile);
            TRectBase& clip = *canvas.Overlays.back();
            clip.X = 138;
            clip.Y = 248;
            canvas.DeselectAll();
            clip.SetSelected(true);
            canvas.AddText(text, option);
        });
    EXPECT_TRUE(SamePixels(Screen(), fresh));
}

// ---------------------------------------------------------------------------
// Loading and adding

TEST_F(QynKadrixTest, FrameAndPhotoFitTheDefaultBox)
{
    Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
    EXPECT_EQ(Canvas->GetFrameRect(), (TGPRect{80, 60, 640, 480}));
    Canvas->OpenPhoto(SavePicture("photo.jpg", MakeSolid(4000, 3000, QColor(0, 255, 0))));
    EXPECT_EQ(Canvas->Photo->GetRect(), (TGPRect{80, 60, 640, 480}));
    // The photo's own resolution: 4000 / 640 = 6.25.
    const QImage full = Canvas->ComposeBitmap(-1);
    EXPECT_EQ(full.size(), QSize(4000, 3000));
    EXPECT_EQ(full.format(), QImage::Format_ARGB32);

    // A later PNG frame is stretched to the frame rectangle, which stays.
    Canvas->Frame->SetRect(TGPRect{10, 20, 300, 200});
    Canvas->LoadFrame(SavePicture("frame2.png", MakeFramePicture(50, 80, 5)));
    EXPECT_EQ(Canvas->GetFrameRect(), (TGPRect{10, 20, 300, 200}));
}

TEST_F(QynKadrixTest, FirstFrameRoundsItsCentringToEvenPhotoTruncates)
{
    // 811 wide: the box is 648 (648.8 truncated) and the margin 163.
    Canvas->resize(811, 600);
    QApplication::processEvents();
    ASSERT_EQ(Canvas->DefaultBoxWidth, 648);
    Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
    EXPECT_EQ(Canvas->GetFrameRect(), (TGPRect{82, 60, 648, 480}));
    Canvas->OpenPhoto(SavePicture("photo.png", MakeSolid(648, 480, QColor(0, 255, 0))));
    EXPECT_EQ(Canvas->Photo->GetRect(), (TGPRect{81, 60, 648, 480}));
}

TEST_F(QynKadrixTest, UndecodableFrameGivesAnEmptyFramePhotoRaises)
{
    const QString bad = Dir.write("bad.png", "not a picture");
    Canvas->LoadFrame(bad);
    EXPECT_TRUE(Canvas->Frame->Loaded);
    EXPECT_EQ(Canvas->GetFrameRect(), (TGPRect{80, 60, 640, 480}));

    Canvas->OpenPhoto(SavePicture("photo.png", MakeSolid(800, 600, QColor(0, 255, 0))));
    EXPECT_ANY_THROW(Canvas->OpenPhoto(bad));
    EXPECT_EQ(Canvas->Photo->GetRect(), (TGPRect{80, 60, 640, 480}));
    EXPECT_ANY_THROW(Canvas->AddClipArt(bad));
    EXPECT_TRUE(Canvas->Overlays.empty());
}

TEST_F(QynKadrixTest, GeneratedFrameIsFittedNotStretched)
{
    LoadScene();
    TFixedMaker maker(630, 480);
    Canvas->LoadFrameImage(maker);
    EXPECT_EQ(Canvas->GetFrameRect(), (TGPRect{85, 60, 630, 480}));
    EXPECT_EQ(Canvas->GetFrameWidth(), 630);
    EXPECT_EQ(Canvas->GetFrameHeight(), 480);
}

TEST_F(QynKadrixTest, ClipArtAndTextArePlacedOnTheFrame)
{
    LoadScene();
    Canvas->Frame->SetRect(TGPRect{0, 0, 400, 300});
    TPicClass* clip = AddClipArt(MakeSolid(200, 100, QColor(0, 0, 255)));
    EXPECT_EQ(clip->GetRect(), (TGPRect{168, 134, 64, 32}));
    EXPECT_FALSE(clip->KeepAspect);
    EXPECT_FALSE(clip->Selected);

    Canvas->Frame->SetRect(TGPRect{10, 20, 501, 301});
    TFontOption option;
    option.SetColor1(MakeColorRef(255, 0, 0));
    Canvas->AddText("Hello", option);
    auto* text = dynamic_cast<TTextClass*>(Canvas->Overlays.back().get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetRect(), (TGPRect{260, 170, 200, 40}));
    EXPECT_EQ(text->GetText(), "Hello");
    EXPECT_EQ(text->GetFontOption().Color1, MakeColorRef(255, 0, 0));
    EXPECT_FALSE(text->Selected);
    EXPECT_EQ(Canvas->Overlays.size(), 2u);
}

TEST_F(QynKadrixTest, UpdateSelectedTextKeepsTheRectangle)
{
    LoadScene();
    TFontOption option;
    Canvas->AddText("One", option);
    TPicClass* clip = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    auto* text = dynamic_cast<TTextClass*>(Canvas->Overlays[0].get());

    // Nothing or a clip-art selected: false, nothing changes.
    EXPECT_FALSE(Canvas->UpdateSelectedText("Two", option));
    clip->SetSelected(true);
    EXPECT_FALSE(Canvas->UpdateSelectedText("Two", option));
    EXPECT_EQ(text->GetText(), "One");

    Canvas->DeselectAll();
    text->Width = 120;
    text->Height = 33;
    text->SetSelected(true);
    option.SetAngle(45);
    EXPECT_TRUE(Canvas->UpdateSelectedText("Two", option));
    EXPECT_EQ(text->GetText(), "Two");
    EXPECT_EQ(text->GetFontOption().Angle, 45);
    EXPECT_EQ(text->GetRect(), (TGPRect{400, 300, 120, 33}));
}

TEST_F(QynKadrixTest, RestackingAndDeletingActOnTheSelectedOverlay)
{
    LoadScene();
    TPicClass* a = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    TPicClass* b = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    TPicClass* c = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    auto order = [this] {
        std::vector<TRectBase*> v;
        for (auto& o : Canvas->Overlays)
            v.push_back(o.get());
        return v;
    };

    c->SetSelected(true);
    Canvas->SendToBack();
    EXPECT_EQ(order(), (std::vector<TRectBase*>{c, a, b}));
    Canvas->BringToFront();
    EXPECT_EQ(order(), (std::vector<TRectBase*>{a, b, c}));

    // The frame or the photo selected: nothing moves or goes.
    Canvas->DeselectAll();
    Canvas->Frame->SetSelected(true);
    Canvas->SendToBack();
    Canvas->DeleteSelected();
    EXPECT_EQ(order(), (std::vector<TRectBase*>{a, b, c}));

    Canvas->DeselectAll();
    b->SetSelected(true);
    Canvas->DeleteSelected();
    EXPECT_EQ(order(), (std::vector<TRectBase*>{a, c}));
}

// ---------------------------------------------------------------------------
// Composing and saving

TEST_F(QynKadrixTest, ComposeCoversTheFrameRectangle)
{
    LoadScene();
    TPicClass* clip = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    clip->X = 100;
    clip->Y = 100;
    clip->SetSelected(true);
    const QImage bitmap = Canvas->ComposeBitmap(1.0);
    ASSERT_EQ(bitmap.size(), QSize(640, 480));
    EXPECT_EQ(PixelAt(bitmap, 20, 40), Blue);
    EXPECT_EQ(PixelAt(bitmap, 83, 103), Blue);
    EXPECT_EQ(PixelAt(bitmap, 19, 40), Red);
    EXPECT_EQ(PixelAt(bitmap, 84, 40), Red);
    EXPECT_EQ(PixelAt(bitmap, 20, 104), Red);
    EXPECT_EQ(PixelAt(bitmap, 320, 240), Green);
    // No selection marks: the outline would be black.
    EXPECT_EQ(PixelAt(bitmap, 21, 40), Blue);

    Canvas->Frame->SetRect(TGPRect{80, 60, 301, 200});
    EXPECT_EQ(Canvas->ComposeBitmap(2.5).size(), QSize(752, 500));
}

TEST_F(QynKadrixTest, ComposeOnSeveralThreadsGivesWhatOnePainterGives)
{
    // Detail and partial transparency everywhere, the photo off the frame's
    // edges, and overlays on top.
    QImage frame(100, 100, QImage::Format_ARGB32);
    QImage photo(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            photo.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, (x ^ y) & 0xFF));
            if (x < 100 && y < 100)
                frame.setPixel(x, y, qRgba(200, (x * 9) & 0xFF, y * 2, (x * y) & 0xFF));
        }
    Canvas->LoadFrame(SavePicture("frame.png", frame));
    Canvas->OpenPhoto(SavePicture("photo.png", photo));
    Canvas->Photo->X += 3;
    Canvas->Photo->Y -= 5;
    AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    TFontOption option;
    Canvas->AddText("Framed", option);
    for (const double scale : {2.9, 3.7, 5.1}) {
        SCOPED_TRACE(scale);
        const QImage composed = Canvas->ComposeBitmap(scale);
        QImage expected(composed.size(), QImage::Format_ARGB32_Premultiplied);
        {
            QPainter g(&expected);
            SetInterpolationMode(g, TInterpolation::Default);
            Canvas->RenderScaled(g, Canvas->Frame->X, Canvas->Frame->Y, scale);
        }
        expected.reinterpretAsFormat(QImage::Format_ARGB32);
        EXPECT_TRUE(SamePixels(composed, expected));
    }
}

TEST_F(QynKadrixTest, ComposeTruncatesOffsetsTowardZero)
{
    LoadScene();
    // Five pixels left of the frame: -5 x 2.5 = -12.5 lands at -12, and the
    // 25 pixels wide picture ends at 13.
    TPicClass* clip = AddClipArt(MakeSolid(10, 10, QColor(0, 0, 255)));
    ASSERT_EQ(clip->Width, 64);
    clip->X = 75;
    clip->Y = 100;
    clip->Width = 10;
    clip->Height = 10;
    clip->ApplySize();
    const QImage bitmap = Canvas->ComposeBitmap(2.5);
    // (100 - 60) x 2.5 = 100.
    EXPECT_EQ(PixelAt(bitmap, 0, 110), Blue);
    EXPECT_EQ(PixelAt(bitmap, 12, 110), Blue);
    EXPECT_EQ(PixelAt(bitmap, 13, 110), Red);
}

TEST_F(QynKadrixTest, ComposeWithoutAPhotoUsesScaleOne)
{
    Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
    const QImage bitmap = Canvas->ComposeBitmap(-1);
    EXPECT_EQ(bitmap.size(), QSize(640, 480));
    // The background shows through the opening.
    EXPECT_EQ(PixelAt(bitmap, 320, 240), WhitePixel);
}

TEST_F(QynKadrixTest, SaveJPEGWritesQuality100AtTheFrameSize)
{
    LoadScene();
    const QString path = Dir.file("out.jpg");
    Canvas->SaveJPEG(path, 1.0);
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "jpeg");
    EXPECT_EQ(reader.size(), QSize(640, 480));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<int> values = QuantisationValues(file.readAll());
    ASSERT_GE(values.size(), 128u);
    for (int v : values)
        ASSERT_EQ(v, 1);
}

TEST_F(QynKadrixTest, SaveJPEGReportsAFileItCannotWrite)
{
    LoadScene();
    // The message shows the path without the doubled delimiter of a joined
    // program path.
    try {
        Canvas->SaveJPEG(Dir.path() + "//missing/out.jpg", 1.0);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()),
                  "Cannot create file " + Dir.file("missing/out.jpg"));
    }

    // At scale 0 there is no picture to encode: reported, and the file it
    // was to replace stays whole.
    const QString existing = Dir.write("old.jpg", "old content");
    EXPECT_THROW(Canvas->SaveJPEG(existing, 0.0), EFCreateError);
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old content"));

    // Nor is a picture taller than JPEG holds, and the message says why.
    Canvas->Frame->SetRect(TGPRect{0, 0, 20, 70000});
    try {
        Canvas->SaveJPEG(existing, 1.0);
        FAIL() << "no error";
    } catch (const EImagingError& e) {
        EXPECT_STREQ(e.what(), "The picture of 20 x 70000 pixels cannot be saved as JPEG: a JPEG "
                               "holds at most 65500 pixels across and 65500 down");
    }
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old content"));
}

// ---------------------------------------------------------------------------
// Effects and undo

TEST_F(QynKadrixTest, EffectGoesToTheSelectedPicture)
{
    LoadScene();
    TPicClass* clip = AddClipArt(MakeSolid(200, 100, QColor(0, 0, 255)));
    TFontOption option;
    Canvas->AddText("T", option);

    // Nothing, or only a text, selected: nothing changes.
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    Canvas->Overlays.back()->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    EXPECT_FALSE(Canvas->CanUndo());

    // A quarter turn turns the clip-art about its top-left corner.
    Canvas->DeselectAll();
    const TGPRect before = clip->GetRect();
    clip->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TRotate90>());
    EXPECT_EQ(clip->GetRect(), (TGPRect{before.X, before.Y, before.Height, before.Width}));
    ASSERT_EQ(Canvas->UndoList, (std::vector<TPicClass*>{clip}));
    Canvas->Undo();
    EXPECT_EQ(clip->GetRect(), before);
    Canvas->Redo();
    EXPECT_EQ(clip->GetRect(), (TGPRect{before.X, before.Y, before.Height, before.Width}));
}

TEST_F(QynKadrixTest, UndoStepsTheLayersInOrder)
{
    LoadScene();
    Canvas->Photo->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    Canvas->DeselectAll();
    Canvas->Frame->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipY>());
    auto effect = Brightness(40);
    const TColorAdjust* adjust = effect.get();
    Canvas->ApplyPhotoEffect(std::move(effect));
    ASSERT_EQ(Canvas->UndoList, (std::vector<TPicClass*>{Canvas->Photo.get(), Canvas->Frame.get(),
                                                         Canvas->Photo.get()}));
    EXPECT_EQ(Canvas->UndoIndex, 2);
    EXPECT_EQ(Canvas->Photo->Image->GetHistoryItem(1), adjust);
    EXPECT_FALSE(Canvas->CanRedo());

    const TEffectImage& photo = *Canvas->Photo->Image;
    const TEffectImage& frame = *Canvas->Frame->Image;
    Canvas->Undo();
    EXPECT_EQ(photo.GetHistoryIndex(), 0);
    EXPECT_EQ(frame.GetHistoryIndex(), 0);
    Canvas->Undo();
    EXPECT_EQ(photo.GetHistoryIndex(), 0);
    EXPECT_EQ(frame.GetHistoryIndex(), -1);
    Canvas->Undo();
    EXPECT_EQ(photo.GetHistoryIndex(), -1);
    EXPECT_FALSE(Canvas->CanUndo());
    EXPECT_TRUE(Canvas->CanRedo());
    Canvas->Undo();
    EXPECT_EQ(Canvas->UndoIndex, -1);

    Canvas->Redo();
    EXPECT_EQ(photo.GetHistoryIndex(), 0);
    EXPECT_EQ(Canvas->UndoIndex, 0);
    Canvas->Redo();
    EXPECT_EQ(frame.GetHistoryIndex(), 0);

    // A new effect ends the redo chain.
    Canvas->Undo();
    Canvas->Undo();
    TPicClass* clip = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    Canvas->DeselectAll();
    clip->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    EXPECT_EQ(Canvas->UndoList, (std::vector<TPicClass*>{clip}));
    EXPECT_EQ(Canvas->UndoIndex, 0);
    EXPECT_FALSE(Canvas->CanRedo());
}

TEST_F(QynKadrixTest, DeletingAnOverlayDropsItsUndoEntries)
{
    LoadScene();
    TPicClass* clip = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    clip->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    Canvas->DeselectAll();
    Canvas->Photo->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    Canvas->DeselectAll();
    clip->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipY>());
    Canvas->Undo();
    // List: clip, photo, clip (undone); cursor on the photo.
    ASSERT_EQ(Canvas->UndoIndex, 1);

    Canvas->DeleteSelected();
    EXPECT_TRUE(Canvas->Overlays.empty());
    EXPECT_EQ(Canvas->UndoList, (std::vector<TPicClass*>{Canvas->Photo.get()}));
    EXPECT_EQ(Canvas->UndoIndex, 0);
    EXPECT_FALSE(Canvas->CanRedo());
    Canvas->Undo();
    EXPECT_EQ(Canvas->Photo->Image->GetHistoryIndex(), -1);
    Canvas->Redo();
    EXPECT_EQ(Canvas->Photo->Image->GetHistoryIndex(), 0);
}

TEST_F(QynKadrixTest, LoadingAPictureLeavesNothingToUndoOnIt)
{
    LoadScene();
    Canvas->ApplyPhotoEffect(Brightness(80));
    ASSERT_TRUE(Canvas->CanUndo());
    Canvas->Frame->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());

    Canvas->OpenPhoto(SavePicture("blue.png", MakeSolid(800, 600, QColor(0, 0, 255))));
    EXPECT_EQ(Canvas->UndoList, (std::vector<TPicClass*>{Canvas->Frame.get()}));
    EXPECT_EQ(Canvas->Photo->Image->GetHistoryCount(), 0);
    Canvas->Undo();
    EXPECT_FALSE(Canvas->CanUndo());
    const QImage bitmap = Canvas->ComposeBitmap(1.0);
    EXPECT_EQ(PixelAt(bitmap, 320, 240), Blue);

    Canvas->Frame->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    Canvas->LoadFrame(SavePicture("frame2.png", MakeFramePicture(100, 100, 10)));
    EXPECT_FALSE(Canvas->CanUndo());
    EXPECT_FALSE(Canvas->CanRedo());
}

TEST_F(QynKadrixTest, EffectsOnAnEmptyPhotoRecordNothing)
{
    Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
    Canvas->ApplyPhotoEffect(Brightness(80));
    Canvas->Photo->SetSelected(true);
    Canvas->ApplyEffect(std::make_unique<TFlipX>());
    EXPECT_FALSE(Canvas->CanUndo());
    EXPECT_TRUE(Canvas->UndoList.empty());
}

// ---------------------------------------------------------------------------
// Mouse

TEST_F(QynKadrixTest, PressesReachTheTopmostObjectThatTakesThem)
{
    LoadScene();
    TPicClass* clip = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 0, 0)));
    ASSERT_EQ(clip->GetRect(), (TGPRect{368, 268, 64, 64}));
    TEventRecord left;
    TEventRecord right;
    Canvas->ONLButtonDown = Recorder(left);
    Canvas->OnRbuttonDown = Recorder(right);

    // The frame's transparent opening lets the press through to the photo.
    Click({200, 300});
    EXPECT_TRUE(Canvas->Photo->Selected);
    EXPECT_EQ(left.Count, 0);
    // An opaque pixel of the frame.
    Click({100, 300});
    EXPECT_TRUE(Canvas->Frame->Selected);
    EXPECT_FALSE(Canvas->Photo->Selected);
    EXPECT_EQ(left.Count, 0);
    // Transparent pixels of a clip-art still take the press.
    Click({370, 270});
    EXPECT_TRUE(clip->Selected);
    EXPECT_FALSE(Canvas->Frame->Selected);
    EXPECT_EQ(left.Count, 1);
    EXPECT_EQ(left.Sender, clip);
    EXPECT_EQ(left.X, 370);
    EXPECT_EQ(left.Y, 270);
    // Outside every object the selection stays.
    Click({20, 20});
    EXPECT_TRUE(clip->Selected);

    Click({380, 280}, Qt::RightButton);
    EXPECT_EQ(right.Count, 1);
    EXPECT_EQ(right.Sender, clip);
    Click({200, 300}, Qt::RightButton);
    EXPECT_EQ(right.Count, 1);
    EXPECT_TRUE(Canvas->Photo->Selected);
    EXPECT_FALSE(clip->Selected);
}

TEST_F(QynKadrixTest, TextOverlayPressFiresTheLeftButtonEvent)
{
    LoadScene();
    TFontOption option;
    Canvas->AddText("Text", option);
    TEventRecord left;
    Canvas->ONLButtonDown = Recorder(left);
    Click({410, 310});
    EXPECT_EQ(left.Count, 1);
    EXPECT_EQ(left.Sender, Canvas->Overlays.back().get());
    EXPECT_NE(dynamic_cast<TTextClass*>(left.Sender), nullptr);
    EXPECT_EQ(left.X, 410);
    EXPECT_EQ(left.Y, 310);
}

TEST_F(QynKadrixTest, DoubleClickWithThePhotoSelectedFiresPicDoubleClick)
{
    LoadScene();
    TEventRecord dbl;
    Canvas->PicDoubleClick = Recorder(dbl);
    // Not while the frame is selected.
    DoubleClick({100, 300});
    EXPECT_EQ(dbl.Count, 0);

    Click({200, 300});
    ASSERT_TRUE(Canvas->Photo->Selected);
    DoubleClick({20, 20});
    EXPECT_EQ(dbl.Count, 1);
    EXPECT_EQ(dbl.Sender, Canvas->Photo.get());
    EXPECT_EQ(dbl.X, 20);
    EXPECT_EQ(dbl.Y, 20);

    // A double click on the photo does not leave it moving.
    DoubleClick({200, 300});
    EXPECT_EQ(dbl.Count, 2);
    Move({250, 350});
    EXPECT_EQ(Canvas->Photo->GetRect(), (TGPRect{80, 60, 640, 480}));
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(QynKadrixTest, DoubleClickThroughTheWindowKeepsThePhotoInPlace)
{
    LoadScene();
    TEventRecord dbl;
    Canvas->PicDoubleClick = Recorder(dbl);
    QWindow* window = Canvas->windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, {200, 300});
    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, {200, 300});
    EXPECT_EQ(dbl.Count, 1);
    QTest::mouseMove(window, {260, 330});
    EXPECT_EQ(Canvas->Photo->GetRect(), (TGPRect{80, 60, 640, 480}));
}

TEST_F(QynKadrixTest, DraggingMovesAndResizesThePhotoOutsideTheFrame)
{
    // A 400 x 300 photo on a canvas whose box is 400 x 300.
    Canvas->resize(500, 375);
    QApplication::processEvents();
    Canvas->OpenPhoto(SavePicture("photo.png", MakeSolid(400, 300, QColor(0, 255, 0))));
    ASSERT_EQ(Canvas->Photo->GetRect(), (TGPRect{50, 37, 400, 300}));
    Canvas->LoadFrame(SavePicture("frame.png", MakeFramePicture(100, 100, 10)));
    // A frame smaller than the photo: the photo's parts outside it are not
    // shown but still take presses.
    Canvas->Frame->SetRect(TGPRect{100, 100, 200, 150});
    Canvas->Frame->UpdateRegion();

    Click({60, 40});
    ASSERT_TRUE(Canvas->Photo->Selected);
    // Handle 7 lies on (449, 336).
    Move({449, 336});
    EXPECT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    Press({449, 336});
    Move({455, 340});
    Move({461, 340});
    Release({461, 340});
    EXPECT_EQ(Canvas->Photo->GetRect(), (TGPRect{50, 37, 412, 308}));
    EXPECT_EQ(Canvas->Photo->Image->GetDisplayImage()->size(), QSize(412, 308));

    // Moving by the body.
    Press({250, 200});
    EXPECT_EQ(AppCursorShape(), Qt::PointingHandCursor);
    Move({240, 190});
    Release({240, 190});
    EXPECT_EQ(Canvas->Photo->GetRect(), (TGPRect{40, 27, 412, 308}));
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(QynKadrixTest, HandleIsGrabbedThroughAnOverlayAbove)
{
    LoadScene();
    TPicClass* clip = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    clip->X = 700;
    clip->Y = 520;
    clip->UpdateRegion();
    Click({200, 300});
    ASSERT_TRUE(Canvas->Photo->Selected);
    // Handle 7 of the photo at (719, 539), under the clip-art.
    Move({719, 539});
    EXPECT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    Press({719, 539});
    EXPECT_TRUE(Canvas->Photo->Selected);
    EXPECT_FALSE(clip->Selected);
    Move({709, 539});
    Release({709, 539});
    EXPECT_EQ(Canvas->Photo->Width, 630);
}

TEST_F(QynKadrixTest, CursorIsRestoredOffHandlesOnLeaveAndAfterDelete)
{
    LoadScene();
    Click({200, 300});
    for (int i = 0; i < 50; ++i)
        Move(i % 2 ? QPoint{719, 539} : QPoint{720, 540});
    EXPECT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    Move({400, 300});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    Move({719, 539});
    ASSERT_FALSE(AppCursorIsDefault());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Canvas.get(), &leave);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // A selected overlay, the pointer on its handle 7, Delete: the photo then
    // takes presses again.
    TPicClass* clip = AddClipArt(MakeSolid(64, 64, QColor(0, 0, 255)));
    Click({400, 300});
    ASSERT_TRUE(clip->Selected);
    Move({431, 331});
    ASSERT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    Canvas->DeleteSelected();
    EXPECT_TRUE(AppCursorIsDefault());
    Click({200, 300});
    EXPECT_TRUE(Canvas->Photo->Selected);
}

TEST_F(QynKadrixTest, MouseMoveEventFollowsTheCanvasHandling)
{
    LoadScene();
    int moves = 0;
    QPoint last;
    Canvas->OnMouseMove = [&](Qt::KeyboardModifiers, int x, int y) {
        ++moves;
        last = QPoint(x, y);
    };
    Click({200, 300});
    Press({200, 300});
    moves = 0;
    Move({210, 305});
    EXPECT_EQ(Canvas->Photo->X, 90);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(last, QPoint(210, 305));
    Release({210, 305});
}
