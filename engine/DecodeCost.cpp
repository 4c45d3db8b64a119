#include "DecodeCost.h"

#include "JpegMarkers.h"
#include "MyGdiPlus.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace {

// A JPEG whose markers would take more than this to walk is not read whole
// (no picture within one picture's allowance comes near it).
constexpr qint64 MaxJpegBytes = qint64(512) << 20;
// The most entries of a directory or chunks of a stream that are looked at;
// beyond them a header is taken as unreadable.
constexpr int MaxEntries = 4096;
// What a decode that cannot be told costs: more than any allowance.
constexpr int64_t Unbounded = std::numeric_limits<int64_t>::max() / 4;

const char PngSignature[] = "\x89PNG\r\n\x1A\n";
// What Qt's reader takes for a JPEG: the start of image, whatever follows.
const char JpegStart[] = "\xFF\xD8";

uint32_t Big32(const uchar* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
uint16_t Big16(const uchar* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}
uint16_t Little16(const uchar* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Little32(const uchar* p)
{
    return uint32_t(Little16(p)) | (uint32_t(Little16(p + 2)) << 16);
}

int64_t Pixels(const QSize& size)
{
    return size.isValid() ? int64_t(size.width()) * size.height() : 0;
}

// A size from a header's unsigned fields; a side past what QImage holds is
// kept at its largest, which no allowance takes.
QSize HeaderSize(uint32_t w, uint32_t h)
{
    constexpr uint32_t most = uint32_t(std::numeric_limits<int>::max());
    return QSize(int(std::min(w, most)), int(std::min(h, most)));
}

// Some readers answer a damaged header with a value that is no format at all.
QImage::Format ValidFormat(QImage::Format format)
{
    return format > QImage::Format_Invalid && format < QImage::NImageFormats
               ? format
               : QImage::Format_Invalid;
}

// The bytes a pixel takes in Format as decoded, at least one.
int64_t NativeBytes(QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        return 4;
    return std::max(1, int(QImage::toPixelFormat(format).bitsPerPixel() + 7) / 8);
}

// Decoded in Format and then turned into 32 bits, when it is not already.
int64_t WithConversion(QImage::Format format)
{
    if (format == QImage::Format_Invalid || format == QImage::Format_ARGB32 ||
        format == QImage::Format_RGB32)
        return 4;
    return NativeBytes(format) + 4;
}

// A picture of Size whose decode holds PeakPerPixel bytes a pixel at its
// peak, and whose pixels are PicturePerPixel bytes wide.
TDecodeCost Cost(const QSize& size, int64_t picturePerPixel, int64_t peakPerPixel)
{
    const auto bytes = [&](int64_t perPixel) {
        return Pixels(size) < Unbounded / perPixel ? Pixels(size) * perPixel : Unbounded;
    };
    TDecodeCost cost;
    cost.Size = size;
    cost.PictureBytes = bytes(std::max<int64_t>(4, picturePerPixel));
    cost.PeakBytes = bytes(peakPerPixel);
    return cost;
}

// A PNG as Qt's reader decodes it: 16-bit channels into 64-bit pixels (or
// 16-bit grey), grey and palette pictures into a byte a pixel, each turned
// into 32 bits afterwards; the others straight into 32 bits.
TDecodeCost PngCost(const uchar* ihdr)
{
    const QSize size = HeaderSize(Big32(ihdr), Big32(ihdr + 4));
    const int depth = ihdr[8];
    const int colourType = ihdr[9];
    if (depth == 16)
        return colourType == 0 ? Cost(size, 4, 2 + 4) : Cost(size, 8, 8 + 4);
    if (depth == 8 && (colourType == 2 || colourType == 4 || colourType == 6))
        return Cost(size, 4, 4);
    return Cost(size, 4, 1 + 4);
}

// Random access to the picture's bytes, from where the picture starts; the
// device goes back there when done.
class THeader
{
public:
    explicit THeader(QIODevice& device) : m_device(device), m_start(device.pos()) {}
    ~THeader() { m_device.seek(m_start); }
    THeader(const THeader&) = delete;
    THeader& operator=(const THeader&) = delete;

    // Count bytes at Offset; fewer where the picture ends before.
    QByteArray Read(qint64 offset, qint64 count)
    {
        if (offset < 0 || !m_device.seek(m_start + offset))
            return QByteArray();
        return m_device.read(count);
    }
    qint64 Size() const { return m_device.size() - m_start; }
    QIODevice& Device() { return m_device; }
    qint64 Start() const { return m_start; }

private:
    QIODevice& m_device;
    qint64 m_start;
};

const uchar* Bytes(const QByteArray& bytes)
{
    return reinterpret_cast<const uchar*>(bytes.constData());
}

// ---------------------------------------------------------------------------
// JPEG: the frame gives the size; a progressive or multi-scan frame holds
// every coefficient of the picture while its scans are read; grey pictures
// are decoded a byte a pixel and turned into 32 bits.

// What decoding a JPEG with these markers takes.
TDecodeCost JpegCostOf(const TJpegMarkers& markers)
{
    TDecodeCost cost;
    if (markers.Valid) {
        cost = Cost(markers.Size, 4, markers.Components == 1 ? 1 + 4 : 4);
        cost.PeakBytes += markers.CoefficientBytes;
        cost.Scans = markers.Scans;
        cost.ScanBlocks = markers.ScanBlocks;
        cost.MaxSide = MaxJpegSide;
    }
    cost.Segments = markers.Segments;
    cost.Opaque = true;
    return cost;
}

TDecodeCost JpegCost(THeader& header)
{
    TJpegMarkers markers;
    if (auto* buffer = qobject_cast<QBuffer*>(&header.Device())) {
        const QByteArray& data = buffer->data();
        markers = ReadJpegMarkers(Bytes(data) + header.Start(), size_t(header.Size()));
    } else {
        // Too large to walk: its frame is read for the message, and it is
        // refused.
        const bool whole = header.Size() <= MaxJpegBytes;
        const QByteArray data = header.Read(0, whole ? header.Size() : qint64(1) << 20);
        markers = ReadJpegMarkers(Bytes(data), size_t(data.size()));
        if (!whole) {
            TDecodeCost cost;
            cost.Size = markers.Size;
            cost.PictureBytes = cost.PeakBytes = Unbounded;
            return cost;
        }
    }
    TDecodeCost cost = JpegCostOf(markers);
    cost.Cut = !markers.Whole;
    cost.Markers = markers;
    return cost;
}

// The markers of the first segments, read in growing blocks until the frame
// header is among them; not Valid when there is none.
TJpegMarkers JpegHead(THeader& header)
{
    for (qint64 length = qint64(64) << 10;; length *= 2) {
        const QByteArray data = header.Read(0, std::min(length, MaxJpegBytes));
        const TJpegMarkers markers = ReadJpegMarkers(Bytes(data), size_t(data.size()));
        if (markers.Valid || data.size() < length || length >= MaxJpegBytes)
            return markers;
    }
}

QSize JpegFrameSize(THeader& header)
{
    const TJpegMarkers markers = JpegHead(header);
    return markers.Valid ? markers.Size : QSize();
}

// ---------------------------------------------------------------------------
// GIF: the first frame is painted on the logical screen; a side that the
// screen does not give reaches as far as the frame does.

// Whether the data sub-blocks from Offset end within the file: each block's
// length comes before it, and one of length 0 ends them.
bool SubBlocksEnd(THeader& header, qint64 offset)
{
    QByteArray chunk;
    qint64 chunkStart = offset;
    for (qint64 at = offset;; at += 1 + uchar(chunk[at - chunkStart])) {
        if (at >= chunkStart + chunk.size()) {
            chunkStart = at;
            chunk = header.Read(at, qint64(1) << 20);
            if (chunk.isEmpty())
                return false;
        }
        if (chunk[at - chunkStart] == 0)
            return true;
    }
}

TDecodeCost GifCost(THeader& header)
{
    // The extensions before the first frame are walked in memory; a frame
    // that comes later than this is not looked for.
    const QByteArray gif = header.Read(0, qint64(1) << 20);
    const uchar* p = Bytes(gif);
    const qsizetype size = gif.size();
    if (size < 13)
        return TDecodeCost();
    const QSize logical(Little16(p + 6), Little16(p + 8));
    qsizetype at = 13;
    if (p[10] & 0x80)
        at += 3 << ((p[10] & 7) + 1);
    while (at + 2 <= size && p[at] == 0x21) {
        at += 2;
        while (at < size && p[at] != 0)
            at += 1 + p[at];
        ++at;
    }
    if (at + 10 > size || p[at] != 0x2C)
        return logical.isEmpty() ? TDecodeCost() : Cost(logical, 4, 4);
    const uchar* d = p + at + 1;
    const QSize own(Little16(d + 4), Little16(d + 6));
    const QSize extent(Little16(d) + own.width(), Little16(d + 2) + own.height());
    const QSize given(logical.width() > 0 ? logical.width() : extent.width(),
                      logical.height() > 0 ? logical.height() : extent.height());
    TDecodeCost cost = Cost(given, 4, 4);
    // A frame that reaches past the screen is charged where it reaches.
    cost.PeakBytes = std::max(cost.PeakBytes, Pixels(given.expandedTo(extent)) * 4);
    // After the descriptor, its colour table and the code size, the frame's
    // data.
    const qint64 data = at + 10 + ((d[8] & 0x80) ? 3 << ((d[8] & 7) + 1) : 0) + 1;
    cost.Cut = !SubBlocksEnd(header, data);
    return cost;
}

// ---------------------------------------------------------------------------
// ICO and CUR have no signature: the directory and its first entry are
// checked as the ICO reader checks them (an uncompressed TGA starts with
// the same four bytes, but with no entries).

bool LooksLikeIco(const QByteArray& head)
{
    if (head.size() < 22)
        return false;
    const uchar* p = Bytes(head);
    return Little16(p) == 0 && (Little16(p + 2) == 1 || Little16(p + 2) == 2) &&
           Little16(p + 4) >= 1 && p[9] == 0 && Little32(p + 14) >= 40;
}

// ICO and CUR: the first picture of the directory is decoded, by the header
// of the PNG or the bitmap it holds, not by the directory's entry.

TDecodeCost IcoCost(THeader& header)
{
    const QByteArray entry = header.Read(6, 16);
    if (entry.size() < 16)
        return TDecodeCost();
    const QByteArray picture = header.Read(Little32(Bytes(entry) + 12), 40);
    if (picture.size() >= 24 && picture.startsWith(PngSignature))
        return PngCost(Bytes(picture) + 16);
    if (picture.size() < 16)
        return TDecodeCost();
    // A bitmap: its height counts the mask's rows too. Charged with its mask
    // and its conversion to 32 bits.
    const int32_t w = int32_t(Little32(Bytes(picture) + 4));
    const int32_t h = int32_t(Little32(Bytes(picture) + 8));
    const uint32_t rows =
        h == std::numeric_limits<int32_t>::min() ? uint32_t(1) << 31 : uint32_t(h < 0 ? -h : h);
    return Cost(HeaderSize(uint32_t(std::max(w, 0)), rows / 2), 4, 8);
}

// ---------------------------------------------------------------------------
// ICNS: the PNG pictures it holds decode at their own size, and the largest
// is charged; the others are of the sizes their types name, 1024 x 1024 at
// the most.

TDecodeCost IcnsCost(THeader& header)
{
    // The others at 32 bits, with their mask and conversion.
    TDecodeCost largest = Cost(QSize(1024, 1024), 4, 8);
    largest.Size = QSize();
    qint64 at = 8;
    for (int entries = 0; entries < MaxEntries && at + 8 <= header.Size(); ++entries) {
        const QByteArray entry = header.Read(at, 8 + 26);
        if (entry.size() < 8)
            break;
        if (entry.size() >= 34 && entry.mid(8).startsWith(PngSignature)) {
            const TDecodeCost png = PngCost(Bytes(entry) + 24);
            if (png.PeakBytes >= largest.PeakBytes)
                largest = png;
        }
        const uint32_t length = Big32(Bytes(entry) + 4);
        if (length < 8)
            break;
        at += length;
    }
    return largest;
}

// ---------------------------------------------------------------------------
// MNG: the decoder keeps each picture the stream defines (PNG, JNG and
// basic images) as an object of 8 bytes a pixel, copies of them for every
// clone, magnified ones as large as the magnification makes them, and paints
// them on the frame, which the reader then copies.

TDecodeCost MngCost(THeader& header)
{
    const QByteArray mhdr = header.Read(8, 16);
    if (mhdr.size() < 16 || !mhdr.mid(4).startsWith("MHDR"))
        return TDecodeCost();
    const QSize frame = HeaderSize(Big32(Bytes(mhdr) + 8), Big32(Bytes(mhdr) + 12));
    int64_t objects = 0;
    QSize largest;
    int64_t clones = 0;
    int64_t magnified = 1;
    qint64 at = 8;
    for (int chunks = 0; chunks < MaxEntries * 16 && at + 8 <= header.Size(); ++chunks) {
        const QByteArray chunk = header.Read(at, 8 + 9);
        if (chunk.size() < 8)
            break;
        const uint32_t length = Big32(Bytes(chunk));
        const QByteArray type = chunk.mid(4, 4);
        const uchar* data = Bytes(chunk) + 8;
        const qsizetype got = chunk.size() - 8;
        if ((type == "IHDR" || type == "JHDR" || type == "BASI") && got >= 8) {
            const QSize size = HeaderSize(Big32(data), Big32(data + 4));
            if (size.isEmpty()) {
                // An object of no pixels, which the decoder would size by its
                // other side alone.
                TDecodeCost empty;
                empty.Size = size;
                return empty;
            }
            objects = std::min(Unbounded, objects + Pixels(size));
            if (Pixels(size) > Pixels(largest))
                largest = size;
        } else if (type == "CLON") {
            ++clones;
        } else if (type == "MAGN" && got >= 7) {
            const int64_t x = std::max<int64_t>(1, Big16(data + 5));
            const int64_t y = got >= 9 ? std::max<int64_t>(1, Big16(data + 7)) : x;
            magnified = std::max(magnified, x * y);
        } else if (type == "MEND") {
            break;
        }
        at += 12 + qint64(length);
    }
    const double pixels =
        (double(objects) + double(clones) * double(Pixels(largest))) * double(magnified);
    const int64_t objectPixels = pixels < double(Unbounded / 8) ? int64_t(pixels) : Unbounded / 8;
    TDecodeCost cost = Cost(frame.isEmpty() ? largest : frame, 4, 8);
    cost.PeakBytes += objectPixels * 8;
    return cost;
}

// ---------------------------------------------------------------------------
// BMP: the rows of an uncompressed bitmap take a known number of bytes each,
// and a run-length encoded one gives its length in the header. They are read
// from where the header puts them or, when it puts them too early, from
// after the header.

bool BmpCut(THeader& header, const QByteArray& head)
{
    if (head.size() < 26 || !head.startsWith("BM"))
        return false;
    const uchar* p = Bytes(head);
    const uint32_t infoSize = Little32(p + 14);
    int64_t w = 0;
    int64_t h = 0;
    int bits = 0;
    uint32_t compression = 0;
    uint32_t dataSize = 0;
    if (infoSize == 12) {
        w = Little16(p + 18);
        h = Little16(p + 20);
        bits = Little16(p + 24);
    } else if (infoSize >= 40 && head.size() >= 38) {
        w = int32_t(Little32(p + 18));
        h = int32_t(Little32(p + 22));
        bits = Little16(p + 28);
        compression = Little32(p + 30);
        dataSize = Little32(p + 34);
    } else {
        return false;
    }
    const int64_t start = std::max<int64_t>(Little32(p + 10), 14 + int64_t(infoSize));
    const int64_t available = header.Size() - start;
    // Run-length encoded in 8 or 4 bits.
    if (compression == 1 || compression == 2)
        return dataSize > 0 && available < int64_t(dataSize);
    // Plain rows, or rows under colour masks.
    if ((compression != 0 && compression != 3 && compression != 6) || w <= 0 || h == 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    const int64_t rows = h < 0 ? -h : h;
    const int64_t stride = (w * bits + 31) / 32 * 4;
    return available < 0 || available / stride < rows;
}

// ---------------------------------------------------------------------------
// The others, by what their reader says: TIFF may hold a strip or tile
// buffer as large as the picture beside it; WebP paints the frames of an
// animation on a canvas and its lossless decoder keeps a 32-bit copy.

TDecodeCost ReaderCost(QImageReader& reader, const QByteArray& head)
{
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return TDecodeCost();
    const QImage::Format format = ValidFormat(reader.imageFormat());
    const int64_t picture = std::max<int64_t>(4, NativeBytes(format));
    if (head.startsWith("II*\0") || head.startsWith("MM\0*"))
        return Cost(size, picture, WithConversion(format) + NativeBytes(format));
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return Cost(size, picture, 3 * 4);
    return Cost(size, picture, WithConversion(format));
}

// The cost by the format's own header, for the formats whose reader says
// less than its decoder takes; nothing for the others.
std::optional<TDecodeCost> HeaderCost(THeader& header, const QByteArray& head)
{
    const auto starts = [&](const char* magic, qsizetype length) {
        return head.size() >= length && std::memcmp(head.constData(), magic, length) == 0;
    };
    if (starts(JpegStart, 2))
        return JpegCost(header);
    if (starts(PngSignature, 8) && head.size() >= 26 && head.mid(12, 4) == "IHDR")
        return PngCost(Bytes(head) + 16);
    if (starts("GIF87a", 6) || starts("GIF89a", 6))
        return GifCost(header);
    if (LooksLikeIco(head))
        return IcoCost(header);
    if (starts("icns", 4))
        return IcnsCost(header);
    if (starts("\x8AMNG\r\n\x1A\n", 8))
        return MngCost(header);
    return std::nullopt;
}

} // namespace

TDecodeCost ReadDecodeCost(QIODevice& Device, QImageReader& Reader)
{
    QByteArray head;
    bool cut = false;
    if (Device.isOpen() && !Device.isSequential()) {
        THeader header(Device);
        head = header.Read(0, 64);
        if (const std::optional<TDecodeCost> cost = HeaderCost(header, head))
            return *cost;
        cut = BmpCut(header, head);
    }
    TDecodeCost cost = ReaderCost(Reader, head);
    cost.Cut = cut;
    return cost;
}

TDecodeCost ReadHeaderCost(QIODevice& Device, QImageReader& Reader)
{
    if (Device.isOpen() && !Device.isSequential() && !qobject_cast<QBuffer*>(&Device)) {
        THeader header(Device);
        if (header.Read(0, 2).startsWith(JpegStart)) {
            TDecodeCost cost = JpegCostOf(JpegHead(header));
            // What the walk did not reach is not known.
            cost.Scans = 0;
            cost.ScanBlocks = 0;
            cost.Segments = 0;
            return cost;
        }
    }
    return ReadDecodeCost(Device, Reader);
}

QSize ReadPictureSize(QIODevice& Device, QImageReader& Reader)
{
    if (Device.isOpen() && !Device.isSequential()) {
        THeader header(Device);
        if (header.Read(0, 2).startsWith(JpegStart))
            return JpegFrameSize(header);
    }
    // The size the decoder gives, where the header says more than the
    // reader.
    const QSize size = Reader.size();
    const TDecodeCost cost = ReadDecodeCost(Device, Reader);
    return cost.Known() ? cost.Size : size;
}
