// The decode budget, on crafted files whose headers promise far more pixels
// than they hold: a picture over one picture's allowance is refused by its
// header wherever it is read, a frame file whose pictures exceed the file's
// budget fails to load naming the file, and a load that its owner stops ends
// before the next picture.

#include "BatchFramer.h"
#include "CraftedFiles.h"
#include "DecodeBudget.h"
#include "DesignerWidgets.h"
#include "EffectImage.h"
#include "FrameMaker.h"
#include "MyGdiPlus.h"
#include "OpenPictureDialog.h"
#include "PictureFile.h"
#include "PreviewLoader.h"
#include "QynKadrix.h"
#include "SidePanel.h"

#include "../app/ModalDriver.h"
#include "TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// The message of the refusal (EPictureTooLarge, EPictureDamaged, a skipped
// photo) that Step raises; empty when it raises none.
template <typename TStep> QString Refusal(TStep Step)
{
    try {
        Step();
    } catch (const EImagingError& e) {
        return QString::fromUtf8(e.what());
    } catch (const EPhotoSkipped& e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}

class DecodeBudgetTest : public ::testing::Test
{
protected:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.file(name);
        EXPECT_TRUE(CraftedFiles::WriteFile(path, bytes));
        return path;
    }

    TTempDir dir;
    const QByteArray huge = CraftedFiles::JpegDeclaring(QSize(16000, 16000));
};

TEST_F(DecodeBudgetTest, PictureOverTheAllowanceIsRefusedWhateverReadsIt)
{
    ASSERT_LT(huge.size(), 10000);
    const QString path = Write(QStringLiteral("huge.png"), huge);
    const QString message =
        QStringLiteral("The picture file %1 is too large: 16000 x 16000 pixels").arg(path);

    EXPECT_EQ(Refusal([&] { DecodeImageFile(path); }), message);
    TEffectImage photo;
    int w = 400, h = 300;
    EXPECT_EQ(Refusal([&] { photo.LoadFromFileFit(path, w, h, false); }), message);

    // On the canvas: as the photo, a PNG frame and a clip-art picture; each
    // refused one leaves the canvas as it was.
    TQynKadrix canvas;
    canvas.resize(800, 600);
    EXPECT_EQ(Refusal([&] { canvas.OpenPhoto(path); }), message);
    EXPECT_EQ(Refusal([&] { canvas.LoadFrame(path); }), message);
    EXPECT_FALSE(canvas.Frame->Loaded);
    EXPECT_EQ(Refusal([&] { canvas.AddClipArt(path); }), message);
    EXPECT_TRUE(canvas.Overlays.empty());

    // A thumbnail of it stays empty; the run goes on.
    TThumbBitmap thumb;
    TSidePanel::thPngCreateThumb(nullptr, path, thumb, 90, 90, nullptr);
    EXPECT_TRUE(thumb.Image.isNull());

    // A picture of the largest cameras still opens: the allowance holds it.
    // Wider pixels may take no more bytes.
    EXPECT_NO_THROW(CheckPictureSize(path, QSize(11648, 8736), QImage::Format_RGB32));
    EXPECT_THROW(CheckPictureSize(path, QSize(10000, 10000), QImage::Format_RGBA64),
                 EPictureTooLarge);
}

TEST_F(DecodeBudgetTest, FrameFileOverItsBudgetFailsToLoadNamingIt)
{
    const QString pictureFrame =
        Write(QStringLiteral("pieces.okx"), CraftedFiles::PictureFrameFile(huge));
    const QString simpleFrame =
        Write(QStringLiteral("texture.okx"), CraftedFiles::SimpleFrameFile(huge));
    for (const QString& path : {pictureFrame, simpleFrame}) {
        std::unique_ptr<TFrameMakerBase> maker = CreateFrameMaker(GetFrameFileType(path));
        ASSERT_TRUE(maker);
        EXPECT_EQ(Refusal([&] { maker->LoadFromFile(path); }),
                  QStringLiteral("The frame file %1 is too large: its pictures need more than "
                                 "256 MB")
                      .arg(path));
    }
}

TEST_F(DecodeBudgetTest, EachFormatIsChargedWhatItsDecoderTakes)
{
    // A GIF's logical screen (a side it does not give reaching as far as
    // the frame) and the PNG in an ICO, not the 16 x 16 their readers give:
    // alone each opens, twelve in a frame file do not.
    const QByteArray gif = CraftedFiles::GifOnScreen(QSize(10000, 10000));
    const QByteArray tall = CraftedFiles::GifOnScreen(QSize(10000, 0), QSize(16, 10000));
    const QByteArray ico = CraftedFiles::IcoHolding(CraftedFiles::Png(QSize(10000, 10000)));
    for (const QByteArray& picture : {gif, tall, ico}) {
        EXPECT_EQ(ImageFileSize(Write(QStringLiteral("picture"), picture)), QSize(10000, 10000));
        const QString frame =
            Write(QStringLiteral("pictures.okx"), CraftedFiles::PictureFrameFile(picture));
        TPicFrameMaker maker;
        EXPECT_EQ(Refusal([&] { maker.LoadFromFile(frame); }),
                  QStringLiteral("The frame file %1 is too large: its pictures need more than "
                                 "256 MB")
                      .arg(frame));
    }

    // The decoder's own memory: 16-bit pixels beside their conversion to 32
    // bits, and a progressive JPEG's coefficients, which take the largest
    // picture past what one decode may hold.
    const QString deep = Write(QStringLiteral("deep.png"), CraftedFiles::Png(QSize(4000, 3000), 16));
    EXPECT_EQ(TPictureFile(deep).HeaderCost().PeakBytes, int64_t(4000) * 3000 * (8 + 4));
    const QString progressive =
        Write(QStringLiteral("progressive.jpg"), CraftedFiles::ProgressiveJpeg(QSize(11585, 11585)));
    EXPECT_EQ(Refusal([&] { DecodeImageFile(progressive); }),
              QStringLiteral("The picture file %1 is too large: 11585 x 11585 pixels")
                  .arg(progressive));

    // Scans are counted before either decoder starts on them.
    const QString scans =
        Write(QStringLiteral("scans.jpg"), CraftedFiles::ProgressiveJpeg(QSize(64, 64), 600));
    EXPECT_EQ(Refusal([&] { DecodeImageFile(scans); }),
              QStringLiteral("The picture file %1 has too many scans to be read: 600").arg(scans));
}

TEST_F(DecodeBudgetTest, SegmentFloodsAreRefusedByEveryReaderAndAPhotoAfterThemStillOpens)
{
    // A million empty segments and no picture, right after the start or
    // after a stray byte: Qt's reader would take hours.
    QByteArray bytes = CraftedFiles::SegmentsBefore(1000000, QByteArray("\xFF\xD8", 2));
    for (const bool stray : {false, true}) {
        if (stray)
            bytes.insert(2, '\0');
        const QString flood = Write(QStringLiteral("flood.jpg"), bytes);
        const QString message =
            QStringLiteral("The picture file %1 has too many segments to be read: 1000000")
                .arg(flood);
        EXPECT_EQ(Refusal([&] { DecodeImageFile(flood); }), message);
        EXPECT_EQ(Refusal([&] { TBatchFramer::ReadPhoto(flood); }), message);
        EXPECT_EQ(Refusal([&] { DecodeImageBytes(bytes); }),
                  QStringLiteral("The picture has too many segments to be read: 1000000"));
        EXPECT_FALSE(ImageFileSize(flood).isValid());
        const auto same = [](const QSize& size) { return size; };
        EXPECT_TRUE(TPreviewLoader::Picture(flood, same)().Picture.isNull());
        TThumbBitmap thumb;
        TSidePanel::thPngCreateThumb(nullptr, flood, thumb, 90, 90, nullptr);
        EXPECT_TRUE(thumb.Image.isNull());
    }

    // A photo after 150,000 of them: the fast decoder skips them, and its
    // size is read without Qt's reader, which refuses to reduce it.
    const QString late =
        Write(QStringLiteral("late.jpg"),
              CraftedFiles::SegmentsBefore(150000, CraftedFiles::Photo(QSize(64, 48))));
    EXPECT_EQ(DecodeImageFile(late).size(), QSize(64, 48));
    EXPECT_EQ(ImageFileSize(late), QSize(64, 48));
    EXPECT_TRUE(Refusal([&] { DecodeImageFile(late, QSize(32, 24)); })
                    .startsWith(QStringLiteral("The picture file %1 has too many segments to be "
                                               "read: 1500")
                                    .arg(late)));
}

TEST_F(DecodeBudgetTest, AnMngObjectWithASideOfNoPixelsIsRefusedByItsHeader)
{
    // Sized by its width alone, it would ask for about 2^64 bytes.
    const QString mng = Write(QStringLiteral("empty.mng"), CraftedFiles::MngObject(0xF5000000u, 0));
    EXPECT_EQ(Refusal([&] { DecodeImageFile(mng); }),
              QStringLiteral("The picture file %1 is damaged: it holds a picture of 2147483647 x "
                             "0 pixels")
                  .arg(mng));
}

TEST_F(DecodeBudgetTest, DesignerRefusesAPictureNoFrameFileCouldHold)
{
    // 81 megapixels open as a photo but take more than a frame file's budget.
    const QString path =
        Write(QStringLiteral("wide.jpg"), CraftedFiles::JpegDeclaring(QSize(9000, 9000)));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bkpic")));
    std::unique_ptr<TOpenPictureDialog> dialog(DesignerWidgets::PictureDialog(nullptr, "All|*.*"));
    AnswerFileDialog(path);
    EXPECT_EQ(Refusal([&] {
                  DesignerWidgets::ChooseBackgroundPicture(*dialog,
                                                           dir.path() + QStringLiteral("/"));
              }),
              QStringLiteral("The picture file %1 is too large: 9000 x 9000 pixels").arg(path));
    StopModalDrivers();
}

TEST_F(DecodeBudgetTest, BudgetIsChargedPictureByPictureFromTheHeaders)
{
    TDecodeBudget budget(QStringLiteral("f.okx"), FrameFileBudget);
    // Four 64 MB pictures spend it all; 16-bit pixels cost 8 bytes each.
    for (int i = 0; i < 4; ++i)
        budget.Charge(QSize(4096, 4096), QImage::Format_RGB32);
    EXPECT_EQ(budget.Remaining(), 0);
    EXPECT_THROW(budget.Charge(QSize(1, 1), QImage::Format_Grayscale8), EPictureTooLarge);
    EXPECT_EQ(DecodedBytes(QSize(10, 10), QImage::Format_RGBA64), 800);
    EXPECT_EQ(DecodedBytes(QSize(10, 10), QImage::Format_Indexed8), 400);
}

TEST_F(DecodeBudgetTest, StoppedLoadEndsBeforeTheNextPicture)
{
    QByteArray pieces[12];
    for (int i = 0; i < 12; ++i)
        pieces[i] = CraftedFiles::JpegDeclaring(QSize(16, 16), i, 16);
    const QString path = Write(QStringLiteral("small.okx"), CraftedFiles::PictureFrameFile(pieces));

    TPicFrameMaker maker;
    int asked = 0;
    bool stop = false;
    maker.SetStopRequest([&] {
        ++asked;
        return stop;
    });
    maker.LoadFromFile(path);
    EXPECT_GT(asked, 0);

    TPicFrameMaker stopped;
    int pictures = 0;
    stopped.SetStopRequest([&] { return ++pictures > 1; });
    EXPECT_THROW(stopped.LoadFromFile(path), EDecodeStopped);
    EXPECT_EQ(pictures, 2);

    // The side panel's frame thumbnail of a browser told to stop while it
    // builds gives up and stays empty.
    TPicThumb browser;
    browser.AddFile(path);
    browser.OnCreateThumb = [](TPicThumb* Sender, const QString& File, TThumbBitmap& Bitmap,
                               int32_t W, int32_t H, PImageInfor Info) {
        Sender->StopThumbs();
        TSidePanel::thuFrameCreateThumb(Sender, File, Bitmap, W, H, Info);
    };
    browser.BuildThumbs();
    EXPECT_TRUE(browser.Item(0)->Thumb.Image.isNull());
    EXPECT_EQ(browser.State(), TPicThumb::StateIdle);
}

} // namespace
