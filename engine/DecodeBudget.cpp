#include "DecodeBudget.h"

#include "UniFuncs.h"

#include <algorithm>
#include <utility>

int64_t DecodedBytes(const QSize& Size, QImage::Format Format)
{
    if (Size.width() <= 0 || Size.height() <= 0)
        return 0;
    const int bits = Format == QImage::Format_Invalid
                         ? 32
                         : std::max(32, int(QImage::toPixelFormat(Format).bitsPerPixel()));
    return int64_t(Size.width()) * Size.height() * (bits / 8);
}

namespace {

QString PictureName(const QString& FileName)
{
    return FileName.isEmpty() ? QStringLiteral("The picture")
                              : QStringLiteral("The picture file %1").arg(ShownPath(FileName));
}

[[noreturn]] void RaisePictureTooLarge(const QString& FileName, const QSize& Size)
{
    throw EPictureTooLarge(QStringLiteral("%1 is too large: %2 x %3 pixels")
                               .arg(PictureName(FileName))
                               .arg(Size.width())
                               .arg(Size.height())
                               .toStdString());
}

} // namespace

void CheckPictureSize(const QString& FileName, const QSize& Size, QImage::Format Format,
                      int64_t Bytes)
{
    if (DecodedBytes(Size, Format) > Bytes)
        RaisePictureTooLarge(FileName, Size);
}

void CheckPictureSize(const QString& FileName, const TDecodeCost& Cost)
{
    const QSize size = Cost.Size;
    if (Cost.EmptySide())
        throw EPictureDamaged(QStringLiteral("%1 is damaged: it holds a picture of %2 x %3 pixels")
                                  .arg(PictureName(FileName))
                                  .arg(size.width())
                                  .arg(size.height())
                                  .toStdString());
    if (Cost.MaxSide > 0 && (size.width() > Cost.MaxSide || size.height() > Cost.MaxSide))
        throw EPictureTooLarge(
            QStringLiteral("%1 is too large: %2 x %3 pixels, more than %4 a side")
                .arg(PictureName(FileName))
                .arg(size.width())
                .arg(size.height())
                .arg(Cost.MaxSide)
                .toStdString());
    if (Cost.PictureBytes > MaxPicturePixels * 4 || Cost.PeakBytes > MaxDecodePeakBytes)
        RaisePictureTooLarge(FileName, size);
    if (Cost.Scans > MaxJpegScans || Cost.ScanBlocks > MaxJpegScanBlocks)
        throw EPictureTooLarge(QStringLiteral("%1 has too many scans to be read: %2")
                                   .arg(PictureName(FileName))
                                   .arg(Cost.Scans)
                                   .toStdString());
}

void CheckSegments(const QString& FileName, const TDecodeCost& Cost)
{
    if (Cost.Segments > MaxJpegSegments)
        throw EPictureTooLarge(QStringLiteral("%1 has too many segments to be read: %2")
                                   .arg(PictureName(FileName))
                                   .arg(Cost.Segments)
                                   .toStdString());
}

TDecodeBudget::TDecodeBudget(QString FileName, int64_t Bytes, std::function<bool()> StopRequested)
    : m_fileName(std::move(FileName)), m_bytes(Bytes), m_remaining(Bytes),
      m_stopRequested(std::move(StopRequested))
{}

void TDecodeBudget::Charge(const QSize& Size, QImage::Format Format)
{
    CheckStop();
    Take(DecodedBytes(Size, Format));
}

bool TDecodeBudget::TryCharge(const QSize& Size, QImage::Format Format)
{
    const int64_t bytes = DecodedBytes(Size, Format);
    if (bytes > m_remaining)
        return false;
    m_remaining -= bytes;
    return true;
}

void TDecodeBudget::Charge(const TDecodeCost& Cost)
{
    CheckStop();
    Take(Cost.PeakBytes);
}

void TDecodeBudget::Decoded(const QImage& Picture)
{
    Take(DecodedBytes(Picture.size(), Picture.format()));
}

void TDecodeBudget::Take(int64_t Bytes)
{
    if (Bytes > m_remaining)
        RaiseTooLarge();
    m_remaining -= Bytes;
}

void TDecodeBudget::CheckStop() const
{
    if (m_stopRequested && m_stopRequested())
        throw EDecodeStopped();
}

void TDecodeBudget::RaiseTooLarge() const
{
    throw EPictureTooLarge(QStringLiteral("The frame file %1 is too large: its pictures need more "
                                          "than %2 MB")
                               .arg(ShownPath(m_fileName))
                               .arg(m_bytes >> 20)
                               .toStdString());
}
