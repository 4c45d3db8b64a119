// The colour adjustment dialogs: their track bars, the live preview on the
// main window's canvas, "&OK" with undo, and every way of closing, driven
// through the Photo menu of a headless main window.

#include "AdjustEffects.h"
#include "AdjustRGB.h"
#include "DesktopServices.h"
#include "Lightless.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "QynKadrix.h"
#include "Saturation.h"
#include "TestSupport.h"

#include "EffectImage.h"
#include "PicClass.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {
class TNoWallpaper : public TWallpaperSetter
{
public:
    bool SetWallpaper(const QString&) override { return false; }
};
class TNoHelp : public THelpViewer
{
public:
    void ShowHelp(const QString&, std::function<void()>) override {}
};
class TNoAddresses : public TAddressOpener
{
public:
    void OpenAddress(const QString&) override {}
};

// A frame picture of one band colour with a transparent opening.
QImage MakeFramePicture(int width, int height, QColor band)
{
    QImage image = MakeSolid(width, height, band);
    for (int y = height / 5; y < height - height / 5; ++y)
        for (int x = width / 5; x < width - width / 5; ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

const QColor kBand(150, 30, 30);

class AdjustDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
        ASSERT_TRUE(MakeFramePicture(400, 300, kBand).save(folder.file("Default.png")));
        ASSERT_TRUE(MakeGradient(800, 600).save(folder.file("Default.jpg"), "JPG"));

        TDesktopServices services;
        services.Wallpaper = std::make_unique<TNoWallpaper>();
        services.Help = std::make_unique<TNoHelp>();
        services.Addresses = std::make_unique<TNoAddresses>();
        const QString path = folder.path() + QLatin1Char('/');
        window = std::make_unique<TfrmMain>(std::move(services), [path] { return path; });
        window->ShowMaximised();
        ASSERT_TRUE(QTest::qWaitFor([this] { return Canvas()->Photo->Loaded; }));
        original = Display();
    }
    void TearDown() override
    {
        StopModalDrivers();
        window.reset();
    }

    TQynKadrix* Canvas() const { return window->QynKadrix1; }
    QImage Display() const { return *Canvas()->Photo->Image->GetDisplayImage(); }
    QImage Preview() const
    {
        const QImage* preview = Canvas()->Photo->Image->GetPreviewBitmap();
        return preview ? *preview : QImage();
    }
    int HistoryCount() const { return Canvas()->Photo->Image->GetHistoryCount(); }
    // The canvas as painted, at a point of the frame's band.
    QRgb BandPixel() const
    {
        const TGPRect frame = Canvas()->GetFrameRect();
        return Canvas()->grab().toImage().pixel(frame.X + 3, frame.Y + 3);
    }

    // Opens a dialog by its menu item; Action runs while it is up.
    template <class T> QPointer<T> Run(QAction* item, std::function<void(T*)> action)
    {
        QPointer<T> seen;
        bool ran = false;
        WhenModal<T>([&](T* dialog) {
            seen = dialog;
            ran = true;
            action(dialog);
        });
        item->trigger();
        EXPECT_TRUE(ran);
        return seen;
    }

    TScopedSettings settings;
    TTempDir folder;
    std::unique_ptr<TfrmMain> window;
    QImage original;
};
} // namespace

// --- The effects the dialogs build ------------------------------------------------

TEST(AdjustEffects, PositionsBecomeTheEffectParameters)
{
    const auto color = TAdjustEffects::Brightness(-100, 127, 1);
    EXPECT_EQ(color->Brightness, -100);
    EXPECT_EQ(color->Contrast, 127);
    EXPECT_DOUBLE_EQ(color->Gamma, 0.01);
    EXPECT_DOUBLE_EQ(TAdjustEffects::Brightness(0, 0, 100)->Gamma, 1.0);
    EXPECT_DOUBLE_EQ(TAdjustEffects::Brightness(0, 0, 300)->Gamma, 3.0);

    const auto rgb = TAdjustEffects::ColorBalance(-255, 7, 255);
    EXPECT_EQ(rgb->Red, -255);
    EXPECT_EQ(rgb->Green, 7);
    EXPECT_EQ(rgb->Blue, 255);

    EXPECT_EQ(TAdjustEffects::Saturation(255)->SaturationFactor, 255);
}

// --- Brightness/Contrast/Gamma ----------------------------------------------------

TEST_F(AdjustDialogsTest, BrightnessDialogStartsUnchangedBesideTheWindowAndCancelRestores)
{
    QPointer<TfrmBrightness> dialog =
        Run<TfrmBrightness>(window->mBrightness, [this](TfrmBrightness* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Brightness/Contrast/Gamma"));
            EXPECT_EQ(d->size(), QSize(384, 121));
            EXPECT_EQ(d->Label1->text(), QStringLiteral("Brightness"));
            EXPECT_EQ(d->Label2->text(), QStringLiteral("Contrast"));
            EXPECT_EQ(d->Label3->text(), QStringLiteral("Gamma"));
            EXPECT_EQ(d->SpTBXButton1->text(), QStringLiteral("&OK"));
            EXPECT_EQ(d->SpTBXButton2->text(), QStringLiteral("&Cancel"));
            struct TBar
            {
                QSlider* bar;
                int min, max, start, line;
            };
            for (const TBar& b :
                 {TBar{d->spLightLess, -100, 100, 0, 0}, TBar{d->spContrast, -127, 127, 0, 1},
                  TBar{d->spGamma, 1, 300, 100, 1}}) {
                EXPECT_EQ(b.bar->minimum(), b.min);
                EXPECT_EQ(b.bar->maximum(), b.max);
                EXPECT_EQ(b.bar->value(), b.start);
                EXPECT_EQ(b.bar->singleStep(), b.line);
                EXPECT_EQ(b.bar->pageStep(), 1);
            }
            const QRect outer = window->frameGeometry();
            EXPECT_EQ(d->frameGeometry().left(), outer.width() - d->frameGeometry().width() - 10);
            EXPECT_EQ(d->frameGeometry().top(), outer.top() + 60);

            // Preview mode shows the photo unchanged, without the frame.
            EXPECT_TRUE(Canvas()->PreviewMode);
            EXPECT_TRUE(SamePixels(Preview(), original));
            EXPECT_NE(BandPixel(), kBand.rgb());

            d->spContrast->setValue(60);
            EXPECT_GT(MaxChannelDifference(Preview(), original), 20);
            // Previews start again from the photo every time.
            d->spContrast->setValue(0);
            EXPECT_TRUE(SamePixels(Preview(), original));
            d->spGamma->setValue(1);
            EXPECT_GT(MaxChannelDifference(Preview(), original), 100);
            QTest::mouseClick(d->SpTBXButton2, Qt::LeftButton);
        });
    EXPECT_TRUE(dialog.isNull());
    EXPECT_FALSE(Canvas()->PreviewMode);
    EXPECT_TRUE(SamePixels(Display(), original));
    EXPECT_EQ(HistoryCount(), 0);
    EXPECT_FALSE(window->mUndo->isEnabled());
    EXPECT_EQ(BandPixel(), kBand.rgb());
}

TEST_F(AdjustDialogsTest, ArrowKeysLeaveBrightnessAndStepContrastAndGammaByOne)
{
    Run<TfrmBrightness>(window->mBrightness, [](TfrmBrightness* d) {
        for (QSlider* bar : {d->spLightLess, d->spContrast, d->spGamma}) {
            bar->setFocus();
            QTest::keyClick(bar, Qt::Key_Right);
            QTest::keyClick(bar, Qt::Key_PageUp);
        }
        EXPECT_EQ(d->spLightLess->value(), 1);
        EXPECT_EQ(d->spContrast->value(), 2);
        EXPECT_EQ(d->spGamma->value(), 102);
        d->SpTBXButton2Click();
    });
}

TEST_F(AdjustDialogsTest, OkAtTheStartStillRecordsAnUndoableEntry)
{
    Run<TfrmBrightness>(window->mBrightness, [](TfrmBrightness* d) {
        QTest::mouseClick(d->SpTBXButton1, Qt::LeftButton);
    });
    EXPECT_FALSE(Canvas()->PreviewMode);
    EXPECT_EQ(HistoryCount(), 1);
    EXPECT_TRUE(window->mUndo->isEnabled());
    EXPECT_TRUE(window->btnUndo->isEnabled());
    EXPECT_TRUE(SamePixels(Display(), original));

    Run<TfrmAdjustRGB>(window->mColorAdjust, [](TfrmAdjustRGB* d) { d->SpTBXButton1->click(); });
    EXPECT_EQ(HistoryCount(), 2);
}

TEST_F(AdjustDialogsTest, BrightnessOkAppliesThePreviewedEffectAndUndoTakesItBack)
{
    QImage previewed;
    Run<TfrmBrightness>(window->mBrightness, [&](TfrmBrightness* d) {
        d->spLightLess->setValue(40);
        d->spContrast->setValue(-30);
        d->spGamma->setValue(150);
        previewed = Preview();
        d->SpTBXButton1->click();
    });
    EXPECT_TRUE(SamePixels(Display(), previewed));
    EXPECT_FALSE(SamePixels(Display(), original));

    window->mUndo->trigger();
    EXPECT_TRUE(SamePixels(Display(), original));
    EXPECT_TRUE(window->mRedo->isEnabled());
    window->mRedo->trigger();
    EXPECT_TRUE(SamePixels(Display(), previewed));
}

// --- Color Adjust -----------------------------------------------------------------

TEST_F(AdjustDialogsTest, ColorDialogLayoutAndEachChannelReachesItsOwnColour)
{
    Run<TfrmAdjustRGB>(window->mColorAdjust, [this](TfrmAdjustRGB* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Color Adjust"));
        EXPECT_EQ(d->size(), QSize(328, 120));
        EXPECT_EQ(d->Label1->text(), QStringLiteral("R"));
        EXPECT_EQ(d->Label2->text(), QStringLiteral("G"));
        EXPECT_EQ(d->Label3->text(), QStringLiteral("B"));
        for (QSlider* bar : {d->spRed, d->spGreen, d->spBlue}) {
            EXPECT_EQ(bar->minimum(), -255);
            EXPECT_EQ(bar->maximum(), 255);
            EXPECT_EQ(bar->value(), 0);
        }
        EXPECT_TRUE(Canvas()->PreviewMode);
        EXPECT_TRUE(SamePixels(Preview(), original));

        d->spGreen->setValue(255);
        const QRgb before = PixelAt(original, 10, 10);
        const QRgb after = PixelAt(Preview(), 10, 10);
        EXPECT_EQ(qRed(after), qRed(before));
        EXPECT_EQ(qGreen(after), 255);
        EXPECT_EQ(qBlue(after), qBlue(before));
        d->spGreen->setValue(0);
        d->spBlue->setValue(-255);
        EXPECT_EQ(qBlue(PixelAt(Preview(), 10, 10)), 0);
        EXPECT_EQ(qGreen(PixelAt(Preview(), 10, 10)), qGreen(before));
        d->SpTBXButton1->click();
    });
    EXPECT_EQ(qBlue(PixelAt(Display(), 10, 10)), 0);
    EXPECT_EQ(HistoryCount(), 1);
}

TEST_F(AdjustDialogsTest, TitleBarCloseRestoresThePhotoAndRecordsNothing)
{
    QPointer<TfrmAdjustRGB> dialog = Run<TfrmAdjustRGB>(window->mColorAdjust, [](TfrmAdjustRGB* d) {
        d->spRed->setValue(200);
        d->close();
    });
    EXPECT_TRUE(dialog.isNull());
    EXPECT_FALSE(Canvas()->PreviewMode);
    EXPECT_TRUE(SamePixels(Display(), original));
    EXPECT_EQ(HistoryCount(), 0);
    EXPECT_FALSE(window->mUndo->isEnabled());
    EXPECT_EQ(BandPixel(), kBand.rgb());
}

TEST_F(AdjustDialogsTest, AdjustmentChangesThePhotoWhateverIsSelected)
{
    // The frame selected by a click on its band.
    const TGPRect frame = Canvas()->GetFrameRect();
    QTest::mouseClick(Canvas(), Qt::LeftButton, {}, QPoint(frame.X + 3, frame.Y + 3));
    ASSERT_TRUE(Canvas()->Frame->Selected);
    const QImage frameBefore = *Canvas()->Frame->GetBitmap();

    Run<TfrmAdjustRGB>(window->mColorAdjust, [](TfrmAdjustRGB* d) {
        d->spRed->setValue(-255);
        d->SpTBXButton1->click();
    });
    EXPECT_TRUE(SamePixels(*Canvas()->Frame->GetBitmap(), frameBefore));
    EXPECT_EQ(qRed(PixelAt(Display(), 30, 30)), 0);
    ASSERT_EQ(Canvas()->UndoList.size(), 1u);
    EXPECT_EQ(Canvas()->UndoList[0], Canvas()->Photo.get());
}

// --- Saturation -------------------------------------------------------------------

TEST_F(AdjustDialogsTest, SaturationPreviewsTwoHundredFiftyFiveAtOnceAndOkAppliesIt)
{
    // Preview mode waits for the showing.
    {
        TfrmSaturation unshown(window.get());
        unshown.setAttribute(Qt::WA_DeleteOnClose, false);
        EXPECT_FALSE(Canvas()->PreviewMode);
    }
    QImage previewed;
    Run<TfrmSaturation>(window->mSaturation, [&](TfrmSaturation* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Saturation"));
        EXPECT_EQ(d->size(), QSize(374, 93));
        EXPECT_EQ(d->Label1->text(), QStringLiteral("Saturation"));
        EXPECT_EQ(d->spSaturation->minimum(), 0);
        EXPECT_EQ(d->spSaturation->maximum(), 512);
        EXPECT_EQ(d->spSaturation->value(), 255);
        EXPECT_EQ(d->spSaturation->pageStep(), 1);
        EXPECT_TRUE(Canvas()->PreviewMode);
        previewed = Preview();
        EXPECT_FALSE(SamePixels(previewed, original));
        EXPECT_LE(MaxChannelDifference(previewed, original), 2);
        d->SpTBXButton1->click();
    });
    EXPECT_TRUE(SamePixels(Display(), previewed));
    EXPECT_TRUE(window->mUndo->isEnabled());
    EXPECT_FALSE(Canvas()->PreviewMode);
}

TEST_F(AdjustDialogsTest, SaturationZeroPreviewsGreyAndCancelKeepsTheColours)
{
    Run<TfrmSaturation>(window->mSaturation, [&](TfrmSaturation* d) {
        d->spSaturation->setValue(0);
        const QRgb grey = PixelAt(Preview(), 200, 100);
        EXPECT_EQ(qRed(grey), qGreen(grey));
        EXPECT_EQ(qGreen(grey), qBlue(grey));
        d->SpTBXButton2->click();
    });
    EXPECT_TRUE(SamePixels(Display(), original));
    EXPECT_EQ(HistoryCount(), 0);
}
