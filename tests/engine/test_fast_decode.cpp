// JPEG and PNG decoded through TurboJPEG and libspng give what Qt's readers
// give (pixels, pixel format, resolution, colour space and texts) on every
// kind the fast path takes, and the kinds it leaves to Qt are left.

#include "FastDecode.h"
#include "MyGdiPlus.h"

#include "TestSupport.h"

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <gtest/gtest.h>
#include <turbojpeg.h>

namespace {

QImage ReadWithQt(const QString& file)
{
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    QImage image;
    reader.read(&image);
    return NormalizeDecoded(image);
}

// A picture with detail, so every sampling and transform shows.
QImage Detailed(int w, int h, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba((x * 37 + y) & 0xFF, (y * 11) & 0xFF, (x ^ y) & 0xFF,
                                       format == QImage::Format_ARGB32 ? (x + y) & 0xFF : 255));
    return image;
}

QString Save(const TTempDir& dir, const QString& name, const QImage& image, const char* format,
             int quality = -1, bool progressive = false)
{
    const QString file = dir.file(name);
    QImageWriter writer(file, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << name.toStdString();
    return file;
}

// A JPEG from TurboJPEG with the given subsampling; CMYK input gives YCCK.
QString TurboJpeg(const TTempDir& dir, const QString& name, int subsampling, int pixelFormat)
{
    const QImage rgb = Detailed(67, 45, QImage::Format_RGB32);
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    EXPECT_EQ(tjCompress2(handle, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()),
                          rgb.height(), pixelFormat, &jpeg, &size, subsampling, 90, 0),
              0);
    const QString file =
        dir.write(name, QByteArray(reinterpret_cast<const char*>(jpeg), qsizetype(size)));
    tjFree(jpeg);
    tjDestroy(handle);
    return file;
}

// The first half of a file, beside it.
QString Truncated(const TTempDir& dir, const QString& file)
{
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return dir.write(QStringLiteral("truncated.jpg"), f.read(f.size() / 2));
}

std::optional<QImage> FastDecodeFile(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? FastDecodeBytes(f.readAll()) : std::nullopt;
}

void ExpectSameAsQt(const QString& file)
{
    SCOPED_TRACE(file.toStdString());
    const QImage qt = ReadWithQt(file);
    const std::optional<QImage> fast = FastDecodeFile(file);
    ASSERT_TRUE(fast.has_value());
    ASSERT_EQ(fast->format(), qt.format());
    EXPECT_TRUE(SamePixels(*fast, qt));
    EXPECT_EQ(fast->dotsPerMeterX(), qt.dotsPerMeterX());
    EXPECT_EQ(fast->dotsPerMeterY(), qt.dotsPerMeterY());
    EXPECT_EQ(fast->colorSpace(), qt.colorSpace());
    EXPECT_EQ(fast->textKeys(), qt.textKeys());
}

} // namespace

TEST(FastDecodeTest, JpegKindsGiveQtsPixels)
{
    TTempDir dir;
    const QImage colour = Detailed(643, 479, QImage::Format_RGB32);
    ExpectSameAsQt(Save(dir, "q92.jpg", colour, "JPEG", 92));
    ExpectSameAsQt(Save(dir, "q100.jpg", colour, "JPEG", 100));
    ExpectSameAsQt(Save(dir, "progressive.jpg", colour, "JPEG", 85, true));
    ExpectSameAsQt(Save(dir, "grey.jpg", colour.convertToFormat(QImage::Format_Grayscale8), "JPEG"));
    for (const int sampling : {TJSAMP_444, TJSAMP_422, TJSAMP_420, TJSAMP_440, TJSAMP_411})
        ExpectSameAsQt(TurboJpeg(dir, QStringLiteral("s%1.jpg").arg(sampling), sampling,
                                 TJPF_BGRX));

    QImage dense = colour;
    dense.setDotsPerMeterX(11811); // 300 dpi
    dense.setDotsPerMeterY(5906);
    const QString dpi = Save(dir, "dpi.jpg", dense, "JPEG");
    ExpectSameAsQt(dpi);
    // The same density in dots per centimetre.
    QFile f(dpi);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    const qsizetype jfif = bytes.indexOf("JFIF");
    ASSERT_GT(jfif, 0);
    bytes[jfif + 7] = 2;
    ExpectSameAsQt(dir.write("dpcm.jpg", bytes));
    // A JFIF header given twice, where the decoder keeps the last, and one
    // too short to be read, which it ignores.
    QByteArray second = bytes.mid(jfif - 4, 18);
    second[11] = 1;
    second[13] = 72;
    ExpectSameAsQt(dir.write("twice.jpg", bytes.left(jfif + 14) + second + bytes.mid(jfif + 14)));
    bytes[jfif - 1] = 14;
    bytes.remove(jfif + 12, 2);
    ExpectSameAsQt(dir.write("short.jpg", bytes));
}

TEST(FastDecodeTest, PngKindsGiveQtsPixels)
{
    TTempDir dir;
    const QImage rgba = Detailed(91, 58);
    ExpectSameAsQt(Save(dir, "rgba.png", rgba, "PNG"));
    ExpectSameAsQt(Save(dir, "rgb.png", rgba.convertToFormat(QImage::Format_RGB32), "PNG"));
    ExpectSameAsQt(Save(dir, "grey.png", rgba.convertToFormat(QImage::Format_Grayscale8), "PNG"));
    QImage palette(40, 30, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(1, 2, 3)});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            palette.setPixel(x, y, uint((x + y) % 3));
    ExpectSameAsQt(Save(dir, "palette.png", palette, "PNG"));
    palette.setColorTable({qRgba(255, 0, 0, 0), qRgba(0, 255, 0, 128), qRgb(1, 2, 3)});
    ExpectSameAsQt(Save(dir, "palette_alpha.png", palette, "PNG"));
    // Indices past the palette.
    for (int y = 0; y < 30; ++y)
        palette.scanLine(y)[y] = uchar(3 + y);
    ExpectSameAsQt(Save(dir, "past_palette_alpha.png", palette, "PNG"));
    palette.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(1, 2, 3)});
    ExpectSameAsQt(Save(dir, "past_palette.png", palette, "PNG"));
    QImage dense = rgba;
    dense.setDotsPerMeterX(5000);
    dense.setDotsPerMeterY(7000);
    ExpectSameAsQt(Save(dir, "phys.png", dense, "PNG"));
}

TEST(FastDecodeTest, FrameFilePicturesGiveQtsPixels)
{
    // Each picture that the test frame files embed, as a file of its own.
    TTempDir dir;
    int count = 0;
    const QDir frames(QStringLiteral(ORVO_TEST_DATA_DIR "/frames"));
    for (const QString& name : frames.entryList({QStringLiteral("*.okx")})) {
        QFile f(frames.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        qsizetype start = bytes.indexOf("\xFF\xD8\xFF");
        while (start >= 0) {
            const qsizetype next = bytes.indexOf("\xFF\xD8\xFF", start + 3);
            const QByteArray jpeg = bytes.mid(start, next < 0 ? -1 : next - start);
            ExpectSameAsQt(dir.write(QStringLiteral("f%1.jpg").arg(count++), jpeg));
            start = next;
        }
    }
    EXPECT_GE(count, 10);
}

TEST(FastDecodeTest, OtherKindsAreLeftToQt)
{
    TTempDir dir;
    const QImage rgba = Detailed(33, 21);
    QImage profiled = rgba.convertToFormat(QImage::Format_RGB32);
    profiled.setColorSpace(QColorSpace::SRgb);
    QImage texted = rgba;
    texted.setText(QStringLiteral("Description"), QStringLiteral("a frame"));
    const QStringList left = {
        Save(dir, "16bit.png", rgba.convertToFormat(QImage::Format_RGBA64), "PNG"),
        Save(dir, "profile.png", profiled, "PNG"),
        Save(dir, "profile.jpg", profiled, "JPEG"),
        Save(dir, "text.png", texted, "PNG"),
        Save(dir, "text.jpg", texted.convertToFormat(QImage::Format_RGB32), "JPEG"),
        TurboJpeg(dir, "cmyk.jpg", TJSAMP_444, TJPF_CMYK),
        Save(dir, "picture.bmp", rgba, "BMP"),
        Truncated(dir, Save(dir, "whole.jpg", rgba, "JPEG")),
        dir.write("bad.png", "\x89PNG\r\n\x1A\nnot really"),
        dir.file("missing.jpg")};
    for (const QString& file : left) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_FALSE(FastDecodeFile(file).has_value());
        const QImage decoded = DecodeImageFile(file);
        const QImage qt = ReadWithQt(file);
        EXPECT_EQ(decoded.format(), qt.format());
        EXPECT_TRUE(SamePixels(decoded, qt));
    }
}
