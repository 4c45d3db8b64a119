#include "MyGdiPlus.h"

#include "BitmapMemory.h"
#include "DecodeBudget.h"
#include "DecodeCost.h"
#include "FastDecode.h"
#include "FastEncode.h"
#include "FileWriter.h"
#include "PixelPass.h"
#include "UniFuncs.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <atomic>
#include <cstring>
#include <mutex>

bool GPRectContains(const TGPRect& Rect, const TGPPoint& Point)
{
    const int64_t right = int64_t(Rect.X) + Rect.Width;
    const int64_t bottom = int64_t(Rect.Y) + Rect.Height;
    return Rect.X <= Point.X && Point.X < right && Rect.Y <= Point.Y && Point.Y < bottom;
}

void RectToGPRect(const TRect& R, TGPRect& G)
{
    G.X = R.Left;
    G.Y = R.Top;
    G.Width = static_cast<int32_t>(int64_t(R.Right) - R.Left);
    G.Height = static_cast<int32_t>(int64_t(R.Bottom) - R.Top);
}

QImage NewBitmap(int width, int height, QImage::Format format)
{
    if (width < 0 || height < 0)
        throw EImagingError(QStringLiteral("Cannot make a picture of %1 x %2 pixels")
                                .arg(width)
                                .arg(height)
                                .toStdString());
    if (int64_t(width) * height > MaxBitmapPixels)
        throw EImagingError(QStringLiteral("The picture of %1 x %2 pixels is too large to be made")
                                .arg(width)
                                .arg(height)
                                .toStdString());
    if (width == 0 || height == 0)
        return QImage();
    const QImage image = NewPresentBitmap(width, height, format);
    if (image.isNull())
        throw EImagingError(QStringLiteral("Not enough memory for a picture of %1 x %2 pixels")
                                .arg(width)
                                .arg(height)
                                .toStdString());
    return image;
}

QImage CopyBitmap(const QImage& image)
{
    return image.copy();
}

void PrepareImageDecoding()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(ReaderAllocationLimitMB); });
}

QImage NormalizeDecoded(const QImage& image)
{
    if (image.isNull())
        return QImage();
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (image.format() == wanted)
        return image;
    return image.convertToFormat(wanted);
}

namespace {

// What decoding takes is read from the header and checked before anything is
// decoded; Whole, the picture's bytes when they were read into memory, goes
// to the fast decoders first, with the markers the header's walk read.
// Watch, when given, is told of the cost.
QImage ReadWith(QImageReader& reader, const QString& fileName, TDecodeBudget* budget,
                const QSize& scaledSize = QSize(), const QByteArray* whole = nullptr,
                TDecodeWatch* watch = nullptr)
{
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const TDecodeCost cost = ReadDecodeCost(*reader.device(), reader);
    if (watch) {
        watch->Cut = cost.Cut;
        if (watch->Charge)
            watch->Charge(cost);
    }
    if (budget)
        budget->Charge(cost);
    const QString& name = budget ? budget->FileName() : fileName;
    CheckPictureSize(name, cost);
    // JPEG and PNG of the common kinds at their own size, straight into
    // 32-bit bitmaps.
    if (whole && !scaledSize.isValid())
        if (std::optional<QImage> fast =
                FastDecodeBytes(*whole, cost.Markers.Valid ? &cost.Markers : nullptr,
                                watch ? watch->Rows : TRowsDecoded()))
            return *std::move(fast);
    CheckSegments(name, cost);
    if (scaledSize.isValid() && !scaledSize.isEmpty())
        reader.setScaledSize(scaledSize);
    QImage image;
    if (!reader.read(&image))
        return QImage();
    if (budget && !cost.Known())
        budget->Decoded(image);
    return NormalizeDecoded(image);
}

// JPEG and PNG files are read into memory whole, for the fast decoders and
// so that a JPEG's scans are counted from the same bytes; the others are
// read by their readers from the file.
bool ReadWhole(QFile& file)
{
    const QByteArray head = file.peek(8);
    return (head.startsWith("\xFF\xD8\xFF") || head.startsWith("\x89PNG\r\n\x1A\n")) &&
           file.size() <= FastDecodeMaxPixels * 4;
}

} // namespace

QImage DecodeImageFile(const QString& fileName, const QSize& scaledSize)
{
    CheckRegularFile(fileName);
    QFile file;
    if (!OpenRegularFile(file, fileName))
        return QImage();
    return DecodeImageFile(file, fileName, scaledSize);
}

QImage DecodeImageFile(QFile& file, const QString& fileName, const QSize& scaledSize,
                       TDecodeWatch* watch)
{
    PrepareImageDecoding();
    // Read, never mapped: a file that gets shorter meanwhile gives fewer
    // bytes, not a signal.
    if (ReadWhole(file)) {
        const QByteArray bytes = file.readAll();
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        return ReadWith(reader, fileName, nullptr, scaledSize, &bytes, watch);
    }
    QImageReader reader(&file);
    return ReadWith(reader, fileName, nullptr, scaledSize, nullptr, watch);
}

QSize ImageFileSize(const QString& fileName)
{
    QFile file;
    if (!OpenRegularFile(file, fileName))
        return QSize();
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    return ReadPictureSize(file, reader);
}

QImage DecodeImageDevice(QIODevice* device, TDecodeBudget* budget)
{
    PrepareImageDecoding();
    if (!device || device->size() == 0)
        return QImage();
    QImageReader reader(device);
    return ReadWith(reader, QString(), budget);
}

QImage DecodeImageBytes(const QByteArray& bytes, TDecodeBudget* budget)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    return DecodeImageDevice(&buffer, budget);
}

namespace {

// A quarter turn of a 32-bit bitmap. The new rows are written in 64 x 64
// tiles, so the source columns a tile reads stay in the cache, and large
// pictures share the new rows among a few threads. Every pixel is written,
// so the new bitmap needs no clearing.
QImage QuarterTurn32(const QImage& source, bool clockwise)
{
    const int w = source.width();
    const int h = source.height();
    QImage turned(h, w, source.format());
    if (turned.isNull())
        throw EImagingError(QStringLiteral("Not enough memory for a picture of %1 x %2 pixels")
                                .arg(h)
                                .arg(w)
                                .toStdString());
    turned.setDotsPerMeterX(source.dotsPerMeterY());
    turned.setDotsPerMeterY(source.dotsPerMeterX());
    const uchar* const from = source.constBits();
    const qsizetype fromStride = source.bytesPerLine();
    uchar* const to = turned.bits();
    const qsizetype toStride = turned.bytesPerLine();
    constexpr int Tile = 64;
    // New row r and column c come from source column r (clockwise) or
    // w - 1 - r, and source row h - 1 - c (clockwise) or c.
    ForRowBands(w, int64_t(w) * h, [&](int top, int end) {
        for (int r0 = top; r0 < end; r0 += Tile) {
            const int r1 = std::min(end, r0 + Tile);
            for (int c0 = 0; c0 < h; c0 += Tile) {
                const int c1 = std::min(h, c0 + Tile);
                for (int r = r0; r < r1; ++r) {
                    auto* line = reinterpret_cast<quint32*>(to + r * toStride);
                    const int sx = clockwise ? r : w - 1 - r;
                    if (clockwise) {
                        for (int c = c0; c < c1; ++c)
                            line[c] = reinterpret_cast<const quint32*>(from + qsizetype(h - 1 - c) *
                                                                                  fromStride)[sx];
                    } else {
                        for (int c = c0; c < c1; ++c)
                            line[c] = reinterpret_cast<const quint32*>(from + qsizetype(c) *
                                                                                  fromStride)[sx];
                    }
                }
            }
        }
    });
    return turned;
}

bool Is32Bit(const QImage& image)
{
    return image.depth() == 32 && image.format() != QImage::Format_Invalid;
}

// Qt's smooth reduction of a large ARGB32 picture premultiplies a copy of it
// on one thread into fresh memory, reduces that and turns the result back
// into ARGB32. This makes the premultiplied copy with the same conversion on
// a few threads, into present memory; the caller reduces it and turns the
// result back. Anything else stays as it is.
QImage PremultipliedForReduction(const QImage& image)
{
    if (image.format() != QImage::Format_ARGB32 || image.sizeInBytes() < PresentBitmapBytes)
        return image;
    const int w = image.width();
    const int h = image.height();
    QImage premultiplied =
        NewPresentBitmap(w, h, QImage::Format_ARGB32_Premultiplied, TNewPixels::Overwritten);
    if (premultiplied.isNull())
        return image;
    uchar* const to = premultiplied.bits();
    const qsizetype stride = premultiplied.bytesPerLine();
    std::atomic<bool> failed = false;
    ForRowBands(h, int64_t(w) * h, [&](int top, int end) {
        const QImage band(image.constScanLine(top), w, end - top, image.bytesPerLine(),
                          QImage::Format_ARGB32);
        const QImage converted = band.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (converted.isNull()) {
            failed = true;
            return;
        }
        for (int y = top; y < end; ++y)
            std::memcpy(to + y * stride, converted.constScanLine(y - top), size_t(w) * 4);
    });
    if (failed)
        return image;
    premultiplied.setDotsPerMeterX(image.dotsPerMeterX());
    premultiplied.setDotsPerMeterY(image.dotsPerMeterY());
    return premultiplied;
}

} // namespace

void RotateFlip(QImage& image, int type)
{
    if (image.isNull())
        return;
    switch (type) {
    case Rotate90FlipNone:
        image = Is32Bit(image) ? QuarterTurn32(image, true)
                               : image.transformed(QTransform().rotate(90));
        break;
    case Rotate270FlipNone:
        image = Is32Bit(image) ? QuarterTurn32(image, false)
                               : image.transformed(QTransform().rotate(270));
        break;
    case RotateNoneFlipX:
        image.mirror(true, false);
        break;
    case Rotate180FlipX:
        image.mirror(false, true);
        break;
    default:
        break;
    }
}

void SetInterpolationMode(QPainter& painter, TInterpolation mode)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, mode != TInterpolation::NearestNeighbor);
    painter.setRenderHint(QPainter::LosslessImageRendering, mode == TInterpolation::HighQuality);
}

TInterpolation GetInterpolationMode(const QPainter& painter)
{
    if (!painter.testRenderHint(QPainter::SmoothPixmapTransform))
        return TInterpolation::NearestNeighbor;
    return painter.testRenderHint(QPainter::LosslessImageRendering) ? TInterpolation::HighQuality
                                                                    : TInterpolation::Bilinear;
}

void DrawBitmap(QPainter& painter, const QImage& image, const QRectF& dest, const QRect& source)
{
    // drawImage reads a source size of 0 or less as "to the image's edge"
    // and a negative target as the natural size; here both draw nothing.
    if (image.isNull() || source.width() <= 0 || source.height() <= 0 || !(dest.width() > 0) ||
        !(dest.height() > 0))
        return;

    const QImage reduced = GetInterpolationMode(painter) == TInterpolation::HighQuality
                               ? ReducedForDrawing(image, dest, source)
                               : QImage();
    if (!reduced.isNull())
        painter.drawImage(dest, reduced, QRectF(reduced.rect()));
    else
        painter.drawImage(dest, image, QRectF(source));
}

QImage ReducedForDrawing(const QImage& image, const QRectF& dest, const QRect& source)
{
    if (image.isNull() || source.width() <= 0 || source.height() <= 0 || !(dest.width() > 0) ||
        !(dest.height() > 0) || (dest.width() >= source.width() && dest.height() >= source.height()))
        return QImage();
    // QPainter samples bilinearly, which aliases when it reduces; an
    // area-averaging reduction first keeps fine detail grey, not noisy.
    const QImage whole = source == image.rect() ? image : image.copy(source);
    const QImage part = PremultipliedForReduction(whole);
    const int w = qMax(1, qRound(dest.width()));
    const int h = qMax(1, qRound(dest.height()));
    QImage reduced = part.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (part.format() != whole.format())
        reduced = reduced.convertToFormat(whole.format());
    return reduced;
}

TBitmapData24::TBitmapData24(QImage& image) : m_image(image)
{
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    Width = straight.width();
    Height = straight.height();
    m_view = QImage(Width, Height, QImage::Format_BGR888);
    if (m_view.isNull())
        return;
    for (int y = 0; y < Height; ++y) {
        const uchar* src = straight.constScanLine(y);
        uchar* dst = m_view.scanLine(y);
        for (int x = 0; x < Width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    Stride = static_cast<int>(m_view.bytesPerLine());
    Scan0 = m_view.bits();
}

TBitmapData24::~TBitmapData24()
{
    if (m_view.isNull())
        return;
    const QImage::Format format = m_image.format();
    QImage straight = m_image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y) {
        const uchar* src = m_view.constScanLine(y);
        uchar* dst = straight.scanLine(y);
        for (int x = 0; x < Width; ++x, src += 3, dst += 4) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    m_image = format == QImage::Format_ARGB32 ? straight : straight.convertToFormat(format);
}

QByteArray FindEncoderForMimeType(const QByteArray& mimeType)
{
    const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(mimeType);
    return formats.isEmpty() ? QByteArray() : formats.last();
}

bool JpegHolds(const QSize& Size)
{
    return Size.width() <= MaxJpegSide && Size.height() <= MaxJpegSide;
}

void CheckJpegSize(const QSize& Size)
{
    if (JpegHolds(Size))
        return;
    throw EImagingError(QStringLiteral("The picture of %1 x %2 pixels cannot be saved as JPEG: a "
                                       "JPEG holds at most %3 pixels across and %3 down")
                            .arg(Size.width())
                            .arg(Size.height())
                            .arg(MaxJpegSide)
                            .toStdString());
}

namespace {

// Encodes Image with the encoder Format into Device. JPEG of the common
// kinds goes through libjpeg set up here, which gives the pixels Qt's
// writer gives, straight into Bytes when it is given, band by band behind
// Rows when that is given; Qt's writer does everything else, once every row
// is made.
bool Encode(const QImage& image, const QByteArray& format, int quality, QIODevice* device,
            QByteArray* bytes, const TRowsBeforeEncoding& rows = {})
{
    if (format.isEmpty() || image.isNull())
        return false;
    const bool isJpeg = format == "jpeg" || format == "jpg";
    const bool fast = isJpeg && JpegHolds(image.size());
    if (rows && !fast)
        rows(0, image.height());
    if (isJpeg && !fast)
        return false;
    if (fast) {
        if (std::optional<QByteArray> jpeg = FastEncodeJpeg(image, quality, rows)) {
            if (bytes) {
                *bytes = *std::move(jpeg);
                return true;
            }
            return device->write(*jpeg) == jpeg->size();
        }
    }
    QBuffer buffer(bytes);
    if (bytes && !buffer.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(bytes ? &buffer : device, format);
    if (quality >= 0)
        writer.setQuality(quality);
    return writer.write(image);
}

} // namespace

bool EncodeImage(const QImage& image, QIODevice* device, const QByteArray& mimeType, int quality)
{
    return device && Encode(image, FindEncoderForMimeType(mimeType), quality, device, nullptr);
}

QByteArray EncodeImageBytes(const QImage& image, const QByteArray& mimeType, int quality,
                            const TRowsBeforeEncoding& rows)
{
    QByteArray bytes;
    if (!Encode(image, FindEncoderForMimeType(mimeType), quality, nullptr, &bytes, rows))
        return QByteArray();
    return bytes;
}

namespace {

template <class C> bool WriteWith(const QString& fileName, const C& content, QString* detail)
{
    TFileWriter writer;
    const bool written = writer.Write(fileName, content);
    if (detail)
        *detail = writer.Detail();
    return written;
}

} // namespace

bool WriteFileAtomically(const QString& fileName, const std::function<bool(QIODevice&)>& write,
                         QString* detail)
{
    return WriteWith(fileName, write, detail);
}

bool WriteFileAtomically(const QString& fileName, const QByteArray& content, QString* detail)
{
    return WriteWith(fileName, content, detail);
}

std::string CreateFileMessage(const QString& FileName, const QString& Detail)
{
    std::string message = FileMessage("Cannot create file %1", FileName);
    if (!Detail.isEmpty()) {
        message += '\n';
        message += Detail.toStdString();
    }
    return message;
}
