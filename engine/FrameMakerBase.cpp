#include "FrameMakerBase.h"

#include "MyGdiPlus.h"

#include <QBuffer>

#include <limits>

namespace {

const char kJpegMime[] = "image/jpeg";
const char kPngMime[] = "image/png";

// Pictures in frame files are opaque JPEGs: they decode to 32 bits a pixel.
constexpr QImage::Format kStoredFormat = QImage::Format_RGB32;

} // namespace

int32_t SaturateToInt32(int64_t Value)
{
    if (Value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (Value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(Value);
}

uint8_t GetFrameFileType(const QString& FileName)
{
    TFileStreamW file(FileName, fmOpenRead);
    uint8_t header[FrameFileHeaderSize];
    file.ReadBuffer(header, sizeof header);
    return header[5];
}

void SaveBitmapToJpegStream(const QImage& Bitmap, TMemoryStream& Stream)
{
    // An empty picture is ordinary: it writes nothing (Qt's writer would
    // refuse it) and the caller records a count of 0.
    if (Bitmap.isNull())
        return;
    if (!Stream.isOpen() && !Stream.open(QIODevice::ReadWrite))
        return;
    EncodeImage(Bitmap, &Stream, kJpegMime, 100);
}

QImage LoadBitmapFromStream(std::unique_ptr<TMemoryStream> Stream)
{
    // The decoded picture holds its own pixels, so the stream is released
    // here rather than kept alive with it. Empty or undecodable content gives
    // an empty picture.
    if (!Stream)
        return QImage();
    return DecodeImageBytes(Stream->data());
}

void TFrameMakerBase::SaveToPNG(const QString& FileName)
{
    QImage bitmap;
    Render(bitmap);
    if (bitmap.isNull())
        return;
    QString detail;
    const bool written = WriteFileAtomically(
        FileName, [&bitmap](QIODevice& device) { return EncodeImage(bitmap, &device, kPngMime); },
        &detail);
    if (!written)
        RaiseCreateError(FileName, detail);
}

std::unique_ptr<TFileStreamW> TFrameMakerBase::OpenFrameFile(const QString& FileName)
{
    auto file = std::make_unique<TFileStreamW>(FileName, fmOpenRead);
    file->Seek(FrameFileHeaderSize, TSeekOrigin::soBeginning);
    return file;
}

TDecodeBudget TFrameMakerBase::NewLoadBudget(const QString& FileName) const
{
    return TDecodeBudget(FileName, FrameFileBudget, m_stopRequested);
}

bool TFrameMakerBase::PicturesFitFrameFile(const std::vector<QSize>& Sizes)
{
    TDecodeBudget budget(QString(), FrameFileBudget);
    for (const QSize& size : Sizes)
        if (!budget.TryCharge(size, kStoredFormat))
            return false;
    return true;
}

QImage TFrameMakerBase::ReadFramePicture(TFileStreamW& File, uint32_t Count, TDecodeBudget& Budget)
{
    const int64_t left = File.Size() - File.Position();
    if (int64_t(Count) > left)
        throw EReadError("Stream read error");
    QByteArray bytes(qsizetype(Count), Qt::Uninitialized);
    File.ReadBuffer(bytes.data(), Count);
    return DecodeImageBytes(bytes, &Budget);
}

QByteArray TFrameMakerBase::EncodeFramePicture(const QImage& Picture)
{
    TMemoryStream stream;
    stream.open(QIODevice::ReadWrite);
    SaveBitmapToJpegStream(Picture, stream);
    // A picture the encoder refuses (JPEG takes at most 65500 pixels a side)
    // would leave its place in the file empty: the file is not written.
    if (!Picture.isNull() && stream.size() == 0)
        throw EImagingError(
            QStringLiteral(
                "The picture of %1 x %2 pixels is too large to be stored in a frame file")
                .arg(Picture.width())
                .arg(Picture.height())
                .toStdString());
    return stream.data();
}

void TFrameMakerBase::WriteFrameFile(const QString& FileName, uint8_t FrameType,
                                     const QByteArray& Record,
                                     const std::vector<QByteArray>& Pictures)
{
    const char header[FrameFileHeaderSize] = {'O', 'K', 'X', 0, 0, char(FrameType)};
    QString detail;
    const bool written = WriteFileAtomically(
        FileName,
        [&](QIODevice& device) {
            if (device.write(header, sizeof header) != qint64(sizeof header))
                return false;
            if (device.write(Record) != Record.size())
                return false;
            for (const QByteArray& picture : Pictures)
                if (device.write(picture) != picture.size())
                    return false;
            return true;
        },
        &detail);
    if (!written)
        RaiseCreateError(FileName, detail);
}

void TFrameMakerBase::RaiseCreateError(const QString& FileName, const QString& Detail)
{
    throw EFCreateError(CreateFileMessage(FileName, Detail));
}
