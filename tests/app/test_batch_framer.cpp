// The batch framing work without its window: the size table, the fit of a
// photo into the box with extended-precision products, the framed outputs,
// the output names, the JPEG writing, the preview fit and the PNG export.

#include "BatchFramer.h"
#include "FrameMaker.h"
#include "FramePngExport.h"
#include "IntegerText.h"
#include "MyGdiPlus.h"
#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// A simple frame file whose frame adds 2 x Band in each direction.
QString WriteSimpleFrame(const TTempDir& dir, const QString& name, int32_t band, int32_t bandY = -1)
{
    TSimapleFrameMaker maker;
    maker.SetOutEdge(0);
    maker.SetInnerEdge(0);
    maker.SetFrameWidth(band);
    maker.SetFrameHeight(bandY < 0 ? band : bandY);
    maker.SetBackColor(MakeColorRef(200, 0, 0));
    const QString file = dir.file(name);
    maker.SaveToFile(file);
    return file;
}

QString WriteOrnateFrame(const TTempDir& dir, const QString& name, int32_t tile)
{
    TOrnateFrameMaker maker;
    maker.SetFrameSize(tile);
    TMemoryStream stream;
    stream.open(QIODevice::ReadWrite);
    EXPECT_TRUE(EncodeImage(MakeGradient(tile, tile), &stream, "image/png"));
    stream.seek(0);
    maker.LoadPieceFromStream(stream);
    const QString file = dir.file(name);
    maker.SaveToFile(file);
    return file;
}

QByteArray Head(const QString& file, int count)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(count) : QByteArray();
}

} // namespace

TEST(BatchFramerTest, SizeTableAndCustomSizes)
{
    const QSize expected[] = {{100, 75},   {320, 240},  {640, 480},  {800, 600},
                              {1024, 768}, {1028, 960}, {1600, 1200}};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(TBatchFramer::TargetBox(i, QString(), QString()), expected[i]) << i;
    EXPECT_EQ(TBatchFramer::SizeCaptions[5], QStringLiteral("1028 x 960"));
    EXPECT_EQ(TBatchFramer::SizeCaptions[7], QStringLiteral("Custom"));
    EXPECT_EQ(TBatchFramer::TargetBox(7, QStringLiteral("333"), QStringLiteral("222")),
              QSize(333, 222));
    try {
        TBatchFramer::TargetBox(7, QString(), QStringLiteral("1"));
        FAIL() << "an empty width must not convert";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    }
    EXPECT_THROW(TBatchFramer::TargetBox(7, QStringLiteral("12"), QStringLiteral("1x")),
                 EConvertError);
}

TEST(BatchFramerTest, ScalesUseExtendedProductsAndTheHeightOnEqualRatios)
{
    // 2000 / 800 is not greater than 2000 / 600: s = 0.3, held just below.
    const double s = TBatchFramer::PngScale(2000, 2000, 800, 600);
    EXPECT_EQ(s, 0.3);
    EXPECT_EQ(TBatchFramer::ScaledSide(2000, s), 599);
    EXPECT_EQ(TBatchFramer::ScaledSide(1000, 0.6), 599);
    // Equal ratios take the height branch; 0.5 is exact.
    EXPECT_EQ(TBatchFramer::PngScale(1600, 1200, 800, 600), 0.5);
    EXPECT_EQ(TBatchFramer::ScaledSide(1600, 0.5), 800);
    // A wide photo is limited by the width.
    EXPECT_EQ(TBatchFramer::PngScale(4000, 1000, 800, 600), 0.2);
    // The frame's added size comes off the limiting side.
    EXPECT_EQ(TBatchFramer::FrameScale(2000, 2000, 800, 600, 100, 100), 0.25);
    const double wide = TBatchFramer::FrameScale(4000, 2000, 800, 600, 100, 300);
    EXPECT_EQ(wide, 700.0 / 4000.0);
    EXPECT_EQ(100 + TBatchFramer::ScaledSide(4000, wide), 799);
    EXPECT_EQ(300 + TBatchFramer::ScaledSide(2000, wide), 649);
}

TEST(BatchFramerTest, PngFramedOutputCoversPhotoThenFrame)
{
    const QImage photo = MakeSolid(2000, 2000, Qt::blue);
    QImage frame = NewBitmap(10, 10);
    frame.fill(Qt::red);
    for (int y = 3; y < 7; ++y)
        for (int x = 3; x < 7; ++x)
            frame.setPixel(x, y, 0);
    const QImage out = TBatchFramer::FrameWithPng(photo, frame, 800, 600);
    ASSERT_EQ(out.size(), QSize(599, 599));
    EXPECT_EQ(out.format(), QImage::Format_ARGB32);
    EXPECT_EQ(PixelAt(out, 5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(out, 299, 299), qRgb(0, 0, 255));
    EXPECT_EQ(TBatchFramer::FrameWithPng(MakeSolid(1600, 1200, Qt::blue), frame, 800, 600).size(),
              QSize(800, 600));
}

TEST(BatchFramerTest, FrameFileOutputPlacesPhotoInTheOpening)
{
    TTempDir dir;
    TSimapleFrameMaker maker;
    maker.LoadFromFile(WriteSimpleFrame(dir, QStringLiteral("f.okx"), 50));
    ASSERT_EQ(maker.GetAddedWidth(), 100);
    const QImage out =
        TBatchFramer::FrameWithMaker(MakeSolid(2000, 2000, Qt::blue), maker, 800, 600);
    ASSERT_EQ(out.size(), QSize(600, 600));
    EXPECT_EQ(maker.GetWidth(), 600);
    EXPECT_EQ(maker.GetHeight(), 600);
    // The photo fills (50, 50, 500, 500); the frame covers the band.
    EXPECT_EQ(PixelAt(out, 50, 50), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(out, 549, 549), qRgb(0, 0, 255));
    EXPECT_EQ(AlphaAt(out, 10, 300), 255);
    EXPECT_NE(PixelAt(out, 10, 300), qRgb(0, 0, 255));

    // Added 100 across and 300 down: the output is taller than the box.
    TSimapleFrameMaker tall;
    tall.LoadFromFile(WriteSimpleFrame(dir, QStringLiteral("t.okx"), 50, 150));
    ASSERT_EQ(tall.GetAddedHeight(), 300);
    EXPECT_EQ(TBatchFramer::FrameWithMaker(MakeSolid(4000, 2000, Qt::blue), tall, 800, 600).size(),
              QSize(799, 649));
}

TEST(BatchFramerTest, PhotosAndBoxesWithoutRoomGiveNoOutput)
{
    TTempDir dir;
    const QImage frame = MakeSolid(10, 10, Qt::red);
    EXPECT_TRUE(TBatchFramer::FrameWithPng(QImage(), frame, 800, 600).isNull());
    EXPECT_TRUE(TBatchFramer::FrameWithPng(MakeSolid(20, 20, Qt::blue), frame, 0, 600).isNull());
    TSimapleFrameMaker maker;
    maker.LoadFromFile(WriteSimpleFrame(dir, QStringLiteral("f.okx"), 50));
    // A frame wider than the box leaves the photo no room.
    EXPECT_TRUE(
        TBatchFramer::FrameWithMaker(MakeSolid(200, 100, Qt::blue), maker, 80, 600).isNull());
    EXPECT_TRUE(TBatchFramer::FrameWithMaker(QImage(), maker, 800, 600).isNull());
    EXPECT_FALSE(TBatchFramer::WriteJpeg(QImage(), dir.file(QStringLiteral("none.jpg"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("none.jpg"))));
}

TEST(BatchFramerTest, OutputNamesAndJpegContent)
{
    EXPECT_EQ(TBatchFramer::OutputName(QStringLiteral("/p/q/a.png"), false, QStringLiteral("Pre")),
              QStringLiteral("/p/q/Prea.png"));
    EXPECT_EQ(TBatchFramer::OutputName(QStringLiteral("/p/q/a.png"), true, QStringLiteral("Pre")),
              QStringLiteral("/p/q/a.png"));
    EXPECT_EQ(TBatchFramer::OutputName(QStringLiteral("a.jpg"), false, QStringLiteral("zzz")),
              QStringLiteral("zzza.jpg"));

    TTempDir dir;
    const QString name = dir.file(QStringLiteral("out.png"));
    ASSERT_TRUE(TBatchFramer::WriteJpeg(MakeSolid(40, 30, Qt::green), name));
    EXPECT_EQ(Head(name, 3), QByteArray("\xFF\xD8\xFF"));
    EXPECT_EQ(DecodeImageFile(name).size(), QSize(40, 30));
}

TEST(BatchFramerTest, FramePhotoDecodesFilesAndRefusesUnknownFrameKinds)
{
    TTempDir dir;
    const QString photo = dir.file(QStringLiteral("p.jpg"));
    ASSERT_TRUE(MakeSolid(1600, 1200, Qt::blue).save(photo, "JPG"));
    const QString png = dir.file(QStringLiteral("f.png"));
    ASSERT_TRUE(MakeSolid(16, 12, Qt::red).save(png, "PNG"));
    EXPECT_EQ(TBatchFramer::FramePhoto(photo, png, true, QSize(800, 600)).size(), QSize(800, 600));
    const QString frame = WriteSimpleFrame(dir, QStringLiteral("f.okx"), 50);
    EXPECT_EQ(TBatchFramer::FramePhoto(photo, frame, false, QSize(800, 600)).size(),
              QSize(766, 600));

    QByteArray bytes = Head(frame, 1 << 20);
    bytes[5] = 9;
    const QString unknown = dir.write(QStringLiteral("u.okx"), bytes);
    EXPECT_THROW(TBatchFramer::FramePhoto(photo, unknown, false, QSize(800, 600)), EFOpenError);
    EXPECT_THROW(TBatchFramer::FramePhoto(photo, dir.file(QStringLiteral("gone.okx")), false,
                                          QSize(800, 600)),
                 EFOpenError);
}

TEST(BatchFramerTest, OutputsAreSizedByTheLimitingSideAndOnlyFramesWithoutRoomSkipThePhoto)
{
    TTempDir dir;
    const auto framed = [&](int32_t edges, int32_t bandX, int32_t bandY, QSize box,
                            QSize photoSize = QSize(640, 480)) {
        const QString photo =
            dir.file(QStringLiteral("p%1x%2.jpg").arg(photoSize.width()).arg(photoSize.height()));
        if (!QFile::exists(photo)) {
            EXPECT_TRUE(MakeSolid(photoSize.width(), photoSize.height(), Qt::blue).save(photo));
        }
        TSimapleFrameMaker maker;
        maker.SetOutEdge(edges);
        maker.SetInnerEdge(edges);
        maker.SetFrameWidth(bandX);
        maker.SetFrameHeight(bandY);
        const QString file = dir.file(QStringLiteral("f%1x%2.okx").arg(bandX).arg(bandY));
        maker.SaveToFile(file);
        try {
            const QImage out = TBatchFramer::FramePhoto(photo, file, false, box);
            return QStringLiteral("%1 x %2").arg(out.width()).arg(out.height());
        } catch (const EPhotoSkipped& e) {
            return QString::fromUtf8(e.what());
        }
    };
    const QSize box(640, 480);
    EXPECT_EQ(framed(0, 20, -100, box), QStringLiteral("band width out of range"));
    EXPECT_EQ(framed(0, -100, 20, box), QStringLiteral("band width out of range"));
    EXPECT_EQ(framed(0, 20, 240, box), QStringLiteral("the frame leaves no room in the box"));
    EXPECT_EQ(framed(0, 60, 20, QSize(100, 75), QSize(4000, 1000)),
              QStringLiteral("the frame leaves no room in the box"));
    EXPECT_EQ(framed(0, 20, 20, box), QStringLiteral("626 x 479"));
    // The limiting side fits the box; the other side may exceed it where the
    // frame adds relatively more, whatever the designers offer.
    EXPECT_EQ(framed(1, 20, 40, QSize(100, 75), QSize(4000, 1000)), QStringLiteral("100 x 98"));
    EXPECT_EQ(framed(0, 20, 80, QSize(800, 600), QSize(800, 599)), QStringLiteral("799 x 729"));
    EXPECT_EQ(framed(0, 20, 81, QSize(800, 600), QSize(800, 599)), QStringLiteral("799 x 731"));
    EXPECT_EQ(framed(0, 300, 20, box), QStringLiteral("1186 x 479"));
}

TEST(BatchFramerTest, PreviewFitsWholeAndCentres)
{
    // Taller than the box: full height, centred across, offsets truncated.
    EXPECT_EQ(TBatchFramer::PreviewRect(100, 268, 149, 134), QRectF(49, 0, 50, 134));
    // Wider: full width, centred down.
    EXPECT_EQ(TBatchFramer::PreviewRect(298, 100, 149, 134), QRectF(0, 42, 149, 50));
    // The scale is held as a double, so a limiting side can come out one
    // pixel short, as in the batch output.
    EXPECT_EQ(TBatchFramer::PreviewRect(100, 400, 149, 134), QRectF(58, 0, 33, 133));
    EXPECT_TRUE(TBatchFramer::PreviewRect(0, 0, 149, 134).isNull());
}

TEST(FramePngExportTest, WritesThePngOfEachKindAtTheChosenSize)
{
    TTempDir dir;
    const QString out = dir.file(QStringLiteral("PngFrame.png"));
    TFramePngExport::Export(WriteSimpleFrame(dir, QStringLiteral("s.okx"), 30), out, 500, 400);
    QImage png = DecodeImageFile(out);
    ASSERT_EQ(png.size(), QSize(500, 400));
    EXPECT_EQ(AlphaAt(png, 250, 200), 0);
    EXPECT_EQ(AlphaAt(png, 5, 5), 255);

    // Whole tiles only, and the old file is overwritten.
    TFramePngExport::Export(WriteOrnateFrame(dir, QStringLiteral("o.okx"), 30), out, 500, 400);
    EXPECT_EQ(DecodeImageFile(out).size(), QSize(480, 390));

    // A missing folder is reported.
    EXPECT_THROW(TFramePngExport::Export(dir.file(QStringLiteral("s.okx")),
                                         dir.file(QStringLiteral("missing/x.png")), 50, 50),
                 EFCreateError);
}
