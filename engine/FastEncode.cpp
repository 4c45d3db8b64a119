#include "FastEncode.h"

#include "JpegCompressor.h"
#include "MyGdiPlus.h"
#include "PixelPass.h"

#include <QColorSpace>
#include <QtMath>

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

namespace {

// 4:2:0 subsampling: an MCU covers 16 x 16 pixels.
constexpr int McuSize = 16;
// The restart interval is a 16-bit count of MCUs.
constexpr int64_t MaxRestartInterval = 0xFFFF;
// About this many bands for a large picture, so the threads share the work
// evenly.
constexpr int WantedStrips = 32;

uint16_t BigEndian16(const uchar* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

void PutBigEndian16(uchar* p, int value)
{
    p[0] = uchar((value >> 8) & 0xFF);
    p[1] = uchar(value & 0xFF);
}

// Rows [Top, Top + Height) of the picture as a JPEG of their own.
bool EncodeRows(TJpegCompressor& compressor, const QImage& image, int top, int height, int quality,
                TJpegBuffer& out)
{
    const uchar* rows = image.constBits() + qsizetype(top) * image.bytesPerLine();
    return compressor.Compress(rows, image.width(), image.bytesPerLine(), height, quality, out);
}

// Where the parts of an encoded JPEG lie: the frame header, the scan header
// and the entropy-coded data up to the end marker.
struct TJpegLayout
{
    qsizetype FrameHeader = -1;
    qsizetype ScanHeader = -1;
    qsizetype DataBegin = -1;
    qsizetype DataEnd = -1;
};

TJpegLayout ReadLayout(const TJpegBuffer& jpeg)
{
    TJpegLayout layout;
    const uchar* p = jpeg.Data;
    const qsizetype size = qsizetype(jpeg.Size);
    if (size < 4 || p[0] != 0xFF || p[1] != 0xD8 || p[size - 2] != 0xFF || p[size - 1] != 0xD9)
        return layout;
    qsizetype at = 2;
    while (at + 4 <= size) {
        if (p[at] != 0xFF)
            return layout;
        const uchar marker = p[at + 1];
        const qsizetype length = BigEndian16(p + at + 2);
        if (length < 2 || at + 2 + length > size - 2)
            return layout;
        if (marker == 0xC0)
            layout.FrameHeader = at;
        if (marker == 0xDA) {
            layout.ScanHeader = at;
            layout.DataBegin = at + 2 + length;
            layout.DataEnd = size - 2;
            return layout;
        }
        at += 2 + length;
    }
    return layout;
}

bool Complete(const TJpegLayout& layout)
{
    return layout.FrameHeader >= 0 && layout.ScanHeader >= 0;
}

// The resolution in the JFIF header as Qt's writer puts it: dots per inch
// when the picture's dots per metre are nearer a whole number of those,
// else dots per centimetre.
bool SetDensity(QByteArray& jpeg, const QImage& image)
{
    auto* p = reinterpret_cast<uchar*>(jpeg.data());
    if (jpeg.size() < 20 || BigEndian16(p + 2) != 0xFFE0 ||
        qstrncmp(jpeg.constData() + 6, "JFIF", 5))
        return false;
    const int dpmX = image.dotsPerMeterX();
    const int dpmY = image.dotsPerMeterY();
    const qreal diffInch = qAbs(dpmX * 2.54 / 100. - qRound(dpmX * 2.54 / 100.)) +
                           qAbs(dpmY * 2.54 / 100. - qRound(dpmY * 2.54 / 100.));
    const qreal diffCm =
        (qAbs(dpmX / 100. - qRound(dpmX / 100.)) + qAbs(dpmY / 100. - qRound(dpmY / 100.))) * 2.54;
    if (diffInch < diffCm) {
        p[13] = 1;
        PutBigEndian16(p + 14, qRound(dpmX * 2.54 / 100.));
        PutBigEndian16(p + 16, qRound(dpmY * 2.54 / 100.));
    } else {
        p[13] = 2;
        PutBigEndian16(p + 14, (dpmX + 50) / 100);
        PutBigEndian16(p + 16, (dpmY + 50) / 100);
    }
    return true;
}

// One JPEG from the bands' own: the first band's headers with the whole
// height and a restart interval of one band, then each band's data, a
// restart marker between each two.
std::optional<QByteArray> JoinStrips(const std::vector<TJpegBuffer>& strips, int height,
                                     int restartInterval)
{
    std::vector<TJpegLayout> layouts;
    qsizetype total = 0;
    for (const TJpegBuffer& strip : strips) {
        layouts.push_back(ReadLayout(strip));
        if (!Complete(layouts.back()))
            return std::nullopt;
        total += layouts.back().DataEnd - layouts.back().DataBegin + 2;
    }
    const TJpegLayout& first = layouts.front();
    const auto* head = reinterpret_cast<const char*>(strips.front().Data);
    QByteArray jpeg;
    jpeg.reserve(first.DataBegin + 6 + total);
    jpeg.append(head, first.ScanHeader);
    if (strips.size() > 1) {
        const char restart[] = {'\xFF',
                                '\xDD',
                                0,
                                4,
                                char((restartInterval >> 8) & 0xFF),
                                char(restartInterval & 0xFF)};
        jpeg.append(restart, sizeof restart);
    }
    jpeg.append(head + first.ScanHeader, first.DataBegin - first.ScanHeader);
    // The frame header's height: marker, length, precision, then the height.
    PutBigEndian16(reinterpret_cast<uchar*>(jpeg.data()) + first.FrameHeader + 5, height);
    for (size_t i = 0; i < strips.size(); ++i) {
        if (i > 0) {
            const char marker[] = {'\xFF', char(0xD0 + (i - 1) % 8)};
            jpeg.append(marker, 2);
        }
        jpeg.append(reinterpret_cast<const char*>(strips[i].Data) + layouts[i].DataBegin,
                    layouts[i].DataEnd - layouts[i].DataBegin);
    }
    jpeg.append("\xFF\xD9", 2);
    return jpeg;
}

} // namespace

std::optional<QByteArray> FastEncodeJpeg(const QImage& image, int quality,
                                         const TRowsBeforeEncoding& rows)
{
    const QImage::Format format = image.format();
    if (image.isNull() || quality < -1 || quality > 100 ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
         format != QImage::Format_ARGB32_Premultiplied) ||
        !image.textKeys().isEmpty() || image.colorSpace().isValid() || !JpegHolds(image.size())) {
        if (rows && !image.isNull())
            rows(0, image.height());
        return std::nullopt;
    }
    if (quality < 0)
        quality = 75;
    const int w = image.width();
    const int h = image.height();
    const int64_t mcusPerRow = (int64_t(w) + McuSize - 1) / McuSize;
    const int mcuRows = (h + McuSize - 1) / McuSize;
    int stripMcuRows = mcuRows;
    if (int64_t(w) * h >= FastEncodeStripPixels && mcusPerRow <= MaxRestartInterval)
        stripMcuRows = int(std::min<int64_t>((mcuRows + WantedStrips - 1) / WantedStrips,
                                             MaxRestartInterval / mcusPerRow));
    const int stripHeight = stripMcuRows * McuSize;
    const int stripCount = (h + stripHeight - 1) / stripHeight;

    std::vector<TJpegBuffer> strips(static_cast<size_t>(stripCount));
    // The strips whose rows are made.
    std::vector<char> made(static_cast<size_t>(stripCount), char(!rows));
    const auto make = [&](int i) {
        const int top = i * stripHeight;
        rows(top, std::min(h, top + stripHeight));
        made[size_t(i)] = 1;
    };
    std::atomic<bool> failed = false;
    ForRowBands(stripCount, int64_t(w) * h, [&](int first, int end) {
        TJpegCompressor compressor;
        for (int i = first; i < end && compressor.Ready() && !failed; ++i) {
            const int top = i * stripHeight;
            if (rows)
                make(i);
            if (!EncodeRows(compressor, image, top, std::min(stripHeight, h - top), quality,
                            strips[size_t(i)]))
                failed = true;
        }
        if (!compressor.Ready())
            failed = true;
    });
    if (failed) {
        // Whoever takes over gets the whole picture.
        for (int i = 0; i < stripCount; ++i)
            if (!made[size_t(i)])
                make(i);
        return std::nullopt;
    }
    std::optional<QByteArray> jpeg;
    try {
        jpeg = JoinStrips(strips, h, int(int64_t(stripMcuRows) * mcusPerRow));
    } catch (const std::bad_alloc&) {
        // No room to join the bands: Qt's writer, which writes as it goes, tries.
        return std::nullopt;
    }
    if (!jpeg || !SetDensity(*jpeg, image))
        return std::nullopt;
    return jpeg;
}
