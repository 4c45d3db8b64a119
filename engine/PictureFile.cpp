#include "PictureFile.h"

#include "UniFuncs.h"

#include <QImageReader>

EImagingError UnreadablePicture(const QString& FileName)
{
    return EImagingError(FileMessage("Cannot read the picture file %1", FileName));
}

QImage ReadPictureFile(const QString& FileName)
{
    QImage picture = DecodeImageFile(FileName);
    if (picture.isNull())
        throw UnreadablePicture(FileName);
    return picture;
}

TPictureFile::TPictureFile(const QString& FileName) : m_fileName(FileName)
{
    CheckRegularFile(FileName);
    if (OpenRegularFile(m_file, FileName, &m_openError))
        m_openedSize = m_file.size();
}

TDecodeCost TPictureFile::HeaderCost()
{
    if (!m_file.isOpen())
        return TDecodeCost();
    // The reader reads what it needs of the header: the file goes back to
    // where it was for the decode.
    const qint64 at = m_file.pos();
    TDecodeCost cost;
    {
        QImageReader reader(&m_file);
        reader.setDecideFormatFromContent(true);
        cost = ReadHeaderCost(m_file, reader);
    }
    m_file.seek(at);
    return cost;
}

QImage TPictureFile::Decode(const std::function<void(const TDecodeCost&)>& Charge)
{
    if (!m_file.isOpen())
        return QImage();
    TDecodeWatch watch;
    watch.Charge = Charge;
    QImage picture = DecodeImageFile(m_file, m_fileName, QSize(), &watch);
    m_damaged = watch.Cut || m_file.size() < m_openedSize;
    return picture;
}
