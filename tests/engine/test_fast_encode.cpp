// JPEG written by the program's own encoder gives what Qt's writer gives: the
// same bytes for pictures encoded in one piece, the same headers and decoded
// pixels for the large ones encoded in bands, whatever the environment holds;
// the kinds it leaves to Qt's writer are left, and pictures JPEG cannot hold
// are refused.

#include "FastEncode.h"
#include "MyGdiPlus.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

namespace {

// A picture with detail and varying alpha, so every sampling shows.
QImage Detailed(int w, int h, QImage::Format format)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(
                x, y, qRgba((x * 37 + y) & 0xFF, (y * 11) & 0xFF, (x ^ y) & 0xFF, (x + y) & 0xFF));
    return image.convertToFormat(format);
}

QByteArray WithQt(const QImage& image, int quality)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image));
    return buffer.data();
}

QByteArray WithEncodeImage(const QImage& image, int quality)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(EncodeImage(image, &buffer, "image/jpeg", quality));
    return buffer.data();
}

// Sets an environment variable while it lives, then puts back what was there.
class TScopedVariable
{
public:
    TScopedVariable(const char* Name, const QByteArray& Value)
        : m_name(Name), m_was(qEnvironmentVariableIsSet(Name)), m_old(qgetenv(Name))
    {
        qputenv(Name, Value);
    }
    ~TScopedVariable()
    {
        if (m_was)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_was;
    QByteArray m_old;
};

// The marker segments before the first scan, each with its bytes.
std::vector<QByteArray> Segments(const QByteArray& jpeg)
{
    std::vector<QByteArray> segments;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF && uchar(jpeg[at + 1]) != 0xDA) {
        const qsizetype length = (uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]);
        segments.push_back(jpeg.mid(at, 2 + length));
        at += 2 + length;
    }
    return segments;
}

} // namespace

TEST(FastEncodeTest, PicturesInOnePieceComeOutAsQtWritesThem)
{
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage picture = Detailed(301, 203, format);
        for (const int dotsPerMeter : {3780, 3000, 0}) {
            picture.setDotsPerMeterX(dotsPerMeter);
            picture.setDotsPerMeterY(dotsPerMeter + 100);
            for (const int quality : {100, 92, -1}) {
                SCOPED_TRACE(testing::Message() << format << " " << dotsPerMeter << " " << quality);
                const std::optional<QByteArray> fast = FastEncodeJpeg(picture, quality);
                ASSERT_TRUE(fast.has_value());
                EXPECT_EQ(*fast, WithQt(picture, quality));
            }
        }
    }
    // Texts, grey and palette pictures go to Qt's writer.
    QImage titled = Detailed(40, 30, QImage::Format_RGB32);
    titled.setText("Title", "Framed");
    EXPECT_FALSE(FastEncodeJpeg(titled, 100).has_value());
    EXPECT_EQ(WithEncodeImage(titled, 100), WithQt(titled, 100));
    const QImage grey = titled.convertToFormat(QImage::Format_Grayscale8);
    EXPECT_FALSE(FastEncodeJpeg(grey, 100).has_value());
    EXPECT_EQ(WithEncodeImage(grey, 100), WithQt(grey, 100));
}

TEST(FastEncodeTest, LargePicturesInBandsDecodeToQtsPixels)
{
    // Over the band threshold, with a last band shorter than the others.
    const QImage picture = Detailed(1100, 1001, QImage::Format_RGB32);
    ASSERT_GE(int64_t(picture.width()) * picture.height(), FastEncodeStripPixels);
    const QByteArray fast = WithEncodeImage(picture, 100);
    const QByteArray qt = WithQt(picture, 100);
    ASSERT_NE(fast, qt);

    // The same tables and frame header (quality, subsampling, colour, size,
    // resolution), with a restart interval added.
    std::vector<QByteArray> fastSegments = Segments(fast);
    const auto restart = std::find_if(fastSegments.begin(), fastSegments.end(),
                                      [](const auto& s) { return uchar(s[1]) == 0xDD; });
    ASSERT_NE(restart, fastSegments.end());
    fastSegments.erase(restart);
    EXPECT_EQ(fastSegments, Segments(qt));

    const QImage decoded = QImage::fromData(fast, "JPEG");
    ASSERT_FALSE(decoded.isNull());
    EXPECT_TRUE(SamePixels(decoded, QImage::fromData(qt, "JPEG")));
    // And through the program's own decoder.
    TTempDir dir;
    EXPECT_TRUE(SamePixels(DecodeImageFile(dir.write("fast.jpg", fast)),
                           DecodeImageFile(dir.write("qt.jpg", qt))));
}

TEST(FastEncodeTest, TurboJpegsEnvironmentVariablesChangeNothing)
{
    // TurboJPEG's compress call would optimise the tables, add restart
    // markers or write progressive or arithmetic scans by these, and the
    // bands of a large picture would no longer join.
    const QImage small = Detailed(301, 203, QImage::Format_RGB32);
    const QImage large = Detailed(1100, 1001, QImage::Format_RGB32);
    const QByteArray smallBytes = WithEncodeImage(small, 100);
    const QByteArray largeBytes = WithEncodeImage(large, 100);
    for (const char* name : {"TJ_OPTIMIZE", "TJ_RESTART", "TJ_PROGRESSIVE", "TJ_ARITHMETIC"}) {
        const TScopedVariable set(name, "1");
        EXPECT_EQ(WithEncodeImage(small, 100), smallBytes) << name;
        EXPECT_EQ(WithEncodeImage(large, 100), largeBytes) << name;
    }
}

TEST(FastEncodeTest, PicturesJpegCannotHoldAreRefusedBeforeAnythingIsWritten)
{
    for (const QSize size : {QSize(20, MaxJpegSide + 1), QSize(MaxJpegSide + 1, 20)}) {
        const QImage tall = MakeSolid(size.width(), size.height(), Qt::gray, QImage::Format_RGB32);
        EXPECT_FALSE(FastEncodeJpeg(tall, 100).has_value());
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_FALSE(EncodeImage(tall, &buffer, "image/jpeg", 100));
        EXPECT_TRUE(buffer.data().isEmpty());
        EXPECT_THROW(CheckJpegSize(size), EImagingError);
    }
    // The largest one JPEG holds is written whole, in bands.
    const QImage tallest = MakeSolid(20, MaxJpegSide, Qt::gray, QImage::Format_RGB32);
    EXPECT_EQ(QImage::fromData(WithEncodeImage(tallest, 100), "JPEG").size(), tallest.size());
}
