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

void CheckPictureSize(const QString& FileName, const QSize& Size, QImage::Format Format,
                      int64_t Bytes)
{
    if (DecodedBytes(Size, Format) <= Bytes)
        return;
    const QString what = FileName.isEmpty()
                             ? QStringLiteral("The picture")
                             : QStringLiteral("The picture file %1").arg(ShownPath(FileName));
    throw EPictureTooLarge(QStringLiteral("%1 is too large: %2 x %3 pixels")
                               .arg(what)
                               .arg(Size.width())
                               .arg(Size.height())
                               .toStdString());
}

TDecodeBudget::TDecodeBudget(QString FileName, int64_t Bytes, std::function<bool()> StopRequested)
    : m_fileName(std::move(FileName)), m_bytes(Bytes), m_remaining(Bytes),
      m_stopRequested(std::move(StopRequested))
{}

void TDecodeBudget::Charge(const QSize& Size, QImage::Format Format)
{
    CheckStop();
    if (!TryCharge(Size, Format))
        RaiseTooLarge();
}

bool TDecodeBudget::TryCharge(const QSize& Size, QImage::Format Format)
{
    const int64_t bytes = DecodedBytes(Size, Format);
    if (bytes > m_remaining)
        return false;
    m_remaining -= bytes;
    return true;
}

void TDecodeBudget::Decoded(const QImage& Picture)
{
    if (!TryCharge(Picture.size(), Picture.format()))
        RaiseTooLarge();
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
