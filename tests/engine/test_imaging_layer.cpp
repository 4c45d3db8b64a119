// The imaging layer over QImage and QPainter, and the Qt traps it handles:
// zero-filled new bitmaps, decoded formats and the reader's allocation
// limit, one-way mirrors, drawings of no size, the 24-bit view, encoders by
// MIME type, area-averaged reduction, extended-precision sizes and the
// atomic file writer.

#include "BitmapMemory.h"
#include "MyGdiPlus.h"
#include "PixelPass.h"

#include "ExtMath.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <cstring>

#include <sys/stat.h>

namespace {

// Byte 24 of a PNG is the bit depth, byte 25 the colour type.
int PngBitDepth(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = f.read(26);
    return head.size() == 26 ? static_cast<uchar>(head[24]) : -1;
}

int PngColourType(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = f.read(26);
    return head.size() == 26 ? static_cast<uchar>(head[25]) : -1;
}

QByteArray ReadAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteText(const QString& file, const QByteArray& text)
{
    return WriteFileAtomically(file, [&](QIODevice& d) { return d.write(text) == text.size(); });
}

QImage Checkerboard(int size)
{
    QImage image = NewBitmap(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

} // namespace

TEST(NewBitmapTest, EveryPixelStartsAtZero)
{
    // Allocate and drop a dirty picture first, so fresh memory is likely
    // to be reused.
    {
        QImage dirty(300, 200, QImage::Format_ARGB32);
        dirty.fill(0xDEADBEEF);
    }
    for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB32,
                                  QImage::Format_ARGB32_Premultiplied, QImage::Format_BGR888}) {
        const QImage image = NewBitmap(300, 200, format);
        ASSERT_EQ(image.format(), format);
        ASSERT_EQ(image.size(), QSize(300, 200));
        // Formats without alpha keep Qt's opaque filler byte; every colour
        // byte is zero.
        const bool alpha = image.hasAlphaChannel();
        bool allZero = true;
        for (int y = 0; y < image.height() && allZero; ++y)
            for (int x = 0; x < image.width() && allZero; ++x)
                allZero = alpha ? image.pixel(x, y) == 0u : image.pixel(x, y) == qRgb(0, 0, 0);
        EXPECT_TRUE(allZero) << format;

        // Large bitmaps hold the very bytes Qt's own would, and copies of
        // them are pictures of their own.
        const QImage large = NewBitmap(1100, 1000, format);
        QImage expected(1100, 1000, format);
        expected.fill(0);
        ASSERT_EQ(large.sizeInBytes(), expected.sizeInBytes());
        EXPECT_EQ(std::memcmp(large.constBits(), expected.constBits(), size_t(large.sizeInBytes())),
                  0)
            << format;
        QImage copy = large;
        copy.fill(Qt::red);
        EXPECT_EQ(std::memcmp(large.constBits(), expected.constBits(), size_t(large.sizeInBytes())),
                  0)
            << format;
    }
}

TEST(NewBitmapTest, LargeBitmapsWorkOnKernelsWithLargerPagesAndWithOrWithoutHugePages)
{
    // ARM64 kernels run with pages of 16 or 64 KB; huge pages may be off.
    const size_t huge = size_t(2) << 20;
    for (const TPageSizes pages : {TPageSizes{size_t(16) << 10, 0}, TPageSizes{size_t(64) << 10, 0},
                                   TPageSizes{4096, huge}}) {
        const QImage large =
            NewPresentBitmap(1100, 1000, QImage::Format_ARGB32, TNewPixels::Cleared, pages);
        ASSERT_FALSE(large.isNull()) << pages.Page;
        QImage expected(1100, 1000, QImage::Format_ARGB32);
        expected.fill(0);
        EXPECT_EQ(std::memcmp(large.constBits(), expected.constBits(), size_t(large.sizeInBytes())),
                  0)
            << pages.Page;
        if (pages.Huge > 0) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(large.constBits()) % huge, 0u);
        }
    }
}

TEST(BitmapReuseTest, MemoryOfABitmapServesTheNextAndGoesBackWithTheLastReuse)
{
    const auto mapped = [] { return TBitmapReuse::KeptBytes() + TBitmapReuse::LiveBytes(); };
    const int64_t before = mapped();
    {
        const TBitmapReuse reuse;
        const uchar* first;
        {
            QImage dirty = NewBitmap(2000, 1000, QImage::Format_RGB32);
            dirty.fill(0xDEADBEEF);
            first = dirty.constBits();
        }
        EXPECT_GT(TBitmapReuse::KeptBytes(), 0);
        // The same memory, cleared as a new bitmap is.
        QImage again = NewBitmap(2000, 1000, QImage::Format_ARGB32);
        EXPECT_EQ(again.constBits(), first);
        EXPECT_TRUE(SamePixels(again, MakeSolid(2000, 1000, Qt::transparent)));
        again.fill(0xDEADBEEF);
        again = QImage();
        // What is kept stays within what was alive at once: a larger bitmap
        // takes fresh memory once the kept one has gone.
        const int64_t most = mapped() - before;
        const QImage larger = NewBitmap(4000, 1000, QImage::Format_ARGB32);
        EXPECT_LE(mapped() - before, std::max<int64_t>(most, larger.sizeInBytes() + 4096));
    }
    EXPECT_EQ(TBitmapReuse::KeptBytes(), 0);
    EXPECT_EQ(mapped(), before);
}

TEST(NewBitmapTest, EmptyNegativeAndHugeSizes)
{
    EXPECT_TRUE(NewBitmap(0, 100).isNull());
    EXPECT_TRUE(NewBitmap(100, 0).isNull());
    EXPECT_THROW(NewBitmap(-1, 10), EImagingError);
    EXPECT_THROW(NewBitmap(10, -1), EImagingError);
    // Refused before allocating: with overcommit the allocation itself
    // would seem to succeed.
    EXPECT_THROW(NewBitmap(16385, 16385), EImagingError);
    EXPECT_THROW(NewBitmap((1 << 28) + 1, 1), EImagingError);
    EXPECT_THROW(NewBitmap(1 << 20, 1 << 20), EImagingError);
}

TEST(CopyBitmapTest, IsDeepAndKeepsTheFormat)
{
    QImage image = MakeGradient(10, 10, QImage::Format_RGB32);
    const QImage copy = CopyBitmap(image);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_EQ(copy.format(), QImage::Format_RGB32);
    EXPECT_NE(copy.pixel(0, 0), image.pixel(0, 0));
}

TEST(DecodeTest, PalettePngBecomesThirtyTwoBit)
{
    TTempDir dir;
    QImage indexed(6, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 255)});
    indexed.fill(0);
    indexed.setPixel(5, 3, 1);
    const QString file = dir.file("palette.png");
    ASSERT_TRUE(indexed.save(file, "PNG"));
    ASSERT_EQ(PngColourType(file), 3);

    const QImage decoded = DecodeImageFile(file);
    EXPECT_TRUE(decoded.format() == QImage::Format_RGB32 ||
                decoded.format() == QImage::Format_ARGB32);
    EXPECT_EQ(PixelAt(decoded, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(decoded, 5, 3), qRgb(0, 128, 255));
    // A painter can draw on it.
    QImage target = decoded;
    QPainter g(&target);
    EXPECT_TRUE(g.isActive());
}

TEST(DecodeTest, SixteenBitPngBecomesArgb32)
{
    TTempDir dir;
    QImage deep(4, 4, QImage::Format_RGBA64);
    deep.fill(QColor(10, 200, 30, 128));
    const QString file = dir.file("deep.png");
    ASSERT_TRUE(deep.save(file, "PNG"));
    ASSERT_EQ(PngBitDepth(file), 16);

    const QImage decoded = DecodeImageFile(file);
    EXPECT_EQ(decoded.format(), QImage::Format_ARGB32);
    const QRgb p = PixelAt(decoded, 2, 2);
    EXPECT_EQ(qAlpha(p), 128);
    EXPECT_NEAR(qRed(p), 10, 1);
    EXPECT_NEAR(qGreen(p), 200, 1);
    EXPECT_NEAR(qBlue(p), 30, 1);
}

TEST(DecodeTest, FormatComesFromTheBytesNotTheName)
{
    TTempDir dir;
    const QString file = dir.file("really-a-png.jpg");
    ASSERT_TRUE(MakeGradient(8, 8).save(file, "PNG"));
    EXPECT_TRUE(SamePixels(DecodeImageFile(file), MakeGradient(8, 8)));

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(MakeGradient(5, 5).save(&buffer, "PNG"));
    EXPECT_TRUE(SamePixels(DecodeImageBytes(bytes), MakeGradient(5, 5)));
}

TEST(DecodeTest, UndecodableGivesAnEmptyPicture)
{
    TTempDir dir;
    EXPECT_TRUE(DecodeImageFile(dir.write("bad.png", "garbage")).isNull());
    EXPECT_TRUE(DecodeImageFile(dir.file("missing.png")).isNull());
    EXPECT_TRUE(DecodeImageBytes(QByteArray()).isNull());
}

TEST(DecodeTest, LargePhotoPassesTheReaderLimit)
{
    TTempDir dir;
    const QString file = dir.file("large.jpg");
    {
        QImage large(9000, 6000, QImage::Format_RGB32);
        large.fill(qRgb(40, 90, 160));
        QImageWriter writer(file, "jpeg");
        writer.setQuality(30);
        ASSERT_TRUE(writer.write(large));
    }
    const QImage decoded = DecodeImageFile(file);
    ASSERT_EQ(decoded.size(), QSize(9000, 6000));
    // Room for a 100-megapixel photo at 32 bits.
    EXPECT_GE(QImageReader::allocationLimit(), 400);
    const QRgb p = PixelAt(decoded, 8999, 5999);
    EXPECT_NEAR(qRed(p), 40, 4);
    EXPECT_NEAR(qBlue(p), 160, 4);
}

TEST(RotateFlipTest, MirrorsAreOneWayAndTurnsGoTheirWay)
{
    const QImage original = MakeGradient(5, 3);

    QImage image = original;
    RotateFlip(image, RotateNoneFlipX);
    EXPECT_TRUE(SamePixels(image, original.mirrored(true, false)));
    EXPECT_EQ(image.pixel(0, 0), original.pixel(4, 0));

    image = original;
    RotateFlip(image, Rotate180FlipX);
    EXPECT_TRUE(SamePixels(image, original.mirrored(false, true)));
    EXPECT_EQ(image.pixel(0, 0), original.pixel(0, 2));

    image = original;
    RotateFlip(image, Rotate90FlipNone);
    EXPECT_EQ(image.size(), QSize(3, 5));
    EXPECT_EQ(image.pixel(2, 0), original.pixel(0, 0));
    EXPECT_EQ(image.pixel(0, 0), original.pixel(0, 2));

    image = original;
    RotateFlip(image, Rotate270FlipNone);
    EXPECT_EQ(image.size(), QSize(3, 5));
    EXPECT_EQ(image.pixel(0, 4), original.pixel(0, 0));
    EXPECT_EQ(image.pixel(0, 0), original.pixel(4, 0));

    image = original;
    RotateFlip(image, 2);
    EXPECT_TRUE(SamePixels(image, original));
}

TEST(RotateFlipTest, LargeTurnsInTilesAndBandsMatchQtsTurn)
{
    // Big enough for several threads, with edges that are no multiple of a
    // tile; both 32-bit formats.
    for (const QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB32}) {
        QImage original = MakeGradient(1501, 1003, format);
        original.setPixel(1500, 0, qRgba(1, 2, 3, 255));
        for (const int type : {int(Rotate90FlipNone), int(Rotate270FlipNone)}) {
            QImage image = original;
            RotateFlip(image, type);
            const QImage expected =
                original.transformed(QTransform().rotate(type == Rotate90FlipNone ? 90 : 270));
            EXPECT_EQ(image.format(), format);
            EXPECT_TRUE(SamePixels(image, expected)) << "type " << type;
        }
    }
}

TEST(DrawBitmapTest, NoSizeDrawsNothing)
{
    const QImage source = MakeSolid(20, 20, Qt::red);
    const QImage white = MakeSolid(30, 30, Qt::white);
    const QRectF dests[] = {QRectF(0, 0, 0, 10), QRectF(0, 0, 10, 0), QRectF(0, 0, -5, 10),
                            QRectF(5, 5, 10, -3)};
    for (const QRectF& dest : dests) {
        QImage target = white;
        {
            QPainter g(&target);
            SetInterpolationMode(g, TInterpolation::Default);
            DrawBitmap(g, source, dest, QRect(0, 0, 20, 20));
        }
        EXPECT_TRUE(SamePixels(target, white)) << dest.width() << " x " << dest.height();
    }
    const QRect sources[] = {QRect(1, 1, 0, 18), QRect(1, 1, 18, 0), QRect(1, 1, -2, 5)};
    for (const QRect& src : sources) {
        QImage target = white;
        {
            QPainter g(&target);
            SetInterpolationMode(g, TInterpolation::HighQuality);
            DrawBitmap(g, source, QRectF(0, 0, 30, 30), src);
        }
        EXPECT_TRUE(SamePixels(target, white)) << src.width() << " x " << src.height();
    }
}

TEST(DrawBitmapTest, DrawsTheSourceRectangleIntoTheDestination)
{
    const QImage source = MakeGradient(20, 20);
    QImage target = MakeSolid(10, 10, Qt::white);
    {
        QPainter g(&target);
        SetInterpolationMode(g, TInterpolation::NearestNeighbor);
        DrawBitmap(g, source, QRectF(2, 3, 4, 5), QRect(7, 8, 4, 5));
    }
    EXPECT_EQ(PixelAt(target, 2, 3), PixelAt(source, 7, 8));
    EXPECT_EQ(PixelAt(target, 5, 7), PixelAt(source, 10, 12));
    EXPECT_EQ(PixelAt(target, 1, 3), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(target, 6, 7), qRgb(255, 255, 255));
}

TEST(DrawBitmapTest, HighQualityReductionAveragesAreas)
{
    const QImage board = Checkerboard(500);
    QImage target = NewBitmap(100, 100, QImage::Format_RGB32);
    {
        QPainter g(&target);
        SetInterpolationMode(g, TInterpolation::HighQuality);
        DrawBitmap(g, board, QRectF(0, 0, 100, 100), board.rect());
    }
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 100; x += 7) {
            const QRgb p = PixelAt(target, x, y);
            EXPECT_NEAR(qRed(p), 127, 8) << x << "," << y;
            EXPECT_NEAR(qGreen(p), 127, 8) << x << "," << y;
        }
}

TEST(DrawBitmapTest, HighQualityReductionOfALargeTransparentPictureIsQtsSmoothScaling)
{
    // Large enough to be premultiplied on several threads, with every
    // alpha.
    QImage picture(1100, 1000, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y,
                             qRgba((x * 7) & 0xFF, y & 0xFF, (x ^ y) & 0xFF, (x + 3 * y) & 0xFF));
    const auto reduce = [](const QImage& source, bool direct) {
        QImage target = NewBitmap(301, 203);
        QPainter g(&target);
        g.setCompositionMode(QPainter::CompositionMode_Source);
        SetInterpolationMode(g, TInterpolation::HighQuality);
        if (direct)
            g.drawImage(QRectF(target.rect()),
                        source.scaled(301, 203, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        else
            DrawBitmap(g, source, QRectF(target.rect()), source.rect());
        return target;
    };
    EXPECT_TRUE(SamePixels(reduce(picture, false), reduce(picture, true)));
}

TEST(BitmapData24Test, ViewIsBlueGreenRedAndWritesBackKeepingAlpha)
{
    QImage image = MakeSolid(3, 2, QColor(10, 20, 30, 128));
    {
        TBitmapData24 data(image);
        EXPECT_EQ(data.Width, 3);
        EXPECT_EQ(data.Height, 2);
        EXPECT_GE(data.Stride, 9);
        uchar* second = data.Scan0 + data.Stride + 3;
        EXPECT_EQ(second[0], 30);
        EXPECT_EQ(second[1], 20);
        EXPECT_EQ(second[2], 10);
        second[2] = 106;
    }
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(PixelAt(image, 1, 1), qRgba(106, 20, 30, 128));
    EXPECT_EQ(PixelAt(image, 0, 1), qRgba(10, 20, 30, 128));
}

TEST(PixelPassTest, KeepsAlphaAndFormatOnEveryBand)
{
    QImage image = MakeSolid(2, 2, QColor(10, 20, 30, 128));
    PassOverPixels(image, [](uint32_t p) { return (p & 0x00FF00u) | (106u << 16) | 31u; });
    EXPECT_EQ(PixelAt(image, 1, 1), qRgba(106, 20, 31, 128));

    QImage packed = MakeSolid(2, 2, QColor(10, 20, 30), QImage::Format_RGB888);
    PassOverPixels(packed, [](uint32_t p) { return (p & 0xFF00FFu) | (200u << 8); });
    EXPECT_EQ(packed.format(), QImage::Format_RGB888);
    EXPECT_EQ(PixelAt(packed, 0, 0), qRgb(10, 200, 30));

    // Large enough to be shared among threads: every row is passed once.
    QImage large = MakeSolid(1200, 1100, QColor(0, 0, 0));
    PassOverPixels(large, [](uint32_t p) { return (p + 1) & 0xFFFFFFu; });
    for (const QPoint at : {QPoint(0, 0), QPoint(1199, 1099), QPoint(600, 549), QPoint(5, 550)})
        EXPECT_EQ(PixelAt(large, at.x(), at.y()), qRgb(0, 0, 1));
}

TEST(EncoderTest, EncodersAreFoundByMimeType)
{
    EXPECT_FALSE(FindEncoderForMimeType("image/jpeg").isEmpty());
    EXPECT_FALSE(FindEncoderForMimeType("image/png").isEmpty());
    EXPECT_TRUE(FindEncoderForMimeType("image/x-nothing-at-all").isEmpty());
}

TEST(EncoderTest, JpegAtQualityHundredIsNearlyLossless)
{
    const QImage photo = MakeGradient(64, 48, QImage::Format_RGB32);
    QByteArray best;
    QByteArray poor;
    {
        QBuffer buffer(&best);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(EncodeImage(photo, &buffer, "image/jpeg", 100));
        QBuffer other(&poor);
        other.open(QIODevice::WriteOnly);
        ASSERT_TRUE(EncodeImage(photo, &other, "image/jpeg", 10));
    }
    ASSERT_TRUE(best.startsWith("\xFF\xD8"));
    EXPECT_GT(best.size(), poor.size());
    const QImage decoded = DecodeImageBytes(best);
    EXPECT_LE(MaxChannelDifference(decoded, photo), 8);

    QBuffer none;
    none.open(QIODevice::WriteOnly);
    EXPECT_FALSE(EncodeImage(photo, &none, "image/x-nothing-at-all"));
    EXPECT_FALSE(EncodeImage(QImage(), &none, "image/png"));
}

TEST(ExtendedPrecisionTest, SizesTimesScalesTruncateAndRoundLikeExtended)
{
    EXPECT_EQ(XTrunc(XMul(2000, 0.3)), 599);
    EXPECT_EQ(XTrunc(XMul(1000, 0.6)), 599);
    EXPECT_EQ(XTrunc(XMul(2000, 0.25)), 500);
    EXPECT_EQ(XTrunc(XDiv(4000, 4000 / 149.0)), 148);
    EXPECT_EQ(XTrunc(-2.7L), -2);
    EXPECT_EQ(XRound(2.5L), 2);
    EXPECT_EQ(XRound(3.5L), 4);
    EXPECT_EQ(XRound(-2.5L), -2);
    EXPECT_EQ(XRound(XMul(5, 200.0 / 400.0)), 2);
    EXPECT_EQ(XRound(2.6L), 3);
}

TEST(AtomicWriterTest, WritesAndReplacesOnlyWithCompleteContent)
{
    TTempDir dir;
    const QString file = dir.file("frame.okx");
    ASSERT_TRUE(WriteText(file, "first"));
    EXPECT_EQ(ReadAll(file), "first");

    EXPECT_FALSE(WriteFileAtomically(file, [](QIODevice& d) {
        d.write("half");
        return false;
    }));
    EXPECT_EQ(ReadAll(file), "first");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"frame.okx"});

    ASSERT_TRUE(WriteText(file, "second"));
    EXPECT_EQ(ReadAll(file), "second");
}

TEST(AtomicWriterTest, RefusesAMissingFolder)
{
    TTempDir dir;
    EXPECT_FALSE(WriteText(dir.file("no/such/folder/photo.jpg"), "x"));
    EXPECT_FALSE(QFile::exists(dir.file("no/such/folder/photo.jpg")));
}

TEST(AtomicWriterTest, KeepsPermissionsAndWritesThroughALink)
{
    TTempDir dir;
    const QString file = dir.file("photo.jpg");
    ASSERT_TRUE(WriteText(file, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    ASSERT_TRUE(WriteText(file, "new"));
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    const QString link = dir.file("link.jpg");
    ASSERT_TRUE(QFile::link(file, link));
    ASSERT_TRUE(WriteText(link, "through"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadAll(file), "through");
}
