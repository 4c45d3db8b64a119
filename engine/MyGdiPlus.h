#pragma once

// The imaging layer: bitmaps, decoding, encoders, the locked 24-bit view,
// rotate/flip, drawing with source rectangles, and the rectangle helpers.
// Everything the engine draws goes through here, over QImage and QPainter.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class QFile;
class QIODevice;
class TDecodeBudget;
struct TDecodeCost;

// ---------------------------------------------------------------------------
// Rectangles and points

// An imaging rectangle: X, Y, Width, Height.
struct TGPRect
{
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TGPRect&, const TGPRect&) = default;
};

struct TGPPoint
{
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TGPPoint&, const TGPPoint&) = default;
};

// An edge rectangle: Left, Top, Right, Bottom.
struct TRect
{
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// True when Rect.X <= Point.X < Rect.X + Rect.Width (and likewise for Y):
// the right and bottom edges are outside.
bool GPRectContains(const TGPRect& Rect, const TGPPoint& Point);
void RectToGPRect(const TRect& R, TGPRect& G);

inline QRect ToQRect(const TGPRect& r)
{
    return QRect(r.X, r.Y, r.Width, r.Height);
}
inline TGPRect FromQRect(const QRect& r)
{
    return TGPRect{r.x(), r.y(), r.width(), r.height()};
}

// ---------------------------------------------------------------------------
// Bitmaps

// Raised when a bitmap cannot be made (too large for memory).
class EImagingError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The largest bitmap the layer makes: 2^28 pixels (1 GB at 32 bits).
constexpr int64_t MaxBitmapPixels = int64_t(1) << 28;

// Makes a new bitmap with every pixel zero (transparent black). A width or
// height of 0 gives an empty bitmap; a negative size or more than
// MaxBitmapPixels raises EImagingError before anything is allocated.
QImage NewBitmap(int width, int height, QImage::Format format = QImage::Format_ARGB32);

// A deep copy in the same pixel format.
QImage CopyBitmap(const QImage& image);

// Decoded pictures are Format_ARGB32 (with alpha) or Format_RGB32 (without);
// palette, 16-bit and other formats are converted. A picture that cannot be
// decoded gives an empty (0 x 0) image.
// Every decode reads the size from the header first: a picture larger than
// one picture's allowance raises EImagingError naming the file and its size
// before a pixel is allocated, and one that does not fit in what remains of
// Budget raises the budget's error (DecodeBudget.h), as do a side of no
// pixels and, before Qt's reader starts on it, a JPEG of more segments than
// it gets through (CheckSegments). A valid ScaledSize decodes the picture
// reduced (or enlarged) to exactly that size.
// DecodeImageFile raises ENotAFile naming a path that is no regular file
// (CheckRegularFile) before it is opened.
QImage NormalizeDecoded(const QImage& image);
QImage DecodeImageFile(const QString& fileName, const QSize& scaledSize = QSize());
// What a caller of DecodeImageFile is told of the decode while it runs.
struct TDecodeWatch
{
    // Told what the decode takes (DecodeCost.h) once the file is read,
    // before a pixel is decoded; it may raise to give up.
    std::function<void(const TDecodeCost&)> Charge;
    // Told of the picture's rows as they are decoded (TRowsDecoded,
    // FastDecode.h).
    std::function<void(const QImage& Picture, int Rows)> Rows;
    // Whether the header says that the file ends before its pixels do (see
    // TDecodeCost::Cut).
    bool Cut = false;
};
// The same for a file open for reading in File, at its start; FileName names
// it in messages. Its bytes are read, never mapped, and read once.
QImage DecodeImageFile(QFile& file, const QString& fileName, const QSize& scaledSize = QSize(),
                       TDecodeWatch* watch = nullptr);
QImage DecodeImageDevice(QIODevice* device, TDecodeBudget* budget = nullptr);
QImage DecodeImageBytes(const QByteArray& bytes, TDecodeBudget* budget = nullptr);
// The size a picture file's header gives; invalid when it gives none or the
// file cannot be read or is no regular file.
QSize ImageFileSize(const QString& fileName);

// Sets the image readers' allocation limit once per process
// (ReaderAllocationLimitMB). Every decode calls it.
void PrepareImageDecoding();

// ---------------------------------------------------------------------------
// Rotate and flip, in place, by the rotate-flip type values.

enum TRotateFlipType : int {
    Rotate90FlipNone = 1,  // a quarter turn clockwise
    Rotate270FlipNone = 3, // a quarter turn counter-clockwise
    RotateNoneFlipX = 4,   // mirror left to right
    Rotate180FlipX = 6,    // mirror top to bottom
};

void RotateFlip(QImage& image, int type);

// ---------------------------------------------------------------------------
// Drawing

enum class TInterpolation {
    Default,         // bilinear
    NearestNeighbor, // no smoothing
    Bilinear,
    HighQuality,     // area averaging when reducing, bilinear when enlarging
};

// The interpolation mode of a painter, kept on its render hints as a graphics
// of the imaging service keeps it: smoothing off is nearest neighbour,
// smoothing on is bilinear, and smoothing with the lossless-image hint is high
// quality. A new painter draws with nearest neighbour; whoever wants another
// mode sets it on the painter.
void SetInterpolationMode(QPainter& painter, TInterpolation mode);
TInterpolation GetInterpolationMode(const QPainter& painter);

// Draws the part Source of Image into Dest with the painter's interpolation
// and other settings, which it leaves as they are. A source or destination
// whose width or height is 0 or less draws nothing.
void DrawBitmap(QPainter& painter, const QImage& image, const QRectF& dest, const QRect& source);
// What DrawBitmap draws with high quality in place of Source when Dest is
// smaller: the part reduced by area averaging to Dest's size, rounded. Null
// when Dest is no smaller or nothing would be drawn.
QImage ReducedForDrawing(const QImage& image, const QRectF& dest, const QRect& source);

// ---------------------------------------------------------------------------
// The locked 24-bit view: bytes blue, green, red; rows Stride bytes apart.
// Destroying the view writes the colours back into the bitmap; alpha is kept.

class TBitmapData24
{
public:
    explicit TBitmapData24(QImage& image);
    ~TBitmapData24();
    TBitmapData24(const TBitmapData24&) = delete;
    TBitmapData24& operator=(const TBitmapData24&) = delete;

    int Width = 0;
    int Height = 0;
    int Stride = 0;
    uchar* Scan0 = nullptr;

private:
    QImage& m_image;
    QImage m_view;
};

// ---------------------------------------------------------------------------
// Encoders and writing files

// The Qt format name of the encoder for a MIME type ("image/jpeg",
// "image/png"); where several match, the last one wins. Empty when none.
QByteArray FindEncoderForMimeType(const QByteArray& mimeType);

// The most rows or columns a JPEG holds (libjpeg's limit; the frame header
// itself would take 65535).
constexpr int MaxJpegSide = 65500;
// Whether a picture of Size fits in a JPEG.
bool JpegHolds(const QSize& Size);
// Raises EImagingError "The picture of W x H pixels cannot be saved as JPEG:
// ..." when it does not.
void CheckJpegSize(const QSize& Size);

// Encodes Image into Device with the encoder of MimeType; Quality -1 means
// no quality parameter. False when there is no encoder or it fails, and for
// a JPEG of a picture that JPEG cannot hold, before anything is written.
bool EncodeImage(const QImage& image, QIODevice* device, const QByteArray& mimeType,
                 int quality = -1);
// The same into memory; empty when it fails. Rows, when given, makes the
// rows of an image that is still being drawn just before they are encoded
// (TRowsBeforeEncoding, FastEncode.h); every row is made before this
// returns, unless Rows raises, and then this raises.
QByteArray EncodeImageBytes(const QImage& image, const QByteArray& mimeType, int quality = -1,
                            const std::function<void(int Top, int End)>& rows = {});

// Writes a file so that a failed write leaves the old one as it was: the
// content is made in memory, then replaces the file by rename where the
// folder allows it, else is written in place (TFileWriter). Write returns
// false to give up. False when the file could not be written; Detail then
// gets what the user needs to know beyond the file's name (where its old
// content is kept), else empty.
bool WriteFileAtomically(const QString& fileName, const std::function<bool(QIODevice&)>& write,
                         QString* detail = nullptr);
// The same for content made already, which is then not copied.
bool WriteFileAtomically(const QString& fileName, const QByteArray& content,
                         QString* detail = nullptr);
// "Cannot create file %s" naming FileName, with the writer's Detail below.
std::string CreateFileMessage(const QString& FileName, const QString& Detail);
