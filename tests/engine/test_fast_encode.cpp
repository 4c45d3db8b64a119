// JPEG written through TurboJPEG gives what Qt's writer gives: the same bytes
// for pictures encoded in one piece, the same headers and decoded pixels for
// the large ones encoded in bands; the kinds it leaves to Qt's writer are
// left.

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
